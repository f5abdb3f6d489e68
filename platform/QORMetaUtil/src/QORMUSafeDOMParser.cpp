// SPDX-License-Identifier: Apache-2.0
#include "QORMUSafeDOMParser.h"

#include <xercesc/dom/impl/DOMDocumentImpl.hpp>
#include <xercesc/framework/XMLValidator.hpp>
#include <xercesc/internal/ReaderMgr.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLExceptMsgs.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "QORMULayoutText.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

QORMUSafeDOMParser::QORMUSafeDOMParser(unsigned maxDepth, std::size_t maxNames, MemoryManager* parserMemory)
    : XercesDOMParser(nullptr, parserMemory), maxDepth_(maxDepth), maxNames_(maxNames) {
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
    resolver_.markupAt = &eventEnd_;
    setXMLEntityResolver(&resolver_);
}

QORMUSafeDOMParser::~QORMUSafeDOMParser() { DropDocument(); }

void QORMUSafeDOMParser::DropDocument() {
    setParseInProgress(false);
    resetDocumentPool();
    documentArena_.reset();
}

void QORMUSafeDOMParser::ResetState() {
    depth_ = 0;
    elements_ = 0;
    stopAt_ = std::size_t(-1);
    recordDepth_ = 0;
    startTags_ = nullptr;
    eventEnd_ = {1, 1};
    std::u16string().swap(heldBlank_);  // a long blank run of the last document is not kept
    holding_ = false;
    referenceNext_ = false;
    failedOnUtf8_ = false;
    xml11_ = false;
    encoding_.clear();
    layout_.Reset();
    errors_.resetErrors();
    names_.clear();
    nameStore_.clear();
}

void QORMUSafeDOMParser::CountName(const XMLCh* name, cDDLXMLPosition at) {
    const std::u16string_view view(reinterpret_cast<const char16_t*>(name ? name : u""));
    if (names_.count(view)) return;
    if (names_.size() >= maxNames_)
        throw QORMURefusedDocument{
            "the document uses more than " + std::to_string(maxNames_) + " distinct element and attribute names", at};
    nameStore_.emplace_back(view);
    names_.insert(nameStore_.back());
}

void QORMUSafeDOMParser::startDocument() {
    // As AbstractDOMParser::startDocument, but in an arena of the document's own
    // instead of the parser's memory.
    documentArena_ = std::make_unique<QORMUArena>();
    DOMImplementation* implementation = DOMImplementation::getImplementation();
    fDocument = static_cast<DOMDocumentImpl*>(implementation->createDocument(documentArena_.get()));
    fCurrentParent = fDocument;
    fCurrentNode = fDocument;
    fDocument->setErrorChecking(false);
    fDocument->setDocumentURI(getScanner()->getLocator()->getSystemId());
    fDocument->setInputEncoding(getScanner()->getReaderMgr()->getCurrentEncodingStr());
    encoding_ = reinterpret_cast<const char16_t*>(fDocument->getInputEncoding());
}

void QORMUSafeDOMParser::doctypeDecl(const DTDElementDecl&, const XMLCh* const, const XMLCh* const, const bool,
                                     const bool) {
    throw QORMURefusedDocument{"the document has a DOCTYPE declaration, which metadata documents may not have",
                               eventEnd_};
}

void QORMUSafeDOMParser::startElement(const XMLElementDecl& elemDecl, const unsigned int urlId,
                                      const XMLCh* const elemPrefix, const RefVectorOf<XMLAttr>& attrList,
                                      const XMLSize_t attrCount, const bool isEmpty, const bool isRoot) {
    // The start tag was read whole: it begins where the event before it ended.
    const cDDLXMLPosition start = eventEnd_;
    if (elements_++ == stopAt_) throw QORMUStoppedAt{start};
    if (depth_ + 1 > maxDepth_)
        throw QORMURefusedDocument{"elements are nested more than " + std::to_string(maxDepth_) + " levels deep",
                                   start};
    CountName(elemDecl.getFullName(), start);
    const XMLCh* space = nullptr;
    for (XMLSize_t i = 0; i < attrCount; ++i) {
        const XMLAttr* attribute = attrList.elementAt(i);
        CountName(attribute->getQName(), start);
        if (std::u16string_view(reinterpret_cast<const char16_t*>(attribute->getQName())) == u"xml:space")
            space = attribute->getValue();
    }
    if (startTags_ && depth_ < recordDepth_) startTags_->push_back(start);
    SettleHeldBlank();
    // Every element ends in endElement, an empty one from within the base's
    // startElement.
    ++depth_;
    layout_.Open(space);
    XercesDOMParser::startElement(elemDecl, urlId, elemPrefix, attrList, attrCount, isEmpty, isRoot);
    AfterEvent();
}

void QORMUSafeDOMParser::endElement(const XMLElementDecl& elemDecl, const unsigned int urlId, const bool isRoot,
                                    const XMLCh* const elemPrefix) {
    if (depth_ > 0) --depth_;
    bool hasElementChild = false;
    for (DOMNode* child = fCurrentParent ? fCurrentParent->getFirstChild() : nullptr; child && !hasElementChild;
         child = child->getNextSibling())
        hasElementChild = child->getNodeType() == DOMNode::ELEMENT_NODE;
    if (!hasElementChild) {
        FlushBlank();  // blank text of an element without element children is its content
    } else {
        SettleHeldBlank();
        layout_.SettleBlankChildren(fCurrentParent, fDocument);
    }
    layout_.Close();
    XercesDOMParser::endElement(elemDecl, urlId, isRoot, elemPrefix);
    AfterEvent();
}

void QORMUSafeDOMParser::docCharacters(const XMLCh* const chars, const XMLSize_t length, const bool cdataSection) {
    const bool startsNode = !fCurrentNode || fCurrentNode->getNodeType() != DOMNode::TEXT_NODE;
    if (!cdataSection && !referenceNext_ && (startsNode || holding_) && QORMUIsBlank(chars, length)) {
        if (!holding_) heldBlank_.clear();
        heldBlank_.append(reinterpret_cast<const char16_t*>(chars), length);
        holding_ = true;
        AfterEvent();
        return;
    }
    FlushBlank();  // more text follows: the held blank is the start of it
    XercesDOMParser::docCharacters(chars, length, cdataSection);
    if (depth_ > 0) layout_.HoldsText(fDocument);
    AfterEvent();
}

void QORMUSafeDOMParser::docComment(const XMLCh* const comment) {
    FlushBlank();
    XercesDOMParser::docComment(comment);
    AfterEvent();
}

void QORMUSafeDOMParser::docPI(const XMLCh* const target, const XMLCh* const data) {
    FlushBlank();
    XercesDOMParser::docPI(target, data);
    AfterEvent();
}

void QORMUSafeDOMParser::ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length,
                                             const bool cdataSection) {
    XercesDOMParser::ignorableWhitespace(chars, length, cdataSection);  // the blanks of the prolog and the epilog
    AfterEvent();
}

void QORMUSafeDOMParser::XMLDecl(const XMLCh* const versionStr, const XMLCh* const encodingStr,
                                 const XMLCh* const standaloneStr, const XMLCh* const actualEncStr) {
    XercesDOMParser::XMLDecl(versionStr, encodingStr, standaloneStr, actualEncStr);
    xml11_ = XMLString::equals(versionStr, u"1.1");
    if (!QORMUIsNullDOMString(actualEncStr)) encoding_ = reinterpret_cast<const char16_t*>(actualEncStr);
    AfterEvent();
}

void QORMUSafeDOMParser::error(const unsigned int code, const XMLCh* const domain,
                               const XMLErrorReporter::ErrTypes type, const XMLCh* const text,
                               const XMLCh* const systemId, const XMLCh* const publicId, const XMLFileLoc line,
                               const XMLFileLoc column) {
    if (errors_.first.empty())
        failedOnUtf8_ = XMLString::equals(domain, XMLUni::fgExceptDomain) && code >= XMLExcepts::UTF8_FormatError &&
                        code <= XMLExcepts::UTF8_Exceeds_BytesLimit;
    XercesDOMParser::error(code, domain, type, text, systemId, publicId, line, column);
}

void QORMUSafeDOMParser::AfterEvent() {
    // A text stops before '<' and after the '&' of a reference; a reference
    // is the start of the next text.
    const XMLCh next = const_cast<ReaderMgr*>(getScanner()->getReaderMgr())->peekNextChar();
    referenceNext_ = next == u'&' || next == u'#';
    const Locator* scanned = getScanner()->getLocator();
    eventEnd_ = {static_cast<unsigned long>(scanned->getLineNumber()),
                 static_cast<unsigned long>(scanned->getColumnNumber())};
}

void QORMUSafeDOMParser::SettleHeldBlank() {
    if (!holding_) return;
    if (!layout_.IsLayout(heldBlank_)) {
        FlushBlank();
        layout_.HoldsText(fDocument);
        return;
    }
    holding_ = false;
    // The node before the blank is the last one added under the element, or
    // none when that is the element itself.
    layout_.Drop(fCurrentParent, fCurrentNode == fCurrentParent ? nullptr : fCurrentNode, heldBlank_);
}

void QORMUSafeDOMParser::FlushBlank() {
    if (!holding_) return;
    holding_ = false;
    XercesDOMParser::docCharacters(heldBlank_.data(), heldBlank_.size(), false);
}

void QORMUSafeDOMParser::ErrorCollector::Record(const SAXParseException& e) {
    if (!first.empty()) return;
    firstAt = {static_cast<unsigned long>(e.getLineNumber()), static_cast<unsigned long>(e.getColumnNumber())};
    firstText = DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
    first = "line " + std::to_string(firstAt.line) + ", column " + std::to_string(firstAt.column) + ": " + firstText;
}

InputSource* QORMUSafeDOMParser::RefusingResolver::resolveEntity(XMLResourceIdentifier* resource) {
    std::string what = "the document refers to an external resource";
    if (resource && !QORMUIsNullDOMString(resource->getSystemId()))
        what += std::string(" (") + DOMToZULUnicodeString(resource->getSystemId()).ConvertToChar() + ")";
    throw QORMURefusedDocument{what + ", which is never loaded", *markupAt};
}
