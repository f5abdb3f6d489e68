// SPDX-License-Identifier: Apache-2.0
// Namespace declarations in the merged document. The result is built in
// ours' document: a tag or field name that theirs brings may use a prefix
// that only theirs declares, and a declaration that theirs deletes may be
// one that ours' content still uses. Either would leave a prefix that no
// namespace-aware parser can read.
#pragma once

#include <xercesc/dom/DOM.hpp>

class cMergeEdits;

// Declares the prefix of name (a tag or field name taken from theirs) on
// element, with the value theirs' element or its ancestors give it, unless
// element or one of its ancestors declares it already. Returns theirs'
// element that holds the declaration taken; null when none was.
const xercesc::DOMElement* QORMMDeclarePrefixOf(const XMLCh* name, xercesc::DOMElement* element,
                                                const xercesc::DOMElement* theirs);
// Whether declaration ("xmlns:p") binds a prefix that element or one of its
// descendants uses in a tag or a field name.
bool QORMMPrefixInUse(const XMLCh* declaration, const xercesc::DOMElement* element);
// copy, a copy of theirs' source now placed in the result: declares on it
// each namespace that its names use (and do not declare themselves) which
// the result binds otherwise where copy stands than theirs does where source
// stands, as theirs binds it; noted in edits.
void QORMMDeclareForPlace(xercesc::DOMElement* copy, const xercesc::DOMElement* source, cMergeEdits& edits);
