// SPDX-License-Identifier: Apache-2.0
// The diff model and its writer, on a pair loaded and compared by the real
// loader and comparison. The model: categories come with their first entry,
// field differences group per upper-cased Uuid, lists and their ownership.
// The writer and the entry builders under DOM failures: a failing call is
// traced and printed as GDInternalError_1, only its own piece of the
// document is missing, and the rest of the file is written.
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

namespace {

cQORMDMetaClass* ClassOf(cQORMDMetaPackage* package, const char* key) {
    return static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString(key)));
}

cQORMDMetaField* FieldOf(cQORMDMetaPackage* package, const char* classKey, const char* name) {
    return static_cast<cQORMDMetaField*>(ClassOf(package, classKey)->GetFields()->Locate(ZULUnicodeString(name)));
}

class DiffModel : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string oldName = dir.write("old.xml", R"(<P Name="p" Uuid="pkg">
  <C Uuid="c1" Name="one" Size="1" Gone="g" Kept="k"/><C Uuid="c2" Name="two"/></P>)");
        const std::string newName = dir.write("new.xml", R"(<P Name="p" Uuid="pkg">
  <C Uuid="c1" Name="one" Size="2" Kept="k" Extra="e"/><C Uuid="c3" Name="three"/></P>)");
        cMetaDiffInput::Init(ZULUnicodeString(oldName.c_str()), ZULUnicodeString(newName.c_str()),
                             ZULUnicodeString(diff.c_str()), 0);
        ASSERT_GE(cMetaDomMgr().processDom(doc), 0);
        ASSERT_GE(cMetaDiffMgr().processDiff(doc), 0);
        old = doc.GetOldPackage();
    }
    void TearDown() override { cMetaDiffInput::Terminate(); }

    TempDir dir;
    const std::string diff = dir.file("diff.xml");
    cMetaDiffDoc doc;
    cQORMDMetaPackage* old = nullptr;
};

// Entries of a root of its own, on the loaded elements.
TEST_F(DiffModel, CategoriesComeWithTheirFirstEntryAndFieldsGroupPerElement) {
    cMetaDiffDoc fresh;
    EXPECT_TRUE(fresh.IsEmpty());  // creates the root
    cMetaDiff* root = fresh.GetMetaDiff();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->getTagName().ConvertToChar(), "Diff");
    EXPECT_EQ(root->getAdded(), nullptr);

    root->AppendDeletedClass(ClassOf(old, "C2"));
    root->AppendDeletedPackage(old);
    EXPECT_FALSE(fresh.IsEmpty());
    ASSERT_NE(root->getDeleted(), nullptr);
    EXPECT_EQ(root->getAdded(), nullptr);
    EXPECT_EQ(root->getModified(), nullptr);

    ZULRawCollPV list(0);
    list.Append(nullptr);
    root->getDeleted()->getListMetaDiffElem(list);  // replaces what the list held
    ASSERT_EQ(list.Size(), 2);
    auto* first = static_cast<cMetaDiffElem*>(list[1]);
    EXPECT_EQ(first->getLevel(), 1);
    EXPECT_STREQ(first->getParentUuid().ConvertToChar(), "PKG");

    TraceRecorder traces;
    EXPECT_STREQ(static_cast<cMetaDiffElem*>(list[2])->getParentUuid().ConvertToChar(), "");
    EXPECT_TRUE(traces.contains("NULL getParent for metaElem in cMetaDiffElem::getParentUuid"));

    // An entry without a source element cannot be copied: no node, a trace.
    cMetaDiffElem sourceless(nullptr);
    DOM_Document document = cDDLXMLParser::createDocument();
    DOM_Node node;
    EXPECT_EQ(root->getDeleted()->getDomNodeForMetaDiffElem(&sourceless, document, node), -1);
    EXPECT_EQ(root->getDeleted()->getDomNodeForMetaDiffElem(nullptr, document, node), -1);
    EXPECT_TRUE(node.isNull());
    EXPECT_EQ(traces.count("NULL input cMetaDiffElem in cMetaDeleted::getDomNodeForMetaDiffElem"), 2);

    // Field differences group per element, whatever the case of its Uuid.
    root->AppendModModified(FieldOf(old, "C1", "Size"), FieldOf(old, "C1", "Name"));
    root->AppendModAdded(FieldOf(old, "C1", "Name"));
    root->AppendModDeleted(FieldOf(old, "C2", "Name"));
    root->AppendModDeleted(FieldOf(old, "C1", "Uuid"));
    ASSERT_NE(root->getModified(), nullptr);

    list.RemoveAll();
    list.Append(nullptr);
    root->getModified()->getListMetaDiffElem(list);  // appends after what the list held
    ASSERT_EQ(list.Size(), 3);
    auto* c1 = static_cast<cMetaDiffElem*>(list[2]);
    EXPECT_STREQ(c1->getUuid().ConvertToChar(), "C1");
    EXPECT_STREQ(c1->getTagName().ConvertToChar(), "C");
    EXPECT_EQ(c1->getModModifiedList().Size(), 1);
    EXPECT_EQ(c1->getModAddedList().Size(), 1);
    EXPECT_EQ(c1->getModDeletedList().Size(), 1);
    EXPECT_STREQ(static_cast<cMetaDiffElem*>(list[3])->getUuid().ConvertToChar(), "C2");

    EXPECT_EQ(root->getModified()->AppendModAdded(nullptr), -1);
    EXPECT_EQ(root->AppendModModified(FieldOf(old, "C1", "Size"), nullptr), 0);  // the root swallows the failure
    EXPECT_TRUE(traces.contains("NULL input in cMetaModified::AppendModAdded"));
    EXPECT_TRUE(traces.contains("NULL input in cMetaModified::AppendModModified"));
    EXPECT_EQ(c1->getModModifiedList().Size(), 1);
}

TEST_F(DiffModel, AFailingFieldDropsOnlyItsChildOfTheEntry) {
    cMetaDiffElem record(FieldOf(old, "C1", "Size")->GetOwner());
    record.AppendModModified(
        new cMetaDiffField(FieldOf(old, "C1", "Size"), FieldOf(doc.GetNewPackage(), "C1", "Size")));
    record.AppendModDeleted(new cMetaDiffField(FieldOf(old, "C1", "Gone")));
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
    EXPECT_THAT(printed.lines()[0], StartsWith("Error GDInternalError_1: "));
    // Printed on one line: the tabs and the line end of the message escaped.
    EXPECT_THAT(printed.lines()[0], HasSubstr(guard + "\\t!DOMException\\n\\tMessage : "));
}

TEST_F(DiffModel, AnEntryThatCannotBeBuiltIsLeftOutAndTheFileIsStillWritten) {
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

}  // namespace
