// SPDX-License-Identifier: Apache-2.0
// cChangeRules: the changes between two versions of a metadata document that
// lose data when a database is migrated from the diff, read from the diff's
// own comparison (a cMetaDiffDoc that cMetaDiffMgr filled): what changed is
// what its Added, Deleted and Modified entries say, and each field record
// leads to the very elements it came from (cMetaDiffField -> the field ->
// GetOwner), so the check and the diff never disagree. The rules:
//   QM101 a class deleted                     at the package, which lost it
//   QM102 an attribute deleted from a class   at that class
//   QM103 re-created: in one container, one deleted and one added with the
//         same Name (letter case aside) under a new Uuid; at the new one,
//         the deletion not reported besides
//   QM104 an attribute moved to another class (its Uuid deleted from one
//         class, added to one other); at its new place, once
//   QM105 Name changed                        at the element
//   QM106 a numeric field the policy keeps from shrinking got smaller
//   QM107 a field the policy restricts changed in a way it does not allow
// An added element, and a Uuid changed in letter case alone, are no
// problem. A Modified entry that the diff merged for several elements (an
// attribute Uuid several classes share; a class and an attribute whose
// Uuids differ in letter case only) gives each element its own problems,
// once. Each problem is placed at a start tag of the new document and names
// the old version's line of what it lost.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMDChangePolicy.h"
#include "QORMDCheckProblem.h"
#include "QORMDDocumentPlaces.h"

class cMetaDiffDoc;
class cQORMDMetaAttrib;
class cQORMDMetaClass;
class cQORMDMetaElem;

class cChangeRules {
public:
    // Where the elements of each version begin, and how messages name the old version.
    struct Versions {
        const cDocumentPlaces* oldPlaces = nullptr;  // null: lines unknown (0)
        const cDocumentPlaces* newPlaces = nullptr;
        std::string oldName;      // "old.xml", "HEAD:models/sales.meta.xml"
        bool newDeleted = false;  // no new document: every problem at line 1, column 1
    };

    // result: a comparison that ran to its end, both packages loaded.
    cChangeRules(cMetaDiffDoc& result, const cChangePolicy& policy, Versions versions);

    // The change problems not acknowledged and not switched off, in the
    // order of their places in the new document.
    std::vector<cCheckProblem> Problems();

private:
    // A problem found, to be placed and worded once every place is known.
    struct Finding {
        cCheckProblem::Rule rule;
        cCheckProblem::Severity severity;
        const xercesc::DOMElement* at;     // the start tag in the new document
        const xercesc::DOMElement* oldAt;  // what it lost, in the old document (or null)
        const cQORMDMetaElem* oldElement;
        const cQORMDMetaElem* newElement;
        std::string subject;
        // The message, given where the old element was ("line 12 of old.xml").
        std::function<std::string(const std::string& where)> words;
    };
    // An attribute that left a class that stays, or arrived in a class.
    struct Side {
        cQORMDMetaAttrib* attribute;
        bool taken = false;  // part of a move or a re-creation
    };

    void Collect();
    void Moves();
    void RecreatedClasses();
    void RecreatedAttributes();
    void Deletions();
    void FieldChanges();
    void FieldChange(const cQORMDMetaElem* oldElement, const cQORMDMetaElem* newElement, const std::string& field,
                     const std::string& oldValue, const std::string& newValue);
    // Adds a finding of rule unless the policy switches it off or
    // acknowledges it for one of the elements; own: a field rule's level.
    void Add(Finding finding, const std::vector<const cQORMDMetaElem*>& about,
             cChangePolicy::Level own = cChangePolicy::kDefault);
    std::vector<cCheckProblem> Placed();

    cMetaDiffDoc& result_;
    const cChangePolicy& policy_;
    Versions versions_;
    std::vector<cQORMDMetaClass*> deletedClasses_, addedClasses_;
    std::vector<Side> departures_, arrivals_;  // arrivals: added attributes, then those of added classes
    std::size_t addedAttributes_ = 0;          // how many arrivals are added attributes (not in an added class)
    std::vector<bool> classTaken_;             // per deleted class: re-created
    std::vector<Finding> findings_;
};
