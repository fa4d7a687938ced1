#!/usr/bin/env bash
# Builds the LZH fuzz target with clang in build/fuzz and runs it for the
# given number of seconds, seeded with the corpus archives.
#
#   scripts/fuzz.sh SECONDS
set -euo pipefail

seconds=${1:?usage: scripts/fuzz.sh SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seeds=$root/../shared/lzh-corpus

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# New inputs libFuzzer finds are kept between runs; the seeds stay read-only.
mkdir -p "$build/corpus"
seed_dirs=()
[ -d "$seeds" ] && seed_dirs+=("$seeds")
"$build/lzh_fuzz" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$build/" -print_final_stats=1 "$build/corpus" "${seed_dirs[@]}"
