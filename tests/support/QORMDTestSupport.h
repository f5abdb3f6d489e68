// SPDX-License-Identifier: Apache-2.0
// Test helpers shared by the suites of the diff, the merge and the report:
// temporary folders and files, capture of traces and printed errors, runs of
// the real programs, and documents read back with the project's parser.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "QORMDFiles.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path()/name
    std::string file(const std::string& name) const;
    // Writes content to path()/name and returns that path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// The names of a folder's entries, with ":size" after those of regular files when sizes.
std::set<std::string> Listing(const std::string& folder, bool sizes = false);

// Records every trace ("text" or "text second") while it lives.
class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    bool contains(const std::string& line) const { return indexOf(line) >= 0; }
    int count(const std::string& line) const;
    // Position of the first trace equal to line, or -1.
    int indexOf(const std::string& line) const;

private:
    std::vector<std::string> lines_;
    QORMUTraceSink previous_;
};

// Records every error printed through cQORMUCallback::PrintError while it lives.
class PrintedErrors {
public:
    PrintedErrors();
    ~PrintedErrors();
    PrintedErrors(const PrintedErrors&) = delete;
    PrintedErrors& operator=(const PrintedErrors&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    cQORMUCallback::Sink previous_;
};

// The outcome of a child process: exit status (128 + the signal that ended
// it), standard output and standard error.
struct HostRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

struct RunOptions {
    std::string workDir = "";                   // the child's folder; "" keeps ours
    std::vector<std::string> environment = {};  // extra "NAME=value" entries
    std::size_t addressSpace = 0;               // its limit in bytes (a soft one), 0 for none
    bool terminal = false;                      // standard output a pseudo-terminal, \r\n line ends
};

// Runs body in a child process of its own, as a program host of the library
// would: what it prints is captured, its result is the exit status. Standard
// input is /dev/null unless terminal.
HostRun RunInChild(const std::function<int()>& body, const RunOptions& options = {});
// Runs program (a path, or a name looked up on the PATH) with args, without
// a shell and without QORMD_TRACE unless options set it.
HostRun RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options = {});
// Runs the built diff host QORMetaDiff. A diff file it writes must parse.
HostRun RunHost(const std::vector<std::string>& args, const RunOptions& options = {});

// The memory this process holds in physical pages, in KiB.
long ResidentKiB();
// The bytes the C library's allocator has handed out and not got back.
std::size_t HeapInUse();
// The most physical memory any child process of this one held, in MiB.
long PeakChildMiB();

// cQORMDApi::Process on files named old (or ""), new (or "") and diff.
int ProcessFiles(const std::string& oldName, const std::string& newName, const std::string& diff,
                 unsigned char writeEmpty = 0);

// Whether this build runs under AddressSanitizer, which cannot run in a
// limited address space.
bool UnderAddressSanitizer();

// The message id and text of the error a failure status carries ("" when none).
std::string ErrorIdOf(int status);
std::string ErrorTextOf(int status);
// A diff file as it was written, after checking that it parses (a failure
// of the calling test otherwise). A diff is read without namespace
// processing: its copies may use prefixes declared in their source only.
std::string ReadDiff(const std::string& path);
// The file parsed by the project's parser, which is terminated again (its
// documents outlive it); a failure of the calling test when it does not parse.
DOM_Document ParseFile(const std::string& path);
std::string Utf8(const XMLCh* text);
// Upper-cased as the library keys Uuids.
std::string UpperCase(const std::string& text);

// The XML file parsed with the project's parser and rendered one element a
// line: two blanks of indent per depth, the tag, then its attributes as
// name="value" in the DOM's order. Text and comments are left out.
// Fails the calling test when the file does not parse.
std::string Outline(const std::string& path);

// Path of a file of the source tree, relative to its top.
std::string SourcePath(const std::string& relative);

// A fuzz case: runs one input in folder, returns "" when its checks hold.
using FuzzCase = std::function<std::string(const std::string& folder, const std::uint8_t* data, std::size_t size)>;
// Runs every file of these source folders (READMEs aside) through runCase in
// a temporary folder; each that does not hold fails the calling test.
// Returns how many files ran.
int ReplayFuzzInputs(const std::vector<std::string>& folders, const FuzzCase& runCase);
