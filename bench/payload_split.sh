#!/usr/bin/env bash
# The stub's payload split (find the block, sum the columns, write the
# archive) against a plain copy of the same built file: a read-write loop
# of the same 64 KiB pieces in the same process (bench/splitbench), and cp.
# The built file is stub-lzh with the whole-road benchmark's application
# (bench/make_app). Prints the best of twenty runs of each and the split's
# time over each copy's; the bar, the split within 1.5x of the read-write
# loop, is judged on the median of the turns in which the two ran side by
# side.
#
#   bench/payload_split.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/win32/bin
host=$root/build/host/bin
work=$root/build/bench/split
runs=20

for p in "$host/sfxbuild" "$host/splitbench" "$bin/stub-lzh.exe"; do
  [ -f "$p" ] || { echo "build $p first: make build" >&2; exit 1; }
done
source "$(dirname "$0")/app.sh"
rm -rf "$work"
mkdir -p "$work/src/[Programs]"
cp -al "$app" "$work/src/[Programs]/Bench App"
built=$work/built.exe
"$host/sfxbuild" pack --format lzh --stub "$bin/stub-lzh.exe" --from "$work/src" -o "$built" >/dev/null

times=$("$host/splitbench" "$built" "$work/out" $runs)
read -r _ split archive_bytes <<<"$(sed -n 1p <<<"$times")"
read -r _ copy file_bytes <<<"$(sed -n 2p <<<"$times")"
read -r _ turns <<<"$(sed -n 3p <<<"$times")"
cp_best=
for _ in $(seq $runs); do
  t=$( { TIMEFORMAT=%R; time cp "$built" "$work/out"; } 2>&1 )
  if [ -z "$cp_best" ] || awk "BEGIN{exit !($t < $cp_best)}"; then cp_best=$t; fi
done
rm -rf "$work"

ratio() { echo "$1/$2" | bc -l; }
rate() { echo "$file_bytes/$1/1000000" | bc -l; }
printf 'built file: stub-lzh + %.1f MB archive, %.1f MB in all\n\n' \
  "$(echo "$archive_bytes/1000000" | bc -l)" "$(echo "$file_bytes/1000000" | bc -l)"
printf '%-34s %9s %7s %10s\n' "step (best of $runs)" seconds "MB/s" "split vs"
printf '%-34s %8.4fs %7.0f\n' "split (block, sums, archive)" "$split" "$(rate "$split")"
printf '%-34s %8.4fs %7.0f %9.2fx\n' "plain read-write, 64 KiB pieces" "$copy" "$(rate "$copy")" "$(ratio "$split" "$copy")"
printf '%-34s %8.4fs %7.0f %9.2fx\n' "cp" "$cp_best" "$(rate "$cp_best")" "$(ratio "$split" "$cp_best")"
echo
if awk "BEGIN{exit !($turns <= 1.5)}"; then verdict=within; else verdict=outside; fi
printf 'the split is %.2fx the plain read-write (median of %d turns side by side): %s the 1.5x bar\n' \
  "$turns" $runs "$verdict"
