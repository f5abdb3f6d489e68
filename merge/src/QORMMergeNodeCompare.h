// Equality of DOM content as the merge sees it: the same nodes in the same
// order, with the same names, values and attributes (attribute order does not
// count: XML gives it no meaning). Layout white space never reaches the DOM.
#pragma once

#include <vector>

#include <xercesc/dom/DOM.hpp>

// Whether a and b (with their subtrees) are equal; two nulls are equal.
bool QORMMSameNode(const xercesc::DOMNode* a, const xercesc::DOMNode* b);
// Whether a and b hold the same attributes with the same values.
bool QORMMSameAttributes(const xercesc::DOMElement* a, const xercesc::DOMElement* b);
// Whether the two lists hold equal nodes in the same order.
bool QORMMSameNodes(const std::vector<const xercesc::DOMNode*>& a, const std::vector<const xercesc::DOMNode*>& b);
