#!/usr/bin/env bash
# The release packages: both zips and both installers hold the program, its
# library, the sample file set, the font file and the two read-mes; the
# 64-bit installer installs them under Wine with a Start-menu entry, and its
# uninstaller takes them away again.
set -euo pipefail
: "${BRANTEL_SOURCE:?}"
cd "$BRANTEL_SOURCE"
scripts/package.sh >/dev/null
version=$(sed -n 's/^project(Brantel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

expected=(Brantel.exe KelvoX.dll loginset.ini README.txt 读我.txt
  issue hostname inetd.conf rc.local
  Telvo-M410 Telvo-M520 Korvid-M410 Korvid-M520 run-M410.sh run-M520.sh
  userinfo-M410.txt userinfo-M520.txt user-M410.sh user-M520.sh
  scan-M410 scan-M520 test_isa-M410 test_isa-M520)
expected_sorted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)

fail() { echo "FAIL: $*" >&2; exit 1; }

for bits in 64 32; do
  zip_file="out/Brantel-$version-win$bits.zip"
  listed=$(unzip -Z1 "$zip_file" | sed -n 's|^Brantel/\(..*\)$|\1|p' | LC_ALL=C sort)
  [ "$listed" == "$expected_sorted" ] || fail "$zip_file holds:"$'\n'"$listed"
  exe=$(mktemp)
  unzip -p "$zip_file" Brantel/Brantel.exe > "$exe"
  # The PE header's machine field: the header's offset is at 0x3C.
  machine=$(od -An -tx1 -j "$(( $(od -An -tu4 -j60 -N4 "$exe") + 4 ))" -N2 "$exe" | tr -d ' ')
  rm -f "$exe"
  case $bits in 64) want=6486 ;; 32) want=4c01 ;; esac
  [ "$machine" == "$want" ] || fail "$zip_file: Brantel.exe machine $machine, expected $want"
  [ -s "out/Brantel-$version-setup-win$bits.exe" ] || fail "no win$bits installer"
  echo "ok: win$bits zip and installer"
done

# Install and uninstall the 64-bit package (no 32-bit Wine here).
export WINEPREFIX="${WINEPREFIX:-$BRANTEL_SOURCE/build/wineprefix}"
target="$WINEPREFIX/drive_c/BrantelPackageTest"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brantel"
rm -rf "$target"
scripts/wine-run "out/Brantel-$version-setup-win64.exe" /S '/D=C:\BrantelPackageTest'
installed=$(cd "$target" && ls | grep -v '^Uninstall.exe$' | LC_ALL=C sort)
[ "$installed" == "$expected_sorted" ] || fail "installed:"$'\n'"$installed"
[ -f "$menu/Brantel.lnk" ] || fail "no Start-menu entry"
cmp -s "$target/Brantel.exe" <(unzip -p "out/Brantel-$version-win64.zip" Brantel/Brantel.exe) ||
  fail "installed program differs from the zip's"
echo "ok: installed with a Start-menu entry"

scripts/wine-run 'C:\BrantelPackageTest\Uninstall.exe' /S '_?=C:\BrantelPackageTest'
leftover=$(cd "$target" && ls | grep -v '^Uninstall.exe$' || true)
[ -z "$leftover" ] || fail "left after uninstall: $leftover"
[ ! -e "$menu/Brantel.lnk" ] || fail "Start-menu entry left after uninstall"
rm -rf "$target"
echo "ok: uninstalled"
