// SPDX-License-Identifier: Apache-2.0
// Where loading a metadata document stopped. The loader marks the element
// that failed a check on its DOM document (nothing is kept when all goes
// well); a caller that is left with a failed load describes it for the user:
// which element, on which line of which file, and what it lacks.
#pragma once

#include <cstdint>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

// The parameter of MDFileError_1 for fileName, which the parser refused:
// its quoted name and why it could not be read (line, column and what was
// wrong), as the parser's failure status says.
ZULUnicodeString QORMDParserFailure(std::int32_t parseStatus, const ZULUnicodeString& fileName);

// text, then ": " and where when where is not empty: the one parameter of a
// failure with its place.
ZULUnicodeString QORMDWithPlace(const char* text, const ZULUnicodeString& where);

// How messages name a class or attribute element: the class <Class
// Name="Order">, or the attribute <Attribute Name="Id"> of the class <Class
// Name="Order"> (an element's Name, else its Uuid, is what a person knows it by).
ZULUnicodeString QORMDDescribeElement(const xercesc::DOMElement* element, bool isClass);
// The element alone: <Tag Name="..."> or <Tag Uuid="...">, whichever it has.
ZULUnicodeString QORMDSketchElement(const xercesc::DOMElement* element);

// Marks element, a class or attribute element, as lacking the XML attribute
// missing ("Uuid" or "Name", a literal).
void QORMDMarkLoadFailure(const xercesc::DOMElement* element, const char* missing);

// The description of the mark left in the document of root (read from
// fileName), such as: the class <Class Name="Order"> on line 42 of "new.xml"
// has no Uuid. Empty when the document holds no mark.
ZULUnicodeString QORMDDescribeLoadFailure(const DOM_Element& root, const ZULUnicodeString& fileName);
