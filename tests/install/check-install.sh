#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Checks the library the way its users get it, one path per step:
#   install       cmake --install into a fresh prefix: files, SONAME links,
#                 exported symbols, the installed host, merge, git diff
#                 driver, report over a revision range, check and man pages
#   find-package  examples/host built with find_package(QORMetaDiff), run
#   pkg-config    examples/host built with the pkg-config line of doc/library.md, run
#   debian        cpack -G DEB: file lists, dependencies, the packaged host,
#                 merge and check run, lintian quiet on the three packages
#
# check-install.sh STEP BUILD_DIR SOURCE_DIR WORK_DIR
# Environment: CMAKE, CPACK, CXX (the tools of the build), HOST (the in-tree
# host, whose diff of the examples every other host must reproduce).
# find-package and pkg-config use the prefix that the install step left in
# WORK_DIR/prefix.
set -euo pipefail

step=$1 build=$2 source=$3 work=$4
prefix=$work/prefix
version=${VERSION:?"the project's version, which CMake passes"}
metadiff_version=${METADIFF_VERSION:?"the version the library reports, which CMake passes"}
# The libraries' folder: lib/<multiarch triplet> where the platform has one.
multiarch=$("${CXX:-c++}" -print-multiarch 2>/dev/null || true)
libdir=lib${multiarch:+/$multiarch}
checks=0

fail() { echo "FAILED [$step]: $*" >&2; exit 1; }
pass() { checks=$((checks + 1)); }
expect_file() { [ -f "$1" ] || fail "missing file $1"; pass; }
expect_link() {  # link target
  [ -L "$1" ] || fail "$1 is not a symbolic link"
  [ "$(readlink "$1")" = "$2" ] || fail "$1 points to $(readlink "$1"), not $2"
  pass
}
expect_contains() {  # file text
  grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 does not contain: $2"; }
  pass
}

# A fresh folder with copies of the examples and the in-tree host's diff of
# them, under the same relative names the hosts will be given.
prepare_run_dir() {
  run=$1
  rm -rf "$run" && mkdir -p "$run"
  cp "$source/examples/old.xml" "$source/examples/new.xml" "$run/"
  (cd "$run" && "$HOST" -New new.xml -Old old.xml -Diff expected.xml) || fail "the in-tree host failed on the examples"
  [ -s "$run/expected.xml" ] || fail "the in-tree host wrote no diff of the examples"
}

# Runs a program host built from examples/host: a real diff, no old document,
# a failed run, an empty diff with and without writeEmptyDiff, wrong arguments.
check_program_host() {
  host=$1 run=$2
  prepare_run_dir "$run"
  cd "$run"

  "$host" old.xml new.xml diff.xml || fail "$host failed on the examples"
  cmp expected.xml diff.xml || fail "$host wrote a different diff than the in-tree host"
  pass

  # No old document: everything in the new one is added, as with the host's
  # command line without -Old.
  "$HOST" -New new.xml -Diff expected-added.xml || fail "the in-tree host failed without -Old"
  "$host" "" new.xml added.xml || fail "$host failed without an old document"
  cmp expected-added.xml added.xml || fail "$host without an old document: different diff"
  pass

  printf 'earlier diff\n' >kept.xml
  status=0
  "$host" missing.xml new.xml kept.xml 2>err.txt || status=$?
  [ "$status" -eq 1 ] || fail "a failed run exited with $status, not 1"
  expect_contains err.txt 'Error MDFileError_1: The metadata file "missing.xml" could not be read: cannot open it: No such file or directory'
  [ "$(cat kept.xml)" = "earlier diff" ] || fail "a failed run changed the existing diff file"
  [ -z "$(ls -A | grep -v -x -e old.xml -e new.xml -e expected.xml -e diff.xml \
    -e expected-added.xml -e added.xml -e kept.xml -e err.txt)" ] \
    || fail "a failed run left files behind: $(ls -A)"
  pass

  "$host" new.xml new.xml same.xml || fail "$host failed on identical documents"
  [ ! -e same.xml ] || fail "an empty diff was written without writeEmptyDiff"
  "$host" new.xml new.xml same.xml --write-empty || fail "$host failed with --write-empty"
  [ -f same.xml ] && [ ! -s same.xml ] || fail "writeEmptyDiff did not write an empty diff file"
  pass

  status=0
  "$host" old.xml new.xml >/dev/null 2>&1 || status=$?
  [ "$status" -eq 2 ] || fail "wrong arguments exited with $status, not 2"
  pass
  cd - >/dev/null
}

step_install() {
  rm -rf "$prefix"
  "$CMAKE" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed"

  for program in QORMetaDiff QORMetaMerge QORMetaReport QORMetaCheck qormeta-git-diff; do
    expect_file "$prefix/bin/$program"
    expect_file "$prefix/share/man/man1/$program.1.gz"
  done
  for lib in QORMetaDiff ZULBase QORMetaUtil; do
    expect_file "$prefix/$libdir/lib$lib.so.$version"
    expect_link "$prefix/$libdir/lib$lib.so.5" "lib$lib.so.$version"
    expect_link "$prefix/$libdir/lib$lib.so" "lib$lib.so.5"
    readelf -d "$prefix/$libdir/lib$lib.so.$version" | grep -qF "Library soname: [lib$lib.so.5]" \
      || fail "lib$lib has no SONAME lib$lib.so.5"
    pass
  done
  for header in QORMetaDiff/QORMDMetaDiffApi.h QORMetaDiff/QORMDMetaObject.h ZULBase/ZULUnicodeString.h \
                ZULBase/ZULError.h QORMetaUtil/cQORMUCallback.h QORMetaUtil/QORMUDomHandle.h; do
    expect_file "$prefix/include/$header"
  done
  for file in QORMetaDiffConfig.cmake QORMetaDiffConfigVersion.cmake QORMetaDiffTargets.cmake; do
    expect_file "$prefix/$libdir/cmake/QORMetaDiff/$file"
  done
  expect_contains "$prefix/$libdir/pkgconfig/QORMetaDiff.pc" "prefix=$prefix"
  expect_file "$prefix/share/man/man1/QORMetaDiff.1.gz"
  [ -z "$(find "$prefix" -name '*QORMetaDiffCore*')" ] || fail "the test-only QORMetaDiffCore was installed"
  pass

  # The library exports the four operations of cQORMDApi and nothing else.
  nm -D --defined-only -C "$prefix/$libdir/libQORMetaDiff.so" | sed 's/^[0-9a-f]* [A-Za-z] //' | sort >"$work/exports.txt"
  cat >"$work/exports.expected" <<'EOF'
cQORMDApi::Initialize(int, char const* const*)
cQORMDApi::Process(ZULUnicodeString const&, ZULUnicodeString const&, ZULUnicodeString const&, unsigned char)
cQORMDApi::ProcessMetaDiff()
cQORMDApi::Terminate()
EOF
  diff "$work/exports.expected" "$work/exports.txt" || fail "libQORMetaDiff.so exports other symbols"
  pass

  # The installed host runs from the prefix alone and matches the in-tree host.
  [ "$("$prefix/bin/QORMetaDiff" -v)" = "MetaDiff Version: $metadiff_version" ] || fail "installed host -v"
  [ "$("$prefix/bin/QORMetaMerge" -v)" = "MetaMerge Version: $version" ] || fail "installed merge -v"
  prepare_run_dir "$work/run-installed"
  (cd "$work/run-installed" && "$prefix/bin/QORMetaDiff" -New new.xml -Old old.xml -Diff diff.xml) \
    || fail "the installed host failed on the examples"
  cmp "$work/run-installed/expected.xml" "$work/run-installed/diff.xml" || fail "installed host: different diff"
  pass

  # The installed merge: theirs left as in the base gives ours byte for byte.
  (cd "$work/run-installed" && "$prefix/bin/QORMetaMerge" -Base old.xml -Ours new.xml -Theirs old.xml -Out merged.xml) \
    || fail "the installed merge failed on the examples"
  cmp "$work/run-installed/new.xml" "$work/run-installed/merged.xml" || fail "installed merge: not ours unchanged"
  pass
  # The installed git diff driver runs the QORMetaDiff beside it.
  (cd "$work/run-installed" && PATH=/usr/bin:/bin "$prefix/bin/qormeta-git-diff" m.xml old.xml 0 100644 new.xml 0 100644) \
    >"$work/git-diff.txt" || fail "the installed git diff driver failed"
  expect_contains "$work/git-diff.txt" 'Changes to package Sales'
  # The installed check and the report over a revision range (libgit2) run from the prefix.
  (cd "$work/run-installed" && "$prefix/bin/QORMetaCheck" old.xml new.xml) || fail "the installed check failed"
  pass
  rm -rf "$work/range" && git init -q -b main "$work/range"
  cp "$source/examples/old.xml" "$work/range/sales.xml"
  (cd "$work/range" && git add -A && git -c user.name=t -c user.email=t@t commit -q -m old \
    && cp "$source/examples/new.xml" sales.xml && git -c user.name=t -c user.email=t@t commit -q -a -m new \
    && "$prefix/bin/QORMetaReport" -Git HEAD~1..HEAD -Path '*.xml') >"$work/range.txt" \
    || fail "the installed report over a revision range failed"
  expect_contains "$work/range.txt" '== sales.xml: modified'

  # The man pages render without a single roff warning.
  for page in "$prefix"/share/man/man1/*.1.gz; do
    zcat "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>"$work/man.log"
    [ ! -s "$work/man.log" ] || { cat "$work/man.log" >&2; fail "the man page $page has roff warnings"; }
    pass
  done
}

step_find_package() {
  [ -f "$prefix/$libdir/cmake/QORMetaDiff/QORMetaDiffConfig.cmake" ] || fail "no installed prefix (run the install step)"
  rm -rf "$work/find-package" && mkdir -p "$work/find-package"
  "$CMAKE" -S "$source/examples/host" -B "$work/find-package/build" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$CXX" >"$work/find-package/configure.log" || fail "configuring examples/host failed"
  "$CMAKE" --build "$work/find-package/build" >"$work/find-package/build.log" || fail "building examples/host failed"
  check_program_host "$work/find-package/build/qormd-example-host" "$work/find-package/run"

  # Same major version is compatible, as long as it is not older than asked for.
  probe=$work/find-package/probe
  "$CMAKE" -S "$source/tests/install/version-probe" -B "$probe" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$CXX" >"$probe.log" 2>&1 || { cat "$probe.log" >&2; fail "the version probe failed"; }
  grep -o 'find_package(QORMetaDiff .*' "$probe.log" >"$probe.found"
  printf 'find_package(QORMetaDiff %s): %s\n' 5 1 5.13 1 5.14 1 5.14.0 1 5.15 0 6 0 4.9 0 >"$probe.expected"
  diff "$probe.expected" "$probe.found" || fail "find_package accepts the wrong versions"
  pass
  expect_contains "$probe.log" "QORMetaDiff licence: Apache-2.0"
}

step_pkg_config() {
  [ -f "$prefix/$libdir/pkgconfig/QORMetaDiff.pc" ] || fail "no installed prefix (run the install step)"
  rm -rf "$work/pkg-config" && mkdir -p "$work/pkg-config"
  export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
  [ "$(pkg-config --modversion QORMetaDiff)" = "$version" ] || fail "pkg-config --modversion"
  expect_contains "$prefix/$libdir/pkgconfig/QORMetaDiff.pc" "License: Apache-2.0"
  pkg-config --exists 'QORMetaDiff >= 5.13' || fail "pkg-config does not accept QORMetaDiff >= 5.13"
  pass
  # The line of doc/library.md, with the warnings of our own build on top.
  "$CXX" -std=c++17 -Wall -Wextra -Werror -o "$work/pkg-config/qormd-example-host" \
    "$source/examples/host/QORMDExampleHost.cpp" \
    $(pkg-config --cflags --libs QORMetaDiff) -Wl,-rpath,"$(pkg-config --variable=libdir QORMetaDiff)" \
    || fail "building examples/host with pkg-config failed"
  check_program_host "$work/pkg-config/qormd-example-host" "$work/pkg-config/run"
}

step_debian() {
  out=$work/debian
  rm -rf "$out" && mkdir -p "$out"
  "$CPACK" -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log" >&2; fail "cpack -G DEB failed"; }
  arch=$(dpkg --print-architecture)
  libraries=$out/libqormetadiff5_${version}_$arch.deb
  runtime=$out/qormetadiff_${version}_$arch.deb
  dev=$out/qormetadiff-dev_${version}_$arch.deb
  expect_file "$libraries"
  expect_file "$runtime"
  expect_file "$dev"

  dpkg-deb -c "$libraries" | awk '{print $6}' >"$out/libraries.files"
  dpkg-deb -c "$runtime" | awk '{print $6}' >"$out/runtime.files"
  dpkg-deb -c "$dev" | awk '{print $6}' >"$out/dev.files"
  for file in ./usr/$libdir/libQORMetaDiff.so.$version ./usr/$libdir/libQORMetaDiff.so.5 \
              ./usr/$libdir/libZULBase.so.5 ./usr/$libdir/libQORMetaUtil.so.5 \
              ./usr/share/doc/libqormetadiff5/copyright ./usr/share/doc/libqormetadiff5/changelog.gz; do
    grep -qx -- "$file" "$out/libraries.files" || fail "libqormetadiff5 lacks $file"
    pass
  done
  for file in ./usr/bin/QORMetaDiff ./usr/bin/QORMetaMerge ./usr/bin/QORMetaReport ./usr/bin/QORMetaCheck \
              ./usr/bin/qormeta-git-diff ./usr/share/man/man1/QORMetaDiff.1.gz ./usr/share/man/man1/QORMetaMerge.1.gz \
              ./usr/share/man/man1/QORMetaReport.1.gz ./usr/share/man/man1/QORMetaCheck.1.gz \
              ./usr/share/man/man1/qormeta-git-diff.1.gz ./usr/share/doc/qormetadiff/copyright; do
    grep -qx -- "$file" "$out/runtime.files" || fail "qormetadiff lacks $file"
    pass
  done
  for file in ./usr/include/QORMetaDiff/QORMDMetaDiffApi.h ./usr/include/ZULBase/ZULError.h \
              ./usr/include/QORMetaUtil/cQORMUCallback.h ./usr/$libdir/libQORMetaDiff.so \
              ./usr/$libdir/cmake/QORMetaDiff/QORMetaDiffConfig.cmake ./usr/$libdir/pkgconfig/QORMetaDiff.pc \
              ./usr/share/doc/qormetadiff-dev/copyright; do
    grep -qx -- "$file" "$out/dev.files" || fail "qormetadiff-dev lacks $file"
    pass
  done
  ! grep -q -e '^./usr/include' -e '\.so$' -e 'cmake' -e '^./usr/bin/.' "$out/libraries.files" \
    || fail "libqormetadiff5 holds development files or programs"
  ! grep -q -e '^./usr/include' -e '\.so' -e 'cmake' "$out/runtime.files" || fail "qormetadiff holds libraries"
  pass

  dpkg-deb -f "$libraries" Depends >"$out/libraries.depends"
  dpkg-deb -f "$runtime" Depends >"$out/runtime.depends"
  dpkg-deb -f "$dev" Depends >"$out/dev.depends"
  dpkg-deb -I "$libraries" >"$out/libraries.info"
  expect_contains "$out/libraries.depends" "libxerces-c3.2"
  expect_contains "$out/libraries.depends" "libstdc++6"
  expect_contains "$out/runtime.depends" "libqormetadiff5 (= $version)"
  expect_contains "$out/runtime.depends" "libgit2-1.5"
  expect_contains "$out/dev.depends" "libqormetadiff5 (= $version)"
  expect_contains "$out/dev.depends" "libxerces-c-dev"
  expect_contains "$out/libraries.info" "shlibs"
  expect_contains "$out/libraries.info" "triggers"

  # Each package's copyright file is machine-readable and names the licence.
  for package in "$libraries" "$runtime" "$dev"; do
    name=$(dpkg-deb -f "$package" Package)
    dpkg-deb --fsys-tarfile "$package" | tar -xO "./usr/share/doc/$name/copyright" >"$out/$name.copyright"
    expect_contains "$out/$name.copyright" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
    expect_contains "$out/$name.copyright" "License: Apache-2.0"
  done

  # The packaged pkg-config file names /usr, not the staging folder.
  dpkg-deb --fsys-tarfile "$dev" | tar -xO "./usr/$libdir/pkgconfig/QORMetaDiff.pc" >"$out/QORMetaDiff.pc"
  expect_contains "$out/QORMetaDiff.pc" "prefix=/usr"

  # The packaged host and merge run from the unpacked tree (they find their
  # libraries from bin/); the host matches the in-tree host.
  dpkg-deb -x "$libraries" "$out/root"
  dpkg-deb -x "$runtime" "$out/root"
  prepare_run_dir "$out/run"
  (cd "$out/run" && "$out/root/usr/bin/QORMetaDiff" -New new.xml -Old old.xml -Diff diff.xml) \
    || fail "the packaged host failed on the examples"
  cmp "$out/run/expected.xml" "$out/run/diff.xml" || fail "packaged host: different diff"
  pass
  (cd "$out/run" && "$out/root/usr/bin/QORMetaMerge" -Base old.xml -Ours old.xml -Theirs new.xml -Out merged.xml) \
    || fail "the packaged merge failed on the examples"
  cmp "$out/run/new.xml" "$out/run/merged.xml" || fail "packaged merge: not theirs unchanged"
  pass
  (cd "$out/run" && "$out/root/usr/bin/QORMetaCheck" old.xml new.xml) || fail "the packaged check failed"
  pass

  # lintian has nothing to say (when it is there: scripts/install-deps.sh installs it).
  if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$libraries" "$runtime" "$dev" >"$out/lintian.log" 2>&1 \
      || { cat "$out/lintian.log" >&2; fail "lintian complains"; }
    ! grep -q '^[EW]:' "$out/lintian.log" || { cat "$out/lintian.log" >&2; fail "lintian complains"; }
    pass
  fi
}

mkdir -p "$work"
case $step in
  install) step_install ;;
  find-package) step_find_package ;;
  pkg-config) step_pkg_config ;;
  debian) step_debian ;;
  *) fail "unknown step (install, find-package, pkg-config, debian)" ;;
esac
echo "$step: $checks checks passed"
