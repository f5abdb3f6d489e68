// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffInput.h"

#include <cstdio>
#include <cstring>

#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cQORMUCommandLineInput.h"
#include "ZULBase/ZULFileAccess.h"
#include "ZULBase/ZULResourceError.h"

namespace {

const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDiffInput";

std::int32_t Failure(const char* messageId, ZULErrorType type, int line) {
    ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError(messageId, "MDErrorCatalog");
    if (type != kZULErrorTypeError) error->SetInformationOnErrorType(type);
    return ZULError::GetReturn(2, error, nullptr, kModule, line);
}

// Writes the text and a line end to standard error, prints the usage and
// fails with messageId.
std::int32_t Report(const char* text, const char* messageId, int line) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    cMetaDiffInput::PrintUsage();
    return Failure(messageId, kZULErrorTypeError, line);
}

void PrintVersion() {
    std::fprintf(stdout, "MetaDiff Version: %s\n", cMetaDiffInput::kVersion);
    std::fflush(stdout);
}

// An option that takes the next argument as its value.
struct ValueOption {
    const char* name;
    ZULUnicodeString* value;
    bool* seen;
    const char* missingText;
    const char* missingId;
};

}  // namespace

std::unique_ptr<cMetaDiffInput> cMetaDiffInput::current_;

std::int32_t cMetaDiffInput::Init(int argc, const char* const argv[]) {
    Trace("------------------ MetaDiff version :", ZULUnicodeString(kVersion), QORMUTrace_W3);
    cQORMUCommandLineInput::trace(argc, argv, "------------------ Full MetaDiff Input");

    if (argc < 2) {
        std::fprintf(stderr, "!!!!!!!!!! Too few arguments !!!!!!!!!!\n\n");
        Trace("Too few arguments", QORMUTrace_W3);
        PrintUsage();
        return Failure("MDInputError_1", kZULErrorTypeError, __LINE__);
    }
    if (std::strcmp(argv[1], "-v") == 0) {
        PrintVersion();
        return Failure("MDInputInfo_1", kZULErrorTypeInformation, __LINE__);
    }
    if (std::strcmp(argv[1], "-h") == 0) {
        PrintVersion();
        PrintUsage();
        return Failure("MDInputInfo_2", kZULErrorTypeInformation, __LINE__);
    }
    if (argc < 5) {
        std::fprintf(stderr, "!!!!!!!!!! Too few OR wrong arguments !!!!!!!!!!\n\n");
        Trace("Too few OR wrong arguments", QORMUTrace_W3);
        PrintUsage();
        return Failure("MDInputError_2", kZULErrorTypeError, __LINE__);
    }
    current_ = std::make_unique<cMetaDiffInput>();
    return ParseOptions(argc, argv);
}

std::int32_t cMetaDiffInput::ParseOptions(int argc, const char* const argv[]) {
    cMetaDiffInput& in = *current_;
    bool oldSeen = false, deletedSeen = false, newSeen = false, diffSeen = false, dirSeen = false;
    const ValueOption options[] = {
        {"-Old", &in.oldMetaName, &oldSeen,
         "!!!!!!!!!! Invalid Parameter: -Old must be followed by the Old Meta Name !!!!!!!!!!", "MDInputError_3"},
        {"-Deleted", &in.oldMetaName, &deletedSeen,
         "!!!!!!!!!! Invalid Parameter: -Deleted must be followed by the Deleted Meta Name !!!!!!!!!!",
         "MDInputError_4"},
        {"-New", &in.newMetaName, &newSeen,
         "!!!!!!!!!! Invalid Parameter: -new must be followed by the New Meta Name !!!!!!!!!!", "MDInputError_5"},
        {"-Diff", &in.diffFileName, &diffSeen,
         "!!!!!!!!!! Invalid Parameter: -diff must be followed by the output Diff file Name !!!!!!!!!!",
         "MDInputError_6"},
        {"-iDir", &in.inputPath, &dirSeen,
         "!!!!!!!!!! Invalid Parameter: -iDir must be followed by the concatenated input Path !!!!!!!!!!",
         "MDInputError_7"},
        {"-oDir", &in.outputDir, &dirSeen,
         "!!!!!!!!!! Invalid Parameter: -oDir must be followed by the ouput Path !!!!!!!!!!", "MDInputError_8"},
    };
    for (int i = 1; i < argc; ++i) {
        const ZULUnicodeString argument(argv[i]);
        for (const ValueOption& option : options) {
            if (argument != ZULUnicodeString(option.name)) continue;
            if (i + 1 >= argc || argv[i + 1][0] == '-') return Report(option.missingText, option.missingId, __LINE__);
            const ZULUnicodeString value(argv[++i]);
            if (option.value == &in.outputDir && ZULFileAccess(value, 2) != 0)
                return Report("!!!!!!!!!! oDir doesn't exist or no write permission !!!!!!!!!!", "MDInputError_9",
                              __LINE__);
            *option.value = value;
            *option.seen = true;
            break;
        }
    }
    if (!diffSeen) return Report("Missing Mandatory Parameter : -Diff", "MDInputError_10", __LINE__);
    if (deletedSeen) {
        if (newSeen || oldSeen) return Report("Improper arguments", "MDInputError_11", __LINE__);
    } else if (!newSeen) {
        return Report("Missing Mandatory Parameter : -New", "MDInputError_12", __LINE__);
    }
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffInput::Init(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                                  const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff) {
    current_ = std::make_unique<cMetaDiffInput>();
    current_->oldMetaName = oldMetaName;
    current_->newMetaName = newMetaName;
    current_->diffFileName = diffFileName;
    current_->writeEmptyDiff = writeEmptyDiff;
    return 0;
}

std::int32_t cMetaDiffInput::Terminate() {
    current_.reset();
    return 0;
}

const cMetaDiffInput* cMetaDiffInput::Current() {
    if (!current_) Trace("call cMetaDiffInput:init first", QORMUTrace_W3);
    return current_.get();
}

template <class T>
T cMetaDiffInput::Read(T cMetaDiffInput::*field) {
    const cMetaDiffInput* in = Current();
    return in ? in->*field : T();
}

ZULUnicodeString cMetaDiffInput::GetOldMetaName() { return Read(&cMetaDiffInput::oldMetaName); }
ZULUnicodeString cMetaDiffInput::GetNewMetaName() { return Read(&cMetaDiffInput::newMetaName); }
ZULUnicodeString cMetaDiffInput::GetDiffFileName() { return Read(&cMetaDiffInput::diffFileName); }
ZULUnicodeString cMetaDiffInput::GetInputPath() { return Read(&cMetaDiffInput::inputPath); }
ZULUnicodeString cMetaDiffInput::GetOutputDir() { return Read(&cMetaDiffInput::outputDir); }
unsigned char cMetaDiffInput::GetWriteEmptyDiff() { return Read(&cMetaDiffInput::writeEmptyDiff); }

void cMetaDiffInput::PrintUsage() {
    static const char* const kUsage[] = {
        "Usage : QORMetaDiff [-v] [-h] ",
        "            -v: Returns the QORDDLGenerationTool version",
        "            -h: Displays help",
        "",
        "        QORMetaDiff -New newmetadataname [-Old oldmetadataname]",
        "                    -Diff difffilename",
        "             -New          : New version of a metadata file",
        "             -Old          : Old version of a metadata file",
        "                      Note : If no old version is defined. The result will be ",
        "                           : the same than comparing to an empty file",
        "             -Diff         : Diff file to create",
        "",
        "        QORMetaDiff -Deleted deletedmetadataname",
        "                    -Diff difffilename",
        "             -Deleted      : Deleted metadata file",
        "             -Diff         : Diff file to create",
    };
    for (const char* line : kUsage) std::fprintf(stdout, "%s\n", line);
    std::fflush(stdout);
}
