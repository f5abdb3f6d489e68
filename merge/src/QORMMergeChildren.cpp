// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeChildren.h"

#include <unordered_map>
#include <vector>

#include "QORMMergeEngine.h"
#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

// Where the previous child of theirs ended up in the result.
struct Placement {
    enum Where { kStart, kAfterOurs, kInList } where = kStart;
    std::size_t slot = 0;                   // kAfterOurs: ours' child
    std::vector<DOMNode*>* list = nullptr;  // kInList: the list it was put in
};

}  // namespace

cMergeChildren::LooseFrom cMergeChildren::PickLoose(const cMergeChildList& base, const cMergeChildList& ours,
                                                    const cMergeChildList& theirs, bool& aligned) {
    aligned = false;
    if (QORMMSameNodes(theirs.Loose(), base.Loose())) {
        aligned = QORMMSameNodes(ours.Loose(), theirs.Loose());
        return kLooseFromOurs;
    }
    if (QORMMSameNodes(ours.Loose(), base.Loose())) return kLooseFromTheirs;
    aligned = QORMMSameNodes(ours.Loose(), theirs.Loose());
    if (!aligned) {
        cMergeConflict conflict = holder_.Conflict(cMergeConflict::kContent);
        conflict.base = cMergeConflict::ContentText(base.Loose());
        conflict.ours = cMergeConflict::ContentText(ours.Loose());
        conflict.theirs = cMergeConflict::ContentText(theirs.Loose());
        auto run = [](const std::vector<const DOMNode*>& nodes) {
            return nodes.empty() ? cMergeConflict::Nodes{} : cMergeConflict::Nodes{nodes.front(), nodes.back()};
        };
        conflict.inBase = run(base.Loose());
        conflict.inOurs = run(ours.Loose());
        conflict.inTheirs = run(theirs.Loose());
        conflict.holder = conflict.inOurs.first ? nullptr : holder_.Ours();
        engine_.Log().Add(std::move(conflict));
    }
    return kLooseFromOurs;
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

void cMergeChildren::Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
                           DOMNode* element) {
    bool aligned = false;  // theirs' loose nodes stand one for one for ours'
    const LooseFrom looseFrom = PickLoose(base, ours, theirs, aligned);
    const std::vector<cMergeChildList::Child>& mine = ours.Children();

    // Ours' children in ours' order.
    std::vector<DOMNode*> merged(mine.size(), nullptr);
    std::vector<bool> addedByOurs(mine.size(), false);
    std::unordered_map<const DOMNode*, std::size_t> theirsToOurs;  // theirs' node -> ours' slot
    theirsToOurs.reserve(mine.size());
    std::vector<std::size_t> oursLoose;  // slots of ours' loose nodes, when aligned
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const cMergeChildList::Child& child = mine[i];
        if (child.kind == cMergeChildList::kLoose) {
            if (looseFrom == kLooseFromOurs) merged[i] = child.node;
            if (aligned) oursLoose.push_back(i);
            continue;
        }
        const DOMNode* inBase = nullptr;
        const DOMNode* inTheirs = nullptr;
        cQORMDMetaElem* baseModel = nullptr;
        cQORMDMetaElem* theirsModel = nullptr;
        if (child.kind == cMergeChildList::kModelled) {
            baseModel = base.FindModelled(*child.key);
            theirsModel = theirs.FindModelled(*child.key);
            inBase = baseModel ? baseModel->GetDomElement().get() : nullptr;
            inTheirs = theirsModel ? theirsModel->GetDomElement().get() : nullptr;
        } else {
            inBase = base.FindOpaque(*child.opaqueKey);
            inTheirs = theirs.FindOpaque(*child.opaqueKey);
        }
        if (inTheirs) {
            theirsToOurs.emplace(inTheirs, i);
            if (child.kind == cMergeChildList::kModelled) {
                // Moved here by both sides from one class: merged against the base's copy there.
                const cMergeMoves::Move* oursMove =
                    !baseModel && classKey_ ? engine_.Moves().Into(cMergeMoves::kOurs, *classKey_, *child.key)
                                            : nullptr;
                const cMergeMoves::Move* theirsMove =
                    oursMove ? engine_.Moves().Into(cMergeMoves::kTheirs, *classKey_, *child.key) : nullptr;
                if (theirsMove && theirsMove->from == oursMove->from) baseModel = oursMove->base;
                merged[i] = engine_.MergeModelled(baseModel, *child.model, *theirsModel, child.key, &holder_);
            } else {
                merged[i] = engine_.MergeWhole(inBase, child.node, inTheirs, &holder_);
            }
        } else if (!inBase) {
            merged[i] = child.node;  // added by ours
            addedByOurs[i] = true;
        } else if (KeepDeletedByTheirs(child, inBase)) {
            merged[i] = child.node;
        }
    }

    // What only theirs has, placed after its predecessor in theirs.
    std::vector<std::vector<DOMNode*>> after(mine.size() + 1);  // [0]: before ours' first child
    Placement previous;
    std::size_t theirsLoose = 0;
    // The list a node that follows previous goes to: after ours' child and
    // what ours added right after it, or after the node placed last.
    auto next = [&]() -> std::vector<DOMNode*>& {
        if (previous.where == Placement::kInList) return *previous.list;
        if (previous.where == Placement::kStart) return after[0];
        std::size_t slot = previous.slot;
        while (slot + 1 < mine.size() && addedByOurs[slot + 1]) ++slot;
        return after[slot + 1];
    };
    auto place = [&](DOMNode* node) {
        std::vector<DOMNode*>& list = next();
        list.push_back(node);
        previous = {Placement::kInList, 0, &list};
    };
    // The result's node that a node following previous comes after; null: first.
    auto anchor = [&]() -> const DOMNode* {
        std::vector<DOMNode*>& list = next();
        if (!list.empty()) return list.back();
        for (std::size_t slot = &list - after.data(); slot > 0; --slot) {
            if (merged[slot - 1]) return merged[slot - 1];
            if (!after[slot - 1].empty()) return after[slot - 1].back();
        }
        return nullptr;
    };
    for (const cMergeChildList::Child& child : theirs.Children()) {
        if (child.kind == cMergeChildList::kLoose) {
            if (looseFrom == kLooseFromTheirs)
                place(engine_.Copy(child.node));
            else if (aligned)
                previous = {Placement::kAfterOurs, oursLoose[theirsLoose], nullptr};
            ++theirsLoose;
            continue;
        }
        const auto matched = theirsToOurs.find(child.node);
        if (matched != theirsToOurs.end()) {
            previous = {Placement::kAfterOurs, matched->second, nullptr};
            continue;
        }
        const DOMNode* inBase = nullptr;
        if (child.kind == cMergeChildList::kModelled) {
            cQORMDMetaElem* baseModel = base.FindModelled(*child.key);
            inBase = baseModel ? baseModel->GetDomElement().get() : nullptr;
        } else {
            inBase = base.FindOpaque(*child.opaqueKey);
        }
        if (!inBase) {
            place(engine_.Copy(child.node));  // added by theirs
        } else if (!QORMMSameNode(child.node, inBase)) {
            // Deleted by ours, changed by theirs: stays deleted, with a conflict.
            cMergeConflict conflict =
                cMergePlace(inBase, nullptr, child.node, &holder_).Conflict(cMergeConflict::kDeletedByOurs);
            conflict.after = anchor();
            conflict.holder = element;
            engine_.Log().Add(std::move(conflict));
        }
    }

    // Ours' children as they were, when nothing came or went.
    bool same = after[0].empty();
    for (std::size_t i = 0; i < mine.size() && same; ++i) same = merged[i] == mine[i].node && after[i + 1].empty();
    if (same) return;
    engine_.Changed();
    engine_.Edits().Touched(element, static_cast<const DOMElement*>(holder_.Theirs()));
    engine_.ChangingChildren(element);
    while (DOMNode* child = element->getFirstChild())
        element->removeChild(child);  // not released: the model points at them
    auto append = [&](const std::vector<DOMNode*>& nodes) {
        for (DOMNode* node : nodes) element->appendChild(node);
    };
    append(after[0]);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        if (merged[i]) element->appendChild(merged[i]);
        append(after[i + 1]);
    }
}
