// libFuzzer entry: each input is one whole run (see QORMDFuzzCase.h); a
// broken rule aborts, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDFuzzCase.h"
#include "QORMetaUtil/cQORMUCallback.h"

namespace {
std::string& Folder() {
    static std::string folder;
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/qormd-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    Folder() = pattern;
    // Printed errors would flood the output: every other input is refused.
    cQORMUCallback::SetSink([](const std::string&) {});
    // One Xerces use for the whole process, so that runs do not restart the
    // library each time (which is most of a small run's cost).
    xercesc::XMLPlatformUtils::Initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = QORMDRunFuzzCase(Folder(), data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "QORMDFuzzRun: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
