// SPDX-License-Identifier: Apache-2.0
// Replacing a file on Windows: the bytes go to a hidden file beside the
// target, marked for deletion while it is written (a process killed then
// leaves nothing behind), flushed, given the replaced file's security and
// attributes, and moved over the target with MoveFileExW, which is durable
// once it returns (MOVEFILE_WRITE_THROUGH). A read-only target is replaced
// as on POSIX systems, where only the folder's permissions count, and the
// new file is read-only in turn.
#include "QORMUFileReplace.h"

#include <windows.h>

#include <aclapi.h>

#include <random>

#include "ZULBase/ZULFileSystem.h"
#include "ZULWindows.h"

namespace {

// Other programs (virus scanners, indexers, editors) hold a file open for a
// moment: the move is tried again for up to a second.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveWaitMs = 50;

HANDLE Handle(const QORMUReplacement& replacement) { return reinterpret_cast<HANDLE>(replacement.file); }

bool Fail(std::string& error, const std::string& what, DWORD code) {
    if (error.empty()) error = what + ": " + ZULWindowsError(code);
    return false;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string NewTemporaryName(const std::string& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::size_t slash = target.find_last_of("/\\");
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, base) + "." + target.substr(base) + ".tmp" + std::to_string(random() % 1000000000u);
}

// While it is set, the new file goes when its handle closes, however the
// process ends.
bool DeleteOnClose(const QORMUReplacement& replacement, bool deleteIt) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteIt;
    return ::SetFileInformationByHandle(Handle(replacement), FileDispositionInfo, &disposition, sizeof disposition);
}

// Where a symbolic link (or junction) points; the path itself otherwise.
bool Resolve(const std::string& path, std::string& resolved, std::string& error) {
    resolved = path;
    const std::wstring name = ZULWide(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    const HANDLE file = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    wchar_t final[32768];
    const DWORD length =
        file == INVALID_HANDLE_VALUE ? 0 : ::GetFinalPathNameByHandleW(file, final, 32768, FILE_NAME_NORMALIZED);
    const DWORD code = ::GetLastError();
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (length == 0 || length >= 32768) return Fail(error, "the symbolic link cannot be followed", code);
    resolved = ZULNarrow(final);
    return true;
}

// The replaced file's access rules: its own entries, and whether it inherits
// its folder's (so that the new file goes on inheriting them).
bool TakeReplacedSecurity(const QORMUReplacement& replacement, std::string& error) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD code = ::GetNamedSecurityInfoW(ZULWide(replacement.target).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                         nullptr, nullptr, &dacl, nullptr, &descriptor);
    if (code == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(descriptor, &control, &revision);
        const SECURITY_INFORMATION what =
            DACL_SECURITY_INFORMATION |
            (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
        code = ::SetSecurityInfo(Handle(replacement), SE_FILE_OBJECT, what, nullptr, nullptr, dacl, nullptr);
        ::LocalFree(descriptor);
    }
    if (code != ERROR_SUCCESS) return Fail(error, "cannot give the file the security of the one it replaces", code);
    return true;
}

// The replaced file's attributes (read-only, hidden, archive...), or those of
// any new file; the new file is no longer hidden either way.
bool TakeReplacedAttributes(const QORMUReplacement& replacement, std::string& error) {
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (replacement.replaces) {
        const DWORD replaced = ::GetFileAttributesW(ZULWide(replacement.target).c_str());
        if (replaced != INVALID_FILE_ATTRIBUTES)
            attributes = replaced & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    }
    FILE_BASIC_INFO basic{};  // zero times: left as they are
    basic.FileAttributes = attributes;
    if (!::SetFileInformationByHandle(Handle(replacement), FileBasicInfo, &basic, sizeof basic))
        return Fail(error, "cannot give the file the attributes of the one it replaces", ::GetLastError());
    return true;
}

// MoveFileExW over the target, tried again while another program holds it.
// A read-only target has that attribute lifted for the move, and back on
// failure.
bool MoveOver(const QORMUReplacement& replacement, DWORD& code) {
    const std::wstring from = ZULWide(replacement.temporary), to = ZULWide(replacement.target);
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) ::SetFileAttributesW(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        code = ::GetLastError();
        if (code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED && code != ERROR_LOCK_VIOLATION) break;
        ::Sleep(kMoveWaitMs);
    }
    if (readOnly) ::SetFileAttributesW(to.c_str(), attributes);
    return false;
}

}  // namespace

bool QORMUCreateReplacement(const std::string& target, QORMUReplacement& replacement, std::string& error) {
    if (!Resolve(target, replacement.target, error)) return false;
    const ZULFileKind kind = ZULKindOfFile(replacement.target);
    if (kind == ZULFileKind::kDirectory || kind == ZULFileKind::kOther) {
        error = kind == ZULFileKind::kDirectory ? "it is a directory" : "it exists and is not a regular file";
        return false;
    }
    replacement.replaces = kind == ZULFileKind::kRegular;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        replacement.temporary = NewTemporaryName(replacement.target);
        file = ::CreateFileW(ZULWide(replacement.temporary).c_str(), GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC,
                             0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        code = ::GetLastError();
        if (file == INVALID_HANDLE_VALUE && code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        replacement.temporary.clear();
        return Fail(error, "cannot create a file in folder " + FolderOf(replacement.target), code);
    }
    replacement.file = reinterpret_cast<std::intptr_t>(file);
    if (!DeleteOnClose(replacement, true)) return Fail(error, "cannot create a temporary file", ::GetLastError());
    return true;
}

bool QORMUWriteReplacement(QORMUReplacement& replacement, const char* data, std::size_t size, std::string& error) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(Handle(replacement), data, chunk, &written, nullptr))
            return Fail(error, "write failed", ::GetLastError());
        data += written;
        size -= written;
    }
    return true;
}

bool QORMUStageReplacement(QORMUReplacement& replacement, std::string& error) {
    bool ok = !replacement.replaces || TakeReplacedSecurity(replacement, error);
    ok = ok && TakeReplacedAttributes(replacement, error);
    if (ok && !::FlushFileBuffers(Handle(replacement)))
        ok = Fail(error, "cannot sync the file to disk", ::GetLastError());
    // From here on the file stays when its handle closes.
    if (ok && !DeleteOnClose(replacement, false))
        ok = Fail(error, "cannot give the file a name in its folder", ::GetLastError());
    const HANDLE file = Handle(replacement);
    replacement.file = -1;
    if (!::CloseHandle(file)) ok = Fail(error, "cannot close the file", ::GetLastError());
    return ok;
}

bool QORMUPlaceReplacement(QORMUReplacement& replacement, std::string& error) {
    DWORD code = ERROR_SUCCESS;
    if (!MoveOver(replacement, code)) {
        Fail(error, "cannot put the file in place", code);
        // Windows refuses to replace a file that is open anywhere, however
        // it was opened: say so rather than only "Permission denied".
        if (code == ERROR_ACCESS_DENIED) error += " (is it open in another program?)";
        return false;
    }
    replacement.temporary.clear();
    return true;
}

void QORMUDiscardReplacement(QORMUReplacement& replacement) {
    // Closing a handle still marked for deletion removes the file with it.
    if (replacement.file != -1) ::CloseHandle(Handle(replacement));
    if (!replacement.temporary.empty()) ::DeleteFileW(ZULWide(replacement.temporary).c_str());
    replacement.file = -1;
    replacement.temporary.clear();
}
