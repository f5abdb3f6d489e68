#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs what doc/check-and-ci.md and examples/ci/ tell teams to run, on
# scratch repositories, so that none of it can rot:
#   pre-commit  the page's .pre-commit-config.yaml with the hook of
#               .pre-commit-hooks.yaml: a broken document is refused with its
#               line, a good one committed
#   github      the run steps of examples/ci/github-actions.yml on a pull
#               request's range (the gh program stands in for GitHub)
#   gitlab      the script of examples/ci/gitlab-ci.yml on a merge request's range
# Each CI recipe runs twice: on a range with a broken document (the report is
# made, the check fails the job) and on one where it is fixed (all passes).
#
# check-recipes.sh STEP SOURCE_DIR WORK_DIR
# Environment: PROGRAMS, the folders of the built QORMetaCheck and
# QORMetaReport (PATH form); the recipes find them on the PATH.
set -euo pipefail

step=$1 source=$2 work=$3
checks=0
fail() { echo "FAILED [$step]: $*" >&2; exit 1; }
pass() { checks=$((checks + 1)); }
expect_contains() {  # file text
  grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 does not contain: $2"; }
  pass
}

rm -rf "$work" && mkdir -p "$work/home" "$work/bin"
export HOME=$work/home GIT_CONFIG_NOSYSTEM=1 PATH=$PROGRAMS:$work/bin:$PATH
git config --global user.name "Recipe Test"
git config --global user.email recipe-test@localhost
git config --global init.defaultBranch main

# A metadata document: its package, and classes (name=Uuid) one per line.
model() {
  local package=$1
  shift
  printf '<Package Name="%s">\n' "$package"
  for class in "$@"; do printf '  <Class Name="%s" Uuid="%s"><Attribute Name="Id" Uuid="a-id"/></Class>\n' "${class%=*}" "${class#*=}"; done
  printf '</Package>\n'
}

# The repository of a team: main, and a branch feature that adds, modifies,
# renames, deletes and breaks documents; fixed sets the broken one right in
# a last commit.
make_team_repository() {
  repo=$work/team
  rm -rf "$repo" && git init -q "$repo" && cd "$repo"
  mkdir models
  echo '*.meta.xml diff=qormeta' >.gitattributes
  cp "$source/examples/old.xml" models/sales.meta.xml
  model Gone C=c >models/gone.meta.xml
  model Names Order=c-order Customer=c-customer Invoice=c-invoice Store=c-store Old=c-last >"models/old name.meta.xml"
  model Stays One=c1 >models/stays.meta.xml
  git add -A && git commit -q -m base
  base=$(git rev-parse HEAD)
  git checkout -q -b feature
  cp "$source/examples/new.xml" models/sales.meta.xml
  model Added A=a B=b >models/added.meta.xml
  git mv "models/old name.meta.xml" "models/new name.meta.xml"
  sed -i 's/"Old"/"New"/' "models/new name.meta.xml"
  git rm -q models/gone.meta.xml
  printf '<Package Name="Stays">\n  <Class Name="One"/>\n</Package>\n' >models/stays.meta.xml
  git add -A && git commit -q -m feature
  if [ "${1:-}" = fixed ]; then
    model Stays One=c1 Two=c2 >models/stays.meta.xml
    git commit -q -a -m fixed
  fi
  head=$(git rev-parse HEAD)
}

# The runs of one CI recipe, given as a function that runs its commands in
# the team's repository and leaves its exit status in $status.
check_recipe() {
  local run_recipe=$1 report=$2
  make_team_repository
  "$run_recipe" >"$work/broken.log" 2>&1 || true
  [ "$status" -ne 0 ] || { cat "$work/broken.log" >&2; fail "the job passed with a broken document"; }
  expect_contains "$work/broken.log" "models/stays.meta.xml:2:3: error: the class <Class Name=\"One\"> has no Uuid (or an empty one)"
  for row in 'models/added.meta.xml' 'models/gone.meta.xml' 'models/new name.meta.xml' 'renamed from' \
    'models/sales.meta.xml' 'does not load'; do
    expect_contains "$repo/$report" "$row"
  done
  make_team_repository fixed
  "$run_recipe" >"$work/fixed.log" 2>&1 || true
  [ "$status" -eq 0 ] || { cat "$work/fixed.log" >&2; fail "the job failed on a range without problems"; }
  ! grep -qF 'does not load' "$repo/$report" || fail "the fixed document is reported as not loading"
  pass
}

# The steps of the GitHub workflow that run commands (not the actions, not the
# installation), one after the other as GitHub runs them, with the
# workflow's expressions evaluated for a pull request from feature to main.
run_github() {
  status=0
  cat >"$work/bin/gh" <<'EOF'
#!/bin/sh
# Stands in for GitHub's gh: keeps its arguments and the comment's body.
printf '%s\n' "$*" >"$HOME/gh.args"
while [ $# -gt 0 ]; do [ "$1" = --body-file ] && cp "$2" "$HOME/gh.body"; shift; done
EOF
  chmod +x "$work/bin/gh"
  python3 - "$source/examples/ci/github-actions.yml" "$base" "$head" >"$work/github-steps" <<'EOF'
import sys, yaml, shlex
workflow, base, head = sys.argv[1:]
values = {"github.event.pull_request.base.sha": base, "github.event.pull_request.head.sha": head,
          "github.token": "token", "github.event.pull_request.number": "7"}
for step in yaml.safe_load(open(workflow))["jobs"]["metadata"]["steps"]:
    if "run" not in step or step["name"].startswith("Install"):
        continue
    env = {name: value for name, value in step.get("env", {}).items()}
    for name, value in env.items():
        for expression, result in values.items():
            value = value.replace("${{ %s }}" % expression, result)
        assert "${{" not in value, value
        env[name] = value
    print("env %s bash --noprofile --norc -eo pipefail -c %s || exit $?" % (
        " ".join(shlex.quote("%s=%s" % item) for item in env.items()), shlex.quote(step["run"])))
EOF
  (cd "$repo" && bash -e "$work/github-steps") || status=$?
  [ -f "$HOME/gh.args" ] || return 0
  [ "$(cat "$HOME/gh.args")" = "pr comment 7 --body-file comment.md" ] || fail "gh was called as: $(cat "$HOME/gh.args")"
  cmp -s "$HOME/gh.body" "$repo/metadata-report.md" || fail "the comment is not the report"
  rm -f "$HOME/gh.args" "$HOME/gh.body"
}

# The job's script as GitLab runs it (one shell, stopping at the first
# failure), with the variables of a merge request pipeline.
run_gitlab() {
  status=0
  python3 -c 'import sys, yaml; print("\n".join(yaml.safe_load(open(sys.argv[1]))["metadata"]["script"]))' \
    "$source/examples/ci/gitlab-ci.yml" >"$work/gitlab-script"
  (cd "$repo" && CI_MERGE_REQUEST_DIFF_BASE_SHA=$base CI_COMMIT_SHA=$head bash -eo pipefail "$work/gitlab-script") || status=$?
  [ -f "$repo/metadata-report.html" ] || fail "no artifact metadata-report.html"
}

step_pre_commit() {
  # QORMetaDiff's repository as a team reaches it: a clone with the hooks file.
  git init -q "$work/QORMetaDiff"
  cp "$source/.pre-commit-hooks.yaml" "$work/QORMetaDiff/"
  git -C "$work/QORMetaDiff" add -A && git -C "$work/QORMetaDiff" commit -q -m hooks
  # The page's configuration, with the clone's folder for the placeholder.
  python3 - "$source/doc/check-and-ci.md" "$work/QORMetaDiff" >"$work/pre-commit-config.yaml" <<'EOF'
import re, sys
page, clone = sys.argv[1:]
blocks = [b for b in re.findall(r"```yaml\n(.*?)```", open(page).read(), re.S) if "id: qormeta-check" in b]
assert len(blocks) == 1, "doc/check-and-ci.md has no (or more than one) pre-commit configuration"
print(blocks[0].replace("/path/to/QORMetaDiff", clone), end="")
EOF
  [ "$(grep -c . "$work/pre-commit-config.yaml")" -eq 4 ] || fail "the page's configuration is not four lines"
  pass
  git init -q "$work/consumer" && cd "$work/consumer"
  cp "$work/pre-commit-config.yaml" .pre-commit-config.yaml
  PRE_COMMIT_HOME=$work/pre-commit-cache pre-commit install >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "pre-commit install"; }
  mkdir models
  printf '<Package Name="P">\n  <Class Name="Order"/>\n</Package>\n' >models/order.meta.xml
  printf 'not a metadata document' >models/notes.xml
  git add -A
  ! PRE_COMMIT_HOME=$work/pre-commit-cache git commit -q -m broken >"$work/refused.log" 2>&1 \
    || fail "a commit with a broken document was accepted"
  expect_contains "$work/refused.log" 'models/order.meta.xml:2:3: error: the class <Class Name="Order"> has no Uuid (or an empty one)'
  ! grep -q notes.xml "$work/refused.log" || fail "a file that is not a metadata document was checked"
  printf '<Package Name="P">\n  <Class Name="Order" Uuid="c-order"/>\n</Package>\n' >models/order.meta.xml
  git add -A
  PRE_COMMIT_HOME=$work/pre-commit-cache git commit -q -m good >"$work/accepted.log" 2>&1 \
    || { cat "$work/accepted.log" >&2; fail "a commit with a good document was refused"; }
  pass
}

case $step in
  pre-commit) step_pre_commit ;;
  github) check_recipe run_github metadata-report.md ;;
  gitlab) check_recipe run_gitlab metadata-report.html ;;
  *) fail "unknown step (pre-commit, github, gitlab)" ;;
esac
echo "$step: $checks checks passed"
