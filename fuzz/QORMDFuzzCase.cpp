#include "QORMDFuzzCase.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "QORMDMetaDiffApi.h"
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULError.h"

namespace {

bool WriteWhole(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t n = ::write(fd, data, size);
        ok = n > 0;
        if (ok) {
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    return ::close(fd) == 0 && ok;
}

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

// True when path parses and its document element is "Diff".
bool IsDiffDocument(const std::string& path) {
    if (cDDLXMLParser::init() < 0) return false;
    bool isDiff = false;
    {
        DOM_Document document;
        if (cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document) >= 0 && document &&
            document->getDocumentElement()) {
            static const XMLCh kDiff[] = {u'D', u'i', u'f', u'f', 0};
            isDiff = xercesc::XMLString::equals(document->getDocumentElement()->getTagName(), kDiff);
        }
    }
    cDDLXMLParser::terminate();
    return isDiff;
}

// Whether a namespace-aware parser, as most XML libraries are, reads path
// without an error. Only for files that the hardened parser has read.
bool NamespaceWellFormed(const std::string& path) {
    struct CountErrors : xercesc::ErrorHandler {
        void warning(const xercesc::SAXParseException&) override {}
        void error(const xercesc::SAXParseException&) override { ++count; }
        void fatalError(const xercesc::SAXParseException&) override { ++count; }
        void resetErrors() override { count = 0; }
        int count = 0;
    } errors;
    xercesc::XMLPlatformUtils::Initialize();
    {
        xercesc::XercesDOMParser parser;
        parser.setDoNamespaces(true);
        parser.setLoadExternalDTD(false);
        parser.setErrorHandler(&errors);
        xercesc::LocalFileInputSource source(ZULToDOMString(ZULUnicodeString(path.c_str())));
        parser.parse(source);
    }
    xercesc::XMLPlatformUtils::Terminate();
    return errors.count == 0;
}

}  // namespace

std::string QORMDRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size) {
    const std::string oldPath = folder + "/old.xml";
    const std::string newPath = folder + "/new.xml";
    const std::string diffPath = folder + "/diff.xml";
    ::unlink(oldPath.c_str());
    ::unlink(newPath.c_str());
    ::unlink(diffPath.c_str());

    const auto* cut = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t oldSize = cut ? static_cast<std::size_t>(cut - data) : 0;
    const std::uint8_t* newData = cut ? cut + 1 : data;
    const std::size_t newSize = cut ? size - oldSize - 1 : size;
    const bool hasOld = oldSize > 0;
    const bool hasNew = newSize > 0;
    if ((hasOld && !WriteWhole(oldPath, data, oldSize)) || (hasNew && !WriteWhole(newPath, newData, newSize)))
        return "cannot write the inputs to " + folder;

    const std::int32_t status = cQORMDApi::Process(ZULUnicodeString(hasOld ? oldPath.c_str() : ""),
                                                   ZULUnicodeString(hasNew ? newPath.c_str() : ""),
                                                   ZULUnicodeString(diffPath.c_str()), 0);
    cQORMDApi::Terminate();  // a failed Process leaves its inputs behind

    std::set<std::string> expected;
    if (hasOld) expected.insert("old.xml");
    if (hasNew) expected.insert("new.xml");
    const bool written = ::access(diffPath.c_str(), F_OK) == 0;
    if (status < 0) {
        if (!ZULError::ZULGetLastError(status, nullptr)) return "a failure status carries no error";
        if (written) return "a failed run wrote a diff file";
    } else if (written) {
        if (!IsDiffDocument(diffPath)) return "the diff file written does not parse as a Diff document";
        if ((!hasOld || NamespaceWellFormed(oldPath)) && (!hasNew || NamespaceWellFormed(newPath)) &&
            !NamespaceWellFormed(diffPath))
            return "the diff of documents a namespace-aware parser reads is not read by one";
        expected.insert("diff.xml");
    }
    if (Entries(folder) != expected) return "the run left other files in the folder";
    return "";
}
