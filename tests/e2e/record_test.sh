#!/usr/bin/env bash
# The session record: what the engineer did, to which controller, and why
# it failed, read from the record the program keeps in the user's folder.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
root=$m520_root
mkdir -p "$root/mnt/mmc/plc3"
# An M520 that does not know the engineer's key: it lets in only a key of
# its own.
sshd_target_start "$scratch/stranger" 127.0.0.7
# An M410 whose slot 6 takes no uploads.
m410="$scratch/m410"
mkdir -p "$m410/mnt/nandflash/plc6"
ftp_target_start "$m410" --read-only mnt/nandflash/plc6
update_file update.rom 300000
sha=$(sha256sum "$updates/update.rom" | cut -d' ' -f1)

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20
record_has '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} Brantel 1\.0\.0, x86-64 build, started$'
record_has ' Windows [0-9.]+, system code page 936, screen 96 DPI$'
record_has ' working folder Z:\\tmp\\brantel-e2e\.[^\\]+\\work$'
record_has ' settings folder Z:\\tmp\\brantel-e2e\.[^\\]+\\work$'
record_has ' host library C:\\windows\\system32\\KelvoX\.dll$'
record_has ' lamp green: reachable 127\.0\.0\.2$'

# A PLC upload that succeeds: the file, where it went, its digest, the verdict.
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
expect_eq "upgrade PLC 3#" "升级结束" "$(command_message 1011 120)"
record_has " command Upgrade PLC 3#: target 127\.0\.0\.2, model CPU-M520, file Z:\\\\tmp\\\\brantel-e2e\.[^\\]+\\\\updates\\\\update\.rom$"
record_has " SFTP upload 127\.0\.0\.2:/mnt/mmc/plc3/update\.rom from Z:.*\\\\update\.rom, size 300000 bytes, SHA-256 $sha, 300000 bytes sent, [0-9]+\.[0-9]{3} s, result 1$"
record_has ' message box: 升级结束$'

# A login refused because the controller does not know the key.
drive set-ip 1004 127.0.0.7 sleep 0.6
expect_eq "restart host, key unknown" "重启失败" "$(command_message 1018)"
expect_eq "upgrade PLC 1#, key unknown" "升级失败" "$(command_message 1010)"
record_has " command Restart host: target 127\.0\.0\.7, model CPU-M520$"
record_has "	Authentication by public key failed!$"
record_has ' SFTP upload 127\.0\.0\.7:/mnt/mmc/reboot\.txt from .*, result 0$'
record_has ' message box: 重启失败$'
record_has ' message box: 升级失败$'

# An FTP target that refuses the file: its reply.
drive select 1017 0 set-ip 1004 127.0.0.3 sleep 0.6
expect_eq "upgrade PLC 6# on the M410" "升级失败" "$(command_message 1009)"
record_has " command Upgrade PLC 6#: target 127\.0\.0\.3, model CPU-M410, file "
record_has " FTP put failed: WinINet error 12003.*; the server's last reply: 550 "
record_has ' FTP upload 127\.0\.0\.3:/mnt/nandflash/plc6/update\.rom from .*, result 0$'

# A restart after which the target is silent for a few seconds.
drive select 1017 1 set-ip 1004 127.0.0.2 sleep 0.6
drive click 1018 no-msgbox 2
expect_eq "restart request" "123" "$(cat "$root/mnt/mmc/reboot.txt")"
pings_answered 0
drive wait-colour 1019 FF0000 10 sleep 3
pings_answered 1
drive wait-colour 1019 00FF00 20
record_has ' 127\.0\.0\.2 stopped answering [0-9]+\.[0-9] s after the restart request$'
record_has ' 127\.0\.0\.2 answered again [0-9]+\.[0-9] s after the restart request \(silent for [0-9]+\.[0-9] s\)$'
expect_eq "lamp changes after the restart" "lamp green: reachable 127.0.0.2
lamp red: unreachable 127.0.0.2
lamp green: reachable 127.0.0.2" \
  "$(record_lines | grep -o 'lamp .*' | tail -n 3)"

drive click 2 console-gone 10
console_wait_exit 10
record_has ' command Exit: target address 127\.0\.0\.2 saved$'
record_has ' program ends$'

# Nothing secret: no key of the engineer's in any form.
record=$(session_record)
key=$(sed -n 2p "$dir/~/.ssh/id_rsa")
pub=$(cut -d' ' -f2 "$dir/~/.ssh/id_rsa.pub")
! grep -qF -e "$key" -e "${pub:20:40}" -e "PRIVATE KEY" "$record" || fail "the record holds key material"
echo "ok: no key material in the record"

# The system menu's entry opens the record folder in Explorer, making it
# first when it has gone.
console_start "$dir"
drive wait-console 60
rm -rf "$record_folder"
drive syscommand 32 wait-window logs 20 close-window logs
[ -d "$record_folder" ] || fail "the record folder was not made again"
echo "ok: the record folder opens in Explorer"
drive click 2 console-gone 10
console_wait_exit 10
