// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULMessageCatalog.h"

#include <cstring>

namespace {

struct Message {
    const char* catalog;
    const char* id;
    const char* text;
};

constexpr Message kMessages[] = {
    {"MDErrorCatalog", "MDInputError_1",
     "Too few arguments: give -New and -Diff (with an optional -Old), or -Deleted and -Diff."},
    {"MDErrorCatalog", "MDInputError_2",
     "Too few or wrong arguments: give -New and -Diff (with an optional -Old), or -Deleted and -Diff."},
    {"MDErrorCatalog", "MDInputError_3", "The option -Old must be followed by the name of the old metadata file."},
    {"MDErrorCatalog", "MDInputError_4",
     "The option -Deleted must be followed by the name of the deleted metadata file."},
    {"MDErrorCatalog", "MDInputError_5", "The option -New must be followed by the name of the new metadata file."},
    {"MDErrorCatalog", "MDInputError_6", "The option -Diff must be followed by the name of the diff file to create."},
    {"MDErrorCatalog", "MDInputError_7", "The option -iDir must be followed by the input search path."},
    {"MDErrorCatalog", "MDInputError_8", "The option -oDir must be followed by the output folder."},
    {"MDErrorCatalog", "MDInputError_9", "The folder given with -oDir does not exist or cannot be written."},
    {"MDErrorCatalog", "MDInputError_10", "The option -Diff is missing: name the diff file to create."},
    {"MDErrorCatalog", "MDInputError_11", "The option -Deleted cannot be combined with -New or -Old."},
    {"MDErrorCatalog", "MDInputError_12",
     "The option -New is missing: name the new metadata file (or use -Deleted alone)."},
    {"MDErrorCatalog", "MDInputInfo_1", "The version was requested; no comparison was made."},
    {"MDErrorCatalog", "MDInputInfo_2", "Help was requested; no comparison was made."},
    // Each message has one parameter: what differs from one failure to the
    // next (a file's quoted name with why it could not be read, a trace
    // text with where it happened).
    {"MDErrorCatalog", "MDFileError_1", "The metadata file %1"},
    {"MDErrorCatalog", "MDInternalError_1", "The run stopped (%1)"},
    {"MDErrorCatalog", "MDResourceError_1", "The run ran out of memory while %1; nothing was written."},
    {"MDErrorCatalog", "MDUnexpectedError_1", "The run stopped while %1; nothing was written."},
    {"GDErrorCatalog", "GDInternalError_1", "The diff document could not be built completely: %1"},
    {"GDErrorCatalog", "GDXMLInitError_1", "The XML library could not be started: %1"},
    {"GDErrorCatalog", "GDXMLStateError_1", "The XML parser was used before cDDLXMLParser::init."},
    {"GDErrorCatalog", "GDXMLParseError_1", "The XML file %1"},
    {"GDErrorCatalog", "GDXMLWriteError_1", "The XML file %1"},
    {"GDErrorCatalog", "GDFileWriteError_1", "The file %1"},
};

}  // namespace

namespace ZULMessageCatalog {

const char* Lookup(const char* catalogName, const char* messageId) {
    if (!catalogName || !messageId) return nullptr;
    for (const Message& message : kMessages)
        if (std::strcmp(message.catalog, catalogName) == 0 && std::strcmp(message.id, messageId) == 0)
            return message.text;
    return nullptr;
}

ZULUnicodeString Format(const char* catalogName, const char* messageId,
                        const std::vector<ZULUnicodeString>& parameters) {
    const char* text = Lookup(catalogName, messageId);
    if (!text) {
        ZULUnicodeString unknown("Message ");
        unknown.Append(messageId ? messageId : "(none)")
            .Append(" of catalog ")
            .Append(catalogName ? catalogName : "(none)");
        for (const ZULUnicodeString& parameter : parameters) unknown.Append(": ").Append(parameter);
        return unknown;
    }
    ZULUnicodeString result;
    const char* start = text;
    for (const char* p = text; *p; ++p) {
        if (p[0] != '%' || p[1] < '1' || p[1] > '9') continue;
        result.Append(ZULUnicodeString(start, static_cast<std::size_t>(p - start)));
        const std::size_t n = static_cast<std::size_t>(p[1] - '1');
        if (n < parameters.size()) result.Append(parameters[n]);
        start = p + 2;
        ++p;
    }
    result.Append(start);
    return result;
}

}  // namespace ZULMessageCatalog
