#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs what doc/check-and-ci.md and examples/ci/ tell teams to run, on
# scratch repositories, so that none of it can rot:
#   pre-commit  the page's .pre-commit-config.yaml with the hooks of
#               .pre-commit-hooks.yaml: a broken document is refused with its
#               line, a good one committed; a staged change that loses data
#               refused, acknowledged it passes, a deleted document checked
#   github      the run steps of examples/ci/github-actions.yml on a pull
#               request's range, as GitHub runs them (a gh program stands in
#               for GitHub's API), from this repository and from a fork
#   gitlab      the script of examples/ci/gitlab-ci.yml on a merge request's range
# Each CI recipe runs twice: on a range with a broken document and changes
# that lose data (the report marks them, the check fails the job, its SARIF
# log or code quality report names them) and on one where the document is
# fixed and the changes acknowledged (all passes). Both take QORMetaDiff's
# packages from the base, never from the request.
#
# check-recipes.sh STEP SOURCE_DIR WORK_DIR
# Environment: PROGRAMS, the folders of the built QORMetaCheck and
# QORMetaReport (PATH form); the recipes find them on the PATH.
# SARIF_MULTITOOL (github): Microsoft's SARIF validator, installed for the
# check's own tests (SarifValidator.install).
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
  mkdir -p ci/qormetadiff
  echo "released build" >ci/qormetadiff/qormetadiff.deb
  git add -A && git commit -q -m base
  base=$(git rev-parse HEAD)
  git checkout -q -b feature
  cp "$source/examples/new.xml" models/sales.meta.xml
  model Added A=a B=b >models/added.meta.xml
  model Draft D=d >-draft.meta.xml  # a file name that looks like an option
  git mv "models/old name.meta.xml" "models/new name.meta.xml"
  sed -i 's/"Old"/"New"/' "models/new name.meta.xml"
  git rm -q models/gone.meta.xml
  printf '<Package Name="Stays">\n  <Class Name="One"/>\n</Package>\n' >models/stays.meta.xml
  echo "a build the request made" >ci/qormetadiff/qormetadiff.deb
  git add -A && git commit -q -m feature
  if [ "${1:-}" = fixed ]; then
    model Stays One=c1 Two=c2 >models/stays.meta.xml
    # The changes that lose data, acknowledged with their reason.
    printf '[[allow]]\nrule = "%s"\nuuid = "%s"\nreason = "migrated by hand"\n' \
      QM101 c QM101 c-invoice QM102 a-cust-fax QM104 a-region >.qormeta.toml
    git add -A && git commit -q -m fixed
  fi
  head=$(git rev-parse HEAD)
}

# The runs of one CI recipe, given as a function that runs its commands in
# the team's repository and leaves its exit status in $status; findings
# checks the file the recipe makes for code review.
check_recipe() {
  local run_recipe=$1 report=$2 findings=$3
  make_team_repository
  "$run_recipe" >"$work/broken.log" 2>&1 || true
  [ "$status" -ne 0 ] || { cat "$work/broken.log" >&2; fail "the job passed with a broken document"; }
  expect_contains "$work/broken.log" "models/stays.meta.xml:2:3: error: the class <Class Name=\"One\"> has no Uuid (or an empty one)"
  expect_contains "$work/broken.log" "models/sales.meta.xml:4:3: error: the attribute <Attribute Name=\"Fax\"> (Uuid \"a-cust-fax\", line 7 of $base:models/sales.meta.xml) is deleted"
  expect_contains "$work/broken.log" "models/gone.meta.xml:1:1: error: the class <Class Name=\"C\"> (Uuid \"c\", line 2 of $base:models/gone.meta.xml) is deleted"
  for row in 'models/added.meta.xml' 'models/gone.meta.xml' 'models/new name.meta.xml' 'renamed from' \
    'models/sales.meta.xml' 'does not load' 'QM102'; do
    expect_contains "$repo/$report" "$row"
  done
  "$findings" broken
  make_team_repository fixed
  "$run_recipe" >"$work/fixed.log" 2>&1 || true
  [ "$status" -eq 0 ] || { cat "$work/fixed.log" >&2; fail "the job failed on a range without problems"; }
  ! grep -qF 'does not load' "$repo/$report" || fail "the fixed document is reported as not loading"
  ! grep -qE 'QM10[124]' "$repo/$report" || fail "an acknowledged change is marked in the report"
  expect_contains "$work/fixed.log" "models/sales.meta.xml:14:3: warning: the class <Class Name=\"Address\"> is renamed"
  "$findings" fixed
}

# The SARIF log the GitHub recipe uploads: each change that loses data with
# its rule, file and element (none once they are acknowledged), and nothing
# Microsoft's validator (SARIF's and GitHub's rules) finds wrong.
check_github_sarif() {
  [ -s "$repo/metadata.sarif" ] || fail "no SARIF log metadata.sarif"
  [ "$(cat "$work/uploads")" = metadata.sarif ] || fail "the upload step does not name the SARIF log: $(cat "$work/uploads")"
  python3 - "$repo/metadata.sarif" "$1" <<'EOF' || fail "the SARIF log does not name the changes that lose data"
import json, sys
results = json.load(open(sys.argv[1]))["runs"][0]["results"]
found = {(r["ruleId"], r["level"], r["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
          r["message"]["text"].split(" (")[0]) for r in results}
planted = {("QM102", "error", "models/sales.meta.xml", 'the attribute <Attribute Name="Fax">'),
           ("QM101", "error", "models/gone.meta.xml", 'the class <Class Name="C">'),
           ("QM104", "error", "models/sales.meta.xml",
            'the attribute <Attribute Name="Region"> of the class <Class Name="Order"> is moved here from the class <Class Name="Customer">')}
renamed = ("QM105", "warning", "models/sales.meta.xml", 'the class <Class Name="Address"> is renamed from "Adress"')
wanted = planted | {renamed} if sys.argv[2] == "broken" else {renamed}
missing, unwanted = wanted - found, (planted - wanted) & found
if missing or unwanted:
    sys.exit("missing %s; acknowledged but listed %s" % (sorted(missing), sorted(unwanted)))
EOF
  pass
  [ -n "${SARIF_MULTITOOL:-}" ] || fail "SARIF_MULTITOOL, Microsoft's validator, is not set"
  "$SARIF_MULTITOOL" validate "$repo/metadata.sarif" --rule-kind "Sarif;Gh" -o "$work/findings.sarif" \
    --log ForceOverwrite >"$work/validate.log" 2>&1 || true
  python3 - "$work/findings.sarif" <<'EOF' || { cat "$work/validate.log" >&2; fail "the validator finds errors in the SARIF log"; }
import json, sys
findings = json.load(open(sys.argv[1], encoding="utf-8-sig"))
errors = [r for run in findings["runs"] for r in run.get("results", []) if r.get("level", "warning") == "error"]
for r in errors:
    print("%s: %s" % (r.get("ruleId"), r["message"].get("text", r["message"])), file=sys.stderr)
sys.exit(1 if errors else 0)
EOF
  pass
}

# GitLab's code quality report of the GitLab recipe, likewise.
check_gitlab_quality() {
  [ -s "$repo/gl-code-quality-report.json" ] || fail "no code quality report gl-code-quality-report.json"
  python3 - "$repo/gl-code-quality-report.json" "$1" <<'EOF' || fail "the code quality report does not name the changes that lose data"
import json, sys
issues = json.load(open(sys.argv[1]))
found = {(i["check_name"], i["severity"], i["location"]["path"], i["description"].split(" (")[0]) for i in issues}
planted = {("QM102", "critical", "models/sales.meta.xml", 'the attribute <Attribute Name="Fax">'),
           ("QM101", "critical", "models/gone.meta.xml", 'the class <Class Name="C">')}
wanted = planted if sys.argv[2] == "broken" else set()
if wanted - found or (planted - wanted) & found:
    sys.exit("missing %s; acknowledged but listed %s" % (sorted(wanted - found), sorted((planted - wanted) & found)))
assert len({i["fingerprint"] for i in issues}) == len(issues), "fingerprints repeat"
EOF
  pass
}

# The steps of the GitHub workflow that run commands (not the actions, not
# the installation), as GitHub runs them for a pull request from feature to
# main: the workflow's expressions evaluated, a step skipped after a failure
# unless its condition says always(), a failure of a step that may fail
# ignored. from: "team/models" for a branch of the repository, another name
# for a fork. The gh program keeps the pull request's comments in
# $HOME/comments (one file each) and fails while $HOME/gh-down exists.
run_github() {
  local from=${1:-team/models}
  status=0
  cat >"$work/bin/gh" <<'EOF'
#!/bin/sh
# Stands in for GitHub's API as the workflow calls it.
[ ! -e "$HOME/gh-down" ] || { echo "HTTP 503" >&2; exit 1; }
mkdir -p "$HOME/comments"
case "$*" in
  "api --paginate repos/team/models/issues/7/comments --jq "*)
    for comment in "$HOME"/comments/*; do
      [ -e "$comment" ] && head -n 1 "$comment" | grep -qxF '<!-- qormeta-report -->' && basename "$comment"
    done; exit 0 ;;
  "api -X PATCH repos/team/models/issues/comments/"*" -F body=@comment.md")
    id=${4##*/}; [ -f "$HOME/comments/$id" ] || exit 1; cp comment.md "$HOME/comments/$id" ;;
  "api repos/team/models/issues/7/comments -F body=@comment.md")
    cp comment.md "$HOME/comments/$(($(ls "$HOME/comments" | wc -l) + 1))" ;;
  *) echo "gh called as: $*" >&2; exit 1 ;;
esac
EOF
  chmod +x "$work/bin/gh"
  python3 - "$source/examples/ci/github-actions.yml" "$base" "$head" "$from" >"$work/github-steps" <<'EOF'
import re, shlex, sys, yaml
workflow, base, head, head_repository = sys.argv[1:]
values = {"github.event.pull_request.base.sha": base, "github.event.pull_request.head.sha": head,
          "github.token": "token", "github.event.pull_request.number": "7",
          "github.event.pull_request.head.repo.full_name": head_repository, "github.repository": "team/models"}
def evaluate(text):
    text = str(text)
    for expression, result in values.items():
        text = text.replace("${{ %s }}" % expression, result)
    assert "${{" not in text, text
    return text
def condition(text):  # the forms the workflow uses: always() && a == b
    terms = [term.strip() for term in text.split("&&")]
    always = "always()" in terms
    ok = all(values[term.split("==")[0].strip()] == values[term.split("==")[1].strip()] for term in terms if "==" in term)
    return always, ok
job = yaml.safe_load(open(workflow))["jobs"]["metadata"]
job_env = {name: evaluate(value) for name, value in job.get("env", {}).items()}
print("failed=0")
for step in job["steps"]:
    always, ok = condition(step["if"]) if "if" in step else (False, True)
    if step.get("uses", "").startswith("github/codeql-action/upload-sarif@") and ok:
        # The upload to code scanning, as an action: the file it would send is recorded.
        print("printf '%%s\\n' %s >>\"$UPLOADS\"" % shlex.quote(step["with"]["sarif_file"]))
    if "run" not in step or step["name"].startswith("Install") or not ok:
        continue
    env = dict(job_env, **{name: evaluate(value) for name, value in step.get("env", {}).items()})
    command = "env %s bash --noprofile --norc -eo pipefail -c %s" % (
        " ".join(shlex.quote("%s=%s" % item) for item in env.items()), shlex.quote(step["run"]))
    guard = "" if always else '[ "$failed" -ne 0 ] || '
    on_failure = "echo 'a step that may fail failed' >&2" if step.get("continue-on-error") else "failed=1"
    print("%s{ %s || %s; }" % (guard, command, on_failure))
print('exit "$failed"')
EOF
  mkdir -p "$work/runner"
  : >"$work/summary.md"
  : >"$work/uploads"
  (cd "$repo" && GITHUB_WORKSPACE=$repo GITHUB_REPOSITORY=team/models RUNNER_TEMP=$work/runner \
    GITHUB_STEP_SUMMARY=$work/summary.md UPLOADS=$work/uploads bash "$work/github-steps") || status=$?
  [ "$(cat "$work/runner/qormetadiff/ci/qormetadiff/qormetadiff.deb")" = "released build" ] \
    || fail "the packages were not taken from the base branch"
  expect_contains "$work/summary.md" "$(head -n 1 "$repo/metadata-report.md")"
  # The check's lines follow the report in the summary, as indented code.
  if [ -s "$repo/metadata-check.txt" ]; then
    expect_contains "$work/summary.md" "## QORMetaCheck"
    expect_contains "$work/summary.md" "    $(head -n 1 "$repo/metadata-check.txt")"
  fi
}

# A pull request from a branch of the repository: one comment, the report,
# updated in place on the next push; a failing API costs the job nothing.
# From a fork (read-only token): no comment is tried, the summary has it all.
check_github_comment() {
  make_team_repository
  rm -rf "$HOME/comments"
  run_github >"$work/first.log" 2>&1 || true
  run_github >"$work/second.log" 2>&1 || true
  [ "$(ls "$HOME/comments" | wc -l)" -eq 1 ] || fail "not one comment after two runs: $(ls "$HOME/comments")"
  { echo '<!-- qormeta-report -->'; cat "$repo/metadata-report.md"; } | cmp -s - "$HOME/comments/1" \
    || fail "the comment is not the report"
  pass
  touch "$HOME/gh-down"
  run_github >"$work/down.log" 2>&1 || true
  [ "$status" -ne 0 ] || fail "a failing comment step hid the check's failure"
  expect_contains "$work/down.log" "models/stays.meta.xml:2:3: error:"
  make_team_repository fixed
  run_github >"$work/down-fixed.log" 2>&1 || true
  [ "$status" -eq 0 ] || { cat "$work/down-fixed.log" >&2; fail "a failing comment step failed the job"; }
  rm "$HOME/gh-down"
  make_team_repository
  rm -rf "$HOME/comments"
  run_github someone/fork >"$work/fork.log" 2>&1 || true
  [ ! -e "$HOME/comments" ] || fail "a fork's pull request was commented on"
  [ ! -s "$work/uploads" ] || fail "a fork's pull request was uploaded to code scanning"
  expect_contains "$work/fork.log" "models/stays.meta.xml:2:3: error:"
}

# The workflow's cut of a long report: at most N characters, never inside a
# character, with the line that says so; a short report whole.
check_github_cut() {
  local cut
  cut=$(python3 -c 'import sys, yaml; print(yaml.safe_load(open(sys.argv[1]))["jobs"]["metadata"]["env"]["CUT"])' \
    "$source/examples/ci/github-actions.yml")
  python3 -c 'import sys; sys.stdout.write("x" * 59998 + "é中😀 and more")' >"$work/long.md"
  perl -CSD -0777 -e "$cut" 60000 'the rest is elsewhere' <"$work/long.md" >"$work/cut.md"
  python3 - "$work/cut.md" <<'EOF' || fail "the cut report is not what it should be"
import sys
text = open(sys.argv[1], encoding="utf-8").read()  # fails on a cut character
assert text.endswith("x" * 9998 + "é中\n\n*(cut: the rest is elsewhere)*\n"), text[59990:]
assert text.startswith("x" * 59998) and len(text) == 60000 + len("\n\n*(cut: the rest is elsewhere)*\n")
EOF
  pass
  printf 'short é\n' >"$work/short.md"
  perl -CSD -0777 -e "$cut" 60000 'elsewhere' <"$work/short.md" | cmp -s - "$work/short.md" || fail "a short report was changed"
  pass
}

# The job's script as GitLab runs it (one shell, stopping at the first
# failure), with the variables of a merge request pipeline; the packages'
# extraction from before_script too, not their installation.
run_gitlab() {
  status=0
  python3 -c '
import sys, yaml
job = yaml.safe_load(open(sys.argv[1]))["metadata"]
print("\n".join([line for line in job["before_script"] if "apt-get" not in line] + job["script"]))' \
    "$source/examples/ci/gitlab-ci.yml" | sed "s|/tmp/qormetadiff|$work/runner|g" >"$work/gitlab-script"
  rm -rf "$work/runner"
  (cd "$repo" && CI_MERGE_REQUEST_DIFF_BASE_SHA=$base CI_COMMIT_SHA=$head bash -eo pipefail "$work/gitlab-script") || status=$?
  [ -f "$repo/metadata-report.html" ] || fail "no artifact metadata-report.html"
  [ "$(cat "$work/runner/ci/qormetadiff/qormetadiff.deb")" = "released build" ] \
    || fail "the packages were not taken from the target branch"
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
  grep -qx '        verbose: true .*' "$work/pre-commit-config.yaml" || fail "the page's configuration is not verbose"
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
  # Good documents, one with a warning, one named like an option: committed,
  # and the warning is shown.
  printf '<Package Name="P">\n  <Class Name="Order" Uuid="c-order"/>\n</Package>\n' >models/order.meta.xml
  printf '<Package Name="Q">\n  <Class Name="A" Uuid="c-1"/>\n  <Class Name="A" Uuid="c-2"/>\n</Package>\n' >-q.meta.xml
  git add -A
  PRE_COMMIT_HOME=$work/pre-commit-cache git commit -q -m good >"$work/accepted.log" 2>&1 \
    || { cat "$work/accepted.log" >&2; fail "a commit with good documents was refused"; }
  expect_contains "$work/accepted.log" '-q.meta.xml:3:3: warning: the class <Class Name="A"> has the same Name as the class on line 2'
  check_staged_changes
  # The page's other choice: warnings refuse a commit.
  sed -i 's|^        # args: |        args: |' .pre-commit-config.yaml
  printf '<Package Name="Q">\n  <Class Name="B" Uuid="c-1"/>\n  <Class Name="B" Uuid="c-2"/>\n</Package>\n' >-q.meta.xml
  git add -A
  ! PRE_COMMIT_HOME=$work/pre-commit-cache git commit -q -m warned >"$work/warned.log" 2>&1 \
    || fail "a commit with a warning was accepted with -Werror"
  expect_contains "$work/warned.log" '-q.meta.xml:3:3: error: the class <Class Name="B"> has the same Name as the class on line 2 [-Werror]'
}

# The hook qormeta-check-changes, as the page's configuration sets it up:
# the staged deletion of an attribute is refused with the lines the page
# shows, while a deletion that is not staged is not the commit's (pre-commit
# stashes it); acknowledged in a staged .qormeta.toml, the same deletion
# passes; a commit that only deletes a document is checked too.
check_staged_changes() {
  local commit="git commit -q -m"
  export PRE_COMMIT_HOME=$work/pre-commit-cache
  mkdir -p models
  cp "$source/check/tests/data/old.xml" models/sales.meta.xml
  git add -A && $commit sales >"$work/sales.log" 2>&1 \
    || { cat "$work/sales.log" >&2; fail "a sound new document was refused"; }
  sed -i '/Name="Fax"/d' models/sales.meta.xml
  git add models/sales.meta.xml
  sed -i '/Name="Region"/d' models/sales.meta.xml  # not staged: not part of the commit
  ! $commit fax >"$work/fax.log" 2>&1 || fail "a commit that deletes an attribute was accepted"
  # Every line of the page's example of a refused commit.
  python3 - "$source/doc/check-and-ci.md" >"$work/refused-example.txt" <<'EOF'
import re, sys
blocks = [b for b in re.findall(r"```text\n(.*?)```", open(sys.argv[1]).read(), re.S) if "qormeta-check-changes" in b]
assert len(blocks) == 1, "doc/check-and-ci.md has no (or more than one) example of a refused commit"
print(blocks[0], end="")
EOF
  sed -E 's/duration: [0-9.]+s/duration: Ns/' "$work/fax.log" >"$work/fax-shown.log"
  while IFS= read -r line; do
    [ -z "$line" ] || expect_contains "$work/fax-shown.log" "$line"
  done < <(sed -E 's/duration: [0-9.]+s/duration: Ns/' "$work/refused-example.txt")
  ! grep -q 'Name="Region"' "$work/fax.log" || fail "a change that is not staged was checked"
  grep -q 'Name="Region"' models/sales.meta.xml && fail "the change that is not staged was lost"
  pass
  printf '[[allow]]\nrule = "QM102"\nuuid = "a-fax"\nreason = "archived"\n' >.qormeta.toml
  git add .qormeta.toml
  $commit acknowledged >"$work/acknowledged.log" 2>&1 \
    || { cat "$work/acknowledged.log" >&2; fail "an acknowledged deletion was refused"; }
  git checkout -q -- models/sales.meta.xml
  git rm -q models/sales.meta.xml
  ! $commit gone >"$work/gone.log" 2>&1 || fail "a commit that deletes a document was accepted"
  expect_contains "$work/gone.log" 'models/sales.meta.xml:1:1: error: the class <Class Name="Invoice"> (Uuid "c-inv", line 16 of HEAD:models/sales.meta.xml) is deleted'
  git reset -q HEAD models/sales.meta.xml && git checkout -q -- models/sales.meta.xml
}

case $step in
  pre-commit) step_pre_commit ;;
  github) check_recipe run_github metadata-report.md check_github_sarif && check_github_comment && check_github_cut ;;
  gitlab) check_recipe run_gitlab metadata-report.html check_gitlab_quality ;;
  *) fail "unknown step (pre-commit, github, gitlab)" ;;
esac
echo "$step: $checks checks passed"
