#include "QORMDFuzzFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/QORMUDomString.h"

bool QORMDFuzzWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
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

bool QORMDFuzzReadFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes.clear();
    char buffer[1 << 14];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return got == 0;
}

std::set<std::string> QORMDFuzzEntries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

bool QORMDFuzzNamespaceWellFormed(const std::string& path) {
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
