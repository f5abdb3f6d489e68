// SPDX-License-Identifier: Apache-2.0
// cMergeConflict: one place where ours and theirs changed the same thing
// differently. The merged file holds ours' side there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "ZULBase/ZULUnicodeString.h"

class cMergeConflict {
public:
    enum Kind {
        kField,                  // a field changed differently (deleting counts as a change)
        kTag,                    // an element's tag changed differently
        kContent,                // what the model does not compare, changed differently
        kDeletedByOurs,          // deleted by ours, changed by theirs
        kDeletedByTheirs,        // deleted by theirs, changed by ours
        kMovedByTheirs,          // an attribute moved to another class by theirs, kept by ours where it was
                                 // (changed there, or in a class ours changed and theirs deleted)
        kMovedIntoDeletedClass,  // an attribute moved by theirs into a class that ours deleted
        kMovedToTwoClasses,      // an attribute moved by ours to one class, by theirs to another
    };

    // An element as its tag and its Name and Uuid fields (empty when absent).
    struct Who {
        ZULUnicodeString tag, name, uuid;
        // <Tag Name="..." Uuid="...">, leaving out what is empty; the values
        // quoted as the line's values are.
        std::string Describe() const;
    };
    // Sibling nodes of one version, first to last (one element, the element
    // of a field, or a run of content); null where the version has none.
    struct Nodes {
        const xercesc::DOMNode* first = nullptr;
        const xercesc::DOMNode* last = nullptr;
        // The first and last of a run of nodes; none for an empty run.
        static Nodes Of(const std::vector<const xercesc::DOMNode*>& run) {
            return run.empty() ? Nodes{} : Nodes{run.front(), run.back()};
        }
    };

    Kind kind = kField;
    Who element;
    Who parent;              // empty tag for the package
    ZULUnicodeString field;  // the field's name (kField only)
    // The three values (kField, kTag; kContent: the content, shortened; the
    // move kinds: the Uuids of the classes); absent where a version has none.
    std::optional<ZULUnicodeString> base, ours, theirs;

    // Where the conflict stands, for markers: in the base, in the result
    // (ours' side) and in theirs. Where the result has nothing, it goes
    // after the result's node after, or first in holder when after is null.
    Nodes inBase, inOurs, inTheirs;
    const xercesc::DOMNode* after = nullptr;
    const xercesc::DOMNode* holder = nullptr;
    // The element is in no base: both sides added it (its lines are none of
    // the base's).
    bool added = false;

    // The kind as the conflicts document writes it: "Field", "Tag", ...
    const char* KindName() const;
    // The kind as the conflict's line names it: "field Type", "tag", "moved
    // to two classes", ...
    std::string KindTag() const;
    // One readable line for standard error, without its end; values escaped
    // C-like where they hold a quote, a backslash or a control character:
    //   CONFLICT (field Type): <Attribute Name="Email" Uuid="a-1"> in <Class ...>: base "varchar", ours "text", theirs
    //   (none)
    std::string Line() const;
    // Content nodes as one short text (markup written out, at most about
    // 80 characters: longer ones are cut in the middle); absent for none.
    static std::optional<ZULUnicodeString> ContentText(const std::vector<const xercesc::DOMNode*>& nodes);

private:
    // The line before its control characters are escaped.
    std::string Words() const;
};
