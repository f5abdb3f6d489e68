// SPDX-License-Identifier: Apache-2.0
// The merge's dense logic, table by table, on real parses: where each node of
// a version stands in its bytes (cMergeSource), where the sources' bytes
// land in a spliced file (cMergeSplicer::Landed), and how conflicts' hunks
// become blocks of markers (cMergeMarkers::Mark).
#include <algorithm>
#include <optional>

#include "MergeSupport.h"
#include "QORMMergeEngine.h"
#include "QORMMergeMarkers.h"
#include "QORMMergeText.h"

using namespace xercesc;

namespace {

// bytes parsed by the project's parser and mapped; null document when it does not parse.
struct Mapped {
    DOM_Document document;
    cMergeSource source;
    bool built = false;

    Mapped(const std::string& parsed, const std::string& taken) {
        cDDLXMLParser::init();
        const bool ok = cDDLXMLParser::parseXMLBytes(parsed, ZULUnicodeString("table.xml"), document) >= 0;
        cDDLXMLParser::terminate();
        source.Take(taken);
        built = ok && source.Build(document.get());
    }
    // The node at path: the index of a child at each level, from the document.
    const DOMNode* At(const std::vector<int>& path) const {
        const DOMNode* node = document.get();
        for (const int index : path) node = node ? node->getChildNodes()->item(static_cast<XMLSize_t>(index)) : nullptr;
        return node;
    }
};

TEST(MergeTables, SourceMapsEachNodeToItsBytes) {
    const std::string package =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c -->\n<P a=\"1\">\n  <C b='>'/>\n"
        "  <C b=\"3\">\n    <A>x &amp; y</A>\n  </C>\n</P>\n";
    const std::string mixed = "<P>\n  notes <C/> more\n  <D></D> <?pi data?><![CDATA[<x>]]>\n</P>";
    struct Row {
        const char* what;
        const std::string& document;
        std::vector<int> path;
        std::string layout, text, closing;  // closing: the blank run before an end tag
    };
    const std::vector<Row> rows = {
        {"a comment before the package", package, {0}, "\n", "<!-- c -->", ""},
        {"the package", package, {1}, "\n", package.substr(53, package.size() - 54), "\n"},
        {"a '>' in a quoted value", package, {1, 0}, "\n  ", "<C b='>'/>", ""},
        {"an element with children", package, {1, 1}, "\n  ", "<C b=\"3\">\n    <A>x &amp; y</A>\n  </C>", "\n  "},
        {"an element two levels down", package, {1, 1, 0}, "\n    ", "<A>x &amp; y</A>", ""},
        {"a text with a reference", package, {1, 1, 0, 0}, "", "x &amp; y", ""},
        {"text beside elements", mixed, {0, 0}, "", "\n  notes ", ""},
        {"an element after text: no blank run of its own", mixed, {0, 1}, "", "<C/>", ""},
        {"text that ends in blanks", mixed, {0, 2}, "", " more\n  ", ""},
        {"an end tag right after the start tag", mixed, {0, 3}, "", "<D></D>", ""},
        {"blank text goes with the node after it", mixed, {0, 5}, " ", "<?pi data?>", ""},
        {"a CDATA section", mixed, {0, 6}, "", "<![CDATA[<x>]]>", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Mapped mapped(row.document, row.document);
        ASSERT_TRUE(mapped.built);
        const DOMNode* node = mapped.At(row.path);
        ASSERT_NE(node, nullptr);
        const cMergeSource::Span* span =
            node->getNodeType() == DOMNode::ELEMENT_NODE ? mapped.source.Content(node) : mapped.source.Find(node);
        ASSERT_NE(span, nullptr);
        EXPECT_EQ(mapped.source.Text(span->layout, span->begin), row.layout);
        EXPECT_EQ(mapped.source.Text(span->begin, span->end), row.text);
        EXPECT_EQ(mapped.source.Text(span->closing, span->endTag), row.closing);
    }
    EXPECT_EQ(Mapped(package, package).source.PrologEnd(), 41u);

    // Bytes that cannot be spliced: the merge writes its document anew.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><P/>")) utf16 += {c, '\0'};
    const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><P a=\"\xE9\"/>";
    EXPECT_FALSE(Mapped(utf16, utf16).built) << "UTF-16";
    EXPECT_FALSE(Mapped(package, mixed).built) << "other bytes than those parsed";
    EXPECT_FALSE(Mapped(package, package + "<!-- after -->").built) << "bytes after the document";
    EXPECT_TRUE(Mapped(latin, latin).built) << "ISO-8859-1";
}

TEST(MergeTables, SplicedBytesLandWhereTheyWereCopied) {
    // Ours (CRLF) renames the table; theirs (LF) changes the owner, deletes
    // Id and adds an attribute after Old.
    const std::string base =
        "<P Name=\"p\" Uuid=\"p\">\n  <C Name=\"c\" Uuid=\"c\" Table=\"T\" Owner=\"sales\">\n"
        "    <A Name=\"Id\" Uuid=\"a\"/>\n    <A Name=\"Old\" Uuid=\"o\"/>\n  </C>\n</P>\n";
    std::string ours = Edit(base, {{"\"T\"", "\"CLIENT\""}});
    for (std::size_t at = 0; (at = ours.find('\n', at)) != std::string::npos; at += 2) ours.insert(at, "\r");
    const std::string theirs = Edit(base, {{"sales", "crm"},
                                           {"    <A Name=\"Id\" Uuid=\"a\"/>\n", ""},
                                           {"\"o\"/>\n", "\"o\"/>\n    <A Name=\"Fax\" Uuid=\"f\"/>\n"}});
    TempDir dir;
    cDDLXMLParser::init();
    cMergeDocument versions[3];
    ASSERT_GE(versions[0].Load(ZULUnicodeString(dir.write("base.xml", base).c_str())), 0);
    ASSERT_GE(versions[1].Load(ZULUnicodeString(dir.write("ours.xml", ours).c_str())), 0);
    ASSERT_GE(versions[2].Load(ZULUnicodeString(dir.write("theirs.xml", theirs).c_str())), 0);
    cDDLXMLParser::terminate();
    cMergeText text;
    text.Read(&versions[0], versions[1], versions[2]);
    cMergeConflictLog log;
    cMergeEdits edits;
    cMergeEngine engine(log, edits);
    engine.UseSources(text.Base(), text.Ours(), text.Theirs());
    ASSERT_EQ(engine.Merge(&versions[0], versions[1], versions[2]), cMergeEngine::kBuilt);
    cMergeSplicer splicer(*text.Ours(), *text.Theirs(), edits);
    std::string out;
    ASSERT_TRUE(splicer.Render(engine.Result().get(), out));
    EXPECT_EQ(out, Edit(ours, {{"sales", "crm"},
                               {"    <A Name=\"Id\" Uuid=\"a\"/>\r\n", ""},
                               {"\"o\"/>\r\n", "\"o\"/>\r\n    <A Name=\"Fax\" Uuid=\"f\"/>\r\n"}}));

    struct Row {
        const char* what;
        bool inOurs;
        std::string before;  // the offset is just after the first occurrence of before
        bool end;
        std::optional<std::string> context;  // what follows (what precedes, for an end) where it landed
    };
    const std::vector<Row> rows = {
        {"ours' field theirs did not change", true, "Uuid=\"c\" ", false, "Table=\"CLIENT\""},
        {"ours' value theirs replaced", true, "Owner=\"", false, std::nullopt},
        {"the end of what precedes that value", true, "Owner=\"", true, "Owner=\""},
        {"theirs' value in its place", false, "Owner=\"", false, "crm\">\r\n"},
        {"ours' deleted element", true, "\"sales\">\r\n    ", false, std::nullopt},
        {"theirs' added element, after the CR its line end gets", false, "Uuid=\"o\"/>", false,
         "\n    <A Name=\"Fax\""},
        {"the end of theirs' added element", false, "Uuid=\"f\"/>", true, "\"f\"/>"},
        {"ours' offset after Old, as the end of Old", true, "Uuid=\"o\"/>", true, "Uuid=\"o\"/>"},
        {"the same offset as a beginning: after theirs' element", true, "Uuid=\"o\"/>", false, "\r\n  </C>"},
        {"the end of ours' file", true, "</P>\r\n", true, "</P>\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const cMergeSource& source = row.inOurs ? *text.Ours() : *text.Theirs();
        const std::size_t found = source.Bytes().find(row.before);
        ASSERT_NE(found, std::string::npos);
        const auto at = static_cast<cMergeSource::Offset>(found + row.before.size());
        std::size_t position = 0;
        const bool landed = splicer.Landed(source, at, position, row.end);
        EXPECT_EQ(landed, row.context.has_value());
        if (!landed || !row.context) continue;
        const std::size_t size = row.context->size();
        EXPECT_EQ(row.end ? out.substr(position - std::min(position, size), size) : out.substr(position, size),
                  *row.context);
    }
}

TEST(MergeTables, HunksBecomeBlocksOfMarkers) {
    using Hunk = cMergeMarkers::Hunk;
    const std::string text = "a\nb X c Y d\ne Z f\ng\n";
    auto at = [&](const char* what) { return text.find(what); };
    struct Row {
        const char* what;
        std::string merged;
        std::vector<Hunk> hunks;
        std::string marked;
    };
    const std::string block = "<<<<<<< ours\n%o||||||| base\n%b=======\n%t>>>>>>> theirs\n";
    auto blockOf = [&](const std::string& ours, const std::string& base, const std::string& theirs) {
        return Edit(block, {{"%o", ours}, {"%b", base}, {"%t", theirs}});
    };
    const std::vector<Row> rows = {
        {"one hunk in its line",
         text,
         {{at("X"), at("X") + 1, "x", "xx"}},
         "a\n" + blockOf("b X c Y d\n", "b x c Y d\n", "b xx c Y d\n") + "e Z f\ng\n"},
        {"two hunks on one line share a block",
         text,
         {{at("Y"), at("Y") + 1, "y", "yy"}, {at("X"), at("X") + 1, "x", "xx"}},
         "a\n" + blockOf("b X c Y d\n", "b x c y d\n", "b xx c yy d\n") + "e Z f\ng\n"},
        {"hunks on adjacent lines get a block each",
         text,
         {{at("X"), at("X") + 1, "x", "xx"}, {at("Z"), at("Z") + 1, "z", "zz"}},
         "a\n" + blockOf("b X c Y d\n", "b x c Y d\n", "b xx c Y d\n") + blockOf("e Z f\n", "e z f\n", "e zz f\n") +
             "g\n"},
        {"an insertion between lines: an empty ours' section",
         text,
         {{at("g"), at("g"), "base line\n", "their line\n"}},
         "a\nb X c Y d\ne Z f\n" + blockOf("", "base line\n", "their line\n") + "g\n"},
        {"a hunk within another is shown once",
         text,
         {{at("b"), at("d") + 2, "B\n", "T\n"}, {at("X"), at("X") + 1, "x", "xx"}},
         "a\n" + blockOf("b X c Y d\n", "B\n", "T\n") + "e Z f\ng\n"},
        {"an element no base holds has no lines in the base's section",
         text,
         {{at("X"), at("X") + 1, "", "xx", true}, {at("Z"), at("Z") + 1, "z", "zz"}},
         "a\n" + blockOf("b X c Y d\n", "", "b xx c Y d\n") + blockOf("e Z f\n", "e z f\n", "e zz f\n") + "g\n"},
        {"a baseless hunk leaves the other's lines in the base's section",
         text,
         {{at("d") + 2, at("d") + 2, "", "new line\n", true}, {at("Z"), at("Z") + 1, "z", "zz"}},
         "a\nb X c Y d\n" + blockOf("", "", "new line\n") + blockOf("e Z f\n", "e z f\n", "e zz f\n") + "g\n"},
        {"CRLF: marker lines and the others' sections end with CRLF",
         "a\r\nb X c\r\n",
         {{5, 6, "x\nx", "t"}},
         "a\r\n<<<<<<< ours\r\nb X c\r\n||||||| base\r\nb x\r\nx c\r\n=======\r\nb t c\r\n>>>>>>> theirs\r\n"},
        {"a last line without a line end gets one in its sections",
         "a\nb X",
         {{4, 5, "x", "t"}},
         "a\n" + blockOf("b X\n", "b x\n", "b t\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(cMergeMarkers::Mark(row.merged, row.hunks, {}), row.marked);
    }
}

}  // namespace
