#include "QORMMergeEngine.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <xercesc/util/XMLString.hpp>

#include "QORMDMetaChildLoader.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaPackage.h"
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

// The children of a document other than its document element.
std::vector<const DOMNode*> AroundRoot(const DOMDocument* document) {
    std::vector<const DOMNode*> nodes;
    for (const DOMNode* node = document->getFirstChild(); node; node = node->getNextSibling())
        if (node != document->getDocumentElement()) nodes.push_back(node);
    return nodes;
}

// The upper-cased Uuid of an element, as the model keys it.
std::u16string UpperUuid(const DOMNode* element) {
    ZULUnicodeString uuid = DOMToZULUnicodeString(static_cast<const DOMElement*>(element)->getAttribute(u"Uuid"));
    uuid.ToUpper();
    return std::u16string(uuid.str());
}

}  // namespace

cMergeEngine::Outcome cMergeEngine::Merge(const cMergeDocument& base, const cMergeDocument& ours,
                                          const cMergeDocument& theirs) {
    if (QORMMSameNode(theirs.Document(), base.Document())) return kOursUnchanged;
    if (QORMMSameNode(ours.Document(), base.Document())) return kTheirsUnchanged;

    document_ = ours.Document();
    result_ = ours.Package().GetDomElement().share(document_);
    DOMElement* const oursRoot = ours.Root();
    DOMNode* root = MergeModelled(&base.Package(), ours.Package(), theirs.Package(), nullptr);
    if (root != oursRoot) document_->replaceChild(root, oursRoot);
    // Comments and processing instructions around the package: as any content.
    const std::vector<const DOMNode*> b = AroundRoot(base.Document());
    const std::vector<const DOMNode*> o = AroundRoot(ours.Document());
    const std::vector<const DOMNode*> t = AroundRoot(theirs.Document());
    if (QORMMSameNodes(o, b) && !QORMMSameNodes(t, b)) {
        std::vector<DOMNode*> around;
        for (DOMNode* node = theirs.Document()->getFirstChild(); node; node = node->getNextSibling())
            around.push_back(node == theirs.Root() ? root : Copy(node));
        while (DOMNode* node = document_->getFirstChild()) document_->removeChild(node);
        for (DOMNode* node : around) document_->appendChild(node);
        Changed();
    } else if (!QORMMSameNodes(t, b) && !QORMMSameNodes(o, t)) {
        log_.Add(cMergePlace(base.Root(), ours.Root(), theirs.Root(), nullptr).Conflict(cMergeConflict::kContent));
    }

    ResolveAddedTwice(base.Package(), ours.Package());
    if (!changed_) return kOursUnchanged;
    if (QORMMSameNode(document_, theirs.Document())) return kTheirsUnchanged;
    return kBuilt;
}

DOMNode* cMergeEngine::Copy(const DOMNode* source) { return QORMUCopyNode(document_, source, true); }

DOMNode* cMergeEngine::MergeModelled(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs,
                                     const cMergePlace* parent) {
    DOMElement* o = ours.GetDomElement().get();
    const DOMElement* t = theirs.GetDomElement().get();
    const DOMElement* b = base ? base->GetDomElement().get() : nullptr;
    // Left as it was by one side, or changed alike by both: taken whole.
    if (b && QORMMSameNode(t, b)) return o;
    if (b && QORMMSameNode(o, b)) {
        Changed();
        DOMNode* copy = Copy(t);
        if (theirs.GetLevel() == cQORMDMetaElem::kClass) NoteTheirsAddedIn(theirs, base, copy);
        return copy;
    }
    if (QORMMSameNode(o, t)) return o;

    const cMergePlace place(b, o, t, parent);
    const XMLCh* tag = MergeTag(b, o, t, place);
    cMergeFields::Merge(base, ours, theirs, place, *this);
    const cMergeChildList baseChildren(b, ModelledChildren(base));
    const cMergeChildList oursChildren(o, ModelledChildren(&ours));
    const cMergeChildList theirsChildren(t, ModelledChildren(&theirs));
    cMergeChildren(*this, place).Merge(baseChildren, oursChildren, theirsChildren, o);
    if (XMLString::equals(tag, o->getTagName())) return o;
    QORMMDeclarePrefixOf(tag, o, t);  // theirs' tag (Retag keeps the declaration)
    return Retag(o, tag);
}

DOMNode* cMergeEngine::MergeWhole(const DOMNode* base, DOMNode* ours, const DOMNode* theirs,
                                  const cMergePlace* parent) {
    if (base && QORMMSameNode(theirs, base)) return ours;
    if (base && QORMMSameNode(ours, base)) {
        Changed();
        return Copy(theirs);
    }
    if (!QORMMSameNode(ours, theirs))
        log_.Add(cMergePlace(base, ours, theirs, parent).Conflict(cMergeConflict::kContent));
    return ours;
}

void cMergeEngine::NoteTheirsAdded(cQORMDMetaElem& element, DOMNode* inResult) {
    if (element.GetLevel() == cQORMDMetaElem::kAttrib) theirsAdded_.push_back({&element, inResult});
    if (element.GetLevel() == cQORMDMetaElem::kClass) NoteTheirsAddedIn(element, nullptr, inResult);
}

void cMergeEngine::NoteTheirsAddedIn(cQORMDMetaElem& theirsClass, cQORMDMetaElem* baseClass, DOMNode* classInResult) {
    // The copy's children stand where the source's do.
    const cMergeChildList children(theirsClass.GetDomElement().get(), ModelledChildren(&theirsClass));
    const cMergeChildList inBase(baseClass ? baseClass->GetDomElement().get() : nullptr, ModelledChildren(baseClass));
    DOMNode* copy = classInResult->getFirstChild();
    for (const cMergeChildList::Child& child : children.Children()) {
        if (child.kind == cMergeChildList::kModelled && !inBase.FindModelled(*child.key))
            theirsAdded_.push_back({child.model, copy});
        copy = copy->getNextSibling();
    }
}

void cMergeEngine::ResolveAddedTwice(cQORMDMetaPackage& base, cQORMDMetaPackage& ours) {
    if (theirsAdded_.empty()) return;
    std::vector<ZULUnicodeString> keys;  // upper-cased Uuids, for the views below
    keys.reserve(theirsAdded_.size());
    std::unordered_map<std::u16string_view, std::size_t> added;  // -> theirsAdded_
    for (std::size_t i = 0; i < theirsAdded_.size(); ++i) {
        keys.push_back(theirsAdded_[i].attribute->GetUuid());
        added.emplace(keys.back().str(), i);
    }
    ZULHashDico& classes = *ours.GetClasses();
    ZULHashCodeIter eachClass(classes);
    while (eachClass++) {
        auto* oursClass = static_cast<cQORMDMetaClass*>(static_cast<cQORMDMetaElem*>(classes[eachClass]));
        ZULHashDico& attributes = *oursClass->GetAttribs();
        ZULHashCodeIter eachAttribute(attributes);
        while (eachAttribute++) {
            const auto found = added.find(eachAttribute.ItemName().str());
            if (found == added.end()) continue;
            Added& theirs = theirsAdded_[found->second];
            cQORMDMetaElem* theirsClass = theirs.attribute->GetParent();
            if (!theirs.inResult || eachClass.ItemName() == theirsClass->GetUuid()) continue;
            auto* oursAttribute = static_cast<cQORMDMetaElem*>(attributes[eachAttribute]);
            // Where the base had it already, ours did not add it there: theirs
            // moved it. The move stands unless ours changed it and so kept it
            // where it was (a conflict there already); then theirs' copy goes.
            auto* baseClass = static_cast<cQORMDMetaClass*>(static_cast<cQORMDMetaElem*>(base.GetClasses()->Locate(eachClass.ItemName())));
            const bool inBase = baseClass && baseClass->GetAttribs()->Locate(eachAttribute.ItemName());
            if (inBase && !InResult(oursAttribute->GetDomElement().get())) continue;
            const cMergePlace classPlace(nullptr, oursClass->GetDomElement().get(), nullptr, nullptr);
            cMergeConflict conflict = cMergePlace(nullptr, oursAttribute->GetDomElement().get(), nullptr, &classPlace)
                                          .Conflict(inBase ? cMergeConflict::kMovedByTheirs : cMergeConflict::kAddedTwice);
            conflict.ours = classPlace.Field(u"Uuid");
            conflict.theirs = cMergePlace(nullptr, theirsClass->GetDomElement().get(), nullptr, nullptr).Field(u"Uuid");
            log_.Add(std::move(conflict));
            LeaveOut(theirs.inResult);
            theirs.inResult = nullptr;
        }
    }
}

void cMergeEngine::LeaveOut(DOMNode* attribute) {
    DOMNode* holder = attribute->getParentNode();
    const std::u16string key = UpperUuid(attribute);
    holder->removeChild(attribute);
    // Later elements of theirs' class that repeat its Uuid (the loader passed
    // over them) would stand for it once it is gone: they go too.
    for (DOMNode* node = holder->getFirstChild(); node;) {
        DOMNode* next = node->getNextSibling();
        const std::u16string_view tag(reinterpret_cast<const char16_t*>(node->getNodeName()));
        if (node->getNodeType() == DOMNode::ELEMENT_NODE && QORMDReadsAsChild(tag, kQORMDAttribRules) &&
            UpperUuid(node) == key)
            holder->removeChild(node);
        node = next;
    }
}

bool cMergeEngine::InResult(const DOMNode* node) const {
    while (node && node != document_) node = node->getParentNode();
    return node != nullptr;
}

DOMElement* cMergeEngine::Retag(DOMElement* element, const XMLCh* tag) {
    DOMElement* renamed = document_->createElement(tag);
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
        const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
        renamed->setAttribute(attribute->getName(), QORMUAttrValue(attribute));
    }
    while (DOMNode* child = element->getFirstChild()) renamed->appendChild(element->removeChild(child));
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
