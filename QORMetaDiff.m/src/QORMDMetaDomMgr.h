// SPDX-License-Identifier: Apache-2.0
// cMetaDomMgr: parses the old and the new metadata documents of the run and
// has the diff result build the two packages from them. A version not given
// becomes an empty package; a run with neither fails.
#pragma once

#include <cstdint>

class cMetaDiffDoc;

class cMetaDomMgr {
public:
    std::int32_t processDom(cMetaDiffDoc& diffDoc);
};
