// SPDX-License-Identifier: Apache-2.0
// cMergeText: the bytes of the merged file. Ours' file is read and mapped
// (cMergeSource) before the merge changes ours' document; after it, the
// result is one side's bytes unchanged, or ours' bytes with theirs' changes
// spliced in (cMergeSplicer), or, where the sources cannot be spliced (an
// encoding whose markup is not plain ASCII bytes, versions in different
// encodings, a file that changed while it was read), the result document
// written anew, laid out like the diff.
#pragma once

#include <memory>
#include <string>

#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergeEngine.h"
#include "QORMMergeMarkers.h"
#include "QORMMergeSource.h"
#include "QORMMergeSplicer.h"

class cMergeText {
public:
    // Before the merge: reads ours' file and maps it.
    void Read(const cMergeDocument& ours);
    // After it: the merged file's bytes. Throws std::runtime_error when the
    // document written anew cannot be (cMergeOutput::Serialized).
    std::string Make(cMergeEngine::Outcome outcome, const cMergeEngine& engine, const cMergeDocument& ours,
                     const cMergeDocument& theirs);
    // merged (from Make) with conflict markers at each conflict of the engine's log.
    std::string Marked(const std::string& merged, const cMergeEngine& engine, const cMergeDocument& theirs,
                       const cMergeDocument* base, const cMergeMarkers::Labels& labels);
    // Whether Make spliced the sources (false: one side's bytes or written anew).
    bool Spliced() const { return splicer_ != nullptr; }

private:
    cMergeSource ours_, theirs_, base_;
    bool oursRead_ = false;
    std::unique_ptr<cMergeSplicer> splicer_;
};
