// SPDX-License-Identifier: Apache-2.0
#include "QORMRJsonWriter.h"

#include <cstdio>
#include <utility>

#include "QORMRShownValue.h"
#include "QORMRWording.h"

std::string cJsonWriter::Write(const cReport& report) {
    out_ = "[";
    bool first = true;
    if (report.package.kind != cReportElement::kUnchanged) {
        Element(report.package, report);
        first = false;
    }
    for (const cReportElement& section : report.classes) {
        if (!first) out_ += ',';
        first = false;
        Element(section, report);
    }
    out_ += "]";
    return std::move(out_);
}

void cJsonWriter::String(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c == 0xe2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) & 0xfe) == 0xa8) {
            out +=
                static_cast<unsigned char>(text[i + 2]) == 0xa8 ? "\\u2028" : "\\u2029";  // line, paragraph separator
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void cJsonWriter::Element(const cReportElement& element, const cReport& report) {
    static const char* const kKinds[] = {"added", "deleted", "changed", "inside", "moved", "moved"};

    out_ += "{\"k\":";
    String(out_, kKinds[element.kind]);
    out_ += ",\"t\":";
    String(out_, cShownValue::Of(element.tag));
    out_ += ",\"n\":";
    String(out_, element.name.empty() ? std::string() : cShownValue::Of(element.name));
    out_ += ",\"u\":";
    String(out_, element.uuid.empty() ? std::string() : cShownValue::Of(element.uuid));
    out_ += ",\"s\":";
    String(out_, cReportWording::Status(element, report));
    out_ += ",\"f\":[";
    for (std::size_t i = 0; i < element.fields.size(); ++i) {
        const cReportField& field = element.fields[i];
        out_ += i ? ",[" : "[";
        String(out_, std::string(1, cReportWording::Marker(field.kind)));
        out_ += ',';
        String(out_, cShownValue::Of(field.name));
        out_ += ',';
        if (field.kind == cReportField::kAdded)
            out_ += "null";
        else
            String(out_, cShownValue::Of(field.oldValue));
        out_ += ',';
        if (field.kind == cReportField::kDeleted)
            out_ += "null";
        else
            String(out_, cShownValue::Of(field.newValue));
        out_ += ',';
        String(out_, cReportWording::Of(field.note));
        out_ += ']';
    }
    out_ += "],\"b\":[";
    for (std::size_t i = 0; i < element.below.size(); ++i) {
        if (i) out_ += ',';
        Node(element.below[i]);
    }
    out_ += "],\"i\":[";
    for (std::size_t i = 0; i < element.items.size(); ++i) {
        if (i) out_ += ',';
        Element(element.items[i], report);
    }
    out_ += "]}";
}

void cJsonWriter::Node(const cReportNode& node) {
    switch (node.kind) {
        case cReportNode::kElement:
            out_ += "{\"e\":";
            String(out_, cShownValue::Of(node.tag));
            out_ += ",\"f\":[";
            for (std::size_t i = 0; i < node.fields.size(); ++i) {
                out_ += i ? ",[" : "[";
                String(out_, cShownValue::Of(node.fields[i].first));
                out_ += ',';
                String(out_, cShownValue::Of(node.fields[i].second));
                out_ += ']';
            }
            out_ += "],\"c\":[";
            for (std::size_t i = 0; i < node.children.size(); ++i) {
                if (i) out_ += ',';
                Node(node.children[i]);
            }
            out_ += "]}";
            return;
        case cReportNode::kText: out_ += "{\"x\":"; break;
        case cReportNode::kComment: out_ += "{\"m\":"; break;
        case cReportNode::kInstruction:
            out_ += "{\"p\":";
            String(out_, cShownValue::Of(node.tag));
            out_ += ",\"x\":";
            break;
    }
    String(out_, cShownValue::Of(node.text));
    out_ += '}';
}
