#!/usr/bin/env bash
# Nothing the engineer does harms an M520 controller: a program too large
# for the room left in its slot fails before the old one is touched, and a
# controller whose SSH server has no SFTP server is told apart at once.
# The test runs in a mount namespace of its own: the small filesystem it
# mounts into the target's root is seen by that target's sshd alone, and
# goes away with the test.
if [ "${BRANTEL_OWN_MOUNTS:-}" != 1 ]; then
  exec env BRANTEL_OWN_MOUNTS=1 unshare --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
m520_console_prepare "$dir"
root=$m520_root

# Slot 2 lies on a filesystem of 1 MiB and holds a program of 600 000 bytes;
# slot 3 lies on the target's own, roomy one.
slot="$root/mnt/mmc/plc2"
mkdir -p "$slot" "$root/mnt/mmc/plc3"
mount -t tmpfs -o size=1m,mode=755 brantel-small-slot "$slot" || fail "cannot mount a tmpfs here"
test_teardown() { umount -l "$slot" 2>/dev/null; }
head -c 600000 /dev/urandom > "$slot/app.bin"
cp "$slot/app.bin" "$scratch/old-app.bin"
update_file app.bin 2000000

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20
drive click 1002 choose-file 30 "$(wine_path "$updates/app.bin")"
drive wait-text 1001 "$(wine_path "$updates/app.bin")" 10

expect_eq "2 MB program into the 1 MiB slot (PLC 2#)" "升级失败" "$(command_message 1014 60)"
cmp -s "$scratch/old-app.bin" "$slot/app.bin" || fail "the old program in slot 2 was touched"
expect_eq "the same program into a slot with room (PLC 3#)" "升级结束" "$(command_message 1011 60)"
cmp -s "$updates/app.bin" "$root/mnt/mmc/plc3/app.bin" || fail "plc3/app.bin differs"
# 800 000 bytes fit only in the room the old program leaves when it goes.
head -c 800000 /dev/urandom > "$updates/app.bin"
expect_eq "a program that fits where the old one was (PLC 2#)" "升级结束" "$(command_message 1014 60)"
cmp -s "$updates/app.bin" "$slot/app.bin" || fail "plc2/app.bin differs"

# An SSH server whose "sftp" subsystem ends at once: the route's 15 s bound
# must not be waited out.
sshd_target_start "$dir" 127.0.0.7 --sftp-server /bin/false
drive set-ip 1004 127.0.0.7
start=$(now_ms)
drive click 1018 >/dev/null
verdict=$(drive msgbox 30)
elapsed=$(( $(now_ms) - start ))
drive dismiss
expect_eq "restart host without an SFTP server" "重启失败" "$verdict"
((elapsed < 5000)) || fail "restart host took $elapsed ms to fail"
echo "ok: the verdict came after $elapsed ms"

drive set-ip 1004 127.0.0.2
drive click 2 console-gone 10
console_wait_exit 10
