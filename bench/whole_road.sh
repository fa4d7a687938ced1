#!/usr/bin/env bash
# The whole road of an installer against NSIS, on one application of about
# 65 MB (made by bench/make_app into build/bench/app): built size and build
# time, then under Wine, in one prefix, the install and the unattended
# uninstall.
#
# Ours: sfxbuild packs a folder whose "[shell]" holds setup.exe, a
# Setup.ini in automatic mode and the application; stub-lzh runs it, setup
# copies the application into Program Files, makes two start-menu links
# and a desktop link and enters itself in the uninstall list, with an
# unattended uninstall. NSIS installs the same files, links and entry
# silently (/S) and uninstalls the same way.
#
# The fixed pauses the kit makes on purpose (the stub's 500 ms ticks,
# setup's 2 s before its dialog, its 500 ms and 1 s sleeps, the removal
# copy's 5 s) are measured from Wine's relay trace of Sleep and SetTimer/KillTimer, the
# user's part (closing the editor that shows Setup.ini, pressing OK after
# setup has ended) from bench/win32/roadrun's clock; both are reported
# beside the work time and not counted in it. The bars: our install work
# time at most NSIS zlib's and half NSIS lzma's, our built size at most NSIS
# lzma's + 5 %, a version-up of 3,000 files at most 1.5 times their fresh install.
#
#   bench/whole_road.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
# The Wine programs run inside one session: a running wineserver keeps each
# start near 0.2 s instead of seconds.
sfx_in_session "$0" "$@"

bin=$root/build/win32/bin
host=$root/build/host/bin
work=$root/build/bench/road
ours_name="Bench App sfx"
nsis_name="Bench App NSIS"

command -v makensis >/dev/null || { echo "missing makensis (package nsis)" >&2; exit 1; }
for p in "$host/sfxbuild" "$bin/roadrun.exe" "$bin/setup.exe" "$bin/stub-lzh.exe" \
  "$bin/stub-cab.exe" "$bin/stub-exe.exe" "$bin/innersfx.exe" "$bin/lzhdec32.dll" "$bin/cab32.dll"; do
  [ -f "$p" ] || { echo "build $p first: make build" >&2; exit 1; }
done

source "$(dirname "$0")/app.sh"
rm -rf "$work"
mkdir -p "$work"
files=$(cd "$app" && find . -type f | LC_ALL=C sort | sed 's|^\./||')
folders=$(cd "$app" && find . -mindepth 1 -type d | LC_ALL=C sort | sed 's|^\./||')
app_bytes=$(du -sb --apparent-size "$app" | cut -f1)

backslashed() { sed 's|/|\\|g'; }
mb() { echo "$1/1000000" | bc -l; }
seconds() { echo "$1/1000" | bc -l; }
min() { if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi; }

# --- ours: [shell] holds setup.exe, its Setup.ini and the application ---
shell="$work/ours/[shell]"
mkdir -p "$shell"
cp -al "$app/." "$shell/"
cp "$bin/setup.exe" "$shell/"
{
  printf '[Setup]\r\nName=%s\r\nAuto=1\r\n' "$ours_name"
  printf '[Root]\r\nName=%%programs%%\\%s\r\n' "$ours_name"
  printf '[Check]\r\nMenu=3\r\nDesktop=3\r\n'
  printf '[Menu]\r\nName=%s\r\n' "$ours_name"
  printf '[Menu0]\r\nName=Bench App\r\nPath=bin\\BenchApp.exe\r\n'
  printf '[Menu1]\r\nName=Bench App Settings\r\nPath=bin\\BenchApp.exe\r\nArg=/settings\r\n'
  printf '[Desktop]\r\nName=%s\r\nPath=bin\\BenchApp.exe\r\n' "$ours_name"
  printf '[Del]\r\nAuto=1\r\n'
  printf '[MakeDirectory]\r\n'
  echo "$folders" | backslashed | awk '{printf "%d=%s\r\n", NR, $0}'
  printf '[CopyFile]\r\n'
  echo "$files" | backslashed | awk '{printf "%d=%s\r\n", NR - 1, $0}'
} >"$shell/Setup.ini"

# --- NSIS: the same files, links and uninstall entry ---
nsis_script() {  # COMPRESSOR-LINE OUTFILE
  cat <<EOF
Unicode false
$1
Name "$nsis_name"
OutFile "$2"
InstallDir "\$PROGRAMFILES\\$nsis_name"
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$app/*"
  CreateDirectory "\$SMPROGRAMS\\$nsis_name"
  CreateShortcut "\$SMPROGRAMS\\$nsis_name\\Bench App.lnk" "\$INSTDIR\\bin\\BenchApp.exe"
  CreateShortcut "\$SMPROGRAMS\\$nsis_name\\Bench App Settings.lnk" "\$INSTDIR\\bin\\BenchApp.exe" "/settings"
  CreateShortcut "\$DESKTOP\\$nsis_name.lnk" "\$INSTDIR\\bin\\BenchApp.exe"
  WriteUninstaller "\$INSTDIR\\uninst.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$nsis_name" "DisplayName" "$nsis_name"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$nsis_name" "UninstallString" '"\$INSTDIR\\uninst.exe"'
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$nsis_name" "QuietUninstallString" '"\$INSTDIR\\uninst.exe" /S'
SectionEnd
Section "Uninstall"
EOF
  # File by file, as our uninstall removes what it recorded.
  echo "$files" | backslashed | sed 's|^|  Delete "$INSTDIR\\|; s|$|"|'
  echo "$folders" | LC_ALL=C sort -r | backslashed | sed 's|^|  RMDir "$INSTDIR\\|; s|$|"|'
  cat <<EOF
  Delete "\$SMPROGRAMS\\$nsis_name\\Bench App.lnk"
  Delete "\$SMPROGRAMS\\$nsis_name\\Bench App Settings.lnk"
  RMDir "\$SMPROGRAMS\\$nsis_name"
  Delete "\$DESKTOP\\$nsis_name.lnk"
  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$nsis_name"
  Delete "\$INSTDIR\\uninst.exe"
  RMDir "\$INSTDIR"
SectionEnd
EOF
}

# --- building ---
# Each build runs three times and its best time counts, except NSIS's
# solid LZMA, which takes half a minute and runs once.
declare -A size build_ms
timed() {  # NAME RUNS OUTFILE COMMAND...: builds, notes size and milliseconds
  local name=$1 runs=$2 out=$3 start end
  shift 3
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >"$work/build-$name.log" 2>&1 || { echo "building $name failed:" >&2; cat "$work/build-$name.log" >&2; exit 1; }
    end=$(date +%s%N)
    build_ms[$name]=$(min "${build_ms[$name]:-}" $(((end - start) / 1000000)))
  done
  size[$name]=$(stat -c %s "$out")
}
pack() {  # NAME FORMAT [OPTIONS...]
  local name=$1 format=$2
  shift 2
  local inner=()
  [ "$format" = exe ] && inner=(--inner "$bin/innersfx.exe")
  timed "$name" 3 "$work/$name.exe" "$host/sfxbuild" pack --format "$format" --stub "$bin/stub-$format.exe" \
    "${inner[@]}" "$@" --from "$work/ours" -o "$work/$name.exe"
}
echo "building ..." >&2
pack ours-lzh lzh
pack ours-lzh9 lzh --level 9
pack ours-cab cab
pack ours-exe exe
cp "$bin/lzhdec32.dll" "$bin/cab32.dll" "$work/"
nsis_script "SetCompressor zlib" "$work/nsis-zlib.exe" >"$work/nsis-zlib.nsi"
nsis_script "SetCompressor /SOLID lzma" "$work/nsis-lzma.exe" >"$work/nsis-lzma.nsi"
timed nsis-zlib 3 "$work/nsis-zlib.exe" makensis -V2 "$work/nsis-zlib.nsi"
timed nsis-lzma 1 "$work/nsis-lzma.exe" makensis -V2 "$work/nsis-lzma.nsi"

# --- the road under Wine ---
drive_c=$WINEPREFIX/drive_c
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
shell_folder() {  # VALUE: a folder of the user's, as a Unix path
  winepath -u "$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v "$1" |
    tr -d '\r' | sed -n 's/.*REG_SZ *//p')"
}
programs=$(shell_folder Programs)
desktop=$(shell_folder Desktop)
# What an install of NAME makes, for the check that its uninstall took all
# of it away again.
made() {  # NAME
  echo "$drive_c/Program Files/$1"
  echo "$programs/$1"
  echo "$desktop/$1.lnk"
}
# Removes by hand what an install made, where no uninstall ran; every
# install starts from a machine without an earlier one.
clear_install() {  # NAME
  local path
  while read -r path; do rm -rf "$path"; done < <(made "$1")
  wine reg delete "$uninstall_key\\$1" /f >/dev/null 2>&1 || true
}
# Our uninstall deletes to the recycle bin, which Wine keeps below
# XDG_DATA_HOME: what came from NAME's folders is emptied from it again.
empty_trash() {  # NAME
  local trash=$XDG_DATA_HOME/Trash info
  for info in "$trash"/info/*.trashinfo; do
    [ -f "$info" ] && grep -q "^Path=.*/${1// /%20}/" "$info" || continue
    rm -rf "$trash/files/$(basename "$info" .trashinfo)"
    rm -f "$info"
  done
}
clear_install "$ours_name"
clear_install "$nsis_name"
empty_trash "$ours_name"

# The relay trace shows only the calls that pause; the setting is taken
# away again however the script ends.
debug_key='HKCU\Software\Wine\Debug'
trap 'wine reg delete "$debug_key" /v RelayInclude /f >/dev/null 2>&1 || true' EXIT
wine reg add "$debug_key" /v RelayInclude /d 'kernel32.Sleep;user32.SetTimer;user32.KillTimer' /f >/dev/null
traced() { WINEDEBUG=-all,+timestamp,+pid,+relay "$@"; }
roadrun() { wine "$bin/roadrun.exe" "$@"; }

# roadrun's events as shell variables: ev_start, ev_setup_end, pid_stub, ...
events() {  # LOG
  unset "${!ev_@}" "${!pid_@}"
  eval "$(tr -d '\r' <"$1" | awk '$1 ~ /-pid$/ {sub(/-pid$/, "", $1); printf "pid_%s=%s\n", $1, $2; next}
                                  NF == 2 && $2 ~ /^[0-9]+$/ {gsub(/-/, "_", $1); printf "ev_%s=%s\n", $1, $2}')"
}
# The fixed pauses of LOG.trace, read out once into LOG.pauses: each run
# asks about several processes and spans of the same trace.
read_pauses() {  # LOG
  awk -f "$root/bench/pauses.awk" "$1.trace" >"$1.pauses"
}
# Milliseconds that process PID of LOG's trace spent in fixed pauses,
# counting only what falls between FROM and TO; read_pauses LOG first.
pause_ms() {  # LOG PID [FROM TO]
  awk -v pid="$2" -v from="${3:-0}" -v to="${4:-1e15}" '$1 == pid {
    s = $2 < from ? from : $2; e = $3 > to ? to : $3; if (e > s) sum += e - s }
    END {print sum + 0}' "$1.pauses"
}
# What an uninstall of NAME left of what its install made, once its folder,
# the last thing it removes, is gone.
left=""
left_behind() {  # NAME
  local path
  while read -r path; do [ ! -e "$path" ] || left+="$path"$'\n'; done < <(made "$1")
  if wine reg query "$uninstall_key\\$1" >/dev/null 2>&1; then left+="$uninstall_key\\$1"$'\n'; fi
}

# Our install through a built file: the work of the stub before OK, of
# setup, and of the stub after OK, each without its pauses; then the
# pauses and the user's part. Results in ours_* arrays under NAME.
declare -A ours_work ours_before ours_setup ours_after ours_stub_pause ours_setup_pause ours_user
our_install() {  # NAME
  local name=$1 log=$work/$1-install
  traced roadrun install "$(sfx_winpath "$work/$name.exe")" 'C:\' >"$log.log" 2>"$log.trace" ||
    { echo "our install ($name) failed:" >&2; cat "$log.log" >&2; exit 1; }
  events "$log.log"
  read_pauses "$log"
  local stub_before stub_after setup_pause before setup after
  stub_before=$(pause_ms "$log" "$pid_stub" "$ev_start" "$ev_shown")
  stub_after=$(pause_ms "$log" "$pid_stub" "$ev_ok" "$ev_end")
  setup_pause=$(pause_ms "$log" "$pid_setup")
  before=$((ev_shown - ev_start - stub_before))
  setup=$((ev_setup_end - ev_shown - setup_pause))
  after=$((ev_end - ev_ok - stub_after))
  if [ -z "${ours_work[$name]:-}" ] || [ $((before + setup + after)) -lt "${ours_work[$name]}" ]; then
    ours_work[$name]=$((before + setup + after))
    ours_before[$name]=$before ours_setup[$name]=$setup ours_after[$name]=$after
    ours_stub_pause[$name]=$((stub_before + stub_after)) ours_setup_pause[$name]=$setup_pause
    ours_user[$name]=$((ev_ok - ev_setup_end))
  fi
}

# Our unattended uninstall, as the system's list starts it: setup's work
# without its pauses, then its removal copy. Sets ours_uninstall to empty
# when this build of setup made no uninstall entry.
ours_uninstall="" ours_uninstall_pause="" ours_removal="" ours_removal_pause=""
our_uninstall() {
  local log=$work/ours-uninstall rc=0
  traced roadrun uninstall "$ours_name" "C:\\Program Files\\$ours_name" >"$log.log" 2>"$log.trace" || rc=$?
  if [ $rc -eq 3 ]; then
    ours_uninstall=""
    clear_install "$ours_name"
    return
  fi
  [ $rc -eq 0 ] || { echo "our uninstall failed:" >&2; cat "$log.log" >&2; exit 1; }
  left_behind "$ours_name"
  empty_trash "$ours_name"
  events "$log.log"
  read_pauses "$log"
  local pause work
  pause=$(pause_ms "$log" "$pid_uninstall")
  work=$((ev_uninstall_end - ev_start - pause))
  if [ -z "$ours_uninstall" ] || [ "$work" -lt "$ours_uninstall" ]; then
    ours_uninstall=$work ours_uninstall_pause=$pause
    ours_removal=$((ev_gone - ev_uninstall_end))
    ours_removal_pause=$(pause_ms "$log" "${pid_removal:-none}")
  fi
}

# NSIS: a silent install and a silent uninstall, the uninstall until the
# installation folder is gone.
declare -A nsis_install nsis_uninstall
nsis_road() {  # COMPRESSOR
  local c=$1 log=$work/nsis-$1
  roadrun run 'C:\' "\"$(sfx_winpath "$work/nsis-$c.exe")\" /S" >"$log-install.log" ||
    { echo "NSIS $c install failed" >&2; exit 1; }
  events "$log-install.log"
  nsis_install[$c]=$(min "${nsis_install[$c]:-}" $((ev_end - ev_start)))
  roadrun uninstall "$nsis_name" "C:\\Program Files\\$nsis_name" >"$log-uninstall.log" ||
    { echo "NSIS $c uninstall failed:" >&2; cat "$log-uninstall.log" >&2; exit 1; }
  left_behind "$nsis_name"
  events "$log-uninstall.log"
  nsis_uninstall[$c]=$(min "${nsis_uninstall[$c]:-}" $((ev_gone - ev_start)))
}

# The main line three times, the best run counting; the other stubs once.
# (stub-extract is left out: its fixed waits run while the system's
# extractor works, so no work time can be told apart from them.)
for run in 1 2 3; do
  echo "running the road, round $run of 3 ..." >&2
  our_install ours-lzh
  our_uninstall
  nsis_road zlib
  nsis_road lzma
done
for name in ours-cab ours-exe; do
  echo "running the road through $name ..." >&2
  our_install "$name"
  clear_install "$ours_name"
done
# --- setup's copy against a plain copy ---
# setup copies what the stub unpacked into the workspace; the same files,
# first put on the same drive, are copied by CopyFileA alone.
plain=$drive_c/plain-copy
rm -rf "$plain" "$plain-to"
cp -r "$app" "$plain"
plain_ms=""
for _ in 1 2 3; do
  rm -rf "$plain-to"
  roadrun copy 'C:\plain-copy' 'C:\plain-copy-to' >"$work/plain-copy.log" ||
    { echo "the plain copy failed" >&2; exit 1; }
  events "$work/plain-copy.log"
  plain_ms=$(min "$plain_ms" $((ev_end - ev_start)))
done
rm -rf "$plain" "$plain-to"

# --- a version-up of many small files ---
# What setup reads and writes of its records grows with the number of
# files, not with their bytes: 3,000 files of 1 KB in 30 folders are
# installed fresh, then, each file made newer, installed again over the
# first installation, which makes it a version-up that merges the earlier
# records into the new ones.
many_name="Bench Many sfx"
many=$work/many
mkdir -p "$many/ours/[shell]"
for d in $(seq -w 0 29); do
  mkdir -p "$many/app/d$d"
  for f in $(seq -w 0 99); do printf '%01024d' "$((10#$d$f))" >"$many/app/d$d/f$f.dat"; done
done
many_files=$(cd "$many/app" && find . -type f | LC_ALL=C sort | sed 's|^\./||')
{
  printf '[Setup]\r\nName=%s\r\nAuto=1\r\n' "$many_name"
  printf '[Root]\r\nName=%%programs%%\\%s\r\n' "$many_name"
  printf '[Del]\r\nAuto=1\r\n[MakeDirectory]\r\n'
  seq -w 0 29 | awk '{printf "%d=d%s\r\n", NR, $0}'
  printf '[CopyFile]\r\n'
  echo "$many_files" | backslashed | awk '{printf "%d=%s\r\n", NR - 1, $0}'
} >"$many/Setup.ini"
pack_many() {  # NAME
  rm -rf "$many/ours/[shell]"
  mkdir -p "$many/ours/[shell]"
  cp -al "$many/app/." "$many/ours/[shell]/"
  cp "$bin/setup.exe" "$many/Setup.ini" "$many/ours/[shell]/"
  "$host/sfxbuild" pack --format lzh --stub "$bin/stub-lzh.exe" --from "$many/ours" -o "$work/$1.exe" \
    >"$work/build-$1.log" 2>&1 || { echo "building $1 failed:" >&2; cat "$work/build-$1.log" >&2; exit 1; }
}
echo "running a fresh install and a version-up of $(echo "$many_files" | wc -l) files ..." >&2
clear_install "$many_name"
pack_many many-fresh
our_install many-fresh
# Newer by more than the archive's two-second steps of time.
find "$many/app" -type f -exec touch -d "@$(($(date +%s) + 120))" {} +
pack_many many-versionup
our_install many-versionup
many_records=$(tr -d '\r' <"$drive_c/Program Files/$many_name/Setup.ini" | awk -F= '
  /^\[/ {s = $0} s == "[CopiedFile]" && $1 == "Count" {print $2}')
clear_install "$many_name"
empty_trash "$many_name"

# The logs and traces stay for a look; the built files and what they need go.
rm -rf "$work/ours" "$work"/*.exe "$work"/*.dll

# --- report ---
ratio() { echo "$1/$2" | bc -l; }
printf 'application: %d files in %d folders, %.1f MB (%s)\n\n' "$(echo "$files" | wc -l)" \
  "$(echo "$folders" | wc -l)" "$(mb "$app_bytes")" "$app"
printf '%-32s %7s %13s %13s %8s %13s\n' "built file" MB "size vs lzma" "size vs zlib" build "build vs zlib"
size_row() {  # LABEL NAME: size and build time against NSIS's
  printf '%-32s %7.2f %12.3fx %12.3fx %7.2fs %12.2fx\n' "$1" "$(mb "${size[$2]}")" \
    "$(ratio "${size[$2]}" "${size[nsis-lzma]}")" "$(ratio "${size[$2]}" "${size[nsis-zlib]}")" \
    "$(seconds "${build_ms[$2]}")" "$(ratio "${build_ms[$2]}" "${build_ms[nsis-zlib]}")"
}
size_row "ours lzh (stub-lzh, default)" ours-lzh
size_row "ours lzh --level 9" ours-lzh9
size_row "ours cab (stub-cab, MSZIP)" ours-cab
size_row "ours exe (stub-exe, innersfx)" ours-exe
size_row "NSIS zlib (default)" nsis-zlib
size_row "NSIS /SOLID lzma (best)" nsis-lzma
echo
printf '%-24s %8s %13s   %s\n' "install (Wine)" work "vs NSIS zlib" "ours: stub before OK + setup + stub after OK"
ours_row() {  # LABEL NAME
  printf '%-24s %7.2fs %12.2fx   %.2fs + %.2fs + %.2fs\n' "$1" "$(seconds "${ours_work[$2]}")" \
    "$(ratio "${ours_work[$2]}" "${nsis_install[zlib]}")" "$(seconds "${ours_before[$2]}")" \
    "$(seconds "${ours_setup[$2]}")" "$(seconds "${ours_after[$2]}")"
}
ours_row "ours, stub-lzh" ours-lzh
ours_row "ours, stub-cab" ours-cab
ours_row "ours, stub-exe" ours-exe
printf '%-24s %7.2fs %12.2fx\n' "NSIS zlib /S" "$(seconds "${nsis_install[zlib]}")" 1
printf '%-24s %7.2fs %12.2fx\n' "NSIS lzma /S" "$(seconds "${nsis_install[lzma]}")" \
  "$(ratio "${nsis_install[lzma]}" "${nsis_install[zlib]}")"
printf '%-24s %7.2fs   the same files by CopyFileA alone, against setup'"'"'s %.2fs\n' "plain copy" \
  "$(seconds "$plain_ms")" "$(seconds "${ours_setup[ours-lzh]}")"
printf 'not counted in ours (stub-lzh): the stub'"'"'s ticks %.2fs, setup'"'"'s pauses %.2fs,\n' \
  "$(seconds "${ours_stub_pause[ours-lzh]}")" "$(seconds "${ours_setup_pause[ours-lzh]}")"
printf '  the user (closing the editor that shows Setup.ini, pressing OK) %.2fs\n' "$(seconds "${ours_user[ours-lzh]}")"
echo
if [ -n "$ours_uninstall" ]; then
  printf '%-24s %8s %13s\n' "uninstall (Wine)" work "vs NSIS zlib"
  printf '%-24s %7.2fs %12.2fx\n' "ours, setup uninstall" "$(seconds "$ours_uninstall")" \
    "$(ratio "$ours_uninstall" "${nsis_uninstall[zlib]}")"
  printf '%-24s %7.2fs %12.2fx\n' "NSIS zlib /S" "$(seconds "${nsis_uninstall[zlib]}")" 1
  printf '%-24s %7.2fs %12.2fx\n' "NSIS lzma /S" "$(seconds "${nsis_uninstall[lzma]}")" \
    "$(ratio "${nsis_uninstall[lzma]}" "${nsis_uninstall[zlib]}")"
  printf 'not counted in ours: setup'"'"'s pauses %.2fs; then its removal copy %.2fs, of which its wait %.2fs\n' \
    "$(seconds "$ours_uninstall_pause")" "$(seconds "$ours_removal")" "$(seconds "$ours_removal_pause")"
else
  printf 'uninstall: not available in this build (setup.exe made no uninstall entry)\n'
  printf '  NSIS zlib /S %.2fs, NSIS lzma /S %.2fs\n' "$(seconds "${nsis_uninstall[zlib]}")" \
    "$(seconds "${nsis_uninstall[lzma]}")"
fi
if [ -z "$left" ]; then
  echo "left behind after the uninstalls: nothing"
else
  echo "left behind after the uninstalls:"
  printf '%s' "$left" | sort -u | sed 's/^/  /'
fi
echo
verdict() { if awk "BEGIN{exit !($1)}"; then echo within; else echo outside; fi; }
printf 'install work (stub-lzh) is %.2fx NSIS zlib'"'"'s: %s the 1x bar\n' \
  "$(ratio "${ours_work[ours-lzh]}" "${nsis_install[zlib]}")" "$(verdict "${ours_work[ours-lzh]} <= ${nsis_install[zlib]}")"
printf 'install work (stub-lzh) is %.2fx NSIS lzma'"'"'s: %s the 0.5x bar\n' \
  "$(ratio "${ours_work[ours-lzh]}" "${nsis_install[lzma]}")" "$(verdict "${ours_work[ours-lzh]} <= 0.5 * ${nsis_install[lzma]}")"
printf 'built size (lzh, default) is %.3fx NSIS lzma'"'"'s: %s the 1.05x bar\n' \
  "$(ratio "${size[ours-lzh]}" "${size[nsis-lzma]}")" "$(verdict "${size[ours-lzh]} <= 1.05 * ${size[nsis-lzma]}")"
echo
printf '%-24s %8s %13s   %s\n' "3,000 files (Wine)" work "vs fresh" "stub before OK + setup + stub after OK"
for name in many-fresh many-versionup; do
  printf '%-24s %7.2fs %12.2fx   %.2fs + %.2fs + %.2fs\n' "${name#many-}" "$(seconds "${ours_work[$name]}")" \
    "$(ratio "${ours_work[$name]}" "${ours_work[many-fresh]}")" "$(seconds "${ours_before[$name]}")" \
    "$(seconds "${ours_setup[$name]}")" "$(seconds "${ours_after[$name]}")"
done
printf 'the version-up left %s files recorded; its work is %.2fx the fresh install'"'"'s: %s the 1.5x bar\n' \
  "${many_records:-no}" "$(ratio "${ours_work[many-versionup]}" "${ours_work[many-fresh]}")" \
  "$(verdict "${ours_work[many-versionup]} <= 1.5 * ${ours_work[many-fresh]}")"
