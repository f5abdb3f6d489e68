// SPDX-License-Identifier: Apache-2.0
// One fuzz case: an input cut at its first NUL byte (which no XML document
// may hold) into an old and a new metadata document, written to files and
// compared by cQORMDApi::Process. Without a NUL byte the input is the new
// document alone; an empty part stands for a version not given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Runs the case in folder (which must exist and is reused) and checks what
// every run must keep: a failure carries an error and writes no diff file, a
// written diff file parses and declares no namespace unless a document does,
// and nothing but the inputs and the diff file is left in the folder.
// Returns "" when all holds, else what did not.
std::string QORMDRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size);
