// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeMoves.h"

#include "QORMDMetaClass.h"

namespace {

using Attribute = std::pair<const ZULUnicodeString*, cQORMDMetaElem*>;  // class key, attribute

ZULHashDico* AttributesOf(void* element) {
    return static_cast<cQORMDMetaClass*>(static_cast<cQORMDMetaElem*>(element))->GetAttribs();
}

// Whether two classes hold the same attribute keys in the same order: most
// classes, which then hold no copy gone or new.
bool SameKeys(const ZULHashDico& a, const ZULHashDico& b) {
    if (a.Size() != b.Size()) return false;
    ZULHashCodeIter x(a), y(b);
    while (x++ && y++)
        if (!(x.ItemName() == y.ItemName())) return false;
    return true;
}

cQORMDMetaElem* Element(void* value) { return static_cast<cQORMDMetaElem*>(value); }

// For each attribute key, the first copy that classes hold and other lacks
// (other's class of the same key lacks it, or other lacks the class); text
// and otherText, when given, are the two versions' bytes.
std::unordered_map<std::u16string, Attribute> Missing(ZULHashDico& classes, ZULHashDico& other,
                                                      const cMergeSource* text, const cMergeSource* otherText) {
    std::unordered_map<std::u16string, Attribute> missing;
    ZULHashCodeIter eachClass(classes);
    while (eachClass++) {
        ZULHashDico& attributes = *AttributesOf(classes[eachClass]);
        void* otherClass = other.Locate(eachClass.ItemName());
        ZULHashDico* otherAttributes = otherClass ? AttributesOf(otherClass) : nullptr;
        if (otherAttributes && text && otherText &&
            text->SameText(Element(classes[eachClass])->GetDomElement().get(), *otherText,
                           Element(otherClass)->GetDomElement().get()))
            continue;
        if (otherAttributes && SameKeys(attributes, *otherAttributes)) continue;
        ZULHashCodeIter eachAttribute(attributes);
        while (eachAttribute++) {
            if (otherAttributes && otherAttributes->Locate(eachAttribute.ItemName())) continue;
            missing.try_emplace(std::u16string(eachAttribute.ItemName().str()), &eachClass.ItemName(),
                                static_cast<cQORMDMetaElem*>(attributes[eachAttribute]));
        }
    }
    return missing;
}

}  // namespace

void cMergeMoves::Find(cQORMDMetaPackage& base, cQORMDMetaPackage& ours, cQORMDMetaPackage& theirs,
                       const cMergeSource* baseText, const cMergeSource* oursText, const cMergeSource* theirsText) {
    cQORMDMetaPackage* sides[2] = {&ours, &theirs};
    const cMergeSource* texts[2] = {oursText, theirsText};
    for (int side = kOurs; side <= kTheirs; ++side) {
        moves_[side].clear();
        sources_[side].clear();
        const auto gone = Missing(*base.GetClasses(), *sides[side]->GetClasses(), baseText, texts[side]);
        if (gone.empty()) continue;
        for (const auto& [key, added] :
             Missing(*sides[side]->GetClasses(), *base.GetClasses(), texts[side], baseText)) {
            const auto left = gone.find(key);
            if (left == gone.end()) continue;
            moves_[side].emplace(key, Move{*left->second.first, *added.first, left->second.second, added.second});
            sources_[side].emplace(left->second.first->str());
        }
    }
}

const cMergeMoves::Move* cMergeMoves::From(Side side, const ZULUnicodeString& from,
                                           const ZULUnicodeString& attribute) const {
    const auto found = moves_[side].find(std::u16string(attribute.str()));
    return found != moves_[side].end() && found->second.from == from ? &found->second : nullptr;
}

const cMergeMoves::Move* cMergeMoves::Into(Side side, const ZULUnicodeString& to,
                                           const ZULUnicodeString& attribute) const {
    const auto found = moves_[side].find(std::u16string(attribute.str()));
    return found != moves_[side].end() && found->second.to == to ? &found->second : nullptr;
}
