// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

// The set-up of a fuzzer process: a case folder of its own under TMPDIR (or
// /tmp), removed when the process ends normally (a crash keeps it); printed
// errors silenced, as every other input is refused; one Xerces use for the
// whole process, so that runs do not restart the library. Returns the folder.
const std::string& QORMDFuzzSetUp(const std::string& name);
// Aborts, so that libFuzzer keeps the input, when problem is not empty.
void QORMDFuzzCheck(const char* fuzzer, const std::string& problem);
