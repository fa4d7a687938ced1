#!/usr/bin/env bash
# Packs the sample application in every format into dist/, runs the LZH one
# under Wine (on the user's display when there is one, else on a private
# Xvfb) and saves screenshots of what it shows under build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$root/build/demo
bin=$root/build/win32/bin
dist=$root/dist
# dist/ may hold the kit archives of make kit: only the demo's own files go.
rm -rf "$demo"; mkdir -p "$demo" "$dist"
rm -f "$dist/Sample Setup ("*").exe" "$dist/lzhdec32.dll" "$dist/cab32.dll"

# The sample's files and its little program, built in the win32 tree.
sample=$demo/sample
cp -r "$root/examples/sample" "$sample"
cp "$bin/Sample App.exe" "$sample/[Programs]/Sample App/"

for format in lzh cab extract exe; do
  inner=()
  [ "$format" = exe ] && inner=(--inner "$bin/innersfx.exe")
  "$root/build/host/bin/sfxbuild" pack --format "$format" --stub "$bin/stub-$format.exe" "${inner[@]}" \
    --from "$sample" --final '[Programs]\Sample App\Sample App.exe' -o "$dist/Sample Setup ($format).exe"
done
# The libraries that stub-lzh and stub-cab load lie beside the built files.
cp "$bin/lzhdec32.dll" "$bin/cab32.dll" "$dist/"

run() {
  source "$root/scripts/wine-env.sh"
  # Start from a machine without an earlier demo's install: Wine's shell
  # nests a moved folder inside an existing one instead of merging them.
  rm -rf "$WINEPREFIX/drive_c/Program Files/Sample App"
  local exe
  exe=$(winepath -w "$dist/Sample Setup (lzh).exe")
  (cd "$WINEPREFIX/drive_c" && wine "$exe") &
  local pid=$!
  for i in 1 2 3 4 5 6 7 8; do
    sleep 0.6
    import -window root "$demo/shot-$i.png" 2>/dev/null || true
  done
  wait $pid || true
  sleep 2
  # The final command started the installed program, which says hello.
  import -window root "$demo/final-command.png" 2>/dev/null || true
}
export -f run; export root demo dist
"$root/scripts/wine-session" --user-display env LC_ALL=C.UTF-8 bash -c run

echo
echo "built files:  $dist/"
ls -1 "$dist" | sed 's/^/  /'
echo "screenshots:  $demo/"
