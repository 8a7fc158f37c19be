#!/usr/bin/env bash
# Sets up the machine, builds both configurations and runs every test:
# the Windows programs under Wine, the reader natively under ASan/UBSan.
# Where the machine runs no 32-bit program, the 32-bit program is still built,
# and the Windows tests run in the 64-bit build of the same sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup.sh
tools/build.sh windows
windows=$(tools/windows-preset.sh)
if [ "$windows" != windows ]; then
  echo "test: this machine runs no 32-bit program; the Windows tests run in the $windows build"
  tools/build.sh "$windows"
fi
tools/build.sh native

status=0
ctest --preset "$windows" --no-tests=error || status=1
ctest --preset native --no-tests=error || status=1

# The wrapper's virtual display and Wine server are not needed any more.
if [ -f "build/$windows/wine/display" ]; then
  read -r _ pid <"build/$windows/wine/display" && kill "$pid" 2>/dev/null || true
fi
WINEPREFIX=$root/build/$windows/wine/prefix wineserver -k 2>/dev/null || true

if [ $status -ne 0 ]; then
  echo "test: FAILED"
else
  echo "test: all tests passed"
fi
if [ "$windows" != windows ]; then
  echo "test: the 32-bit program was built but not run: this machine runs no 32-bit program, so the Windows suites ran in build/$windows"
fi
exit $status
