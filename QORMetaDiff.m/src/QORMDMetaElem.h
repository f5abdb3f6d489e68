// SPDX-License-Identifier: Apache-2.0
// cQORMDMetaElem: one loaded element (package, class or attribute). Keeps
// the handle of the DOM element it was read from for its whole life and owns
// one cQORMDMetaField per XML attribute, keyed by the attribute's name as
// written. The field objects are made when the fields are first asked for:
// in a large model most elements compare equal as a whole (HasSameFieldsAs)
// and never need them.
#pragma once

#include <cstdint>
#include <memory_resource>

#include "QORMDMetaObject.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULHashDico.h"
#include "ZULBase/ZULUnicodeString.h"

class cQORMDMetaElem : public cMetaObject {
public:
    enum Level { kPackage = 0, kClass = 1, kAttrib = 2 };

    cQORMDMetaElem(const DOM_Element& element, int level);
    cQORMDMetaElem(const DOM_Element& element, int level, cQORMDMetaElem* parent);
    ~cQORMDMetaElem() override;

    // Loads the element: 0. Its fields are read from its attributes when
    // first asked for; the parser never makes an attribute without a name,
    // so reading them cannot fail. A null element has no fields.
    virtual int init();
    int terminate();

    // The Uuid attribute upper-cased; empty (with a trace) when missing.
    ZULUnicodeString GetUuid() const;
    ZULUnicodeString GetTagName() const;
    // Success whether or not the field exists; value is left as it was when it does not.
    std::int32_t GetFieldValue(const ZULUnicodeString& name, ZULUnicodeString& value) const;
    ZULHashDico* GetFields() { return &Fields(); }
    // True when other carries the same attributes in the same order with the
    // same non-empty values, read in the DOM: then no field differs. False
    // says nothing: compare field by field.
    bool HasSameFieldsAs(const cQORMDMetaElem& other) const;
    DOM_Element& GetDomElement() { return element; }
    int GetLevel() const { return level; }
    cQORMDMetaElem* GetParent() const { return parent; }

protected:
    // Where the element's dictionaries and children live: the arena of its
    // document, or the heap for a null element.
    static std::pmr::memory_resource* MemoryFor(const DOM_Element& element);
    // The field dictionary, filled from the attributes on first use.
    ZULHashDico& Fields() const;

    cQORMDMetaElem* parent;  // not owned; none for the package
    // Shared by the package, which keeps the document alive for the whole
    // model; borrowed by the elements below it.
    DOM_Element element;
    mutable ZULHashDico fields;  // name -> cQORMDMetaField*, owned; filled by Fields()
    int level;
};
