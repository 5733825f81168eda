#!/usr/bin/env bash
# The program in a folder its user may not write (a portable copy unpacked
# under Program Files, say): the commands that must write there first fail
# with their failure messages, and Exit cannot save the address. The folder
# and its files are made immutable: as root, chmod would not stop the writes.
# The record folder refuses writes too: the program then keeps no record
# and works as it does without one.
source "$(dirname "$0")/harness.sh"

# An M520 that would take every file: whatever fails, fails on the PC.
dir="$scratch/work"
sshd_target_start "$dir"
console_prepare "$dir"
console_settings "$dir" 127.0.0.2
touch "$dir/stdout.txt" "$dir/stderr.txt"
test_teardown() { chattr -R -i "$dir"; }
chattr -R +i "$dir"
chattr -i "$dir/stdout.txt" "$dir/stderr.txt"
mkdir -p "$record_folder"
chattr +i "$record_folder"
immutable+=("$record_folder")
records=$(ls "$record_folder")

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20
expect_eq "create system" "升级失败" "$(command_message 1006 120)"
[ ! -e "$m520_root/mnt/mmc/Korvid" ] || fail "a program reached the target"
expect_eq "restart host" "重启失败" "$(command_message 1018 60)"
[ ! -e "$m520_root/mnt/mmc/reboot.txt" ] || fail "a restart request reached the target"
drive set-ip 1007 127.0.0.45
expect_eq "set new address" "IP地址更新失败" "$(command_message 1020 60)"
[ ! -e "$m520_root/mnt/mmc/userinfo.txt" ] || fail "a userinfo.txt reached the target"

drive set-ip 1004 127.0.0.9 sleep 0.6 click 2 console-gone 10 no-msgbox 1
console_wait_exit 10
expect_eq "settings after Exit" $'[Brantel]\nIP=127.0.0.2' "$(tr -d '\r' < "$dir/Brantel.cfg")"
expect_eq "records kept in a folder that refuses writes" "$records" "$(ls "$record_folder")"
