// SPDX-License-Identifier: Apache-2.0
// The HTML report in a real browser: Debian's Chromium, headless, loads the
// report of the example pair, of a generated 10 MB pair and of a revision
// range without a message in its console (script errors, blocked loads), and
// the page its script drew holds the classes and values of the report.
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>

#include "ReportSupport.h"

namespace {

struct Page {
    std::string text;     // what the page shows: its DOM after the scripts ran, without markup
    std::string console;  // the browser's console messages
    std::string dom;      // the page after its scripts ran
    int sections = 0;     // class (and package) sections drawn
};

std::string Decoded(std::string text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", "\u00a0"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : kEntities)
        for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; at += std::strlen(character))
            text.replace(at, std::strlen(entity), character);
    return text;
}

// The text of an HTML document as its textContent reads: markup, scripts and
// styles left out (the data the script reads are not what the page shows).
std::string TextOf(const std::string& dom) {
    std::string text;
    for (std::size_t at = 0; at < dom.size();) {
        const std::size_t open = dom.find('<', at);
        text.append(dom, at, open == std::string::npos ? std::string::npos : open - at);
        if (open == std::string::npos) break;
        std::size_t close = dom.find('>', open);
        for (const char* hidden : {"script", "style"})
            if (dom.compare(open + 1, std::strlen(hidden), hidden) == 0)
                close = dom.find(std::string("</") + hidden + ">", open);
        if (close == std::string::npos) break;
        at = dom.find('>', close) + 1;
    }
    return text;
}

// The page html loaded, at the fragment given (such as "#flagged").
Page Load(const std::string& html, const std::string& fragment = "") {
    TempDir profile;
    const HostRun run =
        RunProgram("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                                "--user-data-dir=" + profile.path(), "--enable-logging=stderr", "--v=0", "--dump-dom",
                                "file://" + std::filesystem::absolute(html).string() + fragment});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    Page page;
    std::istringstream log(run.err);
    for (std::string line; std::getline(log, line);)
        if (line.find(":CONSOLE") != std::string::npos) page.console += line + "\n";
    page.dom = run.out;
    page.text = Decoded(TextOf(run.out));
    for (std::size_t at = 0; (at = run.out.find("<details class=\"section", at)) != std::string::npos; ++at)
        ++page.sections;
    return page;
}

// Each element drawn with the given class (section: "details class=\"section"),
// named by its Name, "+" after it when its start tag holds with.
std::vector<std::string> Drawn(const std::string& dom, const std::string& opening, const std::string& with) {
    std::vector<std::string> drawn;
    const std::regex element("<" + opening +
                             "[^>]*>(?:<summary>|<h3>)<span class=\"tag\">[^<]*</span> <span "
                             "class=\"name\">([^<]*)</span>");
    for (std::sregex_iterator it(dom.begin(), dom.end(), element), end; it != end; ++it)
        drawn.push_back((*it)[1].str() + (it->str().find(with) != std::string::npos ? "+" : ""));
    return drawn;
}

class ReportInBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunProgram("chromium", {"--version"}).exitStatus, 0)
            << "Debian's chromium is needed for this test: scripts/install-deps.sh installs it";
    }
    // The HTML report of the pair, in html, loaded.
    Page Report(const std::string& oldPath, const std::string& newPath) {
        const HostRun run = RunReport({"-Old", oldPath, "-New", newPath, "-Format", "html", "-Out", html});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        return Load(html);
    }
    TempDir dir;
    const std::string html = dir.file("report.html");
};

// The page's own style and script are allowed by their hashes, nothing
// inline by default: a style or script that does not match is refused (a
// console message) and draws nothing.
TEST_F(ReportInBrowser, ExamplePair) {
    const Page page = Report(SourcePath("examples/old.xml"), SourcePath("examples/new.xml"));
    EXPECT_EQ(page.console, "");
    EXPECT_THAT(ReadFile(html), Not(HasSubstr("unsafe-inline")));
    EXPECT_TRUE(std::regex_search(ReadFile(html), std::regex("style-src 'sha256-[A-Za-z0-9+/]{43}='; "
                                                             "script-src 'sha256-[A-Za-z0-9+/]{43}=';")));
    EXPECT_EQ(page.sections, 6);  // the package and five classes
    for (const char* shown :
         {"Customer", "C-CUSTOMER", "letter case only", "Données & Qualité", "l'expéditeur",
          "moved from Class Customer (C-CUSTOMER)", "renamed from Adress", "Invoice", "6 of 6 sections"})
        EXPECT_THAT(page.text, HasSubstr(shown));
}

TEST_F(ReportInBrowser, ValuesThatLookLikeMarkupStayText) {
    const std::string markup = "&lt;/script&gt;&lt;script&gt;document.title='hacked'&lt;/script&gt;&lt;!-- &amp;amp;";
    dir.write("old.xml", "<P Name=\"P\"><C Name=\"C\" Uuid=\"c\" V=\"a\" L=\"x\"/></P>");
    dir.write("new.xml", "<P Name=\"P\"><C Name=\"&lt;b&gt;C&lt;/b&gt;\" Uuid=\"c\" V=\"" + markup +
                             "\" L=\"line&#10;&#x2028;break\"/></P>");
    const Page page = Report(dir.file("old.xml"), dir.file("new.xml"));
    EXPECT_EQ(page.console, "");
    EXPECT_EQ(page.sections, 1);
    EXPECT_THAT(page.text, HasSubstr("</script><script>document.title='hacked'</script><!-- &amp;"));
    EXPECT_THAT(page.text, HasSubstr("\"line\\n\\u{2028}break\""));
    EXPECT_THAT(page.text, HasSubstr("<b>C</b>"));
    EXPECT_THAT(page.dom, Not(HasSubstr("<title>hacked")));
}

// A revision range on one page: each file's sections drawn in that file's
// part, one filter box counting them all.
TEST_F(ReportInBrowser, RevisionRange) {
    ScratchRepository repo;
    const std::string oldModel = ReadFile(SourcePath("examples/old.xml"));
    const std::string newModel = ReadFile(SourcePath("examples/new.xml"));
    repo.Commit({{".gitattributes", "*.xml diff=qormeta\n"}, {"a.xml", oldModel}, {"b.xml", oldModel}}, "base");
    repo.Commit({{"a.xml", newModel}, {"b.xml", newModel}}, "change");
    const HostRun run = RunReport({"-Git", "HEAD~1..HEAD", "-Format", "html", "-Out", html}, {repo.path()});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const Page page = Load(html);
    EXPECT_EQ(page.console, "");
    EXPECT_EQ(page.sections, 12);
    const std::size_t first = page.dom.find("<main class=\"sections\">");
    const std::size_t second = page.dom.find("<main class=\"sections\">", first + 1);
    ASSERT_NE(second, std::string::npos);
    for (const std::string& part : {page.dom.substr(first, second - first), page.dom.substr(second)}) {
        int sections = 0;
        for (std::size_t at = 0; (at = part.find("<details class=\"section", at)) != std::string::npos; ++at)
            ++sections;
        EXPECT_EQ(sections, 6) << "the package and five classes of each file";
    }
    for (const char* shown : {"a.xml: modified", "b.xml: modified", "12 of 12 sections", "renamed from Adress"})
        EXPECT_THAT(page.text, HasSubstr(shown));
}

// The changes the rules flag: their badges and messages drawn, and the
// switch that shows only them, set by opening the page at #flagged: the
// sections without a flagged change hidden, and in the others the items
// without one. A page with nothing flagged has its switch off and
// disabled, and shows every section even at #flagged.
TEST_F(ReportInBrowser, OnlyFlaggedChanges) {
    const std::string data = SourcePath("check/tests/data/");
    const HostRun run = RunReport({"-Config", data + "qormeta.toml", "-Old", data + "old.xml", "-New", data + "new.xml",
                                   "-Format", "html", "-Out", html});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const Page all = Load(html);
    EXPECT_EQ(all.console, "");
    EXPECT_THAT(all.text, HasSubstr("8 of 8 sections"));
    EXPECT_THAT(all.dom, Not(HasSubstr("<body class=\"only-flagged\">")));
    EXPECT_THAT(Drawn(all.dom, "details class=\"section", "hidden"),
                testing::ElementsAre("Customer", "Order", "Brand", "store", "Shipment", "Mixed", "Invoice", "Store"));
    for (const std::string& shown :
         std::vector<std::string>{"phone a-phone-2 added error QM103", "Code a-code changed warning QM107",
                                  "error QM106: the field Size of the attribute <Attribute Name=\"Brand\"> of the "
                                  "class <Class Name=\"Order\"> "
                                  "shrinks from \"10\" to \"5\" (in " +
                                      data + "old.xml)"})
        EXPECT_THAT(all.text, HasSubstr(shown));

    const Page flagged = Load(html, "#flagged");
    EXPECT_EQ(flagged.console, "");
    EXPECT_THAT(flagged.text, HasSubstr("4 of 8 sections"));
    EXPECT_THAT(flagged.dom, HasSubstr("<body class=\"only-flagged\">"));
    EXPECT_THAT(
        Drawn(flagged.dom, "details class=\"section", "hidden"),
        testing::ElementsAre("Customer", "Order", "Brand+", "store", "Shipment+", "Mixed+", "Invoice", "Store+"));
    // Items the style hides under .only-flagged: those without the class flagged.
    EXPECT_THAT(Drawn(flagged.dom, "div class=\"item", "flagged"),
                testing::ElementsAre("phone+", "Fax+", "Phone", "Region", "Note+", "Id", "Brand+", "Region+", "Code+",
                                     "Code", "Fax", "No", "Code"));
    EXPECT_THAT(ReadFile(html), HasSubstr(".only-flagged .item:not(.flagged) { display: none; }"));

    ASSERT_EQ(RunReport({"-Old", SourcePath("examples/merge/base.xml"), "-New", SourcePath("examples/merge/ours.xml"),
                         "-Format", "html", "-Out", html})
                  .exitStatus,
              0);
    const Page none = Load(html, "#flagged");
    EXPECT_EQ(none.console, "");
    EXPECT_THAT(none.dom, HasSubstr("<input type=\"checkbox\" id=\"flagged-only\" disabled=\"\">"));
    EXPECT_THAT(none.dom, Not(HasSubstr("<body class=\"only-flagged\">")));
    EXPECT_THAT(none.text, HasSubstr("2 of 2 sections"));
}

TEST_F(ReportInBrowser, GeneratedTenMegabytePair) {
    GeneratePair(dir, 10, 0.01, 1);
    const Page page = Report(dir.file("old.xml"), dir.file("new.xml"));
    EXPECT_EQ(page.console, "");
    EXPECT_LT(std::filesystem::file_size(html), 3u << 20) << "the page should stay light";
    const HostRun markdown =
        RunReport({"-Old", dir.file("old.xml"), "-New", dir.file("new.xml"), "-Format", "markdown"});

    // Every section is drawn: the names of classes from all over the report, and
    // the first changed value (its section is drawn open).
    const std::regex heading("## (Class|Package) `([^`]+)` \\(`([^`]+)`\\): .*");
    const std::regex changed("\\| `[^`]+` \\| `([^`]+)` \\| `([^`]+)` \\| changed \\|");
    std::istringstream lines(markdown.out);
    std::smatch match;
    int headings = 0;
    bool valueSeen = false;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, match, heading) && headings++ % 40 == 0) {
            EXPECT_THAT(page.text, HasSubstr(match[2].str() + " " + match[3].str())) << line;
        } else if (!valueSeen && std::regex_match(line, match, changed)) {
            valueSeen = true;
            EXPECT_THAT(page.text, HasSubstr(match[1].str())) << line;
            EXPECT_THAT(page.text, HasSubstr(match[2].str())) << line;
        }
    }
    EXPECT_TRUE(valueSeen);
    EXPECT_GT(headings, 100);
    EXPECT_EQ(page.sections, headings);
}

}  // namespace
