// SPDX-License-Identifier: Apache-2.0
// cMarkdownWriter: the report as markdown for a pull request: a summary
// table, the moves, then a heading per class and per attribute with a list
// of the changes the rules flag and a table of its fields. Every value is in a code span in its shown form
// (cShownValue), with a fence longer than any run of backticks in it and,
// in tables, its pipes escaped; other text has its punctuation escaped.
#pragma once

#include <string>

#include "QORMRRangeReport.h"
#include "QORMRReport.h"
#include "QORMRSummary.h"

class cMarkdownWriter {
public:
    std::string Write(const cReport& report);
    // A revision range: its ends, a table of the files with the counts of
    // their summaries, then a section per file (its report, its headings two
    // levels down, or the errors of the version that does not load).
    std::string Write(const cRangeReport& range);

private:
    void Document(const cReport& report);
    // The marks of a heading of level (1 to 3 in a document's report).
    std::string Heading(int level) const { return std::string(static_cast<std::size_t>(level + depth_), '#'); }
    void Summary(const cReport& report);
    void RangeSummary(const cRangeReport& range);
    // A table of the flagged changes by rule (nothing when none is).
    void Flagged(const std::vector<cReportSummary::Flags>& flagged);
    void Moves(const cReport& report);
    void Element(int level, const cReportElement& element, const cReport& report);
    void Fields(const cReportElement& element);
    void Node(int depth, const cReportNode& node);

    std::string out_;
    int depth_ = 0;  // levels a document's headings go down (within a range's report)
};
