// SPDX-License-Identifier: Apache-2.0
// cCheckCodeQuality: the problems of a check as GitLab's code quality report
// (a JSON array, one issue per problem: description, check_name, a
// fingerprint that stays while the problem does, severity, and the location's
// path from the top of the repository and line), which a merge request shows
// beside its changes.
#pragma once

#include <string>
#include <vector>

#include "QORMCheckRun.h"

class cCheckCodeQuality {
public:
    static std::string Write(const std::vector<cCheckedFile>& files, const cCheckProblem::Form& form);
};
