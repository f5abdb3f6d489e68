// SPDX-License-Identifier: Apache-2.0
// The framework's keeper of error objects and of the failure statuses that
// carry them. An error made with the framework allocation waits here until
// a status takes it; then it is kept, once per distinct content, for as long
// as the process lives, and every status that carries it leads to it. The
// same failure at the same place gives the same status again, so memory
// grows with the distinct failures a process meets, not with their number.
// Threads: the keeper is one for the whole process, without a lock; make
// and read statuses from one thread at a time.
#pragma once

#include <cstdint>
#include <string>

#include "ZULBase/ZULError.h"

namespace ZULErrorKeeper {
// Takes ownership of a newly built error; it waits until a status takes it.
// Errors that no status ever takes (such as the printed ones) are let go
// once many newer ones exist.
void Adopt(ZULError* error);
// The failure status carrying error (made of error's content, kept from now
// on) built at source; null error: a failure carrying none.
std::int32_t StatusFor(ZULError* error, const char* file, int line);
// What a failure status carries; false for a status this keeper never made.
bool Find(std::int32_t status, ZULError*& error, std::string& source);
}  // namespace ZULErrorKeeper
