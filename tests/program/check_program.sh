#!/usr/bin/env bash
# The shipped program as a user downloads it: small, without symbols, and
# importing nothing but DLLs that every Windows has.
set -u
exe=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
failures=0
passed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else failures=$((failures + 1)); echo "FAILED: $1"; fi
}

size=$(stat -c %s "$exe")
echo "program size: $size bytes"
check "under 400 KB" '[ "$size" -lt 409600 ]'
check "no symbol table" '! "$objdump" -t "$exe" | grep -q "\.text"'
check "no debug sections" '! "$objdump" -h "$exe" | grep -q "\.debug"'
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort)
echo "imports:" $imports
system='^(ADVAPI32|COMCTL32|GDI32|KERNEL32|MSVCRT|SHELL32|USER32|VERSION)\.DLL$'
check "system DLLs only" '! echo "$imports" | grep -v -E "$system" | grep -q .'
check "a manifest and version details inside" '[ -n "$(strings -el "$exe" | grep -x FileVersion)" ] && strings "$exe" | grep -q "<assemblyIdentity type=\"win32\" name=\"Chronoshift\""'

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
