#!/usr/bin/env bash
# Installs what building and testing Chronoshift needs on a Debian machine,
# without prompts. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  googletest clang-14 libclang-rt-14-dev
  libimage-exiftool-perl exiv2 imagemagick python3 python3-xlib fonts-wine
)

# Where no 32-bit program runs, the tests run in a 64-bit build.
if [ "$("$(dirname "$0")/windows-preset.sh")" = windows64 ]; then
  echo "setup: this machine runs no 32-bit program: the Windows tests run in a 64-bit build"
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine64)
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails the update now and then; try again.
  apt_opts=()
  updated=no
  for attempt in 1 2 3; do
    if as_root apt-get update -q; then updated=yes; break; fi
    [ "$attempt" -lt 3 ] || break
    echo "setup: apt-get update failed, trying again in $((attempt * 15)) s" >&2
    sleep $((attempt * 15))
  done
  if [ "$updated" = no ]; then
    # Still failing: most often one half-synced index of the security suite,
    # which leaves amd64 and i386 at different versions of the same library
    # and wine32 uninstallable. The release suites alone are consistent.
    echo "setup: going on with the sources apart from the security suite" >&2
    sources=$(mktemp -d /tmp/chronoshift-apt-XXXXXX)
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] && grep -v -i security "$f" >"$sources/$(basename "$f")" || true
    done
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && awk -v RS= -v ORS='\n\n' 'tolower($0) !~ /security/' "$f" >"$sources/$(basename "$f")" || true
    done
    apt_opts=(-o "Dir::Etc::SourceList=$sources/none" -o "Dir::Etc::SourceParts=$sources")
    as_root apt-get update -q "${apt_opts[@]}"
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${apt_opts[@]}" "${missing[@]}"
  [ -z "${sources:-}" ] || rm -rf "$sources"
fi
