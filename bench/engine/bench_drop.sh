#!/usr/bin/env bash
# Drop benchmark: files per second of one drop through chronoshift-drive (the
# real dialog under Wine) on a nested tree of pictures, against a bare Win32
# loop that only opens each file, reads its header and sets its times (also
# under Wine), and against Debian's exiv2 and exiftool on copies of the tree.
#
#   bench/engine/bench_drop.sh [build folder] [number of pictures]
#
# Each Wine program is also timed on an empty folder; its start-up time is
# taken off, so the "net" figures compare the work per file.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
count=${2:-6000}
drive=$build/tests/driver/chronoshift-drive.exe
bare=$build/bench/engine/bare-loop.exe
for exe in "$drive" "$bare"; do
  [ -f "$exe" ] || { echo "bench: $exe is missing; build chronoshift-drive and bare-loop first" >&2; exit 2; }
done
wine_run=$root/tools/wine-run.sh

work=$(mktemp -d /tmp/chronoshift-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export TZ=${TZ:-Europe/Berlin}

echo "bench: making $count pictures in nested folders"
PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1 python3 - "$work/tree" "$count" <<'PY'
import os, sys
import pictures
target, count = sys.argv[1], int(sys.argv[2])
factory = pictures.PictureFactory()
try:
    for i in range(count):
        folder = os.path.join(target, "year %02d" % (i % 10), "month %02d" % (i // 10 % 12), "day %02d" % (i // 120 % 28))
        date = "20%02d:%02d:%02d %02d:%02d:%02d" % (i % 10, 1 + i // 10 % 12, 1 + i // 120 % 28, i % 24, i % 60, i // 7 % 60)
        pictures.write(os.path.join(folder, "img_%05d.jpg" % i), factory.with_date(date), 1580637600)
finally:
    factory.close()
PY
mkdir -p "$work/empty"
runs=${RUNS:-3}

winpath() { echo "Z:${1//\//\\}"; }
now() { date +%s.%N; }
calc() { python3 -c "print($1)"; }
# Seconds of wall-clock time of one command.
timed() {
  local t0 t1
  t0=$(now)
  "$@" >"$work/out.txt" 2>&1 || { cat "$work/out.txt" >&2; echo "bench: failed: $*" >&2; exit 1; }
  t1=$(now)
  calc "$t1 - $t0"
}
# The best of $runs runs, each on a fresh copy of the tree in $work/copy
# (the machine is shared: the fastest run is the one least disturbed).
best() {
  local check=$1 best="" t
  shift
  for _ in $(seq "$runs"); do
    rm -rf "$work/copy"
    cp -a "$work/tree" "$work/copy"
    sync
    t=$(timed "$@")
    $check || exit 1
    best=$(calc "min($t, ${best:-$t})")
  done
  echo "$best"
}
drive_ok() {
  grep -q "changed date for <b>$count</b> files" "$work/out.txt" ||
    { echo "bench: the drop did not change every file" >&2; cat "$work/out.txt" >&2; return 1; }
}
bare_ok() {
  grep -qx "files: $count" <(tr -d '\r' <"$work/out.txt") || { echo "bench: the bare loop missed files" >&2; return 1; }
}
any_ok() { true; }

# Warm the Wine prefix and the file cache before measuring.
"$wine_run" "$bare" "$(winpath "$work/empty")" >/dev/null
copy=$(winpath "$work/copy")
empty=$(winpath "$work/empty")

drive_empty=$(best any_ok "$wine_run" "$drive" --target m --subfolders on "$empty")
drive_time=$(best drive_ok "$wine_run" "$drive" --target m --subfolders on "$copy")
bare_empty=$(best any_ok "$wine_run" "$bare" "$empty")
bare_time=$(best bare_ok "$wine_run" "$bare" "$copy")
exiv2_time=$(best any_ok bash -c "find '$work/copy' -name '*.jpg' -print0 | xargs -0 exiv2 -T rename")
exiftool_time=$(best any_ok exiftool -q -r '-FileModifyDate<DateTimeOriginal' "$work/copy")

rate() { calc "round($count / ($1), 1)"; }
printf "\n%-34s %10s %12s %14s\n" "tool ($count pictures, best of $runs)" "seconds" "files/s" "net files/s"
printf "%-34s %10.2f %12s %14s\n" "chronoshift-drive (Wine)" "$drive_time" "$(rate "$drive_time")" "$(rate "$drive_time - $drive_empty")"
printf "%-34s %10.2f %12s %14s\n" "bare Win32 loop (Wine)" "$bare_time" "$(rate "$bare_time")" "$(rate "$bare_time - $bare_empty")"
printf "%-34s %10.2f %12s %14s\n" "exiv2 -T rename" "$exiv2_time" "$(rate "$exiv2_time")" "-"
printf "%-34s %10.2f %12s %14s\n" "exiftool -FileModifyDate<..." "$exiftool_time" "$(rate "$exiftool_time")" "-"
printf "\nstart-up of an empty drop: chronoshift-drive %.2f s, bare loop %.2f s\n" "$drive_empty" "$bare_empty"
ratio=$(calc "($bare_time - $bare_empty) / ($drive_time - $drive_empty) * 100")
raw=$(calc "$bare_time / $drive_time * 100")
printf "chronoshift-drive reaches %.0f%% of the bare loop's throughput net of start-up (%.0f%% wall-clock); goal 70%%\n" "$ratio" "$raw"
