#!/usr/bin/env bash
# Packs the sample application into a built file, runs it under Wine and
# saves screenshots of its window under build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$root/build/demo
bin=$root/build/win32/bin
rm -rf "$demo"; mkdir -p "$demo" "$root/dist"

# An LZH archive of the sample's token folders, the format stub-lzh expects.
(cd "$root/examples/sample" && lha -aq2 "$demo/sample.lzh" * >/dev/null)
"$root/build/host/bin/sfxbuild" pack --stub "$bin/stub-lzh.exe" --archive "$demo/sample.lzh" \
  -o "$root/dist/Sample Setup.exe"
"$root/build/host/bin/sfxbuild" verify "$root/dist/Sample Setup.exe"

run() {
  source "$root/scripts/wine-env.sh"
  local exe
  exe=$(winepath -w "$root/dist/Sample Setup.exe")
  wine "$exe" &
  local pid=$!
  for i in 1 2 3 4 5 6; do
    sleep 0.7
    import -window root "$demo/shot-$i.png" 2>/dev/null || true
  done
  wait $pid || true
}
export -f run; export root demo
"$root/scripts/wine-session" --user-display env LC_ALL=C.UTF-8 bash -c run

echo
echo "built file:   $root/dist/Sample Setup.exe"
echo "screenshots:  $demo/shot-*.png"
