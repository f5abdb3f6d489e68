#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Times QORMetaDiff against xmldiff (Debian package xmldiff) on the same
# pairs, both under /usr/bin/time -v, and prints the ratios.
#   bench/compare-xmldiff.sh              # 1 and 10 MB pairs with 1% changes
#   SIZES="1" SHARES="1 20" XMLDIFF_TIMEOUT=600 bench/compare-xmldiff.sh
# xmldiff runs twice: as a user would call it first (plain), and told that
# Uuid identifies elements (--unique-attributes Uuid --fast-match). A run
# that exceeds XMLDIFF_TIMEOUT seconds (default 3600) counts as that long,
# so its ratio is a lower bound (marked ">"). XMLDIFF_MODES="uuid" (or
# "plain") runs one of the two only.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xmldiff time python3
source bench/bench-common.sh
build_bench
limit=${XMLDIFF_TIMEOUT:-3600}
host="$build/host/QORMetaDiff"

# timed LABEL COMMAND...: sets secs and mib from /usr/bin/time -v; status 124 = timed out.
timed() {
  local what=$1 log="$data/time.log" status=0
  shift
  /usr/bin/time -v -o "$log" timeout "$limit" "$@" >/dev/null 2>&1 || status=$?
  secs=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$log")
  mib=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$log")
  over=""
  if [ "$status" -eq 124 ]; then over=">"; secs=$limit; elif [ "$status" -ne 0 ]; then
    echo "$what failed with status $status" >&2; exit 1
  fi
}

printf '%-9s %-32s %10s %9s %10s\n' case tool seconds MiB "x slower"
for size in ${SIZES:-1 10}; do
  for share in ${SHARES:-1}; do
    ensure_pair "$size" "$share"
    timed QORMetaDiff "$host" -New "$new" -Old "$old" -Diff "$data/compare.diff.xml"
    ours=$secs
    rm -f "$data/compare.diff.xml"
    printf '%-9s %-32s %10.2f %9s %10s\n' "${size}MB-${share}%" QORMetaDiff "$ours" "$mib" 1
    for mode in ${XMLDIFF_MODES:-plain uuid}; do
      if [ "$mode" = plain ]; then
        label="xmldiff"
        timed xmldiff xmldiff "$old" "$new"
      else
        label="xmldiff --unique-attributes Uuid"
        timed xmldiff xmldiff --unique-attributes Uuid --fast-match "$old" "$new"
      fi
      printf '%-9s %-32s %10.2f %9s %10s\n' "" "$label" "$secs" "$mib" \
        "$over$(awk "BEGIN { printf \"%.0f\", $secs / $ours }")"
    done
  done
done
