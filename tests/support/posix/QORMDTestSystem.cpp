// SPDX-License-Identifier: Apache-2.0
// What the tests ask of POSIX systems: child processes by fork, with what
// the child prints captured in files (or read from a pseudo-terminal), and
// the memory processes hold.
#include <fcntl.h>
#include <malloc.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "QORMDTestSupport.h"

HostRun RunInChild(const std::function<int()>& body, const RunOptions& options) {
    TempDir capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    std::fflush(nullptr);
    int terminal = -1;
    const pid_t pid = options.terminal ? ::forkpty(&terminal, nullptr, nullptr, nullptr) : ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (!options.terminal) {
            ::dup2(::open("/dev/null", O_RDONLY), 0);
            ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        }
        ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (options.addressSpace != 0) {
            const rlimit limit{static_cast<rlim_t>(options.addressSpace), RLIM_INFINITY};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
        }
        if (!options.workDir.empty() && ::chdir(options.workDir.c_str()) != 0) ::_exit(126);
        ::unsetenv("QORMD_TRACE");
        for (const std::string& entry : options.environment) ::putenv(const_cast<char*>(entry.c_str()));
        const int result = body();
        std::fflush(nullptr);
        ::_exit(result);
    }
    HostRun run;
    if (options.terminal) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) run.out.append(buffer, std::size_t(n));
        ::close(terminal);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!options.terminal) run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

HostRun RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options) {
    return RunInChild(
        [&] {
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execvp(program.c_str(), argv.data());
            return 127;
        },
        options);
}

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of bytes allocated and not freed (GCC ships
// no header that declares it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

long PeakChildMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
}
