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
    if (at.line > 0) line += ":" + std::to_string(at.line) + ":" + std::to_string(Column(form));
    line += IsError(form) ? ": error: " : ": warning: ";
    line += message;
    if (severity == kWarning && form.warningsAsErrors) line += " [-Werror]";
    line += " [" + RuleId() + "]";
    return QORMUPrintableLine(line);
}
