// SPDX-License-Identifier: Apache-2.0
#include "QORMRWording.h"

#include "QORMRShownValue.h"

const char* cReportWording::Of(cReportElement::Kind kind) {
    switch (kind) {
        case cReportElement::kAdded: return "added";
        case cReportElement::kDeleted: return "deleted";
        case cReportElement::kChanged: return "changed";
        case cReportElement::kUnchanged: return "attributes changed";
        case cReportElement::kMovedIn: return "moved from";
        case cReportElement::kMovedOut: return "moved to";
    }
    return "";
}

const char* cReportWording::Of(cReportField::Kind kind) {
    switch (kind) {
        case cReportField::kSame: return "same";
        case cReportField::kChanged: return "changed";
        case cReportField::kAdded: return "added";
        case cReportField::kDeleted: return "deleted";
    }
    return "";
}

const char* cReportWording::Of(cReportField::Note note) {
    switch (note) {
        case cReportField::kNoNote: return "";
        case cReportField::kRenamed: return "renamed";
        case cReportField::kUuidCaseOnly: return "letter case only";
    }
    return "";
}

char cReportWording::Marker(cReportField::Kind kind) {
    switch (kind) {
        case cReportField::kSame: return ' ';
        case cReportField::kChanged: return '~';
        case cReportField::kAdded: return '+';
        case cReportField::kDeleted: return '-';
    }
    return ' ';
}

const char* cReportWording::Severity(const cReportMark& mark) { return mark.error ? "error" : "warning"; }

std::string cReportWording::Of(const cReportMark& mark) { return std::string(Severity(mark)) + " " + mark.rule; }

std::string cReportWording::Label(const std::string& tag, const std::string& name, const std::string& uuid) {
    std::string label = cShownValue::Of(tag);
    if (!name.empty()) label += " " + cShownValue::Of(name);
    if (!uuid.empty()) label += " (" + cShownValue::Of(uuid) + ")";
    return label;
}

std::string cReportWording::NothingDiffers(const cReport& report, std::string (*shown)(const std::string& file)) {
    if (!report.nothingCompared) {
        const auto file = [&](const std::string& name) {
            return name.empty() ? std::string("an empty package") : shown(name);
        };
        return "No differences between " + file(report.oldFile) + " and " + file(report.newFile) + ".";
    }
    const std::string which = report.oldFile.empty()   ? shown(report.newFile) + " holds no class"
                              : report.newFile.empty() ? shown(report.oldFile) + " holds no class"
                                                       : "neither " + shown(report.oldFile) + " nor " +
                                                             shown(report.newFile) + " holds a class";
    return "Nothing was compared: " + which +
           ", and without classes the comparison does not look at the package's own fields either.";
}

std::string cReportWording::Status(const cReportElement& element, const cReport& report) {
    std::string status = Of(element.kind);
    if (element.move >= 0) {
        const cReportMove& move = report.moves[static_cast<std::size_t>(element.move)];
        status += " " + (element.kind == cReportElement::kMovedIn ? Label(move.fromTag, move.fromName, move.fromUuid)
                                                                  : Label(move.toTag, move.toName, move.toUuid));
    }
    if (element.renamed) status += ", renamed from " + cShownValue::Of(element.oldName);
    return status;
}
