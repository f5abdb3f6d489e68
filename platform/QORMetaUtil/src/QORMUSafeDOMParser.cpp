#include "QORMUSafeDOMParser.h"

#include <xercesc/sax/SAXParseException.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

QORMUSafeDOMParser::QORMUSafeDOMParser(unsigned maxDepth, std::size_t maxNames)
    : maxDepth_(maxDepth), maxNames_(maxNames) {
    setValidationScheme(Val_Never);
    setDoNamespaces(false);
    setDoSchema(false);
    setLoadExternalDTD(false);
    setDisableDefaultEntityResolution(true);
    setCreateEntityReferenceNodes(false);
    setExitOnFirstFatalError(true);
    security_.setEntityExpansionLimit(16);
    setSecurityManager(&security_);
    setErrorHandler(&errors_);
    setXMLEntityResolver(&resolver_);
}

void QORMUSafeDOMParser::ResetState() {
    depth_ = 0;
    errors_.first.clear();
    names_.clear();
    nameStore_.clear();
}

void QORMUSafeDOMParser::CountName(const XMLCh* name) {
    const std::u16string_view view(reinterpret_cast<const char16_t*>(name ? name : u""));
    if (names_.count(view)) return;
    if (names_.size() >= maxNames_)
        throw QORMURefusedDocument{"the document uses more than " + std::to_string(maxNames_) +
                                   " distinct element and attribute names"};
    nameStore_.emplace_back(view);
    names_.insert(nameStore_.back());
}

void QORMUSafeDOMParser::doctypeDecl(const DTDElementDecl&, const XMLCh* const, const XMLCh* const, const bool,
                                     const bool) {
    throw QORMURefusedDocument{"the document has a DOCTYPE declaration, which metadata documents may not have"};
}

void QORMUSafeDOMParser::startElement(const XMLElementDecl& elemDecl, const unsigned int urlId,
                                      const XMLCh* const elemPrefix, const RefVectorOf<XMLAttr>& attrList,
                                      const XMLSize_t attrCount, const bool isEmpty, const bool isRoot) {
    if (depth_ + 1 > maxDepth_)
        throw QORMURefusedDocument{"elements are nested more than " + std::to_string(maxDepth_) + " levels deep"};
    CountName(elemDecl.getFullName());
    for (XMLSize_t i = 0; i < attrCount; ++i) CountName(attrList.elementAt(i)->getQName());
    if (!isEmpty) ++depth_;  // an empty element gets no endElement
    XercesDOMParser::startElement(elemDecl, urlId, elemPrefix, attrList, attrCount, isEmpty, isRoot);
}

void QORMUSafeDOMParser::endElement(const XMLElementDecl& elemDecl, const unsigned int urlId, const bool isRoot,
                                    const XMLCh* const elemPrefix) {
    if (depth_ > 0) --depth_;
    XercesDOMParser::endElement(elemDecl, urlId, isRoot, elemPrefix);
}

void QORMUSafeDOMParser::ErrorCollector::Record(const SAXParseException& e) {
    if (!first.empty()) return;
    first = "line " + std::to_string(e.getLineNumber()) + ", column " + std::to_string(e.getColumnNumber()) + ": " +
            DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
}

InputSource* QORMUSafeDOMParser::RefusingResolver::resolveEntity(XMLResourceIdentifier* resource) {
    std::string what = "the document refers to an external resource";
    if (resource && !QORMUIsNullDOMString(resource->getSystemId()))
        what += std::string(" (") + DOMToZULUnicodeString(resource->getSystemId()).ConvertToChar() + ")";
    throw QORMURefusedDocument{what + ", which is never loaded"};
}
