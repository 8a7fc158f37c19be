#!/usr/bin/env bash
# Takes the pictures of Chronoshift for the README, under Wine in a virtual
# desktop (so that Wine draws the window frames itself) on a private virtual
# display, with a Wine prefix of their own (default options, at DPI, 96 unless
# the environment's DPI says otherwise; at another DPI the names end in
# "-<DPI>dpi" and the desktop grows with the scale):
#   screenshot.png  the main dialog after start-up
#   about-box.png   the about box in front of it
#   after-drop.png  the dialog after a drop of the sample pictures
#   tools/take-screenshots.sh [build folder] [output folder]   (default build/windows, docs)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)
exe=$build/app/chronoshift.exe
drive=$build/tests/driver/chronoshift-drive.exe
for f in "$exe" "$drive"; do
  [ -f "$f" ] || { echo "no $f: build the windows preset first" >&2; exit 1; }
done

dpi=${DPI:-96}
suffix=""
[ "$dpi" = 96 ] || suffix="-${dpi}dpi"
export WINEPREFIX=${CHRONOSHIFT_WINEPREFIX:-$build/wine/prefix-screenshots$suffix}
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Wine draws the caption buttons with its Marlett font. Debian's Wine looks
# for its own fonts one folder above where fonts-wine puts them, so the font
# goes where every Wine looks: the prefix's Fonts folder.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ]; then
  cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
else
  echo "take-screenshots: no $marlett (package fonts-wine): the caption buttons lack their glyphs" >&2
fi
# The display scale, which Wine reads when a program starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
# Start-up options as on a first start.
wine reg delete 'HKCU\Software\Freeware\Chronoshift' /f >/dev/null 2>&1 || true

num=$((200 + RANDOM % 600))
while [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
width=$((520 * dpi / 96)) height=$((260 * dpi / 96))
Xvfb ":$num" -screen 0 "$((width + 64))x$((height + 64))x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d /tmp/chronoshift-shots-XXXXXX)
trap 'kill "$xvfb" 2>/dev/null || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
export DISPLAY=":$num"

# shoot NAME SECONDS PROGRAM ARGS...: starts the program on the desktop and
# saves the screen once it has had the time to show.
shoot() {
  local name=${1%.png}$suffix.png wait=$2
  shift 2
  wine explorer "/desktop=Chronoshift,${width}x${height}" "$@" >/dev/null 2>&1 &
  local app=$!
  sleep "$wait"
  import -window root -crop "${width}x${height}+0+0" +repage "$out/$name"
  wait "$app" 2>/dev/null || true
  wineserver -w
  echo "take-screenshots: $out/$name"
}

mkdir -p "$work/Holiday pictures"
cp "$root"/tests/data/cameras/*.jpg "$work/Holiday pictures/"
pictures="Z:${work//\//\\}\\Holiday pictures"

shoot screenshot.png 6 "$drive" --show 8000
shoot about-box.png 6 "$drive" --show 8000 --about
shoot after-drop.png 8 "$drive" --show 10000 --target m --subfolders on "$pictures"
