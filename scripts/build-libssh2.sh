#!/usr/bin/env bash
# Builds static libssh2 (mbedTLS backend) for both Windows architectures from
# Debian's source packages. The result is cached outside the source tree, one
# prefix per architecture; a finished prefix is left alone.
set -euo pipefail
cache=/var/cache/brantel
libssh2_ver=1.11.1
mbedtls_ver=3.6

have_all=1
for arch in x86_64 i686; do
  [ -f "$cache/$arch/lib/libssh2.a" ] && [ -f "$cache/$arch/lib/libmbedcrypto.a" ] || have_all=0
done
((have_all)) && exit 0

src="$cache/src"
mkdir -p "$src"
if ! ls "$src"/libssh2-"$libssh2_ver"*/CMakeLists.txt >/dev/null 2>&1 ||
   ! ls -d "$src"/mbedtls-"$mbedtls_ver"* >/dev/null 2>&1; then
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
  (cd "$src" && apt-get source -q libssh2/trixie mbedtls/trixie)
fi
libssh2_src=$(ls -d "$src"/libssh2-"$libssh2_ver"*/ | head -n1)
mbedtls_src=$(ls -d "$src"/mbedtls-"$mbedtls_ver"*/ | head -n1)

for arch in x86_64 i686; do
  prefix="$cache/$arch"
  [ -f "$prefix/lib/libssh2.a" ] && [ -f "$prefix/lib/libmbedcrypto.a" ] && continue
  tc=(-DCMAKE_SYSTEM_NAME=Windows
      -DCMAKE_C_COMPILER="$arch-w64-mingw32-gcc-posix"
      -DCMAKE_CXX_COMPILER="$arch-w64-mingw32-g++-posix"
      -DCMAKE_RC_COMPILER="$arch-w64-mingw32-windres"
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix")
  b="$cache/build/$arch"
  rm -rf "$b"; mkdir -p "$b"
  cmake -S "$mbedtls_src" -B "$b/mbedtls" -G Ninja "${tc[@]}" \
    -DENABLE_TESTING=OFF -DENABLE_PROGRAMS=OFF -DUSE_SHARED_MBEDTLS_LIBRARY=OFF \
    -DMBEDTLS_FATAL_WARNINGS=OFF >/dev/null
  cmake --build "$b/mbedtls" >/dev/null
  cmake --install "$b/mbedtls" >/dev/null
  cmake -S "$libssh2_src" -B "$b/libssh2" -G Ninja "${tc[@]}" \
    -DCRYPTO_BACKEND=mbedTLS -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
    -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_ZLIB_COMPRESSION=OFF \
    -DMBEDTLS_INCLUDE_DIR="$prefix/include" \
    -DMBEDCRYPTO_LIBRARY="$prefix/lib/libmbedcrypto.a" \
    -DMBEDTLS_LIBRARY="$prefix/lib/libmbedtls.a" \
    -DMBEDX509_LIBRARY="$prefix/lib/libmbedx509.a" >/dev/null
  cmake --build "$b/libssh2" >/dev/null
  cmake --install "$b/libssh2" >/dev/null
done
rm -rf "$cache/build"
