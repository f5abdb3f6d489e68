// Serialises a DOM document as indented UTF-8 with an XML declaration.
#pragma once

#include <string>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLFormatter.hpp>

// Writes document to target; false with reason set on failure.
bool QORMUWriteDocument(xercesc::DOMDocument* document, xercesc::XMLFormatTarget& target, std::string& reason);
