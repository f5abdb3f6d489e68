// SPDX-License-Identifier: Apache-2.0
#include "QORMDCheckProblem.h"

#include <cstdio>

#include "QORMetaUtil/QORMUPrintableLine.h"

std::string cCheckProblem::RuleId() const {
    char id[8];
    std::snprintf(id, sizeof id, "QM%03d", static_cast<int>(rule) % 1000);
    return id;
}

std::string cCheckProblem::Line(const std::string& file, const Form& form) const {
    std::string line = file;
    const unsigned long column = form.byteColumns && at.byteColumn > 0 ? at.byteColumn : at.column;
    if (at.line > 0) line += ":" + std::to_string(at.line) + ":" + std::to_string(column);
    const bool asError = severity == kError || form.warningsAsErrors;
    line += asError ? ": error: " : ": warning: ";
    line += message;
    if (severity == kWarning && form.warningsAsErrors) line += " [-Werror]";
    return QORMUPrintableLine(line);
}
