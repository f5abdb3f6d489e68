// SPDX-License-Identifier: Apache-2.0
// One fuzz case of the change check: an input cut at its NUL bytes (which no
// XML document may hold) into an old version, the new one and a mode:
//   old \0 new \0 mode
// new is an edit script over old's lines or a whole document
// (QORMMergeFuzzScript.h); left out, an empty script: old unchanged. The
// mode's first byte (0 when there is none):
//   bits 0-1  the configuration, written to a file and given with -Config:
//             0 none, 1 field rules, 2 rules' severities set (some off),
//             3 acknowledged changes ([[allow]] of Uuids the versions hold);
//             the bytes after it pick the entries
//   bit 2     the document deleted: old against no new version
//   bit 3     -Columns bytes
//   bit 4     -Werror
// The check runs as QORMetaCheck -Old runs it (cCheckRun::Execute, every
// -Format; a deleted document through the library's cChangeCheck, as the
// -Against form does), and the diff on the same pair (cQORMDApi, its diff
// file read back).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Runs the case in folder (which must exist; it is emptied first) and checks
// what every check must keep:
// - versions that load and that the diff compares: exit status 0 or 1, as
//   the errors listed say; others: a document problem (QM001 to QM007) and
//   no change problem;
// - each change problem at the start tag where it belongs in the new
//   document (found in its bytes, without the parser), or at 1:1 of a
//   deleted one, naming the old version's line of the start tag it lost;
// - the change rules agree with the diff: each class and each attribute copy
//   the diff deletes is reported once (QM101, QM102, or QM103 and QM104 at
//   its new place), or not at all where the configuration switches one of
//   those rules off or acknowledges it for that element or one added; a
//   re-created or moved element is one the diff adds; a field's problem is a
//   field the diff modifies; no change is reported twice;
// - the lines, SARIF and code quality report tell the same problems, the
//   JSON parses, the same run gives the same bytes again (the code quality
//   report, fingerprints and all);
// - the inputs stay as they were and nothing else is left in the folder.
// Returns "" when all holds, else what did not; compared, when given, is
// set to whether the diff compared the versions.
std::string QORMCRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size,
                             bool* compared = nullptr);
