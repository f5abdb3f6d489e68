// The diff model: categories come with their first entry, field
// differences group per upper-cased Uuid, lists and their ownership.
#include <gtest/gtest.h>

#include "QORMDMetaClass.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffElem.h"
#include "QORMDMetaField.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

class DiffModel : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir.write("m.xml", R"(<P Name="p" Uuid="pkg">
  <C Uuid="abc" Name="lower" Size="1"/><C2 Uuid="xyz" Name="other"/></P>)");
        ASSERT_GE(cDDLXMLParser::init(), 0);
        DOM_Document document;
        ASSERT_GE(cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document), 0);
        package = doc.CreateOldPackage(document.share(document->getDocumentElement()));
        cDDLXMLParser::terminate();
        ASSERT_NE(package, nullptr);
    }
    cQORMDMetaField* Field(const char* classKey, const char* name) {
        auto* c = static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString(classKey)));
        return static_cast<cQORMDMetaField*>(c->GetFields()->Locate(ZULUnicodeString(name)));
    }

    TempDir dir;
    cMetaDiffDoc doc;
    cQORMDMetaPackage* package = nullptr;
};

TEST_F(DiffModel, CategoriesExistOnlyOnceTheyHaveAnEntry) {
    EXPECT_TRUE(doc.IsEmpty());  // creates the root
    cMetaDiff* root = doc.GetMetaDiff();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->getTagName().ConvertToChar(), "Diff");
    EXPECT_EQ(root->getAdded(), nullptr);

    root->AppendDeletedClass(static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString("XYZ"))));
    root->AppendDeletedPackage(package);
    EXPECT_FALSE(doc.IsEmpty());
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
}

TEST_F(DiffModel, FieldDifferencesGroupPerElementWhateverTheUuidsCase) {
    cMetaDiff* root = doc.GetMetaDiff();
    root->AppendModModified(Field("ABC", "Size"), Field("ABC", "Name"));
    root->AppendModAdded(Field("ABC", "Name"));
    root->AppendModDeleted(Field("XYZ", "Name"));
    root->AppendModDeleted(Field("ABC", "Uuid"));
    ASSERT_NE(root->getModified(), nullptr);

    ZULRawCollPV list(0);
    list.Append(nullptr);
    root->getModified()->getListMetaDiffElem(list);  // appends after what the list held
    ASSERT_EQ(list.Size(), 3);
    auto* abc = static_cast<cMetaDiffElem*>(list[2]);
    EXPECT_STREQ(abc->getUuid().ConvertToChar(), "ABC");
    EXPECT_STREQ(abc->getTagName().ConvertToChar(), "C");
    EXPECT_EQ(abc->getModModifiedList().Size(), 1);
    EXPECT_EQ(abc->getModAddedList().Size(), 1);
    EXPECT_EQ(abc->getModDeletedList().Size(), 1);
    EXPECT_STREQ(static_cast<cMetaDiffElem*>(list[3])->getUuid().ConvertToChar(), "XYZ");

    TraceRecorder traces;
    EXPECT_EQ(root->getModified()->AppendModAdded(nullptr), -1);
    EXPECT_EQ(root->AppendModModified(Field("ABC", "Size"), nullptr), 0);  // the root swallows the failure
    EXPECT_TRUE(traces.contains("NULL input in cMetaModified::AppendModAdded"));
    EXPECT_TRUE(traces.contains("NULL input in cMetaModified::AppendModModified"));
    EXPECT_EQ(abc->getModModifiedList().Size(), 1);
}

}  // namespace
