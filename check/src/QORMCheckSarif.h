// SPDX-License-Identifier: Apache-2.0
// cCheckSarif: the problems of a check as a SARIF 2.1.0 log, for code
// scanning (GitHub) and other SARIF viewers: one run whose tool describes
// every rule (id, name, short and full description, help with a link to its
// section of doc/check-rules.md, default level), one result per problem with
// the file's uri relative to the top of the repository (uriBaseId SRCROOT),
// its region (line and column, columns in UTF-16 code units as the run
// states; line 1 alone for a problem of the whole file), its level and a
// fingerprint that stays while the problem does.
#pragma once

#include <string>
#include <vector>

#include "QORMCheckRun.h"

class cCheckSarif {
public:
    // top: the absolute folder the files' paths start from, ending with '/'.
    static std::string Write(const std::vector<cCheckedFile>& files, const std::string& top,
                             const cCheckProblem::Form& form);
    // A path as a relative URI reference: each byte that is not unreserved or '/' percent-encoded.
    static std::string Uri(const std::string& path);
    // An absolute folder ('/' separated) as a file URI: file:///srv/x/, or
    // file:///C:/x/ for a folder on a Windows drive.
    static std::string FileUri(const std::string& folder);
};
