// The diff writer and the entry builders under DOM failures: a failing
// call is traced and printed as GDInternalError_1, only its own piece of
// the document is missing, and the rest of the file is written.
#include <gtest/gtest.h>

#include "QORMDMetaClass.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffElem.h"
#include "QORMDMetaDiffField.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDiffMgr.h"
#include "QORMDMetaDiffSerializer.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDMetaField.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string oldName = dir.write("old.xml", R"(<P Name="p">
  <C Uuid="c1" Name="one" Size="1" Gone="g" Kept="k"/><C Uuid="c2" Name="two"/></P>)");
        const std::string newName = dir.write("new.xml", R"(<P Name="p">
  <C Uuid="c1" Name="one" Size="2" Kept="k" Extra="e"/><C Uuid="c3" Name="three"/></P>)");
        cMetaDiffInput::Init(ZULUnicodeString(oldName.c_str()), ZULUnicodeString(newName.c_str()),
                             ZULUnicodeString(diff.c_str()), 0);
        ASSERT_GE(cMetaDomMgr().processDom(doc), 0);
        ASSERT_GE(cMetaDiffMgr().processDiff(doc), 0);
    }
    void TearDown() override { cMetaDiffInput::Terminate(); }

    cQORMDMetaField* FieldOf(cQORMDMetaPackage* package, const char* classKey, const char* name) {
        auto* c = static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString(classKey)));
        return static_cast<cQORMDMetaField*>(c->GetFields()->Locate(ZULUnicodeString(name)));
    }

    TempDir dir;
    const std::string diff = dir.file("diff.xml");
    cMetaDiffDoc doc;
};

TEST_F(Writer, AFailingFieldDropsOnlyItsChildOfTheEntry) {
    cMetaDiffElem record(FieldOf(doc.GetOldPackage(), "C1", "Size")->GetOwner());
    record.AppendModModified(new cMetaDiffField(FieldOf(doc.GetOldPackage(), "C1", "Size"),
                                                FieldOf(doc.GetNewPackage(), "C1", "Size")));
    record.AppendModDeleted(new cMetaDiffField(FieldOf(doc.GetOldPackage(), "C1", "Gone")));
    record.AppendModDeleted(nullptr);
    record.AppendModAdded(new cMetaDiffField(FieldOf(doc.GetNewPackage(), "C1", "Extra")));
    record.AppendModAdded(new cMetaDiffField(nullptr));  // a field without a name cannot become an attribute

    TraceRecorder traces;
    PrintedErrors printed;
    DOM_Document document = cDDLXMLParser::createDocument();
    DOM_Node node;
    cMetaModified category;
    ASSERT_EQ(category.getDomNodeForMetaDiffElem(&record, document, node), 0);
    ASSERT_FALSE(node.isNull());
    auto* entry = static_cast<xercesc::DOMElement*>(node.get());
    EXPECT_STREQ(DOMToZULUnicodeString(entry->getTagName()).ConvertToChar(), "C");
    EXPECT_STREQ(DOMToZULUnicodeString(entry->getAttribute(u"Uuid")).ConvertToChar(), "C1");
    ASSERT_EQ(entry->getChildElementCount(), 2u);  // "Modified" and "Deleted", no "Added"
    EXPECT_STREQ(DOMToZULUnicodeString(entry->getFirstElementChild()->getAttribute(u"New")).ConvertToChar(),
                 "Size='2'");
    xercesc::DOMElement* deleted = entry->getLastElementChild();
    EXPECT_STREQ(DOMToZULUnicodeString(deleted->getTagName()).ConvertToChar(), "Deleted");
    EXPECT_STREQ(DOMToZULUnicodeString(deleted->getAttribute(u"Gone")).ConvertToChar(), "g");

    EXPECT_TRUE(traces.contains("NULL diffField in cMetaModified::CreateDomNode_ModDeleted"));
    const std::string guard = "! Failed DOM_Element::setAttribute() in cMetaModified::getDomNodeForMetaDiffElem :";
    EXPECT_TRUE(traces.contains(guard));
    ASSERT_EQ(printed.lines().size(), 1u);
    EXPECT_EQ(printed.lines()[0].rfind("Error GDInternalError_1: ", 0), 0u) << printed.lines()[0];
    EXPECT_NE(printed.lines()[0].find(guard + "\t!DOMException\n\tMessage : "), std::string::npos);
}

TEST_F(Writer, AnEntryThatCannotBeBuiltIsLeftOutAndTheFileIsStillWritten) {
    // An element without a tag: its entry cannot be created.
    cQORMDMetaPackage untagged{DOM_Element()};
    cQORMDMetaField orphan(DOM_Attr(), &untagged);
    doc.GetMetaDiff()->AppendModDeleted(&orphan);

    TraceRecorder traces;
    PrintedErrors printed;
    cMetaDiffSerializer writer;
    ASSERT_GE(writer.Serialize(&doc), 0);
    EXPECT_TRUE(traces.contains("! failed DOM_Document::createElement in cMetaModified::getDomNodeForMetaDiffElem :"));
    EXPECT_TRUE(traces.contains("! failed cMetaAdded::getDomNodeForMetaDiffElem"));
    EXPECT_EQ(printed.lines().size(), 1u);
    const std::string outline = Outline(diff);
    EXPECT_EQ(outline.substr(outline.find('\n') + 1),
              "  Added\n"
              "    C Name=\"three\" Uuid=\"c3\"\n"
              "  Deleted\n"
              "    C Name=\"two\" Uuid=\"c2\"\n"
              "  Modified\n"
              "    C Uuid=\"C1\"\n"
              "      Modified New=\"Size='2'\" Old=\"Size='1'\"\n"
              "      Deleted Gone=\"g\"\n"
              "      Added Extra=\"e\"\n");
}

TEST_F(Writer, AFailedFileWriteFailsTheRunAndLeavesNoFile) {
    cMetaDiffInput::Init(ZULUnicodeString(""), ZULUnicodeString("n.xml"),
                         ZULUnicodeString(dir.file("missing/folder/diff.xml").c_str()), 0);
    TraceRecorder traces;
    cMetaDiffSerializer writer;
    const int status = writer.Serialize(&doc);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "GDXMLWriteError_1");
    EXPECT_NE(ErrorTextOf(status).find("No such file or directory"), std::string::npos) << ErrorTextOf(status);
    EXPECT_TRUE(traces.contains("! failed cDDLXMLParser::writeXMLFile"));
    EXPECT_FALSE(FileExists(dir.file("missing")));
}

}  // namespace
