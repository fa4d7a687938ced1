#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on a fresh
# Debian machine. Idempotent: when every package is present it only checks and
# prints nothing.
set -euo pipefail

packages_host=(
  cmake make g++ clang googletest pkg-config
  zlib1g-dev libz-mingw-w64-dev
  locales xvfb xauth x11-utils imagemagick fonts-ipafont-gothic
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  fonts-wine lhasa jlha-utils gcab cabextract 7zip nsis
)
packages_i386=(wine wine32:i386)

missing=()
for p in "${packages_host[@]}" "${packages_i386[@]}"; do
  dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
done
# A package can be recorded as installed while a program of it is gone.
declare -A program_of=(
  [i686-w64-mingw32-g++-posix]=g++-mingw-w64-i686-posix
  [i686-w64-mingw32-gcc-posix]=gcc-mingw-w64-i686-posix
  [i686-w64-mingw32-ar]=binutils-mingw-w64-i686
  [i686-w64-mingw32-windres]=binutils-mingw-w64-i686
  [i686-w64-mingw32-objdump]=binutils-mingw-w64-i686
  [wine]=wine [Xvfb]=xvfb [lha]=jlha-utils [lhasa]=lhasa [clang]=clang [cmake]=cmake
)
reinstall=()
for program in "${!program_of[@]}"; do
  command -v "$program" >/dev/null 2>&1 || reinstall+=("${program_of[$program]}")
done
# Wine stores file names through the Unix locale: without ja_JP.UTF-8 it
# cannot make files whose names hold Japanese characters.
need_locale=0
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || need_locale=1
[ ${#missing[@]} -eq 0 ] && [ ${#reinstall[@]} -eq 0 ] && [ $need_locale -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "bootstrap: installing ${missing[*]} ${reinstall[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
[ ${#missing[@]} -eq 0 ] && [ ${#reinstall[@]} -eq 0 ] || $sudo apt-get update -qq >/dev/null
[ ${#missing[@]} -eq 0 ] || $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
[ ${#reinstall[@]} -eq 0 ] || $sudo apt-get install -y -qq --reinstall "${reinstall[@]}" >/dev/null
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
