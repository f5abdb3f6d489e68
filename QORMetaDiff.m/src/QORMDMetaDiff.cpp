// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiff.h"

cMetaDiff::cMetaDiff(const ZULUnicodeString& tagName_) : tagName(tagName_) {}

cMetaDiff::~cMetaDiff() {
    added.reset();
    deleted.reset();
    modified.reset();
}

int cMetaDiff::setPackageName(const ZULUnicodeString& name) {
    packageName = name;
    return 0;
}

cMetaAdded& cMetaDiff::Added() {
    if (!added) added = std::make_unique<cMetaAdded>();
    return *added;
}

cMetaDeleted& cMetaDiff::Deleted() {
    if (!deleted) deleted = std::make_unique<cMetaDeleted>();
    return *deleted;
}

cMetaModified& cMetaDiff::Modified() {
    if (!modified) modified = std::make_unique<cMetaModified>();
    return *modified;
}

int cMetaDiff::AppendAddedPackage(cQORMDMetaPackage* elem) {
    Added().AppendPackage(elem);
    return 0;
}
int cMetaDiff::AppendAddedClass(cQORMDMetaClass* elem) {
    Added().AppendClass(elem);
    return 0;
}
int cMetaDiff::AppendAddedAttrib(cQORMDMetaAttrib* elem) {
    Added().AppendAttrib(elem);
    return 0;
}
int cMetaDiff::AppendDeletedPackage(cQORMDMetaPackage* elem) {
    Deleted().AppendPackage(elem);
    return 0;
}
int cMetaDiff::AppendDeletedClass(cQORMDMetaClass* elem) {
    Deleted().AppendClass(elem);
    return 0;
}
int cMetaDiff::AppendDeletedAttrib(cQORMDMetaAttrib* elem) {
    Deleted().AppendAttrib(elem);
    return 0;
}

int cMetaDiff::AppendModDeleted(cQORMDMetaField* field) {
    Modified().AppendModDeleted(field);
    return 0;
}

int cMetaDiff::AppendModAdded(cQORMDMetaField* field) {
    Modified().AppendModAdded(field);
    return 0;
}

int cMetaDiff::AppendModModified(cQORMDMetaField* oldField, cQORMDMetaField* newField) {
    Modified().AppendModModified(oldField, newField);
    return 0;
}
