// SPDX-License-Identifier: Apache-2.0
#include "QORMRMarkdownWriter.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "QORMRShownValue.h"
#include "QORMRSummary.h"
#include "QORMRWording.h"

namespace {

// Plain text with every ASCII punctuation character escaped, so that no
// tag name turns into emphasis, a link or a table cell.
std::string Text(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c >= 0x21 && c <= 0x7e && !std::isalnum(static_cast<unsigned char>(c))) out += '\\';
        out += c;
    }
    return out;
}

// A run of mark longer than any in text, at least shortest long.
std::string Fence(const std::string& text, char mark, std::size_t shortest = 3) {
    std::size_t longest = 0, run = 0;
    for (char c : text) {
        run = c == mark ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return std::string(std::max(shortest, longest + 1), mark);
}

// A code span holding text exactly; inTable escapes its pipes for a table cell.
std::string Code(const std::string& text, bool inTable = false) {
    const std::string fence = Fence(text, '`', 1);
    const bool pad =
        !text.empty() && (text.front() == '`' || text.back() == '`' || (text.front() == ' ' && text.back() == ' '));
    std::string body = pad ? " " + text + " " : text;
    if (inTable) {
        std::string escaped;
        for (char c : body) {
            if (c == '|') escaped += '\\';
            escaped += c;
        }
        body = std::move(escaped);
    }
    return fence + body + fence;
}

std::string Shown(const std::string& value, bool inTable = false) { return Code(cShownValue::Of(value), inTable); }

std::string Label(const std::string& tag, const std::string& name, const std::string& uuid) {
    std::string label = cShownValue::IsPlain(tag) ? Text(tag) : Shown(tag);
    if (!name.empty()) label += " " + Shown(name);
    if (!uuid.empty()) label += " (" + Shown(uuid) + ")";
    return label;
}

std::string Count(int count, bool shown = true) { return shown ? std::to_string(count) : std::string(); }

}  // namespace

std::string cMarkdownWriter::Write(const cReport& report) {
    out_.clear();
    depth_ = 0;
    Document(report);
    return std::move(out_);
}

void cMarkdownWriter::Document(const cReport& report) {
    if (report.empty) {
        out_ += cReportWording::NothingDiffers(report, [](const std::string& file) { return Shown(file); }) + "\n";
        return;
    }
    out_ += Heading(1) + " Changes to package " + Shown(report.packageName) + "\n\n";
    out_ +=
        "- old: " + (report.oldFile.empty() ? std::string("none (everything is added)") : Shown(report.oldFile)) + "\n";
    out_ += "- new: " + (report.newFile.empty() ? std::string("none (everything is deleted)") : Shown(report.newFile)) +
            "\n";
    Summary(report);
    Moves(report);
    if (report.PackageShown()) Element(2, report.package, report);
    for (const cReportElement& section : report.classes) {
        Element(2, section, report);
        for (const cReportElement& item : section.items) Element(3, item, report);
    }
}

std::string cMarkdownWriter::Write(const cRangeReport& range) {
    out_.clear();
    depth_ = 0;
    out_ += "# Metadata documents changed in " + Shown(range.range) + "\n\n- from: " + Shown(range.from) +
            "\n- to: " + Shown(range.to) + "\n";
    if (range.files.empty()) {
        out_ += "\nNo metadata document differs.\n";
        return std::move(out_);
    }
    RangeSummary(range);
    for (const cRangeFile& file : range.files) {
        out_ += "\n## " + Shown(file.path) + ": " + cRangeFile::Word(file.change);
        if (!file.oldPath.empty()) out_ += " from " + Shown(file.oldPath);
        out_ += "\n\n";
        if (file.loaded) {
            depth_ = 2;
            Document(file.report);
            depth_ = 0;
            continue;
        }
        for (const cRangeFailure& failure : file.failures) {
            out_ += "The version " + Shown(failure.version) + " does not load:\n\n";
            std::string lines;
            for (const std::string& line : failure.Lines()) lines += line + "\n";
            const std::string fence = Fence(lines, '~');
            out_ += fence + "text\n" + lines + fence + "\n";
        }
    }
    return std::move(out_);
}

void cMarkdownWriter::RangeSummary(const cRangeReport& range) {
    out_ +=
        "\n## Summary\n\n| file | change | classes added | classes deleted | classes changed | attributes added "
        "| attributes deleted | attributes changed | attributes moved |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const cRangeFile& file : range.files) {
        out_ += "| " + Shown(file.path, true) + " | " + cRangeFile::Word(file.change);
        if (!file.oldPath.empty()) out_ += " from " + Shown(file.oldPath, true);
        if (!file.loaded) {
            out_ += ", does not load | | | | | | | |\n";
            continue;
        }
        const cReportSummary summary(file.report);
        for (const cReportSummary::Counts* counts : {&summary.Classes(), &summary.Attributes()})
            out_ += " | " + Count(counts->added) + " | " + Count(counts->deleted) + " | " + Count(counts->changed);
        out_ += " | " + Count(summary.Attributes().moved) + " |\n";
    }
    Flagged(cReportSummary::Flagged(range));
}

void cMarkdownWriter::Flagged(const std::vector<cReportSummary::Flags>& flagged) {
    if (flagged.empty()) return;
    out_ += "\n| flagged | errors | warnings |\n|---|---:|---:|\n";
    for (const cReportSummary::Flags& flags : flagged)
        out_ += "| " + Text(cReportSummary::RuleName(flags.rule)) + " | " + Count(flags.errors) + " | " +
                Count(flags.warnings) + " |\n";
}

void cMarkdownWriter::Summary(const cReport& report) {
    const cReportSummary summary(report);
    out_ += "\n" + Heading(2) + " Summary\n\n| | added | deleted | changed | moved |\n|---|---:|---:|---:|---:|\n";
    const auto row = [&](const char* what, const cReportSummary::Counts& counts, bool moves) {
        out_ += std::string("| ") + what + " | " + Count(counts.added) + " | " + Count(counts.deleted) + " | " +
                Count(counts.changed) + " | " + Count(counts.moved, moves) + " |\n";
    };
    row("classes", summary.Classes(), false);
    row("attributes", summary.Attributes(), true);
    row("fields", summary.Fields(), false);
    Flagged(summary.Flagged());
}

void cMarkdownWriter::Moves(const cReport& report) {
    if (report.moves.empty()) return;
    out_ += "\n" + Heading(2) + " Moves\n\n";
    for (const cReportMove& move : report.moves)
        out_ += "- " + Label(move.tag, move.name, move.uuid) + ": from " +
                Label(move.fromTag, move.fromName, move.fromUuid) + " to " +
                Label(move.toTag, move.toName, move.toUuid) + "\n";
}

void cMarkdownWriter::Element(int level, const cReportElement& element, const cReport& report) {
    out_ += "\n" + Heading(level) + " " + Label(element.tag, element.name, element.uuid) + ": " +
            cReportWording::Of(element.kind);
    if (element.move >= 0) {
        const cReportMove& move = report.moves[static_cast<std::size_t>(element.move)];
        out_ += " " + (element.kind == cReportElement::kMovedIn ? Label(move.fromTag, move.fromName, move.fromUuid)
                                                                : Label(move.toTag, move.toName, move.toUuid));
    }
    if (element.renamed) out_ += ", renamed from " + Shown(element.oldName);
    out_ += "\n";
    if (!element.marks.empty()) out_ += "\n";
    for (const cReportMark& mark : element.marks)
        out_ += "- **" + cReportWording::Of(mark) + "**: " + Text(mark.message) + "\n";
    Fields(element);
    if (!element.below.empty()) out_ += "\n";
    for (const cReportNode& node : element.below) Node(0, node);
}

void cMarkdownWriter::Fields(const cReportElement& element) {
    if (element.fields.empty()) return;
    const bool copy = element.kind == cReportElement::kAdded || element.kind == cReportElement::kDeleted;
    if (copy) {
        out_ += "\n| field | value |\n|---|---|\n";
        for (const cReportField& field : element.fields)
            out_ += "| " + Shown(field.name, true) + " | " +
                    Shown(field.kind == cReportField::kAdded ? field.newValue : field.oldValue, true) + " |\n";
        return;
    }
    out_ += "\n| field | old | new | change |\n|---|---|---|---|\n";
    for (const cReportField& field : element.fields) {
        const bool hasOld = field.kind != cReportField::kAdded;
        const bool hasNew = field.kind != cReportField::kDeleted;
        const std::string change =
            field.note == cReportField::kNoNote ? cReportWording::Of(field.kind) : cReportWording::Of(field.note);
        out_ += "| " + Shown(field.name, true) + " | " + (hasOld ? Shown(field.oldValue, true) : "") + " | " +
                (hasNew ? Shown(field.newValue, true) : "") + " | " + change + " |\n";
    }
}

void cMarkdownWriter::Node(int depth, const cReportNode& node) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    switch (node.kind) {
        case cReportNode::kElement:
            out_ += indent + "- element " + Shown(node.tag) + "\n";
            for (const auto& [name, value] : node.fields)
                out_ += indent + "  - field " + Shown(name) + ": " + Shown(value) + "\n";
            for (const cReportNode& child : node.children) Node(depth + 1, child);
            break;
        case cReportNode::kText: out_ += indent + "- text: " + Shown(node.text) + "\n"; break;
        case cReportNode::kComment: out_ += indent + "- comment: " + Shown(node.text) + "\n"; break;
        case cReportNode::kInstruction:
            out_ += indent + "- instruction " + Shown(node.tag) + ": " + Shown(node.text) + "\n";
            break;
    }
}
