#!/usr/bin/env bash
# Draws resources/chronoshift.ico: a clock over a photograph in its frame, at
# the big and small icon sizes of 100, 125, 150 and 200 % display scaling
# (32/16, 40/20, 48/24, 64/32 pixels), drawn large once, then reduced for each.
set -eu
out=${1:-resources/chronoshift.ico}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 192x192 xc:none \
  -fill '#5a4632' -stroke '#3b2d20' -strokewidth 4 -draw 'roundrectangle 6,14 164,150 10,10' \
  -fill '#f4f1ea' -stroke none -draw 'rectangle 18,26 152,138' \
  -fill '#7ec4f0' -draw 'rectangle 26,34 144,130' \
  -fill '#ffd23c' -draw 'circle 56,62 56,48' \
  -fill '#3f9a3a' -draw 'polygon 26,130 26,104 64,78 98,108 120,94 144,110 144,130' \
  -fill '#2c6e2a' -draw 'polygon 26,130 60,110 96,130' \
  -fill white -stroke '#1d3f8c' -strokewidth 12 -draw 'circle 130,130 130,74' \
  -stroke '#1d3f8c' -strokewidth 7 -draw 'line 130,86 130,96' -draw 'line 174,130 164,130' \
  -draw 'line 130,174 130,164' -draw 'line 86,130 96,130' \
  -stroke '#222222' -strokewidth 11 -draw 'line 130,130 130,96' \
  -stroke '#222222' -strokewidth 8 -draw 'line 130,130 158,146' \
  -stroke none -fill '#c8281e' -draw 'circle 130,130 130,121' \
  "$tmp/master.png"

sizes="64 48 40 32 24 20 16"
for size in $sizes; do
  convert "$tmp/master.png" -filter Lanczos -resize ${size}x${size} -unsharp 0x0.6 "$tmp/$size.png"
done
# shellcheck disable=SC2046 # one file per size
convert $(for size in $sizes; do echo "$tmp/$size.png"; done) "$out"
