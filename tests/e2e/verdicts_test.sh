#!/usr/bin/env bash
# Commands tell the truth and end cleanly, against M520 targets: a file
# that never reached the target is never reported as done, Exit in the
# middle of a command ends the program, and a command started inside
# another does not change where the outer one sends.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
root=$m520_root
update_file update.rom 300000

target_files() { (cd "$root" && find . -type f -o -type d -name 'plc*' | sort | xargs); }
clear_target() { rm -rf "${root:?}"/mnt/mmc/* "$root"/etc/* "$root"/home/root/*; }

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20

# A model variant missing beside the tool: a system half installed may no
# longer start, so nothing at all is sent.
clear_target
mv "$dir/Korvid-M520" "$scratch/"
expect_eq "create system without Korvid-M520" "升级失败" "$(command_message 1006 120)"
expect_eq "the target after create system without Korvid-M520" "" "$(target_files)"
mv "$scratch/Korvid-M520" "$dir/"

# Set new IP address without the model's userinfo file: the address write
# would make one that holds the address alone, and the controller would
# come up without its other settings. Nothing is sent, the second time
# neither.
mv "$dir/userinfo-M520.txt" "$scratch/"
drive set-ip 1007 127.0.0.78
for attempt in first second; do
  expect_eq "set new address without userinfo-M520.txt, $attempt time" "IP地址更新失败" "$(command_message 1020)"
  expect_eq "the target after set new address, $attempt time" "" "$(target_files)"
done
mv -f "$scratch/userinfo-M520.txt" "$dir/"

# A working folder the program may not write: none of the generic files can
# be made, so none of the system set is sent, and the verdict says so.
clear_target
chattr +i "$dir" || fail "chattr +i is not supported here"
immutable+=("$dir")
expect_eq "create system in an unwritable folder" "升级失败" "$(command_message 1006 120)"
for f in Korvid Telvo scan test_isa run.sh user.sh userinfo.txt; do
  [ ! -e "$root/mnt/mmc/$f" ] || fail "$f was sent though it could not be prepared"
done
chattr -i "$dir"

# Set new IP address with userinfo files that cannot be written: the file
# that would go out still carries the old address, so nothing is sent.
clear_target
drive set-ip 1007 127.0.0.77
chattr +i "$dir"/userinfo.txt "$dir"/userinfo-M410.txt "$dir"/userinfo-M520.txt
immutable+=("$dir"/userinfo.txt "$dir"/userinfo-M410.txt "$dir"/userinfo-M520.txt)
expect_eq "set new address, userinfo files unwritable" "IP地址更新失败" "$(command_message 1020)"
[ ! -e "$root/mnt/mmc/userinfo.txt" ] || fail "a userinfo.txt with the old address was sent"
chattr -i "$dir"/userinfo.txt "$dir"/userinfo-M410.txt "$dir"/userinfo-M520.txt

# Restart host against an SSH service that refuses the key exchange: the
# route fails without a word, so the command must say so itself.
sshd_target_start "$dir" 127.0.0.6 --sshd-option "KexAlgorithms sntrup761x25519-sha512@openssh.com"
drive set-ip 1004 127.0.0.6
expect_eq "restart host, key exchange refused" "重启失败" "$(command_message 1018)"
drive set-ip 1004 127.0.0.2

# Nested commands. Set new IP address and Upgrade PLC 3# are clicked at once
# after Create system, so that each is the message let through after one of
# its first operations (the reachability worker's messages queue up behind
# them). While the first operation runs, the target address is changed.
# Set new IP address prepares the same files, so it must not run inside;
# PLC 3# goes to the new address, where nothing answers on port 22; Create
# system goes on to the address it started with.
clear_target
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
drive click 1006 click 1020 click 1011 wait-enabled 1006 0 10 set-ip 1004 127.0.0.5
expect_eq "nested PLC 3# at the changed address" "升级失败" "$(drive msgbox 120; drive dismiss)"
expect_eq "outer create system" "升级结束" "$(drive msgbox 120; drive dismiss)"
drive no-msgbox 3
for f in etc/rc.local etc/issue etc/hostname home/root/run.sh mnt/mmc/Korvid mnt/mmc/Telvo mnt/mmc/userinfo.txt; do
  [ -e "$root/$f" ] || fail "$f did not reach the address Create system started with"
done
[ ! -e "$root/mnt/mmc/plc3/update.rom" ] || fail "PLC 3# went to the old address"
grep -q '127.0.0.77' "$root/mnt/mmc/userinfo.txt" && fail "Set new IP address ran inside Create system"
drive set-ip 1004 127.0.0.2
drive click 2 console-gone 10
console_wait_exit 10

# Exit, the close box or Escape while Create system runs: the running
# operation ends, nothing further is sent or shown, the address is saved,
# and the program ends.
for way in exit close escape; do
  clear_target
  rm -f "$dir/Brantel.cfg"
  console_settings "$dir" 127.0.0.2
  console_start "$dir"
  drive wait-console 60 wait-colour 1019 00FF00 20 set-ip 1004 127.0.0.2
  drive click 1006 wait-enabled 1006 0 10
  case $way in
    exit) drive click 2 ;;
    close) drive close ;;
    escape) drive key 0x1B ;;
  esac
  # The running operation takes well under a second here; Wine alone needs
  # about two seconds to end any windowed program.
  start=$(now_ms)
  drive console-gone 35
  closed=$(( $(now_ms) - start ))
  console_wait_exit 5
  ended=$(( $(now_ms) - start ))
  ((closed < 5000)) || fail "$way: the console took $closed ms to close"
  echo "ok: $way during Create system: console closed after $closed ms, program ended after $ended ms"
  [ ! -e "$root/mnt/mmc/plc8" ] || fail "$way: Create system went on to the end"
  grep -q '^IP=127.0.0.2' "$dir/Brantel.cfg" || fail "$way: the address was not saved"
done
