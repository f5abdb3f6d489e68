// SPDX-License-Identifier: Apache-2.0
// cBlobComparison: the diff's own comparison of two versions of a document
// held in memory (blobs read from a repository): each parsed by the diff's
// parser and loaded by the diff's rules, as cMetaDomMgr loads files, then
// compared by the diff's comparison. A version that is not there is an empty
// package, as a file left out of a diff run.
#pragma once

#include <memory>
#include <string>

#include "QORMDMetaDiffDoc.h"

class cBlobComparison {
public:
    enum Outcome { kCompared, kDoesNotLoad, kUnnamed, kFailed };

    // The versions (null where there is none) must outlive Run.
    cBlobComparison(const std::string* oldBytes, const std::string* newBytes);

    // Loads both versions, old first, and compares them. kDoesNotLoad: a
    // version does not parse or load (cDocumentCheck, in the library's core,
    // tells why); kUnnamed: neither version's package has a Name, which the
    // comparison refuses; kFailed: memory ran out.
    Outcome Run();
    cMetaDiffDoc& Result() { return *document_; }

private:
    const std::string* oldBytes_;
    const std::string* newBytes_;
    std::unique_ptr<cMetaDiffDoc> document_;
};
