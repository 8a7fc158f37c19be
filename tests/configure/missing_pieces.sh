#!/usr/bin/env bash
# Configures copies of the source tree that each lack one piece (a folder's
# sources, a test suite, the end-to-end scripts) and expects every one of
# them to be refused. A complete copy must configure, for both presets.
set -u
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0

# The tree without build folders and picture data: configuring reads neither.
tar -C "$src" --exclude=./build --exclude=./.git --exclude=./tests/data -cf "$work/tree.tar" .

# configure NAME PRESET EXPECT [PATH-TO-REMOVE...]; EXPECT is ok or refused.
configure() {
  local name=$1 preset=$2 expect=$3
  shift 3
  local tree=$work/$name
  mkdir -p "$tree" && tar -C "$tree" -xf "$work/tree.tar"
  for piece in "$@"; do (cd "$tree" && rm -rf $piece); done
  local args=(-S "$tree" -B "$tree/build" -G Ninja -Wno-dev)
  # The compilers the presets name: a bare machine has no cc or c++.
  if [ "$preset" = windows ]; then
    args+=(-DCMAKE_TOOLCHAIN_FILE="$tree/cmake/i686-w64-mingw32.cmake")
  else
    args+=(-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
  fi
  if cmake "${args[@]}" >"$work/$name.log" 2>&1; then result=ok; else result=refused; fi
  if [ "$result" = "$expect" ] && { [ "$expect" = ok ] || grep -q 'CMake Error' "$work/$name.log"; }; then
    passed=$((passed + 1))
  else
    failures=$((failures + 1))
    echo "FAILED: $name: configuration was $result, expected $expect"
    tail -n 20 "$work/$name.log"
  fi
}

configure complete-native native ok
configure complete-windows windows ok
configure no-reader-sources native refused exif/ExifParser.cpp exif/ExifReader.cpp
configure no-reader-tests native refused tests/exif
configure no-test-support native refused tests/support
configure no-engine windows refused engine
configure no-markup-sources windows refused markup/*.cpp
configure no-engine-tests windows refused tests/engine
configure no-e2e-scripts windows refused tests/e2e
configure no-driver windows refused tests/driver

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
