// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckProblem.h"

#include "QORMetaUtil/QORMUPrintableLine.h"

std::string cCheckProblem::Line(const std::string& file, bool warningsAsErrors) const {
    std::string line = file;
    if (at.line > 0) line += ":" + std::to_string(at.line) + ":" + std::to_string(at.column);
    const bool asError = severity == kError || warningsAsErrors;
    line += asError ? ": error: " : ": warning: ";
    line += text;
    if (severity == kWarning && warningsAsErrors) line += " [-Werror]";
    return QORMUPrintableLine(line);
}
