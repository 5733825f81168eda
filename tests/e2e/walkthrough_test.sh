#!/usr/bin/env bash
# The README's run command, headless: the simulated controller and the
# scripted session end with every screenshot, the controller's log of what
# happened, and the files on both targets.
set -euo pipefail
: "${BRANTEL_SOURCE:?}"
cd "$BRANTEL_SOURCE"
source tests/evidence.sh
fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d /tmp/brantel-walkthrough.XXXXXX)
terminal="$scratch/terminal.txt"
# A failed run keeps what the terminal said and the session's files, which
# the next run replaces.
trap 'status=$?; ((status == 0)) || cp -a out/session "$scratch/" || true; evidence_settle $status "$scratch"' EXIT
BRANTEL_WALKTHROUGH=1 scripts/run.sh > "$terminal" 2>&1 || { cat "$terminal"; fail "the run command failed"; }
out=out/session

# The terminal tells the steps and where the files are; the program's own
# output and the build's go to files.
lines=$(wc -l < "$terminal")
((lines <= 40)) || { cat "$terminal"; fail "the run command wrote $lines lines to the terminal"; }
grep -q "Create system on the M520" "$terminal" || fail "the terminal does not say what the walk-through does"
grep -q "out/session/" "$terminal" || fail "the terminal does not say where the files are"
! grep -qE "libssh2_sftp|Fingerprint|Building CXX|Linking" "$terminal" || fail "program or build output reached the terminal"
echo "ok: $lines lines on the terminal"
grep -q "libssh2_sftp_write()!" "$out/program-stderr.txt" || fail "the program's standard error is not in $out"
grep -q "SFTP upload 127.0.0.2:/mnt/mmc/plc3/update.rom" "$out/session-record.log" || fail "no session record in $out"
echo "ok: the program's output and its record in $out"

shots=(01-console-m520-reachable 02-create-system-m520 03-update-file-chosen 04-upgrade-plc3
       05-apply-upgrade 06-restart-requested 07-controller-restarting 08-controller-back
       09-console-m410-reachable 10-create-system-m410)
for shot in "${shots[@]}"; do
  [ -s "$out/$shot.png" ] || fail "no screenshot $shot"
done
echo "ok: ${#shots[@]} screenshots"

log="$out/controller.log"
for line in "M520 received directory /mnt/mmc/plc8" "M520 received file /mnt/mmc/plc3/update.rom" \
            "M520 application stopped for the upgrade" "M520 restarting" "M520 up at 127.0.0.2" \
            "M410 received file /inetd.conf" "M410 received file /mnt/nandflash/Korvid" \
            "M410 received directory /mnt/nandflash/plc1"; do
  grep -qF "$line" "$log" || fail "the controller's log lacks '$line'"
done
[ "$(grep -c 'M520 up at' "$log")" -ge 2 ] || fail "the M520 did not come back after its restart"
echo "ok: the controller's log"

for f in ./etc/rc.local ./home/root/run.sh ./mnt/mmc/Telvo ./mnt/mmc/plc3/update.rom ./mnt/mmc/update.rom \
         ./mnt/mmc/shutdown.txt ./mnt/mmc/reboot.txt; do
  grep -qxF "$f" "$out/M520-tree.txt" || fail "the M520 lacks $f"
done
for f in ./inetd.conf ./etc/inetd.conf ./etc/issue ./mnt/nandflash/Telvo ./mnt/nandflash/plc8; do
  grep -qxF "$f" "$out/M410-tree.txt" || fail "the M410 lacks $f"
done
echo "ok: the files on both targets"
