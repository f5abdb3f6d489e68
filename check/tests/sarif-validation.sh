#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Microsoft's SARIF validator (npm's @microsoft/sarif-multitool, its rules for
# SARIF and for GitHub code scanning) over QORMetaCheck -Format sarif for
# every rule and for problems without a place, and the SARIF 2.1.0 schema it
# ships (python3-jsonschema), which also checks the values of enumerations
# that the validator's reader drops without a word.
#   sarif-validation.sh install TOOLS          installs the validator into TOOLS once
#   sarif-validation.sh validate TOOLS CHECK DATA WORK
#       runs CHECK (QORMetaCheck) on the documents of DATA (check/tests/data)
#       so that every rule fires, validates each log in WORK and fails on any
#       finding of level error or warning (GitHub's rules name what code
#       scanning needs to show a result: each is an error here), on a log the
#       schema refuses, on a rule that no log shows, or on a canary that is not
#       caught: logs broken on purpose that each check must refuse.
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
  # QM101 to QM107 (with the field rules); QM002 to QM006; QM001; QM007;
  # problems of a whole file: an earlier version that does not load, a file that cannot be opened.
  "$check" -Format sarif -Config qormeta.toml -Old old.xml new.xml >changes.sarif || true
  "$check" -Format sarif documents.xml >documents.sarif || true
  "$check" -Format sarif unreadable.xml >unreadable.sarif || true
  "$check" -Format sarif unnamed.xml >unnamed.sarif || true
  "$check" -Format sarif -Old unreadable.xml new.xml >unplaced.sarif || true
  "$check" -Format sarif missing.xml >missing.sarif || true
  local logs="changes documents unreadable unnamed unplaced missing"
  # The canaries, each with what must catch it: a uri that begins with '/'
  # (SARIF's rule SARIF1004), a rule without help (GitHub's GH2012), a
  # level SARIF does not have (the schema).
  python3 - <<'PY'
import json
def canary(name, breaks):
    log = json.load(open("changes.sarif"))
    breaks(log["runs"][0])
    json.dump(log, open(f"canary-{name}.sarif", "w"), indent=2)
def slash(run):
    location = run["results"][0]["locations"][0]["physicalLocation"]["artifactLocation"]
    location["uri"] = "/" + location["uri"]
canary("SARIF1004", slash)
canary("GH2012", lambda run: run["tool"]["driver"]["rules"][0].pop("help", None))
canary("schema", lambda run: run["results"][0].update(level="fatal"))
PY
  local failed=0
  for log in $logs canary-SARIF1004 canary-GH2012; do
    "$(tool "$tools")" validate "./$log.sarif" --rule-kind "Sarif;Gh" -o "$log.findings.sarif" --log ForceOverwrite \
      >"$log.validate.log" 2>&1 || true
    python3 - "$log" <<'PY' || failed=1
import json, sys
log = sys.argv[1]
try:
    findings = json.load(open(log + ".findings.sarif", encoding="utf-8-sig"))
except (OSError, ValueError) as error:
    sys.exit(f"{log}.sarif: the validator wrote no findings ({error}); see {log}.validate.log")
# A result without a level is a warning (SARIF 3.27.10).
found = [(r.get("ruleId", ""), r.get("level", "warning"), r["message"]) for run in findings["runs"]
         for r in run.get("results", [])]
if log.startswith("canary-"):
    expected = log[len("canary-"):]
    if not any(rule == expected and level == "error" for rule, level, _ in found):
        sys.exit(f"{log}.sarif: the validator did not report {expected} as an error: its rules did not run; "
                 f"see {log}.validate.log")
    sys.exit(0)
bad = 0
for rule, level, message in found:
    text = message.get("text") or " ".join([message.get("id", "")] + message.get("arguments", []))
    print(f"{log}.sarif: {level}: {rule}: {text}", file=sys.stderr)
    bad |= level in ("error", "warning")
sys.exit(bad)
PY
  done
  # The schema the validator ships: the logs pass, the canary of a level SARIF does not have fails.
  python3 - "$(dirname "$(tool "$tools")")/sarif-2.1.0.json" $logs <<'PY' || failed=1
import json, sys
import jsonschema
validator = jsonschema.Draft7Validator(json.load(open(sys.argv[1], encoding="utf-8-sig")))
bad = 0
if not any(validator.iter_errors(json.load(open("canary-schema.sarif")))):
    print("the SARIF schema accepted a level SARIF does not have: it checks nothing", file=sys.stderr)
    bad = 1
for log in sys.argv[2:]:
    for error in validator.iter_errors(json.load(open(log + ".sarif"))):
        print(f"{log}.sarif: {error.json_path}: {error.message}", file=sys.stderr)
        bad = 1
sys.exit(bad)
PY
  # Every rule fired in one of the logs.
  python3 - $logs <<'PY' || failed=1
import json, sys
seen = {r["ruleId"] for log in sys.argv[1:] for run in json.load(open(log + ".sarif"))["runs"] for r in run["results"]}
every = {f"QM{n:03d}" for n in list(range(1, 8)) + list(range(101, 108))}
missing = sorted(every - seen)
if missing:
    sys.exit("no log shows " + ", ".join(missing))
PY
  return $failed
}

"$@"
