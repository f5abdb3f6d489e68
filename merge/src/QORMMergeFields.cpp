#include "QORMMergeFields.h"

#include <optional>

#include <xercesc/util/XMLString.hpp>

#include "QORMDMetaField.h"
#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

using Value = const cQORMDMetaField*;  // null: the version has no such field

bool Same(Value a, Value b) {
    if (!a || !b) return a == b;
    return XMLString::equals(a->GetDOMValue(), b->GetDOMValue());
}

std::optional<ZULUnicodeString> Shown(Value field) {
    if (!field) return std::nullopt;
    return DOMToZULUnicodeString(field->GetDOMValue());
}

void CopyAttributes(const DOMElement* from, DOMElement* to) {
    const DOMNamedNodeMap* attributes = from->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
        const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
        to->setAttribute(attribute->getName(), QORMUAttrValue(attribute));
    }
}

Value Find(ZULHashDico* fields, const ZULUnicodeString& name) {
    return fields ? static_cast<Value>(fields->Locate(name)) : nullptr;
}

}  // namespace

void cMergeFields::Merge(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs, DOMElement* result,
                         const cMergePlace& place, cMergeConflictLog& log) {
    const DOMElement* o = ours.GetDomElement().get();
    const DOMElement* t = theirs.GetDomElement().get();
    const DOMElement* b = base ? base->GetDomElement().get() : nullptr;
    // Most elements: one side left every field as it was, or both agree.
    if (b && QORMMSameAttributes(o, b)) return CopyAttributes(t, result);
    if ((b && QORMMSameAttributes(t, b)) || QORMMSameAttributes(o, t)) return CopyAttributes(o, result);

    ZULHashDico* baseFields = base ? base->GetFields() : nullptr;
    ZULHashDico* oursFields = ours.GetFields();
    ZULHashDico* theirsFields = theirs.GetFields();
    auto conflict = [&](const ZULUnicodeString& name, Value bv, Value ov, Value tv) {
        cMergeConflict entry = place.Conflict(cMergeConflict::kField);
        entry.field = name;
        entry.base = Shown(bv);
        entry.ours = Shown(ov);
        entry.theirs = Shown(tv);
        log.Add(std::move(entry));
    };
    auto set = [&](const ZULUnicodeString& name, Value field) {
        if (field) result->setAttribute(ZULToDOMString(name), field->GetDOMValue());
    };

    // Ours' fields in ours' order: kept, changed by theirs, or deleted by theirs.
    ZULHashCodeIter oursIter(*oursFields);
    while (oursIter++) {
        const ZULUnicodeString& name = oursIter.ItemName();
        const Value ov = static_cast<Value>((*oursFields)[oursIter]);
        const Value bv = Find(baseFields, name);
        const Value tv = Find(theirsFields, name);
        if (Same(ov, bv)) {
            set(name, tv);  // ours left it: theirs' value, or deleted by theirs
        } else if (!Same(tv, bv) && !Same(tv, ov)) {
            conflict(name, bv, ov, tv);
            set(name, ov);
        } else {
            set(name, ov);
        }
    }
    // Theirs' fields that ours does not have: added by theirs, or deleted by ours.
    ZULHashCodeIter theirsIter(*theirsFields);
    while (theirsIter++) {
        const ZULUnicodeString& name = theirsIter.ItemName();
        if (oursFields->Locate(name)) continue;
        const Value tv = static_cast<Value>((*theirsFields)[theirsIter]);
        const Value bv = Find(baseFields, name);
        if (!bv) {
            set(name, tv);
        } else if (!Same(tv, bv)) {
            conflict(name, bv, nullptr, tv);  // ours deleted it, theirs changed it: stays deleted
        }
    }
}
