#!/usr/bin/env bash
# A look at Chronoshift where there is no display: the real main dialog (driven
# by chronoshift-drive in a virtual display) takes a drop of a copy of the
# sample pictures in tests/data/cameras, then the processing log is printed and
# a screenshot of the dialog is saved.
#
#   tools/demo.sh [output folder]     (default build/windows/demo, or windows64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Where no 32-bit program runs, the 64-bit build of the same sources.
preset=$("$root/tools/windows-preset.sh")
build=${CHRONOSHIFT_BUILD:-$root/build/$preset}
out=$(mkdir -p "${1:-$build/demo}" && cd "${1:-$build/demo}" && pwd)
drive=$build/tests/driver/chronoshift-drive.exe

if [ ! -f "$drive" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake --preset "$preset" -B "$build" >/dev/null
  cmake --build "$build" --target chronoshift-drive -j "$(nproc)"
fi

# A copy, so that the samples in the repository keep their dates: the
# pictures in one folder and a few in a subfolder, with today's file dates.
work=$(mktemp -d /tmp/chronoshift-demo-XXXXXX)
trap 'rm -rf "$work"' EXIT
pictures="$work/Holiday pictures"
mkdir -p "$pictures/More"
cp "$root"/tests/data/cameras/*.jpg "$pictures/"
mv "$pictures"/sony-*.jpg "$pictures/More/"
echo "A note, not a picture" >"$pictures/notes.txt"
touch "$pictures"/*.jpg "$pictures"/More/*.jpg

winpath() { echo "Z:${1//\//\\}"; }
echo "demo: dropping $(find "$pictures" -name '*.jpg' | wc -l) sample pictures on Chronoshift (Date Modified, Process Subfolders on)"
"$root/tools/wine-run.sh" "$drive" --target m --subfolders on \
  --log "$(winpath "$work/log.txt")" --screenshot "$(winpath "$work/dialog.bmp")" \
  "$(winpath "$pictures")" >"$work/report.txt"

echo
echo "demo: the processing log"
tr -d '\r' <"$work/log.txt"
echo "demo: the status line says: $(sed -n 's/^drop 1 status: //p' "$work/report.txt")"
echo
echo "demo: file dates now"
(cd "$pictures" && find . -name '*.jpg' -printf '  %TY-%Tm-%Td %TH:%TM:%TS  %P\n' | sed -E 's/\.[0-9]+  /  /' | sort -k3)

if command -v convert >/dev/null && convert "$work/dialog.bmp" "$out/chronoshift-demo.png" 2>/dev/null; then
  echo "demo: screenshot of the dialog saved as $out/chronoshift-demo.png"
else
  cp "$work/dialog.bmp" "$out/chronoshift-demo.bmp"
  echo "demo: screenshot of the dialog saved as $out/chronoshift-demo.bmp"
fi
