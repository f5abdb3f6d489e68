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
    // Before the merge: reads the three files (base null: none) and maps ours'.
    void Read(const cMergeDocument* base, const cMergeDocument& ours, const cMergeDocument& theirs);
    // The versions' bytes, for the engine (cMergeEngine::UseSources); null
    // where a version was not read or cannot be mapped.
    const cMergeSource* Base() const { return Mapped(base_); }
    const cMergeSource* Ours() const { return Mapped(ours_); }
    const cMergeSource* Theirs() const { return Mapped(theirs_); }
    // kTheirsUnchanged when ours' file is the base's byte for byte,
    // kOursUnchanged when theirs' is; else kBuilt: the merge decides.
    cMergeEngine::Outcome Untouched() const;
    // After it: the merged file's bytes. Throws std::runtime_error when the
    // document written anew cannot be (cMergeOutput::Serialized).
    std::string Make(cMergeEngine::Outcome outcome, const cMergeEngine& engine, const cMergeDocument& ours,
                     const cMergeDocument& theirs);
    // merged (from Make) with conflict markers at each conflict of the engine's log.
    std::string Marked(const std::string& merged, const cMergeEngine& engine, const cMergeMarkers::Labels& labels);
    // Whether Make spliced the sources (false: one side's bytes or written anew).
    bool Spliced() const { return splicer_ != nullptr; }

private:
    // A version's file as read, mapped when needed.
    struct Version {
        const cMergeDocument* document = nullptr;
        bool read = false;
        bool mapped = false;  // tried
        cMergeSource source;  // holds the bytes read
        // Maps the version (once); false when it was not read.
        bool Map();
        const std::string& Bytes() const { return source.Bytes(); }
    };
    static const cMergeSource* Mapped(const Version& version) {
        return version.source.Built() ? &version.source : nullptr;
    }

    Version base_, ours_, theirs_;
    std::unique_ptr<cMergeSplicer> splicer_;
};
