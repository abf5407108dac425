#!/usr/bin/env bash
# Fuzzes whole runs of the tool: builds the libFuzzer targets with clang into
# build-fuzz/, runs each for a bounded time on a copy of its seed corpus and
# past findings (fuzz/regressions/), and fails on any finding. Prints each
# target's executions and coverage.
# FUZZ_SECONDS overrides the time per target (default 60).
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${FUZZ_SECONDS:-60}"
build=build-fuzz
# Ninja when there is one; a folder keeps the generator it was made with.
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/CMakeCache.txt" ]; then
  generator=(-G Ninja)
fi

cmake "${generator[@]}" -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLORA_FUZZ=ON -DBUILD_TESTING=OFF \
  -DTALLORA_WERROR="${TALLORA_WERROR:-ON}" >/dev/null
cmake --build "$build" --target fuzz_export fuzz_settings -j2

# Every execution makes and removes a few hundred report files and folders;
# a memory file system runs that several times faster than a disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="$build/findings"
mkdir -p "$findings"

status=0
run_target() {
  local target=$1 max_len=$2
  mkdir -p "$work/$target"
  cp fuzz/corpus/"$target"/* "$work/$target/"
  if [ -d fuzz/regressions/"$target" ]; then
    cp fuzz/regressions/"$target"/* "$work/$target/"
  fi
  local log="$work/$target.log"
  echo "-- fuzz_$target: ${seconds}s, max_len $max_len"
  if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -max_len="$max_len" -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$findings/${target}-" "$work/$target" >"$log" 2>&1; then
    status=1
    tail -n 60 "$log"
    echo "fuzz_$target: FINDING, input kept in $findings/; once fixed, add it" \
      "to fuzz/regressions/$target/"
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
  grep -E '^stat::number_of_executed_units' "$log" || true
}

run_target export 65536
run_target settings 1024
exit "$status"
