// Whole runs through cQORMDApi::Process on real files: what the diff
// document holds for each kind of change, and when no file is written.
#include <gtest/gtest.h>

#include "QORMDMetaDiffApi.h"
#include "QORMDTestSupport.h"

namespace {

class Comparison : public ::testing::Test {
protected:
    // Runs old -> new (either may be left out with ""), returns the status.
    int Run(const std::string& oldXml, const std::string& newXml, unsigned char writeEmpty = 0) {
        const std::string oldName = oldXml.empty() ? "" : dir.write("old.xml", oldXml);
        const std::string newName = newXml.empty() ? "" : dir.write("new.xml", newXml);
        return cQORMDApi::Process(ZULUnicodeString(oldName.c_str()), ZULUnicodeString(newName.c_str()),
                                  ZULUnicodeString(diff.c_str()), writeEmpty);
    }
    // The diff's outline without its root line.
    std::string Body() {
        const std::string outline = Outline(diff);
        return outline.substr(outline.find('\n') + 1);
    }

    TempDir dir;
    const std::string diff = dir.file("diff.xml");
};

TEST_F(Comparison, RecordsEachKindOfChangeInTheDocumentsOrder) {
    ASSERT_GE(Run(R"(<Package Name="P">
  <Class Uuid="c1" Name="C1"><Attr Uuid="a1" Name="A1" Type="int"/><Attr Uuid="a2" Name="A2"/></Class>
  <Class Uuid="c2" Name="C2"><Attr Uuid="a9" Name="A9"/></Class>
</Package>)",
                  R"(<Package Name="P">
  <Class Uuid="c1" Name="C1"><Attr Uuid="a1" Name="A1" Type="long"/><Attr Uuid="a3" Name="A3"/></Class>
  <Class Uuid="c3" Name="C3"><Attr Uuid="a8" Name="A8"><Check Rule="x &gt; 0"/></Attr><Comment Text="kept"/></Class>
</Package>)"),
              0);
    const std::string outline = Outline(diff);
    EXPECT_EQ(outline.substr(0, outline.find('\n')),
              "Diff New=\"" + dir.file("new.xml") + "\" Old=\"" + dir.file("old.xml") + "\" PackageName=\"P\"");
    EXPECT_EQ(Body(),
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
              "      Modified New=\"Type='long'\" Old=\"Type='int'\"\n");
}

TEST_F(Comparison, OnlyNewAddsEverythingThenThePackageWithoutChildren) {
    ASSERT_GE(Run("", R"(<Package Name="P" Version="2"><Class Uuid="c1" Name="C1"/><Class Uuid="c2" Name="C2"/></Package>)"), 0);
    const std::string outline = Outline(diff);
    EXPECT_NE(outline.find("Old=\"\""), std::string::npos);
    EXPECT_EQ(Body(),
              "  Added\n"
              "    Class Name=\"C1\" Uuid=\"c1\"\n"
              "    Class Name=\"C2\" Uuid=\"c2\"\n"
              "    Package Name=\"P\" Version=\"2\"\n");
}

TEST_F(Comparison, OnlyOldDeletesEverythingThenThePackage) {
    const std::string old = dir.write("gone.xml", R"(<Package Name="P"><Class Uuid="c1" Name="C1"/></Package>)");
    ASSERT_GE(cQORMDApi::Process(ZULUnicodeString(old.c_str()), ZULUnicodeString(""), ZULUnicodeString(diff.c_str()), 0),
              0);
    EXPECT_EQ(Body(),
              "  Deleted\n"
              "    Class Name=\"C1\" Uuid=\"c1\"\n"
              "    Package Name=\"P\"\n");
}

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
}

TEST_F(Comparison, PackageNameComesFromTheOldThenTheNewAndIsRequired) {
    ASSERT_GE(Run(R"(<Package Name="A"><C Uuid="c" Name="c"/></Package>)",
                  R"(<Package Name="B"><C Uuid="c" Name="c"/></Package>)"),
              0);
    EXPECT_NE(Outline(diff).find("PackageName=\"A\""), std::string::npos);
    EXPECT_NE(Body().find("Modified New=\"Name='B'\" Old=\"Name='A'\""), std::string::npos);

    ASSERT_GE(Run(R"(<Package Name=""><C Uuid="c" Name="c"/></Package>)",
                  R"(<Package Name="B"><C Uuid="c" Name="c" X="1"/></Package>)"),
              0);
    EXPECT_NE(Outline(diff).find("PackageName=\"B\""), std::string::npos);

    std::remove(diff.c_str());
    TraceRecorder traces;
    const int status = Run(R"(<Package><C Uuid="c" Name="c"/></Package>)", R"(<Package><C Uuid="c" Name="d"/></Package>)");
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    EXPECT_NE(ErrorTextOf(status).find("0 length packName in cMetaDiffMgr::processDiff_Package"), std::string::npos);
    const int raised = traces.indexOf("0 length packName in cMetaDiffMgr::processDiff_Package");
    ASSERT_GE(raised, 0);
    EXPECT_EQ(traces.indexOf("failed processDiff_Package in cMetaDiffMgr::processDiff"), raised + 1);
    EXPECT_EQ(traces.indexOf("! Failed cMetaDiffMgr::ProcessDiff"), raised + 2);
    EXPECT_EQ(traces.indexOf("! Failed ProcessMetaDiff"), raised + 3);
    EXPECT_FALSE(FileExists(diff));
    EXPECT_GE(cQORMDApi::Terminate(), 0);  // the inputs of the failed run were still there
}

TEST_F(Comparison, UuidCaseIsIgnoredButFieldNamesAndValuesAreExact) {
    ASSERT_GE(Run(R"(<P Name="p"><C Uuid="abc" Name="c" Size="10" Note="x" Empty="" Gone=""><A Uuid="a" Name="a"/></C></P>)",
                  R"(<P Name="p"><C Uuid="ABC" Name="c" size="10" Note="X" Empty="y" New=""><A Uuid="A" Name="a "/></C></P>)"),
              0);
    EXPECT_EQ(Body(),
              "  Modified\n"
              "    A Uuid=\"A\"\n"
              "      Modified New=\"Name='a '\" Old=\"Name='a'\"\n"
              "      Modified New=\"Uuid='A'\" Old=\"Uuid='a'\"\n"
              "    C Uuid=\"ABC\"\n"
              "      Modified New=\"Empty='y'\" Old=\"Empty=''\"\n"
              "      Modified New=\"Note='X'\" Old=\"Note='x'\"\n"
              "      Modified New=\"Uuid='ABC'\" Old=\"Uuid='abc'\"\n"
              "      Deleted Gone=\"\" Size=\"10\"\n"
              "      Added New=\"\" size=\"10\"\n");
}

TEST_F(Comparison, ValuesWithQuotesAmpersandsAndNonAsciiTextPassUnchanged) {
    ASSERT_GE(Run(u8R"(<P Name="p"><C Uuid="c" Name="c" Doc="l'ancien &amp; &quot;vieux&quot;"/></P>)",
                  u8R"(<P Name="p"><C Uuid="c" Name="c" Doc="l'été &lt;neuf&gt; 中文"/></P>)"),
              0);
    EXPECT_EQ(Body(),
              "  Modified\n"
              "    C Uuid=\"C\"\n"
              u8"      Modified New=\"Doc='l'été <neuf> 中文'\" Old=\"Doc='l'ancien & \"vieux\"'\"\n");
}

TEST_F(Comparison, AnAttributeMovingBetweenClassesIsDeletedAndAdded) {
    ASSERT_GE(Run(R"(<P Name="p"><C Uuid="c1" Name="a"><A Uuid="m" Name="m"/></C><C Uuid="c2" Name="b"/></P>)",
                  R"(<P Name="p"><C Uuid="c1" Name="a"/><C Uuid="c2" Name="b"><A Uuid="m" Name="m"/></C></P>)"),
              0);
    EXPECT_EQ(Body(),
              "  Added\n"
              "    A Name=\"m\" ParentUuid=\"C2\" Uuid=\"m\"\n"
              "  Deleted\n"
              "    A Name=\"m\" ParentUuid=\"C1\" Uuid=\"m\"\n");
}

// Added and deleted entries are copies: text and mixed content exactly as
// written, attribute values with line ends and tabs, and the declarations of
// the prefixes their names use (a namespace-aware parser reads the diff).
TEST_F(Comparison, CopiesKeepTheirTextAndCarryTheirNamespaces) {
    ASSERT_GE(Run("<q:P xmlns:q=\"urn:q\" xmlns:r=\"urn:r\" Name=\"p\">\n"
                  "  <q:C Uuid=\"keep\" Name=\"k\" r:Size=\"1\"/>\n"
                  "  <q:C Uuid=\"gone\" Name=\"g\" Doc=\"two&#10;lines&#9;tab\">\n"
                  "    <Comment>Use <b>bold</b> <i>text</i>\n here</Comment>\n"
                  "    <q:A Uuid=\"a\" Name=\"a\"><Doc> <x/> <y/>tail </Doc></q:A>\n"
                  "  </q:C>\n</q:P>\n",
                  "<q:P xmlns:q=\"urn:q\" xmlns:r=\"urn:r\" Name=\"p\"><q:C Uuid=\"keep\" Name=\"k\" r:Size=\"2\"/></q:P>"),
              0);
    const std::string written = ReadDiff(diff);
    EXPECT_NE(written.find("<q:C Doc=\"two&#10;lines&#9;tab\" Name=\"g\" Uuid=\"gone\" xmlns:q=\"urn:q\">\n"
                           "      <Comment>Use <b>bold</b> <i>text</i>\n here</Comment>\n"
                           "      <q:A Name=\"a\" Uuid=\"a\">\n"
                           "        <Doc> <x/> <y/>tail </Doc>\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("<q:C Uuid=\"KEEP\" xmlns:q=\"urn:q\">\n      <Modified New=\"r:Size='2'\" Old=\"r:Size='1'\"/>"),
              std::string::npos)
        << written;
}

TEST_F(Comparison, SameInputsGiveByteIdenticalFiles) {
    const std::string oldXml = ReadFile(SourcePath("examples/old.xml"));
    const std::string newXml = ReadFile(SourcePath("examples/new.xml"));
    ASSERT_GE(Run(oldXml, newXml), 0);
    const std::string first = ReadFile(diff);
    ASSERT_GE(Run(oldXml, newXml), 0);
    EXPECT_EQ(ReadFile(diff), first);
    EXPECT_EQ(first.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
}

}  // namespace
