// Reading values without copies: attribute values straight from their text
// node, field comparison in the DOM, dictionary keys taken over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <xercesc/util/XMLString.hpp>

#include "QORMDMetaClass.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaField.h"
#include "QORMDMetaPackage.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULHashDico.h"

using namespace xercesc;

namespace {

std::string Utf8(const XMLCh* text) { return DOMToZULUnicodeString(text).ConvertToChar(); }

class ValueReading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GE(cDDLXMLParser::init(), 0); }
    void TearDown() override { cDDLXMLParser::terminate(); }

    DOM_Document Parse(const std::string& name, const std::string& xml) {
        DOM_Document document;
        EXPECT_GE(cDDLXMLParser::parseXMLFile(ZULUnicodeString(dir.write(name, xml).c_str()), document), 0);
        return document;
    }
    cQORMDMetaField* Field(cQORMDMetaPackage* package, const char* classKey, const char* name) {
        auto* c = static_cast<cQORMDMetaClass*>(package->GetClasses()->Locate(ZULUnicodeString(classKey)));
        return c ? static_cast<cQORMDMetaField*>(c->GetFields()->Locate(ZULUnicodeString(name))) : nullptr;
    }

    TempDir dir;
};

TEST_F(ValueReading, AttributeValuesReadAsDOMAttrGetValueGivesThem) {
    DOM_Document document = Parse("a.xml", "<P plain=\"Order_12\" empty=\"\" refs=\"a &amp; b &#233;&lt;\" "
                                           "wide=\"日本語 𝔘\" spaced=\"a\tb\nc\" quote='say \"x\"'/>");
    ASSERT_FALSE(document.isNull());
    DOMNamedNodeMap* attributes = document->getDocumentElement()->getAttributes();
    ASSERT_EQ(attributes->getLength(), 6u);
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        auto* attribute = static_cast<DOMAttr*>(attributes->item(i));
        EXPECT_EQ(Utf8(QORMUAttrValue(attribute)), Utf8(attribute->getValue())) << Utf8(attribute->getName());
    }
    auto value = [&](const char* name) {
        return Utf8(QORMUAttrValue(document->getDocumentElement()->getAttributeNode(ZULToDOMString(name))));
    };
    EXPECT_EQ(value("refs"), "a & b é<");
    EXPECT_EQ(value("spaced"), "a b c");  // attribute value normalisation
    EXPECT_EQ(value("empty"), "");
    EXPECT_EQ(QORMUAttrValue(nullptr), nullptr);

    // A value made of several nodes, as the DOM API can build it, is read whole.
    DOMAttr* built = document->createAttribute(ZULToDOMString("built"));
    built->appendChild(document->createTextNode(ZULToDOMString("first ")));
    built->appendChild(document->createTextNode(ZULToDOMString("second")));
    EXPECT_EQ(Utf8(QORMUAttrValue(built)), "first second");
    built->release();
}

TEST_F(ValueReading, FieldsCompareByExactValueAndAnEmptyOneIsTraced) {
    DOM_Document oldDoc = Parse("old.xml", R"(<P Name="p"><C Uuid="c1" Name="Order" Size="10" Type="int" )"
                                           R"(Note="" Text="Données"/></P>)");
    DOM_Document newDoc = Parse("new.xml", R"(<P Name="p"><C Uuid="C1" Name="order" Size="10" Type="int " )"
                                           R"(Note="" Text="Données"/></P>)");
    cMetaDiffDoc doc;
    cQORMDMetaPackage* oldPackage = doc.CreateOldPackage(oldDoc.share(oldDoc->getDocumentElement()));
    cQORMDMetaPackage* newPackage = doc.CreateNewPackage(newDoc.share(newDoc->getDocumentElement()));
    ASSERT_NE(oldPackage, nullptr);
    ASSERT_NE(newPackage, nullptr);

    struct Case {
        const char* field;
        bool same;
    };
    for (const Case& c : std::vector<Case>{{"Size", true}, {"Text", true}, {"Name", false}, {"Type", false}}) {
        cQORMDMetaField* oldField = Field(oldPackage, "C1", c.field);
        cQORMDMetaField* newField = Field(newPackage, "C1", c.field);
        ASSERT_TRUE(oldField && newField) << c.field;
        EXPECT_EQ(oldField->HasSameValue(*newField), c.same) << c.field;
        EXPECT_EQ(newField->HasSameValue(*oldField), c.same) << c.field;
    }
    TraceRecorder traces;
    EXPECT_TRUE(Field(oldPackage, "C1", "Note")->HasSameValue(*Field(newPackage, "C1", "Note")));
    EXPECT_FALSE(Field(oldPackage, "C1", "Note")->HasSameValue(*Field(newPackage, "C1", "Size")));
    EXPECT_EQ(traces.count("Field has no Value : Note"), 3);  // as GetValue traces every read of it
}

TEST(ZULHashDicoKeys, AMovedKeyIsTakenOverAndARepeatedOneLeftAsItWas) {
    ZULHashDico dico(10);
    dico.Reserve(3);  // fewer than will come: the dictionary still grows
    std::vector<std::string> texts;
    std::vector<int> values(40);
    for (int i = 0; i < 40; ++i) {
        texts.push_back("A-LONG-UPPER-CASED-UUID-" + std::to_string(i));
        ZULUnicodeString key(texts.back().c_str());
        ASSERT_EQ(dico.Insert(std::move(key), &values[i]), ZULHashDico::kInserted);
    }
    ZULUnicodeString repeated(texts[7].c_str());
    EXPECT_EQ(dico.Insert(std::move(repeated), &values[0]), ZULHashDico::kAlreadyPresent);
    EXPECT_STREQ(repeated.ConvertToChar(), texts[7].c_str());  // NOLINT: not taken, so still usable
    EXPECT_EQ(dico.Locate(ZULUnicodeString(texts[7].c_str())), &values[7]);

    ZULHashCodeIter it(dico);
    int position = 0;
    while (it++) {
        EXPECT_STREQ(it.ItemName().ConvertToChar(), texts[position].c_str());
        EXPECT_EQ(dico[it], &values[position]);
        ++position;
    }
    EXPECT_EQ(position, 40);
    dico.RemoveAll();
    EXPECT_EQ(dico.Insert(ZULUnicodeString("again"), &values[1]), ZULHashDico::kInserted);
    EXPECT_EQ(dico.Size(), 1);
}

}  // namespace
