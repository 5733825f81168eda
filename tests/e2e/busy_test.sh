#!/usr/bin/env bash
# The console during a long transfer, on both routes: it answers what
# Windows asks to decide "Not Responding", its progress bar moves, what
# another window uncovers is painted again, and a click on another command
# waits until the transfer is over.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
root=$m520_root
mkdir -p "$root/mnt/mmc/plc6"
update_file update.rom 16000000

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
drive wait-text 1001 "$(wine_path "$updates/update.rom")" 10

# Upgrade PLC 6# over SFTP; Restart host is clicked while the file goes over.
drive click 1009 wait-enabled 1009 0 10 click 1018
watch=$(drive busy-watch 4)
echo "$watch"
[ ! -e "$root/mnt/mmc/reboot.txt" ] || fail "Restart host ran during the upload"
samples=$(sed -n 's/^answered [0-9]* of //p' <<< "$watch")
expect_eq "SFTP: the console answers every time" "answered $samples of $samples" "$(grep '^answered' <<< "$watch")"
expect_eq "SFTP: the path box is painted again every time" "drawn $samples of $samples" "$(grep '^drawn' <<< "$watch")"
positions=$(sed -n 's/^positions //p' <<< "$watch")
[[ "$positions" =~ ^[0-9]+(\ [0-9]+)+$ ]] || fail "progress positions not all read: $positions"
(( $(wc -w <<< "$positions") >= 3 )) || fail "the progress bar hardly moved: $positions"
sort -n -C <<< "$(tr ' ' '\n' <<< "$positions")" || fail "the progress bar went back: $positions"
echo "ok: the progress bar advanced: $positions"
shown=$(sed -n 's/^shown //p' <<< "$watch")
(( $(wc -w <<< "$shown") >= 3 )) || fail "the bar on the screen hardly moved: $shown"
sort -n -C <<< "$(tr ' ' '\n' <<< "$shown")" || fail "the bar on the screen went back: $shown"
echo "ok: the bar on the screen advanced: $shown"

# The click is the one message let through after the upload: Restart host
# runs (silently, as it succeeds) before the upload's own verdict.
expect_eq "upgrade PLC 6#" "升级结束" "$(drive msgbox 120; drive dismiss)"
cmp -s "$updates/update.rom" "$root/mnt/mmc/plc6/update.rom" || fail "plc6/update.rom differs"
expect_eq "restart request after the upload" "123" "$(cat "$root/mnt/mmc/reboot.txt")"

# Upgrade PLC 1# over FTP to a slow M410.
ftp_root="$scratch/m410"
mkdir -p "$ftp_root/mnt/nandflash/plc1"
ftp_target_start "$ftp_root" --slow 200000
update_file slow.rom 1500000
drive click 1002 choose-file 30 "$(wine_path "$updates/slow.rom")"
drive select 1017 0 set-ip 1004 127.0.0.3 sleep 0.7 wait-colour 1019 00FF00 20
drive click 1010 wait-enabled 1010 0 10
watch=$(drive busy-watch 4)
echo "$watch"
samples=$(sed -n 's/^answered [0-9]* of //p' <<< "$watch")
expect_eq "FTP: the console answers every time" "answered $samples of $samples" "$(grep '^answered' <<< "$watch")"
expect_eq "FTP: the path box is painted again every time" "drawn $samples of $samples" "$(grep '^drawn' <<< "$watch")"
expect_eq "upgrade PLC 1# on the slow target" "升级结束" "$(drive msgbox 60; drive dismiss)"
cmp -s "$updates/slow.rom" "$ftp_root/mnt/nandflash/plc1/slow.rom" || fail "plc1/slow.rom differs"

drive click 2 console-gone 10
console_wait_exit 10
