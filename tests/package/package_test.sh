#!/usr/bin/env bash
# The release packages: both zips and both installers hold the program, its
# library, the font file and the two read-mes, all under ASCII names, and no
# file of samples/ (the
# placeholder programs would replace a real controller's). Both
# installers run without elevation; the 64-bit one installs silently under
# Wine into the user's own programs folder with a shortcut in the user's
# Start menu and an uninstall entry under HKCU, and its uninstaller takes
# away what it installed and nothing else.
set -euo pipefail
: "${BRANTEL_SOURCE:?}"
cd "$BRANTEL_SOURCE"
scripts/package.sh >/dev/null
version=$(sed -n 's/^project(Brantel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

expected=(Brantel.exe KelvoX.dll loginset.ini README-en.txt README-zh.txt)
expected_sorted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)

fail() { echo "FAIL: $*" >&2; exit 1; }

# no_sample LISTING WHERE: no file of samples/ is among the names in LISTING.
no_sample() {
  local sample
  for sample in samples/*; do
    [ "$(basename "$sample")" != README.md ] || continue
    ! grep -qxF "$(basename "$sample")" <<<"$1" || fail "$2 holds the sample file $(basename "$sample")"
  done
}

for bits in 64 32; do
  zip_file="out/Brantel-$version-win$bits.zip"
  listed=$(unzip -Z1 "$zip_file" | sed -n 's|^Brantel/\(..*\)$|\1|p' | LC_ALL=C sort)
  # Explorer shows a name that is not ASCII garbled unless the zip says it
  # is UTF-8, which it reads as the system's code page otherwise.
  ! unzip -Z1 "$zip_file" | LC_ALL=C grep -q '[^ -~]' || fail "$zip_file holds a name that is not ASCII"
  no_sample "$listed" "$zip_file"
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

# Both installers run as the user who starts them: no elevation.
for bits in 64 32; do
  level=$(grep -ao 'requestedExecutionLevel level="[a-zA-Z]*"' "out/Brantel-$version-setup-win$bits.exe" | sort -u)
  [ "$level" == 'requestedExecutionLevel level="asInvoker"' ] || fail "win$bits installer asks for: $level"
done
echo "ok: the installers ask for no elevation"

# Install and uninstall the 64-bit package (no 32-bit Wine here) silently, as
# an ordinary user would: into the user's own programs folder, with a
# shortcut in the user's Start menu and an uninstall entry under HKCU.
export WINEPREFIX="${WINEPREFIX:-$BRANTEL_SOURCE/build/wineprefix}"
run() { scripts/wine-run "$@" | tr -d '\r'; }
# A folder as the user's Windows names it (%NAME%), and the same in the prefix.
folder() { run cmd /c "echo %$1%"; }
unix_path() { printf '%s/drive_c/%s' "$WINEPREFIX" "$(tr '\\' / <<<"${1#C:\\}")"; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel'
reg_value() { run reg query "$1" /v "$2" 2>/dev/null | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }

install_dir="$(folder LOCALAPPDATA)\\Programs\\Brantel"
target=$(unix_path "$install_dir")
menu=$(unix_path "$(folder APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")
cleanup() {
  rm -rf "$target" "$menu/Brantel" "$menu/Other.lnk"
  run reg delete "$key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT
cleanup
# Windows always has the user's Start menu; a Wine prefix makes it only when
# something first asks for it.
mkdir -p "$menu"
touch "$menu/Other.lnk"   # the Start menu holds other programs' entries too

run "out/Brantel-$version-setup-win64.exe" /S
installed=$(cd "$target" && ls | grep -v '^Uninstall.exe$' | LC_ALL=C sort)
no_sample "$installed" "the installation"
[ "$installed" == "$expected_sorted" ] || fail "installed in $target:"$'\n'"$installed"
[ -f "$target/Uninstall.exe" ] || fail "no uninstaller in $target"
cmp -s "$target/Brantel.exe" <(unzip -p "out/Brantel-$version-win64.zip" Brantel/Brantel.exe) ||
  fail "installed program differs from the zip's"
[ ! -e "$WINEPREFIX/drive_c/Program Files/Brantel" ] || fail "files under Program Files"
echo "ok: installed into $install_dir"

shortcut=$(run "$BRANTEL_SOURCE/build/x86_64/tests/driver.exe" shortcut "$(folder APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Brantel\\Brantel.lnk")
expect_shortcut="$install_dir\\Brantel.exe"$'\n'"$install_dir"
[ "$shortcut" == "$expect_shortcut" ] || fail "Start-menu shortcut (target, working folder):"$'\n'"$shortcut"
echo "ok: the user's Start-menu shortcut starts Brantel.exe in $install_dir"

expect_reg() {
  local got
  got=$(reg_value "$key" "$1")
  [ "$got" == "$2" ] || fail "uninstall entry $1: '$got', expected '$2'"
}
expect_reg DisplayName "Brantel $version"
expect_reg UninstallString "\"$install_dir\\Uninstall.exe\""
expect_reg InstallLocation "$install_dir"
[ -z "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel' DisplayName)" ] ||
  fail "an uninstall entry under HKLM"
echo "ok: the uninstall entry is the user's"

# What the program writes at run time beside itself is the user's: it stays.
written=(Brantel.cfg reboot.txt Korvid)
for f in "${written[@]}"; do echo run-time > "$target/$f"; done
run "$install_dir\\Uninstall.exe" /S
# The uninstaller goes on from a copy of itself; its last step removes the
# uninstall entry.
for _ in $(seq 60); do [ -n "$(reg_value "$key" DisplayName)" ] || break; sleep 1; done
left=$(cd "$target" && ls | LC_ALL=C sort)
[ "$left" == "$(printf '%s\n' "${written[@]}" | LC_ALL=C sort)" ] || fail "left after uninstall:"$'\n'"$left"
[ ! -e "$menu/Brantel" ] || fail "Start-menu folder left after uninstall: $(ls "$menu/Brantel")"
[ -e "$menu/Other.lnk" ] || fail "the uninstaller removed another Start-menu entry"
[ -z "$(reg_value "$key" DisplayName)" ] || fail "uninstall entry left after uninstall"
echo "ok: uninstalled; the files the program wrote stay"
