// SPDX-License-Identifier: Apache-2.0
// Pages on Windows: VirtualAlloc, with large pages where the process may
// lock memory (the "Lock pages in memory" right, which administrators grant
// to accounts); plain pages otherwise, or when no large pages are free.
#include "QORMUPages.h"

#include <windows.h>

namespace {

// The large page size once the privilege is enabled; 0 when not granted.
std::size_t LargePages() {
    static const std::size_t size = []() -> std::size_t {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        const bool granted =
            ::LookupPrivilegeValueW(nullptr, L"SeLockMemoryPrivilege", &privileges.Privileges[0].Luid) &&
            ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
            ::GetLastError() == ERROR_SUCCESS;  // not ERROR_NOT_ALL_ASSIGNED
        ::CloseHandle(token);
        return granted ? static_cast<std::size_t>(::GetLargePageMinimum()) : 0;
    }();
    return size;
}

}  // namespace

void* QORMUMapPages(std::size_t size) {
    const std::size_t large = size >= QORMULargePageSize ? LargePages() : 0;
    if (large != 0 && size % large == 0) {
        if (void* p = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE))
            return p;
    }
    return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void QORMUUnmapPages(void* pages, std::size_t) { ::VirtualFree(pages, 0, MEM_RELEASE); }
