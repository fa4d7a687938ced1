#!/usr/bin/env bash
# Decoding speed of lzhdec against 7zz and lhasa on a folder of Windows DLLs
# packed by jlha (the Java LHA archiver) as -lh5-, -lh6- and -lh7-. Prints the best of three
# wall-clock runs per tool and lzhdec's speed-up over each.
#
#   bench/lzh_decode.sh [DLL_FOLDER]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=${1:-/usr/lib/i386-linux-gnu/wine/i386-windows}
work=$root/build/bench
lzhdec=$root/build/host/bin/lzhdec
runs=3

for tool in jlha lhasa 7zz; do
  command -v $tool >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -x "$lzhdec" ] || { echo "build lzhdec first: cmake --build --preset host" >&2; exit 1; }
source "$(dirname "$0")/corpus.sh"

# Packing with jlha is slow; archives are kept between runs.
pack() {
  local method=$1 archive=$work/dlls-lh$1.lzh
  if [ ! -s "$archive" ]; then
    echo "packing $set_dir as -lh$method- ..." >&2
    (cd "$set_dir" && jlha c2o$method "$archive.tmp" *.dll >/dev/null 2>&1)
    mv "$archive.tmp" "$archive"
  fi
  echo "$archive"
}

# Best wall-clock seconds of $runs runs of "$@", each into a fresh folder.
best() {
  local best= t out
  for _ in $(seq $runs); do
    out=$work/out
    rm -rf "$out" && mkdir -p "$out"
    t=$( { TIMEFORMAT=%R; time (cd "$out" && "$@" >/dev/null 2>&1); } 2>&1 )
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
  done
  rm -rf "$work/out"
  echo "$best"
}

bytes=$(du -sb --apparent-size "$set_dir"/*.dll | awk '{s+=$1} END{print s}')
printf 'input: %d DLLs from %s, %.1f MB\n\n' "$(ls "$set_dir" | wc -l)" "$src" "$(echo "$bytes/1000000" | bc -l)"
printf '%-6s %9s %9s %9s %9s %12s %12s\n' method packedMB lzhdec 7zz lhasa "vs 7zz" "vs lhasa"
for m in 5 6 7; do
  a=$(pack $m)
  ours=$(best "$lzhdec" x "$a" .)
  seven=$(best 7zz x -y "$a")
  lhasa=$(best lhasa -xq "$a")
  printf '%-6s %9.1f %8.2fs %8.2fs %8.2fs %11.2fx %11.2fx\n' "-lh$m-" \
    "$(echo "$(stat -c %s "$a")/1000000" | bc -l)" "$ours" "$seven" "$lhasa" \
    "$(echo "$seven/$ours" | bc -l)" "$(echo "$lhasa/$ours" | bc -l)"
done
