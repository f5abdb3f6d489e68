// SPDX-License-Identifier: Apache-2.0
// QORMetaReport -Git on a scratch repository whose feature branch adds,
// modifies, renames, deletes and breaks metadata documents (one path with
// blanks and non-ASCII letters) while main moves on: each file's row and
// section, A..B against A...B, -Path, the exit statuses, a work tree left
// as it was, -Out refused over the documents it reads, shallow clones. And
// -Path against git itself: the files that `git diff` lists for the same
// pathspecs, magic included, from the top and from a folder.
#include <filesystem>
#include <regex>
#include <set>
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
                 "models/stays.meta.xml:3:3: error: the class <C Name=\"two\"> has no Uuid (or an empty one) [QM002]\n"
                 "models/stays.meta.xml:4:3: error: the class <C Uuid=\"c3\"> has no Name (or an empty one) "
                 "[QM003]\n~~~\n"})
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
        ASSERT_TRUE(std::filesystem::create_directory(versions.file(revision + ":models")));
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
    run = Report({"-Git", ".."});  // both ends left out: HEAD..HEAD
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "Metadata documents changed in ..\n  from: HEAD (" + ShortId("HEAD") + ")\n  to:   HEAD (" +
                           ShortId("HEAD") + ")\n\nNo metadata document differs.\n");

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
        EXPECT_THAT(range.out, HasSubstr("~~~text\n" + std::string(path) + ": error: " + reason + " [QM007]\n~~~\n"));
    }
}

// -Out never replaces a file of the work tree that the range reads: a
// document at either end (however it is named: another spelling, a link or
// a hard link, from a folder below, or gone from the work tree) or a
// .gitattributes.
TEST_F(ReportRange, OutNeverReplacesWhatTheRangeReads) {
    std::filesystem::create_symlink("sales.meta.xml", repo.path() + "/models/link.xml");
    std::filesystem::create_hard_link(repo.path() + "/models/sales.meta.xml", repo.path() + "/models/hard.xml");
    repo.Git({"rm", "-q", "models/gone.meta.xml"});  // deleted, not committed: the path is still the range's
    const auto before = Listing(repo.path() + "/models", true);
    const std::string attributes = ReadFile(repo.path() + "/.gitattributes");
    const struct {
        std::string out, folder, named;
    } inputs[] = {
        {"models/sales.meta.xml", "", "models/sales.meta.xml"},
        {"./models/../models/sales.meta.xml", "", "models/sales.meta.xml"},
        {"models/link.xml", "", "models/sales.meta.xml"},
        {"models/hard.xml", "", "models/sales.meta.xml"},
        {"sales.meta.xml", "models", "models/sales.meta.xml"},
        {"models/old name.meta.xml", "", "models/old name.meta.xml"},  // a rename's old side
        {"models/gone.meta.xml", "", "models/gone.meta.xml"},
        {".gitattributes", "", ".gitattributes"},
        {"../.gitattributes", "models", ".gitattributes"},
    };
    for (const auto& input : inputs) {
        const HostRun run =
            RunReport({"-Git", "main...feature", "-Out", input.out}, {repo.path() + "/" + input.folder});
        EXPECT_EQ(run.exitStatus, 2) << input.out;
        EXPECT_EQ(run.err, "QORMetaReport: -Out names \"" + input.named +
                               "\", a file of the work tree that the range reads; the report would replace it\n");
    }
    EXPECT_EQ(Listing(repo.path() + "/models", true), before);
    EXPECT_EQ(ReadFile(repo.path() + "/.gitattributes"), attributes);
    EXPECT_EQ(repo.Git({"status", "--porcelain"}).out,
              "D  models/gone.meta.xml\n?? models/hard.xml\n?? models/link.xml\n");

    // Any other file is written, a tracked one that is not a document too.
    const HostRun run = Report({"-Git", "main...feature", "-Out", "notes.txt"});
    EXPECT_EQ(run.exitStatus, 1) << run.err;  // a version does not load
    EXPECT_THAT(ReadFile(repo.path() + "/notes.txt"), StartsWith("Metadata documents changed in main...feature\n"));
}

// A range that needs commits a shallow clone does not hold says so, and
// what to fetch: an end past its depth, or a merge base whose parents it
// lacks (libgit2 reads no shallow boundary); a name that is simply wrong
// does not blame the clone.
TEST_F(ReportRange, ShallowClonesSayWhatIsMissing) {
    TempDir clones;
    for (const char* branches : {"single", "no-single"})
        ASSERT_EQ(RunProgram("git", {"clone", "-q", "--depth", "1", std::string("--") + branches + "-branch",
                                     "file://" + repo.path(), clones.file(branches)})
                      .exitStatus,
                  0);
    // A branch of the clone's one commit: git finds their merge base, libgit2 needs its parent.
    const std::string single = clones.file("single");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"checkout", "-q", "-b", "topic"}, {"commit", "-q", "--allow-empty", "-m", "topic"}})
        RunProgram(
            "git", args,
            {single, {"GIT_AUTHOR_NAME=t", "GIT_AUTHOR_EMAIL=t@t", "GIT_COMMITTER_NAME=t", "GIT_COMMITTER_EMAIL=t@t"}});
    ASSERT_EQ(RunProgram("git", {"merge-base", "main", "topic"}, {single}).exitStatus, 0);
    const struct {
        std::string clone, range;
    } pastDepth[] = {{"single", "HEAD~2..HEAD"},
                     {"single", "main~1...main"},
                     {"single", "main...topic"},
                     {"no-single", "origin/main...origin/feature"}};
    for (const auto& c : pastDepth) {
        const HostRun run = RunReport({"-Git", c.range}, {clones.file(c.clone)});
        EXPECT_EQ(run.exitStatus, 2) << c.range;
        EXPECT_THAT(run.err, StartsWith("QORMetaReport: the range \"" + c.range +
                                        "\" needs more history than this shallow clone holds ("));
        EXPECT_THAT(run.err, HasSubstr("): fetch more of it (git fetch --deepen=N, or git fetch --unshallow) and run "
                                       "again\n"));
    }
    const HostRun wrong = RunReport({"-Git", "nowhere..HEAD"}, {single});
    EXPECT_EQ(wrong.exitStatus, 2);
    EXPECT_THAT(wrong.err, Not(HasSubstr("shallow")));
    const HostRun within = RunReport({"-Git", "origin/main..origin/feature"}, {clones.file("no-single")});
    EXPECT_EQ(within.exitStatus, 1) << within.err;  // both ends are there; a version does not load
}

}  // namespace

// -Path selects what `git diff --name-only` selects with the same pathspecs,
// from the top of the work tree and from a folder: plain patterns (folders,
// wildcards that cross '/', sets), each magic git has and their mixes, the
// two halves of a rename. A pathspec git refuses, and the attr magic, exit 2.
class ReportPathspec : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        repository_ = new ScratchRepository;
        const std::vector<std::string> changed = {
            "a.meta.xml",       "models/b.xml",      "models/sub/c.meta.xml", "models/sub/deep/d.xml",
            "Models/E.xml",     "models/x.xml",      "models/[x].xml",        "models/Y.XML",
            "other/spa ce.xml", "other/Données.xml", "other/mo.xml",          "models/gone.xml"};
        std::map<std::string, std::string> files{{"old/r.xml", Document("r", "R")},
                                                 {"models/same.xml", Document("s", "S")}};
        for (const std::string& path : changed) files[path] = Document(path, "1");
        repository_->Commit(files, "base");
        files = {{"new/r.xml", Document("r", "R")}, {"other/added.xml", Document("a", "A")}};
        for (const std::string& path : changed) files[path] = Document(path, "2");
        files.erase("models/gone.xml");
        repository_->Commit(files, "changes", {"old/r.xml", "models/gone.xml"});
    }
    static void TearDownTestSuite() {
        delete repository_;
        repository_ = nullptr;
    }

    // Lines of their own, so that git and libgit2 see renames alike: only where the content is the same.
    static std::string Document(const std::string& name, const std::string& version) {
        std::string document = "<Package Name=\"P\">\n";
        for (int i = 0; i < 8; ++i)
            document +=
                "  <Class Name=\"" + name + std::to_string(i) + "\" Uuid=\"" + name + std::to_string(i) + "\"/>\n";
        return document + "  <Class Name=\"V\" Uuid=\"v\" Version=\"" + version + "\"/>\n</Package>\n";
    }

    // What git lists, in folder: the paths, or empty with git's failure.
    static std::set<std::string> GitSelects(const std::vector<std::string>& pathspecs, const std::string& folder,
                                            bool& refused) {
        std::vector<std::string> args = {"diff", "--name-only", "-z", "HEAD~1", "HEAD", "--"};
        args.insert(args.end(), pathspecs.begin(), pathspecs.end());
        const HostRun run = RunProgram(
            "git", args, {repository_->path() + folder, {"GIT_CONFIG_NOSYSTEM=1", "HOME=" + repository_->path()}});
        refused = run.exitStatus != 0;
        std::set<std::string> paths;
        for (std::size_t at = 0, end; (end = run.out.find('\0', at)) != std::string::npos; at = end + 1)
            paths.insert(run.out.substr(at, end - at));
        return paths;
    }

    static ScratchRepository* repository_;
};
ScratchRepository* ReportPathspec::repository_ = nullptr;

TEST_F(ReportPathspec, SelectsWhatGitDiffSelects) {
    // Each case: its pathspecs, separated by '|'.
    const char* const cases[] = {
        // plain: a file, a folder, wildcards that cross '/', sets, escapes
        "a.meta.xml", "models", "models/", "mod*", "*.meta.xml", "models/*.xml", "*/*.xml", "m?dels/?.xml",
        "models/[x].xml", "models/[!x].xml", "models/[^a-b].xml", "models/\\[x].xml", "models/[[:upper:]].XML",
        "models/[]x].xml", "models/[x", "*[[:space:]]*", "other/Donn*", ".", "./models/../other", "models//sub/./deep",
        "../a.meta.xml", "sub",
        // glob: * and ? within a folder name, ** across
        ":(glob)*.xml", ":(glob)models/*", ":(glob)models/**", ":(glob)**/d.xml", ":(glob)models/**/d.xml",
        "models?b.xml|models[/]x.xml", ":(glob)models?b.xml|:(glob)models[!a]x.xml", ":(glob)**/sub/**",
        ":(glob)**/a.meta.xml", ":(glob)models/**/b.xml", ":(glob)mo**", ":(glob)**", ":(glob)m?dels/[a-c].xml",
        ":(glob)models", ":(glob)*/*.xml|:(glob)*.xml",
        // icase (git folds the path's letters only, not a set's nor an escaped one), literal, top
        ":(icase)models", ":(icase,glob)MODELS/*.XML", ":(icase)[M]odels/*", ":(icase)models/[Y].xml",
        ":(icase)models/[y].xml", ":(icase)models/[X-Z].xml", ":(icase)models/\\Y.xml", ":(icase)models/[a-c].XML",
        ":(icase)*/[[:upper:]]*", ":(literal)models/[x].xml", ":(literal)mod*", ":/models", ":(top)*.meta.xml", ":/",
        "::models",
        // exclude, alone (from the whole tree) and with others
        ":!models", ":^models|*.xml", ":(exclude)*.meta.xml|models", ":!models/sub|:!other", ":(exclude,icase)MODELS|.",
        ":!/models", ":(exclude,glob)*/*|:(top)",
        // a rename, one half or both; the unchanged file
        "old", "new", "old|new", "models/same.xml",
        // refused by git
        ":#x", ":(foo)x", ":(glob,literal)x", ":(top", "../../x"};
    // Absolute paths: in the work tree, or outside it.
    std::vector<std::string> all(std::begin(cases), std::end(cases));
    for (const char* absolute : {"/models/sub", "/mod*", "", "/../elsewhere"})
        all.push_back(repository_->path() + absolute);
    for (const std::string folder : {"", "/models"}) {
        for (const std::string& listed : all) {
            std::vector<std::string> pathspecs;
            std::istringstream split(listed);
            for (std::string pathspec; std::getline(split, pathspec, '|');) pathspecs.push_back(pathspec);
            const std::string shown = folder + " " + listed;
            bool refused = false;
            const std::set<std::string> expected = GitSelects(pathspecs, folder, refused);
            std::vector<std::string> args = {"-Git", "HEAD~1..HEAD", "-Format", "markdown"};
            for (const std::string& pathspec : pathspecs) args.insert(args.end(), {"-Path", pathspec});
            const HostRun run = RunReport(args, {repository_->path() + folder});
            if (refused) {
                EXPECT_EQ(run.exitStatus, 2) << shown;
                EXPECT_THAT(run.err, StartsWith("QORMetaReport: -Path \"")) << shown;
                continue;
            }
            EXPECT_EQ(run.exitStatus, 0) << shown << ": " << run.err;
            std::set<std::string> reported;
            const std::regex heading("\n## `([^`]*)`: ");
            for (std::sregex_iterator it(run.out.begin(), run.out.end(), heading), end; it != end; ++it)
                reported.insert((*it)[1]);
            EXPECT_EQ(reported, expected) << shown;
        }
    }
    const HostRun attr =
        RunReport({"-Git", "HEAD~1..HEAD", "-Path", ":(attr:diff=qormeta)*.xml"}, {repository_->path()});
    EXPECT_EQ(attr.exitStatus, 2);
    EXPECT_EQ(
        attr.err,
        "QORMetaReport: -Path \":(attr:diff=qormeta)*.xml\": the magic \"attr\" is not supported (name the files, "
        "or mark them diff=qormeta in .gitattributes and leave -Path out)\n");
}
