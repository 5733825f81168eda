#!/usr/bin/env bash
# Builds the root in which the 32-bit build's tests run: Debian trixie with
# sid's Wine, whose "new WoW64" mode runs 32-bit Windows programs with no
# 32-bit Linux code (this machine's kernel runs none, so bookworm's 32-bit
# Wine cannot start). Trixie's own Wine lacks the 32-bit half, and sid's needs
# a newer C library than bookworm's: hence a root of its own, cached under
# /var/cache/brantel/wow64 (BRANTEL_WOW64_CACHE) beside the libraries.
#
# The Wine taken is the newest version sid lists that installs and runs a
# 32-bit program; it is written to wine-version there. When none does (sid's
# Wine can be uninstallable for a while), set-up says so, writes the reason to
# "unavailable", and the x86 suite is reported as skipped; set-up tries again
# after 12 hours. A root with a working Wine is left alone.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/scripts/listed-versions.sh"
cache=${BRANTEL_WOW64_CACHE:-/var/cache/brantel/wow64}
root="$cache/root"
log="$cache/wine-root.log"

[ -f "$cache/wine-version" ] && exit 0
# Every worktree shares the root: one set-up builds it while the others wait.
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
[ -f "$cache/wine-version" ] && exit 0
if [ -f "$cache/unavailable" ] && [ -z "$(find "$cache/unavailable" -mmin +720)" ]; then
  echo "set-up: $(cat "$cache/unavailable")" >&2
  exit 0
fi
: >"$log"

in_root() { LC_ALL=C DEBIAN_FRONTEND=noninteractive chroot "$root" "$@"; }

# The Debian mirror this machine installs bookworm from.
debian_mirror() {
  apt-cache policy | awk '$3 == "bookworm/main" && $2 ~ /^https?:/ { print $2; exit }' | grep . ||
    echo http://deb.debian.org/debian
}

if [ ! -f "$cache/.base-ready" ]; then
  echo "building the trixie root for the x86 tests" >&2
  rm -rf --one-file-system "$root"
  mirror=$(debian_mirror)
  debootstrap --variant=minbase --include=locales,fonts-wqy-microhei trixie "$root" "$mirror" >>"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; echo "debootstrap of trixie failed (log: $log)" >&2; exit 1; }
  rm -f "$root/etc/apt/sources.list"
  cat > "$root/etc/apt/sources.list.d/debian.sources" <<SRC
Types: deb
URIs: $mirror
Suites: trixie sid
Components: main
SRC
  # Only Wine comes from sid; the archive's sid Release file can read as
  # expired.
  printf 'Package: *\nPin: release n=trixie\nPin-Priority: 900\n' > "$root/etc/apt/preferences.d/trixie"
  printf '%s\n' 'Acquire::Check-Valid-Until "false";' 'APT::Install-Recommends "false";' \
    'Acquire::Languages "none";' > "$root/etc/apt/apt.conf.d/90brantel"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' "$root/etc/locale.gen"
  in_root locale-gen >>"$log" 2>&1
  touch "$cache/.base-ready"
fi
# An index that cannot be read (sid's mirror in mid-sync) lists no Wine: the
# choice below renews it once and otherwise finds none.
in_root apt-get update -q >>"$log" 2>&1 || true

# A 32-bit Windows program that says how wide its pointers are.
probe="$cache/probe32.exe"
[ -f "$probe" ] ||
  i686-w64-mingw32-gcc-posix -s -o "$probe" -x c - <<<'#include <stdio.h>
int main(void) { printf("%u\n", (unsigned)(8 * sizeof(void*))); return 0; }'

sid_wine_versions() {
  in_root apt-cache madison wine | awk -F' *[|] *' '$3 ~ / (sid|unstable)\// { print $2 }'
}

# Runs the probe under the root's Wine in a prefix and a sandbox of its own.
runs_32bit_programs() {
  local work out status=0 server
  work=$(mktemp -d /tmp/brantel-wine-probe.XXXXXX)
  cp "$probe" "$work/"
  out=$(BRANTEL_WINE_ROOT="$root" WINEPREFIX="$work/prefix" "$here/scripts/in-sandbox" bash -c '
    "$1/scripts/wine-run" "$2/probe32.exe"; status=$?
    "$1/scripts/in-wine-root" wineserver -w
    exit $status' bash "$here" "$work" 2>"$work/stderr" 9>&-) || status=$?
  out=$(tr -d '\r' <<<"$out")
  [ "$status" = 0 ] && [ "$out" = 32 ] || tail -n 3 "$work/stderr"
  # Debian's Wine makes a new prefix's server folder in /tmp and names it in
  # the prefix's file "wineserver"; it goes with the prefix. (Pointing
  # TMPDIR at $work instead makes sid's Wine abort: "free(): invalid pointer".)
  server=$(cat "$work/prefix/wineserver" 2>/dev/null) || true
  [[ "$server" != wine-?* || "$server" == */* ]] || rm -rf "/tmp/$server"
  rm -rf "$work"
  [ "$status" = 0 ] && [ "$out" = 32 ]
}

install_wine() {
  local version=$1
  local out status=0
  echo "installing sid's Wine $version" >&2
  # wine64 and libwine may carry a rebuild's suffix (+b1); wine's
  # dependencies tie them to its version.
  out=$(in_root apt-get install -y -q --allow-downgrades -t sid "wine=$version" wine64 libwine 2>&1) || status=$?
  echo "$out" >>"$log"
  if [ "$status" != 0 ]; then
    echo "sid's Wine $version does not install:" >&2
    grep '^E: \| : Depends: ' <<<"$out" | head -n 6 >&2
    return 1
  fi
  runs_32bit_programs || { echo "sid's Wine $version installs but runs no 32-bit program" >&2; return 1; }
}

renew_index() { in_root apt-get update -q >>"$log" 2>&1; }

if version=$(first_listed_version sid_wine_versions install_wine renew_index); then
  rm -f "$cache/unavailable"
  echo "$version" > "$cache/wine-version"
  echo "set-up: the x86 build's tests run under sid's Wine $version (WoW64) in $root" >&2
else
  reason="sid offers no Wine that installs and runs 32-bit programs now (log: $log): the x86 build cannot be tested, and its suite is skipped"
  echo "$reason" > "$cache/unavailable"
  echo "set-up: $reason" >&2
fi
