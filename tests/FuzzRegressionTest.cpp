// Replays the fuzzer's seed corpus and every input it ever found failing
// (fuzz/regressions/) through the same whole-run checks as the fuzzer.
#include <gtest/gtest.h>

#include <filesystem>

#include "QORMDFuzzCase.h"
#include "QORMDTestSupport.h"

namespace {

TEST(FuzzInputs, EveryKeptInputRunsCleanly) {
    PrintedErrors silenced;
    TempDir dir;
    int replayed = 0;
    for (const char* folder : {"fuzz/corpus", "fuzz/regressions"}) {
        for (const auto& entry : std::filesystem::directory_iterator(SourcePath(folder))) {
            if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
            SCOPED_TRACE(entry.path().string());
            const std::string input = ReadFile(entry.path());
            EXPECT_EQ(QORMDRunFuzzCase(dir.path(), reinterpret_cast<const std::uint8_t*>(input.data()), input.size()),
                      "");
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 10);  // the corpus is there

    // The case cuts at the first NUL and compares both parts.
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
