// SPDX-License-Identifier: Apache-2.0
// Replays the fuzzer's seed corpus and every input it ever found failing
// (fuzz/regressions/) through the same whole-run checks as the fuzzer.
#include <gtest/gtest.h>

#include "QORMDFuzzCase.h"
#include "QORMDTestSupport.h"

namespace {

TEST(FuzzInputs, EveryKeptInputRunsCleanly) {
    PrintedErrors silenced;
    EXPECT_GE(ReplayFuzzInputs({"fuzz/corpus", "fuzz/regressions"}, QORMDRunFuzzCase), 10);  // the corpus is there

    // The case cuts at the first NUL and compares both parts.
    TempDir dir;
    const std::string input = std::string("<P Name=\"p\"><C Uuid=\"c\" Name=\"one\"/></P>") + '\0' +
                              "<P Name=\"p\"><C Uuid=\"c\" Name=\"two\"/></P>";
    ASSERT_EQ(QORMDRunFuzzCase(dir.path(), reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), "");
    EXPECT_EQ(Outline(dir.file("diff.xml")), "Diff New=\"" + dir.file("new.xml") + "\" Old=\"" + dir.file("old.xml") +
                                                 "\" PackageName=\"p\"\n"
                                                 "  Modified\n"
                                                 "    C Uuid=\"C\"\n"
                                                 "      Modified New=\"Name='two'\" Old=\"Name='one'\"\n");
}

}  // namespace
