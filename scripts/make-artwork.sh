#!/usr/bin/env bash
# Draws the program's icon (res/Brantel.ico, 16, 32 and 48 pixels) and its
# logo (res/logo.bmp, and res/logo-large.bmp for high DPI) with ImageMagick.
# The results are committed; run this only to change the artwork.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')

# Icon: a controller board (dark blue) with an upward arrow (the upgrade).
for size in 16 32 48; do
  s=$size
  convert -size ${s}x${s} xc:none \
    -fill '#1F4E79' -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $((s/6)),$((s/6))" \
    -fill '#FFFFFF' -draw "polygon $((s/2)),$((s/6)) $((s*5/6)),$((s/2)) $((s*5/8)),$((s/2)) $((s*5/8)),$((s*5/6)) $((s*3/8)),$((s*5/6)) $((s*3/8)),$((s/2)) $((s/6)),$((s/2))" \
    "$tmp/icon-$s.png"
done
convert "$tmp/icon-16.png" "$tmp/icon-32.png" "$tmp/icon-48.png" "$here/res/Brantel.ico"

# Logo: 110 x 33 pixels (73 x 20 dialog units at the dialog's font), for
# 96 DPI; and the same drawn three times as large, the master from which the
# console shrinks the logo for a screen of more DPI (125 % to 300 %).
logo() {
  local k=$1 out=$2
  convert -size $((110 * k))x$((33 * k)) xc:'#1F4E79' \
    -fill '#FFFFFF' -font "$font" -pointsize $((17 * k)) -gravity center -annotate +0-$k 'Brantel' \
    -fill '#7FB2E5' -draw "rectangle 0,$((29 * k)) $((110 * k)),$((33 * k - 1))" \
    -type TrueColor BMP3:"$out"
}
logo 1 "$here/res/logo.bmp"
logo 3 "$here/res/logo-large.bmp"
