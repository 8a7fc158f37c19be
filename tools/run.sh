#!/usr/bin/env bash
# Sets up the machine, builds Chronoshift for 32-bit Windows and starts it
# under Wine. Without a display it runs in a virtual one and says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
# Where no 32-bit program runs, the 64-bit build of the same sources.
windows=$(tools/windows-preset.sh)
tools/build.sh "$windows"
export CHRONOSHIFT_BUILD=$root/build/$windows

exe=build/$windows/app/chronoshift.exe
if [ -z "${DISPLAY:-}" ]; then
  if [ -x tools/demo.sh ]; then
    echo "run: no display here; running the demo in a virtual display instead"
    exec tools/demo.sh "$@"
  fi
  echo "run: no display here; Chronoshift runs in a virtual display (close it with Ctrl+C)"
fi
exec tools/wine-run.sh "$exe" "$@"
