#!/usr/bin/env bash
# Builds static libssh2 on OpenSSL's libcrypto for both Windows architectures
# from Debian's source packages. The result is cached outside the source tree
# and shared by every tree on the machine:
#   /var/cache/brantel/openssl/<arch>                 OpenSSL's libcrypto and headers
#   /var/cache/brantel/openssl/<arch>/libssh2-<key>   libssh2 with the patches in
#                                                     scripts/libssh2-patches
# (the key is the patch set's digest, see scripts/libssh2-prefix). What is
# finished is left alone: a changed patch set builds only libssh2 again, into
# a folder of its own, and the folders of other patch sets stay for the trees
# that use them. Each libssh2 is built aside and moved into place whole.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache=/var/cache/brantel/openssl
src="$cache/src"
archs=(x86_64 i686)

# step WHAT LOG COMMAND...: runs COMMAND with its output in LOG, shown only
# when it fails.
step() {
  local what=$1 log=$2
  shift 2
  echo "building $what" >&2
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "building $what failed (log: $log)" >&2; return 1; }
}

openssl_finished() { [ -f "$cache/$1/lib/libcrypto.a" ] && [ -f "$cache/$1/include/openssl/opensslv.h" ]; }
libssh2_finished() { [ -f "$("$here/scripts/libssh2-prefix" "$1")/lib/libssh2.a" ]; }

todo=()
for arch in "${archs[@]}"; do
  openssl_finished "$arch" && libssh2_finished "$arch" || todo+=("$arch")
done
((${#todo[@]})) || exit 0

list=/etc/apt/sources.list.d/brantel-trixie-src.sources
if [ ! -f "$list" ]; then
  cat > "$list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -q
fi
mkdir -p "$src"
libssh2_src=$("$here/scripts/fetch-source" "$src" libssh2 1.11.1)
build=$(mktemp -d "$cache/build.XXXXXX")
trap 'rm -rf "$build"' EXIT

for arch in "${todo[@]}"; do
  prefix="$cache/$arch"
  b="$build/$arch"
  mkdir -p "$b"

  if ! openssl_finished "$arch"; then
    openssl_src=$("$here/scripts/fetch-source" "$src" openssl 3.)
    # Debian's "pic" patch makes the 32-bit x86 assembly position-independent
    # the ELF way, which a Windows (COFF) object cannot express; Windows needs
    # none of it.
    pic="$openssl_src/debian/patches/pic.patch"
    if [ -f "$pic" ] && patch -d "$openssl_src" -R -p1 -s -f --dry-run < "$pic" >/dev/null 2>&1; then
      patch -d "$openssl_src" -R -p1 -s -f < "$pic" >/dev/null
    fi
    rm -rf "$prefix"; mkdir -p "$b/openssl" "$prefix/lib" "$prefix/include/openssl"
    # libssh2 needs libcrypto only; building just that library and its
    # generated headers saves the time libssl would take. Left out: what SSH
    # never uses, and the ciphers that only OpenSSL's legacy provider carries
    # (libssh2 would offer them and then fail to start them). No configuration
    # file is ever read: the built-in path would name a folder that any user
    # of the engineer's PC may create.
    case $arch in x86_64) target=mingw64 ;; i686) target=mingw ;; esac
    step "OpenSSL ($arch)" "$b/openssl.log" bash -c '
      cd "$1" && "$2/Configure" "$3" no-shared no-tests no-apps no-docs no-legacy \
        no-engine no-module no-dso no-quic no-ui-console no-autoload-config \
        no-bf no-cast no-rc4 no-rc2 no-idea no-seed no-mdc2 no-whirlpool \
        no-cms no-ts no-ocsp no-ct no-cmp no-srp no-sm2 no-sm3 no-sm4 no-aria \
        no-camellia no-siphash no-siv no-ocb no-scrypt no-ec2m \
        --cross-compile-prefix="$4-w64-mingw32-" CC=gcc-posix --prefix="$5" &&
      make -j2 build_generated && make -j2 libcrypto.a' \
      bash "$b/openssl" "$openssl_src" "$target" "$arch" "$prefix"
    cp "$b/openssl/libcrypto.a" "$prefix/lib/"
    cp "$openssl_src"/include/openssl/*.h "$b"/openssl/include/openssl/*.h "$prefix/include/openssl/"
  fi

  libssh2_prefix=$("$here/scripts/libssh2-prefix" "$arch")
  [ -f "$libssh2_prefix/lib/libssh2.a" ] && continue
  # The patches go onto a copy: the unpacked source stays as Debian ships it.
  cp -a "$libssh2_src" "$b/libssh2-src"
  for p in $(cd "$here/scripts/libssh2-patches" && LC_ALL=C ls -- *.patch 2>/dev/null); do
    patch -d "$b/libssh2-src" -p1 -s -f < "$here/scripts/libssh2-patches/$p" ||
      { echo "the libssh2 patch $p does not apply" >&2; exit 1; }
  done
  staged="$b/libssh2-prefix"
  step "libssh2 ($arch)" "$b/libssh2.log" bash -c '
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_SYSTEM_NAME=Windows \
      -DCMAKE_C_COMPILER="$3-w64-mingw32-gcc-posix" -DCMAKE_RC_COMPILER="$3-w64-mingw32-windres" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$5" \
      -DCRYPTO_BACKEND=OpenSSL -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
      -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_ZLIB_COMPRESSION=OFF \
      -DOPENSSL_ROOT_DIR="$4" -DOPENSSL_INCLUDE_DIR="$4/include" \
      -DOPENSSL_CRYPTO_LIBRARY="$4/lib/libcrypto.a" -DOPENSSL_USE_STATIC_LIBS=TRUE &&
    cmake --build "$2" -j2 && cmake --install "$2"' \
    bash "$b/libssh2-src" "$b/libssh2" "$arch" "$prefix" "$staged"
  # Its pkg-config file names the staging folder; nothing here reads it.
  rm -rf "$staged/lib/pkgconfig"
  # Trees building at this moment see either no folder or a whole one.
  mkdir -p "$(dirname "$libssh2_prefix")"
  mv -T "$staged" "$libssh2_prefix" 2>/dev/null || [ -f "$libssh2_prefix/lib/libssh2.a" ]
done
