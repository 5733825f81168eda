#!/usr/bin/env bash
# walkthrough.sh OUT: one realistic session against the simulated controller,
# run by the driver as an engineer would click it, with a screenshot after
# each step in OUT: Create system, Upgrade PLC 3#, Apply upgrade and Restart
# host on the M520, then Create system on the M410. The terminal gets one
# line per step; the program's standard output and error and its session
# record go to OUT.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out=$1
drive() { "$here/scripts/wine-run" "$here/build/x86_64/tests/driver.exe" "$@"; }
step=0
shot() {
  step=$((step + 1))
  import -window root "$out/$(printf '%02d' $step)-$1.png"
}
say() { echo "walkthrough: $*"; }
expect_box() {
  local text
  text=$(drive msgbox "$2")
  [ "$text" == "$1" ] || { shot unexpected; say "expected \"$1\", the console said \"$text\"" >&2; exit 1; }
  say "  the console says \"$text\""
  shot "$3"
  drive dismiss
}

export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
"$here/scripts/wine-prefix"
# The program's session record, copied into OUT when the program has ended.
records="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Brantel/logs"
records_before=$(ls "$records" 2>/dev/null || true)
# An update file, as the engineer would have it on the PC.
update="$here/build/run/updates"
mkdir -p "$update"
head -c 300000 /dev/urandom > "$update/update.rom"

say "starting Brantel against the simulated M520 at 127.0.0.2"
(cd "$here/build/run" && exec "$here/scripts/wine-run" Brantel.exe >"$out/program-stdout.txt" 2>"$out/program-stderr.txt") &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

drive wait-console 60 wait-colour 1019 00FF00 30
shot console-m520-reachable

say "Create system on the M520"
drive click 1006
expect_box "升级结束" 300 create-system-m520

say "Browse: choosing update.rom"
drive click 1002 choose-file 30 'Z:'"${update//\//\\}"'\update.rom'
drive wait-text 1001 'Z:'"${update//\//\\}"'\update.rom' 10
shot update-file-chosen

say "Upgrade PLC 3#"
drive click 1011
expect_box "升级结束" 120 upgrade-plc3

say "Apply upgrade"
drive click 1000
expect_box "升级结束" 120 apply-upgrade

say "Restart host: the controller goes silent, then answers again"
drive click 1018 no-msgbox 3
shot restart-requested
drive wait-colour 1019 FF0000 30
shot controller-restarting
drive wait-colour 1019 00FF00 60
shot controller-back

say "Create system on the M410 at 127.0.0.3"
drive select 1017 0 set-ip 1004 127.0.0.3 wait-colour 1019 00FF00 30
shot console-m410-reachable
drive click 1006
expect_box "升级结束" 300 create-system-m410

drive click 2 console-gone 10
wait $program || true
trap - EXIT
# Wine's own desktop process ends a few seconds after the program; until
# then it holds the display, which Xvfb would cut off with a complaint.
wineserver -w
for name in $(ls -t "$records" 2>/dev/null); do
  grep -qxF "$name" <<< "$records_before" || { cp "$records/$name" "$out/session-record.log"; break; }
done
say "done. In ${out#"$here"/}/: a screenshot per step (*.png), the session record (session-record.log),"
say "  the program's output (program-stdout.txt, program-stderr.txt), the controller's log (controller.log)"
say "  and the files on each controller (M520-tree.txt, M410-tree.txt)"
