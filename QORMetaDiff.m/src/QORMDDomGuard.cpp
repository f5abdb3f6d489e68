// SPDX-License-Identifier: Apache-2.0
#include "QORMDDomGuard.h"

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULResourceError.h"

int QORMDDomGuardReport(const char* guardText, const XMLCh* domMessage, bool isDomException) {
    Trace(guardText, QORMUTrace_W3);
    ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError("GDInternalError_1", "GDErrorCatalog");
    ZULUnicodeString parameter(guardText);
    if (isDomException) {
        parameter.Append("\t!DOMException\n").Append("\tMessage : ").Append(DOMToZULUnicodeString(domMessage));
    } else {
        parameter.Append("\t!Unidentified Exception in DOM\n");
    }
    error->SetNLSParameters(1, &parameter);
    ZULError* printed = error;
    cQORMUCallback::PrintError(printed);
    return -1;
}
