// SPDX-License-Identifier: Apache-2.0
#include "QORMDChangeCheck.h"

#include <xercesc/dom/DOMDocument.hpp>

#include "QORMDChangeRules.h"
#include "QORMDDocumentCheck.h"
#include "QORMDMetaDiffMgr.h"

namespace {

// Whether a version with these problems fails the diff's loading. A package
// without a Name loads: the comparison takes the name from the other version,
// and fails (below) only when neither has one.
bool StopsLoading(const std::vector<cCheckProblem>& problems) {
    for (const cCheckProblem& problem : problems)
        if (problem.severity == cCheckProblem::kError && problem.rule != cCheckProblem::kUnnamedPackage) return true;
    return false;
}

}  // namespace

cChangeCheck::cChangeCheck(const cChangePolicy& policy, bool byteColumns)
    : policy_(policy), byteColumns_(byteColumns) {}

DOM_Element cChangeCheck::Parsed::Root() const {
    if (status < 0 || document.isNull() || !document->getDocumentElement()) return DOM_Element();
    return document.share(document->getDocumentElement());
}

cChangeCheck::Parsed cChangeCheck::Parse(const cCheckVersion& version) const {
    Parsed parsed;
    parsed.details.recordDepth = cDocumentPlaces::kLevels;
    parsed.details.byteColumns = byteColumns_;
    const ZULUnicodeString name(version.name.c_str());
    parsed.status =
        version.file.empty()
            ? cDDLXMLParser::parseXMLBytes(*version.bytes, name, parsed.document, &parsed.details)
            : cDDLXMLParser::parseXMLFile(ZULUnicodeString(version.file.c_str()), parsed.document, &parsed.details);
    return parsed;
}

std::vector<cCheckProblem> cChangeCheck::DocumentProblems(std::vector<cCheckProblem> found) const {
    std::vector<cCheckProblem> problems;
    for (cCheckProblem& problem : found)
        if (policy_.SeverityOf(problem.rule, cChangePolicy::kDefault, problem.severity))
            problems.push_back(std::move(problem));
    return problems;
}

std::string cChangeCheck::FirstError(const Parsed& parsed) {
    for (const cCheckProblem& problem : cDocumentCheck::Of(parsed.status, parsed.document, parsed.details))
        if (problem.severity == cCheckProblem::kError)
            return (problem.at.line > 0 ? "line " + std::to_string(problem.at.line) + ": " : "") + problem.message;
    return "it does not load";
}

std::vector<cCheckProblem> cChangeCheck::Run(const cCheckVersion& oldVersion, const cCheckVersion& newVersion,
                                             bool newDeleted) {
    result_ = std::make_unique<cMetaDiffDoc>();
    compared_ = false;
    oldPlaces_ = newPlaces_ = cDocumentPlaces();
    std::vector<cCheckProblem> problems;
    DOM_Element newRoot;
    if (!newDeleted) {
        const Parsed parsed = Parse(newVersion);
        std::vector<cCheckProblem> found = cDocumentCheck::Of(parsed.status, parsed.document, parsed.details);
        // The document rules are the loader's: a version with an error that
        // stops it loading has no changes that can be told.
        const bool loads = !StopsLoading(found);
        problems = DocumentProblems(std::move(found));
        if (!loads || !oldVersion.Exists()) return problems;
        newRoot = parsed.Root();
        newPlaces_ = cDocumentPlaces(newRoot.get(), parsed.details.startTags);
    }
    // The new version's place for a problem of the comparison itself.
    const cDDLXMLPosition top = newDeleted ? cDDLXMLPosition{1, 1, 1} : cDDLXMLPosition{};
    const Parsed oldParsed = Parse(oldVersion);
    const DOM_Element oldRoot = oldParsed.Root();
    if (oldRoot.isNull() || !result_->CreateOldPackage(oldRoot)) {
        problems.push_back({cCheckProblem::kUnreadable, cCheckProblem::kWarning, top,
                            "the earlier version " + oldVersion.name + " does not load (" + FirstError(oldParsed) +
                                "), so no change is checked"});
        return problems;
    }
    oldPlaces_ = cDocumentPlaces(oldRoot.get(), oldParsed.details.startTags);
    if (!result_->CreateNewPackage(newRoot)) {
        problems.push_back({cCheckProblem::kUnreadable, cCheckProblem::kError, top, "it does not load"});
        return problems;
    }
    // A failed comparison is a package that neither version names, which the
    // document rules report (QM007) for a new version; a deleted document's
    // earlier version gets it here, where its classes' deletion would be.
    if (cMetaDiffMgr().processDiff(*result_) < 0) {
        if (newDeleted)
            problems.push_back({cCheckProblem::kUnnamedPackage, cCheckProblem::kError, top,
                                "the earlier version " + oldVersion.name +
                                    " has a package without a Name (or an empty one): the diff refuses a deleted "
                                    "document that names no package, so the deletion of its classes is not checked"});
        return problems;
    }
    compared_ = true;
    cChangeRules::Versions versions{&oldPlaces_, &newPlaces_, oldVersion.name, newDeleted};
    for (cCheckProblem& problem : cChangeRules(*result_, policy_, versions).Problems())
        problems.push_back(std::move(problem));
    return problems;
}
