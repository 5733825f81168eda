#!/usr/bin/env bash
# The console keeps its controls in proportion when it is resized, keeps
# small buttons and labels at their height, leaves everything alone below
# 16 pixels, and takes its font from loginset.ini.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
console_prepare "$dir"
console_settings "$dir" 127.0.0.2
console_start "$dir"
drive wait-console 60 sleep 0.5
read -r w0 h0 <<< "$(drive client)"
drive rects > "$scratch/before"

# compare BEFORE AFTER SX SY: every control's edges moved by the client
# size ratio (within the carried rounding); Static, Edit and Button controls
# lower than 50 pixels keep their height.
compare() {
  awk -v sx="$3" -v sy="$4" '
    function abs(v) { return v < 0 ? -v : v }
    NR == FNR { x[$1 FS $2 FS NR] = $3; y[$1 FS $2 FS NR] = $4; w[$1 FS $2 FS NR] = $5; h[$1 FS $2 FS NR] = $6; next }
    {
      k = $1 FS $2 FS FNR
      if (!(k in x)) { print "control " $1 " missing"; bad = 1; next }
      if (abs($3 - x[k] * sx) > 2 || abs($4 - y[k] * sy) > 2 || abs($5 - w[k] * sx) > 3) {
        print "control " $1 " " $2 " at " $3 "," $4 " width " $5 ", expected " x[k]*sx "," y[k]*sy " width " w[k]*sx; bad = 1
      }
      small = ($2 == "Static" || $2 == "Edit" || $2 == "Button") && h[k] < 50
      if (small && $6 != h[k]) { print "control " $1 " " $2 " height " $6 ", was " h[k]; bad = 1 }
      if (!small && $2 != "ComboBox" && abs($6 - h[k] * sy) > 3) { print "control " $1 " " $2 " height " $6 ", expected " h[k]*sy; bad = 1 }
    }
    END { exit bad }' "$1" "$2"
}

for size in "1100 420" "800 300" "1300 600"; do
  drive resize $size sleep 0.5
  read -r w h <<< "$(drive client)"
  drive rects > "$scratch/after"
  compare "$scratch/before" "$scratch/after" "$(echo "$w / $w0" | bc -l)" "$(echo "$h / $h0" | bc -l)" ||
    fail "layout at client size $w x $h"
  echo "ok: in proportion at $w x $h"
done
import -window root "$scratch/large.png" 2>/dev/null || true

# Too small to lay out: nothing moves.
drive rects > "$scratch/before-tiny"
drive resize 300 20 sleep 0.5
read -r w h <<< "$(drive client)"
((h <= 15)) || fail "client height $h, expected 15 or less"
drive rects > "$scratch/after-tiny"
cmp -s "$scratch/before-tiny" "$scratch/after-tiny" || fail "controls moved at client size $w x $h"
echo "ok: nothing moves at $w x $h"
drive click 2 console-gone 10
console_wait_exit 10

# A larger font from loginset.ini: small buttons and labels grow to its
# line height.
printf '[DLGFONT]\r\nFONTSIZE=240\r\nFONTFOCENAME=Tahoma\r\n' > "$dir/loginset.ini"
console_start "$dir"
drive wait-console 60 sleep 0.5
drive rects > "$scratch/large-font"
grew=$(awk 'NR == FNR { h[$1 FS $2 FS FNR] = $6; next }
            $2 == "Button" && $6 > h[$1 FS $2 FS FNR] { n++ } END { print n + 0 }' "$scratch/before" "$scratch/large-font")
((grew >= 10)) || fail "only $grew buttons grew with a 24-point font"
echo "ok: $grew buttons grew to the 24-point font's line height"
drive click 2 console-gone 10
console_wait_exit 10
