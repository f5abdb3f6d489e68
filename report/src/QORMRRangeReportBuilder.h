// SPDX-License-Identifier: Apache-2.0
// cRangeReportBuilder: the report of a revision range of the repository that
// holds a folder. Each metadata document the range changed (cGitRepository)
// is compared from its blobs (cBlobComparison) and read into its report
// (cReportBuilder): an added file against nothing (everything added), a
// deleted one the other way, a renamed one under its two names. A version
// that does not load gets its errors from the check (cDocumentCheck), and
// the other files are reported all the same.
#pragma once

#include <string>
#include <vector>

#include "QORMDChangePolicy.h"
#include "QORMGitRepository.h"
#include "QORMRRangeReport.h"

class cRangeReportBuilder {
public:
    // Opens the repository and resolves range (A..B, A...B); throws
    // cGitError when either cannot be done. The policy sets the change
    // rules whose flagged changes each file's report marks.
    cRangeReportBuilder(const std::string& folder, const std::string& range, const cChangePolicy& policy);

    // pathspecs: which files are metadata documents (empty: .gitattributes
    // says, diff=qormeta). Throws cGitError when the repository cannot be read.
    cRangeReport Build(const std::vector<std::string>& pathspecs);

private:
    cRangeFile File(const cGitRepository::Change& change);

    cGitRepository repository_;
    const cChangePolicy& policy_;
    std::string rangeText_;
    cGitRepository::Range range_;
};
