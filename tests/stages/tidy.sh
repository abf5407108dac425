#!/usr/bin/env bash
# Static checks over src/: clang-tidy with the repository's .clang-tidy,
# every warning an error, and a search for unbounded C string calls.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-tidy
# Ninja when there is one; a folder keeps the generator it was made with.
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/CMakeCache.txt" ]; then
  generator=(-G Ninja)
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
cmake "${generator[@]}" -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF >/dev/null

status=0
# The Windows side of the file-system seam is checked by the cross build.
mapfile -t sources < <(find src -name '*.cc' ! -name '*_test.cc' \
  ! -name '*_windows.cc' | sort)
for source in "${sources[@]}"; do
  "$tidy" -p "$build" --quiet --warnings-as-errors='*' "$source" \
    2> >(grep -v -E '^[0-9]+ warnings? generated\.$' >&2) || status=1
done
echo "clang-tidy: ${#sources[@]} files"

# Calls that write without a bound, and formatted reads of an unbounded %s.
unbounded='\b(strcpy|strcat|sprintf|vsprintf|gets)[[:space:]]*\('
scanf_s='\b(v?[sf]?scanf)[[:space:]]*\([^;]*%s'
if grep -rnE "$unbounded" src; then
  echo "unbounded string call in src/"
  status=1
fi
if grep -rnE "$scanf_s" src; then
  echo "scanf-family call with an unbounded %s in src/"
  status=1
fi
exit "$status"
