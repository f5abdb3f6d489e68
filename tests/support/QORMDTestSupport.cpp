// SPDX-License-Identifier: Apache-2.0
#include "QORMDTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <filesystem>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDMetaDiffApi.h"
#include "ZULBase/ZULError.h"

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qormd-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Make read-only folders made by a test removable again.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored)) ::chmod(it->path().c_str(), 0700);
    }
    ::chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string path = file(name);
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::set<std::string> Listing(const std::string& folder, bool sizes) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string() +
                     (sizes && entry.is_regular_file() ? ":" + std::to_string(entry.file_size()) : ""));
    return names;
}

TraceRecorder::TraceRecorder() {
    previous_ = QORMUSetTraceSink([this](QORMUTraceWeight, const char* text, const char* second) {
        lines_.push_back(second ? std::string(text) + " " + second : std::string(text));
    });
}

TraceRecorder::~TraceRecorder() { QORMUSetTraceSink(std::move(previous_)); }

int TraceRecorder::count(const std::string& line) const {
    return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
}

int TraceRecorder::indexOf(const std::string& line) const {
    const auto it = std::find(lines_.begin(), lines_.end(), line);
    return it == lines_.end() ? -1 : static_cast<int>(it - lines_.begin());
}

PrintedErrors::PrintedErrors() {
    previous_ = cQORMUCallback::SetSink([this](const std::string& line) { lines_.push_back(line); });
}

PrintedErrors::~PrintedErrors() { cQORMUCallback::SetSink(std::move(previous_)); }

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

HostRun RunHost(const std::vector<std::string>& args, const RunOptions& options) {
    // The diff file that args name, seen from the child's folder, when it is
    // a regular file or none yet (not a device or a folder).
    std::string diff;
    const auto option = std::find(args.begin(), args.end(), "-Diff");
    if (option != args.end() && option + 1 != args.end()) {
        const std::string& name = *(option + 1);
        diff = options.workDir.empty() || name.rfind('/', 0) == 0 ? name : options.workDir + "/" + name;
        struct stat info {};
        if (::stat(diff.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) diff.clear();
    }
    const std::string before = diff.empty() ? std::string() : ReadFile(diff);
    HostRun run = RunProgram(QORMD_HOST_PATH, args, options);
    if (!diff.empty() && run.exitStatus == 0 && FileExists(diff) && ReadFile(diff) != before) ParseFile(diff);
    return run;
}

int ProcessFiles(const std::string& oldName, const std::string& newName, const std::string& diff,
                 unsigned char writeEmpty) {
    return cQORMDApi::Process(ZULUnicodeString(oldName.c_str()), ZULUnicodeString(newName.c_str()),
                              ZULUnicodeString(diff.c_str()), writeEmpty);
}

bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

std::string ErrorIdOf(int status) {
    const ZULError* error = ZULError::ZULGetLastError(status, nullptr);
    return error ? error->GetMessageId() : std::string();
}

std::string ErrorTextOf(int status) {
    const ZULError* error = ZULError::ZULGetLastError(status, nullptr);
    return error ? std::string(error->GetText().ConvertToChar()) : std::string();
}

std::string SourcePath(const std::string& relative) { return std::string(QORMD_SOURCE_DIR) + "/" + relative; }

int ReplayFuzzInputs(const std::vector<std::string>& folders, const FuzzCase& runCase) {
    TempDir dir;
    int replayed = 0;
    for (const std::string& folder : folders) {
        for (const auto& entry : std::filesystem::directory_iterator(SourcePath(folder))) {
            if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
            SCOPED_TRACE(entry.path().string());
            const std::string input = ReadFile(entry.path());
            EXPECT_EQ(runCase(dir.path(), reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), "");
            ++replayed;
        }
    }
    return replayed;
}

std::string Utf8(const XMLCh* text) { return DOMToZULUnicodeString(text).ConvertToChar(); }

std::string UpperCase(const std::string& text) {
    ZULUnicodeString upper(text.c_str());
    return upper.ToUpper().ConvertToChar();
}

namespace {

void OutlineNode(const xercesc::DOMElement* element, int depth, std::string& out) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + Utf8(element->getTagName());
    const xercesc::DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i)
        out +=
            " " + Utf8(attributes->item(i)->getNodeName()) + "=\"" + Utf8(attributes->item(i)->getNodeValue()) + "\"";
    out += "\n";
    for (const xercesc::DOMElement* child = element->getFirstElementChild(); child;
         child = child->getNextElementSibling())
        OutlineNode(child, depth + 1, out);
}

}  // namespace

std::string ReadDiff(const std::string& path) {
    ParseFile(path);
    return ReadFile(path);
}

DOM_Document ParseFile(const std::string& path) {
    EXPECT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    const int status = cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document);
    cDDLXMLParser::terminate();
    EXPECT_GE(status, 0) << path << " does not parse";
    return document;
}

std::string Outline(const std::string& path) {
    std::string out;
    const DOM_Document document = ParseFile(path);
    if (document && document->getDocumentElement()) OutlineNode(document->getDocumentElement(), 0, out);
    return out;
}
