#!/usr/bin/env bash
# Builds the tool and runs every test stage: formatting, the native suite,
# and each further stage found in tests/stages (sanitized suite, Windows build
# under wine, fuzzing, static checks). Ends with a line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
export TALLORA_WERROR="${TALLORA_WERROR:-ON}"

passed=0
failed=0
failures=()
stage() {
  local name=$1
  shift
  echo "== stage: $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("$name")
  fi
}

format_check() {
  git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run --Werror
}

native_suite() {
  cmake -S . -B build -DTALLORA_WERROR="$TALLORA_WERROR" &&
    cmake --build build -j"$(nproc)" &&
    ctest --test-dir build --output-on-failure -j"$(nproc)"
}

stage format format_check
stage native native_suite
for script in tests/stages/*.sh; do
  [ -e "$script" ] || continue
  name=$(basename "$script" .sh)
  stage "$name" bash "$script"
done

[ ${#failures[@]} -eq 0 ] || echo "failed stages: ${failures[*]}"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
