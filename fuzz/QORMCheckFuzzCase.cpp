// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckFuzzCase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/util/XMLString.hpp>

#include "QORMCheckCodeQuality.h"
#include "QORMCheckRun.h"
#include "QORMCheckSarif.h"
#include "QORMConfiguration.h"
#include "QORMDChangeCheck.h"
#include "QORMDFiles.h"
#include "QORMDMetaDiffApi.h"
#include "QORMDMetaElem.h"
#include "QORMDMetaPackage.h"
#include "QORMDSurvey.h"
#include "QORMMergeFuzzScript.h"
#include "QORMetaUtil/QORMUDomString.h"

using xercesc::DOMElement;
using Json = nlohmann::json;

namespace {

// ---- The configuration a mode asks for.

const char* const kLevels[] = {"error", "warning", "off"};

// The length of the UTF-8 character at text[at]; 0 when the bytes there are none.
std::size_t CharLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const unsigned first = byte(0);
    if (first < 0x80) return 1;
    const std::size_t length = first >= 0xF5 ? 0 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and what lies beyond U+10FFFF.
    if ((first == 0xE0 && byte(1) < 0xA0) || (first == 0xED && byte(1) >= 0xA0) || (first == 0xF0 && byte(1) < 0x90) ||
        (first == 0xF4 && byte(1) >= 0x90))
        return 0;
    return length;
}

// text as a TOML basic string; "" when text is not UTF-8, which TOML cannot hold.
std::string TomlString(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        length = CharLength(text, at);
        if (length == 0) return "";
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '"' || c == '\\') {
            quoted += {'\\', static_cast<char>(c)};
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
            quoted += escaped;
        } else {
            quoted += text.substr(at, length);
        }
    }
    return quoted + "\"";
}

// The Uuid values the documents write, in order, each once (as written:
// one with a reference in it acknowledges nothing).
std::vector<std::string> WrittenUuids(const std::string& text) {
    std::vector<std::string> uuids;
    for (std::size_t at = text.find("Uuid="); at != std::string::npos; at = text.find("Uuid=", at + 1)) {
        const std::size_t open = at + 5;
        if (open >= text.size() || (text[open] != '"' && text[open] != '\'')) continue;
        const std::size_t close = text.find(text[open], open + 1);
        if (close == std::string::npos) break;
        const std::string uuid = text.substr(open + 1, close - open - 1);
        if (!uuid.empty() && std::find(uuids.begin(), uuids.end(), uuid) == uuids.end()) uuids.push_back(uuid);
    }
    return uuids;
}

// The configuration of kind (1 field rules, 2 rules' severities, 3
// acknowledged changes of these Uuids), its entries picked by the bytes of
// picks (a default set without any); "" for none.
std::string Configuration(int kind, std::string_view picks, const std::vector<std::string>& uuids) {
    std::string toml;
    std::set<int> seen;  // a table or key given twice is not TOML
    if (kind == 1) {
        static const char* const kFields[] = {"Size", "Type", "Name", "Length", "Uuid", "Scale"};
        for (const unsigned char pick : picks.empty() ? std::string_view("\x06\x91") : picks.substr(0, 6)) {
            if (!seen.insert(pick % 6).second) continue;
            const int narrowing = pick / 6 % 4, change = pick / 24 % 4;
            toml += std::string("[fields.") + kFields[pick % 6] + "]\n";
            if (narrowing) toml += std::string("narrowing = \"") + kLevels[narrowing - 1] + "\"\n";
            if (change) toml += std::string("change = \"") + kLevels[change - 1] + "\"\n";
            // allow goes with a change that is not off.
            if (change && change != 3 && pick >= 96)
                toml += "allow = [\"int -> bigint\", \"* -> text\", \"10 -> *\"]\n";
        }
    } else if (kind == 2) {
        static const char* const kRules[] = {"QM004", "QM005", "QM006", "QM101", "QM102",
                                             "QM103", "QM104", "QM105", "QM106", "QM107"};
        toml = "[rules]\n";
        for (const unsigned char pick : picks.empty() ? std::string_view("\x1b\x0e") : picks.substr(0, 10))
            if (seen.insert(pick % 10).second)
                toml += std::string(kRules[pick % 10]) + " = \"" + kLevels[pick / 10 % 3] + "\"\n";
    } else if (kind == 3 && !uuids.empty()) {
        for (const unsigned char pick : picks.empty() ? std::string_view("\x00\x01", 2) : picks.substr(0, 8)) {
            const std::string uuid = TomlString(uuids[pick % uuids.size()]);
            if (!uuid.empty())
                toml += "[[allow]]\nrule = \"QM10" + std::to_string(1 + pick / uuids.size() % 7) +
                        "\"\nuuid = " + uuid + "\nreason = \"fuzzed\"\n";
        }
    }
    return toml;
}

// ---- Places read from the bytes, without the parser.

// Walks a UTF-8 text character by character, counting places as the
// parser does: a line ends at LF, CR LF or CR; a column counts UTF-16 units
// (a character beyond U+FFFF counts two), a byte column bytes.
struct Cursor {
    std::string_view text;
    std::size_t at = 0;
    cDDLXMLPosition place{1, 1, 1};
    bool broken = false;  // bytes that are not UTF-8

    bool More() const { return at < text.size() && !broken; }
    bool Sees(std::string_view what) const { return text.substr(at, what.size()) == what; }
    void Step() {
        const char c = text[at];
        if (c == '\r' && Sees("\r\n")) {
            ++at;  // the LF ends the line
        } else if (c == '\n' || c == '\r') {
            ++at;
            place = {place.line + 1, 1, 1};
        } else if (const std::size_t length = CharLength(text, at)) {
            at += length;
            place.column += length == 4 ? 2 : 1;
            place.byteColumn += length;
        } else {
            broken = true;
        }
    }
    void StepPast(std::string_view end) {
        while (More() && !Sees(end)) Step();
        for (std::size_t i = 0; i < end.size() && More(); ++i) Step();
    }
};

// Whether a document's bytes are read here: UTF-8 without a BOM, XML 1.0
// (1.1 has more line ends), as its declaration says.
bool Readable(std::string_view text) {
    if (text.rfind("<?xml", 0) != 0) return text.rfind("\xEF\xBB\xBF", 0) != 0;
    std::string declaration(text.substr(0, text.find("?>")));
    std::transform(declaration.begin(), declaration.end(), declaration.begin(), ::tolower);
    const std::size_t encoding = declaration.find("encoding");
    return declaration.find("1.1") == std::string::npos &&
           (encoding == std::string::npos || declaration.find("utf-8", encoding) != std::string::npos ||
            declaration.find("utf8", encoding) != std::string::npos);
}

// Where the start tags of the package, the classes and the attributes
// (skipped ones too) begin, in document order; false where the bytes are not
// Readable, or hold a DOCTYPE or bytes that are not UTF-8.
bool StartTags(std::string_view text, std::vector<cDDLXMLPosition>& tags) {
    if (!Readable(text)) return false;
    Cursor cursor{text};
    unsigned depth = 0;
    while (cursor.More()) {
        if (!cursor.Sees("<")) {
            cursor.Step();
        } else if (cursor.Sees("<!--")) {
            cursor.StepPast("-->");
        } else if (cursor.Sees("<![CDATA[")) {
            cursor.StepPast("]]>");
        } else if (cursor.Sees("<?")) {
            cursor.StepPast("?>");
        } else if (cursor.Sees("<!")) {
            return false;
        } else if (cursor.Sees("</")) {
            depth -= depth > 0;
            cursor.StepPast(">");
        } else {
            if (depth <= 2) tags.push_back(cursor.place);
            // To the tag's end, over quoted values, which may hold '>'.
            char quote = 0, last = 0;
            while (cursor.More() && (quote || cursor.text[cursor.at] != '>')) {
                const char c = cursor.text[cursor.at];
                quote = quote ? (c == quote ? 0 : quote) : (c == '"' || c == '\'' ? c : 0);
                last = c;
                cursor.Step();
            }
            cursor.Step();
            depth += last != '/';
        }
    }
    return !cursor.broken;
}

// The package, its element children and theirs, in document order.
std::vector<const DOMElement*> Walk(const DOMElement* package) {
    std::vector<const DOMElement*> elements;
    if (!package) return elements;
    elements.push_back(package);
    for (const DOMElement* c = package->getFirstElementChild(); c; c = c->getNextElementSibling()) {
        elements.push_back(c);
        for (const DOMElement* a = c->getFirstElementChild(); a; a = a->getNextElementSibling()) elements.push_back(a);
    }
    return elements;
}

std::size_t IndexIn(const std::vector<const DOMElement*>& elements, const DOMElement* element) {
    return static_cast<std::size_t>(std::find(elements.begin(), elements.end(), element) - elements.begin());
}

// ---- What the diff says, read back from its file.

const DOMElement* Dom(const cQORMDMetaElem* element) {
    return element ? const_cast<cQORMDMetaElem*>(element)->GetDomElement().get() : nullptr;
}

std::string Utf8(const std::u16string& text) { return ZULUnicodeString(text.c_str()).ConvertToChar(); }

// The key of a copy of a class ("C") or of an attribute of a class ("C\nA").
std::u16string CopyKey(const DOMElement* element, bool attribute) {
    if (!attribute) return QORMDKeyOf(element);
    return QORMDKeyOf(static_cast<const DOMElement*>(element->getParentNode())) + u'\n' + QORMDKeyOf(element);
}
std::u16string CopyKey(const cQORMDMetaElem* element) {
    return CopyKey(Dom(element), element->GetLevel() == cQORMDMetaElem::kAttrib);
}

// A version's classes as the loader keeps them: the first of each key, with its attributes.
using Model = std::map<std::u16string, std::set<std::u16string>>;
Model ModelOf(const DOMElement* package) {
    Model model;
    if (package)
        for (const QORMDSurveyedClass& c : QORMDSurvey(package))
            model.emplace(c.key, std::set<std::u16string>(c.attributes.begin(), c.attributes.end()));
    return model;
}

struct DiffSays {
    std::set<std::u16string> deleted, added;  // copy keys; added includes the attributes of added classes
    std::set<std::u16string> addedUuids;      // the keys of the elements added
    std::map<std::u16string, std::set<std::u16string>> modified;  // key -> fields whose value changed
};

// The package's entry of Modified goes under this key: the diff names it by
// the old version's Uuid, which the new one may have changed.
const std::u16string kPackageKey = u"\n<Package>";

// Files the copies of a section by the version they come from; "" when
// each is a class, an attribute of one, or the package.
std::string Copies(const DOMElement* section, const DOMElement* package, bool added, std::set<std::u16string>& keys,
                   DiffSays& says) {
    const Model model = ModelOf(package);
    for (const DOMElement* copy = section->getFirstElementChild(); copy; copy = copy->getNextElementSibling()) {
        const std::u16string key = QORMDKeyOf(copy);
        ZULUnicodeString parentUuid = DOMToZULUnicodeString(copy->getAttribute(u"ParentUuid"));
        const std::u16string parent(parentUuid.ToUpper().str());
        const auto owner = model.find(parent);
        if (!parent.empty() && owner != model.end() && owner->second.count(key)) {
            keys.insert(parent + u'\n' + key);
        } else if (const auto found = model.find(key); found != model.end()) {
            keys.insert(key);
            if (added)
                for (const std::u16string& attribute : found->second) keys.insert(key + u'\n' + attribute);
        } else if (!package || QORMDKeyOf(package) != key || copy->getFirstElementChild()) {
            return "the diff's copy of the Uuid \"" + Utf8(key) + "\" is no element of the version it comes from";
        }
        if (added) says.addedUuids.insert(key);
    }
    return "";
}

// Reads the diff file at path (none: nothing changed) into says; "" when it reads.
std::string ReadDiff(const std::string& path, const DOMElement* oldPackage, const DOMElement* newPackage,
                     DiffSays& says) {
    std::error_code failed;
    if (!std::filesystem::exists(std::filesystem::u8path(path), failed)) return "";
    if (cDDLXMLParser::init() < 0) return "the parser cannot start";
    DOM_Document document;
    const int parsed = cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document);
    cDDLXMLParser::terminate();
    if (parsed < 0 || !document || !document->getDocumentElement()) return "the diff file does not parse";
    for (const DOMElement* section = document->getDocumentElement()->getFirstElementChild(); section;
         section = section->getNextElementSibling()) {
        std::string wrong;
        if (xercesc::XMLString::equals(section->getTagName(), u"Deleted"))
            wrong = Copies(section, oldPackage, false, says.deleted, says);
        else if (xercesc::XMLString::equals(section->getTagName(), u"Added"))
            wrong = Copies(section, newPackage, true, says.added, says);
        else
            for (const DOMElement* entry = section->getFirstElementChild(); entry;
                 entry = entry->getNextElementSibling())
                for (const DOMElement* field = entry->getFirstElementChild(); field;
                     field = field->getNextElementSibling()) {
                    const std::u16string change(DOMToZULUnicodeString(field->getAttribute(u"New")).str());
                    const bool package = xercesc::XMLString::equals(entry->getTagName(), u"Package");
                    if (xercesc::XMLString::equals(field->getTagName(), u"Modified"))
                        says.modified[package ? kPackageKey : QORMDKeyOf(entry)].insert(
                            change.substr(0, change.find(u"='")));
                }
        if (!wrong.empty()) return wrong;
    }
    return "";
}

// ---- The checks.

bool IsChange(const cCheckProblem& problem) { return problem.rule >= cCheckProblem::kClassDeleted; }

std::string Named(const cCheckProblem& problem) {
    return problem.RuleId() + " at " + std::to_string(problem.at.line) + ":" + std::to_string(problem.at.column) +
           " (" + problem.message + ")";
}

// Each change problem at the start tag where it belongs, naming the old
// version's line of what it is about.
std::string CheckPlaces(const std::vector<cCheckProblem>& problems, const cMetaDiffDoc& compared,
                        const std::string& oldText, const std::string& newText, const std::string& oldName,
                        bool deleted, bool byteColumns) {
    const std::vector<const DOMElement*> oldWalk = Walk(Dom(compared.GetOldPackage())),
                                         newWalk = Walk(Dom(compared.GetNewPackage()));
    std::vector<cDDLXMLPosition> oldTags, newTags;
    const bool oldRead = StartTags(oldText, oldTags), newRead = !deleted && StartTags(newText, newTags);
    if ((oldRead && oldTags.size() != oldWalk.size()) || (newRead && newTags.size() != newWalk.size()))
        return "the start tags read from the bytes are not the elements the parser made";
    for (const cCheckProblem& problem : problems) {
        if (!IsChange(problem)) continue;
        if (deleted && (problem.at.line != 1 || problem.at.column != 1))
            return Named(problem) + ": a problem of a deleted document is not at 1:1";
        if (newRead) {
            const auto tag = std::find_if(newTags.begin(), newTags.end(), [&](const cDDLXMLPosition& place) {
                return place.line == problem.at.line && place.column == problem.at.column &&
                       (!byteColumns || place.byteColumn == problem.at.byteColumn);
            });
            if (tag == newTags.end()) return Named(problem) + ": not at a start tag of the new version";
            const DOMElement* at = newWalk[static_cast<std::size_t>(tag - newTags.begin())];
            const bool right = problem.rule == cCheckProblem::kClassDeleted ? at == newWalk.front()
                               : problem.rule == cCheckProblem::kAttributeDeleted
                                   ? at->getParentNode() == newWalk.front() &&
                                         QORMDKeyOf(at) == CopyKey(problem.oldElement->GetParent())
                                   : at == Dom(problem.newElement);
            if (!right) return Named(problem) + ": at the start tag of another element";
        }
        const std::size_t old = IndexIn(oldWalk, Dom(problem.oldElement));
        if (oldRead && old < oldTags.size() &&
            problem.message.find("line " + std::to_string(oldTags[old].line) + " of " + oldName) == std::string::npos)
            return Named(problem) + ": does not name line " + std::to_string(oldTags[old].line) + " of " + oldName;
    }
    return "";
}

// Whether the configuration may hide the deletion of the copy key: one of
// the rules that report it off, or acknowledged for its element or one added.
bool Hidden(const std::u16string& key, const DiffSays& diff, const cChangePolicy& policy) {
    const std::u16string own = key.substr(key.find(u'\n') + 1);
    for (const auto& [rule, level] : policy.levels)
        if (rule >= cCheckProblem::kClassDeleted && rule <= cCheckProblem::kAttributeMoved &&
            level == cChangePolicy::kOff)
            return true;
    return std::any_of(policy.acknowledged.begin(), policy.acknowledged.end(), [&](const auto& entry) {
        const std::u16string uuid(entry.key.str());
        return entry.rule <= cCheckProblem::kAttributeMoved && (uuid == own || diff.addedUuids.count(uuid));
    });
}

// The change rules against what the diff says changed.
std::string CheckAgreement(const std::vector<cCheckProblem>& problems, const DiffSays& diff,
                           const cChangePolicy& policy) {
    std::map<std::u16string, int> told;
    for (const cCheckProblem& problem : problems) {
        if (!IsChange(problem)) continue;
        const std::u16string oldKey = problem.oldElement ? CopyKey(problem.oldElement) : u"";
        const std::u16string newKey = problem.newElement ? CopyKey(problem.newElement) : u"";
        if (problem.rule <= cCheckProblem::kAttributeMoved) {
            if (!diff.deleted.count(oldKey)) return Named(problem) + ": the diff deletes no such element";
            if (problem.rule >= cCheckProblem::kRecreated && !diff.added.count(newKey))
                return Named(problem) + ": the diff adds no such element";
            if (++told[oldKey] > 1) return Named(problem) + ": the deletion is reported again";
            continue;
        }
        const std::size_t blank = problem.subject.rfind(' ');
        const std::u16string field(ZULUnicodeString(problem.subject.substr(blank + 1).c_str()).str());
        const DOMElement* changed = Dom(problem.newElement);
        const bool package = changed == changed->getOwnerDocument()->getDocumentElement();
        const auto entry = diff.modified.find(package ? kPackageKey : QORMDKeyOf(changed));
        if (blank == std::string::npos || entry == diff.modified.end() || !entry->second.count(field))
            return Named(problem) + ": the diff changes no such field";
        if (problem.rule == cCheckProblem::kRenamed && field != u"Name")
            return Named(problem) + ": a rename of another field than Name";
    }
    for (const std::u16string& key : diff.deleted)
        if (!told.count(key) && !Hidden(key, diff, policy))
            return "the diff deletes \"" + Utf8(key) + "\", which no problem reports";
    return "";
}

// SARIF and the code quality report parse, and hold one result per problem.
std::string CheckJson(const std::string& sarif, const std::string& codeQuality,
                      const std::vector<cCheckProblem>& problems) {
    try {
        const Json log = Json::parse(sarif);
        const Json& results = log.at("runs").at(0).at("results");
        if (results.size() != problems.size()) return "the SARIF log holds another number of results";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const Json& region = results[i].at("locations").at(0).at("physicalLocation").at("region");
            if (results[i].at("ruleId") != problems[i].RuleId() ||
                region.at("startLine") != std::max(problems[i].at.line, 1ul))
                return "SARIF's result " + std::to_string(i) + " is not " + Named(problems[i]);
        }
        if (Json::parse(codeQuality).size() != problems.size())
            return "the code quality report holds another number of issues";
    } catch (const Json::exception& error) {
        return std::string("the JSON written is not as it should be: ") + error.what();
    }
    return "";
}

// QORMetaCheck with these arguments (cCheckRun::Execute); out holds what it printed.
int Program(const std::vector<std::string>& args, std::string& out) {
    std::vector<const char*> argv{"QORMetaCheck"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    cCheckArguments arguments;
    if (arguments.Parse(static_cast<int>(argv.size()), argv.data()) != cCheckArguments::kRun) return -1;
    std::string errors;
    const int status = cCheckRun::Execute(arguments, out, errors);
    out += errors;
    return status;
}

// The diff of the versions (old against nothing when deleted) written to diffPath.
int Diff(const std::string& oldPath, const std::string& newPath, bool deleted, const std::string& diffPath) {
    std::int32_t status;
    if (deleted) {
        const char* const argv[] = {"QORMetaDiff", "-Deleted", oldPath.c_str(), "-Diff", diffPath.c_str()};
        status = cQORMDApi::Initialize(5, argv);
        if (status >= 0) status = cQORMDApi::ProcessMetaDiff();
    } else {
        status = cQORMDApi::Process(ZULUnicodeString(oldPath.c_str()), ZULUnicodeString(newPath.c_str()),
                                    ZULUnicodeString(diffPath.c_str()), 0);
    }
    cQORMDApi::Terminate();
    return status;
}

}  // namespace

std::string QORMCRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size, bool* compared) {
    for (const std::string& name : QORMDEntries(folder)) std::remove((folder + "/" + name).c_str());
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string oldText(QORMMFuzzPart(rest));
    const std::string newText = QORMMFuzzSide(oldText, QORMMFuzzPart(rest));
    const unsigned mode = rest.empty() ? 0 : static_cast<unsigned char>(rest[0]);
    const bool deleted = mode & 4, byteColumns = mode & 8, warningsAsErrors = mode & 16;
    const std::vector<std::string> uuids = WrittenUuids(oldText + (deleted ? "" : newText));
    const std::string configuration = Configuration(mode & 3, rest.substr(rest.empty() ? 0 : 1), uuids);

    const std::string oldPath = folder + "/old.xml", newPath = folder + "/new.xml", diffPath = folder + "/diff.xml",
                      configPath = folder + "/qormeta.toml";
    std::set<std::string> expected{"old.xml"};
    if (!QORMDWriteFile(oldPath, oldText) || (!deleted && !QORMDWriteFile(newPath, newText)) ||
        (!configuration.empty() && !QORMDWriteFile(configPath, configuration)))
        return "cannot write the inputs to " + folder;
    if (!deleted) expected.insert("new.xml");
    if (!configuration.empty()) expected.insert("qormeta.toml");

    const bool compares = Diff(oldPath, newPath, deleted, diffPath) >= 0;
    if (compared) *compared = compares;
    std::error_code failed;
    if (std::filesystem::exists(std::filesystem::u8path(diffPath), failed)) expected.insert("diff.xml");

    // The check through the library's core, which hands the elements over.
    cChangePolicy policy;
    try {
        if (!configuration.empty()) policy = cConfiguration::Read(configPath);
    } catch (const cConfigurationError& error) {
        return std::string("the configuration written is refused: ") + error.what() + "\n" + configuration;
    }
    if (cDDLXMLParser::init() < 0) return "the parser cannot start";
    cChangeCheck check(policy, byteColumns);
    const cCheckVersion oldVersion{oldPath, oldPath}, newVersion{newPath, deleted ? "" : newPath};
    const std::vector<cCheckProblem> problems = check.Run(oldVersion, newVersion, deleted);
    cDDLXMLParser::terminate();
    cCheckProblem::Form form{warningsAsErrors, byteColumns};

    const bool anyChange = std::any_of(problems.begin(), problems.end(), IsChange);
    const bool anyDocument = std::any_of(problems.begin(), problems.end(), [](const auto& p) { return !IsChange(p); });
    if (!compares && (anyChange || !anyDocument))
        return "the diff refuses the versions, yet no document problem tells why";
    if (compares) {
        if (!check.Compared()) return "the diff compares the versions, yet the check does not";
        DiffSays diff;
        const cMetaDiffDoc& compared = *check.Compared();
        std::string wrong = ReadDiff(diffPath, Dom(compared.GetOldPackage()), Dom(compared.GetNewPackage()), diff);
        if (wrong.empty()) wrong = CheckPlaces(problems, compared, oldText, newText, oldPath, deleted, byteColumns);
        if (wrong.empty()) wrong = CheckAgreement(problems, diff, policy);
        if (!wrong.empty()) return wrong;
    }

    // The program's three forms, the code quality report (fingerprints and
    // all) twice; a deleted document's through the writers.
    std::string lines, sarif, again, codeQuality;
    if (deleted) {
        const std::vector<cCheckedFile> files{{"new.xml", "new.xml", problems}};
        cCheckProblem::Form utf16 = form;  // SARIF counts UTF-16 units
        utf16.byteColumns = false;
        sarif = cCheckSarif::Write(files, folder + "/", utf16);
        codeQuality = cCheckCodeQuality::Write(files, form);
        again = cCheckCodeQuality::Write(files, form);
    } else {
        std::vector<std::string> args{"-Old", oldPath, newPath};
        if (!configuration.empty()) args.insert(args.begin(), {"-Config", configPath});
        if (warningsAsErrors) args.insert(args.begin(), "-Werror");
        std::vector<std::string> gcc = args;
        if (byteColumns) gcc.insert(gcc.begin(), {"-Columns", "bytes"});
        const int status = Program(gcc, lines);
        const bool errors =
            std::any_of(problems.begin(), problems.end(), [&](const auto& p) { return p.IsError(form); });
        if (status != (errors ? cCheckRun::kErrors : cCheckRun::kClean))
            return "exit status " + std::to_string(status) + " for these problems:\n" + lines;
        std::string told;
        for (const cCheckProblem& problem : problems) told += problem.Line(newPath, form) + "\n";
        if (lines != told) return "the program's lines are not the check's problems:\n" + lines + "---\n" + told;
        args.insert(args.begin(), {"-Format", "sarif"});
        Program(args, sarif);
        args[1] = "codequality";
        Program(args, codeQuality);
        Program(args, again);
    }
    if (codeQuality != again) return "the same check wrote another code quality report";
    const std::string wrong = CheckJson(sarif, codeQuality, problems);
    if (!wrong.empty()) return wrong;

    std::string bytes;
    if (!QORMDReadFile(oldPath, bytes) || bytes != oldText ||
        (!deleted && (!QORMDReadFile(newPath, bytes) || bytes != newText)))
        return "an input changed";
    if (QORMDEntries(folder) != expected) return "the run left other files in the folder";
    return "";
}
