#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the merge's benchmark, generates the base/ours/theirs triples it
# needs (kept between runs) and measures each: the whole merge against
# parsing the three documents, side by side in one run.
#   bench/run-merge-bench.sh                 # 10 MB, 1% changes on each side, 3 repetitions
#   SIZES="1 10" SHARES="1 5" REPS=5 bench/run-merge-bench.sh
# BUILD_DIR (default build-bench) holds the build and, in data/, the documents.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh
cmake -S . -B "$build" -DQORMD_BUILD_BENCH=ON -DQORMD_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target QORMMergeBench >/dev/null
mkdir -p "$data"
cases=()
for size in ${SIZES:-10}; do
  for share in ${SHARES:-1}; do
    base="$data/base-${size}MB-$share.xml" ours="$data/ours-${size}MB-$share.xml" theirs="$data/theirs-${size}MB-$share.xml"
    if [ ! -s "$base" ] || [ ! -s "$ours" ] || [ ! -s "$theirs" ]; then
      echo "generating $size MB, $share% changes on each side" >&2
      python3 bench/generate-metadata.py --size-mb "$size" --changes "$(awk "BEGIN { print $share / 100 }")" \
        --seed 1 --theirs "$theirs.tmp" "$base.tmp" "$ours.tmp"
      mv "$base.tmp" "$base" && mv "$ours.tmp" "$ours" && mv "$theirs.tmp" "$theirs"
    fi
    cases+=("${size}MB-${share}%" "$base" "$ours" "$theirs")
  done
done
"$build/bench/QORMMergeBench" --reps "${REPS:-3}" --work "$data" "${cases[@]}"
