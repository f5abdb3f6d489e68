#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what building and testing QORMetaDiff needs, from Debian's packages;
# with --windows, what scripts/build-windows.sh needs instead.
set -euo pipefail
if [ "${1:-}" = --windows ]; then
  shift
  packages=(cmake make dpkg-dev  # the dependencies built from their Debian source packages
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev  # the cross-compiler, the runtime DLLs, zlib for libgit2
    libtomlplusplus-dev nlohmann-json3-dev  # header-only: their headers are the same for Windows
    wine wine64  # the tests, run under Wine
    zip unzip  # the package, and its check
    "$@")
else
  packages=(cmake make g++ libxerces-c-dev libicu-dev libgtest-dev
    libssl-dev  # SHA-256 of the HTML report's script and style, named in its content security policy
    pkg-config dpkg-dev file groff-base  # install checks: pkg-config, Debian packages, man page
    locales  # a locale compiled by the tests (Turkish letter case)
    valgrind clang-14 libclang-rt-14-dev  # leak checks of the host; the libFuzzer build
    clang-format  # the layout check of every C++ file (.clang-format)
    git lintian  # the merge's git drivers test; lintian on the Debian packages
    libgit2-dev  # the report over a revision range and the check against a revision read the repository
    libtomlplusplus-dev nlohmann-json3-dev  # the team's .qormeta.toml; SARIF and code quality JSON
    python3-jsonschema  # the SARIF schema over the check's SARIF
    pre-commit python3-yaml  # the pre-commit hook and the CI recipes run in their tests
    chromium python3  # the HTML report loaded in a headless browser; document pairs generated for tests
    "$@")
  # Microsoft's SARIF validator comes from npm. A machine that already has Node.js from
  # elsewhere (NodeSource) cannot take Debian's npm beside it, so only a machine without npm
  # gets Debian's.
  command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
