// SPDX-License-Identifier: Apache-2.0
// QORMetaCheck run as a program on real files: every planted problem of a
// document, and nothing else, at the place where its start tag begins;
// refused input at the place the parser refused it; warnings, errors and
// -Werror in the exit status; and agreement with the diff host, which loads
// what the check passes and names the same line for what it refuses. The
// problems as data, with their rules, as the library's core gives them.
#include <filesystem>
#include <regex>

#include "QORMDDocumentCheck.h"
#include "QORMDTestSupport.h"

namespace {

HostRun RunCheck(const std::vector<std::string>& args, const std::string& folder) {
    return RunProgram(QORMC_CHECK_PATH, args, {folder});
}

class Check : public ::testing::Test {
protected:
    TempDir dir;
};

// A document in which every kind of problem is planted, with the layouts
// that make a place hard to tell: start tags over several lines, a tab and
// characters of one and two UTF-16 units before a tag on its line. The
// elements the loader skips, what lies below attributes and an attribute Uuid
// shared by two classes are not problems.
const char kPlanted[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Package Name=\"Sales\" xmlns:x=\"urn:x\">\n"
    "  <Comment Text=\"no Uuid, skipped\"/>\n"
    "  <Class Name=\"Order\" Uuid=\"c-order\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\"><Rule Uuid=\"\"/></Attribute>\n"
    "    <Attribute\n"
    "        Name=\"Total\"\n"
    "        Uuid=\"a-id\"/>\n"
    "\t<Attribute Name=\"Id\" Uuid=\"A-ID\"/><Attribute Name=\"\" Uuid=\"a-x\"/>\n"
    "    <Enumerator/><KIBComment/><x:Note Name=\"Total\" Uuid=\"a-note\"/>\n"
    "  </Class>\n"
    "  <Interface Name=\"I\"><Attribute/></Interface>\n"
    "  <Class Name=\"Order\" Uuid=\"C-ORDER\"><Attribute Name=\"Id\" Uuid=\"a-id\"/></Class>\n"
    "  <!-- é😀 --><Class Name=\"Invoice\" uuid=\"c-inv\"><Attribute Uuid=\"a-n\"/></Class>\n"
    "  <Class Uuid=\"c-order\" Name=\"Copy\"/><Class Name=\"Shipment\" Uuid=\"c-ship\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\"/>\n"
    "  </Class>\n"
    "</Package>\n";

TEST_F(Check, PlantedProblemsGiveExactlyTheirLinesAndPlaces) {
    dir.write("model.xml", kPlanted);
    const std::string order = "the attribute <Attribute Name=\"%\"> of the class <Class Name=\"Order\"> ";
    const auto in = [&](const std::string& name) { return std::regex_replace(order, std::regex("%"), name); };
    const HostRun run = RunCheck({"model.xml"}, dir.path());
    EXPECT_EQ(run.out,
              "model.xml:6:5: warning: " + in("Total") +
                  "repeats the Uuid \"a-id\" of the attribute on line 5; the comparison keeps that one and ignores "
                  "this one [QM004]\n"
                  "model.xml:9:2: warning: " +
                  in("Id") +
                  "has the Uuid \"A-ID\", which differs only in letter case from \"a-id\" of the attribute on line 5; "
                  "the comparison takes them for one attribute, keeps that one and ignores this one [QM005]\n"
                  "model.xml:9:2: warning: " +
                  in("Id") +
                  "has the same Name as the attribute on line 5 [QM006]\n"
                  "model.xml:9:36: error: the attribute <Attribute Uuid=\"a-x\"> of the class <Class Name=\"Order\"> "
                  "has no Name (or an empty one) [QM003]\n"
                  "model.xml:10:31: warning: the attribute <x:Note Name=\"Total\"> of the class <Class "
                  "Name=\"Order\"> has the same Name as the attribute on line 6 [QM006]\n"
                  "model.xml:13:3: warning: the class <Class Name=\"Order\"> has the Uuid \"C-ORDER\", which differs "
                  "only in letter case from \"c-order\" of the class on line 4; the comparison takes them for one "
                  "class, keeps that one and ignores this one [QM005]\n"
                  "model.xml:13:3: warning: the class <Class Name=\"Order\"> has the same Name as the class on line "
                  "4 [QM006]\n"
                  "model.xml:14:15: error: the class <Class Name=\"Invoice\"> has no Uuid (or an empty one) [QM002]\n"
                  "model.xml:14:50: error: the attribute <Attribute Uuid=\"a-n\"> of the class <Class "
                  "Name=\"Invoice\"> has no Name (or an empty one) [QM003]\n"
                  "model.xml:15:3: warning: the class <Class Name=\"Copy\"> repeats the Uuid \"c-order\" of the class "
                  "on line 4; the comparison keeps that one and ignores this one [QM004]\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitStatus, 1);
}

// The same problems as data, as the programs get them from the library's
// core: each with the rule it breaks, its severity and its place; refused
// input is one problem of its own rule.
TEST(CheckProblems, CarryTheirRuleSeverityAndPlace) {
    const auto shown = [](const std::string& bytes) {
        std::vector<std::string> problems;
        EXPECT_GE(cDDLXMLParser::init(), 0);
        for (const cCheckProblem& problem : cDocumentCheck::OfBytes(bytes, "model.xml"))
            problems.push_back(problem.RuleId() +
                               (problem.severity == cCheckProblem::kError ? " error " : " warning ") +
                               std::to_string(problem.at.line) + ":" + std::to_string(problem.at.column));
        cDDLXMLParser::terminate();
        return problems;
    };
    EXPECT_THAT(shown(kPlanted),
                testing::ElementsAre("QM004 warning 6:5", "QM005 warning 9:2", "QM006 warning 9:2", "QM003 error 9:36",
                                     "QM006 warning 10:31", "QM005 warning 13:3", "QM006 warning 13:3",
                                     "QM002 error 14:15", "QM003 error 14:50", "QM004 warning 15:3"));
    EXPECT_THAT(shown("<P Name=\"p\">\n  <C Name=\"a\" Uuid=\"c\">\n</P>"), testing::ElementsAre("QM001 error 3:3"));
    // From memory too, bytes that are not UTF-8 are placed where they begin.
    EXPECT_THAT(shown(std::string(3000, ' ') + "\n<P Name=\"\xff\"/>"), testing::ElementsAre("QM001 error 2:10"));
}

// What the parser refuses is one error where it refused it: nothing after
// that place can be read. The diff host refuses each of these documents too.
TEST_F(Check, RefusedInputIsOneErrorAtItsPlace) {
    std::string deep = "<P>\n";
    for (int i = 0; i < 1000; ++i) deep += "<e>";
    std::string names = "<P>";
    for (int i = 0; i < 10000; ++i) names += "<C" + std::to_string(i) + "/>";
    const struct {
        std::string name, content, line;
    } cases[] = {
        {"doctype.xml", "<?xml version=\"1.0\"?>\n  <!DOCTYPE P [<!ENTITY x \"y\">]>\n<P/>",
         "doctype.xml:2:3: error: the document has a DOCTYPE declaration, which metadata documents may not have"},
        {"broken.xml", "<P Name='p'>\n  <C Uuid='c' Name='n'>\n</P>", "broken.xml:3:3: error: expected end of tag 'C'"},
        {"deep.xml", deep, "deep.xml:2:2998: error: elements are nested more than 1000 levels deep"},
        {"names.xml", names,
         "names.xml:1:78886: error: the document uses more than 10000 distinct element and attribute names"},
        {"empty.xml", "", "empty.xml:1:1: error: the file is empty"},
        {"missing.xml", "", "missing.xml: error: cannot open it: No such file or directory"},
        {"folder", "", "folder: error: cannot open it: it is a directory, not a file"},
    };
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("folder")));
    dir.write("good.xml", "<P Name=\"p\"/>");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.name != "missing.xml" && c.name != "folder") dir.write(c.name, c.content);
        const HostRun run = RunCheck({c.name}, dir.path());
        EXPECT_EQ(run.out, c.line + " [QM001]\n");
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(RunHost({"-Old", c.name, "-New", "good.xml", "-Diff", "d.xml"}, {dir.path()}).exitStatus, 1);
    }
}

// Problems on a line holding é, a CJK character and an emoji before them:
// columns count UTF-16 code units, or with -Columns bytes the bytes of the
// line in UTF-8, in documents in UTF-8, UTF-16 and Latin-1. Bytes that are
// not UTF-8 are placed at the byte where they begin (not where the parser's
// decoding block began, lines earlier), shown as \x{FF} and told truly; the
// diff host names the same place.
TEST_F(Check, PlacesCountUtf16UnitsOrBytes) {
    std::string classes;
    for (int i = 0; i < 40; ++i)
        classes += "<C Name=\"c" + std::to_string(i) + "\" Uuid=\"c" + std::to_string(i) + "\"/>\n";
    const std::string head = "<P Name=\"p\">\n" + classes + u8"<!-- é中😀 -->";  // 13 UTF-16 units, 18 bytes, line 42
    const std::string tail = "\"/>\n" + classes + "</P>\n";
    const std::string ends = u8"\ufeff<?xml version=\"1.1\"?>\r<P Name=\"p\">\r\n\u0085\u2028<!-- é中😀 -->";
    std::string utf16 = "\xff\xfe";
    for (const char16_t c : std::u16string(u"<P Name=\"p\">\n<!-- é中😀 --><C Name=\"a\"/></P>"))
        utf16 += {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
    const std::string noUuid = "the class <C Name=\"a\"> has no Uuid (or an empty one)";
    const struct {
        std::string content, units, bytes, what;
    } cases[] = {
        {head + "<C Name=\"a\"/>\n</P>\n", "42:14", "42:19", noUuid},
        {head + "<C Name=\"a\" Uuid=\"a\"></P>\n", "42:37", "42:42", "expected end of tag 'C'"},
        {utf16, "2:14", "2:19", noUuid},
        // Every kind of line end before it, behind a byte-order mark.
        {ends + "<C Name=\"a\"/></P>", "5:14", "5:19", noUuid},
        {ends + "<C Name=\"a\xff\"/></P>", "5:24", "5:29", "invalid byte \\x{FF}: no UTF-8 character begins with it"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<P Name=\"p\">\n<!-- \xe9 --><C Name=\"a\"/></P>", "3:11",
         "3:12", noUuid},
        {head + "<C Name=\"a\xff" + tail, "42:24", "42:29", "invalid byte \\x{FF}: no UTF-8 character begins with it"},
        {head + "<C Name=\"a\xa9" + tail, "42:24", "42:29",
         "invalid byte \\x{A9}: it continues a UTF-8 character, but none began"},
        {head + "<C Name=\"a\xc0\xaf" + tail, "42:24", "42:29",
         "invalid bytes \\x{C0}\\x{AF}: an overlong UTF-8 form of U+002F"},
        {head + "<C Name=\"a\xf0\x82\x82\xac" + tail, "42:24", "42:29",
         "invalid bytes \\x{F0}\\x{82}\\x{82}\\x{AC}: an overlong UTF-8 form of U+20AC"},
        {head + "<C Name=\"a\xed\xa0\x80" + tail, "42:24", "42:29",
         "invalid bytes \\x{ED}\\x{A0}\\x{80}: the UTF-8 form of the surrogate U+D800, which is not a character"},
        {head + "<C Name=\"a\xf4\x90\x80\x80" + tail, "42:24", "42:29",
         "invalid bytes \\x{F4}\\x{90}\\x{80}\\x{80}: the UTF-8 form of U+110000, beyond the last character U+10FFFF"},
        {head + "<C Name=\"a\xf0\x9f\x98" + tail, "42:24", "42:29",
         "invalid bytes \\x{F0}\\x{9F}\\x{98}: a UTF-8 character of 4 bytes cut after 3"},
        {head + "<C Name=\"a\xe4\xb8", "42:24", "42:29",  // a file cut short in a character
         "invalid bytes \\x{E4}\\x{B8}: a UTF-8 character of 3 bytes cut after 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + " at " + c.units);
        const std::string rule = c.what == noUuid ? "QM002" : "QM001";
        dir.write("model.xml", c.content);
        EXPECT_EQ(RunCheck({"model.xml"}, dir.path()).out,
                  "model.xml:" + c.units + ": error: " + c.what + " [" + rule + "]\n");
        const HostRun bytes = RunCheck({"-Columns", "bytes", "model.xml"}, dir.path());
        EXPECT_EQ(bytes.out, "model.xml:" + c.bytes + ": error: " + c.what + " [" + rule + "]\n");
        EXPECT_EQ(bytes.exitStatus, 1);
        if (c.what.rfind("invalid", 0) != 0) continue;
        EXPECT_THAT(RunHost({"-New", "model.xml", "-Diff", "d.xml"}, {dir.path()}).err,
                    HasSubstr("\"model.xml\" could not be read: line " +
                              std::regex_replace(c.units, std::regex(":"), ", column ") + ": " + c.what + "\n"));
    }
}

// A pipe cannot be read again: its bytes that are not UTF-8 are placed as
// those of a file, by the check and by the diff host, and the endless rest of
// the pipe is not waited for.
TEST_F(Check, BytesFromAPipeArePlacedToo) {
    const std::string pipe = "<(printf '<P Name=\"p\">\\n<C Name=\"\\377\"/>'; exec cat /dev/zero)";
    const HostRun check = RunProgram("bash", {"-c", "exec \"$0\" " + pipe, QORMC_CHECK_PATH});
    EXPECT_THAT(check.out, testing::MatchesRegex(".*:2:10: error: invalid byte \\\\x\\{FF\\}: .*\n"));
    const HostRun host =
        RunProgram("bash", {"-c", "exec \"$0\" -New " + pipe + " -Diff d.xml", QORMD_HOST_PATH}, {dir.path()});
    EXPECT_THAT(host.err, HasSubstr("could not be read: line 2, column 10: invalid byte \\x{FF}: "));
}

// A package without a Name, or with an empty one, is an error at its start
// tag: the diff refuses such a document compared with nothing (added or
// deleted) or with a version whose package has no Name either; beside a
// named version it compares.
TEST_F(Check, APackageWithoutANameIsAnError) {
    dir.write("unnamed.xml",
              "<?xml version=\"1.0\"?>\n<!-- é -->\n  <Package>\n<Class Name=\"c\" Uuid=\"c\"/></Package>\n");
    dir.write("empty.xml", "<Package Name=\"\" Uuid=\"p\"><Class Name=\"c\" Uuid=\"c\"/></Package>");
    dir.write("named.xml", "<Package Name=\"p\"><Class Name=\"c\" Uuid=\"c\"/></Package>");
    const std::string problem =
        ": error: the package <Package> has no Name (or an empty one): the diff takes the package's name from the "
        "versions it compares and refuses them when neither has one, also when this one is compared with nothing "
        "(added or deleted) [QM007]\n";
    const HostRun run = RunCheck({"unnamed.xml", "empty.xml", "named.xml"}, dir.path());
    EXPECT_EQ(run.out, "unnamed.xml:3:3" + problem + "empty.xml:1:1" + problem);
    EXPECT_EQ(run.exitStatus, 1);
    const auto diff = [&](const std::vector<std::string>& args) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"-Diff", "d.xml"});
        return RunHost(all, {dir.path()}).exitStatus;
    };
    EXPECT_EQ(diff({"-New", "unnamed.xml"}), 1);
    EXPECT_EQ(diff({"-Deleted", "empty.xml"}), 1);
    EXPECT_EQ(diff({"-Old", "unnamed.xml", "-New", "empty.xml"}), 1);
    EXPECT_EQ(diff({"-Old", "named.xml", "-New", "unnamed.xml"}), 0);
}

// One problem, one line: line and paragraph separators, NEL, bidi controls,
// zero-width and other invisible characters of values are shown escaped,
// and a file name that is not UTF-8 byte by byte, as the report shows them.
TEST_F(Check, EveryProblemIsOneLineWithWhatCannotBeSeenEscaped) {
    const std::string name = "bad\xff.xml";
    dir.write(name,
              u8"<P Name=\"p\">\n"
              u8"<C Name=\"a\u2028b\" Uuid=\"1\"/><C Name=\"a\u2028b\" Uuid=\"2\"/>\n"
              u8"<C Name=\"p\u2029q\u0085r\" Uuid=\"3\"/><C Name=\"p\u2029q\u0085r\" Uuid=\"4\"/>\n"
              u8"<C Name=\"\u202eevil\" Uuid=\"5\"/><C Name=\"\u202eevil\" Uuid=\"6\"/>\n"
              u8"<C Name=\"zero\u200bwidth\u00a0nb\" Uuid=\"7\"/><C Name=\"zero\u200bwidth\u00a0nb\" Uuid=\"8\"/>\n"
              u8"</P>\n");
    const auto warning = [](const std::string& place, const std::string& shown, int line) {
        return "bad\\x{FF}.xml:" + place + ": warning: the class <C Name=\"" + shown +
               "\"> has the same Name as the class on line " + std::to_string(line) + " [QM006]\n";
    };
    const HostRun run = RunCheck({name}, dir.path());
    EXPECT_EQ(run.out, warning("2:24", "a\\u{2028}b", 2) + warning("3:26", "p\\u{2029}q\\u{0085}r", 3) +
                           warning("4:27", "\\u{202E}evil", 4) + warning("5:35", "zero\\u{200B}width\\u{00A0}nb", 5));
    EXPECT_EQ(run.exitStatus, 0);
}

// Warnings alone leave the status 0 unless -Werror; every file is checked and
// reported in the order given; wrong arguments are status 2.
TEST_F(Check, ExitStatusTellsErrorsFromWarnings) {
    dir.write("warned.xml", "<P Name=\"p\"><C Name=\"a\" Uuid=\"c\"/><C Name=\"a\" Uuid=\"d\"/></P>");
    dir.write("clean.xml", "<P Name=\"p\"><C Name=\"a\" Uuid=\"c\"/></P>");
    dir.write("-dash.xml", "<P Name=\"p\"><C Name=\"a\"/></P>");
    const std::string warning =
        "warned.xml:1:35: warning: the class <C Name=\"a\"> has the same Name as the class on "
        "line 1 [QM006]\n";
    HostRun run = RunCheck({"warned.xml", "clean.xml"}, dir.path());
    EXPECT_EQ(run.out, warning);
    EXPECT_EQ(run.exitStatus, 0);

    run = RunCheck({"clean.xml", "-Werror", "warned.xml"}, dir.path());
    EXPECT_EQ(run.out, std::regex_replace(warning, std::regex(" warning: (.*) \\[QM006\\]\n"),
                                          " error: $1 [-Werror] [QM006]\n"));
    EXPECT_EQ(run.exitStatus, 1);

    run = RunCheck({"--", "-dash.xml", "warned.xml"}, dir.path());
    EXPECT_EQ(run.out,
              "-dash.xml:1:13: error: the class <C Name=\"a\"> has no Uuid (or an empty one) [QM002]\n" + warning);
    EXPECT_EQ(run.exitStatus, 1);

    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{},
                                               {"-Werror"},
                                               {"-W", "clean.xml"},
                                               {"-dash.xml"},
                                               {""},
                                               {"-Columns", "chars", "clean.xml"},
                                               {"clean.xml", "-Columns"}}) {
        run = RunCheck(wrong, dir.path());
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("Usage: QORMetaCheck [OPTION]... [--] FILE..."));
    }
    EXPECT_EQ(RunCheck({"-v"}, dir.path()).exitStatus, 0);
}

// On generated models (shared attribute Uuids across classes, skipped
// elements, non-ASCII values) the check finds nothing, as the host loads
// them; with a Uuid or a Name taken out of one element somewhere, the check
// finds that one error, on the line the host's message names.
TEST_F(Check, AgreesWithTheLoaderOnGeneratedModels) {
    const HostRun generated =
        RunProgram("python3", {SourcePath("bench/generate-metadata.py"), "--size-mb", "1", "--changes", "0.2", "--seed",
                               "7", dir.file("old.xml"), dir.file("new.xml")});
    ASSERT_EQ(generated.exitStatus, 0) << generated.err;
    for (const char* file : {"old.xml", "new.xml"}) {
        const HostRun run = RunCheck({file}, dir.path());
        EXPECT_EQ(run.out, "") << file;
        EXPECT_EQ(run.exitStatus, 0) << file;
    }
    const std::string model = ReadFile(dir.file("new.xml"));
    const std::regex field(" (Uuid|Name)=\"[^\"]*\"");
    const std::vector<std::smatch> fields(std::sregex_iterator(model.begin(), model.end(), field),
                                          std::sregex_iterator());
    ASSERT_GT(fields.size(), 1000u);
    // A start tag over several lines is named by the line where it begins.
    std::vector<std::string> brokenModels = {
        "<P Name=\"p\">\n  <C Name=\"c\" Uuid=\"c\"/>\n  <C\n    Name=\"d\"\n  />\n</P>\n"};
    for (std::size_t i = 1; i <= 6; ++i) {  // a few, from all over the document
        const std::smatch& match = fields[i * (fields.size() - 1) / 6 - (i % 2)];
        brokenModels.push_back(model);
        brokenModels.back().erase(static_cast<std::size_t>(match.position()), static_cast<std::size_t>(match.length()));
    }
    for (const std::string& broken : brokenModels) {
        dir.write("broken.xml", broken);
        const HostRun check = RunCheck({"broken.xml"}, dir.path());
        const HostRun host = RunHost({"-New", "broken.xml", "-Diff", "d.xml"}, {dir.path()});
        std::smatch place, named;
        ASSERT_TRUE(std::regex_match(check.out, place,
                                     std::regex("broken\\.xml:([0-9]+):[0-9]+: error: (.*) \\[QM00[23]\\]\n")))
            << check.out;
        ASSERT_TRUE(std::regex_search(host.err, named, std::regex("on line ([0-9]+) of \"broken.xml\" has no (\\w+)")))
            << host.err;
        EXPECT_EQ(place[1], named[1]);
        EXPECT_THAT(place[2].str(), HasSubstr("has no " + named[2].str()));
        EXPECT_EQ(check.exitStatus, 1);
        if (&broken == &brokenModels.front()) {
            EXPECT_EQ(place[1], "3");
        }
    }
}

}  // namespace
