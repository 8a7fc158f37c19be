#!/usr/bin/env bash
# Prints the machine a Windows program is built for, from its PE header:
# "x86" (the program users get), "x64", or the field's value in hex.
set -u
offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
[ -n "$offset" ] || { echo unknown; exit 1; }
machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
case $machine in
  014c) echo x86 ;;
  8664) echo x64 ;;
  *) echo "${machine:-unknown}" ;;
esac
