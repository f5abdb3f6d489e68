// SPDX-License-Identifier: Apache-2.0
// cMergeMoves: the attributes that each side moved from one class to
// another. An attribute is identified by its class's Uuid and its own (one
// Uuid may stand in several classes): a side that adds or removes one
// class's copy does only that. A side moved attribute K when a copy that the
// base holds in class A is gone from A on that side (with or without A) and
// K has a new copy in another class C there; the first copy gone pairs with
// the first new one, in document order.
// Found before the merge, in one pass over the classes of the three
// versions (a class that is the same text as the base's costs a comparison
// of bytes, one whose attributes match the base's key for key one
// comparison per attribute).
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "QORMDMetaElem.h"
#include "QORMDMetaPackage.h"
#include "QORMMergeSource.h"

class cMergeMoves {
public:
    enum Side { kOurs, kTheirs };
    struct Move {
        ZULUnicodeString from, to;  // class keys
        cQORMDMetaElem* base;       // the base's attribute in from
        cQORMDMetaElem* moved;      // the side's attribute in to
    };

    // The texts, when given, pass over a class that is the same bytes in a
    // side as in the base at once.
    void Find(cQORMDMetaPackage& base, cQORMDMetaPackage& ours, cQORMDMetaPackage& theirs,
              const cMergeSource* baseText = nullptr, const cMergeSource* oursText = nullptr,
              const cMergeSource* theirsText = nullptr);
    bool Empty() const { return moves_[kOurs].empty() && moves_[kTheirs].empty(); }

    // side's move of attribute out of class from; null when none.
    const Move* From(Side side, const ZULUnicodeString& from, const ZULUnicodeString& attribute) const;
    // side's move of attribute into class to; null when none.
    const Move* Into(Side side, const ZULUnicodeString& to, const ZULUnicodeString& attribute) const;
    // Whether side moved any attribute out of class from.
    bool AnyFrom(Side side, const ZULUnicodeString& from) const {
        return sources_[side].count(std::u16string(from.str())) > 0;
    }
    // Every move of side, keyed by attribute.
    const std::unordered_map<std::u16string, Move>& Of(Side side) const { return moves_[side]; }

private:
    std::unordered_map<std::u16string, Move> moves_[2];  // attribute key -> its move
    std::unordered_set<std::u16string> sources_[2];      // class keys moved out of
};
