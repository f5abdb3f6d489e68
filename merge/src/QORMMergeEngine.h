// cMergeEngine: the three-way merge of three loaded versions. The package is
// the document element; classes and attributes are matched by the model's
// keys (upper-cased Uuid), fields by exact name. Each element is merged once,
// with one dictionary lookup per element and version.
// The result is built in ours' document: what theirs did not change stays as
// it is (most of a large model, at no cost), what theirs changed is copied
// in (QORMUCopyNode, with the namespace declarations it needs) or set there.
#pragma once

#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "QORMDMetaPackage.h"
#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergePlace.h"
#include "QORMetaUtil/QORMUDomHandle.h"

class cMergeEngine {
public:
    // What the merge gives: ours or theirs unchanged (their bytes are the
    // result), or the document Result() holds.
    enum Outcome { kOursUnchanged, kTheirsUnchanged, kBuilt };

    explicit cMergeEngine(cMergeConflictLog& log) : log_(log) {}

    // Merges into ours' document (which the merge changes); conflicts go to
    // the log, ours' side kept at each. Throws what the DOM throws
    // (DOMException, std::bad_alloc).
    Outcome Merge(const cMergeDocument& base, const cMergeDocument& ours, const cMergeDocument& theirs);
    // The merged document (ours', changed).
    const DOM_Document& Result() const { return result_; }

    // For cMergeChildren: a copy of a node of theirs (with its subtree) in
    // the result's document.
    xercesc::DOMNode* Copy(const xercesc::DOMNode* source);
    // A class or attribute (or the package) that ours and theirs both hold;
    // base is null when both added it. Returns what stands for it in the
    // result: ours' element (changed where theirs changed it) or a new one.
    xercesc::DOMNode* MergeModelled(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs,
                                    const cMergePlace* parent);
    // An element merged as a whole, which ours and theirs both hold: ours'
    // node or a copy of theirs.
    xercesc::DOMNode* MergeWhole(const xercesc::DOMNode* base, xercesc::DOMNode* ours, const xercesc::DOMNode* theirs,
                                 const cMergePlace* parent);
    // Notes a class or attribute that theirs added, as its copy stands in
    // the result. An attribute that ours and theirs added to different
    // classes (each moved it elsewhere) would stand twice: that is a
    // conflict, and theirs' copy is left out.
    void NoteTheirsAdded(cQORMDMetaElem& element, xercesc::DOMNode* inResult);
    cMergeConflictLog& Log() { return log_; }
    // Notes that the result no longer is ours as it was.
    void Changed() { changed_ = true; }

private:
    const XMLCh* MergeTag(const xercesc::DOMElement* base, const xercesc::DOMElement* ours,
                          const xercesc::DOMElement* theirs, const cMergePlace& place);
    // A new element of that tag in place of element, with its fields and children.
    xercesc::DOMElement* Retag(xercesc::DOMElement* element, const XMLCh* tag);
    // The attributes of theirs' class (copied whole into the result as
    // classInResult) that the base's class lacks; base null: all of them.
    void NoteTheirsAddedIn(cQORMDMetaElem& theirsClass, cQORMDMetaElem* baseClass, xercesc::DOMNode* classInResult);
    // Leaves out theirs' copy of each attribute that ours added to another
    // class, or that theirs moved while ours changed it where it was: one
    // pass over ours' attributes, only when theirs added some.
    void ResolveAddedTwice(cQORMDMetaPackage& base, cQORMDMetaPackage& ours);
    // Removes theirs' copy of an attribute from the result, with the
    // elements of its class that repeat its Uuid.
    void LeaveOut(xercesc::DOMNode* attribute);
    // Whether node is still part of the result document.
    bool InResult(const xercesc::DOMNode* node) const;

    struct Added {
        cQORMDMetaElem* attribute;  // theirs'
        xercesc::DOMNode* inResult;
    };

    cMergeConflictLog& log_;
    DOM_Document result_;
    xercesc::DOMDocument* document_ = nullptr;  // result_'s
    bool changed_ = false;
    std::vector<Added> theirsAdded_;  // attributes, in the order met
};
