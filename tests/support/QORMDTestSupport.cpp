#include "QORMDTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
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

TraceRecorder::TraceRecorder() {
    previous_ = QORMUSetTraceSink([this](QORMUTraceWeight, const char* text, const char* second) {
        lines_.push_back(second ? std::string(text) + " " + second : std::string(text));
    });
}

TraceRecorder::~TraceRecorder() { QORMUSetTraceSink(std::move(previous_)); }

bool TraceRecorder::contains(const std::string& line) const { return indexOf(line) >= 0; }

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

HostRun RunInChild(const std::function<int()>& body, std::size_t addressSpace) {
    TempDir capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (addressSpace != 0) {
            const rlimit limit{static_cast<rlim_t>(addressSpace), RLIM_INFINITY};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(125);
        }
        const int result = body();
        std::fflush(nullptr);
        ::_exit(result);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    HostRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

namespace {

HostRun ExecHost(const std::vector<std::string>& args, const std::string& workDir,
                 const std::vector<std::string>& environment, std::size_t addressSpace) {
    return RunInChild(
        [&] {
            if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) return 126;
            ::unsetenv("QORMD_TRACE");
            for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(QORMD_HOST_PATH));
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(QORMD_HOST_PATH, argv.data());
            return 127;
        },
        addressSpace);
}

// The diff file that args name, seen from workDir; empty when none, or
// when it is no regular file (a device, a folder) before the run.
std::string DiffPathOf(const std::vector<std::string>& args, const std::string& workDir) {
    const auto option = std::find(args.begin(), args.end(), "-Diff");
    if (option == args.end() || option + 1 == args.end()) return std::string();
    const std::string& name = *(option + 1);
    const std::string path = workDir.empty() || name.rfind('/', 0) == 0 ? name : workDir + "/" + name;
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) ? path : std::string();
}

}  // namespace

HostRun RunHost(const std::vector<std::string>& args, const std::string& workDir,
                const std::vector<std::string>& environment, std::size_t addressSpace) {
    const std::string diff = DiffPathOf(args, workDir);
    const std::string before = diff.empty() ? std::string() : ReadFile(diff);
    HostRun run = ExecHost(args, workDir, environment, addressSpace);
    if (!diff.empty() && run.exitStatus == 0 && FileExists(diff) && ReadFile(diff) != before) {
        EXPECT_EQ(NamespaceErrors(diff), "") << diff;
    }
    return run;
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

namespace {

void OutlineNode(const xercesc::DOMElement* element, int depth, std::string& out) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ');
    out += DOMToZULUnicodeString(element->getTagName()).ConvertToChar();
    const xercesc::DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        const xercesc::DOMNode* attribute = attributes->item(i);
        out += std::string(" ") + DOMToZULUnicodeString(attribute->getNodeName()).ConvertToChar() + "=\"" +
               DOMToZULUnicodeString(attribute->getNodeValue()).ConvertToChar() + "\"";
    }
    out += "\n";
    for (const xercesc::DOMElement* child = element->getFirstElementChild(); child;
         child = child->getNextElementSibling())
        OutlineNode(child, depth + 1, out);
}

}  // namespace

namespace {

struct FirstError : xercesc::ErrorHandler {
    void warning(const xercesc::SAXParseException&) override {}
    void error(const xercesc::SAXParseException& e) override { Record(e); }
    void fatalError(const xercesc::SAXParseException& e) override { Record(e); }
    void resetErrors() override {}
    void Record(const xercesc::SAXParseException& e) {
        if (first.empty())
            first = "line " + std::to_string(e.getLineNumber()) + ": " + DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
    }
    std::string first;
};

}  // namespace

std::string NamespaceErrors(const std::string& path) {
    xercesc::XMLPlatformUtils::Initialize();
    FirstError errors;
    {
        xercesc::XercesDOMParser parser;
        parser.setDoNamespaces(true);
        parser.setLoadExternalDTD(false);
        parser.setErrorHandler(&errors);
        xercesc::LocalFileInputSource source(ZULToDOMString(ZULUnicodeString(path.c_str())));
        parser.parse(source);
    }
    xercesc::XMLPlatformUtils::Terminate();
    return errors.first;
}

std::string ReadDiff(const std::string& path) {
    EXPECT_EQ(NamespaceErrors(path), "") << path;
    return ReadFile(path);
}

std::string Outline(const std::string& path) {
    EXPECT_EQ(NamespaceErrors(path), "") << path;
    std::string out;
    EXPECT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    const int status = cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document);
    EXPECT_GE(status, 0) << path << " does not parse";
    if (status >= 0 && document && document->getDocumentElement()) OutlineNode(document->getDocumentElement(), 0, out);
    cDDLXMLParser::terminate();
    return out;
}
