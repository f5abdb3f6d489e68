// Layout white space: the parser drops blank text beside elements while it
// reads, and must end with exactly the DOM that a plain parse gives once
// that text is removed afterwards; in mixed content every blank stays.
#include <gtest/gtest.h>

#include <string>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

namespace {

// One line per node: depth, type, name and value.
void Dump(const DOMNode* node, int depth, std::string& out) {
    out += std::to_string(depth) + " " + std::to_string(node->getNodeType()) + " " +
           DOMToZULUnicodeString(node->getNodeName()).ConvertToChar() + " [" +
           DOMToZULUnicodeString(node->getNodeValue()).ConvertToChar() + "]\n";
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        Dump(child, depth + 1, out);
}

bool IsBlank(const XMLCh* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text)).find_first_not_of(u" \t\r\n") ==
           std::u16string::npos;
}

// The rule, applied after the parse: in an element with element children and
// no other text (no text but blanks, no CDATA section), blank text nodes go.
void DropEverywhere(DOMNode* node) {
    bool hasElement = false, holdsText = false;
    for (DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        DropEverywhere(child);
        hasElement = hasElement || child->getNodeType() == DOMNode::ELEMENT_NODE;
        holdsText = holdsText || child->getNodeType() == DOMNode::CDATA_SECTION_NODE ||
                    (child->getNodeType() == DOMNode::TEXT_NODE && !IsBlank(child->getNodeValue()));
    }
    if (!hasElement || holdsText || node->getNodeType() != DOMNode::ELEMENT_NODE) return;
    for (DOMNode* child = node->getFirstChild(); child;) {
        DOMNode* next = child->getNextSibling();
        if (child->getNodeType() == DOMNode::TEXT_NODE && IsBlank(child->getNodeValue()))
            node->removeChild(child)->release();
        child = next;
    }
}

// The document as cDDLXMLParser reads it, and as a plain Xerces parse with the
// layout white space removed afterwards.
void ParseBothWays(const std::string& path, std::string& ours, std::string& reference) {
    ASSERT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    ASSERT_GE(cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document), 0);
    Dump(document->getDocumentElement(), 0, ours);

    XercesDOMParser plain;
    plain.setDoNamespaces(false);
    plain.setCreateEntityReferenceNodes(false);
    LocalFileInputSource source(ZULToDOMString(ZULUnicodeString(path.c_str())));
    plain.parse(source);
    ASSERT_EQ(plain.getErrorCount(), 0u);
    DropEverywhere(plain.getDocument());
    Dump(plain.getDocument()->getDocumentElement(), 0, reference);
    cDDLXMLParser::terminate();
}

TEST(LayoutWhitespace, ParsingDropsWhatTheWriterWouldAndKeepsText) {
    TempDir dir;
    const std::string path = dir.write("layout.xml",
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
                                       "</P>\n");
    std::string ours, reference;
    ParseBothWays(path, ours, reference);
    EXPECT_EQ(ours, reference);

    // And the text that is content stays, as written.
    EXPECT_NE(ours.find("2 3 #text [  \t ]"), std::string::npos);      // Blank: an element without elements
    EXPECT_NE(ours.find("2 3 #text [  A  ]"), std::string::npos);      // text led by a blank run
    EXPECT_NE(ours.find("2 3 #text [  x  ]"), std::string::npos);
    EXPECT_NE(ours.find("2 3 #text [  &]"), std::string::npos);        // trailing text beside elements
    // Blanks beside elements in mixed content, seen before the text was.
    EXPECT_NE(ours.find("1 1 Spaced []\n2 3 #text [ ]\n2 1 A []\n2 3 #text [ ]\n2 1 A []\n2 3 #text [x]\n2 1 A []\n"
                        "2 3 #text [ ]\n"),
              std::string::npos)
        << ours;
    EXPECT_NE(ours.find("2 3 #text [  ]\n2 8 #comment"), std::string::npos);  // a comment-only element
    EXPECT_EQ(ours.find("1 3 #text"), std::string::npos);              // nothing blank between classes
}

}  // namespace
