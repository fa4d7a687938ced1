#!/usr/bin/env bash
# The size of every shipped program (as scripts/size.sh lists them) beside
# the stubs of NSIS, the x86 ANSI exeheads that makensis puts in front of
# its data, one per compressor; and what a built file needs beside it to
# unpack, against NSIS's exehead, which carries its decompressor. The bars:
# each stub at most 24 KiB with its icon, setup.exe at most 64 KiB.
#
#   bench/sizes.sh [WIN32_BIN_FOLDER]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/win32/bin}
stubs=/usr/share/nsis/Stubs

[ -f "$stubs/zlib-x86-ansi" ] || { echo "missing the NSIS stubs in $stubs (package nsis)" >&2; exit 1; }
[ -f "$bin/stub-lzh.exe" ] || { echo "build the win32 tree first: make build" >&2; exit 1; }
nsis_zlib=$(stat -c %s "$stubs/zlib-x86-ansi")

declare -A size
programs=()
while read -r program bytes; do
  size[$program]=$bytes
  programs+=("$program")
done < <("$root/scripts/size.sh" "$bin" | tail -n +2)

row() {  # LABEL BYTES [BAR]
  printf '%-36s %9d %12.2fx  %s\n' "$1" "$2" "$(echo "$2/$nsis_zlib" | bc -l)" "${3:-}"
}
printf '%-36s %9s %13s  %s\n' program bytes "vs NSIS zlib" bar
for program in "${programs[@]}"; do
  bytes=${size[$program]}
  case $program in
    stub-*) limit=24 ;;
    setup.exe) limit=64 ;;
    sfxbuild.exe) printf '%-36s %9d\n' "$program" "$bytes"; continue ;;
    *) limit= ;;
  esac
  bar=
  if [ -n "$limit" ]; then
    if [ "$bytes" -le $((limit * 1024)) ]; then bar="within $limit KiB"; else bar="OVER $limit KiB"; fi
  fi
  row "$program" "$bytes" "$bar"
done
echo
for pair in stub-lzh.exe:lzhdec32.dll stub-cab.exe:cab32.dll stub-exe.exe:innersfx.exe; do
  first=${pair%%:*} second=${pair#*:}
  [ -n "${size[$first]:-}" ] && [ -n "${size[$second]:-}" ] &&
    row "$first + $second" $((size[$first] + size[$second]))
done
echo
for compressor in zlib bzip2 lzma zlib_solid bzip2_solid lzma_solid; do
  row "NSIS exehead $compressor" "$(stat -c %s "$stubs/$compressor-x86-ansi")"
done
