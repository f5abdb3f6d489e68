// SPDX-License-Identifier: Apache-2.0
// cMergeMarkers: the merged text with git's conflict markers. Each conflict
// is shown in the smallest whole lines of the merged text that hold it:
//   <<<<<<< ours
//   those lines (ours' side, as merged)
//   ||||||| base
//   the same lines with the base's version in place of ours'
//   =======
//   the same lines with theirs' version
//   >>>>>>> theirs
// Conflicts on one line share one block. Outside the blocks the text is
// the merged text, so the ours' sections with it give the merged file back
// byte for byte (a last line without a line end gets one in its section,
// as git does). The lines of an element that no base holds (both sides
// added it) are none of the base's section. Marker lines, and the lines the
// base and theirs give, end as the merged text's first line does. A
// conflict that cannot be placed in the lines (a file written anew) puts the
// whole file in one block.
#pragma once

#include <string>
#include <vector>

#include "QORMMergeConflict.h"
#include "QORMMergeSource.h"
#include "QORMMergeSplicer.h"

class cMergeMarkers {
public:
    struct Labels {
        std::string ours = "ours", base = "base", theirs = "theirs";
    };
    // A range [begin, end) of the merged text and what the base and theirs
    // hold there; baseless: it lies in an element that no base holds.
    struct Hunk {
        std::size_t begin, end;
        std::string base, theirs;
        bool baseless = false;
    };

    // merged: the merged text; splicer: what made it from ours and theirs
    // (null when the file was written anew); base: the base's bytes mapped
    // (null without a base).
    cMergeMarkers(const std::string& merged, const cMergeSplicer* splicer, const cMergeSource& ours,
                  const cMergeSource& theirs, const cMergeSource* base)
        : merged_(merged), splicer_(splicer), ours_(ours), theirs_(theirs), base_(base) {}

    void Add(const cMergeConflict& conflict);
    std::string Write(const Labels& labels) const;
    // merged with a block around the lines of each hunk (see above).
    static std::string Mark(const std::string& merged, std::vector<Hunk> hunks, const Labels& labels);

private:
    bool Located(const cMergeConflict& conflict, Hunk& hunk) const;
    bool FieldHunk(const cMergeConflict& conflict, Hunk& hunk) const;
    bool TagHunk(const cMergeConflict& conflict, Hunk& hunk) const;
    bool NodesHunk(const cMergeConflict& conflict, Hunk& hunk) const;
    // Where an element missing from the merged text would stand.
    bool InsertionPoint(const cMergeConflict& conflict, std::size_t& at) const;
    // The text of nodes (first to last) of a version, as whole lines where
    // they stand alone on their lines; empty for none.
    std::string Lines(const cMergeSource* source, const cMergeConflict::Nodes& nodes, bool wholeLines) const;
    // The span of node in whichever source holds it.
    const cMergeSource::Span* SpanOf(const cMergeSource* source, const xercesc::DOMNode* node) const;
    // A field "name="value"" with the blank before it, in ours' encoding.
    std::string FieldText(const std::string& layout, const ZULUnicodeString& name,
                          const std::optional<ZULUnicodeString>& value, char quote) const;

    const std::string& merged_;
    const cMergeSplicer* splicer_;
    const cMergeSource& ours_;
    const cMergeSource& theirs_;
    const cMergeSource* base_;
    std::vector<Hunk> hunks_;
    bool whole_ = false;  // a conflict could not be placed
};
