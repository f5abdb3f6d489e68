// SPDX-License-Identifier: Apache-2.0
// cMergeConflictLog: the conflicts of one merge, in the order they were met
// (the order of the documents), printed one line each and written as an XML
// document:
//   <MergeConflicts Base="..." Ours="..." Theirs="..." Count="n">
//     <Conflict Kind="Field" Element="Attribute" Name="Email" Uuid="a-1"
//               ParentElement="Class" ParentName="Customer" ParentUuid="c-1"
//               Field="Type" Base="varchar" Ours="text"/>
//   </MergeConflicts>
// A value a version does not have is left out (Theirs above); an empty one is
// written empty.
#pragma once

#include <cstdio>
#include <vector>

#include "QORMMergeConflict.h"
#include "QORMetaUtil/QORMUDomHandle.h"

class cMergeConflictLog {
public:
    void Add(cMergeConflict conflict) { conflicts_.push_back(std::move(conflict)); }
    const std::vector<cMergeConflict>& Conflicts() const { return conflicts_; }
    bool Empty() const { return conflicts_.empty(); }

    // Throws what the DOM throws.
    DOM_Document BuildDocument(const ZULUnicodeString& base, const ZULUnicodeString& ours,
                               const ZULUnicodeString& theirs) const;

private:
    std::vector<cMergeConflict> conflicts_;
};
