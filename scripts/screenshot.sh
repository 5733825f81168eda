#!/usr/bin/env bash
# Takes the README's screenshots of the console under Wine and Xvfb, inside
# the private network namespace: docs/console.png at its own size,
# docs/console-large.png resized to 1000 x 400 pixels, and docs/console-150.png
# at 150 % scaling (144 DPI, in a Wine prefix of its own).
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
prefix150="$here/build/wineprefix-dpi144"
# A server of that prefix left from an earlier run would be another network
# namespace's.
WINEPREFIX=$prefix150 wineserver -k 2>/dev/null || true

# shots SCREEN DPI NAMES...: opens the console on a screen of SCREEN pixels
# at DPI and takes one screenshot per name; a name "large" first resizes it.
scripts/in-sandbox bash -c '
  set -e
  work=$1 prefix150=$2
  shots() {
    local screen=$1 dpi=$2
    shift 2
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c "
      set -e
      drive() { scripts/wine-run build/x86_64/tests/driver.exe \"\$@\"; }
      shot() { import -window root \"$work/shot.png\"; convert \"$work/shot.png\" -trim +repage \"\$1\"; }
      scripts/wine-prefix $dpi
      top=\$PWD
      (cd \"$work\" && \"\$top/scripts/wine-run\" Brantel.exe) &
      drive wait-console 60 wait-colour 1019 00FF00 20 sleep 1.2
      for name in $*; do
        [ \$name != console-large ] || drive resize 1000 400 sleep 1.2
        shot docs/\$name.png
      done
      drive click 2 console-gone 10
      wait"
  }
  shots 1024x768 "" console console-large
  WINEPREFIX=$prefix150 shots 1400x1000 144 console-150
  WINEPREFIX=$prefix150 wineserver -w' bash "$work" "$prefix150"
echo "docs/console.png docs/console-large.png docs/console-150.png"
