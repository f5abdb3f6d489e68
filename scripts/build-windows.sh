#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds QORMetaDiff for Windows x64 on Debian with MinGW-w64, tests it under
# Wine and packs build-windows/QORMetaDiff-<version>-win64.zip.
#
#   scripts/build-windows.sh [--no-tests]
#
# The dependencies are built from Debian's own source packages (apt-get
# source) into a cache outside the build, QORMD_WINDOWS_CACHE (default
# ~/.cache/qormetadiff-windows): sources/ and build/ while they build,
# prefix/ what they install, stamps/ what is built, wine/ the Wine prefix. A
# dependency is built again only when its source version or its recipe below
# changes. doc/windows.md tells what each step costs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
run_tests=1
[ "${1:-}" = --no-tests ] && run_tests=0
cache=${QORMD_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qormetadiff-windows}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
mkdir -p "$cache"/{sources,build,prefix,stamps}
cache=$(cd "$cache" && pwd)

started=$SECONDS
step() { printf '== %s (%ds)\n' "$*" $((SECONDS - started)); }

step "Debian packages"
scripts/install-deps.sh --windows
# apt-get source needs a deb-src entry for each deb entry of Debian's own
# sources; written once, beside them.
sources=/etc/apt/sources.list.d/debian.sources
src_entry=/etc/apt/sources.list.d/qormetadiff-deb-src.sources
if ! grep -qs '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  sed 's/^Types:.*/Types: deb-src/' "$sources" | $sudo tee "$src_entry" >/dev/null
  $sudo apt-get update -qq
fi
release=$(. /etc/os-release && echo "$VERSION_CODENAME")

# The CMake settings every dependency and the project share: the MinGW
# toolchain, the cache's prefix, ccache where it is installed.
cross_cmake() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQORMD_WINDOWS_CACHE="$cache" "${launcher[@]}" "$@"
}

# Configures, builds and installs one CMake project into the cache's prefix.
install_cmake_project() {
  local source=$1 build=$2
  shift 2
  cross_cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$cache/prefix" "$@"
  cmake --build "$build" -j"$jobs"
  cmake --install "$build"
}

# One recipe per dependency: recipe_NAME SOURCE BUILD, run from the unpacked
# source package. Each names where its licence lies (licence_NAME).
recipe_http_parser() {
  install_cmake_project "$root/cmake/windows/http-parser" "$2" -DHTTP_PARSER_SOURCE="$1"
}
licence_http_parser=LICENSE-MIT
recipe_pcre2() {
  install_cmake_project "$1" "$2" -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DPCRE2_BUILD_PCRE2GREP=OFF \
    -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=OFF
}
licence_pcre2=LICENCE
# libgit2 reads local repositories only: no transport security, no SSH, no
# WinHTTP; regular expressions from PCRE2 and HTTP parsing from http-parser,
# as Debian's own build takes them.
recipe_libgit2() {
  install_cmake_project "$1" "$2" -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_CLI=OFF -DUSE_HTTPS=OFF -DUSE_SSH=OFF \
    -DUSE_WINHTTP=OFF -DUSE_NTLMCLIENT=OFF -DUSE_GSSAPI=OFF -DREGEX_BACKEND=pcre2 -DUSE_HTTP_PARSER=system \
    -DUSE_BUNDLED_ZLIB=OFF -DCMAKE_C_FLAGS=-DPCRE2_STATIC
}
licence_libgit2=COPYING
# Xerces-C with Windows' own transcoder, file manager and mutexes (the C++
# library's std::mutex over winpthreads keeps 24 bytes of each mutex, so
# every Initialize and Terminate would), without network access; its samples,
# tests and documentation (not in Debian's source) are left out.
recipe_xerces_c() {
  sed -i '/^add_subdirectory(\(tests\|samples\|doc\))/d' "$1/CMakeLists.txt"
  install_cmake_project "$1" "$2" -DBUILD_SHARED_LIBS=ON -Dtranscoder=windows -Dmutex-manager=windows -Dnetwork=OFF \
    -Dmessage-loader=inmemory -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON
}
licence_xerces_c=LICENSE
recipe_icu() {
  install_cmake_project "$root/cmake/windows/icu-uc" "$2" -DICU_SOURCE="$1/source"
}
licence_icu=LICENSE
recipe_googletest() {
  install_cmake_project "$1" "$2" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
}
licence_googletest=LICENSE

# The source package's .dsc name for an apt-get source selector (PACKAGE, or
# PACKAGE/SUITE), without fetching it.
dsc_of() { apt-get source --print-uris -qq "$1" | awk '/\.dsc /{print $2; exit}'; }

# Builds the dependency NAME from the Debian source package PACKAGE unless a
# stamp of the fetched version and this recipe is there. The newest version
# is taken, else, where a mirror does not serve it (security updates' sources
# are not everywhere), the release's own. Its licence goes to
# prefix/licences/PACKAGE.txt, for the zip.
dependency() {
  local name=$1 package=$2
  local recipe_files=("$toolchain") recipe_key
  [ -d "$root/cmake/windows/$package" ] && recipe_files+=("$root/cmake/windows/$package"/*)
  # What builds it, comments left out: the functions as bash reads them, the
  # toolchain and the dependency's own CMake project.
  recipe_key=$( (declare -f "recipe_$name" install_cmake_project cross_cmake &&
    grep -hv '^[[:space:]]*#' "${recipe_files[@]}") | sha256sum | cut -c1-16)
  local selector dsc
  for selector in "$package" "$package/$release"; do
    dsc=$(dsc_of "$selector")
    if [ -e "$cache/stamps/$dsc-$recipe_key" ]; then
      step "$package: cached (${dsc%.dsc})"
      return
    fi
  done
  rm -rf "${cache:?}/sources/$package" "${cache:?}/build/$package" "$cache/stamps/${package}_"*
  mkdir -p "$cache/sources/$package"
  for selector in "$package" "$package/$release" ""; do
    [ -n "$selector" ] || {
      echo "apt-get source $package failed: is there a deb-src entry for Debian $release?" >&2
      exit 1
    }
    (cd "$cache/sources/$package" && apt-get source -qq "$selector" >/dev/null 2>&1) && break
    rm -rf "${cache:?}/sources/$package"/*
  done
  dsc=$(dsc_of "$selector")
  step "$package: building ${dsc%.dsc}"
  local source
  source=$(find "$cache/sources/$package" -mindepth 1 -maxdepth 1 -type d)
  "recipe_$name" "$source" "$cache/build/$package" >"$cache/build/$package.log" 2>&1 || {
    tail -n 40 "$cache/build/$package.log"
    echo "building $package for Windows failed: see $cache/build/$package.log" >&2
    exit 1
  }
  local licence="licence_$name"
  mkdir -p "$cache/prefix/licences"
  cp "$source/${!licence}" "$cache/prefix/licences/$package.txt"
  rm -rf "${cache:?}/sources/$package" "${cache:?}/build/$package"
  touch "$cache/stamps/$dsc-$recipe_key"
}

dependency http_parser http-parser
dependency pcre2 pcre2
dependency libgit2 libgit2
dependency xerces_c xerces-c
dependency icu icu
dependency googletest googletest

# toml++ and nlohmann-json are header-only: nothing to build. Their headers,
# which are the same for every system, come from the Debian packages that
# install-deps.sh --windows installs, with their licences.
header_only() {
  local package=$1 folder=$2 licence=$3
  rm -rf "${cache:?}/prefix/include/$folder"
  mkdir -p "$cache/prefix/include" "$cache/prefix/licences"
  cp -r "/usr/include/$folder" "$cache/prefix/include/"
  cp "/usr/share/doc/$package/copyright" "$cache/prefix/licences/$licence.txt"
}
header_only libtomlplusplus-dev toml++ tomlplusplus
header_only nlohmann-json3-dev nlohmann nlohmann-json3

# Wine's prefix, made once (Wine asks for nothing on a machine without a
# display). Its temporary folder is Linux's /tmp (drive Z:), where the
# tests' folders then are, on the drive of the paths the tests were built with.
wine_run=$root/cmake/windows/wine-run.sh
if [ ! -e "$cache/wine/system.reg" ]; then
  step "Wine prefix"
  # Its exit status says nothing: without Debian's 32-bit Wine, which the
  # 64-bit programs do not need, it reports what it could not set up.
  "$wine_run" "$cache" wineboot -i >/dev/null 2>&1 || true
  for variable in TEMP TMP; do
    "$wine_run" "$cache" reg add 'HKCU\Environment' /v $variable /t REG_SZ /d 'Z:\tmp' /f >/dev/null
  done
  WINEPREFIX="$cache/wine" wineserver -w  # the registry is written when Wine's server ends
  [ -e "$cache/wine/system.reg" ] || {
    echo "Wine could not make its prefix in $cache/wine" >&2
    exit 1
  }
fi

# The zip is checked against a Linux build of the same tree, build/: brought
# up to date here (made first when it is not there).
linux_build=()
if [ "$run_tests" = 1 ]; then
  step "Linux build (build/), which the zip is checked against"
  scripts/install-deps.sh
  [ -f build/CMakeCache.txt ] || cmake -S . -B build -DQORMD_BUILD_TESTS=ON >/dev/null
  cmake --build build -j"$jobs" --target QORMetaDiffHost QORMetaMerge QORMetaReport QORMetaCheck QORMDTests
  linux_build=(-DQORMD_LINUX_BUILD="$root/build")
fi

step "QORMetaDiff: configure and build (build-windows/)"
cross_cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORMD_BUILD_TESTS=ON \
  -DCMAKE_PREFIX_PATH="$cache/prefix" "${linux_build[@]}" >/dev/null
cmake --build build-windows -j"$jobs"

step "zip"
(cd build-windows && cpack -G ZIP >/dev/null)
ls build-windows/QORMetaDiff-*-win64.zip

if [ "$run_tests" = 1 ]; then
  step "tests under Wine, and the zip against build/"
  ctest --test-dir build-windows --output-on-failure -j"$jobs"
fi
step "done"
