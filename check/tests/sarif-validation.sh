#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Microsoft's SARIF validator (npm's @microsoft/sarif-multitool, SARIF's and
# GitHub's rules) over QORMetaCheck -Format sarif for every rule, and the
# SARIF 2.1.0 schema it ships (python3-jsonschema). A canary log with an
# error proves each of them checks something.
#   sarif-validation.sh install TOOLS          installs the validator into TOOLS once
#   sarif-validation.sh validate TOOLS CHECK DATA WORK
#       runs CHECK (QORMetaCheck) on the documents of DATA (check/tests/data)
#       so that every rule fires, validates each log in WORK and fails on any
#       result of level error, or on a rule that no log shows.
set -euo pipefail
tool() { echo "$1/node_modules/@microsoft/sarif-multitool-linux/Sarif.Multitool"; }

install() {
  local tools=$1
  if [ -x "$(tool "$tools")" ]; then return 0; fi
  mkdir -p "$tools"
  if ! timeout 600 npm install --prefix "$tools" --no-audit --no-fund --loglevel=error @microsoft/sarif-multitool \
    >"$tools/npm.log" 2>&1; then
    cat "$tools/npm.log" >&2
    echo "the SARIF validator could not be installed: npm install @microsoft/sarif-multitool failed (is the npm registry reachable?)" >&2
    exit 1
  fi
  # npm 11 does not run the package's install script, which makes the binary executable.
  chmod u+x "$(tool "$tools")"
}

validate() {
  local tools=$1 check=$2 data=$3 work=$4
  rm -rf "$work" && mkdir -p "$work"
  cp "$data"/*.xml "$data"/qormeta.toml "$work"/
  cd "$work"
  # 1: QM101 to QM107 (with the field rules); 2: QM002 to QM006; 3: QM001; 4: QM007.
  "$check" -Format sarif -Config qormeta.toml -Old old.xml new.xml >changes.sarif || true
  "$check" -Format sarif documents.xml >documents.sarif || true
  "$check" -Format sarif unreadable.xml >unreadable.sarif || true
  "$check" -Format sarif unnamed.xml >unnamed.sarif || true
  # A canary: a log with a level SARIF does not have, which the validator must report.
  python3 -c 'import json; d = json.load(open("changes.sarif")); d["runs"][0]["results"][0]["level"] = "fatal"
json.dump(d, open("canary.sarif", "w"))'
  local failed=0 canary_caught=1
  for log in canary changes documents unreadable unnamed; do
    "$(tool "$tools")" validate "./$log.sarif" --rule-kind "Sarif;Gh" -o "$log.findings.sarif" --log ForceOverwrite \
      >"$log.validate.log" 2>&1 || true
    python3 - "$log" <<'PY' || { [ "$log" = canary ] && canary_caught=0 || failed=1; }
import json, sys
log = sys.argv[1]
try:
    findings = json.load(open(log + ".findings.sarif", encoding="utf-8-sig"))
except (OSError, ValueError) as error:
    sys.exit(f"{log}.sarif: the validator wrote no findings ({error}); see {log}.validate.log")
errors = [r for run in findings["runs"] for r in run.get("results", []) if r.get("level", "warning") == "error"]
for r in errors:
    if log != "canary":
        print(f"{log}.sarif: {r.get('ruleId')}: {r['message'].get('text', r['message'])}", file=sys.stderr)
# The canary must have errors; the others none.
sys.exit(0 if bool(errors) == (log == "canary") else 1)
PY
  done
  if [ "$canary_caught" = 0 ]; then
    echo "warning: the validator reported nothing in a log with a level SARIF does not have: its rules did not run" \
      "here; every log is also checked against the SARIF 2.1.0 schema it ships" >&2
  fi
  # The schema the validator ships, applied with python3-jsonschema: the canary fails it, the logs pass.
  python3 - "$(dirname "$(tool "$tools")")/sarif-2.1.0.json" <<'PY' || failed=1
import json, sys
import jsonschema
schema = json.load(open(sys.argv[1], encoding="utf-8-sig"))
validator = jsonschema.Draft7Validator(schema)
bad = 0
for log in ("canary", "changes", "documents", "unreadable", "unnamed"):
    errors = list(validator.iter_errors(json.load(open(log + ".sarif"))))
    if log == "canary" and not errors:
        print("the SARIF schema accepted the canary: it checks nothing", file=sys.stderr)
        bad = 1
    if log != "canary":
        for error in errors:
            print(f"{log}.sarif: {error.json_path}: {error.message}", file=sys.stderr)
            bad = 1
sys.exit(bad)
PY
  # Every rule fired in one of the logs.
  python3 - <<'PY' || failed=1
import json, sys
seen = {r["ruleId"] for log in ("changes", "documents", "unreadable", "unnamed")
        for run in json.load(open(log + ".sarif"))["runs"] for r in run["results"]}
every = {f"QM{n:03d}" for n in list(range(1, 8)) + list(range(101, 108))}
missing = sorted(every - seen)
if missing:
    sys.exit("no log shows " + ", ".join(missing))
PY
  return $failed
}

"$@"
