// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeFields.h"

#include <optional>

#include <xercesc/util/XMLString.hpp>

#include "QORMDMetaField.h"
#include "QORMMergeEdits.h"
#include "QORMMergeNamespaces.h"
#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUNodeCopy.h"

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

Value Find(ZULHashDico* fields, const ZULUnicodeString& name) {
    return fields ? static_cast<Value>(fields->Locate(name)) : nullptr;
}

}  // namespace

bool cMergeFields::Merge(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs, const cMergePlace& place,
                         cMergeConflictLog& log, cMergeEdits& edits) {
    DOMElement* o = ours.GetDomElement().get();
    const DOMElement* t = theirs.GetDomElement().get();
    const DOMElement* b = base ? base->GetDomElement().get() : nullptr;
    // Most elements: theirs left every field as it was, or both agree.
    if ((b && QORMMSameAttributes(t, b)) || QORMMSameAttributes(o, t)) return false;

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
    // Theirs' value in place of ours' (removed when theirs has none). A
    // prefix only theirs declares is declared; a declaration whose prefix
    // ours' content still uses stays.
    bool changed = false;
    auto take = [&](const ZULUnicodeString& name, Value tv) {
        const XMLCh* qualified = ZULToDOMString(name);
        if (tv) {
            const std::u16string declaration = QORMUPrefixDeclaration(qualified);
            if (const DOMElement* declaredBy = QORMMDeclarePrefixOf(qualified, o, t))
                edits.FieldTaken(o, reinterpret_cast<const XMLCh*>(declaration.c_str()), declaredBy);
            o->setAttribute(qualified, tv->GetDOMValue());
            edits.FieldTaken(o, qualified, t);
        } else if (QORMMPrefixInUse(qualified, o)) {
            return;
        } else {
            o->removeAttributeNode(o->getAttributeNode(qualified));  // not released: the model points at it
            edits.FieldTaken(o, qualified, nullptr);
        }
        changed = true;
    };

    // Ours' fields: kept, changed by theirs, or deleted by theirs. Ours' own
    // values are read before any is changed.
    ZULHashCodeIter oursIter(*oursFields);
    while (oursIter++) {
        const ZULUnicodeString& name = oursIter.ItemName();
        const Value ov = static_cast<Value>((*oursFields)[oursIter]);
        const Value bv = Find(baseFields, name);
        const Value tv = Find(theirsFields, name);
        if (Same(ov, bv)) {
            if (!Same(tv, ov)) take(name, tv);  // ours left it: theirs' value, or deleted by theirs
        } else if (!Same(tv, bv) && !Same(tv, ov)) {
            conflict(name, bv, ov, tv);  // ours kept
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
            take(name, tv);
        } else if (!Same(tv, bv)) {
            conflict(name, bv, nullptr, tv);  // ours deleted it, theirs changed it: stays deleted
        }
    }
    return changed;
}
