#!/usr/bin/env bash
# Builds the release packages of both architectures into out/:
#   Brantel-<version>-win64.zip, Brantel-<version>-win32.zip   portable folders
#   Brantel-<version>-setup-win64.exe, ...-setup-win32.exe     installers (NSIS)
# Each holds Brantel.exe, KelvoX.dll, a default loginset.ini and the Chinese
# and English read-me. No system file set: the model variants are the
# controller maker's programs, and the placeholders in samples/ sent in their
# place (with the sample inetd.conf and rc.local) would leave a real
# controller that no longer starts.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh"

version=$(sed -n 's/^project(Brantel VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
out="$here/out"
mkdir -p "$out"
for arch in x86_64 i686; do
  case $arch in x86_64) bits=64 nsis=x64 ;; i686) bits=32 nsis=x86 ;; esac
  stage_root="$here/build/package/$arch"
  stage="$stage_root/Brantel"
  rm -rf "$stage_root"
  mkdir -p "$stage"
  cp "$here/build/$arch/bin/Brantel.exe" "$here/build/$arch/bin/KelvoX.dll" "$stage/"
  "$arch-w64-mingw32-strip" "$stage/Brantel.exe" "$stage/KelvoX.dll"
  cp "$here/packaging/loginset.ini" "$stage/"
  # ASCII names only: a zip records names in the packer's encoding, and
  # Explorer reads names without the zip's UTF-8 flag in the system's code
  # page, so any other name arrives garbled on one Windows or another.
  cp "$here/packaging/README-en.txt" "$here/packaging/README-zh.txt" "$stage/"

  zip_file="$out/Brantel-$version-win$bits.zip"
  rm -f "$zip_file"
  (cd "$stage_root" && zip -qr -X "$zip_file" Brantel)

  # The uninstaller removes exactly the files that were installed.
  (cd "$stage" && for f in *; do printf '  Delete "$INSTDIR\\%s"\n' "$f"; done) > "$stage_root/uninstall-files.nsh"
  makensis -V2 -INPUTCHARSET UTF8 -DARCH=$nsis -DVERSION="$version" \
    -DSTAGE="$stage" -DOUTFILE="$out/Brantel-$version-setup-win$bits.exe" \
    "$here/packaging/brantel.nsi"
done
ls -l "$out"/Brantel-"$version"-*
