#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Pictomat developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Pictomat and runs every test, offscreen (no display needed):
#   0. the formatting check of the C++ files changed since scripts/format-base;
#   1. the normal build and its test suite;
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. a short, fixed-time run of every fuzz target (clang, libFuzzer), seeded from fuzz/corpus.
# The unit and sanitizer builds turn warnings into errors (PICTOMAT_WERROR).
# PICTOMAT_TEST_STAGES (default "format unit sanitize fuzz") picks stages; PICTOMAT_FUZZ_SECONDS sets the
# time per fuzz target (default: the stage's 360 seconds shared among the targets, so that a new
# target does not lengthen the run).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
stages=${PICTOMAT_TEST_STAGES:-format unit sanitize fuzz}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Paths relative to the checkout in ccache's keys, so that a fresh clone elsewhere (as CI makes)
# still finds the objects of earlier builds; only the build folder named in debug info differs.
export CCACHE_BASEDIR="$src" CCACHE_NOHASHDIR=1

bash "$src/scripts/install-deps.sh"

run_suite() {
  local build=$1
  shift
  cmake -S "$src" -B "$build" -DPICTOMAT_BUILD_TESTS=ON -DPICTOMAT_WERROR=ON "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  (cd "$build" && ctest --output-on-failure -j"$jobs")
}

for stage in $stages; do
  case $stage in
    format)
      echo "== formatting of the changed C++ files"
      bash "$src/scripts/check-format.sh" --changed
      ;;
    unit)
      echo "== unit tests"
      run_suite "${BUILD_DIR:-$src/build}"
      ;;
    sanitize)
      echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
      # Leak reports are off: Qt, fontconfig and the codecs keep process-lifetime caches that
      # LeakSanitizer counts as leaks. Every other report aborts the test and fails the run.
      export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      run_suite "$src/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DPICTOMAT_SANITIZE=ON
      unset ASAN_OPTIONS UBSAN_OPTIONS
      ;;
    fuzz)
      echo "== fuzz smoke runs"
      if [ ! -f "$src/fuzz/CMakeLists.txt" ]; then
        echo "no fuzz targets"
        continue
      fi
      fbuild="$src/build-fuzz"
      CC=clang CXX=clang++ cmake -S "$src" -B "$fbuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPICTOMAT_FUZZ=ON -DPICTOMAT_BUILD_TESTS=OFF >/dev/null
      cmake --build "$fbuild" -j"$jobs" --target fuzzers
      targets=("$fbuild"/bin/fuzz_*)
      seconds=${PICTOMAT_FUZZ_SECONDS:-$((360 / ${#targets[@]}))}
      export ASAN_OPTIONS=detect_leaks=0
      for target in "${targets[@]}"; do
        [ -x "$target" ] || continue
        name=$(basename "$target")
        corpus="$src/fuzz/corpus/${name#fuzz_}"
        work=$(mktemp -d)
        [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
        # Qt's QDataStream reserves what a stored @Variant(...) value claims before it reads it. The
        # program's malloc refuses a request beyond memory or maps it lazily, and Qt then reports
        # corrupt data; the settings target lets allocations fail or pass as that malloc would,
        # where the sanitizer's allocator and libFuzzer's malloc limit would stop the run.
        limits=(-rss_limit_mb=4096)
        asan=$ASAN_OPTIONS
        if [ "$name" = fuzz_settings ]; then
          limits+=(-malloc_limit_mb=1048576)
          asan+=:allocator_may_return_null=1
        fi
        echo "-- $name for ${seconds}s"
        ASAN_OPTIONS=$asan "$target" -max_total_time="$seconds" "${limits[@]}" -timeout=25 "$work" 2>&1 | tail -n 3
        rm -rf "$work"
      done
      ;;
    *)
      echo "unknown stage $stage" >&2
      exit 2
      ;;
  esac
done
