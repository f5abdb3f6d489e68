// Reading attribute values without copies, straight from their text node.
#include <gtest/gtest.h>

#include <string>

#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"

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

}  // namespace
