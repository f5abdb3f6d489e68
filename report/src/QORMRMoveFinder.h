// SPDX-License-Identifier: Apache-2.0
// cReportMoveFinder: attributes that left one class and arrived in another.
// The comparison matches attributes only within a pair of matched classes,
// so such an attribute is a deleted one there and an added one here (alone
// or inside a deleted or added class); the report shows it once as a move.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "QORMRReport.h"
#include "ZULBase/ZULUnicodeString.h"

class cReportMoveFinder {
public:
    // An attribute item of the report that is only in the old document
    // (departed) or only in the new one (arrived), by its upper-cased Uuid.
    void Departed(const ZULUnicodeString& key, std::size_t section, std::size_t item);
    void Arrived(const ZULUnicodeString& key, std::size_t section, std::size_t item);

    // Makes a move of every Uuid that departed once and arrived once: the
    // arrival holds both sides' fields compared, the departure points to it.
    void Apply(cReport& report) const;

private:
    struct Place {
        std::size_t section;
        std::size_t item;
    };
    using Places = std::unordered_map<ZULUnicodeString, std::vector<Place>, ZULUnicodeStringHash>;

    static std::vector<cReportField> CompareFields(const cReportElement& departure, const cReportElement& arrival);

    Places departures_;
    Places arrivals_;
    std::vector<ZULUnicodeString> arrivalOrder_;  // each key once, in report order
};
