// SPDX-License-Identifier: Apache-2.0
// cReportBuilder: reads the result of the diff's comparison into the report
// model. Every entry of the comparison's three categories lands in exactly one
// place of the report; nothing is compared again, the model of the two
// documents only gives names, the document order and the copies' content.
// The change rules (cChangeRules) run on the same result, and each problem
// they find marks the report element of the element it is about.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <xercesc/dom/DOMElement.hpp>

#include "QORMDChangePolicy.h"
#include "QORMDCheckProblem.h"
#include "QORMRMoveFinder.h"
#include "QORMRReport.h"
#include "ZULBase/ZULUnicodeString.h"

class cMetaDiffBase;
class cMetaDiffDoc;
class cMetaDiffElem;
class cQORMDMetaClass;
class cQORMDMetaElem;
class cQORMDMetaPackage;

class cReportBuilder {
public:
    // result: a comparison that ran to its end. The file names are shown as
    // given; the change rules' messages name the old version oldFile. The
    // policy sets the rules' severities and the changes acknowledged.
    cReportBuilder(cMetaDiffDoc& result, std::string oldFile, std::string newFile, const cChangePolicy& policy);
    cReport Build();

private:
    // One entry of the comparison and the category it came from. A changed
    // entry is placed once per pair of elements (package, class, or an
    // attribute in a class) that it holds records of, with the pair and the
    // field changes true of it.
    struct Entry {
        cReportElement::Kind kind;
        cMetaDiffElem* diff;
        cQORMDMetaElem* oldElem = nullptr;
        cQORMDMetaElem* newElem = nullptr;
        std::vector<cReportField> fields = {};
    };
    // The entries of one class: its own, and those of its attributes in recording order.
    struct ClassGroup {
        ZULUnicodeString key;
        std::vector<Entry> own;
        std::vector<std::pair<ZULUnicodeString, Entry>> attributes;
        bool placed = false;
    };

    void Collect(cMetaDiffBase* category, cReportElement::Kind kind);
    // The comparison keys a changed element by its upper-cased Uuid alone,
    // whatever its level, and one Uuid may stand for several elements: an
    // attribute that several classes hold, a class and an attribute whose
    // Uuids differ in letter case only. Their changes then come as one
    // entry, with the records of every pair (a field deleted from two is
    // there twice). Each pair of elements that a changed entry's key names
    // gets the records true of it, once each; found in one pass over the
    // packages and the new document's classes. What no pair explains stays
    // with the element the comparison named.
    void PlaceChangedEntries();
    // The pairs of classes and of their attributes (both documents hold them).
    void PlaceChangedClasses(cQORMDMetaPackage* oldPackage, cQORMDMetaPackage* newPackage);
    // The changed entry keyed key placed for the pair, with its records true
    // of the pair; nothing when no record holds for it.
    std::optional<Entry> PairEntry(const ZULUnicodeString& key, cQORMDMetaElem* oldElem, cQORMDMetaElem* newElem);
    // A changed entry's field lines: those of its pair, else all its records.
    static std::vector<cReportField> FieldsOf(const Entry& entry);
    ClassGroup& Group(const ZULUnicodeString& key);
    void PlaceClassesOf(cQORMDMetaPackage* package, cReport& report);
    cReportElement PackageSection();
    cReportElement ClassSection(ClassGroup& group, std::size_t sectionIndex);
    void AddAttributeItems(ClassGroup& group, cQORMDMetaClass* oldClass, cQORMDMetaClass* newClass,
                           cReportElement& section, std::size_t sectionIndex);
    cReportElement AttributeItem(const ZULUnicodeString& key, const Entry& entry, std::size_t sectionIndex,
                                 std::size_t itemIndex);
    // A whole element of one document (added or deleted), as the diff copies
    // it: its fields and, when deep, what lies below it (a class lists its
    // element children as items instead).
    static cReportElement Copy(const xercesc::DOMElement* element, cReportElement::Kind kind, bool childElementsAsItems,
                               bool deep);
    // The element children of a copied class, each an item; its attributes
    // may be one side of a move.
    void AddCopiedItems(const xercesc::DOMElement* element, cReportElement::Kind kind, cQORMDMetaClass* modelClass,
                        cReportElement& section, std::size_t sectionIndex);
    // The problems of the change rules, waiting for the report element of the
    // element each is about (its new one, else its old one), by start tag.
    void Flag(std::vector<cCheckProblem> problems);
    // Gives element the marks of the document element it shows, once.
    void Mark(cReportElement& element, const xercesc::DOMElement* shown);
    void Mark(cReportElement& element, const cQORMDMetaElem* oldElem, const cQORMDMetaElem* newElem);
    // A changed entry that no pair of elements explained: the marks of every
    // element its changed fields belong to.
    void MarkOwners(cReportElement& element, cMetaDiffElem* entry);

    cMetaDiffDoc& result_;
    std::string oldFile_;
    std::string newFile_;
    const cChangePolicy& policy_;
    std::unordered_map<const xercesc::DOMElement*, std::vector<cReportMark>> marks_;
    std::vector<Entry> packageEntries_;
    // Until PlaceChangedEntries: the changed entries, by key, and those a pair explains.
    std::vector<cMetaDiffElem*> changedEntries_;
    std::unordered_map<ZULUnicodeString, cMetaDiffElem*, ZULUnicodeStringHash> changedByKey_;
    std::unordered_set<cMetaDiffElem*> explained_;
    std::vector<ClassGroup> groups_;  // in the order the comparison recorded them
    std::unordered_map<ZULUnicodeString, std::size_t, ZULUnicodeStringHash> groupIndex_;
    cReportMoveFinder moves_;
};
