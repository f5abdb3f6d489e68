// SPDX-License-Identifier: Apache-2.0
// libFuzzer entry: each input is one whole run (see QORMDFuzzCase.h); a
// broken rule aborts, so that libFuzzer keeps the input.
#include "QORMDFuzzCase.h"
#include "QORMDFuzzSetUp.h"

namespace {
const std::string* folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = &QORMDFuzzSetUp("qormd-fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QORMDFuzzCheck("QORMDFuzzRun", QORMDRunFuzzCase(*folder, data, size));
    return 0;
}
