// Test helpers: temporary folders and files, capture of traces and printed
// errors, and runs of the real command-line host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cQORMUCallback.h"

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

// Records every trace ("text" or "text second") while it lives.
class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    bool contains(const std::string& line) const;
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

// The outcome of one run of the command-line host.
struct HostRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the built QORMetaDiff host with args (no shell involved), in folder
// workDir when given, with extra environment entries "NAME=value", its
// address space limited to addressSpace bytes when not 0. A diff file it
// writes must read with a namespace-aware parser.
HostRun RunHost(const std::vector<std::string>& args, const std::string& workDir = "",
                const std::vector<std::string>& environment = {}, std::size_t addressSpace = 0);

// Runs body in a child process of its own, as a program host of the library
// would: what it prints is captured, its result is the exit status; its
// address space is limited to addressSpace bytes when not 0 (a soft limit
// body may raise again). A signal gives 128 + its number.
HostRun RunInChild(const std::function<int()>& body, std::size_t addressSpace = 0);

// Whether this build runs under AddressSanitizer, which cannot run in a
// limited address space.
bool UnderAddressSanitizer();

// The message id and text of the error a failure status carries ("" when none).
std::string ErrorIdOf(int status);
std::string ErrorTextOf(int status);

// The first error a namespace-aware parse of the XML file finds (as most
// XML libraries read by default); empty when there is none.
std::string NamespaceErrors(const std::string& path);
// A diff file as it was written, after checking that a namespace-aware
// parser reads it (a failure of the calling test otherwise).
std::string ReadDiff(const std::string& path);

// The XML file parsed with the project's parser and rendered one element a
// line: two blanks of indent per depth, the tag, then its attributes as
// name="value" in the DOM's order. Text and comments are left out.
// Fails the calling test when the file does not parse, also namespace-aware.
std::string Outline(const std::string& path);

// Path of a file of the source tree, relative to its top.
std::string SourcePath(const std::string& relative);
