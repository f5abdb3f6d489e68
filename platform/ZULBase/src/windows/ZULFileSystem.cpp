// SPDX-License-Identifier: Apache-2.0
// The file system on Windows: UTF-8 names become UTF-16 at every call.
#include "ZULBase/ZULFileSystem.h"

#include <windows.h>

#include <random>

#include "ZULWindows.h"

namespace {

// What a handle opened on path (links followed) tells of it; false when it
// cannot be opened.
bool Describe(const std::string& path, BY_HANDLE_FILE_INFORMATION& info, DWORD& type) {
    const HANDLE file = ::CreateFileW(ZULWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    type = ::GetFileType(file);
    const bool known = type != FILE_TYPE_DISK || ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return known;
}

}  // namespace

ZULFileKind ZULKindOfFile(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD type = FILE_TYPE_UNKNOWN;
    if (!Describe(path, info, type)) return ZULFileKind::kNone;
    if (type != FILE_TYPE_DISK) return ZULFileKind::kOther;
    return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? ZULFileKind::kDirectory : ZULFileKind::kRegular;
}

bool ZULIsEmptyFile(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD type = FILE_TYPE_UNKNOWN;
    return Describe(path, info, type) && type == FILE_TYPE_DISK &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
}

bool ZULWritableDirectory(const std::string& path) {
    if (ZULKindOfFile(path) != ZULFileKind::kDirectory) return false;
    // Windows' access rules (inherited entries, groups, privileges) are best
    // asked by doing: a file that goes again when closed.
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string probe = path + "/.qormd-probe-" + std::to_string(random() % 1000000000u);
    const HANDLE file = ::CreateFileW(ZULWide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

std::FILE* ZULOpenFile(const std::string& path, const char* mode) {
    return ::_wfopen(ZULWide(path).c_str(), ZULWide(mode).c_str());
}

ZULInputFile::ZULInputFile(const std::string& path) {
    const std::wstring name = ZULWide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error_ = "it is a directory, not a file";
        return;
    }
    // Others may go on reading, writing, renaming or deleting the file.
    const HANDLE file =
        ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = ZULWindowsError(::GetLastError());
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER size{};
    regular_ = ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size);
    size_ = regular_ ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

ZULInputFile::~ZULInputFile() {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::int64_t ZULInputFile::Read(void* buffer, std::size_t size) {
    if (handle_ == -1) return -1;
    DWORD got = 0;
    const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, wanted, &got, nullptr)) return got;
    return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;  // a pipe's writer went: its end
}
