// SPDX-License-Identifier: Apache-2.0
// cChangeCheck: the whole check of one document against its earlier
// version, as QORMetaCheck runs it and the report can: each version parsed
// once by the diff's parser, its start tags recorded as it is parsed; the
// document rules (cDocumentCheck) on that parse of the new version; both
// versions loaded from their parses by the diff's loading (cMetaDiffDoc) and
// compared by its comparison (cMetaDiffMgr); the change rules (cChangeRules)
// on the result. The team's policy sets severities and acknowledges changes,
// of both kinds of rules.
//   - no earlier version (a new document): the document rules only;
//   - an earlier version that does not load: one warning, no change checked;
//   - a new version with errors that stop it loading: those, no change
//     checked (a package without a Name loads: the changes are checked when
//     the earlier version names the package);
//   - no new version (a deleted document): a problem per class at 1:1, or
//     QM007 there when its earlier version names no package (the diff
//     refuses it).
// Needs cDDLXMLParser::init. Memory running out throws.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "QORMDChangePolicy.h"
#include "QORMDCheckProblem.h"
#include "QORMDDocumentPlaces.h"
#include "QORMDMetaDiffDoc.h"

// One version of a document: a file, bytes held in memory (a blob read from a
// repository), or none.
struct cCheckVersion {
    std::string name;                    // as messages name it: "old.xml", "HEAD:models/sales.meta.xml"
    std::string file;                    // read from this file (UTF-8 path) when not empty,
    const std::string* bytes = nullptr;  // else from these bytes when given; neither: no such version

    bool Exists() const { return !file.empty() || bytes; }
};

class cChangeCheck {
public:
    cChangeCheck(const cChangePolicy& policy, bool byteColumns);

    // The problems of newVersion, then those of its changes since
    // oldVersion, in the order of their places. newDeleted: the document
    // is gone (newVersion names it, without a file or bytes).
    std::vector<cCheckProblem> Run(const cCheckVersion& oldVersion, const cCheckVersion& newVersion,
                                   bool newDeleted = false);

    // The comparison of the last Run, when both versions loaded and were
    // compared (else null): the change problems' elements are its own.
    cMetaDiffDoc* Compared() { return compared_ ? result_.get() : nullptr; }

private:
    // A version parsed with its start tags recorded: its document and places,
    // and the parse's status and details.
    struct Parsed {
        DOM_Document document;
        cDDLXMLParseDetails details;
        int status = 0;
        DOM_Element Root() const;
    };
    Parsed Parse(const cCheckVersion& version) const;
    // The document problems found, severities as the policy sets them.
    std::vector<cCheckProblem> DocumentProblems(std::vector<cCheckProblem> found) const;
    // What a version that does not load tells in a warning: its first error.
    static std::string FirstError(const Parsed& parsed);

    const cChangePolicy& policy_;
    bool byteColumns_;
    std::unique_ptr<cMetaDiffDoc> result_;
    bool compared_ = false;
    cDocumentPlaces oldPlaces_, newPlaces_;
};
