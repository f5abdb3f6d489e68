#include "QORMUDomDocument.h"

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

void QORMUAcquireXerces() { XMLPlatformUtils::Initialize(); }

void QORMUReleaseXerces() { XMLPlatformUtils::Terminate(); }

DOM_Document QORMUAdoptDocument(DOMDocument* document) {
    QORMUAcquireXerces();
    // Should the control block fail to allocate, shared_ptr runs the deleter itself.
    std::shared_ptr<DOMDocument> owner(document, [](DOMDocument* d) {
        d->release();
        QORMUReleaseXerces();
    });
    return DOM_Document::adopt(std::move(owner));
}

DOM_Document cDDLXMLParser::createDocument() {
    QORMUAcquireXerces();
    try {
        static const XMLCh kCore[] = {u'C', u'o', u'r', u'e', 0};
        DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(kCore);
        DOM_Document document = QORMUAdoptDocument(implementation->createDocument());
        QORMUReleaseXerces();
        return document;
    } catch (...) {
        QORMUReleaseXerces();
        throw;
    }
}
