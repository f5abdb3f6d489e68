// SPDX-License-Identifier: Apache-2.0
// Generated triples: each class of a base model gets a scenario of changes
// on ours and theirs. Disjoint scenarios must merge cleanly with both change
// sets in the result (element by element, either way round); overlapping
// ones must give exactly their conflicts, with ours' side in the result.
// Triples made of small text edits of one base must merge into exactly the
// text both edit sets give, byte for byte, and read as the merge's model.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

#include "MergeSupport.h"
#include "QORMMSpliceCheck.h"

namespace {

struct Element {
    std::string tag, uuid;
    std::vector<std::pair<std::string, std::string>> fields;  // in document order
    std::vector<Element> children;

    std::string* Field(const std::string& name) {
        for (auto& field : fields)
            if (field.first == name) return &field.second;
        return nullptr;
    }
    void Erase(const std::string& name) {
        fields.erase(std::remove_if(fields.begin(), fields.end(), [&](const auto& f) { return f.first == name; }),
                     fields.end());
    }
    Element* Child(const std::string& id) {
        for (Element& child : children)
            if (child.uuid == id) return &child;
        return nullptr;
    }
    bool EraseChild(const std::string& id) {
        const std::size_t before = children.size();
        children.erase(std::remove_if(children.begin(), children.end(), [&](const Element& c) { return c.uuid == id; }),
                       children.end());
        return children.size() != before;
    }
    std::string Render(int depth) const {
        std::string out(static_cast<std::size_t>(depth) * 2, ' ');
        out += "<" + tag;
        for (const auto& [name, value] : fields) out += " " + name + "=\"" + value + "\"";
        if (children.empty()) return out + "/>\n";
        out += ">\n";
        for (const Element& child : children) out += child.Render(depth + 1);
        return out + std::string(static_cast<std::size_t>(depth) * 2, ' ') + "</" + tag + ">\n";
    }
};

using Change = std::function<void(Element& package)>;

Element Make(const std::string& tag, const std::string& uuid, int fields) {
    Element element{tag, uuid, {{"Name", "N" + uuid}, {"Uuid", uuid}}, {}};
    for (int i = 1; i <= fields; ++i) element.fields.push_back({"F" + std::to_string(i), "v" + std::to_string(i)});
    return element;
}

// Changes of the field of the attribute (attribute empty: of the class itself).
Change SetField(const std::string& cls, const std::string& attribute, const std::string& field,
                const std::string& value) {
    return [=](Element& p) {
        Element* c = p.Child(cls);
        Element* e = c && !attribute.empty() ? c->Child(attribute) : c;
        if (!e) return;
        if (std::string* v = e->Field(field))
            *v = value;
        else
            e->fields.push_back({field, value});
    };
}
Change EraseField(const std::string& cls, const std::string& attribute, const std::string& field) {
    return [=](Element& p) {
        Element* c = p.Child(cls);
        Element* e = c && !attribute.empty() ? c->Child(attribute) : c;
        if (e) e->Erase(field);
    };
}
Change EraseClass(const std::string& cls) {
    return [=](Element& p) { p.EraseChild(cls); };
}
Change EraseAttribute(const std::string& cls, const std::string& attribute) {
    return [=](Element& p) {
        if (Element* c = p.Child(cls)) c->EraseChild(attribute);
    };
}
Change AddAttribute(const std::string& cls, const std::string& attribute) {
    return [=](Element& p) {
        if (Element* c = p.Child(cls)) c->children.push_back(Make("Attribute", attribute, 2));
    };
}
Change AddClass(const std::string& cls) {
    return [=](Element& p) {
        Element c = Make("Class", cls, 2);
        c.children.push_back(Make("Attribute", cls + "-a", 2));
        p.children.push_back(c);
    };
}
Change MoveAttribute(const std::string& from, const std::string& to, const std::string& attribute) {
    return [=](Element& p) {
        Element* source = p.Child(from);
        Element* target = p.Child(to);
        Element* moved = source ? source->Child(attribute) : nullptr;
        if (!moved || !target) return;
        const Element copy = *moved;
        source->EraseChild(attribute);
        target->children.push_back(copy);
    };
}

struct Triple {
    Element base;
    std::vector<Change> ours, theirs, expected;
    std::vector<std::string> conflicts;  // "Kind UUID Field", Uuid upper-cased

    static Element Apply(Element model, const std::vector<Change>& changes) {
        for (const Change& change : changes) change(model);
        return model;
    }
};

Element BaseModel(int classes) {
    Element package{"Package", "pkg", {{"Name", "P"}, {"Uuid", "pkg"}}, {}};
    for (int i = 0; i < classes; ++i) {
        Element c = Make("Class", "c" + std::to_string(i), 3);
        for (int a = 0; a < 4; ++a)
            c.children.push_back(Make("Attribute", "c" + std::to_string(i) + "-a" + std::to_string(a), 3));
        package.children.push_back(c);
    }
    return package;
}

// Disjoint: every change is one side's alone, or the sides change different fields.
Triple Disjoint(unsigned seed) {
    std::mt19937 random(seed);
    Triple t{BaseModel(40), {}, {}, {}, {}};
    for (int i = 0; i < 40; ++i) {
        const std::string c = "c" + std::to_string(i);
        const std::string a = c + "-a1";
        std::vector<Change>& side = random() % 2 ? t.ours : t.theirs;
        std::vector<Change> changes;
        switch (random() % 9) {
            case 0: break;
            case 1:
                changes = {SetField(c, "", "F1", "x" + c), EraseField(c, a, "F2"), SetField(c, a, "New", "n")};
                break;
            case 2: changes = {EraseAttribute(c, a), AddAttribute(c, c + "-new")}; break;
            case 3: changes = {EraseClass(c), AddClass(c + "-added")}; break;
            case 4:
                if (i + 1 < 40) changes = {MoveAttribute(c, "c" + std::to_string(++i), a)};
                break;
            case 5: changes = {SetField(c, "", "Name", "renamed" + c), SetField(c, a, "Uuid", UpperCase(a))}; break;
            default: {  // both sides, different fields and different new attributes
                const std::vector<Change> mine = {SetField(c, a, "F1", "o"), AddAttribute(c, c + "-o")};
                const std::vector<Change> yours = {SetField(c, a, "F2", "t"), AddAttribute(c, c + "-t"),
                                                   SetField(c, "", "F3", "t")};
                t.ours.insert(t.ours.end(), mine.begin(), mine.end());
                t.theirs.insert(t.theirs.end(), yours.begin(), yours.end());
                t.expected.insert(t.expected.end(), mine.begin(), mine.end());
                t.expected.insert(t.expected.end(), yours.begin(), yours.end());
            }
        }
        side.insert(side.end(), changes.begin(), changes.end());
        t.expected.insert(t.expected.end(), changes.begin(), changes.end());
    }
    return t;
}

// Overlapping: the sides meet on the same things; the conflicts are known.
Triple Overlapping(unsigned seed) {
    std::mt19937 random(seed);
    Triple t{BaseModel(40), {}, {}, {}, {}};
    for (int i = 0; i < 40; ++i) {
        const std::string c = "c" + std::to_string(i);
        const std::string a = c + "-a2";
        auto both = [&](Change mine, Change yours, std::vector<Change> result, std::string conflict) {
            t.ours.push_back(mine);
            t.theirs.push_back(yours);
            t.expected.insert(t.expected.end(), result.begin(), result.end());
            if (!conflict.empty()) t.conflicts.push_back(conflict);
        };
        const std::string next = "c" + std::to_string(i + 1);
        switch (random() % 10) {
            case 0: break;
            case 1:
                both(SetField(c, "", "F1", "o"), SetField(c, "", "F1", "t"), {SetField(c, "", "F1", "o")},
                     "Field " + UpperCase(c) + " F1");
                break;
            case 2:
                both(SetField(c, a, "F1", "same"), SetField(c, a, "F1", "same"), {SetField(c, a, "F1", "same")}, "");
                break;
            case 3:
                both(EraseClass(c), SetField(c, a, "F3", "t"), {EraseClass(c)}, "DeletedByOurs " + UpperCase(c) + " ");
                break;
            case 4:
                both(SetField(c, a, "F3", "o"), EraseClass(c), {SetField(c, a, "F3", "o")},
                     "DeletedByTheirs " + UpperCase(c) + " ");
                break;
            case 5:
                both(EraseAttribute(c, a), SetField(c, a, "F1", "t"), {EraseAttribute(c, a)},
                     "DeletedByOurs " + UpperCase(a) + " ");
                break;
            case 6: both(EraseClass(c), EraseClass(c), {EraseClass(c)}, ""); break;
            case 7:  // theirs moves it to the next class, left alone; ours changes it where it was
                if (i + 1 == 40) break;
                both(SetField(c, a, "F3", "o"), MoveAttribute(c, next, a), {SetField(c, a, "F3", "o")},
                     "MovedByTheirs " + UpperCase(a) + " ");
                ++i;
                break;
            case 8:  // the same the other way round: ours' move stands
                if (i + 1 == 40) break;
                both(MoveAttribute(c, next, a), SetField(c, a, "F3", "t"), {MoveAttribute(c, next, a)},
                     "DeletedByOurs " + UpperCase(a) + " ");
                ++i;
                break;
            default:
                both(SetField(c, a, "F2", "o"), EraseField(c, a, "F2"), {SetField(c, a, "F2", "o")},
                     "Field " + UpperCase(a) + " F2");
        }
    }
    std::sort(t.conflicts.begin(), t.conflicts.end());
    return t;
}

// The content Content() reads back from a rendered model.
std::map<std::string, std::string> Expected(const Element& package) {
    TempDir dir;
    return Content(dir.write("expected.xml", package.Render(0)));
}

class MergeProperties : public ::testing::TestWithParam<unsigned> {
protected:
    HostRun Merge(const Triple& t, bool swapped) {
        const std::string ours = dir.write("ours.xml", Triple::Apply(t.base, t.ours).Render(0));
        const std::string theirs = dir.write("theirs.xml", Triple::Apply(t.base, t.theirs).Render(0));
        return RunMerge(dir.write("base.xml", t.base.Render(0)), swapped ? theirs : ours, swapped ? ours : theirs,
                        dir.file("merged.xml"), {"-Conflicts", dir.file("conflicts.xml")});
    }
    TempDir dir;
};

TEST_P(MergeProperties, DisjointChangesMergeCleanlyEitherWayRound) {
    const Triple t = Disjoint(GetParam());
    const std::map<std::string, std::string> expected = Expected(Triple::Apply(t.base, t.expected));
    for (bool swapped : {false, true}) {
        const HostRun run = Merge(t, swapped);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::map<std::string, std::string> merged = Content(dir.file("merged.xml"));
        for (const auto& [key, fields] : expected) {
            const auto found = merged.find(key);
            EXPECT_TRUE(found != merged.end() && found->second == fields) << key << ": " << fields;
        }
        for (const auto& [key, fields] : merged) EXPECT_EQ(expected.count(key), 1u) << "unexpected " << key;
    }
}

TEST_P(MergeProperties, OverlappingChangesGiveExactlyTheirConflicts) {
    const Triple t = Overlapping(GetParam());
    const HostRun run = Merge(t, false);
    EXPECT_EQ(run.exitStatus, t.conflicts.empty() ? 0 : 1) << run.err;
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), t.conflicts);
    EXPECT_EQ(static_cast<std::size_t>(std::count(run.err.begin(), run.err.end(), '\n')), t.conflicts.size());
    EXPECT_EQ(Content(dir.file("merged.xml")), Expected(Triple::Apply(t.base, t.expected)));
    // The same run again gives the same bytes.
    const std::string merged = ReadFile(dir.file("merged.xml"));
    const std::string conflicts = ReadFile(dir.file("conflicts.xml"));
    Merge(t, false);
    EXPECT_EQ(ReadFile(dir.file("merged.xml")), merged);
    EXPECT_EQ(ReadFile(dir.file("conflicts.xml")), conflicts);
}

// A base text that real models resemble (namespaces, mixed content, shared
// attribute Uuids, references, both quotes, non-ASCII, invisible and very
// long values), with where each of its pieces stands.
struct Piece {
    std::size_t layout, begin, end, fieldsEnd;
    std::vector<std::array<std::size_t, 4>> fields;  // blank before, value, value end, end
    std::vector<Piece> children;
};

struct TextBase {
    std::string text;
    std::vector<Piece> classes;

    Piece Element(const std::string& indent, const std::string& tag, const std::vector<std::string>& fields,
                  bool afterText, const std::function<void(Piece&)>& children = nullptr) {
        Piece piece{};
        piece.layout = text.size();
        text += "\n" + indent;
        piece.begin = text.size();
        if (afterText) piece.layout = piece.begin;  // the text before holds the line end
        text += "<" + tag;
        for (const std::string& field : fields) {  // name="value" or name='value'
            const std::size_t layout = text.size();
            text += " " + field;
            const std::size_t value = text.find_first_of("\"'", layout) + 1;
            piece.fields.push_back({layout, value, text.size() - 1, text.size()});
        }
        piece.fieldsEnd = text.size();
        if (!children) {
            text += "/>";
        } else {
            text += ">";
            children(piece);
            text += "\n" + indent + "</" + tag + ">";
        }
        piece.end = text.size();
        return piece;
    }

    explicit TextBase(int classes) {
        text =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated model -->\n"
            "<Package Name=\"P\" Uuid=\"pkg\" xmlns:p=\"urn:p\">";
        for (int i = 0; i < classes; ++i) {
            const std::string c = "c" + std::to_string(i);
            const std::string name = i % 7 == 3 ? std::string(300, 'N') + "\u00e9" : "C\u200b" + std::to_string(i);
            this->classes.push_back(Element(
                "  ", i % 4 == 1 ? "p:Class" : "Class",
                {"Name=\"" + name + "\"", "Uuid=\"" + c + "\"", "F1='one'", "Note=\"a &amp; b &#233;\"",
                 "p:Extra=\"x\""},
                false, [&](Piece& owner) {
                    bool afterText = i % 5 == 0;
                    if (afterText) text += "Notes on " + c + " d\u00e9j\u00e0";  // mixed content
                    for (int a = 0; a < 4; ++a) {
                        const std::string uuid =
                            a == 3 ? "shared-" + std::to_string(i / 2) : c + "-a" + std::to_string(a);
                        owner.children.push_back(Element("    ", "Attribute",
                                                         {"Name=\"A" + std::to_string(a) + "\"",
                                                          "Uuid=\"" + uuid + "\"", "F1=\"v1\"", "F2=\"v\u00a02\""},
                                                         afterText));
                        afterText = false;
                    }
                }));
        }
        text += "\n</Package>\n";
    }
};

struct TextEdit {
    std::size_t begin, end;
    std::string text;
};

// The base with both sides' edits, which never overlap; edits at one
// place go in order, the first side's first.
std::string Apply(const std::string& base, const std::vector<TextEdit>& first, const std::vector<TextEdit>& second) {
    std::vector<TextEdit> all = first;
    all.insert(all.end(), second.begin(), second.end());
    std::stable_sort(all.begin(), all.end(), [](const TextEdit& a, const TextEdit& b) {
        return a.begin != b.begin ? a.begin < b.begin : (a.begin == a.end && b.begin != b.end);
    });
    std::string text;
    std::size_t at = 0;
    for (const TextEdit& edit : all) {
        text += base.substr(at, edit.begin - at) + edit.text;
        at = edit.end;
    }
    return text + base.substr(at);
}

// Each class gets a scenario of text edits, on one side or split between both.
void TextScenarios(unsigned seed, const TextBase& base, std::vector<TextEdit>& ours, std::vector<TextEdit>& theirs) {
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < base.classes.size(); ++i) {
        const Piece& c = base.classes[i];
        const std::string n = std::to_string(i);
        auto value = [](const Piece& p, std::size_t field, const std::string& text) {
            return TextEdit{p.fields[field][1], p.fields[field][2], text};
        };
        auto dropField = [](const Piece& p, std::size_t field) {
            return TextEdit{p.fields[field][0], p.fields[field][3], ""};
        };
        auto after = [](const Piece& p, const std::string& text) { return TextEdit{p.end, p.end, text}; };
        std::vector<TextEdit>& side = random() % 2 ? ours : theirs;
        const std::string tag = base.text.substr(c.begin + 1, base.text.find(' ', c.begin) - c.begin - 1);
        switch (random() % 10) {
            case 0: break;
            case 9:  // a new tag on one side (in the start and the end tag), a field on the other
                side.insert(side.end(), {{c.begin + 1, c.begin + 1 + tag.size(), "Entity"},
                                         {c.end - tag.size() - 1, c.end - 1, "Entity"}});
                (&side == &ours ? theirs : ours).push_back(value(c, 2, "other"));
                break;
            case 1: side.insert(side.end(), {value(c, 2, "two &lt;2&gt;"), dropField(c.children[1], 3)}); break;
            case 2:
                side.insert(side.end(),
                            {{c.fieldsEnd, c.fieldsEnd, " Added=\"" + n + "\""}, value(c.children[0], 2, "\u00fc")});
                break;
            case 3: side.push_back({c.children[2].layout, c.children[2].end, ""}); break;
            case 4:  // a new attribute; every other one with a Uuid that another class holds
                side.push_back(after(c.children[1], "\n    <Attribute Name=\"New\" Uuid=\"" +
                                                        (i % 2 ? "shared-" + std::to_string(i / 2 + 1) : "new-" + n) +
                                                        "\"/>"));
                break;
            case 5: side.push_back({c.layout, c.end, ""}); break;
            case 6:
                side.push_back(after(c, "\n  <Class Name=\"Added\" Uuid=\"added-" + n +
                                            "\" p:Extra='y'>\n    <Attribute "
                                            "Name=\"A\" Uuid=\"added-" +
                                            n + "-a\"/>\n  </Class>"));
                break;
            case 7:  // both sides, different fields of the same start tags
                ours.insert(ours.end(), {value(c, 2, "ours"), dropField(c.children[0], 3)});
                theirs.insert(theirs.end(), {value(c, 3, "theirs"), value(c.children[0], 2, "t"), value(c, 4, "z")});
                break;
            default: side.insert(side.end(), {value(c, 4, "e\u0301"), value(c, 0, "Renamed" + n)});
        }
    }
}

TEST_P(MergeProperties, TextEditsMergeIntoExactlyBothEditSetsEitherWayRound) {
    const TextBase base(30);
    std::vector<TextEdit> ours, theirs;
    TextScenarios(GetParam(), base, ours, theirs);
    const std::string basePath = dir.write("base.xml", base.text);
    const std::string oursPath = dir.write("ours.xml", Apply(base.text, ours, {}));
    const std::string theirsPath = dir.write("theirs.xml", Apply(base.text, theirs, {}));
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(swapped ? "swapped" : "as generated");
        const HostRun run = RunMerge(basePath, swapped ? theirsPath : oursPath, swapped ? oursPath : theirsPath,
                                     dir.file("merged.xml"));
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(ReadFile(dir.file("merged.xml")),
                  swapped ? Apply(base.text, theirs, ours) : Apply(base.text, ours, theirs));
        EXPECT_EQ(
            QORMMCheckSplice(dir.path(), basePath, swapped ? theirsPath : oursPath, swapped ? oursPath : theirsPath),
            "");
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MergeProperties, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
