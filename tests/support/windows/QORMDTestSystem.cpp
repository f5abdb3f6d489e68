// SPDX-License-Identifier: Apache-2.0
// What the tests ask of Windows: child processes by CreateProcessW on a
// command line quoted as the C runtime splits it, with what the child prints
// captured in files and a job object for a memory limit (there is no fork: a
// body of code runs in a child process on POSIX systems only), and the
// memory processes hold.
#include <windows.h>

#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <stdexcept>

#include "QORMDTestSupport.h"
#include "ZULWindows.h"

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == L'\\') ++i, ++backslashes;
        if (i == argument.size()) {
            out.append(backslashes * 2, L'\\');
            break;
        }
        out.append(argument[i] == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out.push_back(argument[i]);
    }
    return out + L"\"";
}

// This process's environment without QORMD_TRACE and the names extra sets,
// then extra's entries: a block for CreateProcessW.
std::wstring Environment(const std::vector<std::string>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* block = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) entries.emplace_back(entry);
    ::FreeEnvironmentStringsW(block);
    auto nameOf = [](const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); };
    std::vector<std::wstring> dropped{L"QORMD_TRACE"};
    for (const std::string& entry : extra) dropped.push_back(nameOf(ZULWide(entry)));
    std::wstring out;
    for (const std::wstring& entry : entries) {
        bool drop = false;
        for (const std::wstring& name : dropped) drop = drop || _wcsicmp(nameOf(entry).c_str(), name.c_str()) == 0;
        if (!drop) out += entry + L'\0';
    }
    for (const std::string& entry : extra) out += ZULWide(entry) + L'\0';
    return out + L'\0';
}

HANDLE Inheritable(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A job whose processes may commit that many bytes each.
HANDLE MemoryLimit(std::size_t bytes) {
    const HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    limit.ProcessMemoryLimit = bytes;
    if (!job || !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit))
        throw std::runtime_error("cannot make a job object with a memory limit");
    return job;
}

// The largest peak working set of the child processes so far, in bytes.
std::size_t peakChild = 0;

}  // namespace

HostRun RunInChild(const std::function<int()>&, const RunOptions&) {
    throw std::logic_error("a body of code runs in a child process by fork, on POSIX systems only");
}

HostRun RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options) {
    if (options.terminal) throw std::logic_error("no pseudo-terminal on Windows");
    TempDir capture;
    std::wstring commandLine = Quoted(ZULWide(program));
    for (const std::string& arg : args) commandLine += L" " + Quoted(ZULWide(arg));
    const HANDLE in = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = Inheritable(ZULWide(capture.file("out")), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = Inheritable(ZULWide(capture.file("err")), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring environment = Environment(options.environment);
    const std::wstring folder = ZULWide(options.workDir);
    const HANDLE job = options.addressSpace != 0 ? MemoryLimit(options.addressSpace) : nullptr;
    PROCESS_INFORMATION child{};
    const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                          CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, environment.data(),
                                          folder.empty() ? nullptr : folder.c_str(), &startup, &child);
    ::CloseHandle(in);
    ::CloseHandle(out);
    ::CloseHandle(err);
    HostRun run;
    if (!started) {
        if (job) ::CloseHandle(job);
        run.exitStatus = 127;  // as a POSIX shell says of a program it cannot start
        run.err = "cannot start " + program + ": " + ZULWindowsError(::GetLastError());
        return run;
    }
    if (job) ::AssignProcessToJobObject(job, child.hProcess);
    ::ResumeThread(child.hThread);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(child.hProcess, &status);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory))
        peakChild = std::max(peakChild, memory.PeakWorkingSetSize);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    if (job) ::CloseHandle(job);
    run.exitStatus = static_cast<int>(status);
    run.out = ReadFile(capture.file("out"));
    run.err = ReadFile(capture.file("err"));
    return run;
}

long ResidentKiB() {
    PROCESS_MEMORY_COUNTERS memory{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<long>(memory.WorkingSetSize / 1024);
}

std::size_t HeapInUse() {
    std::size_t used = 0;
    _HEAPINFO entry{};
    int status;
    while ((status = ::_heapwalk(&entry)) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) used += entry._size;
    if (status != _HEAPEND) throw std::runtime_error("the C library's heap cannot be walked");
    return used;
}

long PeakChildMiB() { return static_cast<long>(peakChild >> 20); }
