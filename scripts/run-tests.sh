#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the whole test suite twice:
# a normal build (build/) and an AddressSanitizer + UndefinedBehaviorSanitizer
# build (build-asan/); in between it fuzzes a whole run for a minute (build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DQORMD_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# libFuzzer over the loader and the whole run, built with clang in its own
# folder, for one minute from the seed corpus and the kept regressions.
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DQORMD_FUZZ=ON -DQORMD_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target QORMDFuzzRun
mkdir -p build-fuzz/corpus build-fuzz/artifacts
# Its progress goes to build-fuzz/fuzz.log; a failure shows the log's end.
if ! build-fuzz/fuzz/QORMDFuzzRun -max_total_time=60 -max_len=4096 -dict=fuzz/metadata.dict -print_final_stats=1 \
  -artifact_prefix=build-fuzz/artifacts/ build-fuzz/corpus fuzz/corpus fuzz/regressions >build-fuzz/fuzz.log 2>&1; then
  tail -n 60 build-fuzz/fuzz.log
  echo "fuzzing found a failure: see build-fuzz/artifacts/" >&2
  exit 1
fi
grep -E "^(Done|stat::number_of_executed_units)" build-fuzz/fuzz.log || true

cmake -S . -B build-asan -DQORMD_BUILD_TESTS=ON -DQORMD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
