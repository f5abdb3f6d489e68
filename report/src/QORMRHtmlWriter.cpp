// SPDX-License-Identifier: Apache-2.0
#include "QORMRHtmlWriter.h"

#include <utility>

#include "QORMRHtmlAssets.h"
#include "QORMRJsonWriter.h"
#include "QORMRShownValue.h"
#include "QORMRSummary.h"
#include "QORMRSvgChart.h"
#include "QORMRWording.h"
#include "QORMetaUtil/QORMUSha256.h"

namespace {

constexpr std::size_t kMovesShownOpen = 20;

// Text for an HTML element's content or attribute (valid UTF-8: shown values, tags, our words).
std::string Html(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Code(const std::string& value) { return "<code>" + Html(cShownValue::Of(value)) + "</code>"; }

// A content security policy source that allows one inline style or script
// block, the page's own, by the SHA-256 of its text: 'sha256-<base64>'.
std::string HashSource(const char* block) {
    const std::string digest = QORMUSha256Base64(block);
    return digest.empty() ? "'none'" : "'sha256-" + digest + "'";
}

}  // namespace

std::string cHtmlWriter::Write(const cReport& report) {
    out_.clear();
    depth_ = 0;
    if (report.empty) {
        Head(report.nothingCompared ? "Nothing compared" : "No differences");
        out_ += "<p class=\"none\">" +
                cReportWording::NothingDiffers(report, [](const std::string& file) { return Code(file); }) +
                "</p>\n</body>\n</html>\n";
        return std::move(out_);
    }
    Head("Changes to package " + cShownValue::Of(report.packageName));
    Document(report);
    Tools();
    std::string data;
    Sections(report, data);
    Finish(data);
    return std::move(out_);
}

std::string cHtmlWriter::Write(const cRangeReport& range) {
    out_.clear();
    depth_ = 0;
    Head("Metadata documents changed in " + cShownValue::Of(range.range));
    out_ += "<header>\n<h1>Metadata documents changed in " + Code(range.range) +
            "</h1>\n<p class=\"files\">from: " + Code(range.from) + " &middot; to: " + Code(range.to) +
            "</p>\n</header>\n";
    if (range.files.empty()) {
        out_ += "<p class=\"none\">No metadata document differs.</p>\n</body>\n</html>\n";
        return std::move(out_);
    }
    RangeSummary(range);
    Tools();
    std::string data;
    for (const cRangeFile& file : range.files) {
        out_ += "<section class=\"file\">\n<h2>" + Code(file.path) + ": " + cRangeFile::Word(file.change);
        if (!file.oldPath.empty()) out_ += " from " + Code(file.oldPath);
        out_ += "</h2>\n";
        for (const cRangeFailure& failure : file.failures) {
            out_ += "<p class=\"failure\">The version " + Code(failure.version) + " does not load:</p>\n<pre>";
            for (const std::string& line : failure.Lines()) out_ += Html(line) + "\n";
            out_ += "</pre>\n";
        }
        if (file.loaded && file.report.empty) {
            out_ += "<p class=\"none\">" +
                    cReportWording::NothingDiffers(file.report, [](const std::string& name) { return Code(name); }) +
                    "</p>\n";
        } else if (file.loaded) {
            depth_ = 2;
            Document(file.report);
            Sections(file.report, data);
            depth_ = 0;
        }
        out_ += "</section>\n";
    }
    Finish(data);
    return std::move(out_);
}

void cHtmlWriter::Document(const cReport& report) {
    const std::string h = Heading(1);
    out_ += "<header>\n<" + h + ">Changes to package " + Code(report.packageName) + "</" + h +
            ">\n<p class=\"files\">old: " +
            (report.oldFile.empty() ? std::string("none (everything is added)") : Code(report.oldFile)) +
            " &middot; new: " +
            (report.newFile.empty() ? std::string("none (everything is deleted)") : Code(report.newFile)) +
            "</p>\n</header>\n";
    Summary(report);
    Moves(report);
}

void cHtmlWriter::Tools() {
    out_ +=
        "<div class=\"tools\"><input type=\"search\" id=\"filter\" aria-label=\"Filter\" "
        "placeholder=\"Filter by class, attribute, field or value\">"
        "<label id=\"only\"><input type=\"checkbox\" id=\"flagged-only\"> only flagged changes</label>"
        "<button type=\"button\" id=\"expand\">Expand all</button>"
        "<button type=\"button\" id=\"collapse\">Collapse all</button><span id=\"shown\"></span></div>\n";
}

void cHtmlWriter::Sections(const cReport& report, std::string& data) {
    out_ += "<main class=\"sections\"></main>\n";
    data += data.empty() ? "[" : ",";
    data += cJsonWriter().Write(report);
}

void cHtmlWriter::Finish(const std::string& data) {
    out_ +=
        "<noscript><p>The page's own script draws the sections: allow scripts, or read the text or markdown "
        "form.</p></noscript>\n<script type=\"application/json\" id=\"report-data\">";
    out_ += data.empty() ? "[]" : data + "]";
    out_ += "</script>\n<script>";
    out_ += kQORMRHtmlScript;
    out_ += "</script>\n</body>\n</html>\n";
}

void cHtmlWriter::Head(const std::string& title) {
    out_ +=
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src " +
        HashSource(kQORMRHtmlStyle) + "; script-src " + HashSource(kQORMRHtmlScript) +
        "; img-src data:\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<link rel=\"icon\" href=\"data:,\">\n<title>" +
        Html(title) + "</title>\n<style>" + kQORMRHtmlStyle + "</style>\n</head>\n<body>\n";
}

void cHtmlWriter::Summary(const cReport& report) {
    const cReportSummary summary(report);
    out_ += "<section class=\"summary\">\n<div><" + Heading(2) + ">Summary</" + Heading(2) +
            ">\n<table class=\"counts\">\n"
            "<tr><th></th><th>added</th><th>deleted</th><th>changed</th><th>moved</th></tr>\n";
    const auto row = [&](const char* what, const cReportSummary::Counts& counts, bool moves) {
        out_ += std::string("<tr><td>") + what + "</td><td>" + std::to_string(counts.added) + "</td><td>" +
                std::to_string(counts.deleted) + "</td><td>" + std::to_string(counts.changed) + "</td><td>" +
                (moves ? std::to_string(counts.moved) : std::string()) + "</td></tr>\n";
    };
    row("classes", summary.Classes(), false);
    row("attributes", summary.Attributes(), true);
    row("fields", summary.Fields(), false);
    out_ += "</table>\n";
    Flagged(summary.Flagged());
    out_ += "</div>\n" + cSvgChart::Of(summary) + "\n</section>\n";
}

void cHtmlWriter::Flagged(const std::vector<cReportSummary::Flags>& flagged) {
    if (flagged.empty()) return;
    out_ += "<table class=\"counts flagged\">\n<tr><th>flagged</th><th>errors</th><th>warnings</th></tr>\n";
    for (const cReportSummary::Flags& flags : flagged)
        out_ += "<tr><td>" + Html(cReportSummary::RuleName(flags.rule)) + "</td><td>" + std::to_string(flags.errors) +
                "</td><td>" + std::to_string(flags.warnings) + "</td></tr>\n";
    out_ += "</table>\n";
}

void cHtmlWriter::RangeSummary(const cRangeReport& range) {
    out_ +=
        "<section class=\"summary\">\n<div><h2>Summary</h2>\n<table class=\"counts\">\n"
        "<tr><th rowspan=\"2\">file</th><th rowspan=\"2\">change</th><th colspan=\"3\">classes</th>"
        "<th colspan=\"4\">attributes</th></tr>\n<tr><th>added</th><th>deleted</th><th>changed</th>"
        "<th>added</th><th>deleted</th><th>changed</th><th>moved</th></tr>\n";
    for (const cRangeFile& file : range.files) {
        out_ += "<tr><td>" + Code(file.path) + "</td><td class=\"change\">" + cRangeFile::Word(file.change);
        if (!file.oldPath.empty()) out_ += " from " + Code(file.oldPath);
        if (!file.loaded) {
            out_ += ", does not load</td><td colspan=\"7\"></td></tr>\n";
            continue;
        }
        out_ += "</td>";
        const cReportSummary summary(file.report);
        for (const int count :
             {summary.Classes().added, summary.Classes().deleted, summary.Classes().changed, summary.Attributes().added,
              summary.Attributes().deleted, summary.Attributes().changed, summary.Attributes().moved})
            out_ += "<td>" + std::to_string(count) + "</td>";
        out_ += "</tr>\n";
    }
    out_ += "</table>\n";
    Flagged(cReportSummary::Flagged(range));
    out_ += "</div>\n</section>\n";
}

void cHtmlWriter::Moves(const cReport& report) {
    if (report.moves.empty()) return;
    // A long list of moves is folded, so that the sections stay in reach.
    const bool open = report.moves.size() <= kMovesShownOpen;
    out_ += std::string("<details class=\"moves\"") + (open ? " open" : "") + "><summary><" + Heading(2) + ">Moves (" +
            std::to_string(report.moves.size()) + ")</" + Heading(2) + "></summary>\n<ul>\n";
    for (const cReportMove& move : report.moves)
        out_ += "<li>" + Html(cReportWording::Label(move.tag, move.name, move.uuid)) + ": from " +
                Html(cReportWording::Label(move.fromTag, move.fromName, move.fromUuid)) + " to " +
                Html(cReportWording::Label(move.toTag, move.toName, move.toUuid)) + "</li>\n";
    out_ += "</ul>\n</details>\n";
}
