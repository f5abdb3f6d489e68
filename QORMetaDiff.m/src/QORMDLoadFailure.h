// Where loading a metadata document stopped. The loader marks the element
// that failed a check on its DOM document (nothing is kept when all goes
// well); a caller that is left with a failed load describes it for the user:
// which element, on which line of which file, and what it lacks.
#pragma once

#include <cstdint>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

// Why the parser refused a document: the reason its failure status carries
// (line, column and what was wrong); empty when it carries none.
ZULUnicodeString QORMDParserReason(std::int32_t parseStatus);

// How messages name a class or attribute element: the class <Class
// Name="Order">, or the attribute <Attribute Name="Id"> of the class <Class
// Name="Order"> (an element's Name, else its Uuid, is what a person knows it by).
ZULUnicodeString QORMDDescribeElement(const xercesc::DOMElement* element, bool isClass);

// Marks element, a class or attribute element, as lacking the XML attribute
// missing ("Uuid" or "Name", a literal).
void QORMDMarkLoadFailure(const xercesc::DOMElement* element, const char* missing);

// The description of the mark left in the document of root (read from
// fileName), such as: the class <Class Name="Order"> on line 42 of "new.xml"
// has no Uuid. Empty when the document holds no mark.
ZULUnicodeString QORMDDescribeLoadFailure(const DOM_Element& root, const ZULUnicodeString& fileName);
