// SPDX-License-Identifier: Apache-2.0
// cMergeDocument: one of the three versions of a merge, loaded by the
// diff's rules (QORMDLoadPackage: the hardened parser, every class and
// attribute checked). Its package keeps the parsed document alive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaPackage.h"
#include "ZULBase/ZULUnicodeString.h"

class cMergeDocument {
public:
    // Loads fileName (needs cDDLXMLParser::init): a success status, or the
    // loader's failure status, whose error says why.
    std::int32_t Load(const ZULUnicodeString& fileName);

    const ZULUnicodeString& FileName() const { return fileName_; }
    cQORMDMetaPackage& Package() const { return *package_; }
    xercesc::DOMElement* Root() const { return package_->GetDomElement().get(); }
    xercesc::DOMDocument* Document() const { return Root()->getOwnerDocument(); }

    // The file's bytes as they are now, for a result that is this version
    // unchanged. False when the file is not a regular file or cannot be read.
    bool ReadBytes(std::string& bytes) const;

private:
    ZULUnicodeString fileName_;
    std::unique_ptr<cQORMDMetaPackage> package_;
};
