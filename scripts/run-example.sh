#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the dependencies, builds, and compares the shipped example
# documents: examples/old.xml -> examples/new.xml, diff in build/example-diff.xml.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target QORMetaDiffHost
build/host/QORMetaDiff -New examples/new.xml -Old examples/old.xml -Diff build/example-diff.xml
cat build/example-diff.xml
