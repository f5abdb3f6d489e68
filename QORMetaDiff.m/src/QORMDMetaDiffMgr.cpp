// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffMgr.h"

#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaField.h"
#include "QORMDMetaPackage.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUTrace.h"

namespace {

const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDiffMgr";

// One pass over each side with one lookup per entry: every old entry is
// either gone (onDeleted) or matched by key (onCommon, whose failure ends
// the walk), then every new entry whose key the old side lacks is added
// (onAdded). Both sides are walked in their dictionary order.
template <class T, class Deleted, class Common, class Added>
std::int32_t MatchByKey(ZULHashDico& olds, ZULHashDico& news, Deleted onDeleted, Common onCommon, Added onAdded) {
    ZULHashCodeIter oldIt(olds);
    while (oldIt++) {
        auto* oldItem = static_cast<T*>(olds[oldIt]);
        auto* newItem = static_cast<T*>(news.Locate(oldIt.ItemName()));
        if (!newItem) {
            onDeleted(oldItem);
            continue;
        }
        const std::int32_t status = onCommon(oldItem, newItem);
        if (status < 0) return status;
    }
    ZULHashCodeIter newIt(news);
    while (newIt++)
        if (!olds.Locate(newIt.ItemName())) onAdded(static_cast<T*>(news[newIt]));
    return 0;
}

}  // namespace

std::int32_t cMetaDiffMgr::processDiff(cMetaDiffDoc& doc) {
    cMetaDiff* root = doc.GetMetaDiff();
    const std::int32_t status = processDiff_Package(doc.GetOldPackage(), doc.GetNewPackage(), root);
    if (status < 0)
        return QORMDPropagate("failed processDiff_Package in cMetaDiffMgr::processDiff", status, kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffMgr::processDiff_Package(cQORMDMetaPackage* iOldMeta, cQORMDMetaPackage* iNewMeta,
                                               cMetaDiff* ioDiff) {
    if (!iOldMeta)
        return QORMDRaise("NULL input iOldMeta in cMetaDiffMgr::processDiff_Package", "MDInternalError_1", kModule,
                          __LINE__);
    if (!iNewMeta)
        return QORMDRaise("NULL input iNewMeta in cMetaDiffMgr::processDiff_Package", "MDInternalError_1", kModule,
                          __LINE__);
    if (!ioDiff)
        return QORMDRaise("NULL input ioDiff in cMetaDiffMgr::processDiff_Package", "MDInternalError_1", kModule,
                          __LINE__);
    if (iOldMeta->IsEmpty() && iNewMeta->IsEmpty()) {
        Trace("Both package are Empty in cMetaDiffMgr::processDiff_Package", QORMUTrace_W3);
        return QORMDSucceed(kModule, __LINE__);
    }

    const ZULUnicodeString nameField("Name");
    ZULUnicodeString packName;
    iOldMeta->GetFieldValue(nameField, packName);
    if (packName.GetLengthInChar() == 0) iNewMeta->GetFieldValue(nameField, packName);
    if (packName.GetLengthInChar() == 0)
        return QORMDRaise("0 length packName in cMetaDiffMgr::processDiff_Package", "MDInternalError_1", kModule,
                          __LINE__);
    ioDiff->setPackageName(packName);

    const std::int32_t classStatus = MatchByKey<cQORMDMetaClass>(
        *iOldMeta->GetClasses(), *iNewMeta->GetClasses(),
        [&](cQORMDMetaClass* oldClass) { ioDiff->AppendDeletedClass(oldClass); },
        [&](cQORMDMetaClass* oldClass, cQORMDMetaClass* newClass) {
            const std::int32_t status = processDiff_Class(oldClass, newClass, ioDiff);
            if (status < 0)
                return QORMDPropagate("failed processDiff_Class in cMetaDiffMgr::processDiff_Package", status, kModule,
                                      __LINE__);
            return status;
        },
        [&](cQORMDMetaClass* newClass) { ioDiff->AppendAddedClass(newClass); });
    if (classStatus < 0) return classStatus;

    if (iOldMeta->IsEmpty()) {
        ioDiff->AppendAddedPackage(iNewMeta);
        return QORMDSucceed(kModule, __LINE__);
    }
    if (iNewMeta->IsEmpty()) {
        ioDiff->AppendDeletedPackage(iOldMeta);
        return QORMDSucceed(kModule, __LINE__);
    }
    const std::int32_t status = processDiff_Fields(iOldMeta, iNewMeta, ioDiff);
    if (status < 0)
        return QORMDPropagate("failed processDiff_Fields in cMetaDiffMgr::processDiff_Package", status, kModule,
                              __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffMgr::processDiff_Class(cQORMDMetaClass* iOldMeta, cQORMDMetaClass* iNewMeta, cMetaDiff* ioDiff) {
    if (!iOldMeta)
        return QORMDRaise("NULL input iOldMeta in cMetaDiffMgr::processDiff_Class", "MDInternalError_1", kModule,
                          __LINE__);
    if (!iNewMeta)
        return QORMDRaise("NULL input iNewMeta in cMetaDiffMgr::processDiff_Class", "MDInternalError_1", kModule,
                          __LINE__);
    if (!ioDiff)
        return QORMDRaise("NULL input ioDiff in cMetaDiffMgr::processDiff_Class", "MDInternalError_1", kModule,
                          __LINE__);

    const std::int32_t attribStatus = MatchByKey<cQORMDMetaAttrib>(
        *iOldMeta->GetAttribs(), *iNewMeta->GetAttribs(),
        [&](cQORMDMetaAttrib* oldAttrib) { ioDiff->AppendDeletedAttrib(oldAttrib); },
        [&](cQORMDMetaAttrib* oldAttrib, cQORMDMetaAttrib* newAttrib) {
            const std::int32_t status = processDiff_Attrib(oldAttrib, newAttrib, ioDiff);
            if (status < 0)
                return QORMDPropagate("failed processDiff_Attrib in cMetaDiffMgr::processDiff_Class", status, kModule,
                                      __LINE__);
            return status;
        },
        [&](cQORMDMetaAttrib* newAttrib) { ioDiff->AppendAddedAttrib(newAttrib); });
    if (attribStatus < 0) return attribStatus;

    const std::int32_t status = processDiff_Fields(iOldMeta, iNewMeta, ioDiff);
    if (status < 0)
        return QORMDPropagate("failed processDiff_Fields in cMetaDiffMgr::processDiff_Class", status, kModule,
                              __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffMgr::processDiff_Attrib(cQORMDMetaAttrib* iOldMeta, cQORMDMetaAttrib* iNewMeta,
                                              cMetaDiff* ioDiff) {
    if (!iOldMeta || !iNewMeta || !ioDiff)
        return QORMDRaise("NULL input in cMetaDiffMgr::processDiff_Attrib", "MDInternalError_1", kModule, __LINE__);
    const std::int32_t status = processDiff_Fields(iOldMeta, iNewMeta, ioDiff);
    if (status < 0)
        return QORMDPropagate("failed processDiff_Fields in cMetaDiffMgr::processDiff_Attrib", status, kModule,
                              __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffMgr::processDiff_Fields(cQORMDMetaElem* iOldMeta, cQORMDMetaElem* iNewMeta, cMetaDiff* ioDiff) {
    if (!iOldMeta || !iNewMeta || !ioDiff)
        return QORMDRaise("NULL input in cMetaDiffMgr::processDiff_Fields", "MDInternalError_1", kModule, __LINE__);
    if (iOldMeta->HasSameFieldsAs(*iNewMeta)) return QORMDSucceed(kModule, __LINE__);  // nothing would be recorded

    const std::int32_t status = MatchByKey<cQORMDMetaField>(
        *iOldMeta->GetFields(), *iNewMeta->GetFields(),
        [&](cQORMDMetaField* oldField) { ioDiff->AppendModDeleted(oldField); },
        [&](cQORMDMetaField* oldField, cQORMDMetaField* newField) {
            const std::int32_t fieldStatus = processDiff_Field(oldField, newField, ioDiff);
            if (fieldStatus < 0)
                return QORMDPropagate("failed processDiff_Field in cMetaDiffMgr::processDiff_Fields", fieldStatus,
                                      kModule, __LINE__);
            return fieldStatus;
        },
        [&](cQORMDMetaField* newField) { ioDiff->AppendModAdded(newField); });
    if (status < 0) return status;
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffMgr::processDiff_Field(cQORMDMetaField* iOldMeta, cQORMDMetaField* iNewMeta, cMetaDiff* ioDiff) {
    if (!iOldMeta || !iNewMeta || !ioDiff)
        return QORMDRaise("NULL input in cMetaDiffMgr::processDiff_Field", "MDInternalError_1", kModule, __LINE__);
    if (!iOldMeta->HasSameValue(*iNewMeta)) ioDiff->AppendModModified(iOldMeta, iNewMeta);
    return QORMDSucceed(kModule, __LINE__);
}
