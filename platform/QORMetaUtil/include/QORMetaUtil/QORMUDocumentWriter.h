// SPDX-License-Identifier: Apache-2.0
// Writes a DOM document as UTF-8 with an XML declaration. Elements that hold
// only elements (and comments or processing instructions) are laid out one
// child a line, two blanks a level; the content of an element that holds
// text, keeps its white space (xml:space="preserve") or holds no element is
// written exactly as it is, so that mixed content and blank text keep their
// value. Characters are escaped where a parser would otherwise
// change them (a line end or tab in an attribute value stays one).
#pragma once

#include <string>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLFormatter.hpp>

// Writes document to target; false with reason set on failure. A null
// document writes nothing.
bool QORMUWriteDocument(const xercesc::DOMDocument* document, xercesc::XMLFormatTarget& target, std::string& reason);
