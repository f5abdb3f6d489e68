// cMergeEngine: the three-way merge of three loaded versions into a new DOM
// document. The package is the document element; classes and attributes are
// matched by the model's keys (upper-cased Uuid), fields by exact name.
// Each element is merged once, with one dictionary lookup per element and
// version; an element is copied whole from the side that alone changed it.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergePlace.h"
#include "QORMetaUtil/QORMUDomHandle.h"

class cMergeEngine {
public:
    // What the merge gives: ours or theirs unchanged (their bytes are the
    // result), or the document built by Result().
    enum Outcome { kOursUnchanged, kTheirsUnchanged, kBuilt };

    explicit cMergeEngine(cMergeConflictLog& log) : log_(log) {}

    // Merges; conflicts go to the log, ours' side kept at each. Throws what
    // the DOM throws (DOMException, std::bad_alloc).
    Outcome Merge(const cMergeDocument& base, const cMergeDocument& ours, const cMergeDocument& theirs);
    const DOM_Document& Result() const { return result_; }

    // For cMergeChildren: a copy of source (with its subtree) in the result.
    xercesc::DOMNode* Copy(const xercesc::DOMNode* source);
    // A class or attribute (or the package) that ours and theirs both hold;
    // base is null when both added it.
    xercesc::DOMNode* MergeModelled(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs,
                                    const cMergePlace* parent);
    // An element merged as a whole, which ours and theirs both hold.
    xercesc::DOMNode* MergeWhole(const xercesc::DOMNode* base, const xercesc::DOMNode* ours,
                                 const xercesc::DOMNode* theirs, const cMergePlace* parent);
    cMergeConflictLog& Log() { return log_; }

private:
    const XMLCh* MergeTag(const xercesc::DOMElement* base, const xercesc::DOMElement* ours,
                          const xercesc::DOMElement* theirs, const cMergePlace& place);

    cMergeConflictLog& log_;
    DOM_Document result_;
};
