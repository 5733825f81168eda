#!/usr/bin/env bash
# scripts/fetch-source against a stand-in apt: an index that names versions
# the archive does not serve (a 404), as Debian's archive sometimes does.
set -euo pipefail
fetch="$(cd "$(dirname "$0")/../.." && pwd)/scripts/fetch-source"
scratch=$(mktemp -d /tmp/brantel-fetch.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The stand-in apt-cache lists $scratch/index ("package version" lines) as
# source stanzas; apt-get unpacks the versions named in $scratch/served and
# answers 404 for the others; "apt-get update" serves $scratch/served-later
# from then on. Every call is journalled in $scratch/calls.
mkdir -p "$scratch/bin"
cat > "$scratch/bin/apt-cache" <<'FAKE'
#!/usr/bin/env bash
while read -r package version; do printf 'Package: %s\nVersion: %s\n\n' "$package" "$version"; done < "$FAKE_APT/index"
FAKE
cat > "$scratch/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >> "$FAKE_APT/calls"
case $1 in
  update) [ -f "$FAKE_APT/served-later" ] && cp "$FAKE_APT/served-later" "$FAKE_APT/served"; exit 0 ;;
  source) spec=${*: -1}; package=${spec%%=*}; version=${spec#*=}
          grep -qx "$spec" "$FAKE_APT/served" 2>/dev/null || { echo "E: 404 Not Found" >&2; exit 100; }
          mkdir "$package-${version%%-*}" ;;
esac
FAKE
chmod +x "$scratch/bin/"*
export FAKE_APT="$scratch" PATH="$scratch/bin:$PATH"

# run CASE: fetch-source's output, exit status and the apt calls, in a fresh folder.
run() {
  rm -rf "$scratch/out" "$scratch/calls"
  mkdir -p "$scratch/out"
  status=0
  "$fetch" "$scratch/out" openssl 3. >"$scratch/stdout" 2>"$scratch/stderr" || status=$?
  calls=$(cat "$scratch/calls" 2>/dev/null || true)
}

printf '%s\n' "openssl 3.5.7-1~deb13u2" "openssl 3.5.9-1~deb13u1" "openssl 1.1.1w-0+deb11u1" \
  "libssl-doc 3.6.0-1" > "$scratch/index"

# The newest listed version is not served yet: the next one is taken.
echo "openssl=3.5.7-1~deb13u2" > "$scratch/served"
run
[ "$status" = 0 ] || fail "a served version was listed, yet fetch-source failed: $(cat "$scratch/stderr")"
[ "$(cat "$scratch/stdout")" = "$scratch/out/openssl-3.5.7" ] || fail "unpacked: $(cat "$scratch/stdout")"
[ "$calls" = $'source -qq openssl=3.5.9-1~deb13u1\nsource -qq openssl=3.5.7-1~deb13u2' ] ||
  fail "tried, in order: $calls"
grep -q "3.5.9-1~deb13u1 could not be fetched" "$scratch/stderr" || fail "the skipped version is not named"
echo "ok: a version the archive does not serve is passed over for the next one listed"

# What is unpacked already is used without asking apt.
rm -f "$scratch/calls"
"$fetch" "$scratch/out" openssl 3. >"$scratch/stdout"
[ ! -e "$scratch/calls" ] && [ "$(cat "$scratch/stdout")" = "$scratch/out/openssl-3.5.7" ] ||
  fail "an unpacked copy was fetched again"
echo "ok: an unpacked copy is reused"

# Nothing listed is served until the index is renewed; renewed once, and
# still nothing served, it gives up.
: > "$scratch/served"
echo "openssl=3.5.9-1~deb13u1" > "$scratch/served-later"
run
[ "$status" = 0 ] && [ "$(cat "$scratch/stdout")" = "$scratch/out/openssl-3.5.9" ] ||
  fail "after renewing the index: status $status, $(cat "$scratch/stdout")"
[ "$(grep -c '^update' <<< "$calls")" = 1 ] || fail "index renewals: $calls"
: > "$scratch/served"
: > "$scratch/served-later"
run
[ "$status" != 0 ] && [ ! -s "$scratch/stdout" ] || fail "nothing served, yet status $status"
[ "$(grep -c '^update' <<< "$calls")" = 1 ] || fail "index renewals: $calls"
echo "ok: the index is renewed once when no listed version is served, then it gives up"
