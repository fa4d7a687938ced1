#!/usr/bin/env bash
# Packs the examples into dist/ (the complete one in every format, the
# minimal and the typical one with stub-lzh), then runs the complete one's
# whole road under Wine, on the user's display when there is one, else on
# a private Xvfb: the built file, setup's backdrop, read-me and dialog, the
# install, the built file's distribution and final command, and the
# uninstall from the system's list. The demo driver (examples/demo_driver)
# works the windows as a user would, prints a line per step and saves a
# screenshot of each under build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$root/build/demo
bin=$root/build/win32/bin
dist=$root/dist
sfxbuild=$root/build/host/bin/sfxbuild
# dist/ may hold the kit archives of make kit: only the demo's own files go.
rm -rf "$demo"; mkdir -p "$demo" "$dist"
rm -f "$dist/Sample Setup ("*").exe" "$dist/Minimal Sample Setup.exe" "$dist/Typical Sample Setup.exe" \
  "$dist/lzhdec32.dll" "$dist/cab32.dll"

# An example's folder as its author packs it: the committed files, with
# setup.exe and the program (both built in the win32 tree) where its
# Setup.ini expects them.
stage() {
  local folder=$demo/$1
  cp -r "$root/examples/$1/app" "$folder"
  cp "$bin/setup.exe" "$folder/[shell]/"
  mkdir -p "$folder/[shell]/bin"
  cp "$bin/Sample App.exe" "$folder/[shell]/bin/"
}
stage minimal
stage typical
stage complete
mkdir -p "$demo/complete/[System]"
cp "$bin/samplegr.dll" "$demo/complete/[System]/"

# Each description checked as setup will read it, once; pack checks it
# again, and only what else it says is shown.
for example in minimal typical complete; do
  "$sfxbuild" check "$demo/$example"
done
pack() {
  "$sfxbuild" pack "$@" 2>"$demo/pack.log" || { cat "$demo/pack.log" >&2; return 1; }
  grep -v -E '/Setup\.ini:[0-9]+: warning' "$demo/pack.log" >&2 || true
}
for format in lzh cab extract exe; do
  inner=()
  [ "$format" = exe ] && inner=(--inner "$bin/innersfx.exe")
  pack --format "$format" --stub "$bin/stub-$format.exe" "${inner[@]}" --from "$demo/complete" \
    --final '[Application]\Sample App\Welcome.sdoc' -o "$dist/Sample Setup ($format).exe"
done
for example in minimal typical; do
  pack --format lzh --stub "$bin/stub-lzh.exe" --from "$demo/$example" -o "$dist/${example^} Sample Setup.exe"
done
rm -f "$demo/pack.log"
# The libraries that stub-lzh and stub-cab load lie beside the built files.
cp "$bin/lzhdec32.dll" "$bin/cab32.dll" "$dist/"

road() {
  source "$root/scripts/wine-env.sh"
  wine "$bin/demo-driver.exe" "$(winepath -w "$dist/Sample Setup (lzh).exe")" "$(winepath -w "$demo")"
}
export -f road; export root bin dist demo
echo
status=0
"$root/scripts/wine-session" --user-display bash -c road || status=$?
# The driver saves what the screen showed as BMP files.
for shot in "$demo"/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" && rm "$shot"
done

echo
echo "built files:  $dist/"
ls -1 "$dist" | sed 's/^/  /'
echo "screenshots:  $demo/"
ls -1 "$demo" | grep '\.png$' | sed 's/^/  /'
exit $status
