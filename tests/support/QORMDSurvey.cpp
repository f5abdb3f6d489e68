// SPDX-License-Identifier: Apache-2.0
#include "QORMDSurvey.h"

#include <initializer_list>

#include <xercesc/util/XMLString.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using xercesc::DOMElement;

namespace {

bool IsOneOf(const XMLCh* tag, std::initializer_list<const char16_t*> tags) {
    for (const char16_t* one : tags)
        if (xercesc::XMLString::equals(tag, one)) return true;
    return false;
}

}  // namespace

std::u16string QORMDKeyOf(const DOMElement* element) {
    ZULUnicodeString uuid = DOMToZULUnicodeString(element->getAttribute(u"Uuid"));
    uuid.ToUpper();
    return std::u16string(uuid.str());
}

std::vector<QORMDSurveyedClass> QORMDSurvey(const DOMElement* package) {
    std::vector<QORMDSurveyedClass> classes;
    for (const DOMElement* c = package->getFirstElementChild(); c; c = c->getNextElementSibling()) {
        if (IsOneOf(c->getTagName(), {u"Comment", u"KIBComment", u"Interface", u"Enum"})) continue;
        QORMDSurveyedClass surveyed{c, QORMDKeyOf(c), {}};
        for (const DOMElement* a = c->getFirstElementChild(); a; a = a->getNextElementSibling())
            if (!IsOneOf(a->getTagName(), {u"Comment", u"KIBComment", u"InterfaceImplementation", u"Enumerator"}))
                surveyed.attributes.push_back(QORMDKeyOf(a));
        classes.push_back(std::move(surveyed));
    }
    return classes;
}
