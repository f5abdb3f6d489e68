// SPDX-License-Identifier: Apache-2.0
// cReportBuilder: reads the result of the diff's comparison into the report
// model. Every entry of the comparison's three categories lands in exactly one
// place of the report; nothing is compared again, the model of the two
// documents only gives names, the document order and the copies' content.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>
#include <xercesc/dom/DOMElement.hpp>

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
    // result: a comparison that ran to its end. The file names are shown as given.
    cReportBuilder(cMetaDiffDoc& result, std::string oldFile, std::string newFile);
    cReport Build();

private:
    // One entry of the comparison and the category it came from. A changed
    // attribute is placed once per class pair that holds it, with the pair
    // and the field changes true of it.
    struct Entry {
        cReportElement::Kind kind;
        cMetaDiffElem* diff;
        cQORMDMetaElem* oldAttrib = nullptr;
        cQORMDMetaElem* newAttrib = nullptr;
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
    // The comparison keys an attribute by its Uuid alone, and one Uuid may
    // stand in several classes: their changes then come as one entry, with
    // the records of every class (a field deleted from two is there twice).
    // Each class that holds the attribute in both documents gets the
    // records true of its own pair, once each; found in one pass over the
    // new document's classes.
    void PlaceChangedAttributes();
    ClassGroup& Group(const ZULUnicodeString& key);
    void PlaceClassesOf(cQORMDMetaPackage* package, cReport& report);
    cReportElement PackageSection() const;
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

    cMetaDiffDoc& result_;
    std::string oldFile_;
    std::string newFile_;
    std::vector<Entry> packageEntries_;
    std::vector<cMetaDiffElem*> changedAttributes_;  // until PlaceChangedAttributes
    std::vector<ClassGroup> groups_;                 // in the order the comparison recorded them
    std::unordered_map<ZULUnicodeString, std::size_t, ZULUnicodeStringHash> groupIndex_;
    cReportMoveFinder moves_;
};
