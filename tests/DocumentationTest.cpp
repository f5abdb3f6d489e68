// SPDX-License-Identifier: Apache-2.0
// The examples the documentation shows are what the programs give: the code
// block that follows a given line of a page is compared, byte for byte, with
// the real output of the command it shows, run on examples/. Another example
// is one more line of the table.
#include <functional>

#include "QORMDTestSupport.h"

namespace {

// The text of the first fenced code block after the line that holds after; empty when none.
std::string BlockAfter(const std::string& page, const std::string& after) {
    const std::size_t line = page.find(after);
    if (line == std::string::npos) return "";
    const std::size_t fence = page.find("\n```", line);
    const std::size_t start = fence == std::string::npos ? fence : page.find('\n', fence + 1);
    const std::size_t end = start == std::string::npos ? start : page.find("\n```", start);
    return end == std::string::npos ? "" : page.substr(start + 1, end - start);
}

TEST(Documentation, ExamplesShowWhatTheProgramsGive) {
    TempDir dir;
    const std::string examples = SourcePath("examples");
    const struct {
        const char* page;
        const char* after;  // the line before the example's code block
        std::function<std::string()> output;
    } cases[] = {
        {"README.md", "gives `diff.xml`:",
         [&] {
             const HostRun run = RunHost({"-New", "new.xml", "-Old", "old.xml", "-Diff", dir.file("diff.xml")}, {examples});
             EXPECT_EQ(run.exitStatus, 0) << run.err;
             return ReadFile(dir.file("diff.xml"));
         }},
        {"README.md", "For the example pair (`cd examples && QORMetaReport -Old old.xml -New new.xml`):",
         [&] {
             const HostRun run = RunProgram(QORMD_REPORT_PATH, {"-Old", "old.xml", "-New", "new.xml"}, {examples});
             EXPECT_EQ(run.exitStatus, 0) << run.err;
             return run.out;
         }},
    };
    for (const auto& example : cases) {
        SCOPED_TRACE(std::string(example.page) + ": " + example.after);
        const std::string shown = BlockAfter(ReadFile(SourcePath(example.page)), example.after);
        ASSERT_NE(shown, "") << "no code block after that line";
        EXPECT_EQ(shown, example.output());
    }
}

}  // namespace
