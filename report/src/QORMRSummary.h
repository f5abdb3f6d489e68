// SPDX-License-Identifier: Apache-2.0
// cReportSummary: the counts a report opens with. Classes and attributes
// count the elements the comparison reported on their own (the attributes
// of an added or deleted class travel with it); a move is counted as a move,
// not as a deleted and an added attribute. Fields count the field changes of
// the package, the classes and the attributes. The flags count the marks of
// every element, errors and warnings apart, by rule.
#pragma once

#include <string>
#include <vector>

#include "QORMRRangeReport.h"
#include "QORMRReport.h"

class cReportSummary {
public:
    struct Counts {
        int added = 0;
        int deleted = 0;
        int changed = 0;
        int moved = 0;
    };
    // The changes one rule flags.
    struct Flags {
        std::string rule;  // "QM102"
        int errors = 0;
        int warnings = 0;
    };

    explicit cReportSummary(const cReport& report);

    const Counts& Classes() const { return classes_; }
    const Counts& Attributes() const { return attributes_; }
    const Counts& Fields() const { return fields_; }
    // In rule order; empty when nothing is flagged.
    const std::vector<Flags>& Flagged() const { return flagged_; }

    // The flags of a revision range's files together.
    static std::vector<Flags> Flagged(const cRangeReport& range);
    // "QM102 attribute-deleted": the rule's id and name.
    static std::string RuleName(const std::string& rule);

private:
    void CountFields(const cReportElement& element);
    void CountMarks(const cReportElement& element);

    Counts classes_;
    Counts attributes_;
    Counts fields_;
    std::vector<Flags> flagged_;
};
