#include "ReportSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {

[[noreturn]] void Exec(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment) {
    for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, bool terminal) {
    TempDir capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    int master = -1;
    const pid_t pid = terminal ? ::forkpty(&master, nullptr, nullptr, nullptr) : ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (!terminal) ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        Exec(program, args, environment);
    }
    ProgramRun run;
    if (terminal) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            run.out.append(buffer, static_cast<std::size_t>(n));
        ::close(master);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!terminal) run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

ProgramRun RunReport(const std::vector<std::string>& args, const std::vector<std::string>& environment, bool terminal) {
    return RunProgram(QORMR_REPORT_PATH, args, environment, terminal);
}

void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed) {
    const ProgramRun run = RunProgram(
        "python3", {SourcePath("bench/generate-metadata.py"), "--size-mb", std::to_string(sizeMb), "--changes",
                    std::to_string(changes), "--seed", std::to_string(seed), dir.file("old.xml"), dir.file("new.xml")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
}

std::string Unshown(const std::string& shown) {
    if (shown.empty() || shown.front() != '"') return shown;
    std::string value;
    for (std::size_t i = 1; i + 1 < shown.size(); ++i) {
        if (shown[i] != '\\') {
            value += shown[i];
            continue;
        }
        const char kind = shown[++i];
        if (kind == 'n')
            value += '\n';
        else if (kind == 'r')
            value += '\r';
        else if (kind == 't')
            value += '\t';
        else if (kind == 'u' || kind == 'x') {
            const std::size_t close = shown.find('}', i);
            const unsigned long code = std::strtoul(shown.substr(i + 2, close - i - 2).c_str(), nullptr, 16);
            if (kind == 'x') {
                value += static_cast<char>(code);
            } else {  // UTF-8 of the code point
                if (code < 0x80)
                    value += static_cast<char>(code);
                else if (code < 0x800)
                    value += {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
                else if (code < 0x10000)
                    value += {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (code & 0x3F))};
                else
                    value += {static_cast<char>(0xF0 | (code >> 18)), static_cast<char>(0x80 | ((code >> 12) & 0x3F)),
                              static_cast<char>(0x80 | ((code >> 6) & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
            }
            i = close;
        } else {
            value += kind;  // \" and \\ .
        }
    }
    return value;
}

std::string CodeSpan(const std::string& text, std::string* rest) {
    const std::size_t open = text.find_first_not_of(' ');
    EXPECT_TRUE(open != std::string::npos && text[open] == '`') << "no code span in: " << text;
    if (open == std::string::npos || text[open] != '`') return {};
    const std::size_t fence = text.find_first_not_of('`', open) - open;
    std::size_t close = open + fence;
    // The closing run has exactly the fence's length.
    for (;;) {
        close = text.find(std::string(fence, '`'), close);
        if (close == std::string::npos) {
            ADD_FAILURE() << "unclosed code span in: " << text;
            return {};
        }
        const std::size_t runEnd = text.find_first_not_of('`', close);
        const std::size_t run = (runEnd == std::string::npos ? text.size() : runEnd) - close;
        if (run == fence) break;
        close += run;
    }
    std::string content = text.substr(open + fence, close - open - fence);
    if (content.size() >= 2 && content.front() == ' ' && content.back() == ' ' &&
        content.find_first_not_of(' ') != std::string::npos)
        content = content.substr(1, content.size() - 2);
    if (rest) *rest = text.substr(close + fence);
    return content;
}
