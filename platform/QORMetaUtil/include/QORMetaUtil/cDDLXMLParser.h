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
#pragma once

#include <cstddef>
#include <string>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

class cDDLXMLParser {
public:
    // Deepest element nesting a parsed document may have.
    static constexpr unsigned kMaxDepth = 1000;
    // Most distinct element and attribute names a parsed document may use.
    static constexpr std::size_t kMaxNames = 10000;

    static int init();
    // Parses fileName (UTF-8 path) into document.
    static int parseXMLFile(const ZULUnicodeString& fileName, DOM_Document& document);
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

    // The line of fileName on which element (of a document parsed from it)
    // starts, found by reading the file again up to it; 0 when it cannot be
    // told. For messages about a document that parsed but did not load:
    // nothing is kept while parsing for it. Usable with or without init.
    static unsigned long lineOfElement(const ZULUnicodeString& fileName, const xercesc::DOMElement* element);
};
