// SPDX-License-Identifier: Apache-2.0
// QORMetaReport -Git on a scratch repository whose feature branch adds,
// modifies, renames, deletes and breaks metadata documents (one path with
// blanks and non-ASCII letters) while main moves on: each file's row and
// section, A..B against A...B, -Path, the exit statuses, a work tree left
// as it was.
#include <sys/stat.h>

#include <regex>
#include <sstream>

#include "ReportSupport.h"

namespace {

const char kAttributes[] = "*.meta.xml diff=qormeta\n";

// A model of a few classes, one per line, so that a change of one line
// leaves a file similar enough for git to see a rename.
std::string Model(const std::string& package, const std::string& lastClassName) {
    return "<Package Name=\"" + package +
           "\">\n"
           "  <Class Name=\"Order\" Uuid=\"c-order\"><Attribute Name=\"Id\" Uuid=\"a-id\"/></Class>\n"
           "  <Class Name=\"Customer\" Uuid=\"c-customer\"><Attribute Name=\"Id\" Uuid=\"a-id\"/></Class>\n"
           "  <Class Name=\"Invoice\" Uuid=\"c-invoice\"><Attribute Name=\"Total\" Uuid=\"a-total\"/></Class>\n"
           "  <Class Name=\"Store\" Uuid=\"c-store\"><Attribute Name=\"Code\" Uuid=\"a-code\"/></Class>\n"
           "  <Class Name=\"" +
           lastClassName +
           "\" Uuid=\"c-last\"/>\n"
           "</Package>\n";
}

class ReportRange : public ::testing::Test {
protected:
    void SetUp() override {
        repo.Commit(
            {{".gitattributes", kAttributes},
             {"models/sales.meta.xml", ReadFile(SourcePath("examples/old.xml"))},
             {"models/Données clients.meta.xml", Model("Clients", "Region")},
             {"models/gone.meta.xml", "<P Name=\"g\"><C Name=\"c\" Uuid=\"c\"><A Name=\"a\" Uuid=\"a\"/></C></P>\n"},
             {"models/old name.meta.xml", Model("Names", "Old")},
             {"models/stays.meta.xml", Model("Stays", "Last")},
             {"models/plain.xml", Model("Plain", "One")},
             {"notes.txt", "notes\n"}},
            "base");
        repo.Git({"checkout", "-q", "-b", "feature"});
        repo.Commit(
            {{"models/sales.meta.xml", ReadFile(SourcePath("examples/new.xml"))},
             {"models/Données clients.meta.xml", Model("Clients", "Area")},
             {"models/added.meta.xml", "<P Name=\"n\"><C Name=\"c\" Uuid=\"c\"/><C Name=\"d\" Uuid=\"d\"/></P>\n"},
             {"models/new name.meta.xml", Model("Names", "New")},
             {"models/plain.xml", Model("Plain", "Two")},
             {"notes.txt", "more notes\n"}},
            "changes", {"models/gone.meta.xml", "models/old name.meta.xml"});
        repo.Commit(
            {{"models/stays.meta.xml",
              "<P Name=\"s\">\n  <C Name=\"one\" Uuid=\"c1\"/>\n  <C Name=\"two\"/>\n  <C Uuid=\"c3\"/>\n</P>\n"}},
            "break");
        repo.Git({"checkout", "-q", "main"});
        repo.Commit({{"models/main-only.meta.xml", "<P Name=\"m\"><C Name=\"c\" Uuid=\"c\"/></P>\n"}}, "main moves on");
    }

    HostRun Report(const std::vector<std::string>& args) { return RunReport(args, {repo.path()}); }
    std::string ShortId(const std::string& revision) {
        std::string id = repo.Git({"rev-parse", "--short", revision}).out;
        return id.substr(0, id.find('\n'));
    }

    ScratchRepository repo;
};

// The summary table of a markdown report.
std::string SummaryTable(const std::string& markdown) {
    const std::size_t start = markdown.find("| file |");
    return markdown.substr(start, markdown.find("\n\n", start) - start + 1);
}

// The headings of a markdown report's file sections, in order.
std::vector<std::string> FileHeadings(const std::string& markdown) {
    std::vector<std::string> headings;
    std::istringstream lines(markdown);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("## `", 0) == 0) headings.push_back(line);
    return headings;
}

const char kTableHead[] =
    "| file | change | classes added | classes deleted | classes changed | attributes added | attributes deleted | "
    "attributes changed | attributes moved |\n|---|---|---:|---:|---:|---:|---:|---:|---:|\n";

TEST_F(ReportRange, EachKindOfChangeHasItsRowAndSection) {
    const auto before = Listing(repo.path(), true);
    TempDir out;
    const HostRun run = Report({"-Git", "main...feature", "-Format", "markdown", "-Out", out.file("range.md")});
    EXPECT_EQ(run.exitStatus, 1) << "a version does not load" << run.err;
    EXPECT_EQ(run.err, "");
    const std::string markdown = ReadFile(out.file("range.md"));
    EXPECT_EQ(SummaryTable(markdown),
              std::string(kTableHead) +
                  "| `models/Données clients.meta.xml` | modified | 0 | 0 | 1 | 0 | 0 | 0 | 0 |\n"
                  "| `models/added.meta.xml` | added | 2 | 0 | 0 | 0 | 0 | 0 | 0 |\n"
                  "| `models/gone.meta.xml` | deleted | 0 | 1 | 0 | 0 | 0 | 0 | 0 |\n"
                  "| `models/new name.meta.xml` | renamed from `models/old name.meta.xml` | 0 "
                  "| 0 | 1 | 0 | 0 | 0 | 0 |\n"
                  "| `models/sales.meta.xml` | modified | 1 | 1 | 3 | 1 | 1 | 3 | 1 |\n"
                  "| `models/stays.meta.xml` | modified, does not load | | | | | | | |\n");
    EXPECT_THAT(FileHeadings(markdown),
                testing::ElementsAre("## `models/Données clients.meta.xml`: modified",
                                     "## `models/added.meta.xml`: added", "## `models/gone.meta.xml`: deleted",
                                     "## `models/new name.meta.xml`: renamed from `models/old name.meta.xml`",
                                     "## `models/sales.meta.xml`: modified", "## `models/stays.meta.xml`: modified"));
    const std::string base = ShortId("main~1"), feature = ShortId("feature");
    for (const std::string& shown : std::vector<std::string>{
             "- old: none (everything is added)\n- new: `" + feature + ":models/added.meta.xml`",
             "- old: `" + base + ":models/gone.meta.xml`\n- new: none (everything is deleted)",
             "- old: `" + base + ":models/old name.meta.xml`\n- new: `" + feature + ":models/new name.meta.xml`",
             "\n### Changes to package `Clients`\n",  // headings two levels below a document's
             "\n#### Class `Area` (`c-last`): changed, renamed from `Region`\n",
             "\n##### Attribute `Id` (`a-cust-id`): changed\n",
             "The version `" + feature +
                 ":models/stays.meta.xml` does not load:\n\n~~~text\n"
                 "models/stays.meta.xml:3:3: error: the class <C Name=\"two\"> has no Uuid (or an empty one)\n"
                 "models/stays.meta.xml:4:3: error: the class <C Uuid=\"c3\"> has no Name (or an empty one)\n~~~\n"})
        EXPECT_THAT(markdown, HasSubstr(shown));
    EXPECT_EQ(repo.Git({"status", "--porcelain"}).out, "");
    EXPECT_EQ(Listing(repo.path(), true), before);
}

// A modified file's section is its report as QORMetaReport makes it of the
// two versions, named as git names them.
TEST_F(ReportRange, AFileSectionIsTheReportOfItsTwoVersions) {
    const std::string base = ShortId("main~1"), feature = ShortId("feature");
    TempDir versions;
    for (const std::string& revision : {base, feature}) {
        ASSERT_EQ(::mkdir(versions.file(revision + ":models").c_str(), 0700), 0);
        versions.write(revision + ":models/sales.meta.xml",
                       repo.Git({"show", revision + ":models/sales.meta.xml"}).out);
    }
    const HostRun single = RunReport(
        {"-Old", base + ":models/sales.meta.xml", "-New", feature + ":models/sales.meta.xml"}, {versions.path()});
    ASSERT_EQ(single.exitStatus, 0) << single.err;
    const HostRun range = Report({"-Git", "main...feature"});
    EXPECT_THAT(range.out, HasSubstr("\n== models/sales.meta.xml: modified\n" + single.out + "\n== "));
    EXPECT_TRUE(
        std::regex_search(range.out, std::regex("\n  models/sales\\.meta\\.xml +modified +1 +1 +3 +1 +1 +3 +1\n")))
        << range.out;
}

// A..B holds what main changed since feature left it (main-only.meta.xml,
// absent from feature: deleted); A...B only what feature changed. -Path
// chooses the documents instead of .gitattributes.
TEST_F(ReportRange, RangeFormsAndPathsChooseTheFiles) {
    const std::string twoDots = SummaryTable(Report({"-Git", "main..feature", "-Format", "markdown"}).out);
    EXPECT_THAT(twoDots, HasSubstr("| `models/main-only.meta.xml` | deleted | 0 | 1 |"));
    const std::string threeDots = SummaryTable(Report({"-Git", "main...feature", "-Format", "markdown"}).out);
    EXPECT_THAT(threeDots, Not(HasSubstr("main-only")));
    EXPECT_THAT(threeDots, Not(HasSubstr("plain.xml")));

    const HostRun paths =
        Report({"-Git", "main...feature", "-Path", "models/p*.xml", "-Path", "*/added.*", "-Format", "markdown"});
    EXPECT_EQ(SummaryTable(paths.out), std::string(kTableHead) +
                                           "| `models/added.meta.xml` | added | 2 | 0 | 0 | 0 | 0 | 0 | 0 |\n"
                                           "| `models/plain.xml` | modified | 0 | 0 | 1 | 0 | 0 | 0 | 0 |\n");
    EXPECT_EQ(paths.exitStatus, 0);
}

TEST_F(ReportRange, ExitStatuses) {
    HostRun run = Report({"-Git", "main...feature~1"});  // before the break: every file loads
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Metadata documents changed in main...feature~1\n  from: merge base of main and "
                                   "feature~1 (" +
                                   ShortId("main~1") + ")\n  to:   feature~1 (" + ShortId("feature~1") + ")\n"));
    run = Report({"-Git", "feature..feature"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_THAT(run.out, HasSubstr("\n\nNo metadata document differs.\n"));

    const struct {
        std::vector<std::string> args;
        std::string error;
    } wrong[] = {
        {{"-Git", "main..nowhere"}, "QORMetaReport: the range \"main..nowhere\" cannot be resolved"},
        {{"-Git", "feature"}, "QORMetaReport: \"feature\" is not a range"},
        {{"-Git", "main..feature", "-New", "x.xml"}, "-Git cannot be combined with -New, -Old or -Deleted"},
        {{"-New", "x.xml", "-Path", "*.xml"}, "-Path goes with -Git"},
    };
    for (const auto& c : wrong) {
        run = Report(c.args);
        EXPECT_EQ(run.exitStatus, 2) << c.error;
        EXPECT_THAT(run.err, HasSubstr(c.error));
        EXPECT_EQ(run.out, "");
    }
    TempDir elsewhere;
    run = RunReport({"-Git", "main..feature"}, {elsewhere.path()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_THAT(run.err, HasSubstr("is not in a git repository"));
}

// A document whose package no version names (modified, or added) stops its
// section with the reason the two-file form gives for the same versions,
// named as git names them.
TEST(ReportRangeUnnamed, GivesTheReasonOfTheTwoFileForm) {
    ScratchRepository repo;
    repo.Commit({{".gitattributes", kAttributes}, {"m.meta.xml", "<Package><C Name=\"c\" Uuid=\"c\"/></Package>\n"}},
                "base");
    repo.Commit({{"m.meta.xml", "<Package Name=\"\"><C Name=\"d\" Uuid=\"c\"/></Package>\n"},
                 {"added.meta.xml", "<P><C Name=\"e\" Uuid=\"e\"/></P>\n"}},
                "unnamed");
    const auto version = [&](const std::string& revision, const std::string& path) {
        const std::string id = repo.Git({"rev-parse", "--short", revision}).out;
        return id.substr(0, id.find('\n')) + ":" + path;
    };
    const HostRun range = RunReport({"-Git", "HEAD~1..HEAD", "-Format", "markdown"}, {repo.path()});
    EXPECT_EQ(range.exitStatus, 1);
    EXPECT_THAT(range.out, Not(HasSubstr("memory ran out")));
    // The same versions as files of those names, in the two-file form.
    TempDir dir;
    for (const std::string path : {"m.meta.xml", "added.meta.xml"})
        for (const std::string revision : {"HEAD~1", "HEAD"})
            if (path == "m.meta.xml" || revision == "HEAD")
                dir.write(version(revision, path), repo.Git({"show", revision + ":" + path}).out);
    const HostRun modified =
        RunReport({"-Old", version("HEAD~1", "m.meta.xml"), "-New", version("HEAD", "m.meta.xml")}, {dir.path()});
    const HostRun added = RunReport({"-New", version("HEAD", "added.meta.xml")}, {dir.path()});
    for (const auto& [path, twoFile] : {std::pair{"m.meta.xml", modified}, {"added.meta.xml", added}}) {
        ASSERT_THAT(twoFile.err, StartsWith("Error: the package has no name: "));
        const std::string reason = twoFile.err.substr(7, twoFile.err.size() - 9);  // no "Error: ", no ".\n"
        EXPECT_THAT(range.out, HasSubstr("~~~text\n" + std::string(path) + ": error: " + reason + "\n~~~\n"));
    }
}

}  // namespace
