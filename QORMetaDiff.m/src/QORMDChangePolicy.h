// SPDX-License-Identifier: Apache-2.0
// cChangePolicy: what a team decided about the check's rules, as data (the
// programs read it from .qormeta.toml): a rule's severity raised, lowered or
// switched off, the fields whose numbers must not shrink (QM106) or whose
// changes are restricted (QM107), and the changes acknowledged one by one.
// Empty, it is every rule at its default severity and no field rule.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "QORMDCheckProblem.h"
#include "ZULBase/ZULUnicodeString.h"

struct cChangePolicy {
    enum Level { kDefault, kError, kWarning, kOff };

    struct FieldRule {
        std::string field;       // the field's name as documents write it
        Level narrowing = kOff;  // QM106: a number smaller than before
        Level change = kOff;     // QM107: a change that allow does not name
        // Allowed changes, old value to new ("*" any value on its side).
        std::vector<std::pair<std::string, std::string>> allow;

        bool Allows(const std::string& oldValue, const std::string& newValue) const;
    };

    // A change acknowledged: rule and the Uuid of the element it is about.
    struct Acknowledged {
        cCheckProblem::Rule rule;
        ZULUnicodeString key;  // the Uuid upper-cased, as the comparison matches Uuids
        std::string reason;
    };

    std::map<cCheckProblem::Rule, Level> levels;  // [rules]
    std::vector<FieldRule> fields;                // [fields.NAME]
    std::vector<Acknowledged> acknowledged;       // [[allow]]

    void Acknowledge(cCheckProblem::Rule rule, const std::string& uuid, const std::string& reason);
    // The severity of a problem of rule, whose own level (a field rule's) is
    // own: false when the rule or the field rule is off.
    bool SeverityOf(cCheckProblem::Rule rule, Level own, cCheckProblem::Severity& severity) const;
    // Whether a change of rule about an element of one of these upper-cased Uuids is acknowledged.
    bool IsAcknowledged(cCheckProblem::Rule rule, const std::vector<ZULUnicodeString>& keys) const;
    // The rule of the field of that name, or null.
    const FieldRule* Field(const std::string& name) const;
};
