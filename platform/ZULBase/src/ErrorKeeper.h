// The framework's keeper of error objects: owns every ZULResourceError made
// with the framework allocation and keeps the newest ZULError::kRetained.
#pragma once

#include <memory>

#include "ZULBase/ZULError.h"

namespace ZULErrorKeeper {
// Takes ownership of a newly built error.
void Adopt(ZULError* error);
// Shared ownership of a kept error, so that a status can keep it alive;
// null for null or an error the keeper does not know.
std::shared_ptr<ZULError> Share(ZULError* error);
}  // namespace ZULErrorKeeper
