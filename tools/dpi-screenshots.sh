#!/usr/bin/env bash
# The README's pictures at several display scales, each in a Wine prefix of
# that DPI (see tools/take-screenshots.sh), for looking at them side by side.
#
#   tools/dpi-screenshots.sh [output folder] [DPI...]   (default build/windows/dpi, 96 144 192)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CHRONOSHIFT_BUILD:-$root/build/windows}
out=${1:-$build/dpi}
shift || true
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144 192)
for dpi in "${dpis[@]}"; do
  DPI=$dpi "$root/tools/take-screenshots.sh" "$build" "$out"
done
