// SPDX-License-Identifier: Apache-2.0
// The walk that cQORMDMetaPackage::init and cQORMDMetaClass::init share:
// read each element child of a container element into a child element
// keyed by its upper-cased Uuid, skipping the comment tags silently and the
// container's discarded tags with a trace, and checking each child's Uuid
// and Name in that order.
#pragma once

#include <string_view>

#include "QORMDMetaElem.h"
#include "QORMetaUtil/QORMUArena.h"

struct QORMDChildRules {
    const char16_t* discardedTag1;  // "Interface" / "InterfaceImplementation"
    const char16_t* discardedTag2;  // "Enum" / "Enumerator"
    const char* discardedTrace;
    const char* noUuidTrace;
    const char* noNameTrace;
    const char* duplicateUuidTrace;
};

// The rules of a package's children, its classes, and of a class's
// children, its attributes.
extern const QORMDChildRules kQORMDClassRules;
extern const QORMDChildRules kQORMDAttribRules;

// Whether the walk reads an element child of that tag as a child: neither a
// comment tag nor one of the rules' discarded tags.
bool QORMDReadsAsChild(std::u16string_view tag, const QORMDChildRules& rules);

// The values of the XML attributes Uuid and Name of element, read in one
// pass over its attributes; null when absent, and a null string (see
// QORMUIsNullDOMString) when written empty.
void QORMDReadUuidAndName(const xercesc::DOMElement* element, const XMLCh*& uuid, const XMLCh*& name);

// Builds (not yet initialised) the child element of parent for a DOM child,
// in the arena of the container's document.
using QORMDMakeChild = cQORMDMetaElem* (*)(QORMUArena& arena, cQORMDMetaElem* parent, const DOM_Element& element);

// Returns 0, or -1 at the first failure; children stored so far stay in
// children, owned by parent, whose element container is.
int QORMDLoadChildren(cQORMDMetaElem* parent, const DOM_Element& container, ZULHashDico& children,
                      const QORMDChildRules& rules, QORMDMakeChild makeChild);
