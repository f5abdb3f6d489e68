// SPDX-License-Identifier: Apache-2.0
// cReportNodeReader: reads what the report shows of a DOM element as its
// document holds it: fields in document order and the nodes below it, texts
// without the white space that is layout (QORMUTextLayout.h; a text of
// blanks alone is not shown, except under xml:space="preserve").
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <xercesc/dom/DOM.hpp>

#include "QORMRReport.h"
#include "ZULBase/ZULUnicodeString.h"

class cReportNodeReader {
public:
    // UTF-8 of a framework or DOM string (a null DOM string is empty).
    static std::string Utf8(const ZULUnicodeString& text);
    static std::string Utf8(const XMLCh* text);
    static std::string Utf8(std::u16string_view text);

    // The element's XML attributes as name and value, in the DOM's order.
    static std::vector<std::pair<std::string, std::string>> Fields(const xercesc::DOMElement* element);
    // The value of one XML attribute; empty when it is missing.
    static std::string Attribute(const xercesc::DOMElement* element, const char16_t* name);
    // One child node and all below it; false for a node the report does not
    // show (a text that is layout alone; document types and entity
    // references: the parser makes none).
    static bool Read(const xercesc::DOMNode* node, cReportNode& result);
};
