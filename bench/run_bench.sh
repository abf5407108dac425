#!/usr/bin/env bash
# Speed and memory of the tool on synthetic exports: builds Release into
# build-bench/, writes a typical and a location-heavy export of 500 MB (and
# of 50 MB) into a scratch folder, runs the tool on each and prints input
# MB/s, output lines/s, peak resident memory, the time against reading the
# export with cat, keep-open against open-per-append, and 500 MB against
# 50 MB. Every figure is the median of 5 runs, each into a fresh output
# folder.
#
#   bench/run_bench.sh [--quick] [--dir FOLDER]
#
#   --quick        1 run each, exports of 50 MB and 5 MB
#   --dir FOLDER   make the scratch folder in FOLDER (default $TMPDIR or
#                  /tmp); it needs about 9 GB, 1 GB with --quick. A folder
#                  held in memory (/dev/shm) leaves out what the disk's file
#                  system charges for making files.
#
# Output folders are removed only at the end: on ext4, files made soon after
# thousands of others were deleted are slow to create, which would charge the
# file system's bookkeeping to the next run.
set -euo pipefail

cd "$(dirname "$0")/.."
repo=$(pwd)

runs=5
big_mb=500
small_mb=50
scratch_parent=${TMPDIR:-/tmp}
scratch=""
while [ $# -gt 0 ]; do
  case $1 in
    --quick) runs=1 big_mb=50 small_mb=5 ;;
    --dir)
      [ $# -ge 2 ] || { echo "run_bench.sh: --dir needs a folder" >&2; exit 2; }
      scratch_parent=$2
      shift
      ;;
    -h | --help)
      awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"
      exit 0
      ;;
    *) echo "run_bench.sh: unknown option: $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

build=$repo/build-bench
echo "== building Release into build-bench/"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tallora tallora_open_per_append \
  tallora_measure gen_export >/dev/null
tool=$build/tallora
per_append=$build/bench/tallora_open_per_append
measure=$build/bench/tallora_measure
gen=$build/tools/gen_export

mkdir -p "$scratch_parent"
scratch=$(mktemp -d "$scratch_parent/tallora-bench.XXXXXX")
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT
echo "== scratch folder $scratch"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
max() { sort -g | tail -n 1; }

# run_tool EXE EXPORT NAME: one run in a fresh folder; appends
# "seconds peak_kib" to $scratch/NAME.times. The last run's folder is kept
# as $scratch/NAME.last for inspection.
run_tool() {
  local exe=$1 export_file=$2 name=$3
  local run
  run=$(mktemp -d "$scratch/run.XXXXXX")
  mkdir "$run/out"
  printf 'out\\\n' >"$run/tallora.ini"
  ln -s "$export_file" "$run/sqlline.txt"
  (cd "$run" && "$measure" "$run.report" "$exe" </dev/null >/dev/null 2>"$run.err")
  local seconds kib status
  read -r seconds kib status <"$run.report"
  if [ "$status" != 0 ]; then
    echo "run_bench.sh: $name failed with status $status:" >&2
    head -n 5 "$run.err" >&2
    exit 1
  fi
  echo "$seconds $kib" >>"$scratch/$name.times"
  rm -f "$scratch/$name.last"
  ln -s "$run" "$scratch/$name.last"
}

# bench EXE EXPORT NAME: $runs runs; sets seconds (median) and kib (peak).
bench() {
  local i
  rm -f "$scratch/$3.times"
  for ((i = 0; i < runs; i++)); do
    run_tool "$@"
  done
  seconds=$(cut -d' ' -f1 "$scratch/$3.times" | median)
  kib=$(cut -d' ' -f2 "$scratch/$3.times" | max)
}

# cat_seconds EXPORT: median time of reading the export with cat.
cat_seconds() {
  local i
  for ((i = 0; i < runs; i++)); do
    "$measure" "$scratch/cat.report" cat "$1" >/dev/null
    cut -d' ' -f1 "$scratch/cat.report"
  done | median
}

output_lines() { find "$1/out" -type f -exec cat {} + | wc -l; }

echo "== writing exports"
for mix in typical location-heavy; do
  for mb in "$big_mb" "$small_mb"; do
    "$gen" --out "$scratch/$mix-$mb.txt" --mix "$mix" --size-mb "$mb"
  done
done

declare -A time_of peak_kib bytes_of
echo
printf '%-24s %8s %9s %10s %13s %9s %8s\n' export seconds "MB/s" "vs cat" \
  "lines/s" "lines" "peak MiB"
for mix in typical location-heavy; do
  for mb in "$big_mb" "$small_mb"; do
    name=$mix-$mb
    export_file=$scratch/$name.txt
    bytes=$(stat -c %s "$export_file")
    cat_time=$(cat_seconds "$export_file")
    bench "$tool" "$export_file" "$name"
    lines=$(output_lines "$scratch/$name.last")
    time_of[$name]=$seconds
    bytes_of[$name]=$bytes
    awk -v n="$name.txt" -v s="$seconds" -v b="$bytes" -v c="$cat_time" \
      -v l="$lines" -v k="$kib" 'BEGIN {
        printf "%-24s %8.3f %9.1f %10.1f %13.0f %9d %8.1f\n",
               n, s, b / 1e6 / s, s / c, l / s, l, k / 1024 }'
    peak_kib[$name]=$kib
  done
done
echo "(MB = 10^6 bytes of export; vs cat: the run's time over the time of"
echo " cat EXPORT >/dev/null; lines: lines in all report files of one run)"

# Open-per-append costs a file open and close per line, so it runs on the
# small location-heavy export; both modes are timed on that same export.
name=location-heavy-$small_mb
bench "$per_append" "$scratch/$name.txt" per-append
per_append_time=$seconds
keep_open_dir=$(readlink "$scratch/$name.last")
if diff -r "$keep_open_dir/out" "$scratch/per-append.last/out" >/dev/null; then
  identical=yes
else
  identical=NO
fi

echo
awk -v small="$small_mb" -v big="$big_mb" -v runs="$runs" \
  -v pa="$per_append_time" -v ko="${time_of[location-heavy-$small_mb]}" \
  -v kob="${time_of[location-heavy-$big_mb]}" \
  -v tb="${time_of[typical-$big_mb]}" -v ts="${time_of[typical-$small_mb]}" \
  -v same="$identical" 'BEGIN {
    printf "open-per-append on location-heavy-%s.txt: %.3f s, %.1f MB/s " \
           "(%.4f s per MB; keep-open %.4f s per MB there, %.4f s per MB " \
           "on %s MB)\n", small, pa, small / pa, pa / small, ko / small,
           kob / big, big
    printf "keep-open vs open-per-append, same export: %.1fx faster; " \
           "output trees identical: %s\n", pa / ko, same
    printf "%s MB / %s MB time: typical %.2f, location-heavy %.2f " \
           "(linear: %.0f)\n", big, small, tb / ts, kob / ko, big / small
    printf "(median of %d runs)\n", runs
  }'

echo
if [ "$runs" = 1 ]; then
  echo "== targets (quick run: smaller exports, 1 run each; not the measure)"
else
  echo "== targets (median of $runs runs)"
fi
target() { printf '%-52s %-10s %s\n' "$1" "$2" "$3"; }
verdict() { awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN {
  ok = op == ">=" ? v >= t : op == "<" ? v < t : v <= t
  print ok ? "met" : "MISSED" }'; }
typical_mbps=$(awk -v b="${bytes_of[typical-$big_mb]}" \
  -v s="${time_of[typical-$big_mb]}" 'BEGIN { printf "%.1f", b / 1e6 / s }')
ratio=$(awk -v a="$per_append_time" -v b="${time_of[location-heavy-$small_mb]}" \
  'BEGIN { printf "%.1f", a / b }')
max_peak=$(printf '%s\n' "${peak_kib[@]}" | max)
max_peak_mib=$(awk -v k="$max_peak" 'BEGIN { printf "%.2f", k / 1024 }')
linear=$(awk -v a="${time_of[typical-$big_mb]}" -v b="${time_of[typical-$small_mb]}" \
  -v c="${time_of[location-heavy-$big_mb]}" \
  -v d="${time_of[location-heavy-$small_mb]}" \
  'BEGIN { r = a / b; if (c / d > r) r = c / d; printf "%.2f", r }')
scale=$(awk -v b="$big_mb" -v s="$small_mb" 'BEGIN { print 1.1 * b / s }')
target "typical input >= 200 MB/s" "$(verdict "$typical_mbps" ">=" 200)" \
  "$typical_mbps MB/s"
target "location-heavy keep-open >= 20x open-per-append" \
  "$(verdict "$ratio" ">=" 20)" "${ratio}x"
target "peak resident memory < 16 MiB" "$(verdict "$max_peak_mib" "<" 16)" \
  "$max_peak_mib MiB at most"
target "${big_mb} MB run <= $scale x the ${small_mb} MB run" \
  "$(verdict "$linear" "<=" "$scale")" "${linear}x at most"
[ "$identical" = yes ]
