// Copies of nodes from one document into another. Documents are parsed
// without namespace processing, so a prefix is part of a name. The diff
// document copies its entries as they are; the merge's copies get the
// declarations of the prefixes they use, so that they mean in their new
// place what they meant in their source.
#pragma once

#include <string>

#include <xercesc/dom/DOM.hpp>

// An unattached copy of source (with its subtree when deep) owned by
// document: the same names, attributes, text, comments and processing
// instructions, nothing added. Throws DOMException or std::bad_alloc on failure.
xercesc::DOMNode* QORMUCopyNodeAsIs(xercesc::DOMDocument* document, const xercesc::DOMNode* source, bool deep);

// QORMUCopyNodeAsIs, then the declarations of the namespaces the copy's names
// use (QORMUDeclareNamespaces with source's parent as context, default
// namespace included).
xercesc::DOMNode* QORMUCopyNode(xercesc::DOMDocument* document, const xercesc::DOMNode* source, bool deep);

// Adds to element and its descendants the declarations ("xmlns:p", and
// "xmlns" when withDefault, for element names without a prefix) that their
// names need and that neither they nor their ancestors within element make,
// with the value the declaration has where context (an element of the source
// document, or its document) stands. A declaration context lacks is left out.
void QORMUDeclareNamespaces(xercesc::DOMElement* element, const xercesc::DOMNode* context, bool withDefault);

// The declaration ("xmlns:p") that a qualified name "p:local" needs; empty
// for a name without a prefix and for the prefixes xml and xmlns.
std::u16string QORMUPrefixDeclaration(const XMLCh* name);
