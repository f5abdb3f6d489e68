// libFuzzer entry of the three-way merge: each input is one whole merge (see
// QORMMergeFuzzCase.h); a broken rule aborts, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDFuzzFiles.h"
#include "QORMMergeFuzzCase.h"
#include "QORMetaUtil/cQORMUCallback.h"

namespace {
std::string& Folder() {
    static std::string folder;
    return folder;
}

// Removes the case folder when the process ends normally (a crash keeps it).
void RemoveFolder() {
    for (const std::string& name : QORMDFuzzEntries(Folder())) ::unlink((Folder() + "/" + name).c_str());
    ::rmdir(Folder().c_str());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Under TMPDIR when set: fork mode starts one process, and folder, per job.
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/qormm-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    Folder() = pattern;
    std::atexit(RemoveFolder);
    cQORMUCallback::SetSink([](const std::string&) {});
    // One Xerces use for the whole process: runs do not restart the library.
    xercesc::XMLPlatformUtils::Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = QORMMRunFuzzCase(Folder(), data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "QORMMergeFuzz: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
