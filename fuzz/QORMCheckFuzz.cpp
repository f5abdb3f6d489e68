// SPDX-License-Identifier: Apache-2.0
// libFuzzer entry of the change check: each input is two versions of one
// document, a configuration and the options (see QORMCheckFuzzCase.h); a
// broken rule aborts, so that libFuzzer keeps the input.
// Mutations go mostly to the edit script and the mode: mutated at random,
// the old version would mostly stop being XML. And an input whose versions
// do not load is kept in the corpus only when its mode's bit 5 is set
// (which the case does not read): the parser's many ways to refuse bytes
// would otherwise fill the corpus, and the rules would seldom run.
#include <git2.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "QORMCheckFuzzCase.h"
#include "QORMDFuzzSetUp.h"
#include "QORMMergeFuzzScript.h"

namespace {
const std::string* folder = nullptr;
}

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = &QORMDFuzzSetUp("qormc-fuzz");
    // One libgit2 use for the whole process (each run opens the repository
    // of the current folder, if any): its set-up reads every CA certificate.
    git_libgit2_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool compared = false;
    QORMDFuzzCheck("QORMCheckFuzz", QORMCRunFuzzCase(*folder, data, size, &compared));
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    QORMMFuzzPart(rest);
    QORMMFuzzPart(rest);
    const bool keepRefused = !rest.empty() && (static_cast<unsigned char>(rest[0]) & 0x20);
    return compared || keepRefused ? 0 : -1;  // -1: not into the corpus
}

// Mutates one part of old \0 new \0 mode: the old version one time in eight,
// the new one (mostly an edit script) five, the mode two.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (std::string& part : parts) part = std::string(QORMMFuzzPart(rest));
    parts[2] += rest.empty() ? "" : "\0" + std::string(rest);  // a mode that holds NUL bytes stays whole
    const unsigned pick = std::minstd_rand(seed)() % 8;
    std::string& part = parts[pick == 0 ? 0 : pick <= 5 ? 1 : 2];
    const std::size_t others = parts[0].size() + parts[1].size() + parts[2].size() + 2 - part.size();
    if (others >= maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    if (part.empty()) part = "-";  // something to mutate
    const std::size_t room = maxSize - others, before = std::min(part.size(), room);
    part.resize(room);
    part.resize(LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(part.data()), before, room));
    const std::string mutated = parts[0] + '\0' + parts[1] + '\0' + parts[2];
    mutated.copy(reinterpret_cast<char*>(data), mutated.size());
    return mutated.size();
}
