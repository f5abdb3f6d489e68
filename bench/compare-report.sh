#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# QORMetaReport against QORMetaDiff on the same document pairs, side by side
# in one run: each repetition runs the diff host, then the report in each
# form, on the same pair, one after the other. Prints the medians of wall
# time, CPU time (user + system) and peak memory, with their ratios to the
# diff run measured in the same repetitions.
#   bench/compare-report.sh                          # 10 MB, 1% and 20% changes, 5 repetitions
#   SIZES="10 100" SHARES="1" REPS=7 bench/compare-report.sh
# BUILD_DIR (default build-bench) holds the build and, in data/, the documents.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh
build_bench QORMetaReport
host="$build/host/QORMetaDiff"
report="$build/report/QORMetaReport"
out="$data/report-out"
mkdir -p "$out"

printf '%-12s %-16s %9s %6s %9s %6s %9s %6s\n' pair run "wall s" ratio "cpu s" ratio "peak MiB" ratio
for size in ${SIZES:-10}; do
  for share in ${SHARES:-1 20}; do
    ensure_pair "$size" "$share"
    rm -f "$out"/*.times
    for _ in $(seq "${REPS:-5}"); do
      measure diff "$host" -Old "$old" -New "$new" -Diff "$out/diff.xml"
      for format in text markdown html; do
        measure "$format" "$report" -Old "$old" -New "$new" -Format "$format" -Out "$out/report.$format"
      done
    done
    read -r base_wall base_cpu base_peak < <(echo "$(median "$out/diff.times" 1) $(median "$out/diff.times" 2) $(median "$out/diff.times" 3)")
    for run in diff text markdown html; do
      wall=$(median "$out/$run.times" 1)
      cpu=$(median "$out/$run.times" 2)
      peak=$(median "$out/$run.times" 3)
      label=$([ "$run" = diff ] && echo "QORMetaDiff" || echo "report $run")
      awk -v p="${size}MB-${share}%" -v r="$label" -v w="$wall" -v c="$cpu" -v m="$peak" \
        -v bw="$base_wall" -v bc="$base_cpu" -v bm="$base_peak" \
        'BEGIN { printf "%-12s %-16s %9.2f %6.2f %9.2f %6.2f %9.0f %6.2f\n", p, r, w, w / bw, c, c / bc, m / 1024, m / bm }'
    done
  done
done
ls -l "$out"/report.* "$out"/diff.xml | awk '{ printf "%s %d bytes\n", $NF, $5 }'
