// SPDX-License-Identifier: Apache-2.0
#include "QORMRSummary.h"

#include <algorithm>

#include "QORMDCheckRule.h"

namespace {

void CountElement(cReportElement::Kind kind, cReportSummary::Counts& counts) {
    switch (kind) {
        case cReportElement::kAdded: ++counts.added; break;
        case cReportElement::kDeleted: ++counts.deleted; break;
        case cReportElement::kChanged: ++counts.changed; break;
        default: break;
    }
}

cReportSummary::Flags& FlagsOf(std::vector<cReportSummary::Flags>& flagged, const std::string& rule) {
    const auto at =
        std::lower_bound(flagged.begin(), flagged.end(), rule,
                         [](const cReportSummary::Flags& flags, const std::string& id) { return flags.rule < id; });
    if (at != flagged.end() && at->rule == rule) return *at;
    return *flagged.insert(at, {rule});
}

}  // namespace

cReportSummary::cReportSummary(const cReport& report) {
    CountFields(report.package);
    CountMarks(report.package);
    for (const cReportElement& section : report.classes) {
        CountElement(section.kind, classes_);
        CountFields(section);
        CountMarks(section);
        if (section.kind == cReportElement::kAdded || section.kind == cReportElement::kDeleted) continue;
        for (const cReportElement& item : section.items) {
            CountElement(item.kind, attributes_);
            CountFields(item);
        }
    }
    attributes_.moved = static_cast<int>(report.moves.size());
}

std::vector<cReportSummary::Flags> cReportSummary::Flagged(const cRangeReport& range) {
    std::vector<Flags> flagged;
    for (const cRangeFile& file : range.files) {
        if (!file.loaded) continue;
        const cReportSummary summary(file.report);
        for (const Flags& flags : summary.Flagged()) {
            Flags& total = FlagsOf(flagged, flags.rule);
            total.errors += flags.errors;
            total.warnings += flags.warnings;
        }
    }
    return flagged;
}

std::string cReportSummary::RuleName(const std::string& rule) {
    const cCheckRule* known = cCheckRule::Find(rule);
    return known ? rule + " " + known->name : rule;
}

void cReportSummary::CountFields(const cReportElement& element) {
    if (element.kind != cReportElement::kChanged) return;
    for (const cReportField& field : element.fields) {
        switch (field.kind) {
            case cReportField::kChanged: ++fields_.changed; break;
            case cReportField::kAdded: ++fields_.added; break;
            case cReportField::kDeleted: ++fields_.deleted; break;
            case cReportField::kSame: break;
        }
    }
}

void cReportSummary::CountMarks(const cReportElement& element) {
    for (const cReportMark& mark : element.marks) {
        Flags& flags = FlagsOf(flagged_, mark.rule);
        ++(mark.error ? flags.errors : flags.warnings);
    }
    for (const cReportElement& item : element.items) CountMarks(item);
}
