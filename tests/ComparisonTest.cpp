// SPDX-License-Identifier: Apache-2.0
// Whole runs on real files: what the diff document holds for each kind of
// change, when no file is written, letter case matched the same under any
// locale, and file names that are not UTF-8.
#include <clocale>
#include <cstdlib>
#include <cwctype>
#include <filesystem>

#include "QORMDMetaDiffApi.h"
#include "QORMDTestSupport.h"

namespace {

class Comparison : public ::testing::Test {
protected:
    // Runs old -> new (either may be left out with ""), returns the status.
    int Run(const std::string& oldXml, const std::string& newXml, unsigned char writeEmpty = 0) {
        const std::string oldName = oldXml.empty() ? "" : dir.write("old.xml", oldXml);
        const std::string newName = newXml.empty() ? "" : dir.write("new.xml", newXml);
        return ProcessFiles(oldName, newName, diff, writeEmpty);
    }

    TempDir dir;
    const std::string diff = dir.file("diff.xml");
};

// The whole diff of pairs that differ: its root names both files (none for a
// side left out) and the package, then each kind of change in the documents'
// order. A side left out adds or deletes everything, then the package itself.
TEST_F(Comparison, RecordsEachKindOfChangeInTheDocumentsOrder) {
    const struct Case {
        const char* what;
        std::string oldXml, newXml, packageName, body;
    } cases[] = {
        {"every kind",
         R"(<Package Name="P">
  <Class Uuid="c1" Name="C1"><Attr Uuid="a1" Name="A1" Type="int"/><Attr Uuid="a2" Name="A2"/></Class>
  <Class Uuid="c2" Name="C2"><Attr Uuid="a9" Name="A9"/></Class>
</Package>)",
         R"(<Package Name="P">
  <Class Uuid="c1" Name="C1"><Attr Uuid="a1" Name="A1" Type="long"/><Attr Uuid="a3" Name="A3"/></Class>
  <Class Uuid="c3" Name="C3"><Attr Uuid="a8" Name="A8"><Check Rule="x &gt; 0"/></Attr><Comment Text="kept"/></Class>
</Package>)",
         "P",
         "  Added\n"
         "    Attr Name=\"A3\" ParentUuid=\"C1\" Uuid=\"a3\"\n"
         "    Class Name=\"C3\" Uuid=\"c3\"\n"
         "      Attr Name=\"A8\" Uuid=\"a8\"\n"
         "        Check Rule=\"x > 0\"\n"
         "      Comment Text=\"kept\"\n"
         "  Deleted\n"
         "    Attr Name=\"A2\" ParentUuid=\"C1\" Uuid=\"a2\"\n"
         "    Class Name=\"C2\" Uuid=\"c2\"\n"
         "      Attr Name=\"A9\" Uuid=\"a9\"\n"
         "  Modified\n"
         "    Attr Uuid=\"A1\"\n"
         "      Modified New=\"Type='long'\" Old=\"Type='int'\"\n"},
        {"new only", "",
         R"(<Package Name="P" Version="2"><Class Uuid="c1" Name="C1"/><Class Uuid="c2" Name="C2"/></Package>)", "P",
         "  Added\n"
         "    Class Name=\"C1\" Uuid=\"c1\"\n"
         "    Class Name=\"C2\" Uuid=\"c2\"\n"
         "    Package Name=\"P\" Version=\"2\"\n"},
        {"old only", R"(<Package Name="P"><Class Uuid="c1" Name="C1"/></Package>)", "", "P",
         "  Deleted\n"
         "    Class Name=\"C1\" Uuid=\"c1\"\n"
         "    Package Name=\"P\"\n"},
        // The package's name comes from the old document, or the new one when the old has none.
        {"renamed package", R"(<Package Name="A"><C Uuid="c" Name="c"/></Package>)",
         R"(<Package Name="B"><C Uuid="c" Name="c"/></Package>)", "A",
         "  Modified\n"
         "    Package Uuid=\"\"\n"
         "      Modified New=\"Name='B'\" Old=\"Name='A'\"\n"},
        {"package named by the new", R"(<Package Name=""><C Uuid="c" Name="c"/></Package>)",
         R"(<Package Name="B"><C Uuid="c" Name="c" X="1"/></Package>)", "B",
         "  Modified\n"
         "    C Uuid=\"C\"\n"
         "      Added X=\"1\"\n"
         "    Package Uuid=\"\"\n"
         "      Modified New=\"Name='B'\" Old=\"Name=''\"\n"},
        // Uuid case is ignored, but field names and values are exact.
        {"letter case",
         R"(<P Name="p"><C Uuid="abc" Name="c" Size="10" Note="x" Empty="" Gone=""><A Uuid="a" Name="a"/></C></P>)",
         R"(<P Name="p"><C Uuid="ABC" Name="c" size="10" Note="X" Empty="y" New=""><A Uuid="A" Name="a "/></C></P>)",
         "p",
         "  Modified\n"
         "    A Uuid=\"A\"\n"
         "      Modified New=\"Name='a '\" Old=\"Name='a'\"\n"
         "      Modified New=\"Uuid='A'\" Old=\"Uuid='a'\"\n"
         "    C Uuid=\"ABC\"\n"
         "      Modified New=\"Empty='y'\" Old=\"Empty=''\"\n"
         "      Modified New=\"Note='X'\" Old=\"Note='x'\"\n"
         "      Modified New=\"Uuid='ABC'\" Old=\"Uuid='abc'\"\n"
         "      Deleted Gone=\"\" Size=\"10\"\n"
         "      Added New=\"\" size=\"10\"\n"},
        // Quotes, ampersands and text beyond ASCII pass unchanged.
        {"values", u8R"(<P Name="p"><C Uuid="c" Name="c" Doc="l'ancien &amp; &quot;vieux&quot;"/></P>)",
         u8R"(<P Name="p"><C Uuid="c" Name="c" Doc="l'été &lt;neuf&gt; 中文"/></P>)", "p",
         "  Modified\n"
         "    C Uuid=\"C\"\n"
         u8"      Modified New=\"Doc='l'été <neuf> 中文'\" Old=\"Doc='l'ancien & \"vieux\"'\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(diff.c_str());
        ASSERT_GE(Run(c.oldXml, c.newXml), 0);
        EXPECT_EQ(Outline(diff), "Diff New=\"" + (c.newXml.empty() ? "" : dir.file("new.xml")) + "\" Old=\"" +
                                     (c.oldXml.empty() ? "" : dir.file("old.xml")) + "\" PackageName=\"" +
                                     c.packageName + "\"\n" + c.body);
    }
}

// No file when nothing differs (an earlier one stays), an empty one when
// asked for; a package that no document names fails the run.
TEST_F(Comparison, NothingDifferentWritesNoFileUnlessAskedTo) {
    const std::string doc = R"(<Package Name="P"><Class Uuid="c1" Name="C1" T="x"/></Package>)";
    dir.write("diff.xml", "earlier diff");
    {
        TraceRecorder traces;
        ASSERT_GE(Run(doc, R"(<Package  Name="P" ><Class Name="C1" T="x" Uuid="c1"/></Package>)"), 0);
        EXPECT_EQ(traces.count("Empty meta diff"), 1);
    }
    EXPECT_EQ(ReadFile(diff), "earlier diff");

    ASSERT_GE(Run(doc, doc, 1), 0);
    EXPECT_TRUE(FileExists(diff));
    EXPECT_EQ(ReadFile(diff), "");

    std::remove(diff.c_str());
    TraceRecorder traces;
    ASSERT_GE(Run(R"(<Package Name="P"/>)", R"(<Package/>)"), 0);  // both without classes
    EXPECT_TRUE(traces.contains("Both package are Empty in cMetaDiffMgr::processDiff_Package"));
    EXPECT_FALSE(FileExists(diff));

    const int status =
        Run(R"(<Package><C Uuid="c" Name="c"/></Package>)", R"(<Package><C Uuid="c" Name="d"/></Package>)");
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    EXPECT_THAT(ErrorTextOf(status), HasSubstr("0 length packName in cMetaDiffMgr::processDiff_Package"));
    const int raised = traces.indexOf("0 length packName in cMetaDiffMgr::processDiff_Package");
    ASSERT_GE(raised, 0);
    EXPECT_EQ(traces.indexOf("failed processDiff_Package in cMetaDiffMgr::processDiff"), raised + 1);
    EXPECT_EQ(traces.indexOf("! Failed cMetaDiffMgr::ProcessDiff"), raised + 2);
    EXPECT_EQ(traces.indexOf("! Failed ProcessMetaDiff"), raised + 3);
    EXPECT_FALSE(FileExists(diff));
    EXPECT_GE(cQORMDApi::Terminate(), 0);  // the inputs of the failed run were still there
}

// Added and deleted entries are copies: text and mixed content exactly as
// written, attribute values with line ends and tabs. The writer adds no
// namespace declaration: a copy carries its source element's own attributes,
// a modified entry its Uuid alone and its Added and Deleted children one
// attribute per field, whatever prefixes their names use. So a diff of
// documents that declare prefixes on the package element is XML 1.0 that a
// namespace-aware parser refuses.
TEST_F(Comparison, CopiesKeepTheirTextAndAddNoNamespace) {
    ASSERT_GE(
        Run("<q:P xmlns:q=\"urn:q\" xmlns:r=\"urn:r\" xmlns=\"urn:d\" Name=\"p\">\n"
            "  <q:C Uuid=\"keep\" Name=\"k\" r:Size=\"1\" r:Gone=\"g\"/>\n"
            "  <q:C Uuid=\"gone\" Name=\"g\" Doc=\"two&#10;lines&#9;tab\">\n"
            "    <Comment>Use <b>bold</b> <i>text</i>\n here</Comment>\n"
            "    <q:A Uuid=\"a\" Name=\"a\"><Doc> <x/> <y/>tail </Doc></q:A>\n"
            "  </q:C>\n"
            "  <D Uuid=\"plain\" Name=\"d\"/>\n"
            "  <q:C Uuid=\"own\" Name=\"o\" xmlns:s=\"urn:s\"><s:A Uuid=\"s\" Name=\"s\"/></q:C>\n</q:P>\n",
            "<q:P xmlns:q=\"urn:q\" xmlns:r=\"urn:r\" xmlns:p=\"urn:p\" Name=\"p\">"
            "<q:C Uuid=\"keep\" Name=\"k\" r:Size=\"2\" p:x=\"1\"/><r:C Uuid=\"new\" Name=\"n\" p:y=\"2\"/></q:P>"),
        0);
    const std::string written = ReadFile(diff);
    EXPECT_THAT(written, HasSubstr("<q:C Doc=\"two&#10;lines&#9;tab\" Name=\"g\" Uuid=\"gone\">\n"
                                   "      <Comment>Use <b>bold</b> <i>text</i>\n here</Comment>\n"
                                   "      <q:A Name=\"a\" Uuid=\"a\">\n"
                                   "        <Doc> <x/> <y/>tail </Doc>\n"));
    EXPECT_EQ(Outline(diff), "Diff New=\"" + dir.file("new.xml") + "\" Old=\"" + dir.file("old.xml") +
                                 "\" PackageName=\"p\"\n"
                                 "  Added\n"
                                 "    r:C Name=\"n\" Uuid=\"new\" p:y=\"2\"\n"
                                 "  Deleted\n"
                                 "    q:C Doc=\"two\nlines\ttab\" Name=\"g\" Uuid=\"gone\"\n"
                                 "      Comment\n"
                                 "        b\n"
                                 "        i\n"
                                 "      q:A Name=\"a\" Uuid=\"a\"\n"
                                 "        Doc\n"
                                 "          x\n"
                                 "          y\n"
                                 "    D Name=\"d\" Uuid=\"plain\"\n"
                                 "    q:C Name=\"o\" Uuid=\"own\" xmlns:s=\"urn:s\"\n"
                                 "      s:A Name=\"s\" Uuid=\"s\"\n"
                                 "  Modified\n"
                                 "    q:C Uuid=\"KEEP\"\n"
                                 "      Modified New=\"r:Size='2'\" Old=\"r:Size='1'\"\n"
                                 "      Deleted r:Gone=\"g\"\n"
                                 "      Added p:x=\"1\"\n"
                                 "    q:P Uuid=\"\"\n"
                                 "      Deleted xmlns=\"urn:d\"\n"
                                 "      Added xmlns:p=\"urn:p\"\n");
    EXPECT_THAT(QORMDNamespaceError(diff), HasSubstr("prefix"));
    // A UTF-8 document, indented, ending with its line.
    EXPECT_THAT(written, StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\""));
    EXPECT_THAT(written, testing::EndsWith("</Diff>\n"));
}

// Copies keep white space where it means something: all of it under
// xml:space="preserve", a blank between elements on one line, a character
// reference, every blank in and below an element that holds text (also text
// that comes after the blanks), none added around a lone comment. Layout
// (blanks with line ends among elements only) is the writer's.
TEST_F(Comparison, CopiesKeepTheirWhiteSpaceWhereItMeansSomething) {
    ASSERT_GE(Run("",
                  "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\"><A Uuid=\"a\" Name=\"a\">\n"
                  "<Pre xml:space=\"preserve\">\n  <x>a</x>   <y>b</y>\n</Pre>\n"
                  "<Tight xml:space=\"preserve\"><x/><y/></Tight>\n"
                  "<Inline><x>a</x> <y>b</y></Inline>\n"
                  "<Nested>text <s><x>a</x>\n<y>b</y></s></Nested>\n"
                  "<Later><s><x>a</x>\n <y>b</y>\n</s> text</Later>\n"
                  "<Ref><x>a</x>&#32;<y>b</y></Ref>\n"
                  "<Lone><!-- c --></Lone>\n"
                  "<Layout>\n      <x/>\n <!-- c -->\n   <y/>\n</Layout>\n"
                  "</A></C></P>"),
              0);
    EXPECT_THAT(ReadDiff(diff), HasSubstr("      <A Name=\"a\" Uuid=\"a\">\n"
                                          "        <Pre xml:space=\"preserve\">\n  <x>a</x>   <y>b</y>\n</Pre>\n"
                                          "        <Tight xml:space=\"preserve\"><x/><y/></Tight>\n"
                                          "        <Inline><x>a</x> <y>b</y></Inline>\n"
                                          "        <Nested>text <s><x>a</x>\n<y>b</y></s></Nested>\n"
                                          "        <Later><s><x>a</x>\n <y>b</y>\n</s> text</Later>\n"
                                          "        <Ref><x>a</x> <y>b</y></Ref>\n"
                                          "        <Lone><!-- c --></Lone>\n"
                                          "        <Layout>\n          <x/>\n          <!-- c -->\n          <y/>\n"
                                          "        </Layout>\n"
                                          "      </A>\n"));
}

// Uuids whose letter case differs in scripts beyond Latin, one beyond U+FFFF:
// each pair is one element whose Uuid field changed, under any locale.
TEST_F(Comparison, LetterCaseMatchesTheSameWhateverTheLocale) {
    const char* const pairs[][2] = {{"i-1", "I-1"}, {"σ-2", "Σ-2"}, {"д-3", "Д-3"},
                                    {"ա-4", "Ա-4"}, {"é-5", "É-5"}, {"\U00010428x", "\U00010400X"}};
    std::string oldXml = "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\">", newXml = oldXml;
    for (const auto& pair : pairs) {
        oldXml += std::string("<A Uuid=\"") + pair[0] + "\" Name=\"n\"/>";
        newXml += std::string("<A Uuid=\"") + pair[1] + "\" Name=\"n\"/>";
    }
    dir.write("old.xml", oldXml + "</C></P>");
    dir.write("new.xml", newXml + "</C></P>");
    // Turkish upper-cases i to İ: compiled here, so that no installed locale is needed.
    const std::string locales = dir.file("locales");
    std::filesystem::create_directory(locales);
    const std::string compile = "localedef -i tr_TR -f UTF-8 " + locales + "/tr_TR.UTF-8 >/dev/null 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << "localedef and Debian's locales package are needed";
    for (const char* locale : {"C", "tr_TR.UTF-8"}) {
        SCOPED_TRACE(locale);
        const HostRun run = RunInChild(
            [&] {
                if (!std::setlocale(LC_ALL, locale)) return 3;
                // Under Turkish rules the C library upper-cases i to İ: the locale is in force.
                if (std::string(locale) != "C" && std::towupper(L'i') == L'I') return 3;
                return ProcessFiles(dir.file("old.xml"), dir.file("new.xml"), diff) < 0 ? 1 : 0;
            },
            {"", {"LOCPATH=" + locales}});
        ASSERT_EQ(run.exitStatus, 0) << "the locale " << locale << " could not be set";
        const std::string outline = Outline(diff);
        EXPECT_THAT(outline, Not(HasSubstr("  Added")));
        EXPECT_THAT(outline, Not(HasSubstr("  Deleted")));
        for (const auto& pair : pairs)
            EXPECT_THAT(outline,
                        HasSubstr(std::string("New=\"Uuid='") + pair[1] + "'\" Old=\"Uuid='" + pair[0] + "'\""));
    }
}

// A name from an old file system, in Latin-1: read, compared and written,
// the diff showing each byte that is not UTF-8 as its Latin-1 letter.
TEST_F(Comparison, FileNamesThatAreNotUtf8AreReadAndShown) {
    dir.write("old.xml", R"(<P Name="p"><C Uuid="c" Name="one"/></P>)");
    dir.write("d\xe9j\xe0.xml", R"(<P Name="p"><C Uuid="c" Name="two"/></P>)");
    const HostRun run = RunHost({"-New", "d\xe9j\xe0.xml", "-Old", "old.xml", "-Diff", "d.xml"}, {dir.path()});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(ReadFile(dir.file("d.xml")), HasSubstr("<Diff New=\"d\xc3\xa9j\xc3\xa0.xml\" Old=\"old.xml\""));
}

}  // namespace
