// SPDX-License-Identifier: Apache-2.0
#include "QORMRJsonWriter.h"

#include <nlohmann/json.hpp>

#include "QORMRShownValue.h"
#include "QORMRWording.h"

namespace {

using Json = nlohmann::ordered_json;

// Keys are one letter: the page of a large report holds thousands of elements.
//   element: k kind, t tag, n Name, u Uuid, s status, f fields, b what lies below, i items,
//            r the changes the rules flag (only when there are any): [severity, rule, message]
//   field: [marker, name, old value or null, new value or null, note]
//   node: e tag, f fields, c children (an element); x text; m comment; p target, x data (an instruction)
Json Node(const cReportNode& node) {
    switch (node.kind) {
        case cReportNode::kElement: {
            Json fields = Json::array(), children = Json::array();
            for (const auto& [name, value] : node.fields)
                fields.push_back({cShownValue::Of(name), cShownValue::Of(value)});
            for (const cReportNode& child : node.children) children.push_back(Node(child));
            return {{"e", cShownValue::Of(node.tag)}, {"f", std::move(fields)}, {"c", std::move(children)}};
        }
        case cReportNode::kText: return {{"x", cShownValue::Of(node.text)}};
        case cReportNode::kComment: return {{"m", cShownValue::Of(node.text)}};
        case cReportNode::kInstruction: break;
    }
    return {{"p", cShownValue::Of(node.tag)}, {"x", cShownValue::Of(node.text)}};
}

Json Field(const cReportField& field) {
    const auto value = [](const std::string& text) { return Json(cShownValue::Of(text)); };
    return Json::array({std::string(1, cReportWording::Marker(field.kind)), cShownValue::Of(field.name),
                        field.kind == cReportField::kAdded ? Json(nullptr) : value(field.oldValue),
                        field.kind == cReportField::kDeleted ? Json(nullptr) : value(field.newValue),
                        cReportWording::Of(field.note)});
}

Json Element(const cReportElement& element, const cReport& report) {
    static const char* const kKinds[] = {"added", "deleted", "changed", "inside", "moved", "moved"};
    const auto shown = [](const std::string& text) { return text.empty() ? std::string() : cShownValue::Of(text); };
    Json fields = Json::array(), below = Json::array(), items = Json::array();
    for (const cReportField& field : element.fields) fields.push_back(Field(field));
    for (const cReportNode& node : element.below) below.push_back(Node(node));
    for (const cReportElement& item : element.items) items.push_back(Element(item, report));
    Json json = {{"k", kKinds[element.kind]},
                 {"t", cShownValue::Of(element.tag)},
                 {"n", shown(element.name)},
                 {"u", shown(element.uuid)},
                 {"s", cReportWording::Status(element, report)},
                 {"f", std::move(fields)},
                 {"b", std::move(below)},
                 {"i", std::move(items)}};
    if (element.marks.empty()) return json;
    Json& marks = json["r"] = Json::array();
    for (const cReportMark& mark : element.marks)
        marks.push_back(Json::array({cReportWording::Severity(mark), mark.rule, mark.message}));
    return json;
}

}  // namespace

std::string cJsonWriter::Write(const cReport& report) {
    Json sections = Json::array();
    if (report.PackageShown()) sections.push_back(Element(report.package, report));
    for (const cReportElement& section : report.classes) sections.push_back(Element(section, report));
    return ForScript(sections.dump());
}

std::string cJsonWriter::ForScript(const std::string& json) {
    std::string out;
    out.reserve(json.size() + json.size() / 16);
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '<') {
            out += "\\u003c";
        } else if (c == '>') {
            out += "\\u003e";
        } else if (c == '&') {
            out += "\\u0026";
        } else if (c == '\xe2' && json.compare(i + 1, 1, "\x80") == 0 && i + 2 < json.size() &&
                   (json[i + 2] == '\xa8' || json[i + 2] == '\xa9')) {
            out += json[i + 2] == '\xa8' ? "\\u2028" : "\\u2029";  // line and paragraph separators end a script line
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}
