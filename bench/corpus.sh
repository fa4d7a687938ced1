# Sourced by the benchmarks: the corpus they all measure on. Expects $src
# (a folder of Windows DLLs) and $work (the benchmark folder); sets
# $set_dir to about 60 MB of the DLLs, the first by name, copied once and
# kept between runs.
[ -d "$src" ] || { echo "no folder $src" >&2; exit 1; }
mkdir -p "$work"
set_dir=$work/dlls
if [ ! -d "$set_dir" ]; then
  rm -rf "$set_dir.tmp"
  mkdir -p "$set_dir.tmp"
  total=0
  for f in "$src"/*.dll; do
    cp "$f" "$set_dir.tmp/"
    total=$((total + $(stat -c %s "$f")))
    [ $total -ge 60000000 ] && break
  done
  mv "$set_dir.tmp" "$set_dir"
fi
