// SPDX-License-Identifier: Apache-2.0
// Copies of nodes from one document into another. Documents are parsed
// without namespace processing, so a prefix is part of a name: a copy holds
// exactly the source's names, and whoever places it says what it needs
// declared there (the merge does, QORMMergeNamespaces.h; the diff document
// declares nothing).
#pragma once

#include <string>

#include <xercesc/dom/DOM.hpp>

// An unattached copy of source (with its subtree when deep) owned by
// document: the same names, attributes, text, comments and processing
// instructions, nothing added. Throws DOMException or std::bad_alloc on failure.
xercesc::DOMNode* QORMUCopyNodeAsIs(xercesc::DOMDocument* document, const xercesc::DOMNode* source, bool deep);

// The declaration ("xmlns:p") that a qualified name "p:local" needs; empty
// for a name without a prefix and for the prefixes xml and xmlns.
std::u16string QORMUPrefixDeclaration(const XMLCh* name);
