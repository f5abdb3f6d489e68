// SPDX-License-Identifier: Apache-2.0
#include "QORMDFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/QORMUDomString.h"

namespace fs = std::filesystem;

bool QORMDWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

bool QORMDReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::set<std::string> QORMDEntries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end; it.increment(error))
        names.insert(it->path().filename().u8string());
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
