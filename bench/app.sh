# Sourced by the benchmarks that build installers: the application they
# pack, written by bench/make_app from fixed seeds once and kept between
# runs. Expects $root; sets $app.
app=$root/build/bench/app
if [ ! -d "$app" ]; then
  [ -x "$root/build/host/bin/make_app" ] || { echo "build make_app first: make build" >&2; exit 1; }
  rm -rf "$app.tmp"
  "$root/build/host/bin/make_app" "$app.tmp"
  mv "$app.tmp" "$app"
fi
