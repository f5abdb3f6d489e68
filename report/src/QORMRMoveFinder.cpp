// SPDX-License-Identifier: Apache-2.0
#include "QORMRMoveFinder.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

void cReportMoveFinder::Departed(const ZULUnicodeString& key, std::size_t section, std::size_t item) {
    departures_[key].push_back({section, item});
}

void cReportMoveFinder::Arrived(const ZULUnicodeString& key, std::size_t section, std::size_t item) {
    std::vector<Place>& places = arrivals_[key];
    if (places.empty()) arrivalOrder_.push_back(key);
    places.push_back({section, item});
}

void cReportMoveFinder::Apply(cReport& report) const {
    for (const ZULUnicodeString& key : arrivalOrder_) {
        const std::vector<Place>& arrived = arrivals_.at(key);
        const auto departed = departures_.find(key);
        if (arrived.size() != 1 || departed == departures_.end() || departed->second.size() != 1) continue;
        const Place from = departed->second.front();
        const Place to = arrived.front();
        const cReportElement& fromClass = report.classes[from.section];
        const cReportElement& toClass = report.classes[to.section];
        cReportElement& departure = report.classes[from.section].items[from.item];
        cReportElement& arrival = report.classes[to.section].items[to.item];

        const int index = static_cast<int>(report.moves.size());
        report.moves.push_back({arrival.tag, arrival.name, arrival.uuid, fromClass.tag, fromClass.name, fromClass.uuid,
                                toClass.tag, toClass.name, toClass.uuid});
        arrival.fields = CompareFields(departure, arrival);
        arrival.kind = cReportElement::kMovedIn;
        arrival.move = index;
        arrival.NoteRename();
        departure.fields.clear();
        departure.kind = cReportElement::kMovedOut;
        departure.move = index;
    }
}

std::vector<cReportField> cReportMoveFinder::CompareFields(const cReportElement& departure,
                                                           const cReportElement& arrival) {
    std::unordered_map<std::string, const cReportField*> arrived;
    for (const cReportField& field : arrival.fields) arrived.emplace(field.name, &field);
    std::unordered_set<std::string> kept;
    std::vector<cReportField> fields;
    for (const cReportField& old : departure.fields) {
        const auto match = arrived.find(old.name);
        if (match == arrived.end()) {
            fields.push_back(old);
            continue;
        }
        kept.insert(old.name);
        cReportField field{cReportField::kSame, cReportField::kNoNote, old.name, old.oldValue, match->second->newValue};
        if (field.oldValue != field.newValue) {
            field.kind = cReportField::kChanged;
            field.note = cReportField::NoteFor(field.name, field.oldValue, field.newValue);
        }
        fields.push_back(std::move(field));
    }
    for (const cReportField& field : arrival.fields)
        if (!kept.count(field.name)) fields.push_back(field);
    return fields;
}
