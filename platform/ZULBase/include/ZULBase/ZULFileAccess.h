// SPDX-License-Identifier: Apache-2.0
// ZULFileAccess: access test of a directory.
#pragma once

#include "ZULBase/ZULUnicodeString.h"

// mode 2: 0 when path is an existing directory that may be written, else non-zero.
// Any other mode: 0 when path exists.
int ZULFileAccess(const ZULUnicodeString& path, int mode);
