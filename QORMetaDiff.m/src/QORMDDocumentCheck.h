// SPDX-License-Identifier: Apache-2.0
// cDocumentCheck: a metadata document read by the loader's rules, with every
// problem listed in document order instead of the first one alone: what the
// parser refuses (a DOCTYPE, markup that is not well-formed, nesting too
// deep...), then the classes and attributes as cContainerCheck looks at them.
// One parse and one pass over the classes and attributes: linear time. The
// check program lists the problems; the range report tells by them why a
// version does not load.
#pragma once

#include <string>
#include <vector>

#include "QORMDCheckProblem.h"
#include "QORMetaUtil/QORMUDomHandle.h"

class cDocumentCheck {
public:
    // The problems of the file fileName (UTF-8 path), their places with byte
    // columns too when asked. Needs cDDLXMLParser::init.
    static std::vector<cCheckProblem> OfFile(const std::string& fileName, bool byteColumns = false);
    // The problems of a document held in memory, known as name. Needs cDDLXMLParser::init.
    static std::vector<cCheckProblem> OfBytes(const std::string& bytes, const std::string& name);
    // The problems of a parse that returned status, with details recorded for
    // three levels (package, classes, attributes): for a caller that goes on
    // to load the same parse.
    static std::vector<cCheckProblem> Of(int status, const DOM_Document& document, const cDDLXMLParseDetails& details);

private:
    // A package without a Name: the comparison needs one from either version.
    static void Package(const xercesc::DOMElement* package, cDDLXMLPosition at, std::vector<cCheckProblem>& problems);
};
