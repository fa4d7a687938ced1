#!/usr/bin/env bash
# Unpacking speed of cab32.dll against cabextract (host) and Wine's
# extrac32.exe on one MSZIP cabinet of about 60 MB of Windows DLLs.
# Prints the best of three runs per tool and cab32's time divided by each
# tool's, once for the Cab() call alone (as cab32run.exe measures it) and
# once for cab32run's wall-clock under Wine. The bar is cab32.dll within
# 1.5x of cabextract. Every output is compared with the input folder.
#
#   bench/cab_unpack.sh [DLL_FOLDER]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"

# The Wine programs are timed inside one session: a running wineserver
# keeps each start near 0.2 s instead of seconds.
sfx_in_session "$0" "$@"

src=${1:-/usr/lib/i386-linux-gnu/wine/i386-windows}
work=$root/build/bench
runner=$root/build/win32/bin/cab32run.exe
runs=3

for tool in gcab cabextract wine; do
  command -v $tool >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
[ -f "$runner" ] && [ -f "$(dirname "$runner")/cab32.dll" ] ||
  { echo "build cab32run first: cmake --build --preset win32" >&2; exit 1; }
source "$(dirname "$0")/corpus.sh"

cab=$work/dlls-mszip.cab
if [ ! -s "$cab" ]; then
  echo "packing $set_dir as MSZIP ..." >&2
  (cd "$set_dir" && gcab -c -z -n "$cab.tmp" *.dll)
  mv "$cab.tmp" "$cab"
fi

# Best wall-clock seconds of $runs runs of "$@", each into a fresh folder
# $work/out-NAME, which is left for the comparison. Inside "$@", the word
# OUT stands for that folder, WOUT for its Windows path.
best() {
  local name=$1 best= t i call
  shift
  rm -f "$work/call-$name"
  local out=$work/out-$name
  for _ in $(seq $runs); do
    rm -rf "$out" && mkdir -p "$out"
    local args=()
    for i in "$@"; do
      case $i in
        OUT) args+=("$out") ;;
        WOUT) args+=("$(sfx_winpath "$out")\\") ;;
        *) args+=("$i") ;;
      esac
    done
    t=$( { TIMEFORMAT=%R; time ("${args[@]}" >"$work/log-$name" 2>&1); } 2>&1 ) ||
      { echo "$name failed:" >&2; cat "$work/log-$name" >&2; exit 1; }
    if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    # cab32run also reports the time of the Cab() call itself, without
    # Wine's start-up: the best of those from the same runs.
    call=$(tr -d '\r' <"$work/log-$name" | awk '$1 == "seconds" {print $2}')
    if [ -n "$call" ]; then
      if [ ! -s "$work/call-$name" ] || awk "BEGIN{exit !($call < $(cat "$work/call-$name"))}"; then
        echo "$call" >"$work/call-$name"
      fi
    fi
  done
  echo "$best"
}

# The unpacked folder must hold exactly the packed files, byte for byte.
same() {
  diff -r "$set_dir" "$work/out-$1" >/dev/null ||
    { echo "$1: output differs from $set_dir" >&2; exit 1; }
}

bytes=$(du -sb --apparent-size "$set_dir"/*.dll | awk '{s+=$1} END{print s}')
printf 'input: %d DLLs from %s, %.1f MB; cabinet %.1f MB (gcab, MSZIP)\n\n' \
  "$(ls "$set_dir" | wc -l)" "$src" "$(echo "$bytes/1000000" | bc -l)" \
  "$(echo "$(stat -c %s "$cab")/1000000" | bc -l)"

cabx=$(best cabextract cabextract -q -d OUT "$cab"); same cabextract
extrac=$(best extrac32 wine extrac32.exe /Y /E /L WOUT "$(sfx_winpath "$cab")"); same extrac32
wall=$(best cab32 wine "$runner" "$(sfx_winpath "$cab")" WOUT); same cab32
call=$(cat "$work/call-cab32")
rm -rf "$work"/out-* "$work"/log-* "$work"/call-*

ratio() { echo "$1/$2" | bc -l; }
printf '%-28s %8s %14s %14s\n' tool seconds "cab32 call vs" "cab32 wall vs"
printf '%-28s %7.2fs %13.2fx %13.2fx\n' "cabextract (host)" "$cabx" "$(ratio "$call" "$cabx")" "$(ratio "$wall" "$cabx")"
printf '%-28s %7.2fs %13.2fx %13.2fx\n' "extrac32.exe (Wine, wall)" "$extrac" "$(ratio "$call" "$extrac")" "$(ratio "$wall" "$extrac")"
printf '%-28s %7.2fs\n' "cab32.dll Cab() call" "$call"
printf '%-28s %7.2fs\n' "cab32run.exe (Wine, wall)" "$wall"
echo
if awk "BEGIN{exit !($call <= 1.5 * $cabx)}"; then verdict=within; else verdict=outside; fi
printf 'cab32.dll (call) is %.2fx cabextract: %s the 1.5x bar\n' "$(ratio "$call" "$cabx")" "$verdict"
