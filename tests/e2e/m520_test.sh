#!/usr/bin/env bash
# Every command of the console against an M520 target (OpenSSH's sshd,
# public-key login as root), driven through the dialog.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
root=$m520_root
# Large enough that the transfer is still running when the buttons are read.
update_file update.rom 8000000

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20

# Apply upgrade with nothing chosen: the handshake would stop the
# controller's application for an update that never comes, so none is sent.
expect_eq "apply with an empty path box" "请选择需要升级的程序" "$(command_message 1000)"
[ ! -e "$root/mnt/mmc/shutdown.txt" ] || fail "shutdown.txt reached the target without an update file"
[ ! -e "$dir/shutdown.txt" ] || fail "shutdown.txt left in the working folder"
drive wait-enabled 1000 1 5

# Create system: the whole tree of the controller.
expect_eq "create system" "升级结束" "$(command_message 1006 120)"
for f in etc/issue etc/hostname etc/rc.local; do
  cmp -s "$dir/$(basename "$f")" "$root/$f" || fail "$f differs"
done
for script in run user; do
  tr '\r' '\n' < "$dir/$script-M520.sh" | cmp -s - "$root/mnt/mmc/$script.sh" || fail "$script.sh is not the converted M520 variant"
done
tr '\r' '\n' < "$dir/run-M520.sh" | cmp -s - "$root/home/root/run.sh" || fail "home/root/run.sh differs"
tr '\r' '\n' < "$dir/userinfo-M520.txt" | cmp -s - "$root/mnt/mmc/userinfo.txt" || fail "userinfo.txt differs"
for f in Korvid Telvo scan test_isa; do
  cmp -s "$dir/$f-M520" "$root/mnt/mmc/$f" || fail "$f is not the M520 variant"
done
expect_eq "program permissions" "755 755 755 755" \
  "$(stat -c %a "$root/mnt/mmc/Korvid" "$root/mnt/mmc/Telvo" "$root/mnt/mmc/scan" "$root/mnt/mmc/test_isa" | xargs)"
# Asked for with mode 012; sshd's umask 022 leaves 010.
expect_eq "slot directories" "10 10 10 10 10 10 10 10" \
  "$(for n in 1 2 3 4 5 6 7 8; do stat -c %a "$root/mnt/mmc/plc$n"; done | xargs)"
expect_eq "working folder after Create system" "user.sh userinfo.txt" \
  "$(cd "$dir" && ls Korvid Telvo run.sh scan test_isa user.sh userinfo.txt 2>/dev/null | xargs)"

# A chosen file deleted since: no handshake either.
update_file gone.rom 1000
drive click 1002 choose-file 30 "$(wine_path "$updates/gone.rom")"
drive wait-text 1001 "$(wine_path "$updates/gone.rom")" 10
rm "$updates/gone.rom"
expect_eq "apply with the chosen file deleted" "文件不存在" "$(command_message 1000)"
[ ! -e "$root/mnt/mmc/shutdown.txt" ] || fail "shutdown.txt reached the target for a deleted file"
[ ! -e "$dir/shutdown.txt" ] || fail "shutdown.txt left in the working folder"

# Browse through the real file dialog.
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
drive wait-text 1001 "$(wine_path "$updates/update.rom")" 10

# Upgrade PLC 6#: only its own button is disabled while the file goes over.
buttons="enabled 1000 enabled 1006 enabled 1009 enabled 1010 enabled 1018 enabled 1020"
expect_eq "buttons before the PLC 6# transfer" "1 1 1 1 1 1" "$(drive $buttons | xargs)"
drive click 1009 sleep 0.3
expect_eq "buttons during the PLC 6# transfer (1000 1006 1009 1010 1018 1020)" "1 1 0 1 1 1" \
  "$(drive $buttons | xargs)"
expect_eq "upgrade PLC 6#" "升级结束" "$(drive msgbox 120; drive dismiss)"
cmp -s "$updates/update.rom" "$root/mnt/mmc/plc6/update.rom" || fail "plc6/update.rom differs"
drive wait-enabled 1009 1 5

# Apply upgrade: shutdown.txt first, then the file.
rm -f "$root/mnt/mmc/shutdown.txt"
expect_eq "apply upgrade" "升级结束" "$(command_message 1000 120)"
cmp -s "$updates/update.rom" "$root/mnt/mmc/update.rom" || fail "update.rom differs"
(( $(stat -c %Y%N "$root/mnt/mmc/shutdown.txt" 2>/dev/null | tr -dc 0-9 | cut -c1-10) <= $(stat -c %Y "$root/mnt/mmc/update.rom") )) ||
  fail "shutdown.txt arrived after the update file"
[ ! -e "$dir/shutdown.txt" ] || fail "shutdown.txt left in the working folder"

# Restart host: reboot.txt, no message on success.
drive click 1018 no-msgbox 3
expect_eq "restart request" "123" "$(cat "$root/mnt/mmc/reboot.txt")"

# Set new IP address: written into the three userinfo files here and sent
# to the current address.
drive set-ip 1007 127.0.0.45
expect_eq "set new address" "IP地址更新成功，请重启生效" "$(command_message 1020)"
grep -q '^IPAddress="127.0.0.45"' "$root/mnt/mmc/userinfo.txt" || fail "the target's userinfo.txt lacks the new address"
for f in userinfo.txt userinfo-M410.txt userinfo-M520.txt; do
  expect_eq "$f entries" 'IPAddress="127.0.0.45"' "$(tr -d '\r' < "$dir/$f" | grep '^IPAddress=')"
done
expect_eq "target address unchanged" "127.0.0.2" "$(drive get-ip 1004)"

# No model chosen: the dispatcher runs no route, so Restart host fails.
drive select 1017 -1
expect_eq "restart without a model" "重启失败" "$(command_message 1018)"
drive select 1017 1

# A silent target: every remote call is refused with the network message.
pings_answered 0
drive wait-colour 1019 FF0000 5
expect_eq "PLC 1# while silent" "网络似乎不通!" "$(command_message 1010)"
expect_eq "PLC 1# verdict" "升级失败" "$(drive msgbox 10; drive dismiss)"
pings_answered 1

drive click 2 console-gone 10
console_wait_exit 10
