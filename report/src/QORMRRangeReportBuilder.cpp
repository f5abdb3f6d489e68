// SPDX-License-Identifier: Apache-2.0
#include "QORMRRangeReportBuilder.h"

#include <memory>

#include "QORMDDocumentCheck.h"
#include "QORMRBlobComparison.h"
#include "QORMRComparison.h"
#include "QORMRReportBuilder.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

std::string Named(const cGitRepository::Revision& revision) { return revision.name + " (" + revision.shortId + ")"; }

// The errors of a version that stop it from loading, from the check, which
// lists them all with their places; added to file when there are any. A
// package without a Name loads: whether that stops a comparison depends on
// the other version.
void AddFailure(cRangeFile& file, const std::string& bytes, const std::string& revision, const std::string& path) {
    cRangeFailure failure{revision + ":" + path, path, {}};
    if (cDDLXMLParser::init() < 0) return;
    for (cCheckProblem& problem : cDocumentCheck::OfBytes(bytes, path))
        if (problem.severity == cCheckProblem::kError && problem.rule != cCheckProblem::kUnnamedPackage)
            failure.problems.push_back(std::move(problem));
    cDDLXMLParser::terminate();
    if (!failure.problems.empty()) file.failures.push_back(std::move(failure));
}

// A failure of the file as a whole, without a place.
cRangeFailure Unplaced(const std::string& version, const std::string& path, cCheckProblem::Rule rule,
                       const std::string& message) {
    return {version, path, {{rule, cCheckProblem::kError, {}, message}}};
}

}  // namespace

cRangeReportBuilder::cRangeReportBuilder(const std::string& folder, const std::string& range,
                                         const cChangePolicy& policy)
    : repository_(folder), policy_(policy), rangeText_(range), range_(repository_.Resolve(range)) {}

cRangeReport cRangeReportBuilder::Build(const std::vector<std::string>& pathspecs) {
    cRangeReport report;
    report.range = rangeText_;
    report.from = Named(range_.from);
    report.to = Named(range_.to);
    report.workTree = repository_.WorkTree();
    for (const cGitRepository::Change& change : repository_.Changes(range_, pathspecs))
        report.files.push_back(File(change));
    return report;
}

cRangeFile cRangeReportBuilder::File(const cGitRepository::Change& change) {
    static const cRangeFile::Change kChanges[] = {cRangeFile::kAdded, cRangeFile::kDeleted, cRangeFile::kModified,
                                                  cRangeFile::kRenamed};
    cRangeFile file;
    file.change = kChanges[change.kind];
    file.path = change.Path();
    if (change.kind == cGitRepository::Change::kRenamed) file.oldPath = change.oldPath;

    // The versions as git names them: rev:path.
    const std::string oldName = change.oldPath.empty() ? "" : range_.from.shortId + ":" + change.oldPath;
    const std::string newName = change.newPath.empty() ? "" : range_.to.shortId + ":" + change.newPath;
    const std::string& shownName = newName.empty() ? oldName : newName;
    std::unique_ptr<std::string> oldBytes, newBytes;
    if (!change.oldBlob.empty()) oldBytes = std::make_unique<std::string>(repository_.Read(change.oldBlob));
    if (!change.newBlob.empty()) newBytes = std::make_unique<std::string>(repository_.Read(change.newBlob));

    cBlobComparison comparison(oldBytes.get(), newBytes.get());
    switch (comparison.Run()) {
        case cBlobComparison::kCompared:
            file.loaded = true;
            file.report = cReportBuilder(comparison.Result(), oldName, newName, policy_).Build();
            break;
        case cBlobComparison::kDoesNotLoad:
            if (oldBytes) AddFailure(file, *oldBytes, range_.from.shortId, change.oldPath);
            if (newBytes) AddFailure(file, *newBytes, range_.to.shortId, change.newPath);
            if (file.failures.empty())  // the loader refused what the check passed: not expected
                file.failures.push_back(Unplaced(shownName, file.path, cCheckProblem::kUnreadable, "it does not load"));
            break;
        case cBlobComparison::kUnnamed:
            file.failures.push_back(Unplaced(shownName, file.path, cCheckProblem::kUnnamedPackage,
                                             cReportComparison::UnnamedReason(oldName, newName)));
            break;
        case cBlobComparison::kFailed:
            file.failures.push_back(
                Unplaced(shownName, file.path, cCheckProblem::kUnreadable,
                         "it could not be compared (memory ran out, or the XML parser could not start)"));
            break;
    }
    return file;
}
