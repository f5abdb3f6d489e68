// SPDX-License-Identifier: Apache-2.0
#include "QORMRTextWriter.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "QORMRDisplayWidth.h"
#include "QORMRShownValue.h"
#include "QORMRSummary.h"
#include "QORMRWording.h"

namespace {

// Deeper content stops moving right here, so that lines keep room for text.
constexpr int kMaxIndent = 40;
// The narrowest piece a cut value is given.
constexpr int kMinPiece = 20;

std::string Count(int count) { return std::to_string(count); }

}  // namespace

cTextWriter::cTextWriter(bool colour, int width) : colour_(colour), width_(width) {}

std::string cTextWriter::Write(const cReport& report) {
    out_.clear();
    Document(report);
    return std::move(out_);
}

void cTextWriter::Document(const cReport& report) {
    if (report.empty) {
        out_ += cReportWording::NothingDiffers(report, [](const std::string& file) { return cShownValue::Of(file); }) +
                "\n";
        return;
    }
    Line(0, "Changes to package " + cShownValue::Of(report.packageName), kBold);
    Line(2, "old: " + (report.oldFile.empty() ? "none (everything is added)" : cShownValue::Of(report.oldFile)));
    Line(2, "new: " + (report.newFile.empty() ? "none (everything is deleted)" : cShownValue::Of(report.newFile)));
    Blank();
    Summary(report);
    Moves(report);
    if (report.PackageShown()) {
        Blank();
        Element(0, report.package, report);
    }
    for (const cReportElement& section : report.classes) {
        Blank();
        Element(0, section, report);
    }
}

std::string cTextWriter::Write(const cRangeReport& range) {
    out_.clear();
    Line(0, "Metadata documents changed in " + cShownValue::Of(range.range), kBold);
    Line(2, "from: " + range.from);
    Line(2, "to:   " + range.to);
    Blank();
    if (range.files.empty()) {
        Line(0, "No metadata document differs.");
        return std::move(out_);
    }
    RangeSummary(range);
    for (const cRangeFile& file : range.files) {
        Blank();
        std::string heading = "== " + cShownValue::Of(file.path) + ": " + cRangeFile::Word(file.change);
        if (!file.oldPath.empty()) heading += " from " + cShownValue::Of(file.oldPath);
        Line(0, heading, kBold);
        if (file.loaded) {
            Document(file.report);
            continue;
        }
        for (const cRangeFailure& failure : file.failures) {
            Line(2, "The version " + cShownValue::Of(failure.version) + " does not load:", kRed);
            for (const std::string& line : failure.Lines()) Line(4, line, kRed);
        }
    }
    return std::move(out_);
}

void cTextWriter::RangeSummary(const cRangeReport& range) {
    // Paths wider than this stand on a line of their own, their counts below.
    constexpr int kFileColumn = 34;
    const auto pad = [](std::string text, int width) {
        return text + std::string(static_cast<std::size_t>(std::max(0, width - cDisplayWidth::Of(text))), ' ');
    };
    int fileWidth = 4;
    for (const cRangeFile& file : range.files)
        fileWidth = std::max(fileWidth, std::min(kFileColumn, cDisplayWidth::Of(cShownValue::Of(file.path))));
    char counts[128];
    Line(0, pad("Summary", 2 + fileWidth + 2 + 9) + pad(" classes", 25) + "attributes", kBold);
    std::snprintf(counts, sizeof counts, "%6s%8s%8s   %6s%8s%8s%6s", "added", "deleted", "changed", "added", "deleted",
                  "changed", "moved");
    Line(2, pad("file", fileWidth) + "  " + pad("change", 9) + counts);
    for (const cRangeFile& file : range.files) {
        const std::string path = cShownValue::Of(file.path);
        std::string row = std::string(2, ' ');
        if (cDisplayWidth::Of(path) > fileWidth) {
            Line(2, path);
            row += std::string(static_cast<std::size_t>(fileWidth), ' ');
        } else {
            row += pad(path, fileWidth);
        }
        row += "  " + pad(cRangeFile::Word(file.change), 9);
        if (file.loaded) {
            const cReportSummary summary(file.report);
            const cReportSummary::Counts& classes = summary.Classes();
            const cReportSummary::Counts& attributes = summary.Attributes();
            std::snprintf(counts, sizeof counts, "%6d%8d%8d   %6d%8d%8d%6d", classes.added, classes.deleted,
                          classes.changed, attributes.added, attributes.deleted, attributes.changed, attributes.moved);
            row += counts;
        } else {
            row += "  does not load";
        }
        Line(0, row);
    }
    Flagged(cReportSummary::Flagged(range));
}

void cTextWriter::Flagged(const std::vector<cReportSummary::Flags>& flagged) {
    if (flagged.empty()) return;
    char line[128];
    Blank();
    std::snprintf(line, sizeof line, "%-25s%6s%10s", "Flagged", "errors", "warnings");
    Line(0, line, kBold);
    for (const cReportSummary::Flags& flags : flagged) {
        std::snprintf(line, sizeof line, "%-23s%6d%10d", cReportSummary::RuleName(flags.rule).c_str(), flags.errors,
                      flags.warnings);
        Line(2, line);
    }
}

void cTextWriter::Line(int indent, const std::string& text, Style style) {
    static const char* const kStyles[] = {"", "\x1b[1m", "\x1b[32m", "\x1b[31m", "\x1b[33m", "\x1b[36m"};
    indent = std::min(indent, kMaxIndent);
    const auto emit = [&](int margin, std::string_view line) {
        out_.append(static_cast<std::size_t>(margin), ' ');
        const bool styled = colour_ && style != kPlain;
        if (styled) out_ += kStyles[style];
        out_ += line;
        if (styled) out_ += "\x1b[0m";
        out_ += '\n';
    };
    if (indent + cDisplayWidth::Of(text) <= width_) {
        emit(indent, text);
        return;
    }
    const std::vector<std::string> lines = cDisplayWidth::Wrap(text, std::max(kMinPiece, width_ - indent - 4));
    for (std::size_t i = 0; i < lines.size(); ++i) emit(indent + (i > 0 ? 4 : 0), lines[i]);
}

void cTextWriter::Summary(const cReport& report) {
    const cReportSummary summary(report);
    char line[128];
    std::snprintf(line, sizeof line, "%-12s%7s%9s%9s%7s", "Summary", "added", "deleted", "changed", "moved");
    Line(0, line, kBold);
    const auto row = [&](const char* what, const cReportSummary::Counts& counts, bool moves) {
        std::snprintf(line, sizeof line, "%-10s%7s%9s%9s%7s", what, Count(counts.added).c_str(),
                      Count(counts.deleted).c_str(), Count(counts.changed).c_str(),
                      moves ? Count(counts.moved).c_str() : "");
        std::string text = line;
        text.erase(text.find_last_not_of(' ') + 1);
        Line(2, text);
    };
    row("classes", summary.Classes(), false);
    row("attributes", summary.Attributes(), true);
    row("fields", summary.Fields(), false);
    Flagged(summary.Flagged());
}

void cTextWriter::Moves(const cReport& report) {
    if (report.moves.empty()) return;
    Blank();
    Line(0, "Moves", kBold);
    for (const cReportMove& move : report.moves) {
        const std::string what = cReportWording::Label(move.tag, move.name, move.uuid);
        const std::string from = cReportWording::Label(move.fromTag, move.fromName, move.fromUuid);
        const std::string to = cReportWording::Label(move.toTag, move.toName, move.toUuid);
        const std::string line = what + ": " + from + " \u2192 " + to;
        if (2 + cDisplayWidth::Of(line) <= width_) {
            Line(2, line, kCyan);
            continue;
        }
        Line(2, what, kCyan);
        Line(6, "from " + from, kCyan);
        Line(6, "to   " + to, kCyan);
    }
}

void cTextWriter::Element(int indent, const cReportElement& element, const cReport& report) {
    const bool section = indent == 0;
    Style style = section ? kBold : kPlain;
    if (!section && element.kind == cReportElement::kAdded) style = kGreen;
    if (!section && element.kind == cReportElement::kDeleted) style = kRed;
    if (element.move >= 0) style = kCyan;
    Line(
        indent,
        cReportWording::Label(element.tag, element.name, element.uuid) + ": " + cReportWording::Status(element, report),
        style);
    for (const cReportMark& mark : element.marks) Mark(indent + 2, mark);
    for (const cReportField& field : element.fields) Field(indent + 2, field);
    const bool old = element.kind == cReportElement::kDeleted || element.kind == cReportElement::kMovedOut;
    for (const cReportNode& node : element.below) Node(indent + 2, node, old ? '-' : '+', 1);
    for (const cReportElement& item : element.items) Element(indent + 2, item, report);
}

void cTextWriter::Mark(int indent, const cReportMark& mark) {
    // A sentence wrapped between its words: the blank where a line breaks is not kept.
    indent = std::min(indent, kMaxIndent);
    const std::vector<std::string> lines = cDisplayWidth::Wrap("! " + cReportWording::Of(mark) + ": " + mark.message,
                                                               std::max(kMinPiece, width_ - indent - 4));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        const std::string line = !last && lines[i].back() == ' ' ? lines[i].substr(0, lines[i].size() - 1) : lines[i];
        Line(indent + (i > 0 ? 4 : 0), line, mark.error ? kRed : kYellow);
    }
}

void cTextWriter::Field(int indent, const cReportField& field) {
    static const Style kByKind[] = {kPlain, kYellow, kGreen, kRed};
    const Style style = kByKind[field.kind];
    const std::string head =
        std::string(1, cReportWording::Marker(field.kind)) + " " + cShownValue::Of(field.name) + ":";
    if (field.kind != cReportField::kChanged) {
        TextLine(indent, head, field.kind == cReportField::kAdded ? field.newValue : field.oldValue, style);
        return;
    }
    const std::string note =
        field.note == cReportField::kNoNote ? "" : std::string("  (") + cReportWording::Of(field.note) + ")";
    const std::string line =
        head + " " + cShownValue::Of(field.oldValue) + " \u2192 " + cShownValue::Of(field.newValue) + note;
    if (std::min(indent, kMaxIndent) + cDisplayWidth::Of(line) <= width_) {
        Line(indent, line, style);
        return;
    }
    Line(indent, head + note, style);
    Value(indent + 4, "old: ", field.oldValue, style);
    Value(indent + 4, "new: ", field.newValue, style);
}

void cTextWriter::Value(int indent, const std::string& label, const std::string& value, Style style) {
    indent = std::min(indent, kMaxIndent);
    const int labelWidth = cDisplayWidth::Of(label);
    const std::vector<std::string> pieces =
        cDisplayWidth::Split(cShownValue::Quoted(value), std::max(kMinPiece, width_ - indent - labelWidth));
    for (std::size_t i = 0; i < pieces.size(); ++i)
        Line(indent, (i == 0 ? label : std::string(static_cast<std::size_t>(labelWidth), ' ')) + pieces[i], style);
}

void cTextWriter::Node(int indent, const cReportNode& node, char marker, int depth) {
    const Style style = marker == '+' ? kGreen : kRed;
    const std::string lead =
        std::string(1, marker) + " " + (indent > kMaxIndent ? "[depth " + std::to_string(depth) + "] " : std::string());
    switch (node.kind) {
        case cReportNode::kElement:
            Line(indent, lead + cShownValue::Of(node.tag), style);
            for (const auto& [name, value] : node.fields) {
                cReportField field{marker == '+' ? cReportField::kAdded : cReportField::kDeleted, cReportField::kNoNote,
                                   name, value, value};
                Field(indent + 2, field);
            }
            for (const cReportNode& child : node.children) Node(indent + 2, child, marker, depth + 1);
            break;
        case cReportNode::kText: TextLine(indent, lead + "text:", node.text, style); break;
        case cReportNode::kComment: TextLine(indent, lead + "comment:", node.text, style); break;
        case cReportNode::kInstruction:
            TextLine(indent, lead + "instruction " + cShownValue::Of(node.tag) + ":", node.text, style);
            break;
    }
}

void cTextWriter::TextLine(int indent, const std::string& head, const std::string& value, Style style) {
    const std::string line = head + " " + cShownValue::Of(value);
    if (std::min(indent, kMaxIndent) + cDisplayWidth::Of(line) <= width_) {
        Line(indent, line, style);
        return;
    }
    Line(indent, head, style);
    Value(indent + 4, "", value, style);
}
