// SPDX-License-Identifier: Apache-2.0
// libFuzzer entry of the three-way merge: each input is one whole merge (see
// QORMMergeFuzzCase.h); a broken rule aborts, so that libFuzzer keeps the input.
#include "QORMDFuzzSetUp.h"
#include "QORMMergeFuzzCase.h"

namespace {
const std::string* folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = &QORMDFuzzSetUp("qormm-fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QORMDFuzzCheck("QORMMergeFuzz", QORMMRunFuzzCase(*folder, data, size));
    return 0;
}
