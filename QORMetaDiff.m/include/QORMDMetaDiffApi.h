// SPDX-License-Identifier: Apache-2.0
// QORMetaDiff: compares two versions of a metadata document and writes their
// differences as a diff document (root "Diff", sections "Added", "Deleted"
// and "Modified"). Link with the CMake target QORMetaDiff::QORMetaDiff
// (find_package(QORMetaDiff)) or `pkg-config --cflags --libs QORMetaDiff`.
//
// Statuses: every operation returns a 32-bit signed status; non-negative is
// success, negative is failure (test only the sign). A failure carries an
// error object; print it with
//     ZULError* error = ZULError::ZULGetLastError(status, nullptr);
//     cQORMUCallback::PrintError(error);   // QORMetaUtil/cQORMUCallback.h
// Error objects belong to the library: never release them.
//
// Runs must not overlap: call these operations from one thread at a time.
// A run uses four process-wide states, none with a lock: the run inputs
// (Initialize to Terminate), the XML parser holder (one Xerces parser between
// init and terminate: QORMetaUtil/cDDLXMLParser.h), the error keeper (the
// errors that statuses carry: ZULBase/ZULError.h) and the trace sink
// (QORMetaUtil/QORMUTrace.h). Runs may follow each other in one process.
#pragma once

#include <cstdint>

#include "QORMDExport.h"  // QORMD_API: exported from the library
#include "ZULBase/ZULUnicodeString.h"

class QORMD_API cQORMDApi {
public:
    cQORMDApi() = delete;

    // Builds the run inputs from a command line (argv[0] is the program
    // name): "-New", "-Old", "-Deleted", "-Diff", "-iDir", "-oDir"; "-v" or
    // "-h" as first argument print the version or the usage and return a
    // failure status whose error is an information message. A command-line
    // host calls Initialize, then ProcessMetaDiff if it succeeded, then
    // Terminate in every case.
    static std::int32_t Initialize(int argc, const char* const argv[]);

    // Loads the old and new documents named by the run inputs, compares them
    // and writes the diff file. An empty diff writes no file (see Process).
    // A failed run writes no file and leaves an earlier diff file untouched.
    static std::int32_t ProcessMetaDiff();

    // Releases the run inputs. Succeeds also when there are none.
    static std::int32_t Terminate();

    // One whole run: the run inputs from the arguments (an empty
    // oldMetaName compares against an empty package), ProcessMetaDiff, then
    // Terminate. Names are file paths in UTF-8, used as given. writeEmptyDiff
    // non-zero writes the diff file even when nothing differs (as an empty
    // file). A run that fails keeps its run inputs until Terminate or the
    // next run.
    static std::int32_t Process(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                                const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff);
};
