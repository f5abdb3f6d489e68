// SPDX-License-Identifier: Apache-2.0
// What only Windows has, through the real programs and the library (built
// for Windows only): file names in UTF-16 at every call, a diff written over
// a read-only file or one that another program holds open, the replaced
// file's access rules, and documents with CRLF line ends.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <filesystem>

#include "HostileInput.h"
#include "QORMDMetaDiffApi.h"

namespace {

namespace fs = std::filesystem;

const char kOld[] = R"(<P Name="pkg"><C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/></C></P>)";
const char kNew[] = R"(<P Name="pkg"><C Uuid="c1" Name="uno"><A Uuid="a1" Name="id"/></C></P>)";

std::wstring Wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

// The file's access rules (DACL) as SDDL text.
std::string AccessRules(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return "none";
    wchar_t* text = nullptr;
    ::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                           &text, nullptr);
    const std::string rules = text ? fs::path(text).u8string() : "none";
    ::LocalFree(text);
    ::LocalFree(descriptor);
    return rules;
}

// A folder named Données and documents named modèle and 模型: every program
// reads and writes them by name, and the names travel into the outputs.
TEST(PlatformWindows, FileNamesBeyondTheCodePage) {
    TempDir dir;
    const std::string folder = dir.file(u8"Données");
    ASSERT_TRUE(fs::create_directory(fs::u8path(folder)));
    const std::string oldName = dir.write(u8"Données/modèle.meta.xml", kOld);
    const std::string newName = dir.write(u8"Données/模型.meta.xml", kNew);
    const std::string diff = folder + u8"/différence 中文.xml";

    const HostRun run = RunHost({"-New", newName, "-Old", oldName, "-Diff", diff});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(ReadFile(diff), HasSubstr(u8"<Diff New=\"" + newName + "\" Old=\"" + oldName + "\""));
    EXPECT_EQ(Listing(folder),
              (std::set<std::string>{u8"modèle.meta.xml", u8"模型.meta.xml", u8"différence 中文.xml"}));
    // The same through the library's own entry point.
    ASSERT_EQ(ProcessFiles(oldName, newName, folder + u8"/encore 中文.xml"), 0);
    cQORMDApi::Terminate();
    EXPECT_EQ(ReadFile(folder + u8"/encore 中文.xml"), ReadFile(diff));
    // A name that is not there is said so, as on Linux.
    const HostRun missing = RunHost({"-New", folder + u8"/absent 中文.xml", "-Diff", diff});
    EXPECT_THAT(missing.err,
                HasSubstr(u8"absent 中文.xml\" could not be read: cannot open it: No such file or directory"));

    const HostRun report = RunProgram(QORMD_REPORT_PATH, {"-Old", oldName, "-New", newName});
    EXPECT_EQ(report.exitStatus, 0) << report.err;
    EXPECT_THAT(report.out, HasSubstr(u8"  new: " + newName + "\n"));
    const HostRun check = RunProgram(QORMD_CHECK_PATH, {newName, oldName});
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
    EXPECT_EQ(check.err, "");
    const std::string merged = folder + u8"/fusionné.xml";
    const HostRun merge =
        RunProgram(QORMD_MERGE_PATH, {"-Base", oldName, "-Ours", oldName, "-Theirs", newName, "-Out", merged});
    EXPECT_EQ(merge.exitStatus, 0) << merge.err;
    EXPECT_EQ(ReadFile(merged), kNew);
}

// A diff written over a read-only file replaces it, as on Linux where only
// the folder's permissions count, and the new file is read-only in turn; no
// temporary file stays.
TEST(PlatformWindows, ReplacingAReadOnlyFile) {
    TempDir dir;
    dir.write("old.xml", kOld);
    dir.write("new.xml", kNew);
    const std::string diff = dir.write("d.xml", kEarlierDiff);
    ASSERT_TRUE(::SetFileAttributesW(Wide(diff).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    const HostRun run = RunHost({"-New", "new.xml", "-Old", "old.xml", "-Diff", "d.xml"}, {dir.path()});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(ReadFile(diff), HasSubstr("<Modified>"));
    EXPECT_EQ(Attributes(diff) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "new.xml", "old.xml"}));
    ::SetFileAttributesW(Wide(diff).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Another program holding the diff file open, however it opened it: Windows
// does not replace a file that is open anywhere, so the run fails after a
// second of trying with a message that says why, the file as it was and no
// temporary file beside it; once the file is closed a run replaces it.
TEST(PlatformWindows, ReplacingAFileAnotherProgramHoldsOpen) {
    TempDir dir;
    dir.write("old.xml", kOld);
    dir.write("new.xml", kNew);
    const std::string diff = dir.write("d.xml", kEarlierDiff);
    const std::vector<std::string> args = {"-New", "new.xml", "-Old", "old.xml", "-Diff", "d.xml"};
    const DWORD readWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
    for (const DWORD sharing : {readWrite | FILE_SHARE_DELETE, readWrite}) {
        SCOPED_TRACE(sharing & FILE_SHARE_DELETE ? "shared for deletion" : "shared for reading and writing");
        const HANDLE other = ::CreateFileW(Wide(diff).c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        const HostRun run = RunHost(args, {dir.path()});
        ::CloseHandle(other);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_THAT(run.err, StartsWith("Error GDXMLWriteError_1: The XML file \"d.xml\" could not be written: "
                                        "cannot put the file in place: "));
        EXPECT_THAT(run.err.substr(0, run.err.find('\n')),
                    testing::AnyOf(HasSubstr("in use by another program"), HasSubstr("open in another program")));
        EXPECT_EQ(ReadFile(diff), kEarlierDiff);
        EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "new.xml", "old.xml"}));
    }
    ASSERT_EQ(RunHost(args, {dir.path()}).exitStatus, 0);
    EXPECT_THAT(ReadFile(diff), HasSubstr("<Modified>"));
}

// The replaced file's access rules stay: a file its owner alone may read
// (its own rules, none inherited) is as private after the diff is written
// over it; a new file inherits its folder's rules as any new file does.
TEST(PlatformWindows, AReplacedFileKeepsItsAccessRules) {
    TempDir dir;
    dir.write("new.xml", kNew);
    const std::string diff = dir.write("d.xml", kEarlierDiff);
    PSECURITY_DESCRIPTOR owner = nullptr;
    ASSERT_TRUE(
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;OW)", SDDL_REVISION_1, &owner, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(owner, &present, &dacl, &defaulted);
    ASSERT_EQ(::SetNamedSecurityInfoW(Wide(diff).data(), SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    ::LocalFree(owner);
    const std::string rules = AccessRules(diff);
    ASSERT_THAT(rules, StartsWith("D:P"));
    const std::string fresh = AccessRules(dir.file("new.xml"));
    ASSERT_NE(rules, fresh);

    ASSERT_EQ(RunHost({"-New", "new.xml", "-Diff", "d.xml"}, {dir.path()}).exitStatus, 0);
    EXPECT_THAT(ReadFile(diff), HasSubstr("<Added>"));
    EXPECT_EQ(AccessRules(diff), rules);
    ASSERT_EQ(RunHost({"-New", "new.xml", "-Diff", "other.xml"}, {dir.path()}).exitStatus, 0);
    EXPECT_EQ(AccessRules(dir.file("other.xml")), fresh);
}

// Documents with CRLF line ends (as git checks them out on Windows) compare
// as their LF forms do: the same diff, byte for byte, and none between a
// document's two forms. (The merge of CRLF documents gives Linux's bytes:
// Windows.same-outputs.)
TEST(PlatformWindows, CrlfDocuments) {
    TempDir dir;
    const auto crlf = [](std::string text) {
        for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
        return text;
    };
    const std::string oldXml = ReadFile(SourcePath("examples/old.xml")),
                      newXml = ReadFile(SourcePath("examples/new.xml"));
    ASSERT_EQ(oldXml.find('\r'), std::string::npos);
    dir.write("old.xml", oldXml);
    dir.write("new.xml", newXml);
    dir.write("old-crlf.xml", crlf(oldXml));
    dir.write("new-crlf.xml", crlf(newXml));
    ASSERT_EQ(RunHost({"-New", "new.xml", "-Old", "old.xml", "-Diff", "lf.xml"}, {dir.path()}).exitStatus, 0);
    ASSERT_EQ(RunHost({"-New", "new-crlf.xml", "-Old", "old-crlf.xml", "-Diff", "crlf.xml"}, {dir.path()}).exitStatus,
              0);
    std::string expected = ReadFile(dir.file("lf.xml"));
    for (const char* name : {"new", "old"}) {
        const std::string was = std::string("\"") + name + ".xml\"";
        expected.replace(expected.find(was), was.size(), std::string("\"") + name + "-crlf.xml\"");
    }
    EXPECT_EQ(ReadFile(dir.file("crlf.xml")), expected);
    EXPECT_EQ(RunHost({"-New", "new-crlf.xml", "-Old", "new.xml", "-Diff", "none.xml"}, {dir.path()}).exitStatus, 0);
    EXPECT_FALSE(FileExists(dir.file("none.xml")));
}

}  // namespace
