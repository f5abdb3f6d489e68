// Loading metadata documents into the model: the three levels, skipped
// tags, the Uuid and Name checks in their order, keys, field values, the
// loader's old/new/neither cases and the lifetime of the loaded DOM.
#include <gtest/gtest.h>

#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDMetaField.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

// Parses xml from a real file and builds the old package of doc from it;
// the parser is terminated before returning, as in a run.
cQORMDMetaPackage* Load(cMetaDiffDoc& doc, const std::string& xml) {
    TempDir dir;
    const std::string path = dir.write("doc.xml", xml);
    EXPECT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    EXPECT_GE(cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document), 0);
    cQORMDMetaPackage* package = doc.CreateOldPackage(document.share(document->getDocumentElement()));
    cDDLXMLParser::terminate();
    return package;
}

std::string Value(cQORMDMetaElem* elem, const char* field) {
    ZULUnicodeString value;
    EXPECT_GE(elem->GetFieldValue(ZULUnicodeString(field), value), 0);
    return value.ConvertToChar();
}

cQORMDMetaClass* ClassOf(cQORMDMetaPackage* package, const char* key) {
    return static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString(key)));
}

TEST(Loading, ReadsThreeLevelsAndSkipsWhatTheFormatDiscards) {
    TraceRecorder traces;
    cMetaDiffDoc doc;
    cQORMDMetaPackage* package = Load(doc, R"(<Pkg Name="P" Owner="me">
  text <!-- a comment --> <?pi x?>
  <Comment Uuid="x1" Name="c"/><KIBComment/>
  <Interface Uuid="i1" Name="I"/><Enum Uuid="e1" Name="E"/>
  <Enumerator Uuid="cls-as-enumerator" Name="Odd"/>
  <Class Uuid="c1" Name="C1" Table="T1">
    <Attribute Uuid="a1" Name="A1" Type="int"><Detail Deep="yes"/></Attribute>
    <Comment/><KIBComment/>
    <InterfaceImplementation Uuid="ii" Name="II"/><Enumerator Uuid="en" Name="EN"/>
    <Interface Uuid="attr-as-interface" Name="AI"/>
  </Class>
</Pkg>)");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->GetLevel(), 0);
    EXPECT_EQ(package->GetParent(), nullptr);
    EXPECT_EQ(Value(package, "Owner"), "me");
    EXPECT_EQ(package->GetClasses()->Size(), 2);
    ASSERT_NE(ClassOf(package, "CLS-AS-ENUMERATOR"), nullptr);

    cQORMDMetaClass* c1 = ClassOf(package, "C1");
    ASSERT_NE(c1, nullptr);
    EXPECT_EQ(c1->GetParent(), package);
    EXPECT_EQ(c1->GetLevel(), 1);
    EXPECT_EQ(c1->GetFields()->Size(), 3);
    EXPECT_EQ(c1->GetAttribs()->Size(), 2);
    auto* a1 = static_cast<cQORMDMetaAttrib*>(c1->GetAttribs()->Locate(ZULUnicodeString("A1")));
    ASSERT_NE(a1, nullptr);
    EXPECT_EQ(a1->GetLevel(), 2);
    EXPECT_EQ(a1->GetParent(), c1);
    EXPECT_EQ(Value(a1, "Type"), "int");
    EXPECT_EQ(a1->GetFields()->Size(), 3);  // the Detail child is not read
    EXPECT_NE(c1->GetAttribs()->Locate(ZULUnicodeString("ATTR-AS-INTERFACE")), nullptr);

    EXPECT_EQ(traces.count(" <Interface> or <Enum> is discarded"), 2);
    EXPECT_EQ(traces.count(" <InterfaceImplementation> or <Enumerator> is discarded"), 2);
}

TEST(Loading, PackageWithoutClassesIsEmptyAndNullElementLoadsEmpty) {
    cMetaDiffDoc doc;
    cQORMDMetaPackage* package = Load(doc, R"(<Pkg Name="P"><Comment/><Interface/><Enum/></Pkg>)");
    ASSERT_NE(package, nullptr);
    EXPECT_TRUE(package->IsEmpty());

    cMetaDiffDoc nothing;
    cQORMDMetaPackage* empty = nothing.CreateNewPackage(DOM_Element());
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_EQ(empty->GetFields()->Size(), 0);
}

TEST(Loading, MissingOrEmptyUuidAndNameFailWithTheirLevelsTrace) {
    struct Case {
        const char* xml;
        const char* trace;
    } const cases[] = {
        {R"(<P Name="p"><C Name="c"/></P>)", "Level2 Elem (Class level) has no Uuid attribute"},
        {R"(<P Name="p"><C Uuid="" Name="c"/></P>)", "Level2 Elem (Class level) has no Uuid attribute"},
        {R"(<P Name="p"><C Uuid="u"/></P>)", "Level2 Elem (Class level) has no Name attribute"},
        {R"(<P Name="p"><C Uuid="u" Name=""/></P>)", "Level2 Elem (Class level) has no Name attribute"},
        {R"(<P Name="p"><C Uuid="u" Name="c"><A Name="a"/></C></P>)",
         "Level3 Elem (Attrib level) has no Uuid attribute"},
        {R"(<P Name="p"><C Uuid="u" Name="c"><A Uuid="v" Name=""/></C></P>)",
         "Level3 Elem (Attrib level) has no Name attribute"},
        // The child's own init runs first, and the Uuid is checked before the Name.
        {R"(<P Name="p"><C><A Name="a"/></C></P>)", "Level3 Elem (Attrib level) has no Uuid attribute"},
        {R"(<P Name="p"><C/></P>)", "Level2 Elem (Class level) has no Uuid attribute"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        TraceRecorder traces;
        cMetaDiffDoc doc;
        EXPECT_EQ(Load(doc, c.xml), nullptr);
        EXPECT_EQ(doc.GetOldPackage(), nullptr);
        ASSERT_GE(traces.indexOf(c.trace), 0);
        EXPECT_EQ(traces.indexOf("cMetaDiffDoc::CreateOldPackage -- package didn't initialize"),
                  traces.indexOf(c.trace) + 1);
        EXPECT_FALSE(traces.contains("Level2 Elem (Class level) has no Uuid attribute") &&
                     traces.contains("Level3 Elem (Attrib level) has no Uuid attribute"));
    }
}

TEST(Loading, UuidKeysIgnoreLetterCaseAndTheFirstDuplicateStays) {
    TraceRecorder traces;
    cMetaDiffDoc doc;
    cQORMDMetaPackage* package = Load(doc, R"(<P Name="p">
  <C Uuid="a1b2" Name="first" uuid="lower-case-is-a-field"/>
  <C Uuid="A1B2" Name="second"/>
  <C Uuid="éa" Name="accented"><A Uuid="x" Name="one"/><A Uuid="X" Name="two"/></C>
</P>)");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->GetClasses()->Size(), 2);
    cQORMDMetaClass* kept = ClassOf(package, "A1B2");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(Value(kept, "Name"), "first");
    EXPECT_STREQ(kept->GetUuid().ConvertToChar(), "A1B2");
    EXPECT_EQ(Value(kept, "uuid"), "lower-case-is-a-field");
    EXPECT_TRUE(traces.contains(
        "Level2 Elem (Class level) repeats the Uuid of an earlier class and is discarded; Uuid : A1B2"));

    cQORMDMetaClass* accented = ClassOf(package, "ÉA");
    ASSERT_NE(accented, nullptr);
    EXPECT_EQ(accented->GetAttribs()->Size(), 1);
    EXPECT_EQ(Value(static_cast<cQORMDMetaElem*>(accented->GetAttribs()->Locate(ZULUnicodeString("X"))), "Name"),
              "one");
}

TEST(Loading, FieldValuesKeepNonAsciiTextAndEmptyValuesAreTraced) {
    TraceRecorder traces;
    cMetaDiffDoc doc;
    cQORMDMetaPackage* package = Load(doc, u8R"(<P Name="Données" Note="l'été &amp; 中文 &#x1F600;" Blank=""/>)");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(Value(package, "Name"), u8"Données");
    EXPECT_EQ(Value(package, "Note"), u8"l'été & 中文 😀");

    ZULUnicodeString untouched("kept");
    EXPECT_GE(package->GetFieldValue(ZULUnicodeString("Missing"), untouched), 0);
    EXPECT_STREQ(untouched.ConvertToChar(), "kept");
    EXPECT_TRUE(traces.contains("NULL pMetaField in cQORMDMetaElem::GetFieldValue"));

    EXPECT_EQ(Value(package, "Blank"), "");
    EXPECT_TRUE(traces.contains("Field has no Value : Blank"));
}

class Loader : public ::testing::Test {
protected:
    void TearDown() override { cMetaDiffInput::Terminate(); }

    // processDom with the given old and new file names.
    int Run(cMetaDiffDoc& doc, const std::string& oldName, const std::string& newName) {
        cMetaDiffInput::Init(ZULUnicodeString(oldName.c_str()), ZULUnicodeString(newName.c_str()),
                             ZULUnicodeString("unused.xml"), 0);
        return cMetaDomMgr().processDom(doc);
    }

    TempDir dir;
    const std::string valid = dir.write("valid.xml", R"(<P Name="p"><C Uuid="c" Name="n"/></P>)");
    const std::string broken = dir.write("broken.xml", "<P Name='p'><C></P>");
    const std::string faulty = dir.write("faulty.xml", R"(<P Name="p"><C Name="no uuid"/></P>)");
};

TEST_F(Loader, AnOldFileThatDoesNotParseStopsBeforeTheNewOne) {
    TraceRecorder traces;
    PrintedErrors printed;
    cMetaDiffDoc doc;
    const int status = Run(doc, broken, valid);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDFileError_1");
    EXPECT_NE(ErrorTextOf(status).find(broken), std::string::npos);
    EXPECT_TRUE(traces.contains("failed in parsing meta file " + broken));
    EXPECT_EQ(doc.GetOldPackage(), nullptr);
    EXPECT_EQ(doc.GetNewPackage(), nullptr);
    EXPECT_TRUE(printed.lines().empty());  // the library prints nothing: the reason is in the error
    EXPECT_NE(ErrorTextOf(status).find("line 1"), std::string::npos) << ErrorTextOf(status);
}

TEST_F(Loader, ANewFileThatFailsComesAfterTheCompleteOldPackage) {
    TraceRecorder traces;
    cMetaDiffDoc doc;
    const int status = Run(doc, valid, faulty);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    EXPECT_NE(doc.GetOldPackage(), nullptr);
    EXPECT_EQ(doc.GetNewPackage(), nullptr);
    const int level = traces.indexOf("Level2 Elem (Class level) has no Uuid attribute");
    ASSERT_GE(level, 0);
    EXPECT_EQ(traces.indexOf("cMetaDiffDoc::CreateNewPackage -- package didn't initialize"), level + 1);
    EXPECT_EQ(traces.indexOf("failed processDom_Doc for newPackage"), level + 2);
    EXPECT_EQ(ErrorTextOf(status), "The run stopped (failed processDom_Doc for newPackage): the class <C Name=\"no uuid\"> "
                                   "on line 1 of \"" + faulty + "\" has no Uuid (or an empty one)");
}

}  // namespace
