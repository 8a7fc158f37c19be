#!/usr/bin/env bash
# Prints the Windows build that this machine's Wine can run: "windows", the
# 32-bit program users get, or "windows64" where the kernel runs no 32-bit
# program at all (its ia32 emulation is off). The same sources, built for
# 64-bit Windows, then carry the tests.
#
# The probe is the least 32-bit x86 program: it exits at once with status 0.
set -u
# In the build folder: /tmp may forbid running programs.
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/build"
probe=$(mktemp "$root/build/probe32-XXXXXX")
trap 'rm -f "$probe"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then
  echo windows
else
  echo windows64
fi
