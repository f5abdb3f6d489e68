#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the benchmark, generates the document pairs it needs (kept between
# runs) and measures every pair in one run of the harness: the stock floor,
# the tuned floor and the whole run side by side (QORMDBench.cpp says what each is).
#   bench/run-bench.sh                 # 10 and 100 MB, 1% and 20% changes, 3 repetitions
#   SIZES="1 10" REPS=5 bench/run-bench.sh
# BUILD_DIR (default build-bench) holds the build and, in data/, the documents.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh
build_bench
cases=()
for size in ${SIZES:-10 100}; do
  for share in ${SHARES:-1 20}; do
    ensure_pair "$size" "$share"
    cases+=("${size}MB-${share}%" "$old" "$new")
  done
done
"$build/bench/QORMDBench" --reps "${REPS:-3}" --work "$data" "${cases[@]}"
