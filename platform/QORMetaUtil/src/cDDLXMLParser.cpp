// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/cDDLXMLParser.h"

#include <memory>
#include <new>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMUBadUtf8.h"
#include "QORMUDomDocument.h"
#include "QORMUFileInputSource.h"
#include "QORMUSafeDOMParser.h"
#include "QORMUTextPlaces.h"
#include "QORMetaUtil/QORMUAtomicFileTarget.h"
#include "QORMetaUtil/QORMUDocumentWriter.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "ZULBase/ZULResourceError.h"

using namespace xercesc;

namespace {

const char kModule[] = "platform\\QORMetaUtil\\cDDLXMLParser";

// The parser between init and terminate; null outside. A run that fails
// while loading leaves it to the next run's init; one still held when the
// process ends is released then, with its use of Xerces.
struct ParserHolder {
    ~ParserHolder() { Release(); }
    void Release() {
        if (!parser) return;
        parser.reset();
        memory.reset();
        QORMUReleaseXerces();
    }
    std::unique_ptr<QORMUArena> memory;  // the parser's own, from init to terminate
    std::unique_ptr<QORMUSafeDOMParser> parser;
};

ParserHolder& Holder() {
    static ParserHolder holder;
    return holder;
}

std::unique_ptr<QORMUSafeDOMParser>& Parser() { return Holder().parser; }

int Fail(const char* messageId, const ZULUnicodeString& parameter, int line) {
    ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError(messageId, "GDErrorCatalog");
    error->SetNLSParameters(1, &parameter);
    return ZULError::GetReturn(2, error, nullptr, kModule, line);
}

// The one parameter of a file's failure: its quoted name, what failed and why.
ZULUnicodeString FileFailure(const ZULUnicodeString& fileName, const char* what, const std::string& reason) {
    ZULUnicodeString text("\"");
    text.Append(fileName).Append("\" ").Append(what).Append(": ").Append(reason.c_str());
    return text;
}

std::string Reason(const XMLCh* message) { return DOMToZULUnicodeString(message).ConvertToChar(); }

}  // namespace

int cDDLXMLParser::init() {
    if (Parser()) return ZULError::GetReturn(1, nullptr, nullptr, kModule, __LINE__);
    try {
        QORMUAcquireXerces();
    } catch (const XMLException& e) {
        return Fail("GDXMLInitError_1", ZULUnicodeString(Reason(e.getMessage()).c_str()), __LINE__);
    }
    try {
        Holder().memory = std::make_unique<QORMUArena>();
        Parser() = std::make_unique<QORMUSafeDOMParser>(kMaxDepth, kMaxNames, Holder().memory.get());
    } catch (...) {
        Holder().memory.reset();
        QORMUReleaseXerces();
        return Fail("GDXMLInitError_1", ZULUnicodeString("there was not enough memory to create the parser"), __LINE__);
    }
    return ZULError::GetReturn(1, nullptr, nullptr, kModule, __LINE__);
}

int cDDLXMLParser::terminate() {
    Holder().Release();
    return ZULError::GetReturn(1, nullptr, nullptr, kModule, __LINE__);
}

namespace {

// Why a parse failed: the reason that the error carries and, for details,
// the same without its place, and the place.
struct ParseFailure {
    std::string reason;
    std::string text;
    cDDLXMLPosition at;
    bool outOfMemory = false;

    bool Failed() const { return !reason.empty() || outOfMemory; }
    // A failure whose reason shows its place, as the scanner's errors do.
    void Placed(const std::string& what, cDDLXMLPosition where) {
        text = what;
        at = where;
        reason = "line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " + what;
    }
    void Unplaced(const std::string& what, cDDLXMLPosition where = {}) {
        reason = text = what;
        at = where;
    }
};

// The failure of a document read as UTF-8 told by its first bytes that are
// not UTF-8, placed where they begin: the parser places a failure on UTF-8
// where its decoding block began and shows replacement characters, and takes
// bad bytes in its last block for the end of its input, there. Any other
// failure, and one whose bytes (read again) are all UTF-8, stays as it is.
void PlaceBadUtf8(std::string_view bytes, const QORMUSafeDOMParser& parser, ParseFailure& failure) {
    QORMUBadUtf8 found;
    if (!QORMUFindBadUtf8(bytes, found)) return;
    const cDDLXMLPosition at = QORMUPlaceOfByte(bytes, found.offset, parser.IsXml11());
    if (parser.FailedOnUtf8() || (at.line == failure.at.line && at.column == failure.at.column))
        failure.Placed(found.what, at);
}

// Parses source with parser into the parser's document, or fills failure.
// nothingRead tells, after the parse, whether the source gave no byte;
// bytesOf gives the document's bytes, only looked at when a document read as
// UTF-8 failed.
template <class NothingRead, class BytesOf>
void ParseSource(QORMUSafeDOMParser& parser, InputSource& source, NothingRead nothingRead, BytesOf bytesOf,
                 cDDLXMLParseDetails* details, ParseFailure& failure) {
    try {
        parser.ResetState();
        if (details) parser.RecordStartTags(details->recordDepth, &details->startTags);
        parser.parse(source);
        if (nothingRead()) {
            if (!parser.FirstError().empty()) failure.Unplaced("the file is empty", {1, 1});
        } else if (!parser.FirstError().empty()) {
            failure.Placed(parser.FirstErrorText(), parser.FirstErrorAt());
            if (parser.FailedOnUtf8() || parser.ReadAsUtf8()) PlaceBadUtf8(bytesOf(), parser, failure);
        }
    } catch (const QORMURefusedDocument& refused) {
        failure.Unplaced(refused.reason, refused.at);
    } catch (const OutOfMemoryException&) {
        failure.outOfMemory = true;
    } catch (const std::bad_alloc&) {
        failure.outOfMemory = true;
    } catch (const XMLException& e) {
        failure.Unplaced(Reason(e.getMessage()));
    } catch (const DOMException& e) {
        failure.Unplaced(Reason(e.getMessage()));
    } catch (const SAXException& e) {
        failure.Unplaced(Reason(e.getMessage()));
    }
    if (failure.outOfMemory) failure.Unplaced("the run ran out of memory while reading it");
}

// The byte columns of the places details holds, counted in bytes, read in
// encoding, as UTF-8.
void CountByteColumns(std::u16string_view encoding, bool xml11, const std::string& bytes,
                      cDDLXMLParseDetails& details) {
    std::vector<cDDLXMLPosition*> places;
    for (cDDLXMLPosition& place : details.startTags) places.push_back(&place);
    if (details.failureAt.line > 0 && details.failureAt.byteColumn == 0) places.push_back(&details.failureAt);
    if (!places.empty()) QORMUCountByteColumns(QORMUTextAsUtf8(bytes, encoding), xml11, places);
}

int NotInitialised(int line) {
    ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError("GDXMLStateError_1", "GDErrorCatalog");
    return ZULError::GetReturn(2, error, nullptr, kModule, line);
}

// What a parse of name ends with: document adopted from the parser, or the
// failure (also into details). The parse's input source is gone by now: it
// needs the Xerces runtime, which a parser released here may take with it.
// caller: the operation that parsed, as the trace names it.
int Conclude(const char* caller, QORMUSafeDOMParser& parser, const ZULUnicodeString& name, ParseFailure& failure,
             DOM_Document& document, cDDLXMLParseDetails* details) {
    if (!failure.Failed()) {
        DOMDocument* parsed = parser.adoptDocument();
        if (parsed) {
            document = QORMUAdoptDocument(parsed, parser.TakeDocumentArena());
            return ZULError::GetReturn(1, nullptr, nullptr, kModule, __LINE__);
        }
        failure.Unplaced("the parser produced no document");
    }
    parser.DropDocument();
    // A Xerces parser that ran out of memory may not be used again: it goes,
    // and the next init makes another.
    if (failure.outOfMemory) Holder().Release();
    if (details) {
        details->failure = failure.text;
        details->failureAt = failure.at;
    }
    Trace((std::string(caller) + " refused").c_str(), ZULUnicodeString(failure.reason.c_str()), QORMUTrace_W3);
    return Fail("GDXMLParseError_1", FileFailure(name, "could not be read", failure.reason), __LINE__);
}

// What a parse ends with (Conclude), with the byte columns of details
// counted in bytes, the bytes the parser read, when the caller asked for them.
int ConcludeCounting(const char* caller, QORMUSafeDOMParser& parser, const ZULUnicodeString& name,
                     ParseFailure& failure, const std::string& bytes, DOM_Document& document,
                     cDDLXMLParseDetails* details) {
    // Conclude may release the parser: what counting needs of it is taken first.
    const std::u16string encoding = parser.Encoding();
    const bool xml11 = parser.IsXml11();
    const int status = Conclude(caller, parser, name, failure, document, details);
    // (Memory ran out: the parser and Xerces may be gone, and no place is worth the risk.)
    if (details && details->byteColumns && !failure.outOfMemory) CountByteColumns(encoding, xml11, bytes, *details);
    return status;
}

}  // namespace

int cDDLXMLParser::parseXMLFile(const ZULUnicodeString& fileName, DOM_Document& document,
                                cDDLXMLParseDetails* details) {
    QORMUSafeDOMParser* parser = Parser().get();
    if (!parser) return NotInitialised(__LINE__);
    // The bytes are kept as they are read for byte columns, and from what
    // cannot be read again (a pipe); else a failure on UTF-8 reads them again.
    std::string bytes;
    bool keep = false;
    ParseFailure failure;
    {
        QORMUFileInputSource source(fileName);
        keep = (details && details->byteColumns) || !source.IsRegularFile();
        if (keep) source.KeepBytes(&bytes);
        if (source.OpenError().empty())
            ParseSource(
                *parser, source, [&] { return source.BytesRead() == 0; },
                [&] {
                    if (!keep) bytes = QORMUFileInputSource::ReadAgain(fileName);
                    return std::string_view(bytes);
                },
                details, failure);
        else
            failure.Unplaced("cannot open it: " + source.OpenError());
    }
    return ConcludeCounting("cDDLXMLParser::parseXMLFile", *parser, fileName, failure, bytes, document, details);
}

int cDDLXMLParser::parseXMLBytes(const std::string& bytes, const ZULUnicodeString& name, DOM_Document& document,
                                 cDDLXMLParseDetails* details) {
    QORMUSafeDOMParser* parser = Parser().get();
    if (!parser) return NotInitialised(__LINE__);
    ParseFailure failure;
    {
        MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), ZULToDOMString(name));
        ParseSource(
            *parser, source, [&] { return bytes.empty(); }, [&] { return std::string_view(bytes); }, details, failure);
    }
    return ConcludeCounting("cDDLXMLParser::parseXMLBytes", *parser, name, failure, bytes, document, details);
}

unsigned long cDDLXMLParser::lineOfElement(const ZULUnicodeString& fileName, const DOMElement* element) {
    const DOMDocument* document = element ? element->getOwnerDocument() : nullptr;
    if (!document) return 0;
    // Its place among the elements of its document, in document order.
    std::size_t index = 0;
    const DOMNode* node = document->getDocumentElement();
    while (node && node != element) {
        const DOMNode* next = node->getFirstChild();
        while (!next && node) {
            next = node->getNextSibling();
            if (!next) node = node->getParentNode();
        }
        node = next;
        if (node && node->getNodeType() == DOMNode::ELEMENT_NODE) ++index;
    }
    if (!node) return 0;
    unsigned long line = 0;
    try {
        QORMUAcquireXerces();
    } catch (const XMLException&) {
        return 0;
    }
    {
        QORMUArena memory;
        QORMUSafeDOMParser parser(kMaxDepth, kMaxNames, &memory);
        QORMUFileInputSource source(fileName);
        try {
            parser.ResetState();
            parser.StopAtElement(index);
            if (source.OpenError().empty()) parser.parse(source);
        } catch (const QORMUStoppedAt& stopped) {
            line = stopped.at.line;
        } catch (...) {  // the file changed since, or cannot be read again: no line
        }
        parser.DropDocument();
    }
    QORMUReleaseXerces();
    return line;
}

namespace {

// Writes what fill puts into an atomic target for fileName: 0, or a failure
// carrying messageId, traced as caller's.
template <class Fill>
int WriteAtomically(const char* caller, const ZULUnicodeString& fileName, const char* messageId, Fill fill) {
    QORMUAtomicFileTarget target(fileName.ConvertToChar());
    std::string reason = target.Error();
    if (reason.empty()) {
        if (!fill(target, reason) && reason.empty()) reason = "serialisation failed";
        if (reason.empty() && !target.Commit()) reason = target.Error();
        if (reason.empty() && !target.Error().empty()) reason = target.Error();
    }
    if (reason.empty()) return 0;
    Trace((std::string(caller) + " failed").c_str(), ZULUnicodeString(reason.c_str()), QORMUTrace_W3);
    return Fail(messageId, FileFailure(fileName, "could not be written", reason), __LINE__);
}

}  // namespace

int cDDLXMLParser::writeXMLFile(const DOM_Document& document, const ZULUnicodeString& fileName) {
    return WriteAtomically("cDDLXMLParser::writeXMLFile", fileName, "GDXMLWriteError_1",
                           [&](QORMUAtomicFileTarget& target, std::string& reason) {
                               return QORMUWriteDocument(document.get(), target, reason);
                           });
}

int cDDLXMLParser::writeFile(const std::string& bytes, const ZULUnicodeString& fileName) {
    return WriteAtomically("cDDLXMLParser::writeFile", fileName, "GDFileWriteError_1",
                           [&](QORMUAtomicFileTarget& target, std::string&) {
                               target.writeChars(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), nullptr);
                               return true;
                           });
}
