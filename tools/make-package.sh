#!/usr/bin/env bash
# Makes the download: chronoshift-VERSION-win32.zip with the program, a
# read-me for Windows users and the licence, all with Windows line ends.
#   tools/make-package.sh [OUTPUT-FOLDER]   (default: build/package)
# Sets up the machine and builds first; CHRONOSHIFT_PACKAGE_BUILD names a
# finished build folder to take the program from instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/package}
build=${CHRONOSHIFT_PACKAGE_BUILD:-}
mkdir -p "$out" && out=$(cd "$out" && pwd)
if [ -n "$build" ]; then
  build=$(cd "$build" && pwd)
else
  "$root/tools/setup.sh"
  "$root/tools/build.sh" windows
  build=$root/build/windows
fi

# The version as the build made it from its one source.
version=$(sed -n 's/^#define CHRONOSHIFT_VERSION "\(.*\)"$/\1/p' "$build/resources/Version.h")
[ -n "$version" ] || { echo "make-package: no version in $build/resources/Version.h" >&2; exit 1; }
name=chronoshift-$version-win32

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/app/chronoshift.exe" "$stage/chronoshift.exe"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/docs/README-windows.txt.in" >"$stage/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
touch -r "$build/app/chronoshift.exe" "$stage"/*

rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip chronoshift.exe README.txt LICENSE.txt)
echo "make-package: $out/$name.zip"
