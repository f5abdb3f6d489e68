// cQORMDMetaElem: one loaded element (package, class or attribute). Keeps
// the handle of the DOM element it was read from for its whole life (which
// keeps the document alive) and owns one cQORMDMetaField per XML attribute,
// keyed by the attribute's name as written.
#pragma once

#include <cstdint>

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

    // Reads the fields from the element's attributes: 0, or -1 when an
    // attribute has no name. A null element has no fields.
    virtual int init();
    int terminate();

    // The Uuid attribute upper-cased; empty (with a trace) when missing.
    ZULUnicodeString GetUuid() const;
    ZULUnicodeString GetTagName() const;
    // Success whether or not the field exists; value is left as it was when it does not.
    std::int32_t GetFieldValue(const ZULUnicodeString& name, ZULUnicodeString& value) const;
    ZULHashDico* GetFields() { return &fields; }
    DOM_Element& GetDomElement() { return element; }
    int GetLevel() const { return level; }
    cQORMDMetaElem* GetParent() const { return parent; }

protected:
    cQORMDMetaElem* parent;  // not owned; none for the package
    DOM_Element element;
    ZULHashDico fields;  // name -> cQORMDMetaField*, owned
    int level;
};
