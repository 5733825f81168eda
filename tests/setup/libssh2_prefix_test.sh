#!/usr/bin/env bash
# scripts/libssh2-prefix: the folder of libssh2 in the shared cache follows
# the patch set and nothing else, so that trees with different patch sets on
# one machine each find their own build and never take another's.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
scratch=$(mktemp -d /tmp/brantel-prefix.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A tree of its own: the script and a copy of the patch set.
mkdir -p "$scratch/scripts"
cp "$source_dir/scripts/libssh2-prefix" "$scratch/scripts/"
cp -r "$source_dir/scripts/libssh2-patches" "$scratch/scripts/"
prefix() { "$scratch/scripts/libssh2-prefix" "$1"; }

ours=$(prefix x86_64)
[[ $ours == /var/cache/brantel/openssl/x86_64/libssh2-* ]] || fail "x86_64 prefix: $ours"
[ "$(prefix i686)" == "${ours/x86_64/i686}" ] || fail "i686 prefix: $(prefix i686)"
[ "$(prefix x86_64)" == "$ours" ] || fail "the prefix changes from one call to the next"
(cd / && [ "$(prefix x86_64)" == "$ours" ]) || fail "the prefix depends on the working folder"
[ "$(LC_ALL=zh_CN.UTF-8 prefix x86_64)" == "$ours" ] || fail "the prefix depends on the locale"
touch -d '2001-01-01' "$scratch/scripts/libssh2-patches/"*.patch
[ "$(prefix x86_64)" == "$ours" ] || fail "the prefix depends on the patches' times"
echo "ok: one folder per architecture, the same for every call"

patch=$(ls "$scratch/scripts/libssh2-patches/"*.patch | head -n 1)
echo " " >> "$patch"
changed=$(prefix x86_64)
[ "$changed" != "$ours" ] || fail "a changed patch keeps the folder"
printf 'note\n' > "$scratch/scripts/libssh2-patches/zz-added.patch"
added=$(prefix x86_64)
[ "$added" != "$changed" ] && [ "$added" != "$ours" ] || fail "an added patch keeps the folder"
mv "$scratch/scripts/libssh2-patches/zz-added.patch" "$scratch/scripts/libssh2-patches/00-added.patch"
[ "$(prefix x86_64)" != "$added" ] || fail "a renamed patch (applied in another order) keeps the folder"
rm "$scratch/scripts/libssh2-patches/"*.patch
[ "$(prefix x86_64)" == /var/cache/brantel/openssl/x86_64/libssh2-unpatched ] || fail "no patches: $(prefix x86_64)"
echo "ok: a changed, added, renamed or removed patch gives a folder of its own"
