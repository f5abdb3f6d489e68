// libFuzzer entry of the three-way merge: each input is one whole merge (see
// QORMMergeFuzzCase.h); a broken rule aborts, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMMergeFuzzCase.h"
#include "QORMetaUtil/cQORMUCallback.h"

namespace {
std::string& Folder() {
    static std::string folder;
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/qormm-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    Folder() = pattern;
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
