// SPDX-License-Identifier: Apache-2.0
// What the documentation shows is what the programs do. Every fenced code
// block of README.md, CONTRIBUTING.md and doc/*.md is a line of the table below, named by its
// page and its first line: a block the table does not name fails the test,
// and so does a line of the table whose block is gone.
// - A ```console block is a terminal session, run here: each "$ " line is a
//   command (a line ending in "\" goes on to the next), and the lines up to
//   the next "$ " are what it prints, standard output and error together,
//   compared byte for byte; a command shown printing nothing must exit with
//   0. Sessions run in bash with the PATH that the README's "export PATH="
//   line gives (pointed at this build), in the scene their line names; or,
//   when QORMD_DOC_PROGRAMS names folders, with those first on the PATH
//   (tests/windows/check-zip.sh: the programs of the Windows zip).
// - Any other block is not run here. It is a verbatim excerpt of a file of
//   the tree (checked here), or its line says what runs it instead or why
//   nothing does. A ```sh block must at least be valid bash.
// Besides: every relative link of a page leads to a file, and the README's
// first screen names every top-level folder.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sstream>

#include "QORMDTestSupport.h"

namespace {

namespace fs = std::filesystem;

// Where a session runs. Every scene starts from a fresh copy of examples/.
enum class Scene {
    kNone,             // not a session
    kExamples,         // examples/
    kMergeExamples,    // examples/merge/
    kTeamRepository,   // a repository: main holds merge/ours.xml, branch other theirs.xml, branch drop none
    kRangeRepository,  // a repository: branch feature changes sales.meta.xml and adds stock.meta.xml
    kAsBefore,         // where the page's previous session ran, as it left it
};

struct Known {
    const char* page;
    const char* firstLine;
    Scene scene;
    const char* excerptOf = nullptr;  // the file of the tree the block is cut from
    const char* elsewhere = nullptr;  // what runs the block instead, or why nothing does
};

Known Session(const char* page, const char* firstLine, Scene scene) { return {page, firstLine, scene}; }
Known Excerpt(const char* page, const char* firstLine, const char* file) {
    return {page, firstLine, Scene::kNone, file};
}
Known Elsewhere(const char* page, const char* firstLine, const char* why) {
    return {page, firstLine, Scene::kNone, nullptr, why};
}

const char kBuilds[] = "builds the release tree; the Install.* tests do each step on the test build";
const char kBench[] = "a benchmark run takes an hour: not part of the tests";

const Known kBlocks[] = {
    Elsewhere("README.md",
              "scripts/run-example.sh   # builds, compares examples/old.xml and examples/new.xml, prints the diff",
              "the test command itself, and the example run it starts with"),
    Elsewhere("README.md",
              "export PATH=$PWD/build/host:$PWD/build/merge:$PWD/build/report:$PWD/build/check:$PWD/merge/git:$PATH",
              "the PATH every session here runs with"),
    Session("README.md", "$ QORMetaDiff -Old merge/base.xml -New merge/ours.xml -Diff diff.xml", Scene::kExamples),
    Session("README.md", "$ echo '*.meta.xml merge=qormeta diff=qormeta' >> .gitattributes", Scene::kTeamRepository),
    Session("README.md", "$ QORMetaReport -Old merge/base.xml -New merge/ours.xml", Scene::kExamples),
    Session("README.md", "$ QORMetaCheck check/sales.meta.xml", Scene::kExamples),
    Session("README.md", "$ QORMetaCheck -Old check/orders-v1.meta.xml check/orders-v2.meta.xml", Scene::kExamples),
    Elsewhere("README.md", "git config merge.qormeta.name \"metadata three-way merge\"",
              "Git for Windows' lines: Windows.git-drivers (tests/windows/check-zip.sh) runs git with the drivers "
              "named so, under a path with a blank"),

    Elsewhere("CONTRIBUTING.md",
              "cmake -S . -B build -DQORMD_BUILD_TESTS=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache   # ccache is optional",
              "scripts/run-tests.sh configures, builds and tests so"),
    Elsewhere(
        "CONTRIBUTING.md", "ctest --test-dir build-windows -R 'PlatformWindows' --output-on-failure",
        "needs the Windows build: scripts/run-tests.sh runs all of build-windows/ through scripts/build-windows.sh"),
    Elsewhere("CONTRIBUTING.md", "ctest --test-dir build -R 'MergeRules' --output-on-failure",
              "names a test this suite holds; a test of it would run itself"),
    Elsewhere("CONTRIBUTING.md",
              "cmake -S . -B build-asan -DQORMD_BUILD_TESTS=ON -DQORMD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug",
              "scripts/run-tests.sh builds and tests the sanitizer build so"),

    Session("doc/diff-format.md", "$ QORMetaDiff -New new.xml -Old old.xml -Diff diff.xml", Scene::kExamples),
    Session("doc/diff-format.md", "$ QORMetaDiff -New old.xml -Old old.xml -Diff same.xml", Scene::kExamples),
    Session("doc/diff-format.md", "$ sed 's/Name=\"Order\" //' new.xml > noname.xml", Scene::kExamples),
    Session("doc/diff-format.md", "$ QORMD_TRACE=run.trace QORMetaDiff -New new.xml -Old old.xml -Diff diff.xml",
            Scene::kExamples),

    Session("doc/merge.md", "$ diff base.xml ours.xml", Scene::kMergeExamples),
    Session("doc/merge.md",
            "$ QORMetaMerge -Base base.xml -Ours ours.xml -Theirs theirs.xml -Out merged.xml -Conflicts conflicts.xml",
            Scene::kAsBefore),
    Session("doc/merge.md", "$ diff ours.xml merged.xml", Scene::kAsBefore),
    Session("doc/merge.md", "$ cat conflicts.xml", Scene::kAsBefore),
    Session("doc/merge.md", "$ QORMetaMerge -Base base.xml -Ours ours.xml -Theirs theirs.xml -Out marked.xml -Markers",
            Scene::kAsBefore),
    Session("doc/merge.md", "$ echo '*.meta.xml merge=qormeta diff=qormeta' >> .gitattributes", Scene::kTeamRepository),
    Session("doc/merge.md", "$ git merge other", Scene::kAsBefore),
    Session("doc/merge.md", "$ git merge drop", Scene::kAsBefore),
    Session("doc/merge.md", "$ sed -i 's/Table=\"ORDERS\"/Table=\"ORDERS_V2\"/' sales.meta.xml", Scene::kAsBefore),
    Session("doc/merge.md", "$ sed -i 's/^  <Class Name=\"Order\"/  <Class  Name=\"Order\"/' sales.meta.xml",
            Scene::kAsBefore),

    Session("doc/report.md", "$ QORMetaReport -Old old.xml -New new.xml", Scene::kExamples),
    Session("doc/report.md", "$ QORMetaReport -Config check/qormeta.toml -Old old.xml -New new.xml | head -n 13",
            Scene::kExamples),
    Session("doc/report.md", "$ QORMetaReport -Old merge/base.xml -New merge/ours.xml -Format markdown | head -n 13",
            Scene::kExamples),
    Session("doc/report.md", "$ QORMetaReport -Old old.xml -New new.xml -Format html -Out report.html",
            Scene::kExamples),
    Session("doc/report.md", "$ QORMetaReport -Git main...feature | head -n 8", Scene::kRangeRepository),
    Session("doc/report.md", "$ QORMetaReport -Git main...feature -Format markdown -Out changes.md", Scene::kAsBefore),

    Session("doc/check-and-ci.md", "$ QORMetaCheck check/sales.meta.xml", Scene::kExamples),
    Session("doc/check-and-ci.md", "$ QORMetaCheck -Werror merge/*.xml check/sales.meta.xml", Scene::kExamples),
    Session("doc/check-and-ci.md", "$ QORMetaCheck -Config check/qormeta.toml -Old old.xml new.xml", Scene::kExamples),
    Excerpt("doc/check-rules.md", "[fields.Size]", "examples/check/qormeta.toml"),
    Elsewhere("doc/check-and-ci.md", "repos:", "tests/recipes/check-recipes.sh commits with it (Recipes.pre-commit)"),
    Elsewhere("doc/check-and-ci.md", "pre-commit install", "tests/recipes/check-recipes.sh (Recipes.pre-commit)"),
    Elsewhere("doc/check-and-ci.md",
              "metadata changes that lose data (QORMetaCheck -Against HEAD).......................Failed",
              "tests/recipes/check-recipes.sh makes the commit and finds each line (Recipes.pre-commit)"),

    Elsewhere("doc/library.md", "cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQORMD_BUILD_TESTS=OFF",
              kBuilds),
    Excerpt("doc/library.md",
            "    const std::int32_t status = cQORMDApi::Process(argv[1], argv[2], argv[3], writeEmpty ? 1 : 0);",
            "examples/host/QORMDExampleHost.cpp"),
    Excerpt("doc/library.md", "find_package(QORMetaDiff 5.13 CONFIG REQUIRED)", "examples/host/CMakeLists.txt"),
    Elsewhere("doc/library.md", "cmake -S examples/host -B build-host -DCMAKE_PREFIX_PATH=~/.local", kBuilds),
    Elsewhere("doc/library.md",
              "export PKG_CONFIG_PATH=~/.local/lib/$(gcc -print-multiarch)/pkgconfig   # lib/x86_64-linux-gnu on amd64",
              kBuilds),
    Elsewhere("doc/library.md", "cpack -G DEB -B build-release/packages --config build-release/CPackConfig.cmake",
              kBuilds),

    Elsewhere("doc/benchmarks.md",
              "bench/run-bench.sh          # builds with -DQORMD_BUILD_BENCH=ON in build-bench/, then measures",
              kBench),
    Elsewhere("doc/benchmarks.md", "bench/run-merge-bench.sh", kBench),
    Elsewhere("doc/benchmarks.md", "bench/compare-report.sh     # the report against a diff run of the same pair",
              kBench),

    Elsewhere("doc/windows.md",
              "scripts/build-windows.sh              # dependencies, build-windows/, the zip, the tests under Wine",
              "scripts/run-tests.sh runs it, as CI does"),

    Elsewhere("doc/internals.md", "  QORMetaDiff -New new.xml -Old old.xml -Diff diff.xml", "a picture"),
    Elsewhere("doc/internals.md", "  cMergeRun::Execute", "a picture"),
    Elsewhere("doc/internals.md",
              "CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DQORMD_FUZZ=ON -DQORMD_BUILD_TESTS=OFF",
              "scripts/run-tests.sh builds the fuzzers so and runs each for half a minute"),
};

struct Block {
    std::string page;
    std::string info;  // after the opening fence: console, sh, xml...
    std::string text;  // its lines, each with its "\n"
    std::string FirstLine() const { return text.substr(0, text.find('\n')); }
};

// The fenced blocks of a page. A fence must start its line.
std::vector<Block> BlocksOf(const std::string& page) {
    std::vector<Block> blocks;
    std::istringstream lines(ReadFile(SourcePath(page)));
    Block* open = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (open) {
            if (line == "```")
                open = nullptr;
            else
                open->text += line + "\n";
        } else if (line.rfind("```", 0) == 0) {
            blocks.push_back({page, line.substr(3), ""});
            open = &blocks.back();
        } else if (line.find("```") != std::string::npos) {
            EXPECT_NE(line.find_first_not_of(' '), line.find("```"))
                << page << ": a fence must start its line: " << line;
        }
    }
    EXPECT_EQ(open, nullptr) << page << ": a block is not closed";
    return blocks;
}

std::vector<std::string> Pages() {
    std::vector<std::string> pages = {"README.md", "CONTRIBUTING.md"};
    for (const auto& entry : fs::directory_iterator(SourcePath("doc")))
        if (entry.path().extension() == ".md") pages.push_back("doc/" + entry.path().filename().string());
    std::sort(pages.begin(), pages.end());
    return pages;
}

// One command of a session and what the page shows it printing.
struct Command {
    std::string text;
    std::string shown;
};

std::vector<Command> CommandsOf(const std::string& session) {
    std::vector<Command> commands;
    std::istringstream lines(session);
    bool continued = false;
    for (std::string line; std::getline(lines, line);) {
        if (continued)
            commands.back().text += "\n" + line;
        else if (line.rfind("$ ", 0) == 0)
            commands.push_back({line.substr(2), ""});
        else if (!commands.empty())
            commands.back().shown += line + "\n";
        else
            ADD_FAILURE() << "a session must begin with a command: " << line;
        continued = (continued || line.rfind("$ ", 0) == 0) && !line.empty() && line.back() == '\\';
    }
    return commands;
}

// The folder where sessions run: a copy of examples/, a home with the git
// configuration, and tree/, standing for the source tree, whose build/ is
// this build and merge/ the sources' (for the README's PATH line).
class Stage {
public:
    explicit Stage(const std::string& pathLine) : pathLine_(pathLine) {
        fs::copy(SourcePath("examples"), dir_.file("examples"), fs::copy_options::recursive);
        fs::create_directories(dir_.file("home"));
        dir_.write("home/.gitconfig",
                   "[user]\n\tname = Documentation\n\temail = documentation@localhost\n"
                   "[init]\n\tdefaultBranch = main\n");
        fs::create_directories(dir_.file("tree"));
        const std::string host = QORMD_HOST_PATH, hostInBuild = "/host/QORMetaDiff";
        EXPECT_EQ(host.substr(host.size() - hostInBuild.size()), hostInBuild);
        fs::create_directory_symlink(host.substr(0, host.size() - hostInBuild.size()), dir_.file("tree/build"));
        fs::create_directory_symlink(SourcePath("merge"), dir_.file("tree/merge"));
    }

    // Runs script in folder (relative to the stage) under bash, as the pages' reader would.
    HostRun Run(const std::string& folder, const std::string& script) const {
        const std::string prologue =
            "exec 2>&1\n"
            "for name in $(compgen -e); do case $name in GIT_*) unset \"$name\";; esac; done\n"
            "export HOME='" +
            dir_.file("home") +
            "' GIT_CONFIG_NOSYSTEM=1 LC_ALL=C.UTF-8 TZ=UTC GIT_EDITOR=true\n"
            "export GIT_AUTHOR_DATE=2026-01-05T10:00:00Z GIT_COMMITTER_DATE=2026-01-05T10:00:00Z\n"
            "cd '" +
            dir_.file("tree") + "' && " + pathLine_ +
            "\n"
            "cd '" +
            dir_.file(folder) + "' || exit 99\n";
        return RunProgram("timeout", {"120", "bash", "--noprofile", "--norc", "-c", prologue + script});
    }

private:
    TempDir dir_;
    std::string pathLine_;
};

// Builds the scene in a fresh stage and returns the folder its sessions run in.
std::string BuildScene(Scene scene, const Stage& stage) {
    const char* const kTeam =
        "git init -q team && cd team\n"
        "cp ../examples/merge/base.xml sales.meta.xml && git add -A && git commit -q -m 'Sales model'\n"
        "git checkout -q -b other && cp ../examples/merge/theirs.xml sales.meta.xml && git commit -q -a -m theirs\n"
        "git checkout -q -b drop main && git rm -q sales.meta.xml && git commit -q -m 'Sales model dropped'\n"
        "git checkout -q main && cp ../examples/merge/ours.xml sales.meta.xml && git commit -q -a -m ours\n";
    const char* const kRange =
        "git init -q models && cd models && echo '*.meta.xml diff=qormeta' >.gitattributes\n"
        "cp ../examples/merge/base.xml sales.meta.xml && git add -A && git commit -q -m 'Sales model'\n"
        "git checkout -q -b feature && cp ../examples/merge/ours.xml sales.meta.xml\n"
        "printf '<Package Name=\"Stock\" Uuid=\"pkg-2\">\\n  <Class Name=\"Item\" Uuid=\"c-item\"/>\\n</Package>\\n' "
        ">stock.meta.xml\n"
        "git add -A && git commit -q -m 'Sales changed, Stock added' && git checkout -q main\n";
    switch (scene) {
        case Scene::kExamples: return "examples";
        case Scene::kMergeExamples: return "examples/merge";
        case Scene::kTeamRepository:
        case Scene::kRangeRepository: {
            const HostRun run = stage.Run(".", scene == Scene::kTeamRepository ? kTeam : kRange);
            EXPECT_EQ(run.exitStatus, 0) << run.out;
            return scene == Scene::kTeamRepository ? "team" : "models";
        }
        default: ADD_FAILURE() << "no such scene"; return ".";
    }
}

// Runs the session's commands one after the other in one shell, each
// followed by a mark that carries its exit status: \1 status \2.
void CheckSession(const Stage& stage, const std::string& folder, const std::string& session) {
    const std::vector<Command> commands = CommandsOf(session);
    std::string script;
    for (const Command& command : commands)
        script += command.text + "\nstatus=$?; printf '\\001%d\\002' \"$status\"; (exit $status)\n";
    const std::string out = stage.Run(folder, script).out;
    std::size_t at = 0;
    for (const Command& command : commands) {
        SCOPED_TRACE("$ " + command.text);
        const std::size_t mark = out.find('\1', at), end = out.find('\2', mark);
        ASSERT_NE(end, std::string::npos) << "the session stopped here:\n" << out.substr(at);
        EXPECT_EQ(out.substr(at, mark - at), command.shown);
        if (command.shown.empty()) {
            EXPECT_EQ(out.substr(mark + 1, end - mark - 1), "0") << "a silent command failed";
        }
        at = end + 1;
    }
}

// The line of the table that names block; null when none does.
const Known* Find(const Block& block) {
    for (const Known& known : kBlocks)
        if (block.page == known.page && block.FirstLine() == known.firstLine) return &known;
    return nullptr;
}

TEST(Documentation, EveryBlockIsKnownAndEverySessionPrintsWhatItShows) {
    std::vector<Block> blocks;
    for (const std::string& page : Pages())
        for (Block& block : BlocksOf(page)) blocks.push_back(std::move(block));
    std::string pathLine;
    for (const Block& block : blocks)
        if (block.page == "README.md" && block.FirstLine().rfind("export PATH=", 0) == 0) pathLine = block.text;
    ASSERT_NE(pathLine, "") << "the README has no PATH line";
    if (const char* programs = std::getenv("QORMD_DOC_PROGRAMS"))
        pathLine = "export PATH='" + std::string(programs) + "':$PATH\n";

    std::map<const Known*, int> uses;
    std::unique_ptr<Stage> stage;
    std::string folder, stagePage;
    for (const Block& block : blocks) {
        SCOPED_TRACE(block.page + ": " + block.FirstLine());
        const Known* known = Find(block);
        if (!known) {
            ADD_FAILURE() << "a block this test does not know: give it a line of the table";
            continue;
        }
        EXPECT_EQ(++uses[known], 1) << "another block of the page begins with this line";
        if (block.info == "sh") {
            EXPECT_EQ(RunProgram("bash", {"-n", "-c", block.text}).exitStatus, 0) << block.text;
        }
        if (known->excerptOf) {
            EXPECT_NE(("\n" + ReadFile(SourcePath(known->excerptOf))).find("\n" + block.text), std::string::npos)
                << "not a part of " << known->excerptOf;
        }
        EXPECT_EQ(block.info == "console", known->scene != Scene::kNone) << "console blocks are the sessions";
        if (known->scene == Scene::kNone) continue;

        if (known->scene != Scene::kAsBefore) {
            stage = std::make_unique<Stage>(pathLine);
            folder = BuildScene(known->scene, *stage);
            stagePage = block.page;
        }
        ASSERT_EQ(stagePage, block.page) << "no session before this one on the page";
        CheckSession(*stage, folder, block.text);
    }
    for (const Known& known : kBlocks)
        EXPECT_EQ(uses.count(&known), 1u) << known.page << ": no block begins with: " << known.firstLine;
}

TEST(Documentation, LinksLeadToFilesAndTheReadmeMapsEveryFolder) {
    for (const std::string& page : Pages()) {
        const std::string text = ReadFile(SourcePath(page));
        const std::regex link(R"(\]\(([^)#\s]+)(#[^)\s]*)?\))");
        for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            if (target.find("://") != std::string::npos) continue;
            EXPECT_TRUE(fs::exists(fs::path(SourcePath(page)).parent_path() / target))
                << page << " links to " << target;
        }
    }
    // The first screen of the README: its first 40 lines.
    std::istringstream readme(ReadFile(SourcePath("README.md")));
    std::string firstScreen;
    std::string line;
    for (int count = 0; count < 40 && std::getline(readme, line); ++count) firstScreen += line + "\n";
    // Every folder at the top of the tree but git's and those .gitignore leaves out.
    for (const auto& entry : fs::directory_iterator(SourcePath("."))) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name == ".git" || name.rfind("build", 0) == 0 || name == "out") continue;
        EXPECT_NE(firstScreen.find("`" + name + "/`"), std::string::npos) << "the README's folder map lacks " << name;
    }
}

// The README's hint for finding a message, run as it stands, finds the module
// that prints the check's line it quotes, not only a test.
TEST(Documentation, TheReadmesGrepFindsWhereAMessageIsWritten) {
    const std::string readme = ReadFile(SourcePath("README.md"));
    std::smatch hint;
    ASSERT_TRUE(std::regex_search(readme, hint, std::regex("`grep -rn \"([^\"]+)\" ([^`]+)`")));
    std::vector<std::string> args = {"-rln", hint[1]};
    std::istringstream folders(hint[2]);
    for (std::string folder; folders >> folder;) args.push_back(folder);
    const HostRun grep = RunProgram("grep", args, {SourcePath(".")});
    EXPECT_THAT(grep.out, HasSubstr("QORMetaDiff.m/src/QORMDContainerCheck.cpp\n"));
    // Its words are those of a check line the README shows.
    std::istringstream lines(readme);
    bool shown = false;
    for (std::string line; std::getline(lines, line);)
        shown = shown || (line.rfind("check/", 0) == 0 && line.find(hint[1]) != std::string::npos);
    EXPECT_TRUE(shown) << hint[1];
}

}  // namespace
