#!/usr/bin/env bash
# Link-level checks of shipped programs:
#   check_shipped.sh MAX_BYTES PROGRAM...
# Each must be at most MAX_BYTES long, a multiple of 256 bytes (so that a
# payload block can follow it on the block grid), and import only system DLLs.
set -uo pipefail
max=$1; shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|msvcrt|cabinet|comdlg32|comctl32)\.dll$'
failed=0
for program in "$@"; do
  name=$(basename "$program")
  size=$(stat -c %s "$program")
  if [ "$size" -gt "$max" ]; then echo "FAIL $name: $size bytes, more than $max"; failed=1; fi
  if [ $((size % 256)) -ne 0 ]; then echo "FAIL $name: $size bytes, not a multiple of 256"; failed=1; fi
  while read -r dll; do
    if ! [[ "${dll,,}" =~ $allowed ]]; then echo "FAIL $name imports $dll"; failed=1; fi
  done < <(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
  [ $failed -eq 0 ] && echo "ok   $name: $size bytes, imports $(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
done
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
