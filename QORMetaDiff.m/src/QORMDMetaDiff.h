// SPDX-License-Identifier: Apache-2.0
// cMetaDiff: the diff root. Owns the three categories, each created with
// its first entry, and holds the package name.
#pragma once

#include <memory>

#include "QORMDMetaAdded.h"
#include "QORMDMetaDeleted.h"
#include "QORMDMetaDiffBase.h"
#include "QORMDMetaModified.h"

class cQORMDMetaField;

class cMetaDiff : public cMetaDiffBase {
public:
    explicit cMetaDiff(const ZULUnicodeString& tagName);
    ~cMetaDiff() override;

    ZULUnicodeString getTagName() override { return tagName; }
    cMetaAdded* getAdded() const { return added.get(); }
    cMetaDeleted* getDeleted() const { return deleted.get(); }
    cMetaModified* getModified() const { return modified.get(); }
    int setPackageName(const ZULUnicodeString& name);
    const ZULUnicodeString& getPackageName() const { return packageName; }

    int AppendAddedPackage(cQORMDMetaPackage* elem);
    int AppendAddedClass(cQORMDMetaClass* elem);
    int AppendAddedAttrib(cQORMDMetaAttrib* elem);
    int AppendDeletedPackage(cQORMDMetaPackage* elem);
    int AppendDeletedClass(cQORMDMetaClass* elem);
    int AppendDeletedAttrib(cQORMDMetaAttrib* elem);
    // Field differences; a record that cannot be made is lost with its trace (result 0 regardless).
    int AppendModDeleted(cQORMDMetaField* field);
    int AppendModAdded(cQORMDMetaField* field);
    int AppendModModified(cQORMDMetaField* oldField, cQORMDMetaField* newField);

private:
    cMetaAdded& Added();
    cMetaDeleted& Deleted();
    cMetaModified& Modified();

    std::unique_ptr<cMetaAdded> added;
    std::unique_ptr<cMetaDeleted> deleted;
    std::unique_ptr<cMetaModified> modified;
    ZULUnicodeString tagName;
    ZULUnicodeString packageName;
};
