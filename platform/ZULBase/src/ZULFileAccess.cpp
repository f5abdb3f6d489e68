// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULFileAccess.h"

#include "ZULBase/ZULFileSystem.h"

int ZULFileAccess(const ZULUnicodeString& path, int mode) {
    if (path.IsEmpty()) return -1;
    const std::string name = path.ConvertToChar();
    if (mode == 2) return ZULWritableDirectory(name) ? 0 : -1;
    return ZULKindOfFile(name) == ZULFileKind::kNone ? -1 : 0;
}
