// SPDX-License-Identifier: Apache-2.0
// Replays the change check fuzzer's seed corpus and every input it once
// found failing (fuzz/check-regressions/) through the fuzzer's checks.
#include "QORMCheckFuzzCase.h"
#include "QORMDTestSupport.h"

namespace {

TEST(CheckFuzzInputs, EveryKeptInputChecksCleanly) {
    PrintedErrors silenced;
    const auto runCase = [](const std::string& folder, const std::uint8_t* data, std::size_t size) {
        return QORMCRunFuzzCase(folder, data, size);
    };
    EXPECT_GE(ReplayFuzzInputs({"fuzz/check-corpus", "fuzz/check-regressions"}, runCase), 10);

    // The new version as an edit script over the old one's lines (line 2, an
    // attribute, deleted), and mode 3: an acknowledged change of the first
    // Uuid the versions write, picked by the byte 3: the second Uuid, QM102.
    TempDir dir;
    const std::string old = "<P Name=\"p\">\n<C Uuid=\"c\" Name=\"C\">\n<A Uuid=\"a\" Name=\"A\"/>\n</C>\n</P>\n";
    const std::string input = old + '\0' + "-2" + '\0' + "\x03\x03";
    ASSERT_EQ(QORMCRunFuzzCase(dir.path(), reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), "");
    EXPECT_EQ(ReadFile(dir.file("new.xml")), "<P Name=\"p\">\n<C Uuid=\"c\" Name=\"C\">\n</C>\n</P>\n");
    EXPECT_EQ(ReadFile(dir.file("qormeta.toml")), "[[allow]]\nrule = \"QM102\"\nuuid = \"a\"\nreason = \"fuzzed\"\n");
    EXPECT_THAT(ReadFile(dir.file("diff.xml")), HasSubstr("<A Name=\"A\" ParentUuid=\"C\" Uuid=\"a\"/>"));
}

}  // namespace
