#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# A program that starts Wine's server through cmake/windows/wine-run.sh leaves
# no Wine process holding its output: ctest waits for a test's output to
# close, so a server that inherited it would keep the test running until the
# server ended. Stops the prefix's server first (the test runs alone), so that
# the program below is the one that starts it.
#
# wine-server-apart.sh WORK_DIR
# Environment: WINE_RUN (cmake/windows/wine-run.sh and its cache folder).
set -euo pipefail

read -r -a wine_run <<<"${WINE_RUN:?"the Wine runner and its cache, which CMake passes"}"
export WINEPREFIX=${wine_run[1]}/wine
mkdir -p "$1"
output=$(cd "$1" && pwd)/output.txt

wineserver -k 2>/dev/null || true
wineserver -w
"${wine_run[@]}" cmd /c echo started >"$output" 2>&1
grep -q started "$output" || { echo "FAILED: the program did not run: $(cat "$output")" >&2; exit 1; }

holders=$(find /proc/[0-9]*/fd -lname "$output" 2>/dev/null | cut -d/ -f3 | sort -u || true)
if [ -n "$holders" ]; then
  echo "FAILED: Wine's processes still hold the program's output:" >&2
  for pid in $holders; do echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline")" >&2; done
  exit 1
fi
echo "no Wine process holds the output"
