// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeChildren.h"

#include "QORMMergeEngine.h"
#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

const DOMNode* NodeOf(cQORMDMetaElem* element) { return element ? element->GetDomElement().get() : nullptr; }

}  // namespace

void cMergeChildren::Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
                           DOMNode* element) {
    base_ = &base;
    ours_ = &ours;
    theirs_ = &theirs;
    looseFrom_ = PickLoose();
    MergeOurs();
    PlaceTheirs(element);
    Rebuild(element);
}

cMergeChildren::LooseFrom cMergeChildren::PickLoose() {
    const std::vector<const DOMNode*>& base = base_->Loose();
    const std::vector<const DOMNode*>& ours = ours_->Loose();
    const std::vector<const DOMNode*>& theirs = theirs_->Loose();
    aligned_ = false;
    if (QORMMSameNodes(theirs, base)) {
        aligned_ = QORMMSameNodes(ours, theirs);
        return kLooseFromOurs;
    }
    if (QORMMSameNodes(ours, base)) return kLooseFromTheirs;
    aligned_ = QORMMSameNodes(ours, theirs);
    if (!aligned_) {
        cMergeConflict conflict = holder_.Conflict(cMergeConflict::kContent);
        conflict.base = cMergeConflict::ContentText(base);
        conflict.ours = cMergeConflict::ContentText(ours);
        conflict.theirs = cMergeConflict::ContentText(theirs);
        conflict.inBase = cMergeConflict::Nodes::Of(base);
        conflict.inOurs = cMergeConflict::Nodes::Of(ours);
        conflict.inTheirs = cMergeConflict::Nodes::Of(theirs);
        conflict.holder = conflict.inOurs.first ? nullptr : holder_.Ours();
        engine_.Log().Add(std::move(conflict));
    }
    return kLooseFromOurs;
}

const DOMNode* cMergeChildren::InBase(const cMergeChildList::Child& child) const {
    if (child.kind == cMergeChildList::kModelled) return NodeOf(base_->FindModelled(*child.key));
    return base_->FindOpaque(*child.opaqueKey);
}

void cMergeChildren::MergeOurs() {
    const std::vector<cMergeChildList::Child>& mine = ours_->Children();
    merged_.assign(mine.size(), nullptr);
    addedByOurs_.assign(mine.size(), false);
    inSlot_.clear();
    inSlot_.reserve(mine.size());
    oursLoose_.clear();
    for (std::size_t slot = 0; slot < mine.size(); ++slot) merged_[slot] = MergeOne(mine[slot], slot);
}

DOMNode* cMergeChildren::MergeOne(const cMergeChildList::Child& child, std::size_t slot) {
    if (child.kind == cMergeChildList::kLoose) {
        if (aligned_) oursLoose_.push_back(slot);
        return looseFrom_ == kLooseFromOurs ? child.node : nullptr;
    }
    const bool modelled = child.kind == cMergeChildList::kModelled;
    cQORMDMetaElem* baseModel = modelled ? base_->FindModelled(*child.key) : nullptr;
    cQORMDMetaElem* theirsModel = modelled ? theirs_->FindModelled(*child.key) : nullptr;
    const DOMNode* inBase = modelled ? NodeOf(baseModel) : base_->FindOpaque(*child.opaqueKey);
    const DOMNode* inTheirs = modelled ? NodeOf(theirsModel) : theirs_->FindOpaque(*child.opaqueKey);
    if (inTheirs) {
        inSlot_.emplace(inTheirs, slot);
        if (modelled) return MergeBothHold(child, baseModel, *theirsModel);
        return engine_.MergeWhole(inBase, child.node, inTheirs, &holder_);
    }
    if (!inBase) {
        addedByOurs_[slot] = true;
        return child.node;
    }
    return KeepDeletedByTheirs(child, inBase) ? child.node : nullptr;
}

DOMNode* cMergeChildren::MergeBothHold(const cMergeChildList::Child& child, cQORMDMetaElem* inBase,
                                       cQORMDMetaElem& inTheirs) {
    if (!inBase && classKey_) {  // moved here by both sides from one class?
        const cMergeMoves::Move* oursMove = engine_.Moves().Into(cMergeMoves::kOurs, *classKey_, *child.key);
        const cMergeMoves::Move* theirsMove =
            oursMove ? engine_.Moves().Into(cMergeMoves::kTheirs, *classKey_, *child.key) : nullptr;
        if (theirsMove && theirsMove->from == oursMove->from) inBase = oursMove->base;
    }
    return engine_.MergeModelled(inBase, *child.model, inTheirs, child.key, &holder_);
}

bool cMergeChildren::KeepDeletedByTheirs(const cMergeChildList::Child& child, const DOMNode* inBase) {
    const cMergeMoves::Move* move = classKey_ && child.kind == cMergeChildList::kModelled
                                        ? engine_.Moves().From(cMergeMoves::kTheirs, *classKey_, *child.key)
                                        : nullptr;
    cMergeConflict::Kind kind;
    if (!QORMMSameNode(child.node, inBase))
        kind = move ? cMergeConflict::kMovedByTheirs : cMergeConflict::kDeletedByTheirs;  // ours changed it
    else if (move && engine_.OursDeletedClass(move->to))
        kind = cMergeConflict::kMovedIntoDeletedClass;  // moved where it cannot stand
    else
        return false;  // deleted (or moved away) by theirs, left as it was by ours: gone
    cMergeConflict conflict = cMergePlace(inBase, child.node, nullptr, &holder_).Conflict(kind);
    if (move) {
        conflict.ours = holder_.Field(u"Uuid");
        conflict.theirs = DOMToZULUnicodeString(move->moved->GetParent()->GetDomElement()->getAttribute(u"Uuid"));
        conflict.inTheirs = {move->moved->GetDomElement().get(), move->moved->GetDomElement().get()};
    }
    engine_.Log().Add(std::move(conflict));
    return true;
}

void cMergeChildren::PlaceTheirs(DOMNode* element) {
    after_.assign(merged_.size() + 1, {});
    previous_ = {};
    std::size_t theirsLoose = 0;
    for (const cMergeChildList::Child& child : theirs_->Children()) {
        if (child.kind == cMergeChildList::kLoose) {
            if (looseFrom_ == kLooseFromTheirs)
                Place(engine_.Copy(child.node));
            else if (aligned_)
                previous_ = {Placement::kAfterOurs, oursLoose_[theirsLoose], nullptr};
            ++theirsLoose;
            continue;
        }
        const auto matched = inSlot_.find(child.node);
        if (matched != inSlot_.end()) {
            previous_ = {Placement::kAfterOurs, matched->second, nullptr};
            continue;
        }
        const DOMNode* inBase = InBase(child);
        if (!inBase) {
            Place(engine_.Copy(child.node));  // added by theirs
        } else if (!QORMMSameNode(child.node, inBase)) {
            // Deleted by ours, changed by theirs: stays deleted, with a conflict.
            cMergeConflict conflict =
                cMergePlace(inBase, nullptr, child.node, &holder_).Conflict(cMergeConflict::kDeletedByOurs);
            conflict.after = Anchor();
            conflict.holder = element;
            engine_.Log().Add(std::move(conflict));
        }
    }
}

std::vector<DOMNode*>& cMergeChildren::Next() {
    if (previous_.where == Placement::kInList) return *previous_.list;
    if (previous_.where == Placement::kStart) return after_[0];
    std::size_t slot = previous_.slot;
    while (slot + 1 < merged_.size() && addedByOurs_[slot + 1]) ++slot;
    return after_[slot + 1];
}

void cMergeChildren::Place(DOMNode* node) {
    std::vector<DOMNode*>& list = Next();
    list.push_back(node);
    previous_ = {Placement::kInList, 0, &list};
}

const DOMNode* cMergeChildren::Anchor() {
    std::vector<DOMNode*>& list = Next();
    if (!list.empty()) return list.back();
    for (std::size_t slot = &list - after_.data(); slot > 0; --slot) {
        if (merged_[slot - 1]) return merged_[slot - 1];
        if (!after_[slot - 1].empty()) return after_[slot - 1].back();
    }
    return nullptr;
}

void cMergeChildren::Rebuild(DOMNode* element) {
    const std::vector<cMergeChildList::Child>& mine = ours_->Children();
    bool same = after_[0].empty();
    for (std::size_t slot = 0; slot < mine.size() && same; ++slot)
        same = merged_[slot] == mine[slot].node && after_[slot + 1].empty();
    if (same) return;
    engine_.Changed();
    engine_.Edits().Touched(element, static_cast<const DOMElement*>(holder_.Theirs()));
    engine_.ChangingChildren(element);
    while (DOMNode* child = element->getFirstChild())
        element->removeChild(child);  // not released: the model points at them
    for (std::size_t slot = 0; slot <= mine.size(); ++slot) {
        if (slot > 0 && merged_[slot - 1]) element->appendChild(merged_[slot - 1]);
        for (DOMNode* node : after_[slot]) element->appendChild(node);
    }
}
