#!/usr/bin/env bash
# Shows Chronoshift in a Wine virtual desktop (so that Wine draws the window
# frame itself) on a private virtual display and saves the screen as a PNG.
#   tools/take-screenshots.sh <build folder> <output.png> [command to run once the dialog shows]
# The command runs with the same display and Wine prefix; a Windows program
# that should see the dialog must join its desktop: wine explorer /desktop=Chronoshift prog.exe
set -eu
build=$(cd "$1" && pwd)
out=$2
shift 2
exe=$build/app/chronoshift.exe
[ -f "$exe" ] || { echo "no $exe: build the chronoshift target first" >&2; exit 1; }

export WINEPREFIX=${CHRONOSHIFT_WINEPREFIX:-$build/wine/prefix}
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[ -f "$WINEPREFIX/system.reg" ] || { mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1; wineserver -w; }

num=$((200 + RANDOM % 600))
while [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
Xvfb ":$num" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
export DISPLAY=":$num"

wine explorer /desktop=Chronoshift,520x260 "$exe" >/dev/null 2>&1 &
app=$!
sleep 6
if [ $# -gt 0 ]; then
  "$@" || echo "take-screenshots: the command failed" >&2
  sleep 3
fi
import -window root -crop 520x260+0+0 +repage "$out"
kill "$app" 2>/dev/null || true
wineserver -k 2>/dev/null || true
