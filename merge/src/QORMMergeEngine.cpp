// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeEngine.h"

#include <string>
#include <vector>

#include <xercesc/util/XMLString.hpp>

#include "QORMDMetaChildLoader.h"
#include "QORMDMetaClass.h"
#include "QORMMergeChildList.h"
#include "QORMMergeChildren.h"
#include "QORMMergeFields.h"
#include "QORMMergeNamespaces.h"
#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUNodeCopy.h"

using namespace xercesc;

namespace {

// The dictionary of the modelled children of element: a package's classes,
// a class's attributes; none below.
ZULHashDico* ModelledChildren(cQORMDMetaElem* element) {
    if (!element) return nullptr;
    switch (element->GetLevel()) {
        case cQORMDMetaElem::kPackage: return static_cast<cQORMDMetaPackage*>(element)->GetClasses();
        case cQORMDMetaElem::kClass: return static_cast<cQORMDMetaClass*>(element)->GetAttribs();
        default: return nullptr;
    }
}

// The children of a document other than its document element: before it,
// after it, and all of them; none for a null document.
struct Around {
    std::vector<const DOMNode*> before, after, all;
};

Around AroundRoot(const cMergeDocument* version) {
    Around around;
    if (!version) return around;
    bool before = true;
    for (const DOMNode* node = version->Document()->getFirstChild(); node; node = node->getNextSibling()) {
        if (node == version->Root()) {
            before = false;
            continue;
        }
        (before ? around.before : around.after).push_back(node);
        around.all.push_back(node);
    }
    return around;
}

// The upper-cased Uuid of an element, as the model keys it.
std::u16string UpperUuid(const DOMNode* element) {
    ZULUnicodeString uuid = DOMToZULUnicodeString(static_cast<const DOMElement*>(element)->getAttribute(u"Uuid"));
    uuid.ToUpper();
    return std::u16string(uuid.str());
}

// The Uuid of the class that holds attribute, as written.
ZULUnicodeString ClassUuid(cQORMDMetaElem* attribute) {
    return DOMToZULUnicodeString(attribute->GetParent()->GetDomElement()->getAttribute(u"Uuid"));
}

}  // namespace

cMergeEngine::Outcome cMergeEngine::Merge(const cMergeDocument* base, const cMergeDocument& ours,
                                          const cMergeDocument& theirs) {
    // Theirs changed nothing but layout: ours' bytes. Ours did, and the file
    // is not spliced from ours' bytes anyway: theirs' bytes.
    if (base && QORMMSameNode(theirs.Document(), base->Document())) return kOursUnchanged;
    if (base && !oursText_ && QORMMSameNode(ours.Document(), base->Document())) return kTheirsUnchanged;
    if (!base && QORMMSameNode(ours.Document(), theirs.Document())) return kOursUnchanged;

    base_ = base ? &base->Package() : nullptr;
    ours_ = &ours.Package();
    theirs_ = &theirs.Package();
    if (base_) moves_.Find(*base_, *ours_, *theirs_, baseText_, oursText_, theirsText_);
    document_ = ours.Document();
    result_ = ours.Package().GetDomElement().share(document_);
    DOMElement* const oursRoot = ours.Root();
    DOMNode* root = MergeModelled(base_, ours.Package(), theirs.Package(), nullptr, nullptr);
    if (root != oursRoot) {
        ChangingChildren(document_);
        document_->replaceChild(root, oursRoot);
        edits_.Touched(document_);
    }
    MergeAroundRoot(base, ours, theirs, root);
    if (!moves_.Empty()) ResolveMoves();
    // What theirs brings uses the namespaces theirs declares.
    for (DOMNode* copy : edits_.Copies())
        if (copy->getNodeType() == DOMNode::ELEMENT_NODE && InResult(copy))
            QORMMDeclareForPlace(static_cast<DOMElement*>(copy), static_cast<const DOMElement*>(edits_.SourceOf(copy)),
                                 edits_);
    if (!changed_) return kOursUnchanged;
    if (!oursText_ && QORMMSameNode(document_, theirs.Document())) return kTheirsUnchanged;
    return kBuilt;
}

void cMergeEngine::MergeAroundRoot(const cMergeDocument* base, const cMergeDocument& ours, const cMergeDocument& theirs,
                                   DOMNode* root) {
    const Around b = AroundRoot(base), o = AroundRoot(&ours), t = AroundRoot(&theirs);
    if (QORMMSameNodes(t.all, b.all) || QORMMSameNodes(o.all, t.all)) return;
    if (QORMMSameNodes(o.all, b.all)) {  // theirs' comments and processing instructions, ours' package
        std::vector<DOMNode*> around;
        for (DOMNode* node = theirs.Document()->getFirstChild(); node; node = node->getNextSibling())
            around.push_back(node == theirs.Root() ? root : Copy(node));
        ChangingChildren(document_);
        while (DOMNode* node = document_->getFirstChild()) document_->removeChild(node);
        for (DOMNode* node : around) document_->appendChild(node);
        edits_.Touched(document_);
        Changed();
        return;
    }
    cMergeConflict conflict = cMergePlace(base ? base->Root() : nullptr, ours.Root(), theirs.Root(), nullptr)
                                  .Conflict(cMergeConflict::kContent);
    conflict.base = cMergeConflict::ContentText(b.all);
    conflict.ours = cMergeConflict::ContentText(o.all);
    conflict.theirs = cMergeConflict::ContentText(t.all);
    // Shown where they differ: before the package, else after it.
    const bool beforeSame = QORMMSameNodes(o.before, t.before);
    conflict.inBase = cMergeConflict::Nodes::Of(beforeSame ? b.after : b.before);
    conflict.inOurs = cMergeConflict::Nodes::Of(beforeSame ? o.after : o.before);
    conflict.inTheirs = cMergeConflict::Nodes::Of(beforeSame ? t.after : t.before);
    conflict.after = beforeSame ? root : nullptr;
    conflict.holder = document_;
    log_.Add(std::move(conflict));
}

DOMNode* cMergeEngine::Copy(const DOMNode* source, const DOMNode* replacing) {
    DOMNode* copy = QORMUCopyNodeAsIs(document_, source, true);
    edits_.Copied(copy, source, replacing);
    return copy;
}

bool cMergeEngine::OursDeletedClass(const ZULUnicodeString& key) const {
    return base_ && base_->GetClasses()->Locate(key) && !ours_->GetClasses()->Locate(key);
}

DOMNode* cMergeEngine::MergeModelled(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs,
                                     const ZULUnicodeString* key, const cMergePlace* parent) {
    DOMElement* o = ours.GetDomElement().get();
    const DOMElement* t = theirs.GetDomElement().get();
    const DOMElement* b = base ? base->GetDomElement().get() : nullptr;
    // Left as it was by theirs (layout aside), or changed alike by both:
    // ours'. Left byte for byte as it was by ours: theirs' whole; but a class
    // theirs moved attributes out of is merged child by child, where a move
    // that cannot stand is found. Anything else, a change of layout in ours
    // too, is merged in ours' element, so that ours' bytes stand.
    if (b && Same(theirsText_, t, baseText_, b)) return o;
    const ZULUnicodeString* classKey = ours.GetLevel() == cQORMDMetaElem::kClass ? key : nullptr;
    const bool movedOut = classKey && moves_.AnyFrom(cMergeMoves::kTheirs, *classKey);
    if (b && !movedOut && OursAsInBase(o, b)) {
        Changed();
        return Copy(t, o);
    }
    if (QORMMSameNode(o, t)) return o;

    const cMergePlace place(b, o, t, parent);
    const XMLCh* tag = MergeTag(b, o, t, place);
    if (cMergeFields::Merge(base, ours, theirs, place, log_, edits_)) Changed();
    const cMergeChildList baseChildren(b, ModelledChildren(base));
    const cMergeChildList oursChildren(o, ModelledChildren(&ours));
    const cMergeChildList theirsChildren(t, ModelledChildren(&theirs));
    cMergeChildren(*this, place, classKey).Merge(baseChildren, oursChildren, theirsChildren, o);
    if (XMLString::equals(tag, o->getTagName())) return o;
    return Retag(o, t);
}

DOMNode* cMergeEngine::MergeWhole(const DOMNode* base, DOMNode* ours, const DOMNode* theirs,
                                  const cMergePlace* parent) {
    if (base && QORMMSameNode(theirs, base)) return ours;
    if (base && QORMMSameNode(ours, base)) {  // merged whole: theirs' bytes, even where ours changed layout
        Changed();
        return Copy(theirs, ours);
    }
    if (!QORMMSameNode(ours, theirs)) {
        cMergeConflict conflict = cMergePlace(base, ours, theirs, parent).Conflict(cMergeConflict::kContent);
        conflict.base =
            cMergeConflict::ContentText(base ? std::vector<const DOMNode*>{base} : std::vector<const DOMNode*>{});
        conflict.ours = cMergeConflict::ContentText({ours});
        conflict.theirs = cMergeConflict::ContentText({theirs});
        log_.Add(std::move(conflict));
    }
    return ours;
}

DOMElement* cMergeEngine::Retag(DOMElement* element, const DOMElement* theirs) {
    const XMLCh* tag = theirs->getTagName();
    const std::u16string declaration = QORMUPrefixDeclaration(tag);
    if (const DOMElement* declaredBy = QORMMDeclarePrefixOf(tag, element, theirs))  // Retag keeps the declaration
        edits_.FieldTaken(element, reinterpret_cast<const XMLCh*>(declaration.c_str()), declaredBy);
    ChangingChildren(element);
    DOMElement* renamed = document_->createElement(tag);
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
        const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
        renamed->setAttribute(attribute->getName(), QORMUAttrValue(attribute));
    }
    while (DOMNode* child = element->getFirstChild()) renamed->appendChild(element->removeChild(child));
    edits_.Retagged(element, renamed, theirs);
    Changed();
    return renamed;
}

const XMLCh* cMergeEngine::MergeTag(const DOMElement* base, const DOMElement* ours, const DOMElement* theirs,
                                    const cMergePlace& place) {
    const XMLCh* o = ours->getTagName();
    const XMLCh* t = theirs->getTagName();
    if (base && XMLString::equals(o, base->getTagName())) return t;
    if ((base && XMLString::equals(t, base->getTagName())) || XMLString::equals(o, t)) return o;
    cMergeConflict conflict = place.Conflict(cMergeConflict::kTag);
    if (base) conflict.base = DOMToZULUnicodeString(base->getTagName());
    conflict.ours = DOMToZULUnicodeString(o);
    conflict.theirs = DOMToZULUnicodeString(t);
    log_.Add(std::move(conflict));
    return o;
}

cQORMDMetaElem* cMergeEngine::AttributeIn(cQORMDMetaPackage* package, const ZULUnicodeString& classKey,
                                          const ZULUnicodeString& key) {
    auto* inClass = static_cast<cQORMDMetaElem*>(package->GetClasses()->Locate(classKey));
    return inClass ? static_cast<cQORMDMetaElem*>(static_cast<cQORMDMetaClass*>(inClass)->GetAttribs()->Locate(key))
                   : nullptr;
}

void cMergeEngine::ResolveMoves() {
    // Theirs moved K from A to C; its copy stands in C unless ours moved K
    // elsewhere (a conflict), changed it in A (a conflict the walk noted),
    // keeps A whole against theirs' deletion of it (a conflict), or deleted
    // it (a conflict when theirs changed it too).
    for (const auto& entry : moves_.Of(cMergeMoves::kTheirs)) {
        const cMergeMoves::Move& move = entry.second;
        DOMNode* copy = edits_.CopyOf(move.moved->GetDomElement().get());
        if (!copy || !InResult(copy)) continue;
        const ZULUnicodeString key(entry.first);
        cQORMDMetaElem* oursInFrom = AttributeIn(ours_, move.from, key);
        if (const cMergeMoves::Move* oursMove = moves_.From(cMergeMoves::kOurs, move.from, key)) {
            cMergeConflict conflict =
                LeaveOut(copy, cMergeConflict::kMovedToTwoClasses, move.base, nullptr, move.moved);
            conflict.ours = ClassUuid(oursMove->moved);
            conflict.theirs = ClassUuid(move.moved);
            log_.Add(std::move(conflict));
        } else if (oursInFrom && !QORMMSameNode(oursInFrom->GetDomElement().get(), move.base->GetDomElement().get())) {
            LeaveOut(copy, cMergeConflict::kMovedByTheirs, nullptr, nullptr, nullptr);  // the walk said so
        } else if (oursInFrom && !theirs_->GetClasses()->Locate(move.from) &&
                   InResult(oursInFrom->GetDomElement().get())) {
            // Theirs deleted the class, and ours' side of that conflict keeps it whole, with K.
            cMergeConflict conflict = LeaveOut(copy, cMergeConflict::kMovedByTheirs, move.base, oursInFrom, move.moved);
            conflict.ours = ClassUuid(oursInFrom);
            conflict.theirs = ClassUuid(move.moved);
            log_.Add(std::move(conflict));
        } else if (!oursInFrom) {
            cMergeConflict conflict = LeaveOut(copy, cMergeConflict::kDeletedByOurs, move.base, nullptr, move.moved);
            if (!QORMMSameNode(move.moved->GetDomElement().get(), move.base->GetDomElement().get()))
                log_.Add(std::move(conflict));
        }
    }
    // Ours moved K from A to C, and theirs deleted it (moved it nowhere):
    // the deletion stands unless ours changed it.
    for (const auto& entry : moves_.Of(cMergeMoves::kOurs)) {
        const cMergeMoves::Move& move = entry.second;
        const ZULUnicodeString key(entry.first);
        DOMNode* moved = move.moved->GetDomElement().get();
        if (moves_.From(cMergeMoves::kTheirs, move.from, key) || AttributeIn(theirs_, move.from, key) ||
            !InResult(moved))
            continue;
        if (QORMMSameNode(moved, move.base->GetDomElement().get())) {
            LeaveOut(moved, cMergeConflict::kDeletedByTheirs, nullptr, nullptr, nullptr);
        } else {
            const cMergePlace inClass(nullptr, moved->getParentNode(), nullptr, nullptr);
            log_.Add(cMergePlace(move.base->GetDomElement().get(), moved, nullptr, &inClass)
                         .Conflict(cMergeConflict::kDeletedByTheirs));
        }
    }
}

cMergeConflict cMergeEngine::LeaveOut(DOMNode* attribute, cMergeConflict::Kind kind, cQORMDMetaElem* base,
                                      cQORMDMetaElem* ours, cQORMDMetaElem* theirs) {
    DOMNode* holder = attribute->getParentNode();
    const cMergePlace inClass(nullptr, holder, nullptr, nullptr);
    auto node = [](cQORMDMetaElem* element) -> const DOMNode* {
        return element ? element->GetDomElement().get() : nullptr;
    };
    cMergeConflict conflict = cMergePlace(node(base), node(ours), node(theirs), &inClass).Conflict(kind);
    conflict.holder = holder;
    conflict.after = attribute->getPreviousSibling();
    while (conflict.after && QORMMIsLayout(conflict.after)) conflict.after = conflict.after->getPreviousSibling();
    const std::u16string key = UpperUuid(attribute);
    ChangingChildren(holder);
    holder->removeChild(attribute);
    // Later elements of the class that repeat its Uuid (the loader passed
    // over them) would stand for it once it is gone: they go too.
    for (DOMNode* node = holder->getFirstChild(); node;) {
        DOMNode* next = node->getNextSibling();
        const std::u16string_view tag(reinterpret_cast<const char16_t*>(node->getNodeName()));
        if (node->getNodeType() == DOMNode::ELEMENT_NODE && QORMDReadsAsChild(tag, kQORMDAttribRules) &&
            UpperUuid(node) == key)
            holder->removeChild(node);
        node = next;
    }
    edits_.Touched(holder);
    Changed();
    return conflict;
}

bool cMergeEngine::OursAsInBase(const DOMNode* o, const DOMNode* b) const {
    if (!oursText_) return QORMMSameNode(o, b);
    return baseText_ && oursText_->SameText(o, *baseText_, b);
}

bool cMergeEngine::Same(const cMergeSource* as, const DOMNode* a, const cMergeSource* bs, const DOMNode* b) {
    return (as && bs && as->SameText(a, *bs, b)) || QORMMSameNode(a, b);
}

bool cMergeEngine::InResult(const DOMNode* node) const {
    while (node && node != document_) node = node->getParentNode();
    return node != nullptr;
}
