#include "QORMMergeConflict.h"

#include <cstdio>

namespace {

// Control characters escaped C-like, so that text stays on one line.
std::string Escaped(const char* text, bool quotes) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
            case '"': out += quotes ? "\\\"" : "\""; break;
            case '\\': out += quotes ? "\\\\" : "\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

// A value in double quotes, exactly as written but for what would break the
// line: backslash, quote and control characters are escaped C-like.
std::string Quoted(const std::optional<ZULUnicodeString>& value) {
    if (!value) return "(none)";
    return "\"" + Escaped(value->ConvertToChar(), true) + "\"";
}

}  // namespace

ZULUnicodeString cMergeConflict::Who::Describe() const {
    ZULUnicodeString text("<");
    text.Append(tag);
    if (!name.IsEmpty()) text.Append(" Name=\"").Append(name).Append("\"");
    if (!uuid.IsEmpty()) text.Append(" Uuid=\"").Append(uuid).Append("\"");
    return text.Append(">");
}

const char* cMergeConflict::KindName() const {
    switch (kind) {
        case kField: return "Field";
        case kTag: return "Tag";
        case kContent: return "Content";
        case kDeletedByOurs: return "DeletedByOurs";
        case kDeletedByTheirs: return "DeletedByTheirs";
        case kAddedTwice: return "AddedInTwoClasses";
        case kMovedByTheirs: return "MovedByTheirs";
    }
    return "Field";
}

std::string cMergeConflict::Line() const {
    std::string where = Escaped(element.Describe().ConvertToChar(), false);
    if (!parent.tag.IsEmpty()) where += " in " + Escaped(parent.Describe().ConvertToChar(), false);
    const std::string values = ": base " + Quoted(base) + ", ours " + Quoted(ours) + ", theirs " + Quoted(theirs);
    switch (kind) {
        case kField: return "CONFLICT (field " + Escaped(field.ConvertToChar(), false) + "): " + where + values;
        case kTag: return "CONFLICT (tag): " + where + values;
        case kContent:
            return "CONFLICT (content): " + where +
                   ": what the model does not compare (text, comments, skipped elements) changed differently";
        case kDeletedByOurs: return "CONFLICT (deleted by ours): " + where + ": deleted by ours, changed by theirs";
        case kDeletedByTheirs:
            return "CONFLICT (deleted by theirs): " + where + ": deleted by theirs, changed by ours";
        case kAddedTwice:
            return "CONFLICT (added in two classes): " + where + ": added by ours to the class of Uuid " + Quoted(ours) +
                   ", by theirs to the class of Uuid " + Quoted(theirs);
        case kMovedByTheirs:
            return "CONFLICT (moved by theirs): " + where + ": moved by theirs to the class of Uuid " + Quoted(theirs) +
                   ", changed by ours where it was";
    }
    return where;
}
