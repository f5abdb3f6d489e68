// The command line through the real host: option rules, messages, usage
// text, exit statuses, and the run inputs they leave behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include "QORMDMetaDiffApi.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDTestSupport.h"

namespace {

const char kUsage[] =
    "Usage : QORMetaDiff [-v] [-h] \n"
    "            -v: Returns the QORDDLGenerationTool version\n"
    "            -h: Displays help\n"
    "\n"
    "        QORMetaDiff -New newmetadataname [-Old oldmetadataname]\n"
    "                    -Diff difffilename\n"
    "             -New          : New version of a metadata file\n"
    "             -Old          : Old version of a metadata file\n"
    "                      Note : If no old version is defined. The result will be \n"
    "                           : the same than comparing to an empty file\n"
    "             -Diff         : Diff file to create\n"
    "\n"
    "        QORMetaDiff -Deleted deletedmetadataname\n"
    "                    -Diff difffilename\n"
    "             -Deleted      : Deleted metadata file\n"
    "             -Diff         : Diff file to create\n";

// Initialize with the given arguments after the program name.
int InitWith(std::vector<std::string> args) {
    args.insert(args.begin(), "QORMetaDiff");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    return cQORMDApi::Initialize(static_cast<int>(argv.size()), argv.data());
}

class CommandLine : public ::testing::Test {
protected:
    void TearDown() override { cQORMDApi::Terminate(); }
};

TEST(HostCommandLine, VersionAndHelpAreInformationWithStatusZero) {
    const HostRun version = RunHost({"-v", "-Diff"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "MetaDiff Version: 5.13.0.1\n");
    EXPECT_EQ(version.err, "");

    const HostRun help = RunHost({"-h"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out, std::string("MetaDiff Version: 5.13.0.1\n") + kUsage);
    EXPECT_EQ(help.err, "");
}

TEST(HostCommandLine, OptionErrorsExitWithTwoAndPrintTheirMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string firstLine;
        std::string id;
    } const cases[] = {
        {{}, "!!!!!!!!!! Too few arguments !!!!!!!!!!", "MDInputError_1"},
        {{"-New", "x"}, "!!!!!!!!!! Too few OR wrong arguments !!!!!!!!!!", "MDInputError_2"},
        {{"-New", "n", "-Diff"}, "!!!!!!!!!! Too few OR wrong arguments !!!!!!!!!!", "MDInputError_2"},
        {{"-New", "n", "-Old", "-Diff", "d"},
         "!!!!!!!!!! Invalid Parameter: -Old must be followed by the Old Meta Name !!!!!!!!!!", "MDInputError_3"},
        {{"-Diff", "d", "x", "-Deleted"},
         "!!!!!!!!!! Invalid Parameter: -Deleted must be followed by the Deleted Meta Name !!!!!!!!!!",
         "MDInputError_4"},
        {{"-Diff", "d", "x", "-New"},
         "!!!!!!!!!! Invalid Parameter: -new must be followed by the New Meta Name !!!!!!!!!!", "MDInputError_5"},
        {{"-New", "n", "x", "-Diff"},
         "!!!!!!!!!! Invalid Parameter: -diff must be followed by the output Diff file Name !!!!!!!!!!",
         "MDInputError_6"},
        {{"-New", "n", "-Diff", "d", "-iDir"},
         "!!!!!!!!!! Invalid Parameter: -iDir must be followed by the concatenated input Path !!!!!!!!!!",
         "MDInputError_7"},
        {{"-New", "n", "-Diff", "d", "-oDir", "-x"},
         "!!!!!!!!!! Invalid Parameter: -oDir must be followed by the ouput Path !!!!!!!!!!", "MDInputError_8"},
        {{"-New", "n", "-Diff", "d", "-oDir", "/no/such/folder"},
         "!!!!!!!!!! oDir doesn't exist or no write permission !!!!!!!!!!", "MDInputError_9"},
        {{"-New", "n", "-Old", "o"}, "Missing Mandatory Parameter : -Diff", "MDInputError_10"},
        {{"-Deleted", "x", "-New", "n", "-Diff", "d"}, "Improper arguments", "MDInputError_11"},
        {{"-Old", "o", "-Diff", "d", "-Deleted", "x"}, "Improper arguments", "MDInputError_11"},
        {{"-new", "n", "-Diff", "d"}, "Missing Mandatory Parameter : -New", "MDInputError_12"},
    };
    for (const Case& c : cases) {
        const HostRun run = RunHost(c.args);
        SCOPED_TRACE(c.id);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.err.rfind(c.firstLine + "\n", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Error " + c.id + ": "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, kUsage);
    }
}

// Printed when asked, also by a program host that ends without flushing.
TEST(HostCommandLine, TheVersionIsOutAtOnce) {
    const HostRun run = RunInChild([] {
        InitWith({"-v"});
        ::_exit(0);
        return 1;
    });
    EXPECT_EQ(run.out, "MetaDiff Version: 5.13.0.1\n");
}

TEST(HostCommandLine, TracesGoWhereTheEnvironmentSays) {
    TempDir dir;
    const std::string traceFile = dir.file("trace.log");
    const HostRun run = RunHost({"-v"}, {"", {"QORMD_TRACE=" + traceFile}});
    EXPECT_EQ(run.exitStatus, 0);
    const std::string traces = ReadFile(traceFile);
    EXPECT_EQ(traces.find("------------------ MetaDiff version : 5.13.0.1\n"), traces.find("------------------"));
    EXPECT_NE(traces.find("------------------ Full MetaDiff Input"), std::string::npos);
    EXPECT_NE(traces.find("argv[1] = -v"), std::string::npos);
    EXPECT_NE(traces.find("! Failed cMetaDiffInput::Init"), std::string::npos);

    const HostRun toStderr = RunHost({"-v"}, {"", {"QORMD_TRACE=-"}});
    EXPECT_NE(toStderr.err.find("MetaDiff version : 5.13.0.1"), std::string::npos);
    EXPECT_EQ(RunHost({"-v"}).err, "");  // silent by default
}

TEST_F(CommandLine, OptionValuesAreStoredAndLaterOnesWin) {
    ASSERT_GE(InitWith({"-New", "first", "-Diff", "d.xml", "-New", "second", "-v", "-iDir", "a:b"}), 0);
    EXPECT_STREQ(cMetaDiffInput::GetNewMetaName().ConvertToChar(), "second");
    EXPECT_STREQ(cMetaDiffInput::GetOldMetaName().ConvertToChar(), "");
    EXPECT_STREQ(cMetaDiffInput::GetDiffFileName().ConvertToChar(), "d.xml");
    EXPECT_STREQ(cMetaDiffInput::GetInputPath().ConvertToChar(), "a:b");
    EXPECT_EQ(cMetaDiffInput::GetWriteEmptyDiff(), 0);

    ASSERT_GE(InitWith({"-Deleted", "gone.xml", "-Diff", "d.xml"}), 0);
    EXPECT_STREQ(cMetaDiffInput::GetOldMetaName().ConvertToChar(), "gone.xml");
    EXPECT_STREQ(cMetaDiffInput::GetNewMetaName().ConvertToChar(), "");
}

TEST_F(CommandLine, InformationAndEarlyErrorsLeaveEarlierInputsAlone) {
    ASSERT_GE(InitWith({"-New", "kept.xml", "-Diff", "d.xml"}), 0);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int version = InitWith({"-v"});
    const int tooFew = InitWith({"-New", "x"});
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_LT(version, 0);
    EXPECT_EQ(ErrorIdOf(version), "MDInputInfo_1");
    EXPECT_EQ(ZULError::ZULGetLastError(version, nullptr)->GetErrorType(), kZULErrorTypeInformation);
    EXPECT_EQ(ErrorIdOf(tooFew), "MDInputError_2");
    EXPECT_STREQ(cMetaDiffInput::GetNewMetaName().ConvertToChar(), "kept.xml");

    // An option error replaces them with the new, partly filled inputs.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int missingDiff = InitWith({"-New", "other.xml", "-Old", "o"});
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ErrorIdOf(missingDiff), "MDInputError_10");
    EXPECT_STREQ(cMetaDiffInput::GetNewMetaName().ConvertToChar(), "other.xml");
}

TEST_F(CommandLine, GettersWithoutInputsTraceAndGiveEmptyValues) {
    cQORMDApi::Terminate();
    TraceRecorder traces;
    EXPECT_STREQ(cMetaDiffInput::GetDiffFileName().ConvertToChar(), "");
    EXPECT_EQ(cMetaDiffInput::GetWriteEmptyDiff(), 0);
    EXPECT_EQ(traces.count("call cMetaDiffInput:init first"), 2);
    EXPECT_GE(cQORMDApi::Terminate(), 0);  // twice is fine
}

}  // namespace
