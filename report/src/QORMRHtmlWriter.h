// SPDX-License-Identifier: Apache-2.0
// cHtmlWriter: the report as one self-contained HTML page: the summary with
// its chart and the moves written in the page, the sections as JSON that the
// page's own script draws (the first ones open, the others when opened, so
// that a large report stays light), a filter box, old and new values side by
// side with the part that differs marked, the changes the rules flag marked
// with their rule and severity, and a switch that shows only those (also
// set by opening the page at #flagged). A content security policy keeps the
// page from loading anything.
#pragma once

#include <string>

#include "QORMRRangeReport.h"
#include "QORMRReport.h"
#include "QORMRSummary.h"

class cHtmlWriter {
public:
    std::string Write(const cReport& report);
    // A revision range on one page: its ends, a table of the files with the
    // counts of their summaries, one filter box, then a part per file (its
    // report with its own summary and sections, or the errors of the version
    // that does not load).
    std::string Write(const cRangeReport& range);

private:
    void Head(const std::string& title);
    // A report's heading, summary and moves.
    void Document(const cReport& report);
    void Summary(const cReport& report);
    void RangeSummary(const cRangeReport& range);
    // A table of the flagged changes by rule (nothing when none is).
    void Flagged(const std::vector<cReportSummary::Flags>& flagged);
    void Moves(const cReport& report);
    void Tools();
    // The place where the script draws the report's sections; their data is
    // added to data, the JSON array of every such place's sections.
    void Sections(const cReport& report, std::string& data);
    // The data and the script that draws the sections from it, and the page's end.
    void Finish(const std::string& data);
    std::string Heading(int level) const { return "h" + std::to_string(level + depth_); }

    std::string out_;
    int depth_ = 0;  // levels a report's headings go down (within a range's page)
};
