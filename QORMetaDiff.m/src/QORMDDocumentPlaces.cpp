// SPDX-License-Identifier: Apache-2.0
#include "QORMDDocumentPlaces.h"

cDocumentPlaces::cDocumentPlaces(const xercesc::DOMElement* package, std::vector<cDDLXMLPosition> startTags)
    : package_(package), startTags_(std::move(startTags)) {}

void cDocumentPlaces::Find(std::unordered_map<const xercesc::DOMElement*, cDDLXMLPosition>& wanted) const {
    if (wanted.empty()) return;
    std::size_t left = wanted.size();
    Walk(package_, startTags_, [&](const xercesc::DOMElement* element, cDDLXMLPosition at, int) {
        if (left == 0) return;
        const auto found = wanted.find(element);
        if (found == wanted.end()) return;
        found->second = at;
        --left;
    });
}
