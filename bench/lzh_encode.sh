#!/usr/bin/env bash
# Packing speed and size of LzhWriter (through bench/lzhpack) against jlha
# (the Java LHA archiver), on a folder of Windows DLLs made into one archive
# as -lh5-, -lh6- and -lh7-. Prints the best of three wall-clock runs per tool, lzhpack's
# speed-up over jlha and its archive's size relative to jlha's.
#
#   bench/lzh_encode.sh [DLL_FOLDER] [LEVEL]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=${1:-/usr/lib/i386-linux-gnu/wine/i386-windows}
level=${2:-}
work=$root/build/bench
lzhpack=$root/build/host/bin/lzhpack
lzhdec=$root/build/host/bin/lzhdec
runs=3

command -v jlha >/dev/null || { echo "missing jlha (package jlha-utils)" >&2; exit 1; }
for p in "$lzhpack" "$lzhdec"; do
  [ -x "$p" ] || { echo "build $p first: cmake --build --preset host" >&2; exit 1; }
done
source "$(dirname "$0")/corpus.sh"

# Best wall-clock seconds of $runs runs of "$@" in $set_dir.
best() {
  local best= t
  for _ in $(seq $runs); do
    t=$( { TIMEFORMAT=%R; time (cd "$set_dir" && "$@" >/dev/null 2>&1); } 2>&1 )
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
  done
  echo "$best"
}

bytes=$(du -sb --apparent-size "$set_dir"/*.dll | awk '{s+=$1} END{print s}')
printf 'input: %d DLLs from %s, %.1f MB; lzhpack level %s\n\n' "$(ls "$set_dir" | wc -l)" "$src" \
  "$(echo "$bytes/1000000" | bc -l)" "${level:-default}"
printf '%-6s %9s %9s %9s %9s %10s %10s\n' method jlhaMB oursMB jlha lzhpack "speed-up" "size"
for m in 5 6 7; do
  theirs=$work/enc-jlha-lh$m.lzh ours=$work/enc-ours-lh$m.lzh
  t_jlha=$(best sh -c "rm -f '$theirs' && jlha c2o$m '$theirs' *.dll")
  t_ours=$(best "$lzhpack" -$m ${level:+-l$level} "$ours" .)
  "$lzhdec" t "$ours" >/dev/null || { echo "lzhpack's -lh$m- archive does not test clean" >&2; exit 1; }
  s_jlha=$(stat -c %s "$theirs") s_ours=$(stat -c %s "$ours")
  printf '%-6s %9.2f %9.2f %8.2fs %8.2fs %9.2fx %9.4fx\n' "-lh$m-" \
    "$(echo "$s_jlha/1000000" | bc -l)" "$(echo "$s_ours/1000000" | bc -l)" "$t_jlha" "$t_ours" \
    "$(echo "$t_jlha/$t_ours" | bc -l)" "$(echo "$s_ours/$s_jlha" | bc -l)"
done
