#!/bin/sh
# Installs what the build and the tests need on Debian 12, skipping what is there.
set -e
packages="cmake make g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
  libvips-dev libvips-tools mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  clang libclang-rt-14-dev binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth python3
  fonts-dejavu-core fonts-noto-cjk fonts-arabeyes"
# The fonts are for the windows under wine: Latin, Greek and Cyrillic
# (DejaVu), Chinese, Japanese and Korean (Noto CJK) and Arabic (Arabeyes), so
# that every interface language shows letters, and is measured by them.
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
