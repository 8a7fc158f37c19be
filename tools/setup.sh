#!/usr/bin/env bash
# Installs what building and testing Chronoshift needs on a Debian machine,
# without prompts. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  googletest clang-14 libclang-rt-14-dev
  libimage-exiftool-perl exiv2 imagemagick python3 fonts-wine
)

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
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
