// SPDX-License-Identifier: Apache-2.0
// Property: for generated old/new document pairs, every change the
// generator made appears in the diff file, and nothing else does.
#include <random>

#include "QORMDTestSupport.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;  // document order

struct Element {
    std::string uuid;
    Fields fields;  // besides Uuid
};
struct Class {
    Element self;
    std::vector<Element> attribs;
};
struct Document {
    Element package;
    std::vector<Class> classes;
};

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string Tag(const std::string& tag, const Element& e, bool close) {
    std::string xml = "<" + tag + " Uuid=\"" + Escape(e.uuid) + "\"";
    for (const auto& [name, value] : e.fields) xml += " " + name + "=\"" + Escape(value) + "\"";
    return xml + (close ? "/>" : ">");
}

std::string ToXml(const Document& d) {
    std::string xml = Tag("Package", d.package, false) + "\n";
    for (const Class& c : d.classes) {
        xml += "  " + Tag("Class", c.self, false) + "<Comment Text=\"x\"/>\n";
        for (const Element& a : c.attribs) xml += "    " + Tag("Attr", a, true) + "\n";
        xml += "  </Class>\n  <Interface Uuid=\"i-" + c.self.uuid + "\" Name=\"ignored\"/>\n";
    }
    return xml + "</Package>\n";
}

// Makes random documents and changes, logging each change as a fact in the
// form the diff file is read back into.
class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    Document MakeOld() {
        Document d;
        d.package = {"pkg", {{"Name", "P"}, {"Version", "1"}}};
        const int classes = Pick(1, 12);
        for (int c = 0; c < classes; ++c) {
            Class cls{{"c" + std::to_string(next_++), MakeFields()}, {}};
            const int attribs = Pick(0, 5);
            for (int a = 0; a < attribs; ++a) cls.attribs.push_back({"a" + std::to_string(next_++), MakeFields()});
            d.classes.push_back(cls);
        }
        return d;
    }

    // A changed copy of old; the facts of every change go to facts.
    Document Change(const Document& old, std::set<std::string>& facts) {
        Document d = old;
        ChangeFields(d.package, facts);
        std::vector<Class> kept;
        for (Class& c : d.classes) {
            if (Chance(10)) {
                facts.insert("deleted Class " + c.self.uuid);
                continue;
            }
            ChangeFields(c.self, facts);
            std::vector<Element> attribs;
            for (Element& a : c.attribs) {
                if (Chance(10)) {
                    facts.insert("deleted Attr " + a.uuid + " parent " +
                                 UpperCase(old.classes[&c - d.classes.data()].self.uuid));
                    continue;
                }
                ChangeFields(a, facts);
                attribs.push_back(a);
            }
            if (Chance(15)) {
                Element added{"a" + std::to_string(next_++), MakeFields()};
                attribs.push_back(added);
                facts.insert("added Attr " + added.uuid + " parent " + UpperCase(c.self.uuid));
            }
            c.attribs = attribs;
            kept.push_back(c);
        }
        // Move an attribute between two kept classes.
        if (kept.size() >= 2 && !kept[0].attribs.empty() && Chance(50)) {
            Element moved = kept[0].attribs.back();
            kept[0].attribs.pop_back();
            kept[1].attribs.push_back(moved);
            facts.erase("added Attr " + moved.uuid + " parent " + UpperCase(kept[0].self.uuid));
            const std::string oldUuid = OldUuid(old, moved.uuid);
            if (!oldUuid.empty()) {
                // Its field changes no longer show: it is deleted here and added there.
                for (auto it = facts.begin(); it != facts.end();)
                    it = it->find(" " + UpperCase(moved.uuid) + " ") != std::string::npos ? facts.erase(it)
                                                                                          : std::next(it);
                facts.insert("deleted Attr " + oldUuid + " parent " + UpperCase(kept[0].self.uuid));
            }
            facts.insert("added Attr " + moved.uuid + " parent " + UpperCase(kept[1].self.uuid));
        }
        if (Chance(30)) {
            Class added{{"c" + std::to_string(next_++), MakeFields()}, {{"a" + std::to_string(next_++), MakeFields()}}};
            kept.push_back(added);
            facts.insert("added Class " + added.self.uuid);
        }
        d.classes = kept;
        return d;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }

    std::string Value() {
        static const char* const kValues[] = {"int", "long", "", "l'été", "a & b", "<x>", "\"q\"", u8"中文", "T "};
        return kValues[Pick(0, 8)];
    }

    Fields MakeFields() {
        Fields fields{{"Name", "n" + std::to_string(next_++)}};
        for (const char* name : {"Type", "Size", "Note", "Flag"})
            if (Chance(60)) fields.push_back({name, Value()});
        return fields;
    }

    // The attribute's Uuid as the old document wrote it; empty when it is new.
    static std::string OldUuid(const Document& old, const std::string& attribUuid) {
        for (const Class& c : old.classes)
            for (const Element& a : c.attribs)
                if (UpperCase(a.uuid) == UpperCase(attribUuid)) return a.uuid;
        return "";
    }

    // Changes, deletes and adds fields of e, or flips the case of its Uuid.
    void ChangeFields(Element& e, std::set<std::string>& facts) {
        const std::string key = UpperCase(e.uuid);
        if (Chance(10)) {
            const std::string flipped = UpperCase(e.uuid);
            if (flipped != e.uuid) {
                facts.insert("changed " + key + " Uuid '" + e.uuid + "' '" + flipped + "'");
                e.uuid = flipped;
            }
        }
        Fields fields;
        for (auto& [name, value] : e.fields) {
            if (name != "Name" && Chance(8)) {
                facts.insert("fielddel " + key + " " + name + " '" + value + "'");
                continue;
            }
            if (Chance(10)) {
                const std::string changed = value + "*";
                facts.insert("changed " + key + " " + name + " '" + value + "' '" + changed + "'");
                value = changed;
            }
            fields.push_back({name, value});
        }
        if (Chance(8)) {
            const std::string value = Value();
            fields.push_back({"Added" + std::to_string(next_++), value});
            facts.insert("fieldadd " + key + " " + fields.back().first + " '" + value + "'");
        }
        e.fields = fields;
    }

    std::mt19937 random_;
    int next_ = 0;
};

std::string Attr(const xercesc::DOMElement* e, const char16_t* name) { return Utf8(e->getAttribute(name)); }

// "Name='value'" -> "Name 'value'"
std::string Pair(const std::string& text) {
    const std::size_t split = text.find("='");
    return text.substr(0, split) + " " + text.substr(split + 1);
}

// Reads the diff file back into facts.
std::set<std::string> FactsOf(const std::string& path) {
    EXPECT_EQ(QORMDNamespaceError(path), "") << path;
    std::set<std::string> facts;
    const DOM_Document document = ParseFile(path);
    if (!document) return facts;
    const xercesc::DOMElement* root = document->getDocumentElement();
    for (auto* section = root->getFirstElementChild(); section; section = section->getNextElementSibling()) {
        const std::string kind = Utf8(section->getTagName());
        for (auto* entry = section->getFirstElementChild(); entry; entry = entry->getNextElementSibling()) {
            const std::string tag = Utf8(entry->getTagName());
            const std::string uuid = Attr(entry, u"Uuid");
            if (kind != "Modified") {
                if (tag == "Package") continue;  // only recorded when a whole side is missing
                std::string fact = (kind == "Added" ? "added " : "deleted ") + tag + " " + uuid;
                if (tag == "Attr") fact += " parent " + Attr(entry, u"ParentUuid");
                facts.insert(fact);
                continue;
            }
            for (auto* child = entry->getFirstElementChild(); child; child = child->getNextElementSibling()) {
                const std::string what = Utf8(child->getTagName());
                if (what == "Modified") {
                    const std::string oldPair = Pair(Attr(child, u"Old"));
                    const std::string newPair = Pair(Attr(child, u"New"));
                    facts.insert("changed " + uuid + " " + oldPair + " " + newPair.substr(newPair.find(' ') + 1));
                    continue;
                }
                const auto* fields = child->getAttributes();
                for (XMLSize_t i = 0; i < fields->getLength(); ++i)
                    facts.insert((what == "Deleted" ? "fielddel " : "fieldadd ") + uuid + " " +
                                 Utf8(fields->item(i)->getNodeName()) + " '" + Utf8(fields->item(i)->getNodeValue()) +
                                 "'");
            }
        }
    }
    return facts;
}

TEST(Property, EveryGeneratedChangeAndNothingElseIsInTheDiff) {
    TempDir dir;
    const std::string oldPath = dir.file("old.xml");
    const std::string newPath = dir.file("new.xml");
    const std::string diffPath = dir.file("diff.xml");
    int withChanges = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator generator(seed);
        const Document old = generator.MakeOld();
        std::set<std::string> expected;
        const Document changed = generator.Change(old, expected);
        dir.write("old.xml", ToXml(old));
        dir.write("new.xml", ToXml(changed));
        std::remove(diffPath.c_str());
        ASSERT_GE(ProcessFiles(oldPath, newPath, diffPath), 0);
        if (expected.empty()) {
            EXPECT_FALSE(FileExists(diffPath));
            continue;
        }
        ++withChanges;
        ASSERT_TRUE(FileExists(diffPath));
        EXPECT_EQ(FactsOf(diffPath), expected);
    }
    EXPECT_GT(withChanges, 100);
}

}  // namespace
