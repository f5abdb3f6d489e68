// cMergeOutput: writes the merged file and the conflicts document, or
// nothing at all. The conflicts document goes to a temporary file beside its
// target first, the merged file is written atomically (a temporary file
// renamed into place), and only then is the conflicts file renamed into
// place: a failed run leaves every existing file as it was.
#pragma once

#include <string>

#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergeEngine.h"

class cMergeOutput {
public:
    // Writes the outcome to out (ours' or theirs' bytes unchanged when the
    // result is that version, else the built document) and, when conflicts
    // is not empty, the log there. Returns true, or false with the line that
    // says why in failure.
    static bool Write(const cMergeEngine& engine, cMergeEngine::Outcome outcome, const cMergeDocument& ours,
                      const cMergeDocument& theirs, const ZULUnicodeString& out, const cMergeConflictLog& log,
                      const ZULUnicodeString& conflicts, const ZULUnicodeString& base, std::string& failure);

private:
    static bool WriteMerged(const cMergeEngine& engine, cMergeEngine::Outcome outcome, const cMergeDocument& ours,
                            const cMergeDocument& theirs, const ZULUnicodeString& out, std::string& failure);
};
