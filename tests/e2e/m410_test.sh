#!/usr/bin/env bash
# Every command of the console against an M410 target over FTP, driven
# through the dialog: the files land where the controller expects them.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
root="$scratch/m410"
console_prepare "$dir"
console_settings "$dir" 127.0.0.3
mkdir -p "$root/mnt/nandflash" "$root/etc"
ftp_target_start "$root"
update_file update.rom 150000

console_start "$dir"
drive wait-console 60 select 1017 0 wait-colour 1019 00FF00 20
expect_eq "model" "0 CPU-M410" "$(drive combo 1017)"

# Create system: inetd.conf to "/" and "/etc", the rest to /mnt/nandflash,
# the eight slot directories.
expect_eq "create system" "升级结束" "$(command_message 1006 120)"
for f in inetd.conf etc/inetd.conf etc/issue etc/hostname; do
  cmp -s "$dir/$(basename "$f")" "$root/$f" || fail "$f on the target differs from the working folder's"
done
for f in userinfo.txt user.sh; do
  cmp -s "$dir/$f" "$root/mnt/nandflash/$f" || fail "$f differs"
done
for f in Korvid Telvo scan test_isa; do
  cmp -s "$dir/$f-M410" "$root/mnt/nandflash/$f" || fail "$f is not the M410 variant"
done
expect_eq "run.sh with CR turned into LF" "" "$(tr '\r' '\n' < "$dir/run-M410.sh" | cmp - "$root/mnt/nandflash/run.sh")"
for n in 1 2 3 4 5 6 7 8; do [ -d "$root/mnt/nandflash/plc$n" ] || fail "no plc$n"; done
echo "ok: the system file set and the slot directories are on the target"
expect_eq "working folder after Create system" "user.sh userinfo.txt" \
  "$(cd "$dir" && ls Korvid Telvo run.sh scan test_isa user.sh userinfo.txt 2>/dev/null | xargs)"
expect_eq "logins" "LOGIN anonymous" "$(grep '^LOGIN' "$ftp_journal" | sort -u)"

# Browse through the real file dialog, then a PLC slot and Apply upgrade.
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
drive wait-text 1001 "$(wine_path "$updates/update.rom")" 10
expect_eq "upgrade PLC 6#" "升级结束" "$(command_message 1009)"
cmp -s "$updates/update.rom" "$root/mnt/nandflash/plc6/update.rom" || fail "plc6/update.rom differs"
: > "$ftp_journal"
expect_eq "apply upgrade" "升级结束" "$(command_message 1000)"
cmp -s "$updates/update.rom" "$root/mnt/nandflash/update.rom" || fail "update.rom differs"
expect_eq "handshake" "Vel" "$(cat "$root/mnt/nandflash/shutdown.txt")"
expect_eq "order of the sends" "CMD STOR /mnt/nandflash/shutdown.txt
CMD STOR /mnt/nandflash/update.rom" "$(grep '^CMD STOR' "$ftp_journal")"
[ ! -e "$dir/shutdown.txt" ] || fail "shutdown.txt left in the working folder"

# Restart host: reboot.txt, and no message on success.
drive click 1018 no-msgbox 3
expect_eq "restart request" "123" "$(cat "$root/mnt/nandflash/reboot.txt")"
[ ! -e "$dir/reboot.txt" ] || fail "reboot.txt left in the working folder"
echo "ok: restart requested without a message"

# Set new IP address: sent to the current address, never to the new one.
drive set-ip 1007 127.0.0.44
expect_eq "set new address" "IP地址更新成功，请重启生效" "$(command_message 1020)"
grep -q '^IPAddress="127.0.0.44"' "$root/mnt/nandflash/userinfo.txt" || fail "userinfo.txt on the target lacks the new address"
expect_eq "target address unchanged" "127.0.0.3" "$(drive get-ip 1004)"

# A target whose /etc takes no upload: the second inetd.conf fails, the
# engineer is asked to restart and run it again, and the command goes on
# with "issue", which /etc refuses too. (The root directory "/" joined
# with a file name gives "//inetd.conf", which the target takes as "/inetd.conf".)
ftp_target_stop
: > "$ftp_journal"
ftp_target_start "$root" --read-only etc
expect_eq "second inetd.conf refused" "请重启主机，然后重新进行系统升级" "$(command_message 1006 120)"
expect_eq "create system stops at issue" "升级失败" "$(drive msgbox 120; drive dismiss)"
expect_eq "sends" "CMD STOR //inetd.conf
CMD STOR /etc/inetd.conf
CMD STOR /etc/issue" "$(grep '^CMD STOR' "$ftp_journal")"

# A target that refuses the first inetd.conf (a directory holds its place):
# nothing more is sent.
ftp_target_stop
: > "$ftp_journal"
rm -f "$root/inetd.conf"
mkdir "$root/inetd.conf"
ftp_target_start "$root"
expect_eq "first inetd.conf refused" "升级失败" "$(command_message 1006 120)"
expect_eq "sends after the refusal" "CMD STOR //inetd.conf" "$(grep '^CMD STOR' "$ftp_journal")"

# No FTP service at all: the connection error, then the command's verdict.
ftp_target_stop
connection_error=$(command_message 1006 60)
[ -n "$connection_error" ] && [ "$connection_error" != "升级失败" ] || fail "no connection error shown: '$connection_error'"
echo "ok: connection error shown: $connection_error"
expect_eq "create system without FTP service" "升级失败" "$(drive msgbox 30; drive dismiss)"

drive click 2 console-gone 10
console_wait_exit 10
