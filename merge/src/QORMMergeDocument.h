// SPDX-License-Identifier: Apache-2.0
// cMergeDocument: one of the three versions of a merge, loaded by the
// diff's rules (QORMDLoadPackage: the hardened parser, every class and
// attribute checked). Its package keeps the parsed document alive.
// One rule more than the diff's: a document in which a class repeats the
// Uuid of an earlier one (letter case aside) is refused. The loader keeps
// the first of the two and passes over the other, so a merge could neither
// see nor place what a side did to it, and would double or lose attributes
// that move between the two.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaPackage.h"
#include "ZULBase/ZULUnicodeString.h"

class cMergeDocument {
public:
    // Loads fileName (needs cDDLXMLParser::init): a success status, or a
    // failure status (the loader's, or MDInternalError_1 for a repeated
    // class Uuid), whose error says why.
    std::int32_t Load(const ZULUnicodeString& fileName);

    const ZULUnicodeString& FileName() const { return fileName_; }
    cQORMDMetaPackage& Package() const { return *package_; }
    xercesc::DOMElement* Root() const { return package_->GetDomElement().get(); }
    xercesc::DOMDocument* Document() const { return Root()->getOwnerDocument(); }

    // The file's bytes as they are now, for a result that is this version
    // unchanged. False when the file is not a regular file or cannot be read.
    bool ReadBytes(std::string& bytes) const;

private:
    // A success status, or the failure naming the first class that repeats
    // an earlier class's Uuid.
    std::int32_t RefuseRepeatedClass() const;

    ZULUnicodeString fileName_;
    std::unique_ptr<cQORMDMetaPackage> package_;
};
