// Documents owned by DOM handles, each holding one use of the Xerces runtime
// (XMLPlatformUtils::Initialize / Terminate count their calls).
#pragma once

#include "QORMetaUtil/QORMUDomHandle.h"

// Takes one Xerces use; throws XMLException when Xerces cannot start.
void QORMUAcquireXerces();
void QORMUReleaseXerces();
// Hands a document, created while the caller holds a Xerces use, to a handle
// that owns it and takes its own use of the runtime.
DOM_Document QORMUAdoptDocument(xercesc::DOMDocument* document);
