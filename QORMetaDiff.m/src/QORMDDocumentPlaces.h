// SPDX-License-Identifier: Apache-2.0
// cDocumentPlaces: where the elements of a parsed metadata document begin,
// from what its parse recorded (cDDLXMLParseDetails::startTags, three levels
// deep): the start tags of the package, the classes and the attributes, read
// or skipped, in document order. Nothing is parsed again: an element's place
// is found by walking the same three levels of the DOM in the same order.
// The document must outlive the places.
#pragma once

#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMetaUtil/cDDLXMLParser.h"

class cDocumentPlaces {
public:
    // The depth a parse records for places: package, classes, attributes.
    static constexpr unsigned kLevels = 3;

    // No document: every place is unknown (line 0).
    cDocumentPlaces() = default;
    cDocumentPlaces(const xercesc::DOMElement* package, std::vector<cDDLXMLPosition> startTags);

    // Fills in the place of each element of wanted (of the first three
    // levels of this document) in one walk; the others stay as they are.
    void Find(std::unordered_map<const xercesc::DOMElement*, cDDLXMLPosition>& wanted) const;

    // Calls visit(element, place, level) for every element of the first three
    // levels in document order (level 0 the package). The walk the document
    // rules make too.
    template <class Visit>
    static void Walk(const xercesc::DOMElement* package, const std::vector<cDDLXMLPosition>& startTags, Visit visit);

private:
    const xercesc::DOMElement* package_ = nullptr;
    std::vector<cDDLXMLPosition> startTags_;
};

template <class Visit>
void cDocumentPlaces::Walk(const xercesc::DOMElement* package, const std::vector<cDDLXMLPosition>& startTags,
                           Visit visit) {
    if (!package) return;
    // The recorded start tags are those of every element of the first three
    // levels in document order, read or skipped: the walk visits them all in
    // that order, so the next one is always the current element's.
    std::size_t next = 0;
    const auto startOf = [&]() { return next < startTags.size() ? startTags[next++] : cDDLXMLPosition{}; };
    visit(package, startOf(), 0);
    for (const xercesc::DOMElement* cls = package->getFirstElementChild(); cls; cls = cls->getNextElementSibling()) {
        visit(cls, startOf(), 1);
        for (const xercesc::DOMElement* attribute = cls->getFirstElementChild(); attribute;
             attribute = attribute->getNextElementSibling())
            visit(attribute, startOf(), 2);
    }
}
