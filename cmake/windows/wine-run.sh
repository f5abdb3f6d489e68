#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs a Windows program of the cross-build under Wine: wine-run.sh CACHE
# PROGRAM [ARGUMENT...]. The Wine prefix is CACHE/wine (scripts/build-windows.sh
# creates it once), Wine says nothing of its own, and the program's exit
# status is the script's. The programs find their DLLs beside themselves.
set -eu
cache=$1
shift
export WINEPREFIX="$cache/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's server, and the system processes that the first program of a new
# server starts, inherit that program's output and keep it open until the
# server ends: a test that happened to start the server would not end while
# other tests keep it busy. So the server and its system processes are
# started apart, once, with no output of ours, under a lock against the
# programs that start beside this one (which the server must not inherit).
mkdir -p "$WINEPREFIX"
(
  flock 9
  if wineserver -p10 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX/.server.lock"
exec wine "$@"
