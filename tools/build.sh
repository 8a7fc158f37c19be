#!/usr/bin/env bash
# Configures and builds one preset (windows or native) of the source tree.
set -euo pipefail
preset=${1:-windows}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -f "build/$preset/CMakeCache.txt" ]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" -j "$(nproc)"
