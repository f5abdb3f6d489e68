// SPDX-License-Identifier: Apache-2.0
#include "QORMRReport.h"

#include "ZULBase/ZULUnicodeString.h"

cReportField::Note cReportField::NoteFor(const std::string& name, const std::string& oldValue,
                                         const std::string& newValue) {
    if (name == "Name") return kRenamed;
    if (name != "Uuid") return kNoNote;
    ZULUnicodeString oldKey(oldValue.c_str(), oldValue.size());
    ZULUnicodeString newKey(newValue.c_str(), newValue.size());
    return oldKey.ToUpper() == newKey.ToUpper() ? kUuidCaseOnly : kNoNote;
}

void cReportElement::NoteRename() {
    for (const cReportField& field : fields) {
        if (field.kind != cReportField::kChanged || field.note != cReportField::kRenamed) continue;
        renamed = true;
        oldName = field.oldValue;
    }
}
