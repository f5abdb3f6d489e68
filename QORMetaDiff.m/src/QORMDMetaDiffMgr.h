// SPDX-License-Identifier: Apache-2.0
// cMetaDiffMgr: the comparison. Matches classes and attributes by
// upper-cased Uuid, fields by exact name, compares field values exactly, and
// records every finding in the diff root. One pass over each dictionary,
// one lookup per entry.
#pragma once

#include <cstdint>

class cMetaDiffDoc;
class cMetaDiff;
class cQORMDMetaPackage;
class cQORMDMetaClass;
class cQORMDMetaAttrib;
class cQORMDMetaElem;
class cQORMDMetaField;

class cMetaDiffMgr {
public:
    std::int32_t processDiff(cMetaDiffDoc& doc);
    std::int32_t processDiff_Package(cQORMDMetaPackage* iOldMeta, cQORMDMetaPackage* iNewMeta, cMetaDiff* ioDiff);
    std::int32_t processDiff_Class(cQORMDMetaClass* iOldMeta, cQORMDMetaClass* iNewMeta, cMetaDiff* ioDiff);
    std::int32_t processDiff_Attrib(cQORMDMetaAttrib* iOldMeta, cQORMDMetaAttrib* iNewMeta, cMetaDiff* ioDiff);
    std::int32_t processDiff_Fields(cQORMDMetaElem* iOldMeta, cQORMDMetaElem* iNewMeta, cMetaDiff* ioDiff);
    std::int32_t processDiff_Field(cQORMDMetaField* iOldMeta, cQORMDMetaField* iNewMeta, cMetaDiff* ioDiff);
};
