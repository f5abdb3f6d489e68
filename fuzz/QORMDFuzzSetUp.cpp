// SPDX-License-Identifier: Apache-2.0
#include "QORMDFuzzSetUp.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDFiles.h"
#include "QORMetaUtil/cQORMUCallback.h"

namespace {
std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    for (const std::string& name : QORMDEntries(Folder())) ::unlink((Folder() + "/" + name).c_str());
    ::rmdir(Folder().c_str());
}
}  // namespace

const std::string& QORMDFuzzSetUp(const std::string& name) {
    // Under TMPDIR when set: fork mode starts one process, and folder, per job.
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/" + name + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    Folder() = pattern;
    std::atexit(RemoveFolder);
    cQORMUCallback::SetSink([](const std::string&) {});
    xercesc::XMLPlatformUtils::Initialize();
    return Folder();
}

void QORMDFuzzCheck(const char* fuzzer, const std::string& problem) {
    if (problem.empty()) return;
    std::fprintf(stderr, "%s: %s\n", fuzzer, problem.c_str());
    std::abort();
}
