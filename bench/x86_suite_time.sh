#!/usr/bin/env bash
# What the x86 suite adds to a fresh machine's way from set-up to green:
#   - set-up's trixie root with sid's Wine, built from nothing (debootstrap,
#     the locale and font, Wine, the 32-bit probe) into a scratch cache, so
#     the shared root in /var/cache/brantel/wow64 is left alone;
#   - one run of the x86 suite under that root, from a new Wine prefix.
# (The 32-bit build itself is made by scripts/build.sh with the x86-64 one,
# as before.)
#   bench/x86_suite_time.sh      (after scripts/setup.sh and scripts/build.sh)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache=$(mktemp -d /var/tmp/brantel-wow64-bench.XXXXXX)
trap 'rm -rf --one-file-system "$cache"' EXIT
export BRANTEL_WOW64_CACHE="$cache"

start=$SECONDS
"$here/scripts/build-wine-root.sh"
root_seconds=$((SECONDS - start))
[ -f "$cache/wine-version" ] || { echo "no Wine for the x86 suite: nothing to time" >&2; exit 1; }

rm -rf "$here/build/wineprefix-wow64"
start=$SECONDS
status=0
"$here/scripts/test-suite" i686 || status=$?
suite_seconds=$((SECONDS - start))

echo "trixie root with sid's Wine $(cat "$cache/wine-version"), from nothing: $root_seconds s"
echo "x86 suite from a new prefix: $suite_seconds s ($( ((status == 0)) && echo passed || echo "FAILED, status $status"))"
