// SPDX-License-Identifier: Apache-2.0
// The report model: what changed between two metadata documents, grouped the
// way a person reads a model (package, then class by class, attributes inside
// their class), as plain UTF-8 values, with the changes the change rules flag. Built from the comparison by
// cReportBuilder, read by the writers; it holds no pointer into the
// comparison, so it outlives it.
#pragma once

#include <string>
#include <utility>
#include <vector>

// One field line: a field of an element, changed, added, deleted, or (for an
// attribute that moved between classes) the same on both sides.
struct cReportField {
    enum Kind { kSame, kChanged, kAdded, kDeleted };
    // What a changed field means to a reader.
    enum Note { kNoNote, kRenamed, kUuidCaseOnly };

    Kind kind = kSame;
    Note note = kNoNote;
    std::string name;
    std::string oldValue;  // kSame, kChanged, kDeleted
    std::string newValue;  // kSame, kChanged, kAdded

    // The note of a change of field name from oldValue to newValue: a changed
    // Name is a rename; a Uuid changed in letter case alone (the comparison
    // matches Uuids that way) is still the same element.
    static Note NoteFor(const std::string& name, const std::string& oldValue, const std::string& newValue);
};

// Content of a copied element below the level the report lists: an element
// with its fields and children, or a text, comment or processing instruction.
struct cReportNode {
    enum Kind { kElement, kText, kComment, kInstruction };

    Kind kind = kElement;
    std::string tag;                                          // element tag, or instruction target
    std::vector<std::pair<std::string, std::string>> fields;  // name, value, in document order
    std::string text;                                         // text, comment or instruction data
    std::vector<cReportNode> children;
};

// A change that a change rule of QORMetaCheck flags (QM101 to QM107, run on
// the report's own comparison): its rule, its severity as the team's
// configuration sets it, and what the check says about it.
struct cReportMark {
    std::string rule;     // "QM102"
    bool error = true;    // false: a warning
    std::string message;  // one line, every invisible character escaped
};

// A package, class or attribute that the report names.
struct cReportElement {
    enum Kind {
        kAdded,      // only in the new document
        kDeleted,    // only in the old document
        kChanged,    // its own fields differ
        kUnchanged,  // the same itself; something inside it changed
        kMovedIn,    // an attribute that came from another class
        kMovedOut,   // an attribute that went to another class
    };

    Kind kind = kUnchanged;
    std::string tag;
    std::string name;     // its Name (new side when it is on both)
    std::string oldName;  // its old Name when it was renamed
    bool renamed = false;
    std::string uuid;  // its Uuid as written (new side when it is on both)
    // kChanged: the differing fields; kAdded and kDeleted: every field; kMovedIn:
    // the fields of both sides compared; kMovedOut: none (its arrival has them).
    std::vector<cReportField> fields;
    // Element children that are not attributes of the model, texts and comments
    // (of an added or deleted element, or of either side of a moved attribute).
    std::vector<cReportNode> below;
    std::vector<cReportElement> items;  // a class's attributes (and, for a copied class, its other element children)
    int move = -1;                      // kMovedIn, kMovedOut: index in cReport::moves
    // The flagged changes of this element: a deletion's on the deleted
    // element, a re-creation's on the new one, a move's on its arrival.
    std::vector<cReportMark> marks;

    // Sets renamed and oldName from a changed Name among the fields.
    void NoteRename();
};

// An attribute that left one class and arrived in another.
struct cReportMove {
    std::string tag, name, uuid;              // the attribute
    std::string fromTag, fromName, fromUuid;  // the class it left
    std::string toTag, toName, toUuid;        // the class it arrived in
};

struct cReport {
    std::string oldFile;  // as given; empty when there was no old document
    std::string newFile;
    std::string packageName;              // the diff's package name: the old package's Name first
    bool empty = true;                    // nothing differs
    bool nothingCompared = false;         // neither package holds a class: not even the package's fields were compared
    cReportElement package;               // kUnchanged without fields when the package itself did not change
                                          // (shown all the same when it holds a mark)
    std::vector<cReportElement> classes;  // the new document's order, then deleted ones in the old document's order
    std::vector<cReportMove> moves;

    // Whether the package has a section of its own: it changed, or holds a mark.
    bool PackageShown() const { return package.kind != cReportElement::kUnchanged || !package.marks.empty(); }
};
