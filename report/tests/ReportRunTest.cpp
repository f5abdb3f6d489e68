// SPDX-License-Identifier: Apache-2.0
// QORMetaReport through the real program. Its contract: exit 0 with a
// report (one line when nothing differs), 2 for wrong arguments, 1 for a
// failed run, and then nothing written; colour only for a terminal that did
// not ask for none. What a person reads: the text form of the example pair
// names every change by class and attribute names, in the new document's
// order, within 100 columns; values are shown exactly in every form.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <sstream>

#include "ReportSupport.h"

namespace {

const std::string kOld = SourcePath("examples/old.xml");
const std::string kNew = SourcePath("examples/new.xml");

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Columns of a line of ASCII, Latin and arrows (one column per code point).
std::size_t Columns(const std::string& line) {
    std::size_t columns = 0;
    for (unsigned char c : line) columns += (c & 0xC0) != 0x80;
    return columns;
}

// Position of the line equal to wanted, or -1.
int Find(const std::vector<std::string>& lines, const std::string& wanted) {
    const auto at = std::find(lines.begin(), lines.end(), wanted);
    return at == lines.end() ? -1 : static_cast<int>(at - lines.begin());
}

// Nothing differs: one line (a paragraph in HTML). Neither package holds a
// class: the line says that nothing was compared, package fields included.
// One side left out: everything added or deleted.
TEST(ReportRun, IdenticalAndOneSidedRuns) {
    TempDir dir;
    for (const char* format : {"text", "markdown"}) {
        const HostRun run = RunReport({"-Old", kNew, "-New", kNew, "-Format", format});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(LineCount(run.out), 1u) << run.out;
        EXPECT_THAT(run.out, StartsWith("No differences between "));
    }
    const HostRun html = RunReport({"-Old", kNew, "-New", kNew, "-Format", "html", "-Out", dir.file("r.html")});
    EXPECT_EQ(html.exitStatus, 0) << html.err;
    EXPECT_THAT(ReadFile(dir.file("r.html")), HasSubstr("<p class=\"none\">No differences between <code>"));

    dir.write("bare-old.xml", R"(<Package Name="P" Owner="a"/>)");
    dir.write("bare-new.xml", R"(<Package Name="Q" Owner="b"/>)");
    const std::string nothing =
        ", and without classes the comparison does not look at the package's own fields either.\n";
    EXPECT_EQ(RunReport({"-Old", "bare-old.xml", "-New", "bare-new.xml"}, {dir.path()}).out,
              "Nothing was compared: neither bare-old.xml nor bare-new.xml holds a class" + nothing);
    EXPECT_EQ(RunReport({"-New", "bare-new.xml", "-Format", "markdown"}, {dir.path()}).out,
              "Nothing was compared: `bare-new.xml` holds no class" + nothing);
    ASSERT_EQ(RunReport({"-Deleted", "bare-old.xml", "-Format", "html", "-Out", "r.html"}, {dir.path()}).exitStatus, 0);
    EXPECT_THAT(ReadFile(dir.file("r.html")), HasSubstr("<title>Nothing compared</title>"));
    EXPECT_THAT(ReadFile(dir.file("r.html")),
                HasSubstr("<p class=\"none\">Nothing was compared: <code>bare-old.xml</code> holds no class,"));

    const HostRun added = RunReport({"-New", kNew});
    ASSERT_EQ(added.exitStatus, 0) << added.err;
    EXPECT_THAT(added.out, HasSubstr("  old: none (everything is added)\n"));
    EXPECT_THAT(added.out, HasSubstr("\nPackage Sales (pkg-0001): added\n  + Name: Sales\n"));
    EXPECT_THAT(added.out, HasSubstr("\n  classes         5        0        0\n"));
    const HostRun deleted = RunReport({"-Deleted", kOld});
    ASSERT_EQ(deleted.exitStatus, 0) << deleted.err;
    EXPECT_THAT(deleted.out, HasSubstr("  new: none (everything is deleted)\n"));
    EXPECT_THAT(deleted.out, HasSubstr("\nClass Invoice (c-invoice): deleted\n"));
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
        EXPECT_THAT(run.err, HasSubstr("Usage: QORMetaReport -New new.xml"));
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
            EXPECT_THAT(run.err, StartsWith("Error MD")) << name;
        }
        EXPECT_FALSE(FileExists(dir.file("report.html"))) << name;
        EXPECT_EQ(ReadFile(existing), "an earlier report\n") << name;
    }
    const HostRun missing = RunReport({"-New", dir.file("missing.xml")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.out, "");
    // Control characters of a file name (a terminal title sequence, BEL) are printed escaped.
    const HostRun control = RunReport({"-New", "t\x1b]0;owned\x07.xml"}, {dir.path()});
    EXPECT_EQ(control.exitStatus, 1);
    EXPECT_THAT(control.err, HasSubstr("\"t\\x{1B}]0;owned\\x{07}.xml\" could not be read"));
    EXPECT_EQ(
        std::count_if(control.err.begin(), control.err.end(), [](char c) { return c != '\n' && c >= 0 && c < 0x20; }),
        0);
    const HostRun wrongControl = RunReport({"-New", kNew, "-Format", "\x1b[2J"});
    EXPECT_EQ(wrongControl.exitStatus, 2);
    EXPECT_THAT(wrongControl.err,
                StartsWith("QORMetaReport: -Format must be text, markdown or html, not \"\\x{1B}[2J\"\n"));
    // A report that is not XML is not called one.
    for (const char* format : {"text", "markdown"}) {
        const HostRun unwritable =
            RunReport({"-New", kNew, "-Format", format, "-Out", dir.file("no-folder/report.txt")});
        EXPECT_EQ(unwritable.exitStatus, 1);
        EXPECT_EQ(unwritable.err, "Error GDFileWriteError_1: The file \"" + dir.file("no-folder/report.txt") +
                                      "\" could not be written: cannot create a file in folder " +
                                      dir.file("no-folder") + ": No such file or directory\n");
    }
    // A package that no document names: a sentence, not the comparison's inner message.
    dir.write("unnamed-old.xml", R"(<Package><Class Name="C" Uuid="c"/></Package>)");
    dir.write("unnamed-new.xml", R"(<Package Name=""><Class Name="D" Uuid="c"/></Package>)");
    const HostRun unnamed =
        RunReport({"-Old", "unnamed-old.xml", "-New", "unnamed-new.xml", "-Out", "r.txt"}, {dir.path()});
    EXPECT_EQ(unnamed.exitStatus, 1);
    EXPECT_EQ(unnamed.err,
              "Error: the package has no name: neither \"unnamed-old.xml\" nor \"unnamed-new.xml\" gives its "
              "document element a Name field, and the report names the changes by their package.\n");
    EXPECT_FALSE(FileExists(dir.file("r.txt")));
    EXPECT_THAT(RunReport({"-New", "unnamed-old.xml"}, {dir.path()}).err,
                HasSubstr("no name: \"unnamed-old.xml\" does not give its document element a Name field"));
}

TEST(ReportReading, ExamplePairInTextAndItsColours) {
    TempDir dir;
    const HostRun run = RunReport({"-Old", kOld, "-New", kNew});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    // Sections in the new document's order, the deleted class after them; each change where it belongs.
    const std::vector<std::string> expectedInOrder = {
        "Changes to package Sales",
        "  attributes      1        1        3      1",
        "  Attribute Region (a-region): Class Customer (C-CUSTOMER) \u2192 Class Order (c-order)",
        "Package Sales (pkg-0001): changed",
        "  + Steward: Donn\u00e9es & Qualit\u00e9",
        "Class Customer (C-CUSTOMER): changed",
        "  ~ Uuid: c-customer \u2192 C-CUSTOMER  (letter case only)",
        "  Attribute Email (a-cust-email): changed",
        "    ~ Size: 120 \u2192 254",
        "    + Unique: true",
        "  Attribute Phone (a-cust-phone): added",
        "  Attribute Fax (a-cust-fax): deleted",
        "  Attribute Region (a-region): moved to Class Order (c-order)",
        "Class Order (c-order): changed",
        "  - Audit: none",
        "  Attribute Region (a-region): moved from Class Customer (C-CUSTOMER)",
        "Class Address (c-address): changed, renamed from Adress",
        "  ~ Name: Adress \u2192 Address  (renamed)",
        "Class Shipment (c-shipment): added",
        "    + Comment: l'exp\u00e9diteur",
        "Class Invoice (c-invoice): deleted",
    };
    int previous = -1;
    for (const std::string& wanted : expectedInOrder) {
        const int at = Find(lines, wanted);
        EXPECT_GT(at, previous) << "missing or out of order: " << wanted << "\n" << run.out;
        previous = std::max(previous, at);
    }
    EXPECT_EQ(Find(lines, "Class Store (c-store): attributes changed"), -1) << "an unchanged class is listed";
    for (const std::string& line : lines) EXPECT_LE(Columns(line), 100u) << line;

    // Deterministic, and -Out writes what standard output shows, over a
    // private file a private one.
    ::chmod(dir.write("report.txt", "earlier").c_str(), 0600);
    EXPECT_EQ(RunReport({"-Old", kOld, "-New", kNew, "-Out", dir.file("report.txt")}).exitStatus, 0);
    EXPECT_EQ(ReadFile(dir.file("report.txt")), run.out);
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("report.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // Colour only at a terminal that did not ask for none, and in text only.
    const RunOptions terminal{"", {}, 0, true};
    EXPECT_THAT(RunReport({"-Old", kOld, "-New", kNew}, terminal).out, HasSubstr("    \x1b[32m+ Unique: true\x1b[0m"));
    EXPECT_THAT(RunReport({"-Old", kOld, "-New", kNew}, {"", {"NO_COLOR=1"}, 0, true}).out, Not(HasSubstr("\x1b")));
    EXPECT_THAT(run.out, Not(HasSubstr("\x1b")));
    EXPECT_THAT(RunReport({"-Old", kOld, "-New", kNew, "-Format", "markdown"}, terminal).out, Not(HasSubstr("\x1b")));
}

// One Uuid for several elements; the diff merges their field changes into
// one entry, keyed and placed by the element it met first. Each change is
// listed where it happened, once, and counted as listed.
// - Three classes share an attribute Uuid (real models do): the unchanged
//   third class is not listed, a field deleted from two is listed for each.
// - A class and an attribute whose Uuids differ in letter case only (as
//   schema.org's class Brand and attribute brand), the package's Uuid too:
//   the entry is the class Brand's, or the attribute paymentMethod's (met
//   in Order before the class PaymentMethod); the package's and the classes'
//   own changes stay theirs, the attribute's go under each class whose copy
//   changed.
TEST(ReportReading, ChangesUnderASharedUuidGoWhereTheyHappened) {
    const struct {
        std::string oldDocument, newDocument, report;
    } cases[] = {
        {"<P Name=\"p\">\n"
         "  <C Uuid=\"c1\" Name=\"One\"><A Uuid=\"s\" Name=\"a\" X=\"1\" Y=\"1\"/></C>\n"
         "  <C Uuid=\"c2\" Name=\"Two\"><A Uuid=\"s\" Name=\"a\" X=\"1\" Y=\"1\"/></C>\n"
         "  <C Uuid=\"c3\" Name=\"Three\"><A Uuid=\"s\" Name=\"a\" X=\"1\" Y=\"1\"/></C>\n"
         "</P>\n",
         "<P Name=\"p\">\n"
         "  <C Uuid=\"c1\" Name=\"One\"><A Uuid=\"s\" Name=\"a\" X=\"2\"/></C>\n"
         "  <C Uuid=\"c2\" Name=\"Two\"><A Uuid=\"s\" Name=\"b\" X=\"1\" Z=\"3\"/></C>\n"
         "  <C Uuid=\"c3\" Name=\"Three\"><A Uuid=\"s\" Name=\"a\" X=\"1\" Y=\"1\"/></C>\n"
         "</P>\n",
         "Summary       added  deleted  changed  moved\n"
         "  classes         0        0        0\n"
         "  attributes      0        0        2      0\n"
         "  fields          1        2        2\n\n"
         "Flagged                  errors  warnings\n"
         "  QM105 renamed               0         1\n\n"
         "C One (c1): attributes changed\n"
         "  A a (s): changed\n"
         "    ~ X: 1 \u2192 2\n"
         "    - Y: 1\n\n"
         "C Two (c2): attributes changed\n"
         "  A b (s): changed, renamed from a\n"
         "    ! warning QM105: the attribute <A Name=\"b\"> of the class <C Name=\"Two\"> is renamed from \"a\"\n"
         "        (in old.xml): check that the migration renames its column rather than dropping it\n"
         "    ~ Name: a \u2192 b  (renamed)\n"
         "    - Y: 1\n"
         "    + Z: 3\n"},
        {"<P Name=\"p\" Uuid=\"S:BRAND\" V=\"1\">\n"
         "  <C Uuid=\"s:Order\" Name=\"Order\"><A Uuid=\"s:paymentMethod\" Name=\"paymentMethod\" R=\"Text\"/></C>\n"
         "  <C Uuid=\"s:Brand\" Name=\"Brand\" Sub=\"Intangible\"/>\n"
         "  <C Uuid=\"s:Product\" Name=\"Product\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\"/></C>\n"
         "  <C Uuid=\"s:Service\" Name=\"Service\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\"/></C>\n"
         "  <C Uuid=\"s:Offer\" Name=\"Offer\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\"/></C>\n"
         "  <C Uuid=\"s:PaymentMethod\" Name=\"PaymentMethod\" Comment=\"old\"/>\n"
         "</P>\n",
         "<P Name=\"p\" Uuid=\"S:BRAND\" V=\"2\">\n"
         "  <C Uuid=\"s:Order\" Name=\"Order\"><A Uuid=\"s:paymentMethod\" Name=\"paymentMethod\" R=\"Method\"/></C>\n"
         "  <C Uuid=\"s:Brand\" Name=\"Brand\" Sub=\"Intangible, Classifier\" Same=\"BrandName\"/>\n"
         "  <C Uuid=\"s:Product\" Name=\"Product\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\" Same=\"x\"/></C>\n"
         "  <C Uuid=\"s:Service\" Name=\"Service\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\" Same=\"x\"/></C>\n"
         "  <C Uuid=\"s:Offer\" Name=\"Offer\"><A Uuid=\"s:brand\" Name=\"brand\" R=\"Brand\"/></C>\n"
         "  <C Uuid=\"s:PaymentMethod\" Name=\"PaymentMethod\" Comment=\"new\"/>\n"
         "</P>\n",
         "Summary       added  deleted  changed  moved\n"
         "  classes         0        0        2\n"
         "  attributes      0        0        3      0\n"
         "  fields          3        0        4\n\n"
         "P p (S:BRAND): changed\n"
         "  ~ V: 1 \u2192 2\n\n"
         "C Order (s:Order): attributes changed\n"
         "  A paymentMethod (s:paymentMethod): changed\n"
         "    ~ R: Text \u2192 Method\n\n"
         "C Brand (s:Brand): changed\n"
         "  ~ Sub: Intangible \u2192 Intangible, Classifier\n"
         "  + Same: BrandName\n\n"
         "C Product (s:Product): attributes changed\n"
         "  A brand (s:brand): changed\n"
         "    + Same: x\n\n"
         "C Service (s:Service): attributes changed\n"
         "  A brand (s:brand): changed\n"
         "    + Same: x\n\n"
         "C PaymentMethod (s:PaymentMethod): changed\n"
         "  ~ Comment: old \u2192 new\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("old.xml", c.oldDocument);
        dir.write("new.xml", c.newDocument);
        const HostRun run = RunReport({"-Old", "old.xml", "-New", "new.xml"}, {dir.path()});
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, "Changes to package p\n  old: old.xml\n  new: new.xml\n\n" + c.report);
    }
}

// White space that is layout is not listed, in any form: not the blanks and
// line ends of a class that holds nothing else (CRLF and tabs too), nor the
// blanks around a text beside elements, nor the indentation of a text in an
// element below an attribute. Blanks the document means are: under xml:space="preserve",
// and at the ends of a text that holds no line end there.
TEST(ReportReading, LayoutIsNotContentInAnyForm) {
    TempDir dir;
    dir.write("old.xml", "<P Name=\"p\">\n  <C Uuid=\"c-gone\" Name=\"Gone\">\r\n\t</C>\n</P>\n");
    dir.write("new.xml",
              "<P Name=\"p\">\n"
              "  <C Uuid=\"c-empty\" Name=\"Empty\">\n  </C>\n"
              "  <C Uuid=\"c-mixed\" Name=\"Mixed\">\n    Some text <A Uuid=\"a-deep\" Name=\"Deep\"><Doc>\n      deep "
              "text\n    </Doc></A>\n  </C>\n"
              "  <C Uuid=\"c-kept\" Name=\"Kept\" xml:space=\"preserve\">\n  </C>\n"
              "  <C Uuid=\"c-leaf\" Name=\"Leaf\"> a </C>\n"
              "</P>\n");
    const auto run = [&](const std::string& format) {
        const HostRun report = RunReport({"-Old", "old.xml", "-New", "new.xml", "-Format", format}, {dir.path()});
        EXPECT_EQ(report.exitStatus, 0) << report.err;
        return report.out;
    };
    const std::string text = run("text");
    EXPECT_THAT(text, HasSubstr("C Empty (c-empty): added\n  + Name: Empty\n  + Uuid: c-empty\n\n"
                                "C Mixed (c-mixed): added\n  + Name: Mixed\n  + Uuid: c-mixed\n  + text: Some text\n"
                                "  A Deep (a-deep): added\n    + Name: Deep\n    + Uuid: a-deep\n    + Doc\n"
                                "      + text: deep text\n\n"));
    EXPECT_THAT(text, HasSubstr("  + xml:space: preserve\n  + text: \"\\n  \"\n\n"));
    EXPECT_THAT(text, HasSubstr("  + Uuid: c-leaf\n  + text: \" a \"\n\n"));
    EXPECT_THAT(text,
                HasSubstr("C Gone (c-gone): deleted\n  ! error QM101: the class <C Name=\"Gone\"> (Uuid \"c-gone\", "
                          "in old.xml) is deleted: the\n      migration drops its table and every row\n"
                          "  - Name: Gone\n  - Uuid: c-gone\n"));
    // Each form lists the same four texts.
    const auto listed = [](const std::string& report, const std::string& pattern) {
        std::vector<std::string> texts;
        const std::regex line(pattern);
        for (std::sregex_iterator it(report.begin(), report.end(), line), end; it != end; ++it)
            texts.push_back((*it)[1]);
        return texts;
    };
    EXPECT_THAT(listed(text, "text: ([^\n]*)\n"),
                testing::ElementsAre("Some text", "deep text", "\"\\n  \"", "\" a \""));
    EXPECT_THAT(listed(run("markdown"), "- text: `([^`]*)`"),
                testing::ElementsAre("Some text", "deep text", "\"\\n  \"", "\" a \""));
    EXPECT_THAT(listed(run("html"), "\\{\"x\":\"((?:[^\"\\\\]|\\\\.)*)\"\\}"),
                testing::ElementsAre("Some text", "deep text", "\\\"\\\\n  \\\"", "\\\" a \\\""));
}

TEST(ReportReading, ValuesShownExactlyAndLongOnesWrapped) {
    TempDir dir;
    const std::string longValue = std::string(150, 'x') + " " + std::string(150, 'y') + " ";
    dir.write("old.xml",
              "<Package Name=\"P\"><Class Name=\"C\" Uuid=\"c\"><Attribute Name=\"A\" Uuid=\"a\" "
              "Q=\"plain\" B=\" both \" L=\"one\" U=\"caf\u00e9\" E=\"\" Long=\"short\"/></Class></Package>");
    dir.write("new.xml",
              "<Package Name=\"P\"><Class Name=\"C\" Uuid=\"c\"><Attribute Name=\"A\" Uuid=\"a\" "
              "Q=\"say &quot;hi&quot; &amp; &lt;b&gt;\" B=\"both\" L=\"one&#10;two\" U=\"\u65e5\u672c\u2192\" "
              "E=\"&#9;\" Long=\"" +
                  longValue + "\"/></Class></Package>");
    const HostRun run = RunReport({"-Old", dir.file("old.xml"), "-New", dir.file("new.xml")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    for (const char* wanted : {"    ~ Q: plain \u2192 say \"hi\" & <b>", "    ~ B: \" both \" \u2192 both",
                               "    ~ L: one \u2192 \"one\\ntwo\"", "    ~ U: caf\u00e9 \u2192 \"\u65e5\u672c\u2192\"",
                               "    ~ E: \"\" \u2192 \"\\t\""})
        EXPECT_THAT(lines, testing::Contains(wanted));

    // The long value continues in quotes on the following lines, within 100 columns, and reads back whole.
    const int head = Find(lines, "    ~ Long:");
    ASSERT_NE(head, -1) << run.out;
    EXPECT_EQ(lines[head + 1], "        old: \"short\"");
    const std::size_t margin = std::string("        new: ").size();
    std::string quoted = lines[head + 2].substr(margin);
    for (std::size_t i = head + 3; i < lines.size() && lines[i].rfind(std::string(margin, ' '), 0) == 0; ++i)
        quoted += lines[i].substr(margin);
    EXPECT_GT(lines.size(), static_cast<std::size_t>(head + 4)) << "a 300-character value on one line";
    EXPECT_EQ(Unshown(quoted), longValue);
    for (const std::string& line : lines) EXPECT_LE(Columns(line), 100u) << line;
}

// Nothing invisible passes for something else, in names, tags and values of
// every form: default-ignorable code points (joiners, bidi controls,
// variation selectors, the combining grapheme joiner, the Hangul filler),
// the braille blank and a leading combining mark are shown escaped; a value
// that ends like one of the report's notes is quoted.
TEST(ReportReading, InvisibleCharactersAreShownEscapedInEveryForm) {
    TempDir dir;
    dir.write("old.xml", "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\"><A Uuid=\"a\" Name=\"a\" V=\"plain\"/></C></P>");
    dir.write("new.xml",
              u8"<P Name=\"p\"><C Uuid=\"c\" Name=\"c\"><A Uuid=\"a\" Name=\"a\" V=\"x\u200Dy\u202Ez\u2066\" "
              u8"N\u200Cx=\"1\" W=\"\u3164\" B=\"\u2800\" G=\"e\u034F\uFE0Fs\u00AD\" M=\"\u0301x\" "
              u8"O=\"ok  (letter case only)\"/>"
              u8"<T\u3164 Uuid=\"b\" Name=\"b\"/></C></P>");
    const std::vector<std::string> escapes = {"x\\u{200D}y\\u{202E}z\\u{2066}", "N\\u{200C}x", "\\u{3164}", "\\u{2800}",
                                              "e\\u{034F}\\u{FE0F}s\\u{00AD}",  "\\u{0301}x",  "T\\u{3164}"};
    const std::vector<std::string> invisible = {u8"\u200D", u8"\u200C", u8"\u202E", u8"\u2066", u8"\u3164",
                                                u8"\u2800", u8"\u034F", u8"\uFE0F", u8"\u00AD", u8"\u0301"};
    for (const char* format : {"text", "markdown", "html"}) {
        SCOPED_TRACE(format);
        const HostRun run =
            RunReport({"-Old", "old.xml", "-New", "new.xml", "-Format", format, "-Out", "r"}, {dir.path()});
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        // The page holds the escapes in JSON, its backslashes doubled: compared without them.
        const auto withoutBackslashes = [&](std::string text) {
            if (std::string(format) == "html") text.erase(std::remove(text.begin(), text.end(), '\\'), text.end());
            return text;
        };
        const std::string report = withoutBackslashes(ReadFile(dir.file("r")));
        for (const std::string& escape : escapes) EXPECT_THAT(report, HasSubstr(withoutBackslashes(escape)));
        for (const std::string& character : invisible) EXPECT_THAT(report, Not(HasSubstr(character)));
        EXPECT_THAT(report, HasSubstr("\"ok  (letter case only)\""));
    }
    const HostRun text = RunReport({"-Old", "old.xml", "-New", "new.xml"}, {dir.path()});
    EXPECT_THAT(text.out, HasSubstr("    + \"N\\u{200C}x\": 1\n"));
    EXPECT_THAT(text.out, HasSubstr("  \"T\\u{3164}\" b (b): added\n"));
    EXPECT_THAT(text.out, HasSubstr("    + O: \"ok  (letter case only)\"\n"));
}

// A heading with a 1 MiB name is wrapped in linear time (a second at most in
// a normal build; cutting it once took minutes) and keeps every blank of the
// name: its lines, joined again, are the heading.
TEST(ReportReading, AMegabyteNameWrapsFastAndWhole) {
    TempDir dir;
    std::string name;
    for (int i = 0; name.size() < (1u << 20); ++i) name += i % 7 == 0 ? "word  " : "word ";
    name += "end";
    dir.write("old.xml", "<P Name=\"p\"><C Uuid=\"c\" Name=\"a\"/></P>");
    dir.write("new.xml", "<P Name=\"p\"><C Uuid=\"c\" Name=\"" + name + "\"/></P>");
    const auto start = std::chrono::steady_clock::now();
    const HostRun run = RunReport({"-Old", "old.xml", "-New", "new.xml"}, {dir.path()});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    if (!UnderAddressSanitizer()) {
        EXPECT_LT(took.count(), 1.0);
    }
    const std::vector<std::string> lines = Lines(run.out);
    const auto heads = [](const std::string& line) { return line.rfind("C word  word ", 0) == 0; };
    const int first = static_cast<int>(std::find_if(lines.begin(), lines.end(), heads) - lines.begin());
    ASSERT_LT(first, static_cast<int>(lines.size())) << run.out.substr(0, 1000);
    std::string heading = lines[first];
    for (std::size_t i = first + 1; i < lines.size() && lines[i].rfind("    ", 0) == 0; ++i) {
        EXPECT_LE(Columns(lines[i]), 100u);
        heading += lines[i].substr(4);
    }
    EXPECT_EQ(heading, "C " + name + " (c): changed, renamed from a");
}

}  // namespace
