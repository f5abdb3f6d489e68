// The program's contract: exit 0 with a report (one line when nothing
// differs), 2 for wrong arguments, 1 for a failed run, and then nothing
// written; colour only for a terminal that did not ask for none.
#include <gtest/gtest.h>

#include <algorithm>

#include "ReportSupport.h"

namespace {

const std::string kOld = SourcePath("examples/old.xml");
const std::string kNew = SourcePath("examples/new.xml");

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ReportRun, NothingDiffersSaysSoInOneLine) {
    TempDir dir;
    for (const char* format : {"text", "markdown"}) {
        const HostRun run = RunReport({"-Old", kNew, "-New", kNew, "-Format", format});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(LineCount(run.out), 1u) << run.out;
        EXPECT_EQ(run.out.rfind("No differences between ", 0), 0u) << run.out;
    }
    const HostRun html = RunReport({"-Old", kNew, "-New", kNew, "-Format", "html", "-Out", dir.file("r.html")});
    EXPECT_EQ(html.exitStatus, 0) << html.err;
    EXPECT_NE(ReadFile(dir.file("r.html")).find("<p class=\"none\">No differences between <code>"), std::string::npos);
}

TEST(ReportRun, OneSidedRunsAddOrDeleteEverything) {
    const HostRun added = RunReport({"-New", kNew});
    ASSERT_EQ(added.exitStatus, 0) << added.err;
    EXPECT_NE(added.out.find("  old: none (everything is added)\n"), std::string::npos);
    EXPECT_NE(added.out.find("\nPackage Sales (pkg-0001): added\n  + Name: Sales\n"), std::string::npos) << added.out;
    EXPECT_NE(added.out.find("\n  classes         5        0        0\n"), std::string::npos) << added.out;
    const HostRun deleted = RunReport({"-Deleted", kOld});
    ASSERT_EQ(deleted.exitStatus, 0) << deleted.err;
    EXPECT_NE(deleted.out.find("  new: none (everything is deleted)\n"), std::string::npos);
    EXPECT_NE(deleted.out.find("\nClass Invoice (c-invoice): deleted\n"), std::string::npos) << deleted.out;
}

TEST(ReportRun, WrongArgumentsExitTwoAndWriteNothing) {
    TempDir dir;
    const std::string out = dir.file("report.txt");
    const std::string kept = dir.write("kept.xml", ReadFile(kNew));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"-Old", kOld, "-Out", out},
        {"-New"},
        {"-New", kNew, "-Format", "pdf", "-Out", out},
        {"-New", kNew, "-New", kOld, "-Out", out},
        {"-New", kNew, "-Diff", out},
        {"-Deleted", kOld, "-New", kNew, "-Out", out},
        {"-New", kept, "-Old", kOld, "-Out", kept},
    };
    for (const auto& args : wrong) {
        const HostRun run = RunReport(args);
        EXPECT_EQ(run.exitStatus, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage: QORMetaReport -New new.xml"), std::string::npos) << run.err;
        EXPECT_FALSE(FileExists(out));
    }
    EXPECT_EQ(ReadFile(kept), ReadFile(kNew));
    EXPECT_EQ(RunReport({"-h"}).exitStatus, 0);
}

TEST(ReportRun, FailedRunsExitOneAndWriteNothing) {
    TempDir dir;
    std::string nested = "<Package Name=\"P\">";
    for (int i = 0; i < 1100; ++i) nested += "<C Name=\"n\" Uuid=\"u\">";
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"doctype.xml", "<?xml version=\"1.0\"?><!DOCTYPE P [<!ENTITY e \"x\">]><P Name=\"&e;\"/>"},
        {"external.xml", "<?xml version=\"1.0\"?><!DOCTYPE P SYSTEM \"file:///etc/passwd\"><P/>"},
        {"broken.xml", "<Package Name=\"P\"><Class Name=\"C\" Uuid=\"c\"></Package>"},
        {"no-uuid.xml", "<Package Name=\"P\"><Class Name=\"C\"/></Package>"},
        {"nested.xml", nested},
        {"binary.xml", std::string("\0\xff\xfe<\x01", 5)},
    };
    const std::string existing = dir.write("existing.txt", "an earlier report\n");
    for (const auto& [name, content] : hostile) {
        const std::string path = dir.write(name, content);
        for (const std::string& out : {dir.file("report.html"), existing}) {
            const HostRun run = RunReport({"-Old", kOld, "-New", path, "-Format", "html", "-Out", out});
            EXPECT_EQ(run.exitStatus, 1) << name << ": " << run.err;
            EXPECT_EQ(LineCount(run.err), 1u) << name << ": " << run.err;
            EXPECT_EQ(run.err.rfind("Error MD", 0), 0u) << name << ": " << run.err;
        }
        EXPECT_FALSE(FileExists(dir.file("report.html"))) << name;
        EXPECT_EQ(ReadFile(existing), "an earlier report\n") << name;
    }
    const HostRun missing = RunReport({"-New", dir.file("missing.xml")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "");
    const HostRun unwritable = RunReport({"-New", kNew, "-Out", dir.file("no-folder/report.txt")});
    EXPECT_EQ(unwritable.exitStatus, 1);
    EXPECT_NE(unwritable.err.find("no-folder/report.txt"), std::string::npos) << unwritable.err;
}

TEST(ReportRun, ColourOnlyAtATerminalWithoutNoColor) {
    const std::vector<std::string> args{"-Old", kOld, "-New", kNew};
    EXPECT_NE(RunReport(args, {"", {}, 0, true}).out.find("    \x1b[32m+ Unique: true\x1b[0m"), std::string::npos);
    EXPECT_EQ(RunReport(args, {"", {"NO_COLOR=1"}, 0, true}).out.find('\x1b'), std::string::npos);
    EXPECT_EQ(RunReport(args).out.find('\x1b'), std::string::npos);
    EXPECT_EQ(RunReport({"-Old", kOld, "-New", kNew, "-Format", "markdown"}, {"", {}, 0, true}).out.find('\x1b'),
              std::string::npos);
}

}  // namespace
