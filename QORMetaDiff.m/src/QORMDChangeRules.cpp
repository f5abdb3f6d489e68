// SPDX-License-Identifier: Apache-2.0
#include "QORMDChangeRules.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "QORMDLoadFailure.h"
#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiff.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffElem.h"
#include "QORMDMetaDiffField.h"
#include "QORMDMetaField.h"
#include "QORMDMetaPackage.h"

using xercesc::DOMElement;
using Problem = cCheckProblem;

namespace {

DOMElement* Dom(const cQORMDMetaElem* element) {
    return element ? const_cast<cQORMDMetaElem*>(element)->GetDomElement().get() : nullptr;
}

// An XML attribute of element as written, in UTF-8.
std::string Written(const cQORMDMetaElem* element, const char16_t* name) {
    const DOMElement* dom = Dom(element);
    return dom ? ZULUnicodeString(reinterpret_cast<const char16_t*>(dom->getAttribute(name))).ConvertToChar() : "";
}

// The Name of element upper-cased: re-created elements match by Name, letter case aside.
ZULUnicodeString NameKey(const cQORMDMetaElem* element) {
    ZULUnicodeString name(Written(element, u"Name").c_str());
    return name.ToUpper();
}

// the class <Class Name="Order">, the attribute <Attribute Name="Id"> of the class <Class Name="Order">
std::string Describe(const cQORMDMetaElem* element) {
    if (element->GetLevel() == cQORMDMetaElem::kPackage)
        return std::string("the package ") + QORMDSketchElement(Dom(element)).ConvertToChar();
    return QORMDDescribeElement(Dom(element), element->GetLevel() == cQORMDMetaElem::kClass).ConvertToChar();
}

std::string Sketch(const cQORMDMetaElem* element) { return QORMDSketchElement(Dom(element)).ConvertToChar(); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What a migration made from the diff creates for an element.
const char* StoreOf(const cQORMDMetaElem* element) {
    switch (element->GetLevel()) {
        case cQORMDMetaElem::kClass: return "table";
        case cQORMDMetaElem::kAttrib: return "column";
        default: return "schema";
    }
}

// "C-ORDER A-TOTAL": the element's key after its class's.
std::string Subject(const cQORMDMetaElem* element) {
    std::string subject = element->GetUuid().ConvertToChar();
    if (element->GetLevel() == cQORMDMetaElem::kAttrib && element->GetParent())
        subject = std::string(element->GetParent()->GetUuid().ConvertToChar()) + " " + subject;
    return subject;
}

// The numbers of a value such as "12" or "10,2"; false when it holds anything else.
bool Numbers(const std::string& value, std::vector<double>& numbers) {
    std::size_t at = 0;
    while (at <= value.size()) {
        std::size_t end = value.find(',', at);
        if (end == std::string::npos) end = value.size();
        std::size_t first = value.find_first_not_of(' ', at), last = value.find_last_not_of(' ', end - 1);
        if (first == std::string::npos || first >= end) return false;
        double number = 0;
        const char* begin = value.data() + first;
        if (value[first] == '+') ++begin;
        const auto [stop, error] = std::from_chars(begin, value.data() + last + 1, number);
        if (error != std::errc() || stop != value.data() + last + 1) return false;
        numbers.push_back(number);
        at = end + 1;
    }
    return !numbers.empty();
}

// Whether some number of newValue is smaller than its counterpart in oldValue.
bool Narrowed(const std::string& oldValue, const std::string& newValue) {
    std::vector<double> before, after;
    if (!Numbers(oldValue, before) || !Numbers(newValue, after) || before.size() != after.size()) return false;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (after[i] < before[i]) return true;
    return false;
}

template <class T>
void EntriesOf(cMetaDiffBase* category, int level, std::vector<T*>& elements) {
    if (!category) return;
    ZULRawCollPV list;
    category->getListMetaDiffElem(list);
    for (int i = 1; i <= list.Size(); ++i) {
        const auto* entry = static_cast<cMetaDiffElem*>(list[i]);
        if (entry && entry->getLevel() == level) elements.push_back(static_cast<T*>(entry->getMetaElem()));
    }
}

}  // namespace

cChangeRules::cChangeRules(cMetaDiffDoc& result, const cChangePolicy& policy, Versions versions)
    : result_(result), policy_(policy), versions_(std::move(versions)) {}

std::vector<cCheckProblem> cChangeRules::Problems() {
    findings_.clear();
    if (!result_.GetOldPackage() || !result_.GetNewPackage()) return {};
    Collect();
    Moves();
    RecreatedClasses();
    RecreatedAttributes();
    Deletions();
    FieldChanges();
    return Placed();
}

void cChangeRules::Collect() {
    cMetaDiff* diff = result_.GetMetaDiff();
    std::vector<cQORMDMetaAttrib*> deleted, added;
    EntriesOf(diff->getDeleted(), cQORMDMetaElem::kClass, deletedClasses_);
    EntriesOf(diff->getDeleted(), cQORMDMetaElem::kAttrib, deleted);
    EntriesOf(diff->getAdded(), cQORMDMetaElem::kClass, addedClasses_);
    EntriesOf(diff->getAdded(), cQORMDMetaElem::kAttrib, added);
    classTaken_.assign(deletedClasses_.size(), false);
    for (cQORMDMetaAttrib* attribute : deleted) departures_.push_back({attribute});
    for (cQORMDMetaAttrib* attribute : added) arrivals_.push_back({attribute});
    addedAttributes_ = arrivals_.size();
    // The attributes of an added class arrive too: one may have left another class.
    for (cQORMDMetaClass* added : addedClasses_) {
        ZULHashCodeIter it(*added->GetAttribs());
        while (it++) arrivals_.push_back({static_cast<cQORMDMetaAttrib*>((*added->GetAttribs())[it])});
    }
}

void cChangeRules::Moves() {
    // A Uuid that left exactly one class and arrived in exactly one other moved.
    std::unordered_map<ZULUnicodeString, std::vector<std::size_t>, ZULUnicodeStringHash> left, arrived;
    for (std::size_t i = 0; i < departures_.size(); ++i) left[departures_[i].attribute->GetUuid()].push_back(i);
    for (std::size_t i = 0; i < arrivals_.size(); ++i) arrived[arrivals_[i].attribute->GetUuid()].push_back(i);
    for (Side& arrival : arrivals_) {
        const ZULUnicodeString key = arrival.attribute->GetUuid();
        const auto from = left.find(key);
        if (from == left.end() || from->second.size() != 1 || arrived[key].size() != 1) continue;
        Side& departure = departures_[from->second.front()];
        departure.taken = arrival.taken = true;
        const cQORMDMetaAttrib* oldAttribute = departure.attribute;
        const cQORMDMetaAttrib* newAttribute = arrival.attribute;
        Add({Problem::kAttributeMoved, Problem::kError, Dom(newAttribute), Dom(oldAttribute), oldAttribute,
             newAttribute, Subject(newAttribute),
             [=](const std::string& where) {
                 return Describe(newAttribute) + " is moved here from the class " + Sketch(oldAttribute->GetParent()) +
                        " (" + where +
                        "): the migration drops the column from that table and adds an empty one to this one; its "
                        "data does not follow";
             }},
            {oldAttribute, newAttribute});
    }
}

void cChangeRules::RecreatedClasses() {
    std::unordered_map<ZULUnicodeString, std::vector<std::size_t>, ZULUnicodeStringHash> byName;
    for (std::size_t i = 0; i < deletedClasses_.size(); ++i) byName[NameKey(deletedClasses_[i])].push_back(i);
    for (const cQORMDMetaClass* newClass : addedClasses_) {
        const auto found = byName.find(NameKey(newClass));
        if (found == byName.end()) continue;
        const auto free =
            std::find_if(found->second.begin(), found->second.end(), [&](std::size_t i) { return !classTaken_[i]; });
        if (free == found->second.end()) continue;
        classTaken_[*free] = true;
        const cQORMDMetaClass* oldClass = deletedClasses_[*free];
        Add({Problem::kRecreated, Problem::kError, Dom(newClass), Dom(oldClass), oldClass, newClass, Subject(newClass),
             [=](const std::string& where) {
                 const std::string oldUuid = Quoted(Written(oldClass, u"Uuid"));
                 return Describe(newClass) + " is re-created under the new Uuid " + Quoted(Written(newClass, u"Uuid")) +
                        ": the class of that Name with the Uuid " + oldUuid + " (" + where +
                        ") is deleted, so the migration drops its table and adds an empty one; keep the old Uuid " +
                        oldUuid;
             }},
            {oldClass, newClass});
    }
}

void cChangeRules::RecreatedAttributes() {
    // Only in one class (the same Uuid in both versions): a departure and an added attribute of the same Name.
    const auto key = [](const cQORMDMetaAttrib* attribute) {
        ZULUnicodeString text = attribute->GetParent()->GetUuid();
        return text.Append("\n").Append(NameKey(attribute));
    };
    std::unordered_map<ZULUnicodeString, std::vector<std::size_t>, ZULUnicodeStringHash> byName;
    for (std::size_t i = 0; i < departures_.size(); ++i)
        if (!departures_[i].taken) byName[key(departures_[i].attribute)].push_back(i);
    for (std::size_t i = 0; i < addedAttributes_; ++i) {
        Side& arrival = arrivals_[i];
        if (arrival.taken) continue;
        const auto found = byName.find(key(arrival.attribute));
        if (found == byName.end()) continue;
        const auto free = std::find_if(found->second.begin(), found->second.end(),
                                       [&](std::size_t d) { return !departures_[d].taken; });
        if (free == found->second.end()) continue;
        departures_[*free].taken = arrival.taken = true;
        const cQORMDMetaAttrib* oldAttribute = departures_[*free].attribute;
        const cQORMDMetaAttrib* newAttribute = arrival.attribute;
        Add({Problem::kRecreated, Problem::kError, Dom(newAttribute), Dom(oldAttribute), oldAttribute, newAttribute,
             Subject(newAttribute),
             [=](const std::string& where) {
                 const std::string oldUuid = Quoted(Written(oldAttribute, u"Uuid"));
                 return Describe(newAttribute) + " is re-created under the new Uuid " +
                        Quoted(Written(newAttribute, u"Uuid")) + ": the attribute of that Name with the Uuid " +
                        oldUuid + " (" + where +
                        ") is deleted, so the migration drops its column and adds an empty one; keep the old Uuid " +
                        oldUuid;
             }},
            {oldAttribute, newAttribute});
    }
}

void cChangeRules::Deletions() {
    cQORMDMetaPackage* newPackage = result_.GetNewPackage();
    for (std::size_t i = 0; i < deletedClasses_.size(); ++i) {
        if (classTaken_[i]) continue;
        const cQORMDMetaClass* oldClass = deletedClasses_[i];
        Add({Problem::kClassDeleted, Problem::kError, Dom(newPackage), Dom(oldClass), oldClass, nullptr,
             Subject(oldClass),
             [=](const std::string& where) {
                 return Describe(oldClass) + " (Uuid " + Quoted(Written(oldClass, u"Uuid")) + ", " + where +
                        ") is deleted: the migration drops its table and every row";
             }},
            {oldClass});
    }
    for (const Side& departure : departures_) {
        if (departure.taken) continue;
        const cQORMDMetaAttrib* oldAttribute = departure.attribute;
        const auto* newClass =
            static_cast<const cQORMDMetaClass*>(newPackage->GetClasses()->Locate(oldAttribute->GetParent()->GetUuid()));
        Add({Problem::kAttributeDeleted, Problem::kError, Dom(newClass), Dom(oldAttribute), oldAttribute, nullptr,
             Subject(oldAttribute),
             [=](const std::string& where) {
                 return "the attribute " + Sketch(oldAttribute) + " (Uuid " + Quoted(Written(oldAttribute, u"Uuid")) +
                        ", " + where + ") is deleted from the class " + Sketch(newClass) +
                        ": the migration drops its column and the column's data";
             }},
            {oldAttribute});
    }
}

void cChangeRules::FieldChanges() {
    cMetaModified* modified = result_.GetMetaDiff()->getModified();
    if (!modified) return;
    ZULRawCollPV entries;
    modified->getListMetaDiffElem(entries);
    for (int i = 1; i <= entries.Size(); ++i) {
        auto* entry = static_cast<cMetaDiffElem*>(entries[i]);
        if (!entry) continue;
        ZULRawCollPV& changed = entry->getModModifiedList();
        for (int j = 1; j <= changed.Size(); ++j) {
            const auto* record = static_cast<const cMetaDiffField*>(changed[j]);
            if (!record || !record->getMetaField() || !record->getNewMetaField()) continue;
            // The fields' owners are the pair of elements this record is true of.
            FieldChange(record->getMetaField()->GetOwner(), record->getNewMetaField()->GetOwner(),
                        record->getName().ConvertToChar(), record->getValue().ConvertToChar(),
                        record->getNewValue().ConvertToChar());
        }
    }
}

void cChangeRules::FieldChange(const cQORMDMetaElem* oldElement, const cQORMDMetaElem* newElement,
                               const std::string& field, const std::string& oldValue, const std::string& newValue) {
    if (!oldElement || !newElement) return;
    const std::string subject = Subject(newElement) + " " + field;
    if (field == "Name") {
        Add({Problem::kRenamed, Problem::kWarning, Dom(newElement), Dom(oldElement), oldElement, newElement, subject,
             [=](const std::string& where) {
                 return Describe(newElement) + " is renamed from " + Quoted(oldValue) + " (" + where +
                        "): check that the migration renames its " + StoreOf(newElement) + " rather than dropping it";
             }},
            {oldElement, newElement});
    }
    const cChangePolicy::FieldRule* rule = policy_.Field(field);
    if (!rule) return;
    const std::string change = "the field " + field + " of ";
    if (rule->narrowing != cChangePolicy::kOff && Narrowed(oldValue, newValue))
        Add({Problem::kNarrowed, Problem::kError, Dom(newElement), Dom(oldElement), oldElement, newElement, subject,
             [=](const std::string& where) {
                 return change + Describe(newElement) + " shrinks from " + Quoted(oldValue) + " to " +
                        Quoted(newValue) + " (" + where + "): values that no longer fit are cut or refused";
             }},
            {oldElement, newElement}, rule->narrowing);
    if (rule->change != cChangePolicy::kOff && !rule->Allows(oldValue, newValue)) {
        std::string allowed;
        for (const auto& [from, to] : rule->allow) allowed += (allowed.empty() ? "" : ", ") + from + " -> " + to;
        Add({Problem::kFieldChanged, Problem::kError, Dom(newElement), Dom(oldElement), oldElement, newElement, subject,
             [=](const std::string& where) {
                 return change + Describe(newElement) + " changes from " + Quoted(oldValue) + " to " +
                        Quoted(newValue) + " (" + where + "), which is not among the changes allowed for " + field +
                        (allowed.empty() ? std::string(" (none)") : " (" + allowed + ")");
             }},
            {oldElement, newElement}, rule->change);
    }
}

void cChangeRules::Add(Finding finding, const std::vector<const cQORMDMetaElem*>& about, cChangePolicy::Level own) {
    if (!policy_.SeverityOf(finding.rule, own, finding.severity)) return;
    std::vector<ZULUnicodeString> keys;
    for (const cQORMDMetaElem* element : about) keys.push_back(element->GetUuid());
    if (policy_.IsAcknowledged(finding.rule, keys)) return;
    findings_.push_back(std::move(finding));
}

std::vector<cCheckProblem> cChangeRules::Placed() {
    std::unordered_map<const DOMElement*, cDDLXMLPosition> newPlaces, oldPlaces;
    for (const Finding& finding : findings_) {
        newPlaces.emplace(finding.at, cDDLXMLPosition{});
        if (finding.oldAt) oldPlaces.emplace(finding.oldAt, cDDLXMLPosition{});
    }
    if (versions_.newPlaces && !versions_.newDeleted) versions_.newPlaces->Find(newPlaces);
    if (versions_.oldPlaces) versions_.oldPlaces->Find(oldPlaces);

    struct Placed {
        cCheckProblem problem;
        unsigned long oldLine;
    };
    std::vector<Placed> placed;
    placed.reserve(findings_.size());
    for (Finding& finding : findings_) {
        const unsigned long oldLine = finding.oldAt ? oldPlaces[finding.oldAt].line : 0;
        const std::string where =
            oldLine > 0 ? "line " + std::to_string(oldLine) + " of " + versions_.oldName : "in " + versions_.oldName;
        cCheckProblem problem(finding.rule, finding.severity, newPlaces[finding.at], finding.words(where));
        problem.oldElement = finding.oldElement;
        problem.newElement = finding.newElement;
        problem.subject = std::move(finding.subject);
        if (versions_.newDeleted) problem.at = {1, 1, 1};
        placed.push_back({std::move(problem), oldLine});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return std::tie(a.problem.at.line, a.problem.at.column, a.problem.rule, a.oldLine, a.problem.message) <
               std::tie(b.problem.at.line, b.problem.at.column, b.problem.rule, b.oldLine, b.problem.message);
    });
    std::vector<cCheckProblem> problems;
    problems.reserve(placed.size());
    for (Placed& one : placed) problems.push_back(std::move(one.problem));
    return problems;
}
