#!/usr/bin/env bash
# walkthrough.sh OUT: one realistic session against the simulated controller,
# run by the driver as an engineer would click it, with a screenshot after
# each step in OUT: Create system, Upgrade PLC 3#, Apply upgrade and Restart
# host on the M520, then Create system on the M410.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out=$1
drive() { "$here/scripts/wine-run" "$here/build/x86_64/tests/driver.exe" "$@"; }
step=0
shot() {
  step=$((step + 1))
  import -window root "$out/$(printf '%02d' $step)-$1.png"
}
expect_box() {
  local text
  text=$(drive msgbox "$2")
  [ "$text" == "$1" ] || { shot unexpected; echo "walkthrough: expected \"$1\", the console said \"$text\"" >&2; exit 1; }
  shot "$3"
  drive dismiss
}

"$here/scripts/wine-prefix"
# An update file, as the engineer would have it on the PC.
update="$here/build/run/updates"
mkdir -p "$update"
head -c 300000 /dev/urandom > "$update/update.rom"

(cd "$here/build/run" && exec "$here/scripts/wine-run" Brantel.exe) &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT

drive wait-console 60 wait-colour 1019 00FF00 30
shot console-m520-reachable

drive click 1006
expect_box "升级结束" 300 create-system-m520

drive click 1002 choose-file 30 'Z:'"${update//\//\\}"'\update.rom'
drive wait-text 1001 'Z:'"${update//\//\\}"'\update.rom' 10
shot update-file-chosen

drive click 1011
expect_box "升级结束" 120 upgrade-plc3

drive click 1000
expect_box "升级结束" 120 apply-upgrade

drive click 1018 no-msgbox 3
shot restart-requested
drive wait-colour 1019 FF0000 30
shot controller-restarting
drive wait-colour 1019 00FF00 60
shot controller-back

drive select 1017 0 set-ip 1004 127.0.0.3 wait-colour 1019 00FF00 30
shot console-m410-reachable
drive click 1006
expect_box "升级结束" 300 create-system-m410

drive click 2 console-gone 10
wait $program || true
trap - EXIT
echo "walkthrough: done; screenshots, controller log and file trees in $out"
