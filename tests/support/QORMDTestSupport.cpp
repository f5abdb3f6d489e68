// SPDX-License-Identifier: Apache-2.0
#include "QORMDTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDMetaDiffApi.h"
#include "ZULBase/ZULError.h"
#include "ZULBase/ZULFileSystem.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::mt19937_64 random{std::random_device{}()};
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate = base / ("qormd-test-" + std::to_string(random() % 1000000000u));
        if (fs::create_directory(candidate)) path_ = candidate.generic_u8string();
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary folder in " + base.generic_u8string());
    fs::permissions(fs::u8path(path_), fs::perms::owner_all);
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Make read-only folders made by a test removable again.
    for (auto it = fs::recursive_directory_iterator(fs::u8path(path_), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(fs::u8path(path_), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(fs::u8path(path_), ignored);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string path = file(name);
    std::ofstream out(fs::u8path(path), std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(fs::u8path(path), ignored));
}

std::set<std::string> Listing(const std::string& folder, bool sizes) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
        names.insert(entry.path().filename().u8string() +
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

HostRun RunHost(const std::vector<std::string>& args, const RunOptions& options) {
    // The diff file that args name, seen from the child's folder, when it is
    // a regular file or none yet (not a device or a folder).
    std::string diff;
    const auto option = std::find(args.begin(), args.end(), "-Diff");
    if (option != args.end() && option + 1 != args.end()) {
        const std::string& name = *(option + 1);
        diff = options.workDir.empty() || name.rfind('/', 0) == 0 ? name : options.workDir + "/" + name;
        const ZULFileKind kind = ZULKindOfFile(diff);
        if (kind != ZULFileKind::kNone && kind != ZULFileKind::kRegular) diff.clear();
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
        for (const auto& entry : fs::directory_iterator(fs::u8path(SourcePath(folder)))) {
            if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
            SCOPED_TRACE(entry.path().u8string());
            const std::string input = ReadFile(entry.path().u8string());
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
