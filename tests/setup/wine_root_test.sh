#!/usr/bin/env bash
# Set-up's choice of sid's Wine for the x86 suite (scripts/build-wine-root.sh),
# against a stand-in apt and Wine: sid's Wine can be uninstallable for a while,
# or install and still run no 32-bit program; then the next version listed is
# taken, and when none works the x86 suite is skipped, never passed.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
scratch=$(mktemp -d /tmp/brantel-wine-root.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A cache whose trixie root is built already; the root is this machine, whose
# apt and Wine are the stand-ins below.
cache="$scratch/cache"
mkdir -p "$cache/root/"{proc,sys,dev,run,tmp}
touch "$cache/.base-ready" "$cache/probe32.exe"
export BRANTEL_WOW64_CACHE="$cache"

# apt-cache madison lists $scratch/index ("version suite" lines); apt-get
# install fails for the versions in $scratch/uninstallable and records the
# one it installed; set-up reads the index afresh ("apt-get update") and
# from the second reading on $scratch/index-later is listed; while
# $scratch/unreadable exists, no reading succeeds and nothing is listed.
# Wine runs 32-bit programs only in the versions named in $scratch/runs-32bit.
# Every apt-get call is journalled in $scratch/calls.
mkdir -p "$scratch/bin"
cat > "$scratch/bin/chroot" <<'FAKE'
#!/usr/bin/env bash
shift
exec "$@"
FAKE
cat > "$scratch/bin/apt-cache" <<'FAKE'
#!/usr/bin/env bash
while read -r version suite; do
  printf '%10s | %s | http://deb.debian.org/debian %s/main amd64 Packages\n' wine "$version" "$suite"
done < "$FAKE_APT/index"
FAKE
cat > "$scratch/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >> "$FAKE_APT/calls"
case $1 in
  update) if [ -f "$FAKE_APT/unreadable" ]; then
            : > "$FAKE_APT/index"
            echo "E: Failed to fetch http://deb.debian.org/debian/dists/sid/InRelease  Hash Sum mismatch"
            exit 100
          fi
          [ "$(grep -c '^update' "$FAKE_APT/calls")" -lt 2 ] || [ ! -f "$FAKE_APT/index-later" ] ||
            cp "$FAKE_APT/index-later" "$FAKE_APT/index" ;;
  install) for spec; do [[ $spec == wine=* ]] && version=${spec#wine=}; done
           if grep -qx "$version" "$FAKE_APT/uninstallable" 2>/dev/null; then
             echo " wine64 : Depends: libwine (= $version) but it is not going to be installed"
             echo "E: Unable to correct problems, you have held broken packages."
             exit 100
           fi
           echo "$version" > "$FAKE_APT/installed" ;;
esac
FAKE
cat > "$scratch/bin/wine" <<'FAKE'
#!/usr/bin/env bash
if grep -qx "$(cat "$FAKE_APT/installed")" "$FAKE_APT/runs-32bit" 2>/dev/null; then printf '32\r\n'; exit 0; fi
echo 'wine: failed to load L"\\??\\C:\\windows\\syswow64\\ntdll.dll" error c0000135' >&2
exit 1
FAKE
printf '#!/bin/sh\n' > "$scratch/bin/wineserver"
chmod +x "$scratch/bin/"*
export FAKE_APT="$scratch" PATH="$scratch/bin:$PATH"

# setup INDEX UNINSTALLABLE RUNS-32BIT [INDEX-LATER]: a set-up run from a
# cache that has chosen no Wine yet; each argument lists "version suite"
# pairs or versions, separated by commas.
setup() {
  rm -f "$cache/wine-version" "$cache/unavailable" "$scratch/calls" "$scratch/installed" "$scratch/index-later" \
    "$scratch/unreadable"
  tr , '\n' <<<"$1" > "$scratch/index"
  tr , '\n' <<<"$2" > "$scratch/uninstallable"
  tr , '\n' <<<"$3" > "$scratch/runs-32bit"
  [ -z "${4:-}" ] || tr , '\n' <<<"$4" > "$scratch/index-later"
  rerun
}
# Set-up again, from the cache as it is.
rerun() {
  rm -f "$scratch/calls"
  status=0
  "$top/scripts/build-wine-root.sh" 2>"$scratch/said" || status=$?
  [ "$status" = 0 ] || fail "set-up failed: $(cat "$scratch/said")"
  chosen=$(cat "$cache/wine-version" 2>/dev/null || echo none)
  calls=$(cat "$scratch/calls" 2>/dev/null || true)
  installs=$(sed -n 's/^install .*wine=\([^ ]*\).*/\1/p' <<<"$calls" | xargs)
  readings=$(grep -c '^update' <<<"$calls" || true)
}
said() { grep -qF "$1" "$scratch/said" || fail "set-up did not say '$1': $(cat "$scratch/said")"; }

# The newest sid version does not install: the next one is taken.
setup "10.0~repack-6 trixie,10.0~repack-14 sid,10.0~repack-13 sid" 10.0~repack-14 10.0~repack-13
[ "$chosen/$installs/$readings" = "10.0~repack-13/10.0~repack-14 10.0~repack-13/1" ] ||
  fail "chosen $chosen after installing $installs, $readings index readings"
said "sid's Wine 10.0~repack-14 does not install"
said "held broken packages"
said "run under sid's Wine 10.0~repack-13"
rerun
[ -z "$calls" ] || fail "a root with a working Wine was set up again: $calls"
echo "ok: an uninstallable version is passed over for the next one sid lists, and the choice is kept"

# A version that installs but runs no 32-bit program is passed over too.
setup "10.0~repack-13 unstable,10.0~repack-12 unstable" "" 10.0~repack-12
[ "$chosen/$installs" = "10.0~repack-12/10.0~repack-13 10.0~repack-12" ] || fail "chosen $chosen after $installs"
said "sid's Wine 10.0~repack-13 installs but runs no 32-bit program"
said "error c0000135"
echo "ok: a version that runs no 32-bit program is passed over"

# Nothing listed works until the index is renewed, once.
setup "10.0~repack-12 sid" "" 10.0~repack-15 "10.0~repack-15 sid"
[ "$chosen/$installs/$readings" = "10.0~repack-15/10.0~repack-12 10.0~repack-15/2" ] ||
  fail "chosen $chosen after installing $installs, $readings index readings"
echo "ok: the index is renewed once when no listed version works"

# Nothing works even then: set-up says so and goes on, and the x86 suite
# reports itself skipped without running a test. Trixie's own Wine, which
# lacks the 32-bit half, is not a candidate.
setup "10.0~repack-6 trixie,10.0~repack-12 sid" 10.0~repack-12 10.0~repack-6
[ "$chosen/$installs/$readings" = "none/10.0~repack-12 10.0~repack-12/2" ] ||
  fail "chosen $chosen after installing $installs, $readings index readings"
said "sid offers no Wine that installs and runs 32-bit programs now"
said "its suite is skipped"
suite_status=0
suite=$("$top/scripts/test-suite" i686 2>&1) || suite_status=$?
[ "$suite_status" = 77 ] && [[ "$suite" == "== x86 suite: SKIPPED: sid offers no Wine"*" ==" ]] ||
  fail "the x86 suite said (status $suite_status): $suite"
echo "ok: with no working Wine set-up goes on, and the x86 suite is skipped"

# An index that cannot be read lists no Wine: the same, not a failed set-up.
touch "$scratch/unreadable"
rm -f "$cache/unavailable"
rerun
[ "$chosen/$readings" = "none/2" ] && [ -f "$cache/unavailable" ] || fail "unreadable index: chosen $chosen"
rm "$scratch/unreadable"
echo "ok: an index that cannot be read is taken as no Wine"

# Within 12 hours set-up only says so again; later it tries anew.
rerun
[ -z "$calls" ] || fail "tried again at once: $calls"
said "sid offers no Wine"
touch -d '13 hours ago' "$cache/unavailable"
echo "10.0~repack-12 sid" > "$scratch/index"
echo 10.0~repack-12 > "$scratch/runs-32bit"
: > "$scratch/uninstallable"
rerun
[ "$chosen" = 10.0~repack-12 ] && [ ! -e "$cache/unavailable" ] || fail "after 13 hours: chosen $chosen"
echo "ok: a Wine found missing is looked for again after 12 hours"
