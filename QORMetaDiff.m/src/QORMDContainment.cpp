// SPDX-License-Identifier: Apache-2.0
#include "QORMDContainment.h"

#include <exception>
#include <new>
#include <string>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "ZULBase/ZULError.h"

namespace {

// What the exception being handled was; memory is true when it ran out.
ZULUnicodeString Cause(bool& memory) {
    memory = false;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        memory = true;
    } catch (const xercesc::OutOfMemoryException&) {
        memory = true;
    } catch (const xercesc::XMLException& e) {
        return DOMToZULUnicodeString(e.getMessage());
    } catch (const xercesc::DOMException& e) {
        return DOMToZULUnicodeString(e.getMessage());
    } catch (const std::exception& e) {
        return ZULUnicodeString(e.what());
    } catch (...) {
        return ZULUnicodeString("an exception of an unknown kind");
    }
    return ZULUnicodeString();
}

}  // namespace

std::int32_t QORMDFailureFromException(const char* doing, const ZULUnicodeString& file, const char* module,
                                       int line) noexcept {
    try {
        bool memory = false;
        const ZULUnicodeString cause = Cause(memory);
        ZULUnicodeString what(doing);
        if (!file.IsEmpty()) what.Append(" \"").Append(file).Append("\"");
        Trace(memory ? "! the run ran out of memory while" : "! an exception stopped the run while", what,
              QORMUTrace_W3);
        if (memory) return QORMDRaiseWith("MDResourceError_1", what, module, line);
        return QORMDRaiseWith("MDUnexpectedError_1", what.Append(": ").Append(cause), module, line);
    } catch (...) {  // not even memory for the error: a failure all the same
        return ZULError::kFailureWithoutError;
    }
}
