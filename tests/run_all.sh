#!/usr/bin/env bash
# Builds the tool and runs every test stage: formatting, the native suite,
# and each further stage found in tests/stages (real faults, fuzzing, the
# Release build against the tested one, sanitized suite, static checks,
# Windows build under wine). Prints each stage's time and ends with a line
# "stages: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
export TALLORA_WERROR="${TALLORA_WERROR:-ON}"

passed=0
failed=0
failures=()
times=()
all_start=$SECONDS
stage() {
  local name=$1
  shift
  local start=$SECONDS result=passed
  echo "== stage: $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    result=FAILED
    failed=$((failed + 1))
    failures+=("$name")
  fi
  times+=("$name $result $((SECONDS - start)) s")
}

format_check() {
  git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run --Werror
}

# The suite runs in build/, a Debug build with assertions on; the Release
# build is held to the same output by the release stage.
native_suite() {
  bash tests/native_build.sh &&
    ctest --test-dir build --output-on-failure -j"$(nproc)"
}

stage format format_check
stage native native_suite
for script in tests/stages/*.sh; do
  [ -e "$script" ] || continue
  name=$(basename "$script" .sh)
  stage "$name" bash "$script"
done

printf '== %s\n' "${times[@]}"
echo "== all stages: $((SECONDS - all_start)) s"
[ ${#failures[@]} -eq 0 ] || echo "failed stages: ${failures[*]}"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
