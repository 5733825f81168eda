#!/usr/bin/env bash
# Installs what is missing, builds, and opens Brantel under Wine inside a
# private network namespace (only loopback exists there). With a display the
# console opens on it; without one it runs under Xvfb, a screenshot of the
# console is saved to out/console.png, and the program is closed again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh"

work="$here/build/run"
mkdir -p "$work" "$here/out"
cp "$here/build/x86_64/bin/"* "$work/"
# The demo's host library probes nothing outside 127.0.0.0/8.
cp "$here/build/x86_64/tests/fixtures/loopback/KelvoX.dll" "$work/"
[ -f "$work/Brantel.cfg" ] || printf '[Brantel]\r\nIP=127.0.0.2\r\n' > "$work/Brantel.cfg"

cd "$here"
if [ -n "${DISPLAY:-}" ]; then
  exec scripts/in-sandbox bash -c 'scripts/wine-prefix && cd build/run && ../../scripts/wine-run Brantel.exe'
fi
exec scripts/in-sandbox xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  scripts/wine-prefix
  (cd build/run && ../../scripts/wine-run Brantel.exe) &
  scripts/wine-run build/x86_64/tests/driver.exe wait-console 60 sleep 2
  import -window root out/console.png
  scripts/wine-run build/x86_64/tests/driver.exe close console-gone 10
  wait
  echo "screenshot: out/console.png"'
