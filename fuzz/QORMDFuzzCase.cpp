// SPDX-License-Identifier: Apache-2.0
#include "QORMDFuzzCase.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string_view>

#include <xercesc/util/XMLString.hpp>

#include "QORMDFiles.h"
#include "QORMDMetaDiffApi.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULError.h"

namespace {

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

bool Holds(const std::uint8_t* data, std::size_t size, std::string_view text) {
    return std::string_view(reinterpret_cast<const char*>(data), size).find(text) != std::string_view::npos;
}

bool HoldsInFile(const std::string& path, std::string_view text) {
    std::string bytes;
    return QORMDReadFile(path, bytes) && bytes.find(text) != std::string::npos;
}

}  // namespace

std::string QORMDRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size) {
    const std::string oldPath = folder + "/old.xml";
    const std::string newPath = folder + "/new.xml";
    const std::string diffPath = folder + "/diff.xml";
    std::remove(oldPath.c_str());
    std::remove(newPath.c_str());
    std::remove(diffPath.c_str());

    const auto* cut = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t oldSize = cut ? static_cast<std::size_t>(cut - data) : 0;
    const std::uint8_t* newData = cut ? cut + 1 : data;
    const std::size_t newSize = cut ? size - oldSize - 1 : size;
    const bool hasOld = oldSize > 0;
    const bool hasNew = newSize > 0;
    if ((hasOld && !QORMDWriteFile(oldPath, data, oldSize)) || (hasNew && !QORMDWriteFile(newPath, newData, newSize)))
        return "cannot write the inputs to " + folder;

    const std::int32_t status =
        cQORMDApi::Process(ZULUnicodeString(hasOld ? oldPath.c_str() : ""),
                           ZULUnicodeString(hasNew ? newPath.c_str() : ""), ZULUnicodeString(diffPath.c_str()), 0);
    cQORMDApi::Terminate();  // a failed Process leaves its inputs behind

    std::set<std::string> expected;
    if (hasOld) expected.insert("old.xml");
    if (hasNew) expected.insert("new.xml");
    const bool written = QORMDEntries(folder).count("diff.xml") > 0;
    if (status < 0) {
        if (!ZULError::ZULGetLastError(status, nullptr)) return "a failure status carries no error";
        if (written) return "a failed run wrote a diff file";
    } else if (written) {
        if (!IsDiffDocument(diffPath)) return "the diff file written does not parse as a Diff document";
        if (!Holds(data, size, "xmlns") && HoldsInFile(diffPath, "xmlns"))
            return "the diff declares a namespace that neither document declares";
        expected.insert("diff.xml");
    }
    if (QORMDEntries(folder) != expected) return "the run left other files in the folder";
    return "";
}
