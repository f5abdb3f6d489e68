// Layout white space: blank text (spaces, tabs, line ends) among the children
// of an element that also has element children. Metadata documents carry it
// only for indentation; the writer indents by itself.
#pragma once

#include <xercesc/dom/DOMNode.hpp>

// Removes and releases the layout white space directly under node, when node
// is an element with element children; anything else is left as it is.
void QORMUDropLayoutText(xercesc::DOMNode* node);

// Whether the length units of text are all blank (an empty text is).
bool QORMUIsBlank(const XMLCh* text, XMLSize_t length);
