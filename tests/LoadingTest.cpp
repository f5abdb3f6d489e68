// SPDX-License-Identifier: Apache-2.0
// Loading metadata documents into the model: the three levels, skipped
// tags, the Uuid and Name checks in their order, keys, field values, the
// loader's old/new/neither cases and the lifetime of the loaded DOM; and the
// layout white space the parser drops while it reads.
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>

#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiffApi.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDMetaField.h"
#include "QORMDTestSupport.h"

using xercesc::DOMNode;

namespace {

// Parses xml from a real file and builds the old package of doc from it;
// the parser is terminated before, the document gone after.
cQORMDMetaPackage* Load(cMetaDiffDoc& doc, const std::string& xml) {
    TempDir dir;
    DOM_Document document = ParseFile(dir.write("doc.xml", xml));
    return document ? doc.CreateOldPackage(document.share(document->getDocumentElement())) : nullptr;
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

    // Without classes (skipped ones only) a package is empty, and so is one of no element.
    cMetaDiffDoc classless, nothing;
    package = Load(classless, R"(<Pkg Name="P"><Comment/><Interface/><Enum/></Pkg>)");
    ASSERT_NE(package, nullptr);
    EXPECT_TRUE(package->IsEmpty());
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
    EXPECT_TRUE(traces.contains(
        "Level3 Elem (Attrib level) repeats the Uuid of an earlier attribute and is discarded; Uuid : X"));

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
    // The faulty class's start tag begins on line 4 and ends on line 6.
    const std::string faulty =
        dir.write("faulty.xml",
                  "<?xml version=\"1.0\"?>\n<!-- c -->\n<P Name=\"p\"><C Uuid=\"ok\" Name=\"ok\"/>\n"
                  "  <C Size=\"1\"\n     Name=\"no uuid\"\n  />\n</P>\n");
};

// An old file that does not parse stops before the new one is read, with
// the reason in the error and nothing printed; a new file that fails comes
// after the complete old package.
TEST_F(Loader, AFailingFileStopsTheLoadWhereItFails) {
    TraceRecorder traces;
    PrintedErrors printed;
    cMetaDiffDoc brokenOld;
    int status = Run(brokenOld, broken, valid);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDFileError_1");
    EXPECT_THAT(ErrorTextOf(status), HasSubstr(broken));
    EXPECT_THAT(ErrorTextOf(status), HasSubstr("line 1"));
    EXPECT_TRUE(traces.contains("failed in parsing meta file " + broken));
    EXPECT_EQ(brokenOld.GetOldPackage(), nullptr);
    EXPECT_EQ(brokenOld.GetNewPackage(), nullptr);
    EXPECT_TRUE(printed.lines().empty());  // the library prints nothing: the reason is in the error

    cMetaDiffDoc faultyNew;
    status = Run(faultyNew, valid, faulty);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    EXPECT_NE(faultyNew.GetOldPackage(), nullptr);
    EXPECT_EQ(faultyNew.GetNewPackage(), nullptr);
    const int level = traces.indexOf("Level2 Elem (Class level) has no Uuid attribute");
    ASSERT_GE(level, 0);
    EXPECT_EQ(traces.indexOf("cMetaDiffDoc::CreateNewPackage -- package didn't initialize"), level + 1);
    EXPECT_EQ(traces.indexOf("failed processDom_Doc for newPackage"), level + 2);
    EXPECT_EQ(ErrorTextOf(status),
              "The run stopped (failed processDom_Doc for newPackage: the class <C Name=\"no uuid\"> "
              "on line 4 of \"" +
                  faulty + "\" has no Uuid (or an empty one))");
}

// Every error a failed run hands over has one parameter, which holds all
// that differs from one failure to the next: the file with the parser's
// reason, the trace text with the place, the file that could not be written.
TEST_F(Loader, EachErrorHasOneParameter) {
    const auto parameters = [](int status) {
        const ZULError* error = ZULError::ZULGetLastError(status, nullptr);
        return error ? error->GetParameters() : std::vector<ZULUnicodeString>();
    };
    const std::string diff = dir.file("d.xml");
    const struct {
        int status;
        std::string parameter;
    } failures[] = {
        {ProcessFiles(broken, valid, diff),
         "\"" + broken + "\" could not be read: line 1, column 18: expected end of tag 'C'"},
        {ProcessFiles(valid, faulty, diff),
         "failed processDom_Doc for newPackage: the class <C Name=\"no uuid\"> on line 4 of \"" + faulty +
             "\" has no Uuid (or an empty one)"},
        {ProcessFiles("", "", diff), "Both old and New Metadata not available"},
        {ProcessFiles("", dir.write("unnamed.xml", R"(<P><C Uuid="c" Name="n"/></P>)"), diff),
         "0 length packName in cMetaDiffMgr::processDiff_Package"},
        {ProcessFiles("", valid, dir.file("missing/d.xml")),
         "\"" + dir.file("missing/d.xml") + "\" could not be written: cannot create a file in folder " +
             dir.file("missing") + ": No such file or directory"},
    };
    for (const auto& failure : failures) {
        EXPECT_LT(failure.status, 0);
        const std::vector<ZULUnicodeString> got = parameters(failure.status);
        ASSERT_EQ(got.size(), 1u) << failure.parameter;
        EXPECT_STREQ(got[0].ConvertToChar(), failure.parameter.c_str());
    }
    cQORMDApi::Terminate();
}

// Layout white space: the parser drops blank text beside elements while it
// reads, and must end with exactly the DOM that a plain parse gives once
// that text is removed afterwards; in mixed content every blank stays.

// One line per node: depth, type, name and value.
void Dump(const DOMNode* node, int depth, std::string& out) {
    out += std::to_string(depth) + " " + std::to_string(node->getNodeType()) + " " + Utf8(node->getNodeName()) + " [" +
           Utf8(node->getNodeValue()) + "]\n";
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        Dump(child, depth + 1, out);
}

bool IsBlank(const XMLCh* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text)).find_first_not_of(u" \t\r\n") ==
           std::u16string::npos;
}

// The rule, applied after the parse: an element holds text when it has CDATA
// or a text other than blanks with a line end, or any text under
// xml:space="preserve"; in an element with element children that holds no
// text and is below no element that does, blank text nodes go.
void DropEverywhere(DOMNode* node, bool preserve = false, bool mixed = false) {
    if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
        const std::string space = Utf8(static_cast<xercesc::DOMElement*>(node)->getAttribute(u"xml:space"));
        if (!space.empty()) preserve = space == "preserve";
    }
    bool hasElement = false;
    for (DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        const std::string text = Utf8(child->getNodeValue());
        hasElement = hasElement || child->getNodeType() == DOMNode::ELEMENT_NODE;
        mixed = mixed || child->getNodeType() == DOMNode::CDATA_SECTION_NODE ||
                (child->getNodeType() == DOMNode::TEXT_NODE &&
                 (preserve || !IsBlank(child->getNodeValue()) || text.find_first_of("\r\n") == std::string::npos));
    }
    for (DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        DropEverywhere(child, preserve, mixed);
    if (!hasElement || mixed || node->getNodeType() != DOMNode::ELEMENT_NODE) return;
    for (DOMNode* child = node->getFirstChild(); child;) {
        DOMNode* next = child->getNextSibling();
        if (child->getNodeType() == DOMNode::TEXT_NODE) node->removeChild(child)->release();
        child = next;
    }
}

// The document as cDDLXMLParser reads it, and as a plain Xerces parse with the
// layout white space removed afterwards.
void ParseBothWays(const std::string& path, std::string& ours, std::string& reference) {
    const DOM_Document document = ParseFile(path);  // holds the Xerces runtime for the plain parse
    ASSERT_TRUE(document);
    Dump(document->getDocumentElement(), 0, ours);

    xercesc::XercesDOMParser plain;
    plain.setDoNamespaces(false);
    plain.setCreateEntityReferenceNodes(false);
    xercesc::LocalFileInputSource source(ZULToDOMString(ZULUnicodeString(path.c_str())));
    plain.parse(source);
    ASSERT_EQ(plain.getErrorCount(), 0u);
    DropEverywhere(plain.getDocument());
    Dump(plain.getDocument()->getDocumentElement(), 0, reference);
}

TEST(LayoutWhitespace, ParsingDropsWhatTheWriterWouldAndKeepsText) {
    TempDir dir;
    const std::string path =
        dir.write("layout.xml",
                  "<P Name=\"p\">\n"
                  "  <C Uuid=\"c\" Name=\"c\">\n"
                  "    <A Uuid=\"a\" Name=\"a\"/>\n"
                  "    <!-- between -->\n"
                  "    <?pi data?>\n"
                  "    <A Uuid=\"b\" Name=\"b\"/>\n"
                  "  </C>\n"
                  "  <Blank>  \t </Blank>\n"
                  "  <Mixed>  &#65;  <A/>  x  <A/>  &amp;</Mixed>\n"
                  "  <Spaced> <A/> <A/>x<A/> </Spaced>\n"
                  "  <Data>  <![CDATA[ ]]>  <A/>\r\n  </Data>\n"
                  "  <OnlyComment>  <!-- c -->  </OnlyComment>\n"
                  "  <Deep><D1>\n  <D2>\n    <D3>  </D3>\n  </D2>\n</D1></Deep>\n"
                  "  <Pre xml:space=\"preserve\">\n <A/>\n <In xml:space=\"default\">\n<A/>\n</In>\n</Pre>\n"
                  "  <Line> <A/> <A/>\n</Line>\n"
                  "  <Later><In>\n<A/>\n<!-- c -->\n</In>\n<In2><A/>\n</In2>tail</Later>\n"
                  "  <Early>text<In>\n<A/>\n</In></Early>\n"
                  "</P>\n");
    std::string ours, reference;
    ParseBothWays(path, ours, reference);
    EXPECT_EQ(ours, reference);

    // And the text that is content stays, as written.
    EXPECT_THAT(ours, HasSubstr("2 3 #text [  \t ]"));  // Blank: an element without elements
    EXPECT_THAT(ours, HasSubstr("2 3 #text [  A  ]"));  // text led by a blank run
    EXPECT_THAT(ours, HasSubstr("2 3 #text [  x  ]"));
    EXPECT_THAT(ours, HasSubstr("2 3 #text [  &]"));  // trailing text beside elements
    // Blanks beside elements in mixed content, seen before the text was.
    EXPECT_THAT(ours, HasSubstr("1 1 Spaced []\n2 3 #text [ ]\n2 1 A []\n2 3 #text [ ]\n2 1 A []\n2 3 #text [x]\n"
                                "2 1 A []\n2 3 #text [ ]\n"));
    EXPECT_THAT(ours, HasSubstr("2 3 #text [  ]\n2 8 #comment"));  // a comment-only element
    EXPECT_THAT(ours, Not(HasSubstr("1 3 #text")));                // nothing blank between classes
    EXPECT_THAT(ours, HasSubstr("1 1 Later []\n2 1 In []\n3 3 #text [\n]\n3 1 A []\n"));  // its text came later
}

}  // namespace
