#!/usr/bin/env bash
# Prints the size of every shipped program of a win32 build folder.
set -euo pipefail
bin=${1:-build/win32/bin}
printf '%-18s %9s\n' program bytes
for f in stub-exe.exe stub-extract.exe stub-lzh.exe stub-cab.exe setup.exe lzhdec32.dll cab32.dll innersfx.exe sfxbuild.exe; do
  [ -f "$bin/$f" ] && printf '%-18s %9d\n' "$f" "$(stat -c %s "$bin/$f")"
done
exit 0
