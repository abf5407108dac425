#!/usr/bin/env bash
# Stage: the Release build (NDEBUG, optimised), the one users get, against
# build/tallora, the Debug build with assertions on that the other stages
# test. Builds the tool alone in build-release/ and runs both builds on the
# same inputs, each in a fresh folder of its own: the fleet example, every
# export of the fuzz corpus and of the fuzz regressions, and exports made by
# gen_export in each mix, with LF and CR LF line ends. Both must write the
# same report trees byte for byte, the same console text, the same
# diagnostics (the summary line's resolved root aside, which names the
# folder) and end with the same exit status.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
started=$SECONDS

say() { echo "release: $*"; }
fail() {
  echo "release: FAILED: $*" >&2
  exit 1
}

# --- the two builds ------------------------------------------------------------
if [ ! -x build/tallora ] || [ ! -x build/tools/gen_export ]; then
  say "build/tallora or build/tools/gen_export missing: building build/"
  bash tests/native_build.sh tallora gen_export >/dev/null
fi
grep -Eq '^(CMAKE_BUILD_TYPE:STRING=Debug|TALLORA_ASSERTIONS:BOOL=ON)$' \
  build/CMakeCache.txt ||
  fail "build/ is not built with assertions on (tests/native_build.sh makes it so)"

release="build-release"
cmake -S . -B "$release" -DCMAKE_BUILD_TYPE=Release -DTALLORA_ASSERTIONS=OFF \
  -DBUILD_TESTING=OFF -DTALLORA_WERROR="${TALLORA_WERROR:-ON}" >/dev/null
cmake --build "$release" -j"$(nproc)" --target tallora >"$release/build.log" 2>&1 || {
  tail -n 30 "$release.log" >&2
  fail "building $release/tallora (log: $release/build.log)"
}
grep -q '^CMAKE_CXX_FLAGS_RELEASE:STRING=.*-DNDEBUG' "$release/CMakeCache.txt" ||
  fail "$release is built without NDEBUG"
built=$SECONDS

# --- the same inputs -----------------------------------------------------------
# A run makes thousands of report files and folders; in a memory file system
# that takes a fraction of the time a disk needs.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tallora-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# run BUILD CASE: runs BUILD's tool in a copy of $work/CASE/in.
run() {
  local build=$1 case=$work/$2 dir status=0
  dir=$case/$build
  cp -R "$case/in" "$dir"
  (cd "$dir" && "$repo/$build/tallora" </dev/null >"$dir.out" 2>"$dir.err") ||
    status=$?
  echo "$status" >"$dir.status"
  # The summary names the resolved output root, under the folder run in.
  local physical
  physical=$(cd "$dir" && pwd -P)
  FOLDER=$physical perl -pe \
    's/^(tallora: summary: .* under )\Q$ENV{FOLDER}\E(?=[\/\\]|$)/$1<folder>/' \
    "$dir.err" >"$dir.diagnostics"
}

# compare CASE: runs both builds on $work/CASE/in and compares.
compare() {
  local name=$1 case=$work/$1 tested=build
  run "$tested" "$name"
  run "$release" "$name"
  local a=$case/$tested b=$case/$release
  [ "$(cat "$a.status")" = "$(cat "$b.status")" ] ||
    fail "$name: exit status $(cat "$a.status") tested, $(cat "$b.status") Release"
  diff -r "$a" "$b" >"$case/tree.diff" || {
    head -n 20 "$case/tree.diff" >&2
    fail "$name: report trees differ"
  }
  cmp -s "$a.out" "$b.out" || {
    diff "$a.out" "$b.out" | head -n 10 >&2 || true
    fail "$name: console text differs"
  }
  cmp -s "$a.diagnostics" "$b.diagnostics" || {
    diff "$a.diagnostics" "$b.diagnostics" | head -n 10 >&2 || true
    fail "$name: diagnostics differ"
  }
  cases=$((cases + 1))
  files=$((files + $(find "$a" -type f | wc -l)))
  rm -rf "$case"
}
cases=0
files=0

mkdir -p "$work/fleet"
cp -R examples/fleet "$work/fleet/in"
rm -rf "$work/fleet/in/out/Shift" "$work/fleet/in/out/Node"
find "$work/fleet/in/out/dhe" -name '*.rep' -delete
compare fleet

# An export in a folder laid out as the fuzz target lays out its own.
export_case() {
  local name=$1
  mkdir -p "$work/$name/in/out/dhe"
  printf 'out\\\r\n' >"$work/$name/in/tallora.ini"
}

for file in fuzz/corpus/export/* fuzz/regressions/export/*; do
  [ -f "$file" ] || continue
  name=fuzz-$(basename "$file")
  export_case "$name"
  cp "$file" "$work/$name/in/sqlline.txt"
  compare "$name"
done

# mix seed line-end-option
while read -r mix seed crlf; do
  name=gen-$mix-$seed${crlf:+-crlf}
  export_case "$name"
  build/tools/gen_export --out "$work/$name/in/sqlline.txt" --mix "$mix" \
    --size-mb 2 --seed "$seed" ${crlf:+--crlf} >/dev/null
  compare "$name"
done <<'EOF'
typical 21
typical 22 crlf
location-heavy 23
location-heavy 24 crlf
places-5000 25
EOF

say "$cases inputs, identical ($files files); built in $((built - started)) s," \
  "compared in $((SECONDS - built)) s"
