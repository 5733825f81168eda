#!/usr/bin/env bash
# Installs everything Brantel needs to build and test on Debian 12: the mingw-w64
# cross toolchain, Wine, Xvfb, the zh_CN.UTF-8 locale, the test peers (sshd, FTP,
# paramiko), libssh2 on OpenSSL's libcrypto, built from Debian's source
# packages, and the trixie root with sid's WoW64 Wine in which the 32-bit
# build's tests run.
# Idempotent: a second run only checks and returns.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  cmake ninja-build make perl patch git ca-certificates dpkg-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  wine wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei xdotool
  locales iproute2 procps psmisc
  openssh-server python3-pyftpdlib python3-paramiko
  googletest zip nsis bc debootstrap
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

"$here/scripts/build-libssh2.sh"
"$here/scripts/build-wine-root.sh"
