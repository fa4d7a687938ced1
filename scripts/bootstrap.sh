#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on a fresh
# Debian machine, then tries each tool once on a tiny input. Idempotent:
# when every package is present it installs nothing and only checks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

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
  [wine]=wine [Xvfb]=xvfb [jlha]=jlha-utils [lhasa]=lhasa [7zz]=7zip [gcab]=gcab
  [cabextract]=cabextract [makensis]=nsis [clang]=clang [cmake]=cmake [convert]=imagemagick
)
reinstall=()
for program in "${!program_of[@]}"; do
  command -v "$program" >/dev/null 2>&1 || reinstall+=("${program_of[$program]}")
done
# Wine stores file names through the Unix locale: without ja_JP.UTF-8 it
# cannot make files whose names hold Japanese characters.
need_locale=0
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || need_locale=1

if [ ${#missing[@]} -ne 0 ] || [ ${#reinstall[@]} -ne 0 ] || [ $need_locale -ne 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "bootstrap: installing ${missing[*]} ${reinstall[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync serves some lists stale: the install goes on
  # with the lists it has.
  if [ ${#missing[@]} -ne 0 ] || [ ${#reinstall[@]} -ne 0 ]; then
    $sudo apt-get update -qq >/dev/null || echo "bootstrap: some package lists could not be fetched" >&2
  fi
  # Without one architecture's security list, the 32-bit Wine libraries
  # cannot match the versions of their 64-bit twins: the release's own
  # versions can.
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-stable}")
  install() { $sudo apt-get install -y -qq "$@" >/dev/null || $sudo apt-get install -y -qq -t "$release" "$@" >/dev/null; }
  [ ${#missing[@]} -eq 0 ] || install --no-install-recommends "${missing[@]}"
  [ ${#reinstall[@]} -eq 0 ] || install --reinstall "${reinstall[@]}"
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
fi

# A name on the path proves little: on a fresh machine /usr/bin/lha may be
# lhasa's extractor rather than an archiver. So each tool does once what the
# build and the tests need of it, on a tiny input.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # PACKAGE WHAT COMMAND...
  local package=$1 what=$2
  shift 2
  if ! (cd "$work" && "$@") >"$work/log" 2>&1; then
    echo "bootstrap: $what failed; reinstall package $package. It said:" >&2
    tail -n 6 "$work/log" | sed 's/^/  /' >&2
    failed=1
  fi
}
printf 'hello\r\n' >"$work/a.txt"
printf '#include <windows.h>\n#include <string>\nint main() { std::string s(1, 32); return GetACP() && sizeof(void*) == 4 ? 0 : 1; }\n' \
  >"$work/probe.cpp"
printf 'int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$work/fuzz.c"
# The benchmark builds 32-bit ANSI installers, solid LZMA among them, with an uninstaller.
printf 'Unicode false\nSetCompressor /SOLID lzma\nOutFile installer.exe\nSection\nWriteUninstaller $INSTDIR\\u.exe\nSectionEnd\nSection Uninstall\nSectionEnd\n' \
  >"$work/probe.nsi"

# The readers are tried on what the makers made, when they made it.
check jlha-utils "jlha making an LZH archive" sh -c 'jlha a probe.lzh a.txt && test -s probe.lzh'
if [ -s "$work/probe.lzh" ]; then
  check lhasa "lhasa listing that archive" sh -c 'lhasa l probe.lzh | grep -q a.txt'
  check 7zip "7zz testing that archive" 7zz t probe.lzh
fi
check gcab "gcab making a cabinet" gcab -c probe.cab a.txt
if [ -s "$work/probe.cab" ]; then
  check cabextract "cabextract listing that cabinet" sh -c 'cabextract -l probe.cab | grep -q a.txt'
fi
check nsis "makensis compiling an installer with an uninstaller" sh -c 'makensis -V1 probe.nsi && test -s installer.exe'
check g++-mingw-w64-i686-posix "the i686 C++ compiler linking a program" \
  i686-w64-mingw32-g++-posix -static -o probe.exe probe.cpp
check gcc-mingw-w64-i686-posix "the i686 C compiler" \
  sh -c 'echo "int main(void) { return 0; }" | i686-w64-mingw32-gcc-posix -x c -o c.exe -'
check binutils-mingw-w64-i686 "windres compiling a resource" \
  sh -c 'printf "1 VERSIONINFO\nBEGIN\nEND\n" > v.rc && i686-w64-mingw32-windres v.rc -O coff -o v.o'
check clang "clang linking a libFuzzer target" clang -fsanitize=fuzzer -o fuzz fuzz.c
check imagemagick "ImageMagick drawing a picture" convert -size 2x2 xc:red probe.png
check locales "the ja_JP.UTF-8 locale" sh -c "locale -a | grep -qix ja_JP.utf8"
# The harness's own 32-bit prefix (made here on the first run) and display.
if [ $failed -eq 0 ]; then
  check "wine wine32:i386 xvfb" "Wine starting a program in the 32-bit prefix" \
    "$root/scripts/wine-session" wine "$work/probe.exe"
fi
if [ $failed -ne 0 ]; then
  echo "bootstrap: the tools above do not work; nothing was built." >&2
  exit 1
fi
