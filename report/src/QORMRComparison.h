// SPDX-License-Identifier: Apache-2.0
// cReportComparison: the diff's own comparison of two documents, run the way
// the diff host runs it (same run inputs, loading, parser and comparison), so
// that the report holds exactly what the diff document would.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "QORMDMetaDiffDoc.h"
#include "ZULBase/ZULUnicodeString.h"

class cReportComparison {
public:
    // oldFile may be empty: the new document is then compared with an empty package.
    cReportComparison(const ZULUnicodeString& oldFile, const ZULUnicodeString& newFile);
    ~cReportComparison();
    cReportComparison(const cReportComparison&) = delete;
    cReportComparison& operator=(const cReportComparison&) = delete;

    // Loads both documents and compares them: a success status, or a failure
    // whose error (ZULError::ZULGetLastError) says why.
    std::int32_t Run();
    cMetaDiffDoc& Result() { return *document_; }
    // The error line of a failed Run for a person: the error's own line, or,
    // for a package that neither document names, what is wrong in plain words.
    std::string FailureLine(std::int32_t status) const;

    // Whether neither package of a loaded result has a Name (the comparison
    // then refuses the pair), and why that stops a report of the versions
    // named oldName and newName (either may be empty: no such version).
    static bool NeitherNamed(const cMetaDiffDoc& result);
    static std::string UnnamedReason(const std::string& oldName, const std::string& newName);

private:
    std::int32_t initStatus_;
    std::string oldFile_;
    std::string newFile_;
    bool loaded_ = false;  // both documents loaded: a failure came from the comparison
    // The packages and the diff root, released before the run inputs as the diff host does.
    std::unique_ptr<cMetaDiffDoc> document_;
};
