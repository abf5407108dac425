#!/usr/bin/env bash
# Speed and memory of the tool on synthetic exports: builds Release into
# build-bench/, writes a typical, a location-heavy and a places-5000 export of
# 200 MB each, one block of 2,000,000 events and one of 300,000 segments into
# a scratch folder, and runs the tool on each. It prints seconds, input MB/s,
# output lines/s, peak resident memory and the time over that of `wc -l` on
# the same file (timed alongside each run); keep-open against open-per-append
# on one location-heavy export, and whether their output trees are the same;
# the places-5000 time over the location-heavy time; then the targets with a
# verdict each. Every figure is the median of 5 runs (peaks: the largest),
# each run into a fresh output folder.
#
#   bench/run_bench.sh [--quick] [--dir FOLDER]
#
#   --quick        1 run each, exports of 50 MB and blocks a tenth the size
#   --dir FOLDER   make the scratch folder in FOLDER (default /dev/shm when
#                  it exists, else $TMPDIR or /tmp). In a folder held in
#                  memory it needs about 2 GB (under 1 GB with --quick), on a
#                  disk about 8 GB: there the output folders stay until the
#                  end. A disk's file system adds its own cost of making
#                  thousands of files to the tool's.
#
# Exits non-zero when a run fails or the two writer modes' trees differ; a
# missed target is printed, not treated as a failure.
set -euo pipefail

cd "$(dirname "$0")/.."
repo=$(pwd)

runs=5
mix_mb=200
per_append_mb=20
block_events=2000000
block_segments=300000
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch_parent=/dev/shm
else
  scratch_parent=${TMPDIR:-/tmp}
fi
scratch=""
while [ $# -gt 0 ]; do
  case $1 in
    --quick)
      runs=1 mix_mb=50 per_append_mb=5
      block_events=200000 block_segments=30000
      ;;
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
# On ext4, files made soon after thousands of others were deleted are slow to
# create, which would charge the file system's bookkeeping to the next run;
# so on a disk every output folder stays until the end. In memory each is
# removed once it is no longer needed.
if [ "$(stat -f -c %T "$scratch")" = tmpfs ]; then
  in_memory=yes
else
  in_memory=no
fi
echo "== scratch folder $scratch (held in memory: $in_memory)"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
max() { sort -g | tail -n 1; }

# measure_into NAME.times COMMAND...: runs COMMAND with stdin and stdout
# closed off, appends "seconds peak_kib" to NAME.times; stops the bench if it
# fails.
measure_into() {
  local times=$1
  shift
  local seconds kib status
  "$measure" "$scratch/measure.report" "$@" </dev/null >/dev/null \
    2>"$scratch/measure.err"
  read -r seconds kib status <"$scratch/measure.report"
  if [ "$status" != 0 ]; then
    echo "run_bench.sh: $* failed with status $status:" >&2
    head -n 5 "$scratch/measure.err" >&2
    exit 1
  fi
  echo "$seconds $kib" >>"$times"
}

# run_tool EXE EXPORT NAME: one run in a fresh folder, timed into
# $scratch/NAME.times; the run's folder is kept as $scratch/NAME.last.
run_tool() {
  local exe=$1 export_file=$2 name=$3
  local run previous
  previous=$(readlink "$scratch/$name.last" || true)
  if [ "$in_memory" = yes ] && [ -n "$previous" ]; then
    rm -rf "$previous"
  fi
  run=$(mktemp -d "$scratch/run.XXXXXX")
  mkdir "$run/out"
  printf 'out\\\n' >"$run/tallora.ini"
  ln -s "$export_file" "$run/sqlline.txt"
  (cd "$run" && measure_into "$scratch/$name.times" "$exe")
  rm -f "$scratch/$name.last"
  ln -s "$run" "$scratch/$name.last"
}

# bench EXE EXPORT NAME: $runs runs of the tool, each after a `wc -l` of the
# export; sets seconds and wc_seconds (medians) and kib (largest peak).
bench() {
  local i
  rm -f "$scratch/$3.times" "$scratch/$3.wc"
  for ((i = 0; i < runs; i++)); do
    LC_ALL=C measure_into "$scratch/$3.wc" wc -l "$2"
    run_tool "$@"
  done
  seconds=$(cut -d' ' -f1 "$scratch/$3.times" | median)
  wc_seconds=$(cut -d' ' -f1 "$scratch/$3.wc" | median)
  kib=$(cut -d' ' -f2 "$scratch/$3.times" | max)
}

output_lines() { find "$1/out" -type f -exec cat {} + | wc -l; }

drop_last() {
  if [ "$in_memory" = yes ]; then
    rm -rf "$(readlink "$scratch/$1.last")"
  fi
}

echo "== writing exports"
for mix in typical location-heavy places-5000; do
  "$gen" --out "$scratch/$mix.txt" --mix "$mix" --size-mb "$mix_mb"
done
"$gen" --out "$scratch/events-$block_events.txt" --mix location-heavy \
  --one-block-events "$block_events"
"$gen" --out "$scratch/segments-$block_segments.txt" --mix location-heavy \
  --one-block-segments "$block_segments"
"$gen" --out "$scratch/location-heavy-$per_append_mb.txt" --mix location-heavy \
  --size-mb "$per_append_mb"

declare -A time_of mbps_of peak_kib
echo
printf '%-22s %7s %8s %8s %11s %9s %9s %7s\n' export MB seconds "MB/s" \
  "lines/s" "lines" "peak MiB" "x wc -l"
for name in typical location-heavy places-5000 events-$block_events \
  segments-$block_segments; do
  export_file=$scratch/$name.txt
  bytes=$(stat -c %s "$export_file")
  bench "$tool" "$export_file" "$name"
  lines=$(output_lines "$scratch/$name.last")
  drop_last "$name"
  time_of[$name]=$seconds
  peak_kib[$name]=$kib
  mbps_of[$name]=$(awk -v b="$bytes" -v s="$seconds" \
    'BEGIN { printf "%.1f", b / 1e6 / s }')
  awk -v n="$name.txt" -v s="$seconds" -v b="$bytes" -v w="$wc_seconds" \
    -v l="$lines" -v k="$kib" 'BEGIN {
      printf "%-22s %7.1f %8.3f %8.1f %11.0f %9d %9.2f %7.1f\n",
             n, b / 1e6, s, b / 1e6 / s, l / s, l, k / 1024, s / w }'
done
echo "(MB = 10^6 bytes of export; lines: lines in all report files of one"
echo " run; x wc -l: the run's time over that of wc -l on the same file,"
echo " timed before each run)"

# Open-per-append costs a file open and close per line, so both modes run on
# a smaller location-heavy export.
name=location-heavy-$per_append_mb
bench "$tool" "$scratch/$name.txt" keep-open
keep_open_time=$seconds
bench "$per_append" "$scratch/$name.txt" per-append
per_append_time=$seconds
if diff -r "$scratch/keep-open.last/out" "$scratch/per-append.last/out" \
  >/dev/null; then
  identical=yes
else
  identical=NO
fi
per_append_ratio=$(awk -v a="$per_append_time" -v b="$keep_open_time" \
  'BEGIN { printf "%.1f", a / b }')
places_ratio=$(awk -v a="${time_of[places-5000]}" \
  -v b="${time_of[location-heavy]}" 'BEGIN { printf "%.2f", a / b }')

echo
echo "on $name.txt: open-per-append $per_append_time s, keep-open" \
  "$keep_open_time s: ${per_append_ratio}x faster; output trees identical:" \
  "$identical"
echo "places-5000 time over location-heavy time: ${places_ratio}x"
if [ "$runs" = 1 ]; then
  echo "(1 run each)"
else
  echo "(median of $runs runs)"
fi

echo
if [ "$runs" = 1 ]; then
  echo "== targets (quick run: smaller exports, 1 run each; not the measure)"
else
  echo "== targets (median of $runs runs)"
fi
target() { printf '%-46s %-7s %s\n' "$1" "$2" "$3"; }
verdict() { awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN {
  ok = op == ">=" ? v >= t : op == "<" ? v < t : v <= t
  print ok ? "met" : "MISSED" }'; }
peak_name=typical
for name in "${!peak_kib[@]}"; do
  if [ "${peak_kib[$name]}" -gt "${peak_kib[$peak_name]}" ]; then
    peak_name=$name
  fi
done
peak_mib=$(awk -v k="${peak_kib[$peak_name]}" 'BEGIN { printf "%.2f", k / 1024 }')
target "typical input >= 500 MB/s" "$(verdict "${mbps_of[typical]}" ">=" 500)" \
  "${mbps_of[typical]} MB/s"
target "location-heavy input >= 200 MB/s" \
  "$(verdict "${mbps_of[location-heavy]}" ">=" 200)" \
  "${mbps_of[location-heavy]} MB/s"
target "places-5000 time <= 2x location-heavy" \
  "$(verdict "$places_ratio" "<=" 2)" "${places_ratio}x"
target "keep-open >= 4x faster than open-per-append" \
  "$(verdict "$per_append_ratio" ">=" 4)" "${per_append_ratio}x"
target "peak resident memory < 16 MiB on every export" \
  "$(verdict "$peak_mib" "<" 16)" "$peak_mib MiB at most ($peak_name)"
[ "$identical" = yes ]
