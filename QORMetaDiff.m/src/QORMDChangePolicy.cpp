// SPDX-License-Identifier: Apache-2.0
#include "QORMDChangePolicy.h"

#include <algorithm>

#include "QORMDCheckRule.h"

bool cChangePolicy::FieldRule::Allows(const std::string& oldValue, const std::string& newValue) const {
    return std::any_of(allow.begin(), allow.end(), [&](const auto& change) {
        return (change.first == "*" || change.first == oldValue) && (change.second == "*" || change.second == newValue);
    });
}

void cChangePolicy::Acknowledge(cCheckProblem::Rule rule, const std::string& uuid, const std::string& reason) {
    ZULUnicodeString key(uuid.c_str());
    key.ToUpper();
    acknowledged.push_back({rule, std::move(key), reason});
}

bool cChangePolicy::SeverityOf(cCheckProblem::Rule rule, Level own, cCheckProblem::Severity& severity) const {
    const auto set = levels.find(rule);
    const Level level = set != levels.end() && set->second != kDefault ? set->second : own;
    if (level == kOff) return false;
    severity = level == kError     ? cCheckProblem::kError
               : level == kWarning ? cCheckProblem::kWarning
                                   : cCheckRule::Of(rule).level;
    return true;
}

bool cChangePolicy::IsAcknowledged(cCheckProblem::Rule rule, const std::vector<ZULUnicodeString>& keys) const {
    return std::any_of(acknowledged.begin(), acknowledged.end(), [&](const Acknowledged& entry) {
        return entry.rule == rule && std::find(keys.begin(), keys.end(), entry.key) != keys.end();
    });
}

const cChangePolicy::FieldRule* cChangePolicy::Field(const std::string& name) const {
    const auto found =
        std::find_if(fields.begin(), fields.end(), [&](const FieldRule& rule) { return rule.field == name; });
    return found == fields.end() ? nullptr : &*found;
}
