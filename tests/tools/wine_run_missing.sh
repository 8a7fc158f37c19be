#!/usr/bin/env bash
# tools/wine-run.sh, given a program that is not there, must say so and fail
# at once, as a shell does, rather than search for its build folder forever.
set -u
root=$1
out=$(timeout 20 "$root/tools/wine-run.sh" "$root/no such folder/missing.exe" 2>&1)
rc=$?
if [ "$rc" = 124 ]; then
  echo "FAIL: wine-run.sh still searching after 20 s" >&2
  exit 1
fi
if [ "$rc" != 127 ]; then
  echo "FAIL: exit status $rc, expected 127; output: $out" >&2
  exit 1
fi
case $out in
*"missing.exe"*) ;;
*)
  echo "FAIL: the message does not name the program: $out" >&2
  exit 1
  ;;
esac
echo "ok"
