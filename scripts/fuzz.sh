#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang in build/fuzz and runs
# each for the given number of seconds (or only the one named):
#
#   scripts/fuzz.sh SECONDS [TARGET]
#
# A target's seeds are the files of tests/fuzz/seeds/TARGET (and, for the
# LZH reader, the corpus archives); what libFuzzer finds is kept between
# runs in build/fuzz/corpus-TARGET.
set -euo pipefail

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET]}
only=${2:-}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

for source in "$root"/tests/fuzz/*_fuzz.cpp; do
  target=$(basename "$source" .cpp)
  [ -z "$only" ] || [ "$only" = "$target" ] || continue
  mkdir -p "$build/corpus-$target"
  seed_dirs=()
  [ -d "$root/tests/fuzz/seeds/$target" ] && seed_dirs+=("$root/tests/fuzz/seeds/$target")
  [ "$target" = lzh_fuzz ] && [ -d "$root/../shared/lzh-corpus" ] && seed_dirs+=("$root/../shared/lzh-corpus")
  echo "== $target"
  "$build/$target" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$build/$target-" -print_final_stats=1 "$build/corpus-$target" "${seed_dirs[@]}"
done
