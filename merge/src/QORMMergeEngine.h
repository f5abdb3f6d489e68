// SPDX-License-Identifier: Apache-2.0
// cMergeEngine: the three-way merge of three loaded versions. The package is
// the document element; classes are matched by the model's keys (upper-cased
// Uuid), attributes by their class's key and their own, fields by exact
// name. Each element is merged once, with one dictionary lookup per element
// and version.
// The result is built in ours' document: what theirs did not change stays as
// it is (most of a large model, at no cost), what theirs changed is copied
// in or set there, and every change is noted in the edits, from which the
// merged file is spliced out of the sources' bytes (cMergeSplicer).
#pragma once

#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "QORMDMetaPackage.h"
#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergeEdits.h"
#include "QORMMergeMoves.h"
#include "QORMMergePlace.h"
#include "QORMMergeSource.h"
#include "QORMetaUtil/QORMUDomHandle.h"

class cMergeEngine {
public:
    // What the merge gives: ours or theirs unchanged (their bytes are the
    // result), or the document Result() holds.
    enum Outcome { kOursUnchanged, kTheirsUnchanged, kBuilt };

    cMergeEngine(cMergeConflictLog& log, cMergeEdits& edits) : log_(log), edits_(edits) {}

    // The three versions' bytes (base may be null), by which a node that is
    // the same text in two versions is known the same at once; without them
    // every comparison walks the DOM.
    // Whether it was given source (as ours' bytes), which the merged file
    // can be spliced from only then: ours' bytes are mapped to a node's
    // children before they change.
    bool UsesOurs(const cMergeSource* source) const { return source && source == oursText_; }
    void UseSources(const cMergeSource* base, const cMergeSource* ours, const cMergeSource* theirs) {
        baseText_ = base;
        oursText_ = ours;
        theirsText_ = theirs;
    }
    // Merges into ours' document (which the merge changes); conflicts go to
    // the log, ours' side kept at each. base is null when there is no common
    // version (both added the document): everything merges against nothing.
    // Throws what the DOM throws (DOMException, std::bad_alloc).
    Outcome Merge(const cMergeDocument* base, const cMergeDocument& ours, const cMergeDocument& theirs);
    // The merged document (ours', changed).
    const DOM_Document& Result() const { return result_; }

    // For cMergeChildren: a copy of a node of theirs (with its subtree) in
    // the result's document; in the place of ours' node replacing, if given.
    xercesc::DOMNode* Copy(const xercesc::DOMNode* source, const xercesc::DOMNode* replacing = nullptr);
    // A class or attribute (or the package) that ours and theirs both hold,
    // key its key in the model (null for the package); base is null when
    // both added it. Returns what stands for it in the result: ours' element
    // (changed where theirs changed it) or a new one.
    xercesc::DOMNode* MergeModelled(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs,
                                    const ZULUnicodeString* key, const cMergePlace* parent);
    // An element merged as a whole, which ours and theirs both hold: ours'
    // node or a copy of theirs.
    xercesc::DOMNode* MergeWhole(const xercesc::DOMNode* base, xercesc::DOMNode* ours, const xercesc::DOMNode* theirs,
                                 const cMergePlace* parent);
    cMergeConflictLog& Log() { return log_; }
    const cMergeConflictLog& Log() const { return log_; }
    cMergeEdits& Edits() { return edits_; }
    const cMergeEdits& Edits() const { return edits_; }
    const cMergeMoves& Moves() const { return moves_; }
    // Whether ours deleted the class of that key (the base holds it).
    bool OursDeletedClass(const ZULUnicodeString& key) const;
    // Notes that the result no longer is ours as it was.
    void Changed() { changed_ = true; }
    // Before node's children change: ours' bytes are mapped to them while
    // they are the file's.
    void ChangingChildren(const xercesc::DOMNode* node) {
        if (oursText_) oursText_->Content(node);
    }

private:
    const XMLCh* MergeTag(const xercesc::DOMElement* base, const xercesc::DOMElement* ours,
                          const xercesc::DOMElement* theirs, const cMergePlace& place);
    // A new element of that tag (theirs') in place of element, with its fields and children.
    xercesc::DOMElement* Retag(xercesc::DOMElement* element, const xercesc::DOMElement* theirs);
    // Comments and processing instructions around the package, as any content.
    void MergeAroundRoot(const cMergeDocument* base, const cMergeDocument& ours, const cMergeDocument& theirs,
                         xercesc::DOMNode* root);
    // The moves the walk cannot settle where it meets them: theirs' copy of
    // an attribute whose move does not stand is left out, and so is ours'
    // moved copy of one that theirs deleted and ours did not change.
    void ResolveMoves();
    // Removes an attribute from the result, with the elements of its class
    // that repeat its Uuid; returns the conflict standing where it stood.
    cMergeConflict LeaveOut(xercesc::DOMNode* attribute, cMergeConflict::Kind kind, cQORMDMetaElem* base,
                            cQORMDMetaElem* ours, cQORMDMetaElem* theirs);
    // Whether ours' element o is the base's b as the merged file shows it:
    // the same bytes when the file is spliced from ours' bytes (ours' layout
    // stands, so a layout change is a change), else the same content.
    bool OursAsInBase(const xercesc::DOMNode* o, const xercesc::DOMNode* b) const;
    // Whether a (of the version whose bytes are in as) and b are the same content.
    static bool Same(const cMergeSource* as, const xercesc::DOMNode* a, const cMergeSource* bs,
                     const xercesc::DOMNode* b);
    // Whether node is still part of the result document.
    bool InResult(const xercesc::DOMNode* node) const;
    // The attribute of that key in the class of that key, or null.
    static cQORMDMetaElem* AttributeIn(cQORMDMetaPackage* package, const ZULUnicodeString& classKey,
                                       const ZULUnicodeString& key);

    cMergeConflictLog& log_;
    cMergeEdits& edits_;
    cMergeMoves moves_;
    const cMergeSource* baseText_ = nullptr;
    const cMergeSource* oursText_ = nullptr;
    const cMergeSource* theirsText_ = nullptr;
    cQORMDMetaPackage* base_ = nullptr;  // null without a common version
    cQORMDMetaPackage* ours_ = nullptr;
    cQORMDMetaPackage* theirs_ = nullptr;
    DOM_Document result_;
    xercesc::DOMDocument* document_ = nullptr;  // result_'s
    bool changed_ = false;
};
