#!/usr/bin/env bash
# Runs the whole test suite against a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (any finding aborts the test that hit it), leaks
# included, in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-asan
start=$SECONDS
cmake -S . -B "$build" -DTALLORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DTALLORA_WERROR="${TALLORA_WERROR:-ON}" >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" || status=1
echo "sanitized suite: $((SECONDS - start))s"
exit "$status"
