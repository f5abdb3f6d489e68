// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULFileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

int ZULFileAccess(const ZULUnicodeString& path, int mode) {
    struct stat info {};
    if (path.IsEmpty() || ::stat(path.ConvertToChar(), &info) != 0) return -1;
    if (mode != 2) return 0;
    if (!S_ISDIR(info.st_mode)) return -1;
    return ::access(path.ConvertToChar(), W_OK | X_OK) == 0 ? 0 : -1;
}
