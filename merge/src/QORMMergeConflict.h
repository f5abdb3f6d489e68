// cMergeConflict: one place where ours and theirs changed the same thing
// differently. The merged file holds ours' side there.
#pragma once

#include <optional>
#include <string>

#include "ZULBase/ZULUnicodeString.h"

class cMergeConflict {
public:
    enum Kind {
        kField,            // a field changed differently (deleting counts as a change)
        kTag,              // an element's tag changed differently
        kContent,          // what the model does not compare, changed differently
        kDeletedByOurs,    // deleted by ours, changed by theirs
        kDeletedByTheirs,  // deleted by theirs, changed by ours
        kAddedTwice,       // an attribute added to one class by ours, to another by theirs
        kMovedByTheirs,    // an attribute moved to another class by theirs, changed by ours where it was
    };

    // An element as its tag and its Name and Uuid fields (empty when absent).
    struct Who {
        ZULUnicodeString tag, name, uuid;
        // <Tag Name="..." Uuid="...">, leaving out what is empty.
        ZULUnicodeString Describe() const;
    };

    Kind kind = kField;
    Who element;
    Who parent;               // empty tag for the package
    ZULUnicodeString field;    // the field's name (kField only)
    // The three values (kField, kTag; for kAddedTwice and kMovedByTheirs the
    // Uuids of ours' and theirs' class); absent where that version has none.
    std::optional<ZULUnicodeString> base, ours, theirs;

    // The kind as the conflicts document writes it: "Field", "Tag", ...
    const char* KindName() const;
    // One readable line for standard error, without its end:
    //   CONFLICT (field Type): <Attribute Name="Email" Uuid="a-1"> in <Class ...>: base "varchar", ours "text", theirs (none)
    std::string Line() const;
};
