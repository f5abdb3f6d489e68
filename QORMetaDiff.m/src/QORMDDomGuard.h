// SPDX-License-Identifier: Apache-2.0
// The DOM guard: every single call into the DOM while the diff document is
// built runs in its own guarded region. An exception is traced with the
// guard text, printed as GDInternalError_1 of "GDErrorCatalog", and the
// guard returns -1; otherwise it returns 0. Memory running out is not
// caught here: a diff missing the entries that found no memory would be
// written as if complete, so it fails the run instead.
#pragma once

#include <new>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>

int QORMDDomGuardReport(const char* guardText, const XMLCh* domMessage, bool isDomException);

template <class Call>
int QORMDDomGuard(const char* guardText, Call&& call) {
    try {
        call();
        return 0;
    } catch (const xercesc::DOMException& e) {
        return QORMDDomGuardReport(guardText, e.getMessage(), true);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const xercesc::OutOfMemoryException&) {
        throw;
    } catch (...) {
        return QORMDDomGuardReport(guardText, nullptr, false);
    }
}
