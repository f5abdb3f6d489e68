// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckCodeQuality.h"

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

std::string cCheckCodeQuality::Write(const std::vector<cCheckedFile>& files, const cCheckProblem::Form& form) {
    Json issues = Json::array();
    for (const cCheckedFile& file : files) {
        const std::vector<std::string> fingerprints = file.Fingerprints();
        for (std::size_t i = 0; i < file.problems.size(); ++i) {
            const cCheckProblem& problem = file.problems[i];
            // GitLab's scale: an error blocks as a critical issue, a warning is a minor one.
            issues.push_back(
                {{"description", problem.message + " [" + problem.RuleId() + "]"},
                 {"check_name", problem.RuleId()},
                 {"fingerprint", fingerprints[i]},
                 {"severity", problem.IsError(form) ? "critical" : "minor"},
                 {"location", {{"path", file.path}, {"lines", {{"begin", std::max(problem.at.line, 1ul)}}}}}});
        }
    }
    return issues.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
