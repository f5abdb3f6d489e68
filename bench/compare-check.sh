#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# QORMetaCheck against the diff host, side by side in one run, in two tables:
# - the document check: each repetition has QORMetaDiff load the document (as
#   the old version, against a new one that does not parse: the run stops
#   right after the load, exit status 1), then QORMetaCheck check it;
# - the change check: each repetition has QORMetaDiff write the diff of the
#   pair, then QORMetaCheck -Old check the new version against the old one
#   (the document rules and the change rules, one load and comparison).
# Prints the medians of wall time, CPU time (user + system) and peak memory of
# each, with the check's ratios to the diff host measured in the same repetitions.
#   bench/compare-check.sh                   # the 100 MB pairs with 1% and 20% changes, 5 repetitions
#   SIZES="10 100" SHARES="1" REPS=3 bench/compare-check.sh
# BUILD_DIR (default build-bench) holds the build and, in data/, the documents.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh
build_bench QORMetaCheck
host="$build/host/QORMetaDiff"
check="$build/check/QORMetaCheck"
out="$data/check-out"
mkdir -p "$out"
printf '<unclosed>' >"$out/unreadable.xml"

# table BASE RUN PAIR LABEL...: prints the medians of BASE and RUN with RUN's ratios to BASE.
table() {
  local base=$1 run=$2 pair=$3
  shift 3
  read -r base_wall base_cpu base_peak < <(echo "$(median "$out/$base.times" 1) $(median "$out/$base.times" 2) $(median "$out/$base.times" 3)")
  for name in "$base" "$run"; do
    label=$([ "$name" = "$base" ] && echo "$1" || echo "$2")
    awk -v s="$pair" -v r="$label" -v w="$(median "$out/$name.times" 1)" -v c="$(median "$out/$name.times" 2)" \
      -v m="$(median "$out/$name.times" 3)" -v bw="$base_wall" -v bc="$base_cpu" -v bm="$base_peak" \
      'BEGIN { printf "%-12s %-26s %9.2f %6.2f %9.2f %6.2f %9.0f %6.2f\n", s, r, w, w / bw, c, c / bc, m / 1024, m / bm }'
  done
}

printf '%-12s %-26s %9s %6s %9s %6s %9s %6s\n' pair run "wall s" ratio "cpu s" ratio "peak MiB" ratio
for size in ${SIZES:-100}; do
  for share in ${SHARES:-1 20}; do
    ensure_pair "$size" "$share"
    rm -f "$out"/*.times
    for _ in $(seq "${REPS:-5}"); do
      measure load "$host" -Old "$new" -New "$out/unreadable.xml" -Diff "$out/diff.xml" 2>/dev/null || true
      measure check "$check" "$new"
      measure diff "$host" -Old "$old" -New "$new" -Diff "$out/diff.xml"
      measure change "$check" -Old "$old" "$new" || true
    done
    table load check "${size}MB-${share}%" "QORMetaDiff load" "QORMetaCheck"
    table diff change "${size}MB-${share}%" "QORMetaDiff diff" "QORMetaCheck -Old"
  done
done
