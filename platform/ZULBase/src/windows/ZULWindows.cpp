// SPDX-License-Identifier: Apache-2.0
#include "ZULWindows.h"

#include <windows.h>

#include "ZULBase/ZULUnicodeString.h"

std::wstring ZULWide(const std::string& utf8) {
    const ZULUnicodeString text(utf8.c_str(), utf8.size());
    return std::wstring(text.str().begin(), text.str().end());
}

std::string ZULNarrow(const wchar_t* wide) {
    return ZULUnicodeString(reinterpret_cast<const char16_t*>(wide)).ConvertToChar();
}

std::string ZULWindowsError(unsigned long code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH: return "No such file or directory";
        case ERROR_ACCESS_DENIED: return "Permission denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "the file is in use by another program";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "No space left on device";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return "File exists";
        case ERROR_WRITE_PROTECT: return "Read-only file system";
        case ERROR_FILENAME_EXCED_RANGE: return "File name too long";
        case ERROR_DIRECTORY: return "Not a directory";
        case ERROR_INVALID_NAME: return "Windows does not allow this file name";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return "Cannot allocate memory";
        default: break;
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? ZULNarrow(text) : "Windows error " + std::to_string(code);
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}
