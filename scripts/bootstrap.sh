#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on a fresh
# Debian machine. Idempotent: when every package is present it only checks and
# prints nothing.
set -euo pipefail

packages_host=(
  cmake make g++ clang googletest pkg-config locales
  zlib1g-dev
  xvfb xauth x11-utils imagemagick fonts-ipafont-gothic
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  fonts-wine lhasa jlha-utils gcab cabextract 7zip nsis
)
packages_i386=(wine wine32:i386)

missing=()
for p in "${packages_host[@]}" "${packages_i386[@]}"; do
  dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "bootstrap: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
