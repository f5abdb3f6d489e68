// SPDX-License-Identifier: Apache-2.0
// XML file reading and writing on Xerces-C.
//
// Reading is set up for untrusted input: a document with a DOCTYPE is
// refused, no external entity or DTD is ever loaded (nothing is fetched),
// entity expansion is bounded, and element nesting and the number of
// distinct names are limited. Layout white space (blank text with line ends
// among elements; not under xml:space="preserve", in or below an element that
// holds text, or from a character reference) is not kept in the DOM; all
// other text is kept as written.
// Writing is atomic: a temporary file next to the target, then a rename, so a
// failed write leaves neither a partial file nor a damaged earlier one; the
// new file keeps the permission bits and group of the one it replaces.
//
// Statuses follow ZULError: non-negative success, negative failure carrying
// an error of catalog "GDErrorCatalog" with one parameter: the quoted file
// name, what failed and why (for a refused document: line, column and what
// was wrong), as in "x.xml" could not be read: the file is empty.
// Nothing here prints; the reason is also traced.
// Threads: init holds one parser for the whole process until terminate (the
// parser holder); parse and write from one thread at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

// A place in a parsed document as the parser counts it: line and column
// from 1, a column in UTF-16 units (a character beyond U+FFFF counts two);
// 0 when there is no place (a file that cannot be opened). The byte column
// counts the bytes of the line in UTF-8 from 1, where it was asked for
// (cDDLXMLParseDetails::byteColumns) or found with the place, else 0.
struct cDDLXMLPosition {
    unsigned long line = 0;
    unsigned long column = 0;
    unsigned long byteColumn = 0;
};

// What a parse tells besides the document, for a check that lists every
// problem with its place: where the start tag of each element begins, and
// why and where a refused document was refused.
struct cDDLXMLParseDetails {
    // Set by the caller: the start tags of elements nested this deep or less
    // are recorded (1: the document element only; 0: none).
    unsigned recordDepth = 0;
    // Set by the caller: the places below get their byte columns too (a file's
    // bytes are then kept as they are read).
    bool byteColumns = false;
    // Where the start tag of each recorded element begins, in document order.
    std::vector<cDDLXMLPosition> startTags;
    // A failed parse: what was wrong (without its place) and where.
    std::string failure;
    cDDLXMLPosition failureAt;
};

class cDDLXMLParser {
public:
    // Deepest element nesting a parsed document may have.
    static constexpr unsigned kMaxDepth = 1000;
    // Most distinct element and attribute names a parsed document may use.
    static constexpr std::size_t kMaxNames = 10000;

    static int init();
    // Parses fileName (UTF-8 path) into document; details, when given, are filled.
    static int parseXMLFile(const ZULUnicodeString& fileName, DOM_Document& document,
                            cDDLXMLParseDetails* details = nullptr);
    // Parses a document held in memory (a version read from a repository);
    // name stands for it in errors. bytes must outlive the call only.
    static int parseXMLBytes(const std::string& bytes, const ZULUnicodeString& name, DOM_Document& document,
                             cDDLXMLParseDetails* details = nullptr);
    static int terminate();

    // Writes document (UTF-8, XML declaration, indented) to fileName. A null
    // document writes an empty file. Returns 0 or a negative failure status.
    static int writeXMLFile(const DOM_Document& document, const ZULUnicodeString& fileName);
    // Writes bytes as they are to fileName, atomically as writeXMLFile does
    // (for a document given back byte for byte, or a file of any kind).
    // Returns 0 or a negative failure status carrying GDFileWriteError_1.
    static int writeFile(const std::string& bytes, const ZULUnicodeString& fileName);

    // A new empty DOM document; usable with or without init. Throws the
    // Xerces exception on failure.
    static DOM_Document createDocument();

    // The line of fileName on which the start tag of element (of a document
    // parsed from it) begins, found by reading the file again up to it; 0 when
    // it cannot be told. For messages about a document that parsed but did not load:
    // nothing is kept while parsing for it. Usable with or without init.
    static unsigned long lineOfElement(const ZULUnicodeString& fileName, const xercesc::DOMElement* element);
};
