// SPDX-License-Identifier: Apache-2.0
// The report marks what QORMetaCheck's change rules flag, through the real
// programs. On the check's planted pair (every rule, hard layouts, the
// diff's merged entries) each mark sits on its element, the same in text,
// markdown and the HTML page's data, and the summary counts them; the marks
// are the check's problems, on that pair and on generated pairs and
// schema.org releases; the configuration is found, applied and refused as
// the check does it; a revision range marks every file and counts them all.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "ReportSupport.h"

namespace {

const std::string kData = SourcePath("check/tests/data/");
// The planted pair's field rules (Size must not shrink, Type's changes restricted).
const std::string kFieldRules = ReadFile(kData + "qormeta.toml");

HostRun RunCheck(const std::vector<std::string>& args, const std::string& folder) {
    return RunProgram(QORMR_CHECK_PATH, args, {folder});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The marks of a report's lines, each as "section / item: error QM102" (an
// item only under a class), in the report's order: a line that heading
// matches names an element (its label the match's second group, an item
// when isItem says so), a line that mark matches marks the last one.
std::vector<std::string> Marks(const std::string& report, const std::regex& heading, const std::regex& mark,
                               const std::function<bool(const std::smatch&)>& isItem) {
    std::vector<std::string> marks;
    std::string section, item;
    std::smatch match;
    for (const std::string& line : Lines(report)) {
        if (std::regex_match(line, match, mark)) {
            marks.push_back(section + (item.empty() ? "" : " / " + item) + ": " + match[1].str());
        } else if (std::regex_match(line, match, heading)) {
            std::string label = match[2];
            label.erase(std::remove(label.begin(), label.end(), '`'), label.end());
            const bool inClass = isItem(match);
            (inClass ? item : section) = label;
            if (!inClass) item.clear();
        }
    }
    return marks;
}

// Of the text form: an item is indented.
std::vector<std::string> TextMarks(const std::string& text) {
    static const std::regex heading("( *)((Package|Class|Attribute|P|C|A) .*)");
    static const std::regex mark(" *! ((error|warning) QM[0-9]{3}): .*");
    return Marks(text, heading, mark, [](const std::smatch& match) { return match[1].length() > 0; });
}

// Of markdown (a document's, or a range's with its headings two levels
// down), read without the code spans' backticks: an item is an attribute.
std::vector<std::string> MarkdownMarks(const std::string& markdown) {
    static const std::regex heading("(#+) ((Package|Class|Attribute) .*)");
    static const std::regex mark("- \\*\\*((error|warning) QM[0-9]{3})\\*\\*: .*");
    return Marks(markdown, heading, mark, [](const std::smatch& match) { return match[3] == "Attribute"; });
}

// The HTML page's data: one array of sections per document.
nlohmann::json PageData(const std::string& html) {
    const std::string open = "<script type=\"application/json\" id=\"report-data\">";
    const std::size_t start = html.find(open) + open.size();
    return nlohmann::json::parse(html.substr(start, html.find("</script>", start) - start));
}

// The same of the page's data; with messages, each mark is "severity rule message".
std::vector<std::string> PageMarks(const std::string& html, bool messages = false) {
    std::vector<std::string> marks;
    const auto label = [](const nlohmann::json& element) {
        std::string text = element["t"].get<std::string>();
        if (!element["n"].get<std::string>().empty()) text += " " + element["n"].get<std::string>();
        if (!element["u"].get<std::string>().empty()) text += " (" + element["u"].get<std::string>() + ")";
        return text + ": " + element["s"].get<std::string>();
    };
    const auto add = [&](const nlohmann::json& element, const std::string& place) {
        for (const nlohmann::json& mark : element.value("r", nlohmann::json::array()))
            marks.push_back(messages ? mark[0].get<std::string>() + " " + mark[1].get<std::string>() + " " +
                                           mark[2].get<std::string>()
                                     : place + ": " + mark[0].get<std::string>() + " " + mark[1].get<std::string>());
    };
    for (const nlohmann::json& sections : PageData(html))
        for (const nlohmann::json& section : sections) {
            add(section, label(section));
            for (const nlohmann::json& item : section["i"]) add(item, label(section) + " / " + label(item));
        }
    return marks;
}

// The change problems of QORMetaCheck's lines as "severity rule message",
// the old version's line left out (the report has no lines): sorted.
std::vector<std::string> CheckedChanges(const std::string& lines) {
    static const std::regex problem(".*?:[0-9]+:[0-9]+: (error|warning): (.*) \\[(QM1[0-9]{2})\\]");
    static const std::regex line("line [0-9]+ of ");
    std::vector<std::string> changes;
    std::smatch match;
    for (const std::string& text : Lines(lines))
        if (std::regex_match(text, match, problem))
            changes.push_back(match[1].str() + " " + match[3].str() + " " +
                              std::regex_replace(match[2].str(), line, "in "));
    std::sort(changes.begin(), changes.end());
    return changes;
}

class ReportMarks : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("old.xml", ReadFile(kData + "old.xml"));
        dir.write("new.xml", ReadFile(kData + "new.xml"));
        dir.write("rules.toml", kFieldRules);
    }
    // The report of the planted pair in format, under the configuration config.
    std::string Report(const std::string& format, const std::string& config = "rules.toml") {
        const HostRun run =
            RunReport({"-Config", config, "-Old", "old.xml", "-New", "new.xml", "-Format", format, "-Out", "report"},
                      {dir.path()});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return ReadFile(dir.file("report"));
    }
    TempDir dir;
};

// Each of the planted pair's problems marks the element it is about: a
// deletion the deleted element (Note, deleted from Customer, is kept by
// Order), a re-creation the new element (its deleted twin is not marked), a
// move its arrival, a field rule the element of that copy (Id changed in
// both classes, as allowed), a rename the attribute and not the class Brand
// whose Uuid differs in letter case only. The same in every form.
TEST_F(ReportMarks, EachMarkSitsOnItsElementInEveryForm) {
    const std::vector<std::string> planted = {
        "Class Customer (c-cust): attributes changed / Attribute phone (a-phone-2): added: error QM103",
        "Class Customer (c-cust): attributes changed / Attribute Fax (a-fax): deleted: error QM102",
        "Class Customer (c-cust): attributes changed / Attribute Note (a-note): deleted: error QM102",
        "Class Order (c-order): attributes changed / Attribute Brand (u-brand): changed, renamed from brand: "
        "warning QM105",
        "Class Order (c-order): attributes changed / Attribute Brand (u-brand): changed, renamed from brand: "
        "error QM106",
        "Class Order (c-order): attributes changed / Attribute Region (a-region): moved from Class Customer "
        "(c-cust): error QM104",
        "Class Order (c-order): attributes changed / Attribute Code (a-code): changed: warning QM107",
        "Class store (c-store-2): added: error QM103",
        "Class Invoice (c-inv): deleted: error QM101",
    };
    const std::string text = Report("text");
    EXPECT_EQ(TextMarks(text), planted) << text;
    EXPECT_EQ(MarkdownMarks(Report("markdown")), planted);
    EXPECT_EQ(PageMarks(Report("html")), planted);

    // The summary counts them by rule, in every form.
    EXPECT_THAT(text, HasSubstr("  fields          0        0        6\n\n"
                                "Flagged                  errors  warnings\n"
                                "  QM101 class-deleted         1         0\n"
                                "  QM102 attribute-deleted     2         0\n"
                                "  QM103 recreated             2         0\n"
                                "  QM104 attribute-moved       1         0\n"
                                "  QM105 renamed               0         1\n"
                                "  QM106 field-narrowed        1         0\n"
                                "  QM107 field-changed         0         1\n\nMoves\n"));
    EXPECT_THAT(Report("markdown"), HasSubstr("| flagged | errors | warnings |\n|---|---:|---:|\n"
                                              "| QM101 class\\-deleted | 1 | 0 |\n"
                                              "| QM102 attribute\\-deleted | 2 | 0 |\n"));
    EXPECT_THAT(Report("html"), HasSubstr("<tr><th>flagged</th><th>errors</th><th>warnings</th></tr>\n"
                                          "<tr><td>QM101 class-deleted</td><td>1</td><td>0</td></tr>\n"));

    // The check's message, with the old version named as given, in the
    // text's lines and markdown's escaped punctuation.
    EXPECT_THAT(text, HasSubstr("  Attribute Code (a-code): changed\n"
                                "    ! warning QM107: the field Type of the attribute <Attribute Name=\"Code\"> of "
                                "the class\n        <Class Name=\"Order\"> changes from \"char\" to \"varchar\" (in "
                                "old.xml), which is not among the\n        changes allowed for Type (int -> bigint, "
                                "varchar -> text)\n    ~ Type: char \u2192 varchar\n"));
    EXPECT_THAT(Report("markdown"), HasSubstr("\n## Class `store` (`c-store-2`): added\n\n- **error QM103**: the "
                                              "class \\<Class Name\\=\\\"store\\\"\\> is re\\-created under the new "
                                              "Uuid \\\"c\\-store\\-2\\\"\\: "));
}

// A team's configuration, found where the check finds it: an acknowledged
// change is not marked (its element is still listed), a rule switched off
// marks nothing, a severity lowered is a warning; -Config names another.
TEST_F(ReportMarks, TheConfigurationSetsWhatIsMarked) {
    dir.write("team.toml", kFieldRules +
                               "[rules]\nQM105 = \"off\"\nQM101 = \"warning\"\n"
                               "[[allow]]\nrule = \"QM102\"\nuuid = \"A-NOTE\"\nreason = \"kept in Order\"\n");
    const std::string text = Report("text", "team.toml");
    EXPECT_THAT(TextMarks(text),
                testing::ElementsAre(
                    "Class Customer (c-cust): attributes changed / Attribute phone (a-phone-2): added: error QM103",
                    "Class Customer (c-cust): attributes changed / Attribute Fax (a-fax): deleted: error QM102",
                    "Class Order (c-order): attributes changed / Attribute Brand (u-brand): changed, renamed from "
                    "brand: error QM106",
                    "Class Order (c-order): attributes changed / Attribute Region (a-region): moved from Class "
                    "Customer (c-cust): error QM104",
                    "Class Order (c-order): attributes changed / Attribute Code (a-code): changed: warning QM107",
                    "Class store (c-store-2): added: error QM103", "Class Invoice (c-inv): deleted: warning QM101"));
    EXPECT_THAT(text, HasSubstr("  Attribute Note (a-note): deleted\n    - Name: Note\n"));

    // .qormeta.toml at the top of the repository, for a report run in a folder below it.
    ScratchRepository repo;
    repo.Commit({{".qormeta.toml", ReadFile(dir.file("team.toml"))},
                 {"models/old.xml", ReadFile(dir.file("old.xml"))},
                 {"models/new.xml", ReadFile(dir.file("new.xml"))}},
                "models");
    const HostRun below = RunReport({"-Old", "old.xml", "-New", "new.xml"}, {repo.path() + "/models"});
    EXPECT_EQ(below.exitStatus, 0) << below.err;
    EXPECT_EQ(TextMarks(below.out), TextMarks(text));
    // Without one, every rule at its own severity, no field rule.
    EXPECT_EQ(TextMarks(RunReport({"-Old", "old.xml", "-New", "new.xml"}, {dir.path()}).out).size(), 7u);
}

// A configuration that cannot be read stops the report as it stops the
// check (status 2, the same words: file, line and key), nothing written;
// so does an -Out over the configuration, which is left as it was.
TEST_F(ReportMarks, AConfigurationThatCannotBeReadWritesNothing) {
    dir.write("bad.toml", "[rules]\n\nQM105 = \"loud\"\n");
    const HostRun check = RunCheck({"-Config", "bad.toml", "-Old", "old.xml", "new.xml"}, dir.path());
    EXPECT_EQ(check.exitStatus, 2);
    const std::string error = "bad.toml:3: rules.QM105: must be \"error\", \"warning\" or \"off\", not \"loud\"\n";
    EXPECT_EQ(check.err, "QORMetaCheck: " + error);
    HostRun run =
        RunReport({"-Config", "bad.toml", "-Old", "old.xml", "-New", "new.xml", "-Out", "r.txt"}, {dir.path()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "QORMetaReport: " + error);
    dir.write(".qormeta.toml", ReadFile(dir.file("bad.toml")));
    run = RunReport({"-Old", "old.xml", "-New", "new.xml", "-Format", "html", "-Out", "r.txt"}, {dir.path()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "QORMetaReport: ./.qormeta.toml" + error.substr(8));
    EXPECT_FALSE(FileExists(dir.file("r.txt")));

    run = RunReport({"-Config", "missing.toml", "-New", "new.xml"}, {dir.path()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "QORMetaReport: missing.toml: cannot be read: no such file\n");
    run = RunReport({"-Config", "rules.toml", "-New", "new.xml", "-Out", "./rules.toml"}, {dir.path()});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.err, "QORMetaReport: -Out names the configuration \"rules.toml\"; the report would replace it\n");
    EXPECT_EQ(ReadFile(dir.file("rules.toml")), kFieldRules);
}

// The marks are the check's problems, not one more or less: the planted
// pair with and without its field rules; an attribute moved into an added
// class (its Uuid in another letter case), a class re-created, a rename
// from a name with an invisible character, in CRLF; the example pair;
// generated pairs. The old version's line aside, the words are the same.
TEST_F(ReportMarks, TheMarksAreTheChecksProblems) {
    dir.write("moved-old.xml",
              "<P Name=\"p\">\r\n  <C Name=\"Customer\" Uuid=\"c\"><A Name=\"Phone\" Uuid=\"a-phone\"/>"
              "<A Name=\"\u00c9tat\u200d\" Uuid=\"a-state\"/></C>\r\n  <C Name=\"Store\" Uuid=\"s\"/>\r\n</P>\r\n");
    dir.write("moved-new.xml",
              "<P Name=\"p\">\r\n  <C Name=\"Customer\" Uuid=\"c\"><A Name=\"\u00c9tat\" Uuid=\"a-state\"/></C>\r\n"
              "  <C Name=\"Shipment\" Uuid=\"sh\"><A Name=\"Phone\" Uuid=\"A-PHONE\"/></C>\r\n"
              "  <C Name=\"STORE\" Uuid=\"s-2\"/>\r\n</P>\r\n");
    TempDir first, second;
    GeneratePair(first, 1, 0.05, 3);
    GeneratePair(second, 1, 0.2, 4);
    const struct {
        std::string oldFile, newFile, config;
        std::size_t marks;  // at least
    } pairs[] = {
        {"old.xml", "new.xml", "rules.toml", 9},
        {"old.xml", "new.xml", "", 7},
        {"moved-old.xml", "moved-new.xml", "", 3},
        {SourcePath("examples/old.xml"), SourcePath("examples/new.xml"), "", 4},
        {first.file("old.xml"), first.file("new.xml"), "", 50},
        {second.file("old.xml"), second.file("new.xml"), "rules.toml", 200},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.oldFile + " -> " + pair.newFile);
        std::vector<std::string> configured;
        if (!pair.config.empty()) configured = {"-Config", pair.config};
        std::vector<std::string> args = configured;
        args.insert(args.end(), {"-Old", pair.oldFile, pair.newFile});
        const std::vector<std::string> checked = CheckedChanges(RunCheck(args, dir.path()).out);
        args = configured;
        args.insert(args.end(), {"-Old", pair.oldFile, "-New", pair.newFile, "-Format", "html", "-Out", "page.html"});
        ASSERT_EQ(RunReport(args, {dir.path()}).exitStatus, 0);
        std::vector<std::string> marked = PageMarks(ReadFile(dir.file("page.html")), true);
        std::sort(marked.begin(), marked.end());
        EXPECT_EQ(marked, checked);
        EXPECT_GE(marked.size(), pair.marks);
    }
    // Where the moved pair's marks sit: the move on its arrival in the added class.
    ASSERT_EQ(
        RunReport({"-Old", "moved-old.xml", "-New", "moved-new.xml", "-Out", "moved.txt"}, {dir.path()}).exitStatus, 0);
    EXPECT_THAT(
        TextMarks(ReadFile(dir.file("moved.txt"))),
        testing::ElementsAre("C Customer (c): attributes changed / A \u00c9tat (a-state): changed, renamed from "
                             "\"\u00c9tat\\u{200D}\": warning QM105",
                             "C Shipment (sh): added / A Phone (A-PHONE): moved from C Customer (c): error QM104",
                             "C STORE (s-2): added: error QM103"));
}

// A revision range marks each file's changes as the file's own report
// does, the old version named as git names it, under the configuration at
// the top of the repository (the report runs in a folder below it); each
// class of a deleted document is marked deleted; the range's summary counts
// the marks of every file.
TEST_F(ReportMarks, ARangeMarksEveryFile) {
    ScratchRepository repo;
    const std::string base =
        repo.Commit({{".gitattributes", "*.meta.xml diff=qormeta\n"},
                     {".qormeta.toml", kFieldRules},
                     {"models/sales.meta.xml", ReadFile(dir.file("old.xml"))},
                     {"models/gone.meta.xml",
                      "<P Name=\"g\"><Class Name=\"A\" Uuid=\"a\"/><Class Name=\"B\" Uuid=\"b\"/></P>\n"}},
                    "base")
            .substr(0, 7);
    repo.Commit({{"models/sales.meta.xml", ReadFile(dir.file("new.xml"))},
                 {"models/added.meta.xml", "<P Name=\"n\"><C Name=\"N\" Uuid=\"n\"/></P>\n"}},
                "changes", {"models/gone.meta.xml"});
    const auto range = [&](const std::string& format) {
        const HostRun run = RunReport({"-Git", "HEAD~1..HEAD", "-Format", format}, {repo.path() + "/models"});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        return run.out;
    };
    const std::string text = range("text");
    std::vector<std::string> marks = {"Class A (a): deleted: error QM101", "Class B (b): deleted: error QM101"};
    for (const std::string& mark : TextMarks(Report("text"))) marks.push_back(mark);
    EXPECT_EQ(TextMarks(text), marks) << text;
    EXPECT_EQ(MarkdownMarks(range("markdown")), marks);
    EXPECT_EQ(PageMarks(range("html")), marks);
    EXPECT_THAT(text, HasSubstr("the class of that Name with the Uuid \"c-store\" (in " + base +
                                ":models/sales.meta.xml) is deleted,\n"));
    EXPECT_THAT(text, HasSubstr("  models/sales.meta.xml  modified      2       2       2        1       3       3"
                                "     1\n\nFlagged                  errors  warnings\n"
                                "  QM101 class-deleted         3         0\n"
                                "  QM102 attribute-deleted     2         0\n"));
    EXPECT_THAT(range("markdown"), HasSubstr(" | 1 |\n\n| flagged | errors | warnings |\n|---|---:|---:|\n"
                                             "| QM101 class\\-deleted | 3 | 0 |\n"));
}

}  // namespace
