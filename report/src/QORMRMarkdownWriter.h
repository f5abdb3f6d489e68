// cMarkdownWriter: the report as markdown for a pull request: a summary
// table, the moves, then a heading per class and per attribute with a table
// of its fields. Every value is in a code span in its shown form
// (cShownValue), with a fence longer than any run of backticks in it and,
// in tables, its pipes escaped; other text has its punctuation escaped.
#pragma once

#include <string>

#include "QORMRReport.h"

class cMarkdownWriter {
public:
    std::string Write(const cReport& report);

private:
    void Summary(const cReport& report);
    void Moves(const cReport& report);
    void Element(const char* heading, const cReportElement& element, const cReport& report);
    void Fields(const cReportElement& element);
    void Node(int depth, const cReportNode& node);

    std::string out_;
};
