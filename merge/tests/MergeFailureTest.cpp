// Runs that must not merge: wrong arguments (exit 2) and inputs that do not
// load or outputs that cannot be written (exit 3), which leave every file as
// it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "MergeSupport.h"

namespace {

const char kModel[] = "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\" Uuid=\"c\" Table=\"T\"/>\n</Package>\n";

// The files of dir, sorted.
std::vector<std::string> Listing(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// What the diff host says of a document it refuses: its error line, whose
// reason (after the stage in parentheses, when there is one) the merge must repeat.
std::string DiffHostReason(const std::string& document, const std::string& other, const std::string& workDir) {
    const ProgramRun run = RunProgram({QORMD_HOST_PATH, "-New", document, "-Old", other, "-Diff", "d.xml"}, workDir);
    EXPECT_EQ(run.exitStatus, 1);
    const std::string line = run.err.substr(0, run.err.find('\n'));
    const std::size_t stage = line.find("): ");
    return stage == std::string::npos ? line : line.substr(stage + 3);
}

TEST(MergeFailures, HostileInputOnEachNameWritesNothing) {
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"doctype.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P [<!ENTITY e \"x\">]>\n<P Name=\"p\" Uuid=\"p\">&e;</P>\n"},
        {"broken.xml", "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\" Uuid=\"c\">\n"},
        {"no-uuid.xml", "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\"/>\n</Package>\n"},
        {"missing.xml", ""},
    };
    for (const auto& [name, text] : hostile) {
        for (int position = 0; position < 3; ++position) {
            TempDir dir;
            dir.write("good.xml", kModel);
            dir.write("out.xml", "earlier merge");
            dir.write("conflicts.xml", "earlier conflicts");
            if (name != "missing.xml") dir.write(name, text);
            const std::vector<std::string> before = Listing(dir);
            std::vector<std::string> names = {"good.xml", "good.xml", "good.xml"};
            names[position] = name;
            const ProgramRun run = RunProgram({QORMM_MERGE_PATH, "-Base", names[0], "-Ours", names[1], "-Theirs",
                                               names[2], "-Out", "out.xml", "-Conflicts", "conflicts.xml"},
                                              dir.path());
            EXPECT_EQ(run.exitStatus, 3) << name << " at " << position;
            const std::string reason = DiffHostReason(name, "good.xml", dir.path());
            EXPECT_NE(run.err.find(reason), std::string::npos) << run.err << " lacks " << reason;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            ::unlink(dir.file("d.xml").c_str());
            EXPECT_EQ(Listing(dir), before) << name;
            EXPECT_EQ(ReadFile(dir.file("out.xml")), "earlier merge");
            EXPECT_EQ(ReadFile(dir.file("conflicts.xml")), "earlier conflicts");
        }
    }
}

TEST(MergeFailures, FailedWriteLeavesTheOutputsIntact) {
    TempDir dir;
    const std::string base = dir.write("base.xml", kModel);
    const std::string ours = dir.write("ours.xml", std::string(kModel).replace(std::string(kModel).find("T\""), 1, "U"));
    const std::string theirs = dir.write("theirs.xml", std::string(kModel).replace(std::string(kModel).find("C\" U"), 1, "D"));
    dir.write("out.xml", "earlier merge");
    dir.write("conflicts.xml", "earlier conflicts");
    ::mkdir(dir.file("folder").c_str(), 0700);
    const std::vector<std::string> before = Listing(dir);

    // The merged file cannot be written: nothing is, not even the conflicts.
    for (const std::string& out : {dir.file("folder"), dir.file("no-such-folder/out.xml")}) {
        const ProgramRun run = RunMerge(base, ours, theirs, out, {"-Conflicts", dir.file("conflicts.xml")});
        EXPECT_EQ(run.exitStatus, 3) << out;
        EXPECT_NE(run.err.find("could not be written"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(dir.file("conflicts.xml")), "earlier conflicts");
    }
    // The conflicts file cannot be written: the merged file is not either.
    for (const std::string& conflicts : {dir.file("folder"), dir.file("no-such-folder/c.xml")}) {
        const ProgramRun run = RunMerge(base, ours, theirs, dir.file("out.xml"), {"-Conflicts", conflicts});
        EXPECT_EQ(run.exitStatus, 3) << conflicts;
        EXPECT_NE(run.err.find("could not be written"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(dir.file("out.xml")), "earlier merge");
    }
    EXPECT_EQ(Listing(dir), before);

    // The same run with writable outputs merges, into the ours file as git asks.
    EXPECT_EQ(RunMerge(base, ours, theirs, ours).exitStatus, 0);
    EXPECT_EQ(Content(ours)["Class C"], "Name=D Table=U Uuid=c");
}

TEST(MergeFailures, WrongArgumentsGiveTheUsage) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml"},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml", "-Out"},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml", "-Out", "m.xml", "-Old", "x.xml"},
        {"-Base", "b.xml", "-Base", "o.xml", "-Theirs", "t.xml", "-Out", "m.xml"},
    };
    TempDir dir;
    for (const std::vector<std::string>& args : wrong) {
        std::vector<std::string> argv = {QORMM_MERGE_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProgramRun run = RunProgram(argv, dir.path());
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_NE(run.err.find("Usage : QORMetaMerge"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Listing(dir), std::vector<std::string>{});
    const ProgramRun version = RunProgram({QORMM_MERGE_PATH, "-v"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.rfind("MetaMerge Version: ", 0), 0u) << version.out;
}

}  // namespace
