// SPDX-License-Identifier: Apache-2.0
#include "QORMRSvgChart.h"

#include <algorithm>
#include <vector>

namespace {

struct Bar {
    std::string label;
    int count;
    const char* kind;  // CSS class: added, deleted, changed, moved
};

constexpr int kLabelWidth = 150;
constexpr int kBarWidth = 260;
constexpr int kRowHeight = 20;

}  // namespace

std::string cSvgChart::Of(const cReportSummary& summary) {
    std::vector<Bar> bars;
    const auto add = [&](const char* what, const cReportSummary::Counts& counts) {
        const std::pair<const char*, int> kinds[] = {
            {"added", counts.added}, {"deleted", counts.deleted}, {"changed", counts.changed}, {"moved", counts.moved}};
        for (const auto& [kind, count] : kinds)
            if (count > 0) bars.push_back({std::string(what) + " " + kind, count, kind});
    };
    add("classes", summary.Classes());
    add("attributes", summary.Attributes());
    add("fields", summary.Fields());
    int most = 1;
    for (const Bar& bar : bars) most = std::max(most, bar.count);

    const int height = std::max(1, static_cast<int>(bars.size())) * kRowHeight;
    const int width = kLabelWidth + kBarWidth + 60;
    std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + std::to_string(height) + "\"><title>Changes by kind</title>";
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        const int y = static_cast<int>(i) * kRowHeight;
        const int length = std::max(2, static_cast<int>(static_cast<long long>(bar.count) * kBarWidth / most));
        const std::string count = std::to_string(bar.count);
        svg += "<text x=\"0\" y=\"" + std::to_string(y + 14) + "\">" + bar.label + "</text>";
        svg += "<rect class=\"" + std::string(bar.kind) + "\" x=\"" + std::to_string(kLabelWidth) + "\" y=\"" +
               std::to_string(y + 3) + "\" width=\"" + std::to_string(length) + "\" height=\"14\"><title>" + bar.label +
               ": " + count + "</title></rect>";
        svg += "<text x=\"" + std::to_string(kLabelWidth + length + 6) + "\" y=\"" + std::to_string(y + 14) + "\">" +
               count + "</text>";
    }
    svg += "</svg>";
    return svg;
}
