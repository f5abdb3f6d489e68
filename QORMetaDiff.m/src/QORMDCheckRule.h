// SPDX-License-Identifier: Apache-2.0
// cCheckRule: what each rule of the check is, for the forms that describe
// their rules (SARIF) and for the configuration, which names rules by id:
// its id, a name, what it catches in a sentence and in full, how to act on
// it, its default severity and whether a team may change that severity.
// doc/check-rules.md has a section per rule, anchored at "qm102-attribute-deleted".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "QORMDCheckProblem.h"

struct cCheckRule {
    cCheckProblem::Rule rule;
    const char* id;           // "QM102"
    const char* name;         // "attribute-deleted"
    const char* summary;      // one sentence
    const char* description;  // what it catches and why that matters
    const char* help;         // what to do: fix, acknowledge, switch off
    cCheckProblem::Severity level;
    // A document rule whose errors the diff refuses cannot be lowered or
    // switched off: a document it finds does not compare at all.
    bool adjustable;

    // The section of doc/check-rules.md: "qm102-attribute-deleted".
    std::string Anchor() const;
    // The help with how to accept a change or leave the rule out, where one can.
    std::string FullHelp() const;

    // Every rule, in id order.
    static const std::vector<cCheckRule>& All();
    // The rule of that id ("QM102"), or null.
    static const cCheckRule* Find(std::string_view id);
    static const cCheckRule& Of(cCheckProblem::Rule rule);
};
