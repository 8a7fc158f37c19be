#!/usr/bin/env bash
# Runs a Windows program under Wine: one prefix per build folder, quiet Wine,
# a wineserver that stays up between the programs of a test run, and a
# virtual display when none is set. Used by CTest as the cross-compiling emulator.
set -u
exe=$1
shift

if [ ! -f "$exe" ]; then
  echo "wine-run: $exe: no such program" >&2
  exit 127
fi
# The build folder is the nearest parent of the program that holds CMakeCache.txt.
dir=$(cd "$(dirname "$exe")" && pwd)
build=$dir
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build=${CHRONOSHIFT_BUILD_DIR:-$HOME/.chronoshift}
mkdir -p "$build/wine"

export WINEPREFIX=${CHRONOSHIFT_WINEPREFIX:-$build/wine/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
# The 64-bit test build (for machines that run no 32-bit program) needs a
# 64-bit prefix and Wine's 64-bit loader, which the wine command passes over
# while the 32-bit one is installed.
wine=wine
if [ "$("$(dirname "$0")/pe-machine.sh" "$exe")" = x64 ]; then
  export WINEARCH=win64
  wine=/usr/lib/wine/wine64
  export WINELOADER=$wine
fi
# No Mono or Gecko installer prompts; the program needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

lock=$build/wine/lock
exec 9>"$lock"
flock 9

if [ -z "${DISPLAY:-}" ]; then
  # One Xvfb per build folder, started on first use and reused afterwards.
  dispfile=$build/wine/display
  num=""
  if [ -f "$dispfile" ]; then
    read -r num pid <"$dispfile"
    kill -0 "$pid" 2>/dev/null || num=""
  fi
  if [ -z "$num" ]; then
    num=$((100 + RANDOM % 800))
    while [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
    # Not with the lock: a display that outlives a killed run would hold it.
    setsid Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 9>&- &
    pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
    echo "$num $pid" >"$dispfile"
  fi
  export DISPLAY=":$num"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run: creating the Wine prefix $WINEPREFIX (once per build folder)" >&2
  "$wine" wineboot -i >/dev/null 2>&1
  # Wine draws the window frames itself: without a window manager (Xvfb)
  # a managed window waits two seconds on every hide.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
# A prefix of its own at another display scale: Wine reads the DPI at start.
if [ -n "${CHRONOSHIFT_WINE_DPI:-}" ] &&
  ! grep -qi "^\"LogPixels\"=dword:$(printf %08x "$CHRONOSHIFT_WINE_DPI")" "$WINEPREFIX/user.reg"; then
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$CHRONOSHIFT_WINE_DPI" /f >/dev/null 2>&1
  wineserver -w
fi
# Keep the server alive between the test programs of one run. A new server
# gets Wine's background services started here, with no handles of ours:
# started by the program itself they would inherit its output, and whoever
# reads that output through a pipe would wait for them to end.
if wineserver -p30 >/dev/null 2>&1 </dev/null; then
  "$wine" wineboot >/dev/null 2>&1 </dev/null
fi
flock -u 9
exec 9>&-

exec "$wine" "$exe" "$@"
