// SPDX-License-Identifier: Apache-2.0
// Equality of DOM content as the merge sees it: the same nodes in the same
// order, with the same names, values and attributes (attribute order does not
// count: XML gives it no meaning), layout aside. Layout white space beside
// elements never reaches the DOM; blank text in mixed content does, and is
// layout to the merge too: the indentation before an element goes with it,
// and so do the blank ends of a text beside elements, and the blank ends
// that hold a line end of any text (an element's elements may come and go).
#pragma once

#include <vector>

#include <xercesc/dom/DOM.hpp>

// Whether node is layout: a text node of blanks only.
bool QORMMIsLayout(const xercesc::DOMNode* node);
// Whether a and b (with their subtrees) are equal; two nulls are equal.
bool QORMMSameNode(const xercesc::DOMNode* a, const xercesc::DOMNode* b);
// Whether a and b hold the same attributes with the same values.
bool QORMMSameAttributes(const xercesc::DOMElement* a, const xercesc::DOMElement* b);
// Whether the two lists hold equal nodes in the same order.
bool QORMMSameNodes(const std::vector<const xercesc::DOMNode*>& a, const std::vector<const xercesc::DOMNode*>& b);
