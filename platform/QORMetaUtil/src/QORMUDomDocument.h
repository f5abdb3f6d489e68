// SPDX-License-Identifier: Apache-2.0
// Documents owned by DOM handles, each holding one use of the Xerces runtime
// (XMLPlatformUtils::Initialize / Terminate count their calls) and the
// arena its nodes live in.
#pragma once

#include <memory>

#include "QORMetaUtil/QORMUArena.h"
#include "QORMetaUtil/QORMUDomHandle.h"

// Takes one Xerces use; throws XMLException when Xerces cannot start.
void QORMUAcquireXerces();
void QORMUReleaseXerces();
// Hands a document, created in arena while the caller holds a Xerces use,
// to a handle that owns both and takes its own use of the runtime. The last
// handle releases the document, then the arena, then the runtime use.
DOM_Document QORMUAdoptDocument(xercesc::DOMDocument* document, std::unique_ptr<QORMUArena> arena);
