// SPDX-License-Identifier: Apache-2.0
// A XercesDOMParser set up for untrusted metadata documents.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLString.hpp>

#include "QORMULayoutText.h"
#include "QORMetaUtil/QORMUArena.h"
#include "QORMetaUtil/cDDLXMLParser.h"

// Thrown from inside the parse when the document is refused outright, with
// where the markup that made it refused begins.
struct QORMURefusedDocument {
    std::string reason;
    cDDLXMLPosition at;
};

// Thrown from inside the parse when it reaches the element it was to stop at,
// with where its start tag begins.
struct QORMUStoppedAt {
    cDDLXMLPosition at;
};

class QORMUSafeDOMParser : public xercesc::XercesDOMParser {
public:
    // The parser's own memory comes from parserMemory; each document it
    // builds gets an arena of its own (TakeDocumentArena).
    QORMUSafeDOMParser(unsigned maxDepth, std::size_t maxNames, xercesc::MemoryManager* parserMemory);
    ~QORMUSafeDOMParser() override;

    // Clears what an earlier parse left (first error, depth, names, what to
    // record or stop at); call before each parse.
    void ResetState();
    // Makes the next parse stop at the start of its elementIndex-th element
    // (0 for the document element, in document order), throwing
    // QORMUStoppedAt with where its start tag begins.
    void StopAtElement(std::size_t elementIndex) { stopAt_ = elementIndex; }
    // Makes the next parse append to startTags where the start tag of each
    // element nested depth deep or less begins, in document order.
    void RecordStartTags(unsigned depth, std::vector<cDDLXMLPosition>* startTags) {
        recordDepth_ = depth;
        startTags_ = startTags;
    }
    // The document of the parse that begins, in a new arena.
    void startDocument() override;
    // The arena of the document that adoptDocument hands over; null when
    // no parse started since the last call.
    std::unique_ptr<QORMUArena> TakeDocumentArena() { return std::move(documentArena_); }
    // Releases the document of the last parse, which was not adopted, then
    // its arena. Also after Xerces ran out of memory, which leaves the parser
    // marked as parsing.
    void DropDocument();
    // A DOCTYPE ends the parse: metadata documents never need one, and
    // refusing it keeps every DTD and entity feature out of reach.
    void doctypeDecl(const xercesc::DTDElementDecl& elemDecl, const XMLCh* const publicId, const XMLCh* const systemId,
                     const bool hasIntSubset, const bool hasExtSubset) override;
    void startElement(const xercesc::XMLElementDecl& elemDecl, const unsigned int urlId, const XMLCh* const elemPrefix,
                      const xercesc::RefVectorOf<xercesc::XMLAttr>& attrList, const XMLSize_t attrCount,
                      const bool isEmpty, const bool isRoot) override;
    void endElement(const xercesc::XMLElementDecl& elemDecl, const unsigned int urlId, const bool isRoot,
                    const XMLCh* const elemPrefix) override;
    // Layout white space (QORMULayoutText.h) is not kept: blank text that
    // would start a text node is held back until the next event shows
    // whether it sits beside elements (dropped) or is content (kept). A
    // character reference is content: it is told by the character that
    // follows the event before it ('&', or '#' after a text that stopped at
    // its '&').
    void docCharacters(const XMLCh* const chars, const XMLSize_t length, const bool cdataSection) override;
    void docComment(const XMLCh* const comment) override;
    void docPI(const XMLCh* const target, const XMLCh* const data) override;
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length, const bool cdataSection) override;
    void XMLDecl(const XMLCh* const versionStr, const XMLCh* const encodingStr, const XMLCh* const standaloneStr,
                 const XMLCh* const actualEncStr) override;

    // Notes whether the first error is one of UTF-8 (the scanner's own
    // errors come through here too), then reports it as the base does.
    void error(const unsigned int code, const XMLCh* const domain, const xercesc::XMLErrorReporter::ErrTypes type,
               const XMLCh* const text, const XMLCh* const systemId, const XMLCh* const publicId, const XMLFileLoc line,
               const XMLFileLoc column) override;
    // Whether the last parse failed on bytes that are not UTF-8 in a document
    // read as UTF-8: its error's place is then where the parser's decoding
    // block began, not where the bytes are.
    bool FailedOnUtf8() const { return failedOnUtf8_; }
    // Whether the last document declared XML 1.1 (NEL and U+2028 end lines).
    bool IsXml11() const { return xml11_; }
    // The encoding the last document was read in (as sensed from its first
    // bytes, then as its declaration says); empty if its parse did not start.
    const std::u16string& Encoding() const { return encoding_; }
    bool ReadAsUtf8() const { return xercesc::XMLString::compareIString(encoding_.c_str(), u"UTF-8") == 0; }

    // The first fatal error or error of the last parse, with its position; empty if none.
    const std::string& FirstError() const { return errors_.first; }
    // The same error without its position, and the position.
    const std::string& FirstErrorText() const { return errors_.firstText; }
    cDDLXMLPosition FirstErrorAt() const { return errors_.firstAt; }

private:
    struct ErrorCollector : xercesc::ErrorHandler {
        void warning(const xercesc::SAXParseException&) override {}
        void error(const xercesc::SAXParseException& e) override { Record(e); }
        void fatalError(const xercesc::SAXParseException& e) override { Record(e); }
        void resetErrors() override {
            first.clear();
            firstText.clear();
            firstAt = {};
        }
        void Record(const xercesc::SAXParseException& e);
        std::string first;
        std::string firstText;
        cDDLXMLPosition firstAt;
    };
    struct RefusingResolver : xercesc::XMLEntityResolver {
        xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* resource) override;
        const cDDLXMLPosition* markupAt = nullptr;  // where the markup that refers to it begins
    };

    // Counts a distinct element or attribute name of the markup that begins
    // at; throws past maxNames_.
    void CountName(const XMLCh* name, cDDLXMLPosition at);
    // Adds the held-back blank text to the document as it came.
    void FlushBlank();
    // The held-back blank text sits beside a child element that begins or
    // the element's end: dropped when it is layout, else kept.
    void SettleHeldBlank();
    // After each event: where the next one starts, and whether a reference
    // follows. The scanner reports each piece of a document (text, markup,
    // the white space of the prolog) as an event once it has read it whole,
    // so the last event's end is where a start tag begins.
    void AfterEvent();

    unsigned maxDepth_;
    unsigned depth_ = 0;
    std::size_t elements_ = 0;              // started in this parse
    std::size_t stopAt_ = std::size_t(-1);  // StopAtElement; none by default
    unsigned recordDepth_ = 0;              // RecordStartTags
    std::vector<cDDLXMLPosition>* startTags_ = nullptr;
    cDDLXMLPosition eventEnd_;  // where the last event ended (AfterEvent)
    // The DOM pools names in a table of fixed size, so that building a document
    // takes time quadratic in its number of distinct names: they are bounded.
    std::size_t maxNames_;
    std::deque<std::u16string> nameStore_;
    std::unordered_set<std::u16string_view> names_;  // views into nameStore_
    std::u16string heldBlank_;
    bool holding_ = false;
    bool referenceNext_ = false;  // the next text begins with a character or entity reference
    bool failedOnUtf8_ = false;   // FailedOnUtf8
    bool xml11_ = false;          // IsXml11
    std::u16string encoding_;     // Encoding
    QORMULayoutText layout_;
    std::unique_ptr<QORMUArena> documentArena_;
    xercesc::SecurityManager security_;
    ErrorCollector errors_;
    RefusingResolver resolver_;
};
