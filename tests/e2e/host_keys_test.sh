#!/usr/bin/env bash
# The console knows its M520 controllers by their host keys, kept in
# known_hosts in the settings folder: a first contact is remembered without a
# word; a changed key is asked about once per command, and nothing goes to a
# controller whose new key the engineer does not trust.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
known_hosts="$dir/known_hosts"
host_keys="$scratch/sshd-127.0.0.2/m520-sshd"
update_file update.rom 50000

fingerprint() { ssh-keygen -lf "$host_keys/host_key_$1.pub" | awk '{print $2}'; }
# The target's key of that type as a known_hosts line for 127.0.0.2.
known_line() { echo "127.0.0.2 $(cut -d' ' -f1,2 "$host_keys/host_key_$1.pub")"; }
known_lines() { tr -d '\r' < "$known_hosts"; }
# The target restarted with the host key types given (new keys where a type
# has been removed); OPTIONS after "--" go to sshd.
restart_target() {
  local types=() options=()
  while (($#)) && [ "$1" != -- ]; do types+=(--host-key "$1"); shift; done
  (($#)) && shift
  for option in "$@"; do options+=(--sshd-option "$option"); done
  sshd_target_stop
  sshd_target_start "$dir" 127.0.0.2 "${types[@]}" "${options[@]}"
}
question() {
  printf '目标机 127.0.0.2 的SSH主机密钥与上次记录的不同。\r\n\r\n上次: %s\r\n本次: %s\r\n\r\n%s\r\n%s' "$1" "$2" \
    "如果目标机刚刚重装过系统，或者这是另一台目标机，这是正常的。" "是否信任新的主机密钥并继续?"
}
record_lines() { tr -d '\r' < "$(ls -t "$WINEPREFIX"/drive_c/users/*/AppData/Local/Brantel/logs/Brantel-*.log | head -1)"; }

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20

# First contact: no question, and the key is remembered.
[ ! -e "$known_hosts" ] || fail "a fresh settings folder already has known_hosts"
drive click 1018 no-msgbox 3
expect_eq "first contact: restart request" "123" "$(cat "$m520_root/mnt/mmc/reboot.txt")"
expect_eq "first contact: known_hosts" "$(known_line ecdsa)" "$(known_lines)"

# The controller reinstalled: a new key of the same type. Answered No,
# Restart host sends nothing and says it failed.
first=$(known_lines)
old=$(fingerprint ecdsa)
rm -f "$host_keys"/host_key_ecdsa*
restart_target ecdsa
new=$(fingerprint ecdsa)
drive click 1018
expect_eq "question" "$(question "$old" "$new")" "$(drive msgbox 30)"
expect_eq "question's buttons and icon" "buttons 6 7 default 7 icon warning" "$(drive msgbox-form)"
drive answer no
expect_eq "restart host, key not trusted" "重启失败" "$(drive msgbox 30; drive dismiss)"
[ ! -e "$m520_root/mnt/mmc/reboot.txt" ] || fail "a restart request reached an untrusted controller"
# The record keeps each event on one line, line ends as " | ".
record_lines | grep -qF -- "message box: $(question "$old" "$new" | tr -d '\r' | sed ':a;N;$!ba;s/\n/ | /g')" ||
  fail "the question is not in the session record"
record_lines | grep -q ' answer: No$' || fail "the answer is not in the session record"
record_lines | grep -q ' Host key not trusted$' || fail "no 'Host key not trusted' line"

# Create system asks once and stops at the first file it must have.
expect_eq "create system: question" "$(question "$old" "$new")" "$(drive click 1006 msgbox 30)"
drive answer no
expect_eq "create system, key not trusted" "升级失败" "$(drive msgbox 60; drive dismiss)"
drive no-msgbox 3
expect_eq "files on the untrusted controller" "" "$(find "$m520_root" -type f)"
expect_eq "known_hosts after No" "$first" "$(known_lines)"

# A command started inside another belongs to it: Restart host, clicked
# while Create system runs, starts once a message is let through (here while
# Create system's verdict is open) and is not asked again.
questions=$(record_lines | grep -c ' answer: ')
drive click 1006 msgbox 30 >/dev/null
drive click 1018 sleep 0.5 answer no sleep 3
verdicts=$( (drive msgbox 60; drive dismiss; drive msgbox 60; drive dismiss) | LC_ALL=C sort | xargs)
expect_eq "nested restart host and outer create system" "$(printf '%s\n' 升级失败 重启失败 | LC_ALL=C sort | xargs)" "$verdicts"
drive no-msgbox 3
expect_eq "questions for both" "$((questions + 1))" "$(record_lines | grep -c ' answer: ')"
record_lines | grep -A5 ' Asked before during this command: not trusted$' | grep -q 'reboot.txt.* result -1$' ||
  fail "the nested Restart host did not use the outer command's answer"

# Answered Yes: the file arrives, the key is remembered, the next command
# asks nothing.
expect_eq "restart host: question" "$(question "$old" "$new")" "$(drive click 1018 msgbox 30)"
drive answer yes no-msgbox 3
expect_eq "restart request after Yes" "123" "$(cat "$m520_root/mnt/mmc/reboot.txt")"
expect_eq "known_hosts after Yes" "$(known_line ecdsa)" "$(known_lines)"
expect_eq "create system after Yes" "升级结束" "$(command_message 1006 120)"

# The controller hangs up while the question is open (OpenSSH waits so long
# for a login): Yes connects again.
old=$new
rm -f "$host_keys"/host_key_ecdsa*
restart_target ecdsa -- "LoginGraceTime 2"
expect_eq "slow answer: question" "$(question "$old" "$(fingerprint ecdsa)")" "$(drive click 1018 msgbox 30)"
sleep 4
drive answer yes no-msgbox 3
expect_eq "restart request after a slow Yes" "123" "$(cat "$m520_root/mnt/mmc/reboot.txt")"
record_lines | grep -q 'closed the connection while the host key question was open' ||
  fail "the connection did not have to be made again: the test proves nothing"

# A controller that no longer offers the type it is known by has changed.
old=$(fingerprint ecdsa)
restart_target ed25519
expect_eq "other key type: question" "$(question "$old" "$(fingerprint ed25519)")" "$(drive click 1018 msgbox 30)"
drive answer yes no-msgbox 3
expect_eq "known_hosts with the ed25519 key" "$(known_line ed25519)" "$(known_lines)"

# One that offers a second key of another type besides the one it is known
# by is checked against the known one (the SSH library would pick ECDSA
# first): no question.
restart_target ed25519 ecdsa
drive click 1018 no-msgbox 5
expect_eq "second key type: restart request" "123" "$(cat "$m520_root/mnt/mmc/reboot.txt")"
expect_eq "known_hosts unchanged" "$(known_line ed25519)" "$(known_lines)"

# A settings folder that cannot be written: the file is still read and a
# changed key still asked about; the answer holds for the command only.
restart_target ecdsa
drive click 1002 choose-file 30 "$(wine_path "$updates/update.rom")"
mkdir -p "$m520_root/mnt/mmc/plc1"
before=$(known_lines)
chattr +i "$dir"
immutable+=("$dir")
expect_eq "unwritable: question" "$(question "$(fingerprint ed25519)" "$(fingerprint ecdsa)")" \
  "$(drive click 1010 msgbox 30)"
drive answer yes
expect_eq "unwritable: upgrade PLC 1#" "升级结束" "$(drive msgbox 60; drive dismiss)"
cmp -s "$updates/update.rom" "$m520_root/mnt/mmc/plc1/update.rom" || fail "plc1/update.rom differs"
expect_eq "unwritable: known_hosts kept" "$before" "$(known_lines)"
record_lines | grep -q " Host key of 127.0.0.2 not remembered: .*known_hosts cannot be written$" ||
  fail "no line saying the key cannot be remembered"
expect_eq "unwritable: asked again in the next command" "$(question "$(fingerprint ed25519)" "$(fingerprint ecdsa)")" \
  "$(drive click 1010 msgbox 30)"
drive answer no
expect_eq "unwritable: upgrade PLC 1# refused" "升级失败" "$(drive msgbox 60; drive dismiss)"
chattr -i "$dir"

drive click 2 console-gone 10
console_wait_exit 10
