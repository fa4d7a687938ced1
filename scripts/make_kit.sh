#!/usr/bin/env bash
# Makes the kit archives under dist/:
#   sfxkit-linux.tar.gz    sfxkit/bin/sfxbuild, lzhdec; sfxkit/share/sfxkit/*.exe,
#                          *.dll; sfxkit/share/doc/sfxkit/README.md, LICENSE
#   sfxkit-windows.zip     sfxkit/ with sfxbuild.exe beside the stubs, the DLLs,
#                          innersfx.exe and setup.exe, README.md and LICENSE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$root/build/kit
rm -rf "$stage"
mkdir -p "$stage/windows/sfxkit" "$root/dist"
cmake --install "$root/build/host" --prefix "$stage/linux/sfxkit" >/dev/null
cmake --install "$root/build/win32" --prefix "$stage/linux/sfxkit" >/dev/null
tar -C "$stage/linux" -czf "$root/dist/sfxkit-linux.tar.gz" sfxkit
cp "$stage/linux/sfxkit/share/sfxkit/"* "$root/README.md" "$root/LICENSE" "$stage/windows/sfxkit/"
rm -f "$root/dist/sfxkit-windows.zip"
(cd "$stage/windows" && cmake -E tar cf "$root/dist/sfxkit-windows.zip" --format=zip sfxkit)
echo "kit archives:"
ls -l "$root/dist/sfxkit-linux.tar.gz" "$root/dist/sfxkit-windows.zip" | awk '{print "  " $NF ": " $5 " bytes"}'
