#!/bin/sh
# Names the GoogleTest cases that skipped in the last ctest run of a build
# tree: ctest counts a test program as passed when some of its cases skip.
#   scripts/skipped.sh build/host
log="${1:?usage: scripts/skipped.sh BUILD_TREE}/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
skipped=$(tr -d '\r' <"$log" | sed -n 's/^\[  SKIPPED \] \([^ ]*\) ([0-9]* ms)$/\1/p' | sort -u)
[ -n "$skipped" ] || exit 0
echo "$1: $(echo "$skipped" | wc -l) skipped:"
echo "$skipped" | sed 's/^/  /'
