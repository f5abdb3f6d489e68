// SPDX-License-Identifier: Apache-2.0
// cMetaDiffInput: the inputs of the current run, one process-wide instance
// owned by this class. Filled from a command line (Initialize) or from three
// names and a flag (Process), read by the stages through the static getters.
#pragma once

#include <cstdint>
#include <memory>

#include "QORMDVersion.h"
#include "ZULBase/ZULUnicodeString.h"

class cMetaDiffInput {
public:
    static constexpr const char* kVersion = QORMD_VERSION;

    static std::int32_t Init(int argc, const char* const argv[]);
    static std::int32_t Init(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                             const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff);
    static std::int32_t Terminate();

    // Without run inputs each getter traces "call cMetaDiffInput:init first"
    // and returns an empty value.
    static ZULUnicodeString GetOldMetaName();
    static ZULUnicodeString GetNewMetaName();
    static ZULUnicodeString GetDiffFileName();
    static ZULUnicodeString GetInputPath();
    static ZULUnicodeString GetOutputDir();
    static unsigned char GetWriteEmptyDiff();
    static bool Exists() { return current_ != nullptr; }

    static void PrintUsage();

private:
    // The current inputs; null, after a trace, when there are none.
    static const cMetaDiffInput* Current();
    // A field of the current inputs, or its empty value when there are none.
    template <class T>
    static T Read(T cMetaDiffInput::*field);
    static std::int32_t ParseOptions(int argc, const char* const argv[]);

    ZULUnicodeString oldMetaName;
    ZULUnicodeString newMetaName;
    ZULUnicodeString diffFileName;
    ZULUnicodeString inputPath;
    ZULUnicodeString outputDir;
    unsigned char writeEmptyDiff = 0;

    static std::unique_ptr<cMetaDiffInput> current_;
};
