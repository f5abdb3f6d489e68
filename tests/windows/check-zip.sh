#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Checks the Windows zip the way its users get it, one step at a time:
#   unpack         the zip unpacked: the programs, the git diff driver, every
#                  DLL they load, the manuals and the licences are there, and
#                  each program runs from it under Wine with nothing else
#   same-outputs   the unpacked programs and the Linux build's on the same
#                  inputs (examples/, generated pairs and triples, CRLF
#                  copies): the same files, standard output, standard error
#                  and exit status, byte for byte
#   git-drivers    git merges and diffs through the drivers named by full,
#                  quoted paths holding a blank, as Git for Windows' lines
#                  name them (doc/windows.md): the same as with Linux's programs
#   documentation  every terminal session of README.md and doc/ (the Linux
#                  build's Documentation test) with the unpacked programs
#
# check-zip.sh STEP ZIP SOURCE_DIR LINUX_BUILD WORK_DIR
# Environment: WINE_RUN (cmake/windows/wine-run.sh and its cache folder).
set -euo pipefail

step=$1 zip=$2 source=$3 linux=$4 work=$5
read -r -a wine_run <<<"${WINE_RUN:?"the Wine runner and its cache, which CMake passes"}"
unpacked=$work/unpacked/$(basename "$zip" .zip)
programs=(QORMetaDiff QORMetaMerge QORMetaReport QORMetaCheck)

fail() { echo "FAILED [$step]: $*" >&2; exit 1; }
# The Linux build's program NAME (host/, merge/, report/ or check/).
linux_program() { find "$linux" -maxdepth 2 -name "$1" -type f -perm -u+x | head -n 1; }

# FOLDER/shims: commands named as the programs, each running FOLDER/bin's
# .exe under Wine; what a Linux shell or git calls in their place.
make_shims() {
  mkdir -p "$1/shims"
  for program in "${programs[@]}"; do
    printf '#!/bin/sh\nexec %s "%s/bin/%s.exe" "$@"\n' "${wine_run[*]}" "$1" "$program" >"$1/shims/$program"
    chmod +x "$1/shims/$program"
  done
}

case $step in
  unpack)
    [ -f "$zip" ] || fail "no $zip: cpack -G ZIP in the build folder makes it (scripts/build-windows.sh does)"
    rm -rf "$work/unpacked" && mkdir -p "$work/unpacked"
    unzip -q "$zip" -d "$work/unpacked"
    for file in bin/QORMetaDiff.exe bin/QORMetaMerge.exe bin/QORMetaReport.exe bin/QORMetaCheck.exe \
      bin/qormeta-git-diff bin/libQORMetaDiff.dll bin/libZULBase.dll bin/libQORMetaUtil.dll bin/libxerces-c.dll \
      bin/libgit2.dll bin/zlib1.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
      include/QORMetaDiff/QORMDMetaDiffApi.h include/QORMetaDiff/QORMDExport.h lib/libQORMetaDiff.dll.a \
      LICENSE doc/README.md doc/merge.md doc/report.md doc/check-and-ci.md doc/windows.md \
      licences/xerces-c.txt licences/libgit2.txt licences/icu.txt licences/pcre2.txt licences/http-parser.txt \
      licences/zlib.txt licences/gcc-mingw-w64.txt licences/mingw-w64.txt; do
      [ -f "$unpacked/$file" ] || fail "the zip lacks $file"
    done
    ls "$unpacked"/bin/icuuc*.dll >/dev/null || fail "the zip lacks ICU's DLL"
    [ -x "$unpacked/bin/qormeta-git-diff" ] || fail "the git diff driver is not executable"
    [ ! -e "$unpacked/licences/googletest.txt" ] || fail "the zip holds the tests' licence, not its own"
    # Each program runs from the zip alone: every DLL it loads is beside it.
    for program in "${programs[@]}"; do
      out=$(cd "$work" && "${wine_run[@]}" "$unpacked/bin/$program.exe" -v) || fail "$program.exe does not run: $out"
      expected=$("$(linux_program "$program")" -v)
      [ "$out" = "$expected" ] || fail "$program.exe -v printed '$out', Linux's '$expected'"
    done
    ;;

  same-outputs)
    # Outside any git repository, so that the check's SARIF and code quality
    # paths are relative to each side's own folder, not to the source tree.
    same=$(mktemp -d "${TMPDIR:-/tmp}/qormd-same.XXXXXX")
    mkdir -p "$same/inputs"
    cd "$same/inputs"
    cp "$source"/examples/old.xml "$source"/examples/new.xml "$source"/examples/merge/*.xml "$source"/examples/check/*.xml \
      "$source"/examples/check/qormeta.toml .
    for seed in 1 2 3; do
      python3 "$source/bench/generate-metadata.py" --size-mb 0.3 --changes 0.2 --seed "$seed" \
        --theirs "theirs-$seed.xml" "old-$seed.xml" "new-$seed.xml"
    done
    for file in old.xml new.xml base.xml ours.xml; do sed 's/$/\r/' "$file" >"crlf-$file"; done
    cd ..
    # Every run: name, program, arguments (relative names, run in the side's folder).
    runs=(
      "diff QORMetaDiff -New new.xml -Old old.xml -Diff diff.xml"
      "diff-crlf QORMetaDiff -New crlf-new.xml -Old crlf-old.xml -Diff diff-crlf.xml"
      "diff-deleted QORMetaDiff -Deleted old.xml -Diff deleted.xml"
      "diff-missing QORMetaDiff -New new.xml -Old missing.xml -Diff never.xml"
      "merge QORMetaMerge -Base base.xml -Ours ours.xml -Theirs theirs.xml -Out merged.xml -Conflicts conflicts.xml"
      "merge-crlf QORMetaMerge -Base crlf-base.xml -Ours crlf-ours.xml -Theirs theirs.xml -Out merged-crlf.xml"
      "merge-markers QORMetaMerge -Base base.xml -Ours ours.xml -Theirs theirs.xml -Out marked.xml -Markers"
      "report QORMetaReport -Old old.xml -New new.xml"
      "report-markdown QORMetaReport -Old base.xml -New ours.xml -Format markdown"
      "report-html QORMetaReport -Old old.xml -New new.xml -Format html -Out report.html"
      "check QORMetaCheck sales.meta.xml base.xml ours.xml theirs.xml crlf-new.xml"
      "check-changes QORMetaCheck -Config qormeta.toml -Old orders-v1.meta.xml orders-v2.meta.xml"
      "check-sarif QORMetaCheck -Format sarif -Old orders-v1.meta.xml orders-v2.meta.xml"
      "check-codequality QORMetaCheck -Format codequality -Old base.xml crlf-ours.xml"
      "report-marks QORMetaReport -Old orders-v1.meta.xml -New orders-v2.meta.xml -Format html -Out marks.html"
    )
    for seed in 1 2 3; do
      runs+=(
        "diff-$seed QORMetaDiff -New new-$seed.xml -Old old-$seed.xml -Diff diff-$seed.xml"
        "merge-$seed QORMetaMerge -Base old-$seed.xml -Ours new-$seed.xml -Theirs theirs-$seed.xml -Out merged-$seed.xml -Conflicts conflicts-$seed.xml"
        "report-$seed QORMetaReport -Old old-$seed.xml -New new-$seed.xml -Format markdown"
        "check-$seed QORMetaCheck old-$seed.xml new-$seed.xml theirs-$seed.xml"
        "changes-$seed QORMetaCheck -Werror -Old old-$seed.xml new-$seed.xml"
      )
    done
    make_shims "$unpacked"
    for side in linux windows; do
      cp -r inputs "$side"
      for run in "${runs[@]}"; do
        read -r -a words <<<"$run"
        name=${words[0]} program=${words[1]}
        if [ "$side" = linux ]; then
          command=("$(linux_program "$program")")
        else
          command=("$unpacked/shims/$program")
        fi
        status=0
        (cd "$side" && "${command[@]}" "${words[@]:2}" >"$name.out" 2>"$name.err") || status=$?
        echo "$status" >"$side/$name.status"
      done
    done
    # The one difference allowed: the SARIF log names each side's own folder
    # (its file URI) as the root of its paths.
    sed -i "s|\"file://$same/linux/\"|\"SIDE\"|" linux/*.out
    sed -i "s|\"file:///Z:$same/windows/\"|\"SIDE\"|" windows/*.out
    diff -r linux windows >differences.txt || {
      head -n 60 differences.txt >&2
      fail "the Windows programs' outputs differ from Linux's: $same/differences.txt"
    }
    echo "${#runs[@]} runs on both sides, $(find linux -type f | wc -l) files alike"
    rm -rf "$same"
    ;;

  git-drivers)
    # The zip unpacked under a path with a blank, the Linux programs beside it.
    place="$work/Program Files"
    rm -rf "$place" "$work/git" && mkdir -p "$place/linux/bin" "$work/git"
    cp -r "$unpacked" "$place/windows"
    make_shims "$place/windows"
    for program in "${programs[@]}"; do cp "$(linux_program "$program")" "$place/linux/bin/"; done
    cp "$source/merge/git/qormeta-git-diff" "$place/linux/bin/"
    for side in linux windows; do
      programs_dir="$place/$side/bin"
      [ "$side" = windows ] && programs_dir="$place/windows/shims"
      repo="$work/git/$side"
      (
        export HOME="$work/git" GIT_CONFIG_NOSYSTEM=1 GIT_AUTHOR_DATE=2026-01-05T10:00:00Z \
          GIT_COMMITTER_DATE=2026-01-05T10:00:00Z PATH="$programs_dir:$PATH"
        git init -q -b main "$repo" && cd "$repo"
        git config user.name Drivers && git config user.email drivers@localhost
        echo '*.meta.xml merge=qormeta diff=qormeta' >.gitattributes
        git config merge.qormeta.name "metadata three-way merge"
        git config merge.qormeta.driver "\"$programs_dir/QORMetaMerge\" -Base %O -Ours %A -Theirs %B -Out %A -Markers -Labels %X,%S,%Y"
        git config diff.qormeta.command "\"$place/$side/bin/qormeta-git-diff\""
        cp "$source/examples/merge/base.xml" sales.meta.xml && git add -A && git commit -q -m base
        git checkout -q -b other && cp "$source/examples/merge/theirs.xml" sales.meta.xml && git commit -q -am theirs
        git checkout -q main && cp "$source/examples/merge/ours.xml" sales.meta.xml && git commit -q -am ours
        git diff HEAD~1 HEAD
        QORMetaCheck -Against other || echo "check exit status $?"
        QORMetaReport -Git other..main -Format markdown || echo "report exit status $?"
        git merge other 2>&1 || echo "merge exit status $?"
        cat sales.meta.xml
      ) >"$work/git/$side.txt" 2>&1 || true
    done
    sed -i "s|$place/[a-z]*/|PROGRAMS/|g" "$work/git/linux.txt" "$work/git/windows.txt"
    diff "$work/git/linux.txt" "$work/git/windows.txt" || fail "git with the Windows drivers differs from Linux's"
    grep -q "CONFLICT (field Type)" "$work/git/windows.txt" || fail "the merge driver did not run: $work/git/windows.txt"
    grep -q "Attribute Phone (a-cust-phone): added" "$work/git/windows.txt" ||
      fail "the diff driver did not show the report: $work/git/windows.txt"
    ;;

  documentation)
    make_shims "$unpacked"
    QORMD_DOC_PROGRAMS="$unpacked/shims:$unpacked/bin" "$linux/tests/QORMDTests" \
      --gtest_filter='Documentation.EveryBlockIsKnownAndEverySessionPrintsWhatItShows'
    ;;

  *) fail "no such step" ;;
esac
