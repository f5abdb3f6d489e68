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
exec wine "$@"
