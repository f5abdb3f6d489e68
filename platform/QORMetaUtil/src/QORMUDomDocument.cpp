// SPDX-License-Identifier: Apache-2.0
#include "QORMUDomDocument.h"

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

namespace {

// What a document handle owns, released in this order: the document, its
// arena, the Xerces use taken for it.
struct OwnedDocument {
    ~OwnedDocument() {
        if (document) document->release();
        arena.reset();
        QORMUReleaseXerces();
    }
    std::unique_ptr<QORMUArena> arena;
    DOMDocument* document = nullptr;
};

}  // namespace

void QORMUAcquireXerces() { XMLPlatformUtils::Initialize(); }

void QORMUReleaseXerces() { XMLPlatformUtils::Terminate(); }

DOM_Document QORMUAdoptDocument(DOMDocument* document, std::unique_ptr<QORMUArena> arena) {
    QORMUAcquireXerces();  // the caller holds a use, so this only counts one more
    std::shared_ptr<OwnedDocument> owner;
    try {
        owner = std::make_shared<OwnedDocument>();
    } catch (...) {
        document->release();
        QORMUReleaseXerces();
        throw;
    }
    owner->arena = std::move(arena);
    owner->document = document;
    return DOM_Document::adopt(std::shared_ptr<DOMDocument>(owner, document));
}

DOM_Document cDDLXMLParser::createDocument() {
    QORMUAcquireXerces();
    try {
        static const XMLCh kCore[] = {u'C', u'o', u'r', u'e', 0};
        auto arena = std::make_unique<QORMUArena>();
        DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(kCore);
        DOMDocument* created = implementation->createDocument(arena.get());
        DOM_Document document = QORMUAdoptDocument(created, std::move(arena));
        QORMUReleaseXerces();
        return document;
    } catch (...) {
        QORMUReleaseXerces();
        throw;
    }
}
