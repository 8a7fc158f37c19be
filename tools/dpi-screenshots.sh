#!/usr/bin/env bash
# Pictures of the main dialog at several display scales, each in a Wine prefix
# of that DPI: the program just after start-up, with the window frame that
# Wine draws in a virtual desktop (caption icon and all); and the real dialog
# driven by chronoshift-drive after a drop of a copy of the sample pictures,
# its client area with the final status line and its "View log" link.
#
#   tools/dpi-screenshots.sh [output folder] [DPI...]   (default build/windows/dpi, 96 144 192)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CHRONOSHIFT_BUILD:-$root/build/windows}
out=$(mkdir -p "${1:-$build/dpi}" && cd "${1:-$build/dpi}" && pwd)
shift || true
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144 192)
drive=$build/tests/driver/chronoshift-drive.exe
exe=$build/app/chronoshift.exe
for program in "$drive" "$exe"; do
  [ -f "$program" ] || { echo "no $program: build the chronoshift and chronoshift-drive targets first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/chronoshift-dpi-XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:${1//\//\\}"; }

for dpi in "${dpis[@]}"; do
  pictures="$work/$dpi/Pictures"
  mkdir -p "$pictures"
  cp "$root"/tests/data/cameras/*.jpg "$pictures/"
  touch "$pictures"/*.jpg
  prefix=$build/wine/prefix-${dpi}dpi
  [ "$dpi" = 96 ] && prefix=$build/wine/prefix
  CHRONOSHIFT_WINEPREFIX=$prefix CHRONOSHIFT_WINE_DPI=$dpi "$root/tools/wine-run.sh" "$drive" \
    --target m --subfolders on --screenshot "$(winpath "$work/$dpi/dialog.bmp")" \
    "$(winpath "$pictures")" >"$work/$dpi/report.txt"
  convert "$work/$dpi/dialog.bmp" "$out/dropped-${dpi}dpi.png"
  echo "dpi-screenshots: $out/dropped-${dpi}dpi.png ($(identify -format '%wx%h' "$out/dropped-${dpi}dpi.png"))," \
    "status: $(sed -n 's/^drop 1 status: //p' "$work/$dpi/report.txt")"

  # The program as it starts, on a display of its own, in a desktop that
  # grows with the scale.
  width=$((560 * dpi / 96)) height=$((240 * dpi / 96))
  num=$((200 + RANDOM % 600))
  while [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
  Xvfb ":$num" -screen 0 "$((width + 64))x$((height + 64))x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
  DISPLAY=":$num" WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES=mscoree,mshtml= \
    wine explorer "/desktop=Chronoshift,${width}x${height}" "$exe" >/dev/null 2>&1 &
  app=$!
  sleep 6
  DISPLAY=":$num" import -window root -crop "${width}x${height}+0+0" +repage "$out/started-${dpi}dpi.png"
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  echo "dpi-screenshots: $out/started-${dpi}dpi.png"
done
