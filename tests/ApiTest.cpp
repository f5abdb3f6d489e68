// The library's four operations: lifetimes of the run inputs, the trace
// order of failures, and runs that follow each other in one process.
#include <gtest/gtest.h>

#include "QORMDMetaDiffApi.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDTestSupport.h"

namespace {

TEST(Api, ProcessMetaDiffWithoutInputsFailsInLoading) {
    cQORMDApi::Terminate();
    testing::internal::CaptureStdout();
    const char* argv[] = {"QORMetaDiff", "-v"};
    const int version = cQORMDApi::Initialize(2, argv);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "MetaDiff Version: 5.13.0.1\n");
    EXPECT_LT(version, 0);
    EXPECT_FALSE(cMetaDiffInput::Exists());

    TraceRecorder traces;
    const int status = cQORMDApi::ProcessMetaDiff();
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    const int stage = traces.indexOf("Both old and New Metadata not available");
    ASSERT_GE(stage, 0);
    EXPECT_EQ(traces.indexOf("! Failed cMetaDomMgr::ProcessDom"), stage + 1);
    EXPECT_FALSE(traces.contains("Empty meta diff"));  // the writer was never created
}

TEST(Api, RunsFollowEachOtherWithTheirOwnNames) {
    TempDir dir;
    const std::string a = dir.write("a.xml", R"(<P Name="a"><C Uuid="c" Name="x"/></P>)");
    const std::string b = dir.write("b.xml", R"(<P Name="b"><C Uuid="c" Name="y"/></P>)");
    const std::string first = dir.file("first.xml");
    const std::string second = dir.file("second.xml");
    ASSERT_GE(cQORMDApi::Process(ZULUnicodeString(""), ZULUnicodeString(a.c_str()), ZULUnicodeString(first.c_str()), 0),
              0);
    ASSERT_GE(
        cQORMDApi::Process(ZULUnicodeString(a.c_str()), ZULUnicodeString(b.c_str()), ZULUnicodeString(second.c_str()), 0),
        0);
    EXPECT_FALSE(cMetaDiffInput::Exists());  // Process terminates its inputs
    EXPECT_NE(Outline(first).find("Diff New=\"" + a + "\" Old=\"\" PackageName=\"a\""), std::string::npos);
    EXPECT_NE(Outline(second).find("Diff New=\"" + b + "\" Old=\"" + a + "\" PackageName=\"a\""), std::string::npos);
}

TEST(Api, AFailedProcessKeepsItsInputsUntilTerminate) {
    TempDir dir;
    const std::string bad = dir.write("bad.xml", "<P Name='p'><C Uuid='c'/></P>");
    TraceRecorder traces;
    const int status =
        cQORMDApi::Process(ZULUnicodeString(""), ZULUnicodeString(bad.c_str()), ZULUnicodeString(dir.file("d.xml").c_str()), 0);
    EXPECT_LT(status, 0);
    EXPECT_EQ(ErrorIdOf(status), "MDInternalError_1");
    EXPECT_LT(traces.indexOf("Level2 Elem (Class level) has no Name attribute"),
              traces.indexOf("! Failed cMetaDomMgr::ProcessDom"));
    EXPECT_EQ(traces.indexOf("! Failed ProcessMetaDiff"), traces.indexOf("! Failed cMetaDomMgr::ProcessDom") + 1);
    EXPECT_TRUE(cMetaDiffInput::Exists());
    EXPECT_GE(cQORMDApi::Terminate(), 0);
    EXPECT_GE(cQORMDApi::Terminate(), 0);
    EXPECT_FALSE(cMetaDiffInput::Exists());
    EXPECT_FALSE(FileExists(dir.file("d.xml")));
}

TEST(Api, InputsFromNamesAcceptEmptyNames) {
    EXPECT_EQ(cMetaDiffInput::Init(ZULUnicodeString(""), ZULUnicodeString(""), ZULUnicodeString(""), 1), 0);
    EXPECT_EQ(cMetaDiffInput::GetWriteEmptyDiff(), 1);
    EXPECT_GE(cQORMDApi::Terminate(), 0);
}

TEST(HostRun, ExitsOneWithAReadableMessageAndNoDiffFile) {
    TempDir dir;
    dir.write("old.xml", R"(<P Name="p"><C Name="no uuid"/></P>)");
    dir.write("new.xml", R"(<P Name="p"/>)");
    const HostRun missingUuid = RunHost({"-New", "new.xml", "-Old", "old.xml", "-Diff", "d.xml"},
                                        {dir.path(), {"QORMD_TRACE=trace.log"}});
    EXPECT_EQ(missingUuid.exitStatus, 1);
    EXPECT_EQ(missingUuid.err.rfind("Error MDInternalError_1: The run stopped (failed processDom_Doc for oldPackage 2): "
                                    "the class <C Name=\"no uuid\"> on line 1 of \"old.xml\" has no Uuid (or an "
                                    "empty one)\nLast traces of the run:\n",
                                    0),
              0u)
        << missingUuid.err;
    EXPECT_NE(missingUuid.err.find("  Level2 Elem (Class level) has no Uuid attribute\n"), std::string::npos);
    EXPECT_NE(ReadFile(dir.file("trace.log")).find("Level2 Elem (Class level) has no Uuid attribute"),
              std::string::npos);
    EXPECT_FALSE(FileExists(dir.file("d.xml")));

    dir.write("broken.xml", "<P Name='p'>\n  <C Uuid='c' Name='n'>\n</P>");
    const HostRun broken = RunHost({"-New", "broken.xml", "-Diff", "d.xml"}, {dir.path()});
    EXPECT_EQ(broken.exitStatus, 1);
    EXPECT_EQ(broken.err.rfind("Error MDFileError_1: The metadata file \"broken.xml\" could not be read: line 3, column 3: ",
                               0),
              0u)
        << broken.err;
    EXPECT_FALSE(FileExists(dir.file("d.xml")));

    const HostRun good =
        RunHost({"-New", SourcePath("examples/new.xml"), "-Old", SourcePath("examples/old.xml"), "-Diff", "d.xml"},
                {dir.path()});
    EXPECT_EQ(good.exitStatus, 0);
    EXPECT_EQ(good.err, "");
    EXPECT_NE(ReadFile(dir.file("d.xml")).find("<Modified New=\"Name='Address'\" Old=\"Name='Adress'\"/>"),
              std::string::npos);
}

}  // namespace
