#!/usr/bin/env bash
# Takes the README's screenshots of the console under Wine and Xvfb, inside
# the private network namespace: docs/console.png at its own size and
# docs/console-large.png resized to 1000 x 400 pixels.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh" >/dev/null
work=$(mktemp -d /tmp/brantel-shot.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$here/build/x86_64/bin/"* "$work/"
cp "$here/build/x86_64/tests/fixtures/loopback/KelvoX.dll" "$work/"
printf '[Brantel]\r\nIP=127.0.0.2\r\n' > "$work/Brantel.cfg"
mkdir -p "$here/docs"
cd "$here"
scripts/in-sandbox xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  work=$1
  drive() { scripts/wine-run build/x86_64/tests/driver.exe "$@"; }
  shot() { import -window root "$work/shot.png"; convert "$work/shot.png" -trim +repage "$1"; }
  scripts/wine-prefix
  top=$PWD
  (cd "$work" && "$top/scripts/wine-run" Brantel.exe) &
  drive wait-console 60 wait-colour 1019 00FF00 20 sleep 1.2
  shot docs/console.png
  drive resize 1000 400 sleep 1.2
  shot docs/console-large.png
  drive click 2 console-gone 10
  wait' bash "$work"
echo "docs/console.png docs/console-large.png"
