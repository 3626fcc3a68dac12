# Sourced by the run, test, screenshot and bench scripts: gives Wine a
# Japanese locale, a display, and a prefix: a throwaway one with
# WINE_ENV_FRESH=1, else $WINEPREFIX or the run command's own.
# Everything started here is stopped by PID in wine_env_stop.

export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

WINE_ENV_XVFB_PID=""
WINE_ENV_TMP=""

wine_env_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${WINE_ENV_OWN_DISPLAY:-0}" != 1 ]; then return; fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_ENV_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return
    sleep 0.1
  done
  echo "wine-env: Xvfb on $DISPLAY did not start" >&2
  return 1
}

wine_env_set() {  # key value-name type data [/reg:64]
  wine reg add "$1" /v "$2" /t "$3" /d "$4" /f "${@:5}" >/dev/null 2>&1
}

# Without a window manager (our own Xvfb), unmanaged windows close without a
# 2 s stall; under a real desktop the window manager should frame them.
wine_env_set_managed() {
  wine_env_set 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ "$([ -n "$WINE_ENV_XVFB_PID" ] && echo N || echo Y)"
}

# What a Japanese Windows shows, for the run command and the README's
# pictures: Wine's Marlett, which draws the title bar's buttons (without it
# the close box shows as an "r"), and a Japanese UI font in place of the
# Windows UI fonts, which a prefix lacks (it would fall back to a
# fixed-pitch font). Done once per prefix.
wine_env_windows_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" face
  [ -f "$fonts/marlett.ttf" ] && return
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  wine_env_set 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' 'Marlett (TrueType)' REG_SZ marlett.ttf
  for face in 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic' 'Tahoma' 'Meiryo UI' 'Yu Gothic UI' 'Segoe UI'; do
    wine_env_set 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' "$face" REG_SZ 'VL PGothic'
  done
  wineserver -w
}

# A throwaway prefix for tests and benchmarks, with the ALSA audio driver
# (the tests point ALSA at a recording sink of their own). 32-bit unless
# WINE_ENV_ARCH=win64 (the 64-bit library's tests, under wine64).
wine_env_make_prefix() {
  WINE_ENV_TMP=$(mktemp -d /tmp/dialler-wine.XXXXXX)
  export WINEPREFIX="$WINE_ENV_TMP/prefix"
  WINEARCH=${WINE_ENV_ARCH:-win32} wineboot -i >/dev/null 2>&1
  wine_env_set_managed
  wine_env_set 'HKCU\Software\Wine\Drivers' Audio REG_SZ alsa
  # A crash under test should end the process and say where, not wait in
  # an attached debugger.
  # (Wine falls back to winedbg when the value is missing, so name none.)
  # `wine reg` is the 32-bit one: a 64-bit prefix's own view is named apart,
  # or its programs' crashes would still wait in winedbg.
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  wine_env_set "$aedebug" Debugger REG_SZ 'no-debugger.exe %ld %ld'
  if [ "${WINE_ENV_ARCH:-win32}" = win64 ]; then
    wine_env_set "$aedebug" Debugger REG_SZ 'no-debugger.exe %ld %ld' /reg:64
  fi
  wineserver -w
}

wine_env_start() {
  wine_env_start_display
  if [ "${WINE_ENV_FRESH:-0}" = 1 ]; then
    wine_env_make_prefix
    return
  fi
  # The run command's own prefix, kept between runs, with Wine's default audio.
  export WINEPREFIX=${WINEPREFIX:-$HOME/.local/share/dialler/wine}
  if [ ! -d "$WINEPREFIX" ]; then
    echo "wine-env: creating a Wine prefix in $WINEPREFIX (once, ~10 s)"
    mkdir -p "$(dirname "$WINEPREFIX")"
    WINEARCH=win32 wineboot -i >/dev/null 2>&1
  fi
  wine_env_set_managed
  wineserver -w
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -n "$WINE_ENV_TMP" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINE_ENV_TMP"
  fi
  if [ -n "$WINE_ENV_XVFB_PID" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  fi
}
