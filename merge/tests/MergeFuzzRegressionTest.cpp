// SPDX-License-Identifier: Apache-2.0
// Replays the merge fuzzer's seed corpus and every input it once found
// failing (fuzz/merge-regressions/) through the fuzzer's checks.
#include "MergeSupport.h"
#include "QORMMergeFuzzCase.h"

namespace {

TEST(MergeFuzzInputs, EveryKeptInputMergesCleanly) {
    PrintedErrors silenced;
    EXPECT_GE(ReplayFuzzInputs({"fuzz/merge-corpus", "fuzz/merge-regressions"}, QORMMRunFuzzCase), 10);

    // Ours and theirs as edit scripts over the base's lines: theirs' new
    // class goes before line 2 (the package's end), ours renames line 1.
    TempDir dir;
    const std::string input = std::string("<P Name=\"p\" Uuid=\"p\">\n<C Uuid=\"c\" Name=\"one\"/>\n</P>\n") + '\0' +
                              "s1 one|two\n" + '\0' + "+2 <D Uuid=\"d\" Name=\"x\"/>";
    ASSERT_EQ(QORMMRunFuzzCase(dir.path(), reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), "");
    const std::map<std::string, std::string> expected{
        {"Package", "Name=p Uuid=p"}, {"C C", "Name=two Uuid=c"}, {"D D", "Name=x Uuid=d"}};
    EXPECT_EQ(Content(dir.file("merged.xml")), expected);
}

}  // namespace
