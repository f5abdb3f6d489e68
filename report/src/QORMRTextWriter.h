// SPDX-License-Identifier: Apache-2.0
// cTextWriter: the report as plain text for a terminal or a git pager: one
// block per class, a line under an element for each change a rule flags
// (! error QM102: ...), a marker per field line (~ changed, + added, - deleted),
// every line within the width (long values continue on the next lines, in
// quotes), coloured by marker when asked (standard output is a terminal).
#pragma once

#include <string>
#include <vector>

#include "QORMRRangeReport.h"
#include "QORMRReport.h"
#include "QORMRSummary.h"

class cTextWriter {
public:
    static constexpr int kWidth = 100;

    explicit cTextWriter(bool colour, int width = kWidth);
    std::string Write(const cReport& report);
    // A revision range: its ends, a table of the files with the counts of
    // their summaries, then a section per file (its report, or the errors of
    // the version that does not load).
    std::string Write(const cRangeReport& range);

private:
    enum Style { kPlain, kBold, kGreen, kRed, kYellow, kCyan };

    void Line(int indent, const std::string& text, Style style = kPlain);
    void Blank() { out_ += '\n'; }
    void Document(const cReport& report);
    void Summary(const cReport& report);
    void RangeSummary(const cRangeReport& range);
    // The flagged changes by rule, errors and warnings apart (nothing when none is).
    void Flagged(const std::vector<cReportSummary::Flags>& flagged);
    void Moves(const cReport& report);
    void Element(int indent, const cReportElement& element, const cReport& report);
    void Field(int indent, const cReportField& field);
    // A flagged change under its element: ! error QM102: message
    void Mark(int indent, const cReportMark& mark);
    void Node(int indent, const cReportNode& node, char marker, int depth);
    // head and the value on one line, or the value below head when too wide.
    void TextLine(int indent, const std::string& head, const std::string& value, Style style);
    // A value on its own lines under a label, in quotes, cut to the width.
    void Value(int indent, const std::string& label, const std::string& value, Style style);

    bool colour_;
    int width_;
    std::string out_;
};
