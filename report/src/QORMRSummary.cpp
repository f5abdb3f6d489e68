// SPDX-License-Identifier: Apache-2.0
#include "QORMRSummary.h"

namespace {

void CountElement(cReportElement::Kind kind, cReportSummary::Counts& counts) {
    switch (kind) {
        case cReportElement::kAdded: ++counts.added; break;
        case cReportElement::kDeleted: ++counts.deleted; break;
        case cReportElement::kChanged: ++counts.changed; break;
        default: break;
    }
}

}  // namespace

cReportSummary::cReportSummary(const cReport& report) {
    CountFields(report.package);
    for (const cReportElement& section : report.classes) {
        CountElement(section.kind, classes_);
        CountFields(section);
        if (section.kind == cReportElement::kAdded || section.kind == cReportElement::kDeleted) continue;
        for (const cReportElement& item : section.items) {
            CountElement(item.kind, attributes_);
            CountFields(item);
        }
    }
    attributes_.moved = static_cast<int>(report.moves.size());
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
