#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs one case of a GoogleTest program as a user without privileges: as
# nobody when started by root (root reads and writes whatever the
# permission bits say), as the caller otherwise. Fails unless the case ran
# and passed: a skipped case is a failure here.
#   run-unprivileged.sh <test program> <Suite.Case>
set -eu
program=$1
case=$2
as=""
if [ "$(id -u)" -eq 0 ]; then
  as="setpriv --reuid=nobody --regid=nogroup --clear-groups"
  if ! $as test -x "$program"; then
    echo "nobody cannot run $program: its folders must be readable by all" >&2
    exit 1
  fi
fi
output=$($as "$program" --gtest_filter="$case" 2>&1) || status=$?
echo "$output"
[ "${status:-0}" -eq 0 ] || exit "$status"
if ! echo "$output" | grep -q '^\[  PASSED  \] 1 test'; then
  echo "$case did not run and pass as $(${as:-env} id -un)" >&2
  exit 1
fi
