#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the dependencies, checks that every C++ file is laid out as
# .clang-format says, builds, and runs the whole test suite twice: a normal
# build (build/) and an AddressSanitizer + UndefinedBehaviorSanitizer build
# (build-asan/); in between it fuzzes a whole run, a merge and the change
# check for half a minute each (build-fuzz/). Last, the Windows build
# (build-windows/): its dependencies, the suite under Wine, the zip checked
# against build/ (scripts/build-windows.sh, with its cache empty on a fresh
# machine).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

cmake -S . -B build -DQORMD_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# libFuzzer over the loader and the whole run, over the three-way merge and
# over the change check, built with clang in its own folder, each for half a
# minute from its seed corpus and its kept regressions.
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DQORMD_FUZZ=ON -DQORMD_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target QORMDFuzzRun QORMMergeFuzz QORMCheckFuzz
mkdir -p build-fuzz/corpus build-fuzz/merge-corpus build-fuzz/check-corpus build-fuzz/artifacts
# Each target's progress goes to build-fuzz/<target>.log; a failure shows the log's end.
fuzz() {
  local target=$1
  shift
  if ! build-fuzz/fuzz/"$target" -max_total_time=30 -max_len=4096 -dict=fuzz/metadata.dict -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/ "$@" >build-fuzz/"$target".log 2>&1; then
    tail -n 60 build-fuzz/"$target".log
    echo "fuzzing $target found a failure: see build-fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units)" build-fuzz/"$target".log || true
}
fuzz QORMDFuzzRun build-fuzz/corpus fuzz/corpus fuzz/regressions
fuzz QORMMergeFuzz build-fuzz/merge-corpus fuzz/merge-corpus fuzz/merge-regressions
fuzz QORMCheckFuzz build-fuzz/check-corpus fuzz/check-corpus fuzz/check-regressions

cmake -S . -B build-asan -DQORMD_BUILD_TESTS=ON -DQORMD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

scripts/build-windows.sh
