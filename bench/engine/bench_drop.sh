#!/usr/bin/env bash
# Drop benchmark: one drop through chronoshift-drive (the real dialog under
# Wine) on the layouts users drop, side by side with
#   - the bare loop: the program's own system calls without the reader, log,
#     journal or status line (bare-loop.exe),
#   - the floor: the least any Windows program must do (floor-loop.exe: walk
#     with FindFirstFile; open each file once for reading and writing; read
#     its first 16 KiB; set its last-write time through that handle; close),
#   - Debian's exiv2 and exiftool on copies of the tree (native),
# and the start-up of an empty drop against a minimal dialog program and
# against the program's own main window shown with nothing behind it
# (template-dialog.exe: what the platform spends on the window's controls).
#
#   bench/engine/bench_drop.sh [build folder] [layout...]
#     layouts: dcim (5,000 in 10 folders of 500), flat (10,000 in one folder),
#              archive (50,000 in 100 folders of 500), nested (6,000, about
#              one per folder); default: all four
#   RUNS=N     runs per figure, the best taken (default 3)
#   EXTERNAL=0 leaves exiv2 and exiftool out
#   PIN=0      runs on every core (see below)
#   PREVIEW=0  pictures of a few hundred bytes instead of ones with a camera's
#              header (an EXIF section of about 9 KiB with its 160x120 preview)
#
# "drop" is the batch's own time inside the program, from WM_DROPFILES to
# the end of the batch, as the driver prints it; "process" is the whole run.
# The loops' figures are net of their own empty run, so that they compare
# with the drop's own time. The closing lines give the drop-to-floor ratio of
# throughput for each layout (goal 0.90), the start-up ratio (goal 1.5) and
# the least peak working set of the runs for 10 and for 10,000 pictures in
# one folder, of the driver and of the floor (what the platform itself keeps
# for a large folder), and what the working set gains within the large drop
# once its folder is listed: what the drop itself keeps per picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
shift || true
layouts=("$@")
[ ${#layouts[@]} -gt 0 ] || layouts=(dcim flat archive nested)
drive=$build/tests/driver/chronoshift-drive.exe
bare=$build/bench/engine/bare-loop.exe
floor=$build/bench/engine/floor-loop.exe
dialog=$build/bench/engine/minimal-dialog.exe
window=$build/bench/engine/template-dialog.exe
for exe in "$drive" "$bare" "$floor" "$dialog" "$window"; do
  [ -f "$exe" ] || { echo "bench: $exe is missing; build the windows preset first" >&2; exit 2; }
done
# The goals are the 32-bit program's. A 64-bit build (for machines that run
# no 32-bit program) can be measured too, but its figures say so.
kind="the 32-bit program"
if [ "$("$root/tools/pe-machine.sh" "$drive")" = x64 ]; then
  kind="a 64-bit build, not the program users get: the goals are the 32-bit program's"
  echo "bench: $drive is $kind" >&2
fi
# Every system call under Wine is a round trip to the wineserver. On a
# virtual machine with idle cores each one waits for a core to wake: the calls
# get several times slower, and the figures vary as much from run to run. On
# one core they cost what they cost on a quiet machine, so the benchmark
# restarts the prefix's wineserver there and runs everything there.
if [ "${PIN:-1}" = 1 ] && [ -z "${CHRONOSHIFT_BENCH_PINNED:-}" ] && command -v taskset >/dev/null; then
  WINEPREFIX=${CHRONOSHIFT_WINEPREFIX:-$build/wine/prefix} wineserver -k 2>/dev/null || true
  export CHRONOSHIFT_BENCH_PINNED=1
  exec taskset -c 0 "$0" "$build" "${layouts[@]}"
fi
wine_run=$root/tools/wine-run.sh
runs=${RUNS:-3}
external=${EXTERNAL:-1}

work=$(mktemp -d /tmp/chronoshift-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export TZ=${TZ:-Europe/Berlin}

# make_tree FOLDER LAYOUT [COUNT]: prints the number of pictures made.
make_tree() {
  PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1 python3 - "$@" <<'PY'
import os, sys
import pictures
target, layout = sys.argv[1], sys.argv[2]
count = int(sys.argv[3]) if len(sys.argv) > 3 else {"dcim": 5000, "flat": 10000, "archive": 50000, "nested": 6000}[layout]
def folder(i):
    if layout == "flat":
        return "Phone export"
    if layout in ("dcim", "archive"):
        return os.path.join("DCIM", "%03dMEDIA" % (100 + i // 500))
    return os.path.join("year %02d" % (i % 10), "month %02d" % (i // 10 % 12), "day %02d" % (i // 120 % 28))
factory = pictures.PictureFactory(thumbnail=os.environ.get("PREVIEW", "1") == "1")
try:
    for i in range(count):
        date = "20%02d:%02d:%02d %02d:%02d:%02d" % (i % 10, 1 + i // 10 % 12, 1 + i // 120 % 28, i % 24, i % 60, i // 7 % 60)
        pictures.write(os.path.join(target, folder(i), "img_%05d.jpg" % i), factory.with_date(date), 1580637600)
finally:
    factory.close()
print(count)
PY
}

winpath() { echo "Z:${1//\//\\}"; }
now() { date +%s.%N; }
calc() { python3 -c "print($1)"; }
# Seconds of wall-clock time of one command; its output in $work/out.txt.
timed() {
  local t0 t1
  t0=$(now)
  "$@" >"$work/out.txt" 2>&1 || { cat "$work/out.txt" >&2; echo "bench: failed: $*" >&2; exit 1; }
  t1=$(now)
  calc "$t1 - $t0"
}
# program NAME: one run of a measured program, on the tree in $work/copy;
# NAME-empty runs it on the empty folder.
program() {
  local path=$copy
  [[ $1 != *-empty ]] || path=$empty
  case ${1%-empty} in
    drive) "$wine_run" "$drive" "${drive_args[@]}" "$path" ;;
    dialog) "$wine_run" "$dialog" ;;
    window) "$wine_run" "$window" ;;
    bare) "$wine_run" "$bare" "$path" ;;
    floor) "$wine_run" "$floor" "$path" ;;
    exiv2) find "$work/copy" -name '*.jpg' -print0 | xargs -0 exiv2 -T rename ;;
    exiftool) exiftool -q -r '-FileModifyDate<DateTimeOriginal' "$work/copy" ;;
  esac
}
# check NAME: whether the run just made did all its work.
check() {
  case $1 in
    drive) drive_ok ;;
    bare | floor) loop_ok ;;
    *) true ;;
  esac
}
# measure TREE NAME...: the best of $runs runs of each program, each run on a
# fresh copy of TREE in $work/copy (the machine is shared: the fastest run is
# the one least disturbed). Each round takes every program once, in turn, so
# that a drift of the machine falls on all of them alike. Sets, by name,
# best_time, best_drop (the drop time the driver printed), best_peak (the
# least peak working set printed: as with the times, a run can only add to
# it, heap growth that happens to fall in it), and best_growth (the least
# that the working set gained within the drop, from its first progress paint,
# which showed picture growth_from, to its end).
declare -A best_time best_drop best_peak best_growth growth_from
measure() {
  local tree=$1 name t d p g from
  shift
  best_time=() best_drop=() best_peak=() best_growth=() growth_from=()
  for _ in $(seq "$runs"); do
    for name in "$@"; do
      rm -rf "$work/copy"
      cp -a "$tree" "$work/copy"
      sync
      t=$(timed program "$name")
      check "$name" || exit 1
      best_time[$name]=$(calc "min($t, ${best_time[$name]:-$t})")
      d=$(tr -d '\r' <"$work/out.txt" | sed -n 's/^drop 1 seconds: //p')
      [ -z "$d" ] || best_drop[$name]=$(calc "min($d, ${best_drop[$name]:-$d})")
      p=$(peak)
      [ -z "$p" ] || best_peak[$name]=$((p < ${best_peak[$name]:-$p} ? p : ${best_peak[$name]:-$p}))
      g=""
      read -r g from < <(growth) || true
      if [ -n "$g" ] && { [ -z "${best_growth[$name]:-}" ] || [ "$g" -lt "${best_growth[$name]}" ]; }; then
        best_growth[$name]=$g growth_from[$name]=$from
      fi
    done
  done
}
drive_ok() {
  grep -q "changed date for <b>$count</b> files" "$work/out.txt" ||
    { echo "bench: the drop did not change every file" >&2; cat "$work/out.txt" >&2; return 1; }
}
loop_ok() {
  grep -qx "files: $count" <(tr -d '\r' <"$work/out.txt") || { echo "bench: a loop missed files" >&2; return 1; }
}
peak() { tr -d '\r' <"$work/out.txt" | sed -n 's/^peak working set: \([0-9]*\) KB$/\1/p'; }
# "KB PICTURE": what the working set gained from the first progress paint to
# the end of the drop, and the picture that paint showed; nothing without one.
growth() {
  local out first end from
  out=$(tr -d '\r' <"$work/out.txt")
  first=$(sed -n 's/^drop 1 working set at first progress paint: \([0-9]*\) KB$/\1/p' <<<"$out")
  end=$(sed -n 's/^drop 1 working set at end: \([0-9]*\) KB$/\1/p' <<<"$out")
  from=$(sed -n 's/^drop 1 first progress seen: .*<b>\([0-9]*\)<\/b>.*$/\1/p' <<<"$out")
  [ -z "$first" ] || [ -z "$end" ] || echo "$((end - first)) ${from:-?}"
}

mkdir -p "$work/empty"
empty=$(winpath "$work/empty")
copy=$(winpath "$work/copy")
drive_args=(--target m --subfolders on)
# Warm the Wine prefix and the file cache before measuring.
"$wine_run" "$bare" "$empty" >/dev/null

count=0
# The empty runs take a tenth of a second and vary the most: the best of
# more of them.
layout_runs=$runs
runs=$((runs * 4))
measure "$work/empty" drive-empty dialog window bare-empty floor-empty
drive_empty=${best_time[drive-empty]}
dialog_time=${best_time[dialog]}
window_time=${best_time[window]}
bare_empty=${best_time[bare-empty]}
floor_empty=${best_time[floor-empty]}
runs=$layout_runs

# Peak working set of a small and of a large drop.
make_tree "$work/ten" flat 10 >/dev/null
count=10
measure "$work/ten" drive floor
peak_small=${best_peak[drive]}
floor_peak_small=${best_peak[floor]}

rate() { calc "round($count / ($1))"; }
rows=()
ratios=()
for layout in "${layouts[@]}"; do
  echo "bench: $layout: making the pictures" >&2
  rm -rf "$work/tree"
  count=$(make_tree "$work/tree" "$layout")
  echo "bench: $layout: $count pictures, $runs runs each" >&2
  programs=(drive bare floor)
  [ "$external" != 1 ] || programs+=(exiv2 exiftool)
  measure "$work/tree" "${programs[@]}"
  drive_time=${best_time[drive]} drop_time=${best_drop[drive]}
  bare_net=$(calc "${best_time[bare]} - $bare_empty")
  floor_net=$(calc "${best_time[floor]} - $floor_empty")
  if [ "$layout" = flat ]; then
    peak_large=${best_peak[drive]} floor_peak_large=${best_peak[floor]}
    growth_large=${best_growth[drive]:-} growth_large_from=${growth_from[drive]:-}
  fi
  exiv2_rate=- exiftool_rate=-
  if [ "$external" = 1 ]; then
    exiv2_rate=$(rate "${best_time[exiv2]}")
    exiftool_rate=$(rate "${best_time[exiftool]}")
  fi
  rows+=("$(printf "%-8s %7d %9.2f %9.2f %9d %9d %9d %9d %9s %9s" "$layout" "$count" "$drop_time" "$drive_time" \
    "$(rate "$drop_time")" "$(rate "$drive_time - $drive_empty")" "$(rate "$bare_net")" "$(rate "$floor_net")" \
    "$exiv2_rate" "$exiftool_rate")")
  ratios+=("$(printf "%s %.2f" "$layout" "$(calc "$floor_net / $drop_time")")")
done

echo
cores="on one core"
[ -n "${CHRONOSHIFT_BENCH_PINNED:-}" ] || cores="on every core"
echo "seconds of one drop, and pictures per second (best of $runs; loops net of their empty run; $cores)"
echo "measured: $kind"
printf "%-8s %7s %9s %9s %9s %9s %9s %9s %9s %9s\n" layout files drop process "drop/s" "proc/s" "bare/s" "floor/s" "exiv2/s" "exiftool/s"
printf "%s\n" "${rows[@]}"
echo
printf "start-up (best of %d): empty drop %.2f s, minimal dialog %.2f s: %.2f times (goal at most 1.5)\n" "$((runs * 4))" \
  "$drive_empty" "$dialog_time" "$(calc "$drive_empty / $dialog_time")"
printf "start-up: the program's window alone %.2f s: %.2f times the minimal dialog; the empty drop %.2f times it\n" \
  "$window_time" "$(calc "$window_time / $dialog_time")" "$(calc "$drive_empty / $window_time")"
if [ -n "${peak_large:-}" ]; then
  printf "peak working set: 10 pictures %d KB, 10,000 pictures %d KB: %+d KB (goal under 1024)\n" \
    "$peak_small" "$peak_large" "$((peak_large - peak_small))"
  printf "floor's peak working set: 10 pictures %d KB, 10,000 pictures %d KB: %+d KB\n" \
    "$floor_peak_small" "$floor_peak_large" "$((floor_peak_large - floor_peak_small))"
  [ -z "${growth_large:-}" ] ||
    printf "working set within the 10,000-picture drop, from its first progress paint (picture %s) to its end: %+d KB\n" \
      "$growth_large_from" "$growth_large"
else
  printf "peak working set: 10 pictures %d KB (the flat layout gives the 10,000 figure)\n" "$peak_small"
fi
printf "drop to floor (throughput, goal 0.90):"
printf " %s," "${ratios[@]}" | sed 's/,$//'
echo
