#include "QORMMergeChildren.h"

#include <unordered_map>
#include <vector>

#include "QORMMergeEngine.h"
#include "QORMMergeNodeCompare.h"

using namespace xercesc;

namespace {

// Where the previous child of theirs ended up in the result.
struct Placement {
    enum Where { kStart, kAfterOurs, kInList, kNowhere } where = kStart;
    std::size_t slot = 0;                    // kAfterOurs: ours' child
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
    if (!aligned) engine_.Log().Add(holder_.Conflict(cMergeConflict::kContent));
    return kLooseFromOurs;
}

void cMergeChildren::Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
                           DOMNode* element) {
    bool aligned = false;  // theirs' loose nodes stand one for one for ours'
    const LooseFrom looseFrom = PickLoose(base, ours, theirs, aligned);
    const std::vector<cMergeChildList::Child>& mine = ours.Children();

    // Ours' children in ours' order.
    std::vector<DOMNode*> merged(mine.size(), nullptr);
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
            merged[i] = child.kind == cMergeChildList::kModelled
                            ? engine_.MergeModelled(baseModel, *child.model, *theirsModel, &holder_)
                            : engine_.MergeWhole(inBase, child.node, inTheirs, &holder_);
        } else if (!inBase) {
            merged[i] = child.node;  // added by ours
        } else if (!QORMMSameNode(child.node, inBase)) {
            engine_.Log().Add(cMergePlace(inBase, child.node, nullptr, &holder_).Conflict(cMergeConflict::kDeletedByTheirs));
            merged[i] = child.node;
        }  // else deleted by theirs, left as it was by ours: gone
    }

    // What only theirs has, placed after its predecessor in theirs.
    std::vector<std::vector<DOMNode*>> after(mine.size() + 1);  // [0]: before ours' first child
    std::vector<DOMNode*> atEnd;
    Placement previous;
    std::size_t theirsLoose = 0;
    auto place = [&](DOMNode* node) {
        std::vector<DOMNode*>* list = &atEnd;
        if (previous.where == Placement::kStart) list = &after[0];
        if (previous.where == Placement::kAfterOurs) list = &after[previous.slot + 1];
        if (previous.where == Placement::kInList) list = previous.list;
        list->push_back(node);
        previous = {Placement::kInList, 0, list};
    };
    for (const cMergeChildList::Child& child : theirs.Children()) {
        if (child.kind == cMergeChildList::kLoose) {
            if (looseFrom == kLooseFromTheirs) {
                place(engine_.Copy(child.node));
            } else if (aligned) {
                previous = {Placement::kAfterOurs, oursLoose[theirsLoose], nullptr};
            } else {
                previous = {Placement::kNowhere, 0, nullptr};
            }
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
            DOMNode* copy = engine_.Copy(child.node);  // added by theirs
            place(copy);
            if (child.kind == cMergeChildList::kModelled) engine_.NoteTheirsAdded(*child.model, copy);
            continue;
        }
        // Deleted by ours: gone, but a conflict when theirs changed it.
        if (!QORMMSameNode(child.node, inBase))
            engine_.Log().Add(cMergePlace(inBase, nullptr, child.node, &holder_).Conflict(cMergeConflict::kDeletedByOurs));
        previous = {Placement::kNowhere, 0, nullptr};
    }

    // Ours' children as they were, when nothing came or went.
    bool same = after[0].empty() && atEnd.empty();
    for (std::size_t i = 0; i < mine.size() && same; ++i)
        same = merged[i] == mine[i].node && after[i + 1].empty();
    if (same) return;
    engine_.Changed();
    for (const cMergeChildList::Child& child : mine) element->removeChild(child.node);
    auto append = [&](const std::vector<DOMNode*>& nodes) {
        for (DOMNode* node : nodes) element->appendChild(node);
    };
    append(after[0]);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        if (merged[i]) element->appendChild(merged[i]);
        append(after[i + 1]);
    }
    append(atEnd);
}
