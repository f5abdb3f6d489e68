// QORMetaDiff: compares two versions of a metadata document and writes their
// differences as a diff document (root "Diff", sections "Added", "Deleted"
// and "Modified").
//
// Statuses: every operation returns a 32-bit signed status; non-negative is
// success, negative is failure. A failure status carries an error object:
// ZULError::ZULGetLastError(status, nullptr) gives it, and
// cQORMUCallback::PrintError prints it. Error objects belong to the
// framework; never release them.
//
// Runs must not overlap: the run inputs are one process-wide object, so call
// these operations from one thread at a time. Runs may follow each other in
// one process.
#pragma once

#include <cstdint>

#include "ZULBase/ZULUnicodeString.h"

#define QORMD_API __attribute__((visibility("default")))

class QORMD_API cQORMDApi {
public:
    cQORMDApi() = delete;

    // Builds the run inputs from a command line (argv[0] is the program
    // name): "-New", "-Old", "-Deleted", "-Diff", "-iDir", "-oDir"; "-v" or
    // "-h" as first argument print the version or the usage and return a
    // failure status whose error is an information message.
    static std::int32_t Initialize(int argc, const char* const argv[]);

    // Loads the old and new documents named by the run inputs, compares them
    // and writes the diff file. An empty diff writes no file (see Process).
    // A failed run writes no file and leaves an earlier diff file untouched.
    static std::int32_t ProcessMetaDiff();

    // Releases the run inputs. Succeeds also when there are none.
    static std::int32_t Terminate();

    // One whole run: the run inputs from the arguments (an empty
    // oldMetaName compares against an empty package), ProcessMetaDiff, then
    // Terminate. writeEmptyDiff non-zero writes the diff file even when
    // nothing differs (as an empty file).
    static std::int32_t Process(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                                const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff);
};
