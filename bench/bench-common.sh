# SPDX-License-Identifier: Apache-2.0
# Shared by the benchmark scripts: the build folder and the document pairs.
build=${BUILD_DIR:-build-bench}
data="$build/data"

# build_bench [TARGET...]: the harness, the diff host and the programs given.
build_bench() {
  cmake -S . -B "$build" -DQORMD_BUILD_BENCH=ON -DQORMD_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2 --target QORMDBench QORMetaDiffHost "$@" >/dev/null
  mkdir -p "$data"
}

# ensure_pair SIZE_MB SHARE_PERCENT: generates the pair once; sets old and new.
ensure_pair() {
  old="$data/old-$1MB-$2.xml"
  new="$data/new-$1MB-$2.xml"
  if [ ! -s "$old" ] || [ ! -s "$new" ]; then
    echo "generating $1 MB, $2% changes" >&2
    python3 bench/generate-metadata.py --size-mb "$1" --changes "$(awk "BEGIN { print $2 / 100 }")" --seed 1 \
      "$old.tmp" "$new.tmp"
    mv "$old.tmp" "$old"
    mv "$new.tmp" "$new"
  fi
}

# measure NAME COMMAND...: appends "wall cpu peak-KiB" of one run to $out/NAME.times
# (the last line /usr/bin/time writes: a failed command adds one before it).
measure() {
  local name=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$out/time.txt" "$@" >/dev/null
  awk 'END { print $1, $2 + $3, $4 }' "$out/time.txt" >>"$out/$name.times"
}

# median FILE COLUMN
median() {
  sort -g -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
