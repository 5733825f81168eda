#!/usr/bin/env bash
# The console at 150 % scaling (144 DPI) beside the console at 100 %, as the
# screen shows them: in proportion, every text inside its control, the
# scaler's font and the logo grown with the DPI (tests/e2e/dpi_layout.py).
# The 144-DPI screen is a Wine prefix of this test's own, on a screen of its
# own large enough for the console at 150 %.
#
#   dpi_test.sh               the test
#   dpi_test.sh capture DIR   leaves the console's screenshot, client origin
#                             and rects in DIR/<dpi>.* (the prefix's DPI)
source "$(dirname "$0")/harness.sh"

capture() {
  local out=$1 dpi
  dpi=$(cat "$WINEPREFIX/.brantel-dpi" 2>/dev/null || echo 96)
  local dir="$scratch/work"
  console_prepare "$dir"
  console_settings "$dir" 127.0.0.2
  console_start "$dir"
  # Green lamp and a clock in the status line: everything has been painted.
  drive wait-console 60 wait-colour 1019 00FF00 20 sleep 1.2
  drive rects client > "$out/$dpi.rects"
  drive origin > "$out/$dpi.origin"
  import -window root "$out/$dpi.png"
  drive click 2 console-gone 10
  console_wait_exit 10
}

if [ "${1:-}" == capture ]; then
  capture "$2"
  exit 0
fi

capture "$scratch"
prefix144="$BRANTEL_SOURCE/build/wineprefix-dpi144"
# A server of that prefix left from another run would be another network
# namespace's; this run's must start in this one.
WINEPREFIX=$prefix144 wineserver -k 2>/dev/null || true
WINEPREFIX=$prefix144 "$BRANTEL_SOURCE/scripts/wine-prefix" 144
WINEPREFIX=$prefix144 xvfb-run -a -s "-screen 0 1400x1000x24" bash "$0" capture "$scratch" ||
  fail "the console at 144 DPI did not open and close"
WINEPREFIX=$prefix144 wineserver -w

/usr/bin/python3 "$(dirname "$0")/dpi_layout.py" 144 "$scratch"/96.{png,origin,rects} "$scratch"/144.{png,origin,rects} ||
  fail "the console at 144 DPI"
