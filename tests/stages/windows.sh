#!/usr/bin/env bash
# Stage: the Windows build, the program users run, tested under wine.
#
#  1. Cross-builds tallora.exe (and, from Debian's GoogleTest sources, the
#     unit tests) into build-windows/ with cmake/mingw-w64.cmake.
#  2. Runs the unit tests under wine: they take the Windows branch of
#     src/reports/file_system.cc and of the report path tests.
#  3. Runs the native end-to-end suite build/e2e_test against tallora.exe
#     (TALLORA_EXE="wine .../tallora.exe"), and two runs of it at once on one
#     output root (build/fault_test).
#  4. Runs the Linux and the Windows build on the same inputs (the fleet
#     example, and exports made by gen_export in both mixes with LF and CR LF
#     line ends) and requires byte-identical output trees, identical console
#     text after CR LF -> LF, identical diagnostics and exit status, CR LF on
#     the Windows console and no CR LF in any output file.
#
# Run from tests/run_all.sh after the native build in build/. Skips (exit 0,
# "skipped: ...") when MinGW-w64 or wine is missing, unless CI=true: then the
# missing tool is a failure. Wine runs in a private prefix,
# build-windows/wineprefix, made on first use.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
started=$SECONDS

say() { echo "windows: $*"; }
fail() {
  echo "windows: FAILED: $*" >&2
  exit 1
}
packages="g++-mingw-w64-x86-64 wine64"
missing() {
  if [ "${CI:-}" = true ]; then
    fail "$1 is not installed (CI=true; .ci/run installs $packages)"
  fi
  say "skipped: $1 is not installed (Debian packages: $packages)"
  exit 0
}
first_program() {
  local p
  for p in "$@"; do
    if command -v "$p" >/dev/null 2>&1; then
      command -v "$p"
      return 0
    fi
  done
  return 1
}

# --- tools -------------------------------------------------------------------
first_program x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ \
  x86_64-w64-mingw32-g++-win32 >/dev/null ||
  missing "MinGW-w64 (x86_64-w64-mingw32-g++)"
wine=$(first_program wine wine64 /usr/lib/wine/wine64) || missing "wine"
# The wine64 package alone has no /usr/bin/wineserver; wine finds it by name.
if ! command -v wineserver >/dev/null 2>&1; then
  for s in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
    if [ -x "$s" ]; then
      export WINESERVER=$s
      break
    fi
  done
fi

out=build-windows
mkdir -p "$out"
export WINEPREFIX=$repo/$out/wineprefix
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset DISPLAY WAYLAND_DISPLAY

# --- native build (normally made by run_all.sh before this stage) ------------
if [ ! -x build/tallora ] || [ ! -x build/e2e_test ]; then
  say "build/tallora or build/e2e_test missing: building build/"
  bash tests/native_build.sh >/dev/null
fi
gen_export=$(first_program build/gen_export build/tools/gen_export) ||
  fail "gen_export not found in build/ (build/tools/gen_export)"

# --- cross build -------------------------------------------------------------
generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
toolchain=$repo/cmake/mingw-w64.cmake
gtest_config=$repo/$out/googletest/install/lib/cmake/GTest
testing=(-DBUILD_TESTING=OFF)
if [ -f "$gtest_config/GTestConfig.cmake" ]; then
  testing=(-DBUILD_TESTING=ON -DGTest_DIR="$gtest_config")
elif [ -f /usr/src/googletest/CMakeLists.txt ]; then
  say "cross-building GoogleTest from /usr/src/googletest"
  gt=$out/googletest
  g=()
  [ -f "$gt/build/CMakeCache.txt" ] || g=("${generator[@]}")
  if cmake "${g[@]}" -S /usr/src/googletest -B "$gt/build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON \
    -DCMAKE_INSTALL_PREFIX="$repo/$gt/install" >"$gt.log" 2>&1 &&
    cmake --build "$gt/build" -j"$(nproc)" >>"$gt.log" 2>&1 &&
    cmake --install "$gt/build" >>"$gt.log" 2>&1; then
    testing=(-DBUILD_TESTING=ON -DGTest_DIR="$gtest_config")
  else
    tail -n 20 "$gt.log" >&2
    fail "cross-building GoogleTest (log: $gt.log)"
  fi
else
  say "no GoogleTest sources in /usr/src/googletest: unit tests not cross-built"
fi

say "cross-building tallora.exe"
g=()
[ -f "$out/CMakeCache.txt" ] || g=("${generator[@]}")
# Test discovery, if ever wanted (ctest --test-dir build-windows), runs the
# programs under wine at test time rather than at build time.
if ! cmake "${g[@]}" -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTALLORA_WERROR="${TALLORA_WERROR:-ON}" "${testing[@]}" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  >"$out/configure.log" 2>&1; then
  tail -n 30 "$out/configure.log" >&2
  fail "configuring the cross build (log: $out/configure.log)"
fi
# The unit test programs are those of the native build that are targets of
# the cross build too; e2e_test is a POSIX program that drives the tool and
# runs natively.
unit_tests=()
if [ "${testing[0]}" = -DBUILD_TESTING=ON ]; then
  targets=$(cmake --build "$out" --target help 2>/dev/null || true)
  for t in build/*_test; do
    name=$(basename "$t")
    if [ -x "$t" ] && [ "$name" != e2e_test ] &&
      grep -Eq "(^|[ .])$name(:|\$)" <<<"$targets"; then
      unit_tests+=("$name")
    fi
  done
fi
cmake --build "$out" -j"$(nproc)" --target tallora "${unit_tests[@]}" \
  >"$out/build.log" 2>&1 || {
  grep -E 'error|Error' "$out/build.log" | head -n 30 >&2
  fail "cross build (log: $out/build.log)"
}
exe=$repo/$out/tallora.exe
[ -f "$exe" ] || fail "$exe not built"

# --- wine --------------------------------------------------------------------
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "initialising the wine prefix $WINEPREFIX"
  if ! "$wine" wineboot -i >"$out/wineboot.log" 2>&1; then
    cat "$out/wineboot.log" >&2
    fail "wineboot -i (log: $out/wineboot.log)"
  fi
fi
# One wine server for the whole stage, stopped on exit (only this prefix's).
wineserver_cmd=${WINESERVER:-wineserver}
"$wineserver_cmd" -p 2>/dev/null || true
trap '"$wineserver_cmd" -k 2>/dev/null || true' EXIT

for t in "${unit_tests[@]}"; do
  log=$out/$t.log
  if ! "$wine" "$out/$t.exe" --gtest_brief=1 >"$log" 2>&1; then
    tr -d '\r' <"$log" | tail -n 40 >&2
    fail "$t.exe under wine (log: $log)"
  fi
  say "$t.exe under wine:" \
    "$(tr -d '\r' <"$log" | grep -E '^\[  PASSED  \]' || echo passed)"
done

say "end-to-end suite against tallora.exe under wine"
if ! TALLORA_EXE="'$wine' '$exe'" build/e2e_test --gtest_brief=1 \
  >"$out/e2e.log" 2>&1; then
  tail -n 60 "$out/e2e.log" >&2
  fail "e2e_test against tallora.exe (log: $out/e2e.log)"
fi
say "e2e_test: $(grep -E '^\[  PASSED  \]' "$out/e2e.log" || echo passed)"

if [ -x build/fault_test ]; then
  say "two runs of tallora.exe at once on one output root"
  if ! TALLORA_EXE="'$wine' '$exe'" build/fault_test --gtest_brief=1 \
    --gtest_filter='Faults.TwoRunsAtOnce*' >"$out/faults.log" 2>&1; then
    tail -n 40 "$out/faults.log" >&2
    fail "concurrent runs under wine (log: $out/faults.log)"
  fi
  say "fault_test: $(grep -E '^\[  PASSED  \]' "$out/faults.log" || echo passed)"
fi

# --- the Linux and the Windows build on the same inputs -----------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/tallora-windows.XXXXXX")
trap 'rm -rf "$work"; "$wineserver_cmd" -k 2>/dev/null || true' EXIT

crlf_to_lf() { perl -pe 's/\r\n/\n/g' "$1"; }

# Names Windows treats specially, in any case: the device names, with or
# without an extension, and names ending in a dot or a space. On Linux a unit
# label or location named so is an ordinary folder; Windows makes another
# folder of it or none, so the comparison leaves such names out.
windows_only='^(con|aux|nul|prn|com[1-9]|lpt[1-9])(\..*)?$|[. ]$'

# windows_only_path PATH: whether a name in the relative PATH is one of them.
windows_only_path() {
  local IFS=/ part parts
  read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    [[ ${part,,} =~ $windows_only ]] && return 0
  done
  return 1
}

# windows_form PATH: the relative PATH as Windows takes it, the dots and
# spaces at the end of each name dropped.
windows_form() {
  local IFS=/ part parts form=()
  read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    while [[ $part == *[.\ ] ]]; do part=${part%?}; done
    form+=("$part")
  done
  echo "${form[*]}"
}

# leave_out LINUX WINDOWS LIST: removes from both trees each path of the
# Linux tree that holds a Windows-only name, and its Windows form (when that
# is an ordinary path of the Linux tree too, Windows wrote both into one
# file), and lists the Linux files left out in LIST.
leave_out() {
  local linux=$1 windows=$2 list=$3 path form paths
  : >"$list"
  # Deepest first: a folder's files go before the folder.
  mapfile -d '' paths < <(cd "$linux" && find . -mindepth 1 -depth -printf '%P\0')
  for path in "${paths[@]}"; do
    windows_only_path "$path" || continue
    form=$(windows_form "$path")
    if [ -d "$linux/$path" ]; then
      rm -rf "${linux:?}/$path" "${windows:?}/$path"
      rmdir --ignore-fail-on-non-empty "$linux/$form" "$windows/$form" \
        2>/dev/null || true
    else
      printf '%s\n' "$path" >>"$list"
      rm -f "$linux/$path" "$windows/$path" "$linux/$form" "$windows/$form"
    fi
  done
}

# diagnostics FOLDER ERR LEFT_OUT: the diagnostics ERR of a run in FOLDER,
# with LF line ends and the output root of the summary given from FOLDER on
# with / as its separator. The lines that name a file listed in LEFT_OUT go
# to ERR.dropped instead, and so does the summary when any file was left out
# (its counts hold what Windows made of those names).
diagnostics() {
  FOLDER=$(cd "$1" && pwd -P) LEFT_OUT=$3 perl -e '
    my @paths;
    open my $list, "<", $ENV{LEFT_OUT} or die "$ENV{LEFT_OUT}: $!";
    while (<$list>) {
      chomp;
      push @paths, $_;
      (my $windows = $_) =~ tr{/}{\\};
      push @paths, $windows;
    }
    my $folder = $ENV{FOLDER};
    (my $windows_folder = $folder) =~ tr{/}{\\};
    open my $dropped, ">", "$ARGV[0].dropped" or die "$ARGV[0].dropped: $!";
    open my $err, "<", $ARGV[0] or die "$ARGV[0]: $!";
    while (<$err>) {
      s/\r\n\z/\n/;
      my $line = $_;
      if (/^tallora: summary: / ? @paths : grep { index($line, $_) >= 0 } @paths) {
        print $dropped $_;
        next;
      }
      chomp;
      my $at = qr/\Q$folder\E|[A-Za-z]:\Q$windows_folder\E/;
      if (my ($head, $root) = /^(tallora: summary: .* under )(?:$at)([\\\/].*)?\z/) {
        ($root //= "") =~ tr{\\}{/};
        $_ = "$head<folder>$root";
      }
      print "$_\n";
    }' "$2"
}

# compare NAME [ROOT [LEFT_OUT]]: runs both builds in copies of
# $work/NAME/in, whose output root is the folder ROOT (default out), and
# compares; at least LEFT_OUT files (default 0) are to be left out for their
# Windows-only names.
compare() {
  local name=$1 case=$work/$1 root=${2:-out} least=${3:-0}
  local status_linux status_windows
  cp -R "$case/in" "$case/linux"
  cp -R "$case/in" "$case/windows"
  status_linux=0
  (cd "$case/linux" && "$repo/build/tallora" </dev/null \
    >"$case/linux.out" 2>"$case/linux.err") || status_linux=$?
  status_windows=0
  (cd "$case/windows" && "$wine" "$exe" </dev/null \
    >"$case/windows.out" 2>"$case/windows.err") || status_windows=$?

  leave_out "$case/linux" "$case/windows" "$case/left-out"
  local left_out
  left_out=$(wc -l <"$case/left-out")
  [ "$left_out" -ge "$least" ] ||
    fail "$name: $left_out files left out for Windows-only names, not $least"
  diagnostics "$case/linux" "$case/linux.err" "$case/left-out" \
    >"$case/linux.diagnostics"
  diagnostics "$case/windows" "$case/windows.err" "$case/left-out" \
    >"$case/windows.diagnostics"

  # A failure to write a left-out file on Windows alone ends that run with 1.
  local expected=$status_linux
  if [ "$status_linux" = 0 ] && grep -qv '^tallora: summary: ' \
    "$case/windows.err.dropped"; then
    expected=1
  fi
  [ "$status_windows" = "$expected" ] ||
    fail "$name: exit status $status_linux on Linux, $status_windows on Windows"
  diff -r "$case/linux" "$case/windows" >"$case/tree.diff" || {
    head -n 20 "$case/tree.diff" >&2
    fail "$name: output trees differ"
  }
  cmp -s <(crlf_to_lf "$case/windows.out") "$case/linux.out" || {
    diff <(crlf_to_lf "$case/windows.out") "$case/linux.out" | head -n 10 >&2 || true
    fail "$name: console text differs"
  }
  cmp -s "$case/windows.diagnostics" "$case/linux.diagnostics" || {
    diff "$case/windows.diagnostics" "$case/linux.diagnostics" | head -n 10 >&2 || true
    fail "$name: diagnostics differ"
  }
  # The Windows console is in text mode: every line ends CR LF.
  perl -ne 'exit 1 if !/\r\n\z/' "$case/windows.out" ||
    fail "$name: a Windows console line does not end with CR LF"
  # Every output file is binary: lines end with LF alone.
  local crlf_file
  crlf_file=$(grep -rl $'\r$' "$case/windows/$root" | head -n 1 || true)
  [ -z "$crlf_file" ] ||
    fail "$name: an output file holds CR LF line ends: $crlf_file"
  local files lines
  files=$(find "$case/windows/$root" -type f | wc -l)
  lines=$(find "$case/windows/$root" -type f -exec cat {} + | wc -l)
  [ "$files" -gt 1 ] || fail "$name: no report files written"
  local note=""
  [ "$left_out" = 0 ] || note=", $left_out with Windows-only names left out"
  say "$name: identical ($files files, $lines lines," \
    "$(wc -l <"$case/linux.out") console lines$note)"
  rm -rf "$case"
}

# fleet_copy NAME: a fresh copy of the fleet example as $work/NAME/in.
fleet_copy() {
  mkdir -p "$work/$1"
  cp -R examples/fleet "$work/$1/in"
  rm -rf "$work/$1/in/out/Shift" "$work/$1/in/out/Node"
  find "$work/$1/in/out/dhe" -name '*.rep' -delete
}

fleet_copy fleet
compare fleet

# Windows-only names next to ordinary ones: the fleet example with the unit
# labels NUL, Com1.csv and "SWP 3 " on its first date (the second keeps TRK
# 12, CRN 7 and SWP 3), the location Market. (Windows files it under Market)
# and once Depot. (Windows adds it to Depot's file), and on the second date
# the locations lpt9.txt and Con. Seven node files are left out, and what
# Windows made of them; the rest is compared as for any input.
fleet_copy windows-names
perl -i -pe '
  my %rename = ("TRK 12" => "NUL", "CRN 7" => "Com1.csv", "SWP 3" => "SWP 3 ");
  s/^(TRK 12|CRN 7|SWP 3)(?=\r?$)/$seen{$1}++ ? $1 : $rename{$1}/e;
  if (/^Location /) {
    s/\bMarket\b/Market./g;
    s/TownHall -> Depot\b/TownHall -> Depot./;
    s/\bLandfill\b/lpt9.txt/g;
    s/\bRiverside\b/Con/g;
  }' "$work/windows-names/in/sqlline.txt"
compare windows-names out 7

# An output root of 288 characters: paths longer than Windows' MAX_PATH.
long=$(printf 'x%.0s' {1..95})
mkdir -p "$work/long-root/in/$long/$long/$long/dhe"
cp examples/fleet/sqlline.txt "$work/long-root/in/"
printf '%s\r\n' "$long\\$long\\$long\\" >"$work/long-root/in/tallora.ini"
compare long-root "$long/$long/$long"

# name mix size-mb seed line-end-option
while read -r name mix size seed crlf; do
  mkdir -p "$work/$name/in/out/dhe"
  "$gen_export" --out "$work/$name/in/sqlline.txt" --mix "$mix" \
    --size-mb "$size" --seed "$seed" ${crlf:+--crlf} >/dev/null
  printf 'out\\\r\n' >"$work/$name/in/tallora.ini"
  compare "$name"
done <<'EOF'
typical-lf typical 3 11
typical-crlf typical 3 12 crlf
location-heavy-lf location-heavy 2 13
location-heavy-crlf location-heavy 2 14 crlf
EOF

say "passed in $((SECONDS - started)) s"
