// SPDX-License-Identifier: Apache-2.0
// One merge fuzz case: an input cut at its NUL bytes (which no XML document
// may hold) into base, ours, theirs and a mode:
//   base \0 ours \0 theirs \0 mode
// ours and theirs are edit scripts over the base or whole documents (see
// QORMMergeFuzzScript.h); a part left out is an empty script, the base
// unchanged. The mode's first byte, modulo 3, picks the -Out file: 0 a new
// one, 1 one that exists already (as does the -Conflicts file), 2 the ours
// file. The three versions are written to files and merged by
// cMergeRun::Execute with -Out and -Conflicts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Runs the case in folder (which must exist; it is emptied first) and checks
// what every merge must keep:
// - the exit status is 0 or 1 when the three versions load (an empty base is
//   none: both sides added the document) and none holds a class Uuid twice,
//   else 3, and conflicts (status 1) and failures are printed, a clean merge
//   is not;
// - on 0 and 1 the merged file loads by the diff's rules (and reads with a
//   namespace-aware parser when the versions do), holds no class Uuid twice
//   and no attribute Uuid in two classes that a move doubled;
// - ours equal to the base byte for byte gives theirs byte for byte, and the
//   other way round, with status 0;
// - with conflicts, the same merge with -Markers gives the merged file back
//   from ours' sections (QORMMResolved; a last line without a line end in a
//   block gets one), where no version holds a line that reads as a marker;
// - on 3 nothing is written: an existing -Out and -Conflicts stay as they
//   were; the inputs stay as they were (ours unless it is -Out) and nothing
//   else is left in the folder.
// - a merged file spliced from the sources reads as the merge's own
//   result, layout aside (QORMMCheckSplice);
// Returns "" when all holds, else what did not.
std::string QORMMRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size);
