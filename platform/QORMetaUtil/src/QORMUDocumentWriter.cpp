#include "QORMUDocumentWriter.h"

#include <memory>

#include "QORMULayoutText.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

struct Releaser {
    template <class T>
    void operator()(T* object) const { object->release(); }
};

struct ErrorCollector : DOMErrorHandler {
    bool handleError(const DOMError& error) override {
        if (first.empty()) first = DOMToZULUnicodeString(error.getMessage()).ConvertToChar();
        return error.getSeverity() == DOMError::DOM_SEVERITY_WARNING;
    }
    std::string first;
};

// Drops the layout white space that copied nodes bring from their source
// document between elements, so that the indentation is the writer's alone.
// Text of elements without element children is kept as it is. Iterative, so
// deep documents cannot exhaust the stack.
void DropLayoutWhitespace(DOMNode* root) {
    DOMNode* node = root;
    while (node) {
        QORMUDropLayoutText(node);
        if (node->getFirstChild()) {
            node = node->getFirstChild();
            continue;
        }
        while (node && node != root && !node->getNextSibling()) node = node->getParentNode();
        node = (node && node != root) ? node->getNextSibling() : nullptr;
    }
}

}  // namespace

bool QORMUWriteDocument(DOMDocument* document, XMLFormatTarget& target, std::string& reason) {
    if (!document) return true;  // nothing to write: an empty file
    static const XMLCh kLS[] = {u'L', u'S', 0};
    static const XMLCh kUtf8[] = {u'U', u'T', u'F', u'-', u'8', 0};
    static const XMLCh kNewLine[] = {u'\n', 0};
    try {
        DropLayoutWhitespace(document);
        DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(kLS);
        std::unique_ptr<DOMLSSerializer, Releaser> serializer(implementation->createLSSerializer());
        std::unique_ptr<DOMLSOutput, Releaser> output(implementation->createLSOutput());
        ErrorCollector errors;
        DOMConfiguration* config = serializer->getDomConfig();
        config->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
        config->setParameter(XMLUni::fgDOMXMLDeclaration, true);
        config->setParameter(XMLUni::fgDOMErrorHandler, &errors);
        serializer->setNewLine(kNewLine);
        output->setEncoding(kUtf8);
        output->setByteStream(&target);
        if (!serializer->write(document, output.get())) {
            reason = errors.first.empty() ? "the document could not be serialised" : errors.first;
            return false;
        }
        target.flush();
        return true;
    } catch (const DOMException& e) {
        reason = DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
    } catch (const XMLException& e) {
        reason = DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    }
    return false;
}
