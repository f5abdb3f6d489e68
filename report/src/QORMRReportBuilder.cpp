// SPDX-License-Identifier: Apache-2.0
#include "QORMRReportBuilder.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "QORMDChangeRules.h"
#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiff.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffElem.h"
#include "QORMDMetaDiffField.h"
#include "QORMDMetaField.h"
#include "QORMDMetaPackage.h"
#include "QORMRNodeReader.h"
#include "QORMetaUtil/QORMUPrintableLine.h"
#include "ZULBase/ZULRawCollPV.h"

namespace {

using Kind = cReportElement::Kind;

template <class T>
T* Locate(ZULHashDico* dictionary, const ZULUnicodeString& key) {
    return dictionary ? static_cast<T*>(dictionary->Locate(key)) : nullptr;
}

cQORMDMetaClass* FindClass(cQORMDMetaPackage* package, const ZULUnicodeString& key) {
    return package ? Locate<cQORMDMetaClass>(package->GetClasses(), key) : nullptr;
}

cQORMDMetaAttrib* FindAttribute(cQORMDMetaClass* modelClass, const ZULUnicodeString& key) {
    return modelClass ? Locate<cQORMDMetaAttrib>(modelClass->GetAttribs(), key) : nullptr;
}

const xercesc::DOMElement* Dom(const cQORMDMetaElem* element) {
    return element ? const_cast<cQORMDMetaElem*>(element)->GetDomElement().get() : nullptr;
}

std::string FieldOf(cQORMDMetaElem* element, const char* name) {
    ZULUnicodeString value;
    if (element) element->GetFieldValue(ZULUnicodeString(name), value);
    return cReportNodeReader::Utf8(value);
}

// Tag, name and Uuid of an element on one side or both (the new side first).
void Describe(cReportElement& element, cQORMDMetaElem* oldElem, cQORMDMetaElem* newElem) {
    cQORMDMetaElem* shown = newElem ? newElem : oldElem;
    if (!shown) return;
    element.tag = cReportNodeReader::Utf8(shown->GetTagName());
    element.name = FieldOf(shown, "Name");
    element.uuid = FieldOf(shown, "Uuid");
}

// The value of element's field name; false when it has no such field.
bool ValueOf(cQORMDMetaElem* element, const ZULUnicodeString& name, ZULUnicodeString& value) {
    const auto* field = static_cast<const cQORMDMetaField*>(element->GetFields()->Locate(name));
    if (field) value = field->GetValue();
    return field != nullptr;
}

// Whether record, of the given kind, is a change from oldElem to newElem.
bool HoldsFor(const cMetaDiffField& record, cReportField::Kind kind, cQORMDMetaElem* oldElem, cQORMDMetaElem* newElem) {
    ZULUnicodeString oldValue, newValue;
    switch (kind) {
        case cReportField::kChanged:
            return ValueOf(oldElem, record.getName(), oldValue) && oldValue == record.getValue() &&
                   ValueOf(newElem, record.getNewName(), newValue) && newValue == record.getNewValue();
        case cReportField::kDeleted:
            return ValueOf(oldElem, record.getName(), oldValue) && oldValue == record.getValue() &&
                   !ValueOf(newElem, record.getName(), newValue);
        case cReportField::kAdded:
            return ValueOf(newElem, record.getName(), newValue) && newValue == record.getValue() &&
                   !ValueOf(oldElem, record.getName(), oldValue);
        case cReportField::kSame: break;
    }
    return false;
}

// The field records of a modified entry: changed fields, then deleted, then
// added. With a pair of elements, only the records true of that pair, each once.
std::vector<cReportField> FieldChanges(cMetaDiffElem* entry, cQORMDMetaElem* oldElem = nullptr,
                                       cQORMDMetaElem* newElem = nullptr) {
    std::vector<cReportField> fields;
    std::unordered_set<std::string> listed;  // kind and name of each field listed for the pair
    const auto read = [&](ZULRawCollPV& list, cReportField::Kind kind) {
        for (int i = 1; i <= list.Size(); ++i) {
            const auto* record = static_cast<const cMetaDiffField*>(list[i]);
            if (!record) continue;
            if (oldElem && newElem &&
                (!HoldsFor(*record, kind, oldElem, newElem) ||
                 !listed.insert(char('0' + kind) + cReportNodeReader::Utf8(record->getName())).second))
                continue;
            cReportField field{kind, cReportField::kNoNote, cReportNodeReader::Utf8(record->getName()), {}, {}};
            if (kind == cReportField::kAdded)
                field.newValue = cReportNodeReader::Utf8(record->getValue());
            else
                field.oldValue = cReportNodeReader::Utf8(record->getValue());
            if (kind == cReportField::kChanged) {
                field.newValue = cReportNodeReader::Utf8(record->getNewValue());
                field.note = cReportField::NoteFor(field.name, field.oldValue, field.newValue);
            }
            fields.push_back(std::move(field));
        }
    };
    read(entry->getModModifiedList(), cReportField::kChanged);
    read(entry->getModDeletedList(), cReportField::kDeleted);
    read(entry->getModAddedList(), cReportField::kAdded);
    return fields;
}

// An element child of a copied class that is one of the class's attributes in
// the model (and not a skipped or duplicate one): its key, or empty.
ZULUnicodeString AttributeKeyOf(const xercesc::DOMElement* child, cQORMDMetaClass* modelClass) {
    ZULUnicodeString key(cReportNodeReader::Attribute(child, u"Uuid").c_str());
    key.ToUpper();
    cQORMDMetaAttrib* attribute = FindAttribute(modelClass, key);
    if (!attribute || attribute->GetDomElement().get() != child) return {};
    return key;
}

}  // namespace

cReportBuilder::cReportBuilder(cMetaDiffDoc& result, std::string oldFile, std::string newFile,
                               const cChangePolicy& policy)
    : result_(result), oldFile_(std::move(oldFile)), newFile_(std::move(newFile)), policy_(policy) {}

cReport cReportBuilder::Build() {
    cReport report;
    report.oldFile = oldFile_;
    report.newFile = newFile_;
    report.empty = result_.IsEmpty();
    cQORMDMetaPackage* oldPackage = result_.GetOldPackage();
    cQORMDMetaPackage* newPackage = result_.GetNewPackage();
    report.nothingCompared =
        report.empty && (!oldPackage || oldPackage->IsEmpty()) && (!newPackage || newPackage->IsEmpty());
    cMetaDiff* diff = result_.GetMetaDiff();
    if (report.empty || !diff) return report;
    report.packageName = cReportNodeReader::Utf8(diff->getPackageName());
    Flag(cChangeRules(result_, policy_, {nullptr, nullptr, oldFile_, false}).Problems());

    Collect(diff->getAdded(), cReportElement::kAdded);
    Collect(diff->getDeleted(), cReportElement::kDeleted);
    Collect(diff->getModified(), cReportElement::kChanged);
    PlaceChangedEntries();

    report.package = PackageSection();
    PlaceClassesOf(result_.GetNewPackage(), report);
    PlaceClassesOf(result_.GetOldPackage(), report);
    PlaceClassesOf(nullptr, report);  // whatever no document placed, in recording order
    moves_.Apply(report);
    // Every element a rule names is in the report; should one not be, its
    // marks go to the package rather than be lost.
    std::vector<cReportMark> left;
    for (auto& [element, marks] : marks_)
        for (cReportMark& mark : marks) left.push_back(std::move(mark));
    std::sort(left.begin(), left.end(), [](const cReportMark& a, const cReportMark& b) {
        return std::tie(a.rule, a.message) < std::tie(b.rule, b.message);
    });
    for (cReportMark& mark : left) report.package.marks.push_back(std::move(mark));
    marks_.clear();
    return report;
}

void cReportBuilder::Flag(std::vector<cCheckProblem> problems) {
    marks_.clear();
    for (cCheckProblem& problem : problems) {
        const xercesc::DOMElement* about = Dom(problem.newElement ? problem.newElement : problem.oldElement);
        marks_[about].push_back(
            {problem.RuleId(), problem.severity == cCheckProblem::kError, QORMUPrintableLine(problem.message)});
    }
}

void cReportBuilder::Mark(cReportElement& element, const xercesc::DOMElement* shown) {
    const auto found = marks_.find(shown);
    if (!shown || found == marks_.end()) return;
    for (cReportMark& mark : found->second) element.marks.push_back(std::move(mark));
    marks_.erase(found);
}

void cReportBuilder::Mark(cReportElement& element, const cQORMDMetaElem* oldElem, const cQORMDMetaElem* newElem) {
    Mark(element, Dom(newElem ? newElem : oldElem));
}

void cReportBuilder::MarkOwners(cReportElement& element, cMetaDiffElem* entry) {
    ZULRawCollPV& changed = entry->getModModifiedList();
    for (int i = 1; i <= changed.Size(); ++i) {
        const auto* record = static_cast<const cMetaDiffField*>(changed[i]);
        if (record && record->getNewMetaField()) Mark(element, Dom(record->getNewMetaField()->GetOwner()));
    }
}

void cReportBuilder::Collect(cMetaDiffBase* category, cReportElement::Kind kind) {
    if (!category) return;
    ZULRawCollPV list;
    category->getListMetaDiffElem(list);
    for (int i = 1; i <= list.Size(); ++i) {
        auto* entry = static_cast<cMetaDiffElem*>(list[i]);
        if (!entry) continue;
        if (kind == cReportElement::kChanged) {
            changedEntries_.push_back(entry);
            continue;
        }
        switch (entry->getLevel()) {
            case cQORMDMetaElem::kPackage: packageEntries_.push_back({kind, entry}); break;
            case cQORMDMetaElem::kClass: Group(entry->getUuid()).own.push_back({kind, entry}); break;
            default: Group(entry->getParentUuid()).attributes.emplace_back(entry->getUuid(), Entry{kind, entry}); break;
        }
    }
}

void cReportBuilder::PlaceChangedEntries() {
    if (changedEntries_.empty()) return;
    for (cMetaDiffElem* entry : changedEntries_) changedByKey_.emplace(entry->getUuid(), entry);
    // The comparison pairs the two packages whatever their Uuids: either may key their records.
    cQORMDMetaPackage* oldPackage = result_.GetOldPackage();
    cQORMDMetaPackage* newPackage = result_.GetNewPackage();
    if (oldPackage && newPackage) {
        ZULUnicodeString oldKey = oldPackage->GetUuid(), newKey = newPackage->GetUuid();
        oldKey.ToUpper();
        newKey.ToUpper();
        if (auto entry = PairEntry(oldKey, oldPackage, newPackage)) packageEntries_.push_back(std::move(*entry));
        if (newKey != oldKey)
            if (auto entry = PairEntry(newKey, oldPackage, newPackage)) packageEntries_.push_back(std::move(*entry));
        PlaceChangedClasses(oldPackage, newPackage);
    }
    // What no pair explains stays with the element the comparison named.
    for (cMetaDiffElem* entry : changedEntries_) {
        if (explained_.count(entry)) continue;
        const Entry whole{cReportElement::kChanged, entry};
        switch (entry->getLevel()) {
            case cQORMDMetaElem::kPackage: packageEntries_.push_back(whole); break;
            case cQORMDMetaElem::kClass: Group(entry->getUuid()).own.push_back(whole); break;
            default: Group(entry->getParentUuid()).attributes.emplace_back(entry->getUuid(), whole); break;
        }
    }
    changedEntries_.clear();
    changedByKey_.clear();
    explained_.clear();
}

void cReportBuilder::PlaceChangedClasses(cQORMDMetaPackage* oldPackage, cQORMDMetaPackage* newPackage) {
    ZULHashDico* classes = newPackage->GetClasses();
    ZULHashCodeIter classIt(*classes);
    while (classIt++) {
        auto* newClass = static_cast<cQORMDMetaClass*>((*classes)[classIt]);
        cQORMDMetaClass* oldClass = FindClass(oldPackage, classIt.ItemName());
        if (!oldClass) continue;
        if (auto entry = PairEntry(classIt.ItemName(), oldClass, newClass))
            Group(classIt.ItemName()).own.push_back(std::move(*entry));
        ZULHashDico* attributes = newClass->GetAttribs();
        ZULHashCodeIter attributeIt(*attributes);
        while (attributeIt++) {
            cQORMDMetaAttrib* oldAttrib = FindAttribute(oldClass, attributeIt.ItemName());
            if (!oldAttrib) continue;
            auto* newAttrib = static_cast<cQORMDMetaAttrib*>((*attributes)[attributeIt]);
            if (auto entry = PairEntry(attributeIt.ItemName(), oldAttrib, newAttrib))
                Group(classIt.ItemName()).attributes.emplace_back(attributeIt.ItemName(), std::move(*entry));
        }
    }
}

std::optional<cReportBuilder::Entry> cReportBuilder::PairEntry(const ZULUnicodeString& key, cQORMDMetaElem* oldElem,
                                                               cQORMDMetaElem* newElem) {
    const auto found = changedByKey_.find(key);
    if (found == changedByKey_.end()) return std::nullopt;
    std::vector<cReportField> fields = FieldChanges(found->second, oldElem, newElem);
    if (fields.empty()) return std::nullopt;  // this pair did not change
    explained_.insert(found->second);
    return Entry{cReportElement::kChanged, found->second, oldElem, newElem, std::move(fields)};
}

std::vector<cReportField> cReportBuilder::FieldsOf(const Entry& entry) {
    return entry.oldElem && entry.newElem ? entry.fields : FieldChanges(entry.diff);
}

cReportBuilder::ClassGroup& cReportBuilder::Group(const ZULUnicodeString& key) {
    const auto found = groupIndex_.find(key);
    if (found != groupIndex_.end()) return groups_[found->second];
    groupIndex_.emplace(key, groups_.size());
    groups_.push_back(ClassGroup{key, {}, {}, false});
    return groups_.back();
}

void cReportBuilder::PlaceClassesOf(cQORMDMetaPackage* package, cReport& report) {
    const auto place = [&](ClassGroup& group) {
        if (group.placed) return;
        group.placed = true;
        report.classes.push_back(ClassSection(group, report.classes.size()));
    };
    if (!package) {
        for (ClassGroup& group : groups_) place(group);
        return;
    }
    ZULHashDico* classes = package->GetClasses();
    ZULHashCodeIter it(*classes);
    while (it++) {
        const auto found = groupIndex_.find(it.ItemName());
        if (found != groupIndex_.end()) place(groups_[found->second]);
    }
}

cReportElement cReportBuilder::PackageSection() {
    cReportElement section;
    Describe(section, result_.GetOldPackage(), result_.GetNewPackage());
    for (const Entry& entry : packageEntries_) {
        if (entry.kind == cReportElement::kChanged) {
            section.kind = cReportElement::kChanged;
            for (cReportField& field : FieldsOf(entry)) section.fields.push_back(std::move(field));
            section.NoteRename();
            if (!entry.newElem) MarkOwners(section, entry.diff);
        } else {
            section = Copy(entry.diff->getDomElement().get(), entry.kind, false, false);
        }
    }
    Mark(section, result_.GetOldPackage(), result_.GetNewPackage());
    return section;
}

cReportElement cReportBuilder::ClassSection(ClassGroup& group, std::size_t sectionIndex) {
    cQORMDMetaClass* oldClass = FindClass(result_.GetOldPackage(), group.key);
    cQORMDMetaClass* newClass = FindClass(result_.GetNewPackage(), group.key);
    cReportElement section;
    Describe(section, oldClass, newClass);
    for (const Entry& entry : group.own) {
        if (entry.kind == cReportElement::kChanged) {
            section.kind = cReportElement::kChanged;
            for (cReportField& field : FieldsOf(entry)) section.fields.push_back(std::move(field));
            section.NoteRename();
            if (!entry.newElem) MarkOwners(section, entry.diff);
        } else {
            const xercesc::DOMElement* element = entry.diff->getDomElement().get();
            section = Copy(element, entry.kind, true, true);
            Mark(section, element);
            AddCopiedItems(element, entry.kind, entry.kind == cReportElement::kAdded ? newClass : oldClass, section,
                           sectionIndex);
        }
    }
    Mark(section, oldClass, newClass);
    AddAttributeItems(group, oldClass, newClass, section, sectionIndex);
    return section;
}

void cReportBuilder::AddAttributeItems(ClassGroup& group, cQORMDMetaClass* oldClass, cQORMDMetaClass* newClass,
                                       cReportElement& section, std::size_t sectionIndex) {
    if (group.attributes.empty()) return;
    std::unordered_map<ZULUnicodeString, std::vector<std::size_t>, ZULUnicodeStringHash> byKey;
    for (std::size_t i = 0; i < group.attributes.size(); ++i) byKey[group.attributes[i].first].push_back(i);
    std::vector<bool> placed(group.attributes.size(), false);
    section.items.reserve(section.items.size() + group.attributes.size());
    const auto place = [&](std::size_t i) {
        if (placed[i]) return;
        placed[i] = true;
        section.items.push_back(
            AttributeItem(group.attributes[i].first, group.attributes[i].second, sectionIndex, section.items.size()));
    };
    // The new class's order, then the attributes only the old class had, then any other.
    for (cQORMDMetaClass* modelClass : {newClass, oldClass}) {
        if (!modelClass) continue;
        ZULHashCodeIter it(*modelClass->GetAttribs());
        while (it++) {
            const auto found = byKey.find(it.ItemName());
            if (found == byKey.end()) continue;
            for (std::size_t i : found->second) place(i);
        }
    }
    for (std::size_t i = 0; i < group.attributes.size(); ++i) place(i);
}

cReportElement cReportBuilder::AttributeItem(const ZULUnicodeString& key, const Entry& entry, std::size_t sectionIndex,
                                             std::size_t itemIndex) {
    if (entry.kind == cReportElement::kAdded) moves_.Arrived(key, sectionIndex, itemIndex);
    if (entry.kind == cReportElement::kDeleted) moves_.Departed(key, sectionIndex, itemIndex);
    if (entry.kind != cReportElement::kChanged) {
        cReportElement copy = Copy(entry.diff->getDomElement().get(), entry.kind, false, true);
        Mark(copy, entry.diff->getDomElement().get());
        return copy;
    }

    cReportElement item;
    item.kind = cReportElement::kChanged;
    if (entry.oldElem && entry.newElem) {
        Describe(item, entry.oldElem, entry.newElem);
        Mark(item, entry.oldElem, entry.newElem);
    } else {
        const ZULUnicodeString parent = entry.diff->getParentUuid();
        cQORMDMetaAttrib* oldAttrib = FindAttribute(FindClass(result_.GetOldPackage(), parent), key);
        cQORMDMetaAttrib* newAttrib = FindAttribute(FindClass(result_.GetNewPackage(), parent), key);
        Describe(item, oldAttrib, newAttrib);
        Mark(item, oldAttrib, newAttrib);
        MarkOwners(item, entry.diff);
    }
    item.fields = FieldsOf(entry);
    item.NoteRename();
    return item;
}

cReportElement cReportBuilder::Copy(const xercesc::DOMElement* element, cReportElement::Kind kind,
                                    bool childElementsAsItems, bool deep) {
    cReportElement copy;
    copy.kind = kind;
    if (!element) return copy;
    copy.tag = cReportNodeReader::Utf8(element->getTagName());
    copy.name = cReportNodeReader::Attribute(element, u"Name");
    copy.uuid = cReportNodeReader::Attribute(element, u"Uuid");
    const auto fieldKind = kind == cReportElement::kAdded ? cReportField::kAdded : cReportField::kDeleted;
    auto fields = cReportNodeReader::Fields(element);
    copy.fields.reserve(fields.size());
    for (auto& [name, value] : fields) {
        cReportField field{fieldKind, cReportField::kNoNote, std::move(name), {}, {}};
        (fieldKind == cReportField::kAdded ? field.newValue : field.oldValue) = std::move(value);
        copy.fields.push_back(std::move(field));
    }
    if (!deep) return copy;
    for (const xercesc::DOMNode* child = element->getFirstChild(); child; child = child->getNextSibling()) {
        if (childElementsAsItems && child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE) continue;
        cReportNode node;
        if (cReportNodeReader::Read(child, node)) copy.below.push_back(std::move(node));
    }
    return copy;
}

void cReportBuilder::AddCopiedItems(const xercesc::DOMElement* element, cReportElement::Kind kind,
                                    cQORMDMetaClass* modelClass, cReportElement& section, std::size_t sectionIndex) {
    if (!element) return;
    section.items.reserve(element->getChildElementCount());
    for (const xercesc::DOMElement* child = element->getFirstElementChild(); child;
         child = child->getNextElementSibling()) {
        const ZULUnicodeString key = AttributeKeyOf(child, modelClass);
        if (!key.IsEmpty()) {
            if (kind == cReportElement::kAdded) moves_.Arrived(key, sectionIndex, section.items.size());
            if (kind == cReportElement::kDeleted) moves_.Departed(key, sectionIndex, section.items.size());
        }
        section.items.push_back(Copy(child, kind, false, true));
        Mark(section.items.back(), child);
    }
}
