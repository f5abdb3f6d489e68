// SPDX-License-Identifier: Apache-2.0
#include "QORMDFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/QORMUDomString.h"

bool QORMDWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
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

bool QORMDReadFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes.clear();
    char buffer[1 << 14];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return got == 0;
}

std::set<std::string> QORMDEntries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

std::string QORMDNamespaceError(const std::string& path) {
    struct FirstError : xercesc::ErrorHandler {
        void warning(const xercesc::SAXParseException&) override {}
        void error(const xercesc::SAXParseException& e) override { Record(e); }
        void fatalError(const xercesc::SAXParseException& e) override { Record(e); }
        void resetErrors() override {}
        void Record(const xercesc::SAXParseException& e) {
            if (first.empty())
                first = "line " + std::to_string(e.getLineNumber()) + ": " +
                        DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
        }
        std::string first;
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
    return errors.first;
}
