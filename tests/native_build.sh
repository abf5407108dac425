#!/usr/bin/env bash
# Configures and builds build/, the native build every stage uses: the tests
# and the tool they drive (build/tallora, build/e2e_test, build/fault_test,
# build/tools/gen_export), in Debug with assertions and the standard
# library's checks on. The Release build users get is compared with it by
# tests/stages/release.sh.
#
# tests/native_build.sh [TARGET...]   builds the targets named, or all.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug -DTALLORA_ASSERTIONS=ON \
  -DBUILD_TESTING=ON -DTALLORA_WERROR="${TALLORA_WERROR:-ON}" >/dev/null
targets=()
for t in "$@"; do
  targets+=(--target "$t")
done
cmake --build build -j"$(nproc)" "${targets[@]}"
