// SPDX-License-Identifier: Apache-2.0
// Nothing the diff document reports is missing from the report: the real
// QORMetaDiff writes the diff document of a pair, the real QORMetaReport its
// markdown report, and the report read back gives the same entries, entry by
// entry (an attribute that moved counts as the deleted and the added entry
// the diff has for it).
#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "ReportSupport.h"

namespace {

// The content of the code span that text starts with (after blanks); rest gets what follows it.
std::string CodeSpan(const std::string& text, std::string* rest = nullptr) {
    const std::size_t open = text.find_first_not_of(' ');
    EXPECT_TRUE(open != std::string::npos && text[open] == '`') << "no code span in: " << text;
    if (open == std::string::npos || text[open] != '`') return {};
    const std::size_t fence = text.find_first_not_of('`', open) - open;
    std::size_t close = open + fence;
    // The closing run has exactly the fence's length.
    for (;;) {
        close = text.find(std::string(fence, '`'), close);
        if (close == std::string::npos) {
            ADD_FAILURE() << "unclosed code span in: " << text;
            return {};
        }
        const std::size_t runEnd = text.find_first_not_of('`', close);
        const std::size_t run = (runEnd == std::string::npos ? text.size() : runEnd) - close;
        if (run == fence) break;
        close += run;
    }
    std::string content = text.substr(open + fence, close - open - fence);
    if (content.size() >= 2 && content.front() == ' ' && content.back() == ' ' &&
        content.find_first_not_of(' ') != std::string::npos)
        content = content.substr(1, content.size() - 2);
    if (rest) *rest = text.substr(close + fence);
    return content;
}

// The entries of a diff document, read from the diff document itself and
// read back from a markdown report, each as one line in the same canonical
// form, so that they compare entry by entry:
//   Added|Deleted parent=<ParentUuid> <tag>{field=value;...}[children...]
//   Modified <tag> <UUID> ~name=old>new -name=old +name=new (sorted)

using Fields = std::vector<std::pair<std::string, std::string>>;

struct Tree {
    std::string tag;
    Fields fields;
    std::vector<Tree> children;

    std::string Text() const {
        Fields sorted = fields;
        std::sort(sorted.begin(), sorted.end());
        std::string text = tag + "{";
        for (const auto& [name, value] : sorted) text += name + "=" + value + ";";
        text += "}[";
        for (const Tree& child : children) text += child.Text();
        return text + "]";
    }
};

std::string Modified(const std::string& tag, const std::string& uuid, std::vector<std::string> records) {
    std::sort(records.begin(), records.end());
    std::string line = "Modified " + tag + " " + uuid;
    for (const std::string& record : records) line += " " + record;
    return line;
}

Tree OutlineOf(const xercesc::DOMElement* element, bool dropParent) {
    Tree outline{Utf8(element->getTagName()), {}, {}};
    const xercesc::DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        const std::string name = Utf8(attributes->item(i)->getNodeName());
        if (!(dropParent && name == "ParentUuid"))
            outline.fields.emplace_back(name, Utf8(attributes->item(i)->getNodeValue()));
    }
    for (auto* child = element->getFirstElementChild(); child; child = child->getNextElementSibling())
        outline.children.push_back(OutlineOf(child, false));
    return outline;
}

// name='value' of a Modified child's Old or New.
std::pair<std::string, std::string> Assignment(const std::string& text) {
    const std::size_t equals = text.find("='");
    return {text.substr(0, equals), text.substr(equals + 2, text.size() - equals - 3)};
}

// One heading of the markdown report with what follows it.
struct Element {
    std::string tag, name, uuid, status;
    bool copyTable = false;  // field | value: every field on the element's own side
    struct Row {
        std::string name;
        bool hasOld = false, hasNew = false;
        std::string oldValue, newValue;
    };
    std::vector<Row> rows;
    std::vector<Tree> below;
    std::vector<Element> items;

    bool Is(const char* kind) const { return status.rfind(kind, 0) == 0; }
    // The fields on one side.
    Fields Side(bool old) const {
        Fields fields;
        for (const Row& row : rows) {
            if (copyTable)
                fields.emplace_back(row.name, row.hasOld ? row.oldValue : row.newValue);
            else if (old ? row.hasOld : row.hasNew)
                fields.emplace_back(row.name, old ? row.oldValue : row.newValue);
        }
        return fields;
    }
};

std::string PlainText(const std::string& text, std::size_t& at) {
    std::string plain;
    for (; at < text.size() && text[at] != ' ' && text[at] != ':'; ++at) {
        if (text[at] == '\\') ++at;
        plain += text[at];
    }
    return plain;
}

// "## Tag `name` (`uuid`): status"; false for headings of no element.
bool ReadHeading(const std::string& line, Element& element) {
    std::size_t at = line.find(' ') + 1;
    element.tag = PlainText(line, at);
    std::string rest = line.substr(at);
    if (rest.rfind(" `", 0) == 0) element.name = Unshown(CodeSpan(rest, &rest));
    if (rest.rfind(" (`", 0) == 0) {
        element.uuid = Unshown(CodeSpan(rest.substr(2), &rest));
        rest = rest.substr(1);  // ")"
    }
    if (rest.rfind(": ", 0) != 0) return false;
    element.status = rest.substr(2);
    return true;
}

std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells(1);
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|')
            cells.back() += row[++i];
        else if (row[i] == '|')
            cells.emplace_back();
        else
            cells.back() += row[i];
    }
    cells.pop_back();
    return cells;
}

std::string CellValue(const std::string& cell, bool& present) {
    present = cell.find('`') != std::string::npos;
    return present ? Unshown(CodeSpan(cell)) : std::string();
}

// "- element `T`" with "  - field `N`: `v`" and deeper elements below it.
void ReadBullet(const std::string& line, std::vector<Tree*>& open, Element& element) {
    const std::size_t depth = line.find('-') / 2;
    std::string rest = line.substr(line.find('-') + 2);
    if (rest.rfind("field ", 0) == 0) {
        std::string value;
        const std::string name = CodeSpan(rest.substr(6), &value);
        open.at(depth - 1)->fields.emplace_back(name, Unshown(CodeSpan(value.substr(1))));
        return;
    }
    if (rest.rfind("element ", 0) != 0) return;  // texts, comments, instructions: not entries' fields
    open.resize(depth);
    std::vector<Tree>& siblings = depth == 0 ? element.below : open.back()->children;
    siblings.push_back({CodeSpan(rest.substr(8)), {}, {}});
    open.push_back(&siblings.back());
}

std::vector<Element> ReadMarkdown(const std::string& markdown) {
    std::vector<Element> sections;
    Element* current = nullptr;
    std::vector<Tree*> open;
    std::istringstream lines(markdown);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("## ", 0) == 0 || line.rfind("### ", 0) == 0) {
            Element element;
            current = nullptr;
            open.clear();
            if (!ReadHeading(line, element)) continue;
            std::vector<Element>& list = line[2] == '#' ? sections.back().items : sections;
            list.push_back(element);
            current = &list.back();
        } else if (current && line.rfind("|", 0) == 0) {
            const std::vector<std::string> cells = Cells(line);
            if (cells[0].find('`') == std::string::npos) {
                current->copyTable = cells.size() == 2;
                continue;  // the head and its rule
            }
            Element::Row row;
            row.name = CodeSpan(cells[0]);
            row.oldValue = CellValue(cells[1], row.hasOld);
            if (cells.size() > 2) row.newValue = CellValue(cells[2], row.hasNew);
            current->rows.push_back(row);
        } else if (current && line.find("- ") != std::string::npos && line.find_first_not_of(' ') == line.find("- ")) {
            ReadBullet(line, open, *current);
        }
    }
    return sections;
}

std::vector<std::string> Records(const Element& element) {
    std::vector<std::string> records;
    for (const Element::Row& row : element.rows) {
        if (row.hasOld && row.hasNew)
            records.push_back("~" + row.name + "=" + row.oldValue + ">" + row.newValue);
        else if (row.hasOld)
            records.push_back("-" + row.name + "=" + row.oldValue);
        else
            records.push_back("+" + row.name + "=" + row.newValue);
    }
    return records;
}

class Reader {
public:
    explicit Reader(std::vector<Element> sections) : sections_(std::move(sections)) {
        for (const Element& section : sections_)
            for (const Element& item : section.items)
                if (item.Is("moved from")) arrivals_[UpperCase(item.uuid)] = &item;
    }

    std::multiset<std::string> Entries() const {
        std::multiset<std::string> entries;
        for (const Element& section : sections_) {
            const bool copy = section.Is("added") || section.Is("deleted");
            if (copy)
                entries.insert(Whole(section) + "parent= " + OutlineOf(section).Text());
            else if (section.Is("changed"))
                entries.insert(Modified(section.tag, UpperCase(section.uuid), Records(section)));
            if (copy) continue;
            for (const Element& item : section.items) {
                if (item.Is("changed"))
                    entries.insert(Modified(item.tag, UpperCase(item.uuid), Records(item)));
                else
                    entries.insert(Whole(item) + "parent=" + UpperCase(section.uuid) + " " + OutlineOf(item).Text());
            }
        }
        return entries;
    }

private:
    static std::string Whole(const Element& element) {
        return element.Is("added") || element.Is("moved from") ? "Added " : "Deleted ";
    }

    Tree OutlineOf(const Element& element) const {
        Tree outline{element.tag, element.Side(element.Is("deleted")), element.below};
        if (element.Is("moved to")) {
            const auto arrival = arrivals_.find(UpperCase(element.uuid));
            EXPECT_NE(arrival, arrivals_.end()) << "no arrival for the move of " << element.uuid;
            if (arrival != arrivals_.end()) outline.fields = arrival->second->Side(true);
        }
        for (const Element& item : element.items) outline.children.push_back(OutlineOf(item));
        return outline;
    }

    std::vector<Element> sections_;
    std::map<std::string, const Element*> arrivals_;
};

std::multiset<std::string> DiffEntries(const std::string& diffPath) {
    std::multiset<std::string> entries;
    const DOM_Document document = ParseFile(diffPath);
    if (!document) return entries;
    for (auto* section = document->getDocumentElement()->getFirstElementChild(); section;
         section = section->getNextElementSibling()) {
        const std::string kind = Utf8(section->getTagName());
        for (auto* entry = section->getFirstElementChild(); entry; entry = entry->getNextElementSibling()) {
            if (kind != "Modified") {
                entries.insert(kind + " parent=" + Utf8(entry->getAttribute(u"ParentUuid")) + " " +
                               OutlineOf(entry, true).Text());
                continue;
            }
            std::vector<std::string> records;
            for (auto* child = entry->getFirstElementChild(); child; child = child->getNextElementSibling()) {
                const std::string what = Utf8(child->getTagName());
                if (what == "Modified") {
                    const auto [name, oldValue] = Assignment(Utf8(child->getAttribute(u"Old")));
                    records.push_back("~" + name + "=" + oldValue + ">" +
                                      Assignment(Utf8(child->getAttribute(u"New"))).second);
                    continue;
                }
                for (const auto& [name, value] : OutlineOf(child, false).fields)
                    records.push_back((what == "Deleted" ? "-" : "+") + name + "=" + value);
            }
            entries.insert(Modified(Utf8(entry->getTagName()), Utf8(entry->getAttribute(u"Uuid")), records));
        }
    }
    return entries;
}

std::multiset<std::string> MarkdownEntries(const std::string& markdown) {
    return Reader(ReadMarkdown(markdown)).Entries();
}

class ReportEntries : public ::testing::Test {
protected:
    // The markdown report of the pair (oldPath empty: -New only; newPath empty: -Deleted).
    std::string ExpectSameEntries(const std::string& oldPath, const std::string& newPath) {
        std::vector<std::string> diffArgs{"-Diff", dir.file("diff.xml")};
        std::vector<std::string> reportArgs{"-Format", "markdown"};
        for (auto* args : {&diffArgs, &reportArgs}) {
            if (newPath.empty()) args->insert(args->end(), {"-Deleted", oldPath});
            if (!newPath.empty()) args->insert(args->end(), {"-New", newPath});
            if (!newPath.empty() && !oldPath.empty()) args->insert(args->end(), {"-Old", oldPath});
        }
        const HostRun diff = RunHost(diffArgs);
        EXPECT_EQ(diff.exitStatus, 0) << diff.err;
        const HostRun report = RunReport(reportArgs);
        EXPECT_EQ(report.exitStatus, 0) << report.err;

        const std::multiset<std::string> expected = DiffEntries(dir.file("diff.xml"));
        const std::multiset<std::string> actual = MarkdownEntries(report.out);
        EXPECT_FALSE(expected.empty());
        std::vector<std::string> missing, extra;
        std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                            std::back_inserter(missing));
        std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
        EXPECT_TRUE(missing.empty()) << missing.size() << " entries missing from the report, first: " << missing[0];
        EXPECT_TRUE(extra.empty()) << extra.size() << " entries the diff does not have, first: " << extra[0];
        return report.out;
    }

    TempDir dir;
};

TEST_F(ReportEntries, GeneratedPairsEntryByEntry) {
    for (int seed : {1, 2}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GeneratePair(dir, 0.3, 0.2, seed);
        const std::string markdown = ExpectSameEntries(dir.file("old.xml"), dir.file("new.xml"));
        // The generator moves and renames attributes and classes: the report says so.
        for (const char* said :
             {": moved from ", ": moved to ", "\n## Moves\n", ", renamed from `", "| letter case only |"})
            EXPECT_THAT(markdown, HasSubstr(said));
    }
}

TEST_F(ReportEntries, OneSidedRuns) {
    ExpectSameEntries("", SourcePath("examples/new.xml"));
    ExpectSameEntries(SourcePath("examples/old.xml"), "");
}

TEST_F(ReportEntries, CopiedContentAndValuesThatMarkdownWouldChange) {
    // Values with quotes, &, <, line breaks, blanks at either end, backticks
    // and pipes; an added class whose attribute holds elements of its own and
    // a comment; an attribute that moves and changes a field on the way.
    const std::string oldPath = dir.write("old.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="P" Uuid="p">
  <Class Name="A" Uuid="c-a" Note="`code` | pipe">
    <Attribute Name="Moving" Uuid="a-moving" Size="10" Gone="x"/>
    <Attribute Name="Odd" Uuid="a-odd" V1="plain" V2="  padded " V3="a&#10;b" V4="&lt;/script&gt; &amp; &quot;q&quot;"/>
  </Class>
  <Class Name="B" Uuid="c-b"/>
</Package>
)");
    const std::string newPath = dir.write("new.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="P" Uuid="p">
  <Class Name="A" Uuid="c-a" Note="``two`` || pipes ` ">
    <Attribute Name="Odd" Uuid="a-odd" V1="Größe 日本 &#9;tab" V2="padded" V3="a&#13;&#10;b" V4="``"/>
  </Class>
  <Class Name="B" Uuid="c-b">
    <Attribute Name="Moving" Uuid="A-MOVING" Size="12" Came="y"/>
  </Class>
  <Class Name="C" Uuid="c-c">
    <Attribute Name="Deep" Uuid="a-deep"><Enumerator Name="One" Value="1"><Tag Text="&lt;b&gt;"/></Enumerator><!-- note --></Attribute>
    <KIBComment Text="skipped by the comparison, copied with the class"/>
  </Class>
</Package>
)");
    const std::string markdown = ExpectSameEntries(oldPath, newPath);
    EXPECT_THAT(markdown,
                HasSubstr("## Moves\n\n- Attribute `Moving` (`A-MOVING`): from Class `A` (`c-a`) to Class `B` "
                          "(`c-b`)"));
}

}  // namespace
