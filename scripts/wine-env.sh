# Sourced by the Wine scripts: the environment every Windows program of the
# kit runs in during tests and the demo. Each setting below removes a stall,
# a hang or a leak that was measured on these machines.
sfx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$sfx_root/build/wine}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts; no desktop files for links under the Start Menu.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# Code page 932: the Japanese texts and the double-byte path scanning run for real.
# (bash itself has no such locale and would warn on the assignment)
{ export LC_ALL=${SFX_LC_ALL:-ja_JP.UTF-8}; } 2>/dev/null
# Wine links Desktop/Documents into $HOME and moves deleted items to the
# trash under XDG_DATA_HOME: keep both inside the build tree.
export HOME=$sfx_root/build/wine-home
export XDG_DATA_HOME=$HOME/.local/share
mkdir -p "$XDG_DATA_HOME/Trash"

# Creates the 32-bit prefix once, with the settings the harness relies on;
# a prefix made before a setting was added gets it on its next use.
sfx_wine_prefix() {
  [ -f "$WINEPREFIX/.sfx-ready-2" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/.sfx-ready-2" ] && exit 0
    if [ ! -f "$WINEPREFIX/.sfx-ready" ]; then
      echo "wine: creating prefix $WINEPREFIX" >&2
      wineboot -i >/dev/null 2>&1
      wineserver -w
      # Without a window manager every hide or close otherwise blocks for 2 s.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      # A crash must end the process, not open a debugger dialog that hangs the run.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      touch "$WINEPREFIX/.sfx-ready"
    fi
    # setup's dialogs ask for the Japanese system fonts: the IPA fonts have
    # the same shapes (proportional and fixed), so that texts take the room
    # they take on a Japanese Windows.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.sfx-ready-2"
  ) 9>"$WINEPREFIX.lock"
}

# A Unix path as Windows programs see it, through Wine's Z: drive.
sfx_winpath() { echo "Z:${1//\//\\}"; }

# Runs the calling script again inside scripts/wine-session unless it
# already runs in one, so that its Wine programs share one wineserver:
#   sfx_in_session "$0" "$@"
sfx_in_session() {
  [ -n "${SFX_WINE_SESSION:-}" ] && return 0
  exec "$sfx_root/scripts/wine-session" "$@"
}
