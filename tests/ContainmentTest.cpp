// Whatever happens in a run, the process that runs it goes on: memory running
// out at any point gives a failure that says so, writes nothing and leaves no
// file, through the command line and through Process, and the next run in
// the same process works. The library prints nothing of its own, matches
// letter case the same under any locale, and takes any file name.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <set>
#include <sys/resource.h>

#include "QORMDMetaDiffApi.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/cQORMUCallback.h"

namespace {

// An old and a new document of classes with a few attributes each, every
// tenth class changed, about 700 bytes a class.
void WritePair(const TempDir& dir, int classes) {
    std::string oldXml = "<Package Name=\"P\" Uuid=\"p\">\n", newXml = oldXml;
    for (int c = 0; c < classes; ++c) {
        const std::string id = std::to_string(c);
        std::string body;
        for (int a = 0; a < 6; ++a)
            body += "    <Attribute Uuid=\"a" + id + "-" + std::to_string(a) + "\" Name=\"Attribute" +
                    std::to_string(a) + "\" Type=\"varchar\" Size=\"" + std::to_string(10 + a) + "\"/>\n";
        oldXml += "  <Class Uuid=\"c" + id + "\" Name=\"Class" + id + "\" Table=\"T" + id + "\">\n" + body + "  </Class>\n";
        const std::string name = c % 10 == 0 ? "Renamed" + id : "Class" + id;
        newXml += "  <Class Uuid=\"C" + id + "\" Name=\"" + name + "\" Table=\"T" + id + "\">\n" + body + "  </Class>\n";
    }
    dir.write("old.xml", oldXml + "</Package>\n");
    dir.write("new.xml", newXml + "</Package>\n");
}

std::set<std::string> Listing(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.insert(entry.path().filename());
    return names;
}

bool SaysMemoryRanOut(const std::string& text) {
    return text.find("ran out of memory") != std::string::npos ||
           text.find("not enough memory") != std::string::npos;
}

class Containment : public ::testing::Test {
protected:
    void SetUp() override {
        WritePair(dir, 2000);
        ASSERT_EQ(RunHost({"-New", dir.file("new.xml"), "-Old", dir.file("old.xml"), "-Diff", dir.file("expected.xml")})
                      .exitStatus,
                  0);
        expected = ReadFile(dir.file("expected.xml"));
        std::remove(dir.file("expected.xml").c_str());
    }
    // Address space limits from too small to enough, in steps of 12 MiB;
    // check(limit) tells whether the run succeeded.
    void Ladder(const std::function<bool(std::size_t)>& check) {
        if (UnderAddressSanitizer()) GTEST_SKIP() << "AddressSanitizer cannot run in a limited address space";
        int successes = 0, failures = 0;
        for (std::size_t mib = 40; mib <= 1024 && successes < 2; mib += 12) {
            SCOPED_TRACE(std::to_string(mib) + " MiB");
            (check(mib << 20) ? successes : failures)++;
            EXPECT_EQ(Listing(dir), (std::set<std::string>{"new.xml", "old.xml"}));
            if (HasFailure()) return;
        }
        EXPECT_GT(failures, 3);
        EXPECT_EQ(successes, 2);
    }
    TempDir dir;
    std::string expected;
};

TEST_F(Containment, TheHostFailsWithAMessageWhenMemoryRunsOut) {
    Ladder([&](std::size_t limit) {
        const HostRun run =
            RunHost({"-New", dir.file("new.xml"), "-Old", dir.file("old.xml"), "-Diff", dir.file("d.xml")}, {"", {}, limit});
        if (run.exitStatus == 127) return false;  // too small for the loader to map the libraries
        EXPECT_LT(run.exitStatus, 2) << run.err;  // neither a signal nor an abort
        if (run.exitStatus == 0) {
            EXPECT_EQ(ReadDiff(dir.file("d.xml")), expected);
            std::remove(dir.file("d.xml").c_str());
            return true;
        }
        EXPECT_TRUE(SaysMemoryRanOut(run.err)) << run.err;
        return false;
    });
}

TEST_F(Containment, AProgramHostGoesOnAfterMemoryRanOutAndItsNextRunWorks) {
    const ZULUnicodeString oldName(dir.file("old.xml").c_str()), newName(dir.file("new.xml").c_str());
    const ZULUnicodeString diffName(dir.file("d.xml").c_str());
    Ladder([&](std::size_t limit) {
        const HostRun run = RunInChild(
            [&] {
                const std::int32_t status = cQORMDApi::Process(oldName, newName, diffName, 0);
                if (status < 0) {
                    std::printf("%s\n", cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr)).c_str());
                    if (FileExists(diffName.ConvertToChar())) return 3;
                    cQORMDApi::Terminate();
                }
                const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
                ::setrlimit(RLIMIT_AS, &unlimited);
                if (cQORMDApi::Process(oldName, newName, diffName, 0) < 0) return 4;
                const bool same = ReadDiff(diffName.ConvertToChar()) == expected;
                std::remove(diffName.ConvertToChar());
                return !same ? 5 : status < 0 ? 1 : 0;
            },
            {"", {}, limit});
        EXPECT_LT(run.exitStatus, 2) << run.out << run.err;
        EXPECT_EQ(run.err, "");
        if (run.exitStatus == 1) {
            EXPECT_TRUE(SaysMemoryRanOut(run.out)) << run.out;
        }
        return run.exitStatus == 0;
    });
}

TEST_F(Containment, AProgramHostSeesNoOutputItDidNotPrint) {
    dir.write("broken.xml", "<P Name='p'><C Uuid='c' Name='n'></P>");
    const HostRun run = RunInChild([&] {
        int failures = 0;
        for (const char* name : {"missing.xml", "broken.xml"}) {
            const std::string path = dir.file(name);
            failures += cQORMDApi::Process(ZULUnicodeString(path.c_str()), ZULUnicodeString(dir.file("new.xml").c_str()),
                                           ZULUnicodeString(dir.file("d.xml").c_str()), 0) < 0;
            cQORMDApi::Terminate();
        }
        return failures;
    });
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

// Uuids whose letter case differs in scripts beyond Latin, one beyond U+FFFF:
// each pair is one element whose Uuid field changed, under any locale.
TEST_F(Containment, LetterCaseMatchesTheSameWhateverTheLocale) {
    const char* const pairs[][2] = {{"i-1", "I-1"}, {"σ-2", "Σ-2"}, {"д-3", "Д-3"}, {"ա-4", "Ա-4"},
                                    {"é-5", "É-5"}, {"\U00010428x", "\U00010400X"}};
    std::string oldXml = "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\">", newXml = oldXml;
    for (const auto& pair : pairs) {
        oldXml += std::string("<A Uuid=\"") + pair[0] + "\" Name=\"n\"/>";
        newXml += std::string("<A Uuid=\"") + pair[1] + "\" Name=\"n\"/>";
    }
    dir.write("old.xml", oldXml + "</C></P>");
    dir.write("new.xml", newXml + "</C></P>");
    const std::string diff = dir.file("d.xml");
    // Turkish upper-cases i to İ: compiled here, so that no installed locale is needed.
    const std::string locales = dir.file("locales");
    std::filesystem::create_directory(locales);
    const std::string compile = "localedef -i tr_TR -f UTF-8 " + locales + "/tr_TR.UTF-8 >/dev/null 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << "localedef and Debian's locales package are needed";
    for (const char* locale : {"C", "tr_TR.UTF-8"}) {
        SCOPED_TRACE(locale);
        const HostRun run = RunInChild([&] {
            ::setenv("LOCPATH", locales.c_str(), 1);
            if (!std::setlocale(LC_ALL, locale)) return 3;
            // Under Turkish rules the C library upper-cases i to İ: the locale is in force.
            if (std::string(locale) != "C" && std::towupper(L'i') == L'I') return 3;
            return cQORMDApi::Process(ZULUnicodeString(dir.file("old.xml").c_str()),
                                      ZULUnicodeString(dir.file("new.xml").c_str()), ZULUnicodeString(diff.c_str()),
                                      0) < 0 ? 1 : 0;
        });
        ASSERT_EQ(run.exitStatus, 0) << "the locale " << locale << " could not be set";
        const std::string outline = Outline(diff);
        EXPECT_EQ(outline.find("  Added"), std::string::npos) << outline;
        EXPECT_EQ(outline.find("  Deleted"), std::string::npos) << outline;
        for (const auto& pair : pairs)
            EXPECT_NE(outline.find(std::string("New=\"Uuid='") + pair[1] + "'\" Old=\"Uuid='" + pair[0] + "'\""),
                      std::string::npos)
                << outline;
    }
}

// A name from an old file system, in Latin-1: read, compared and written,
// the diff showing each byte that is not UTF-8 as its Latin-1 letter.
TEST_F(Containment, FileNamesThatAreNotUtf8AreReadAndShown) {
    const std::string latin1 = "d\xe9j\xe0.xml";
    std::filesystem::rename(dir.file("new.xml"), dir.file(latin1));
    const HostRun run = RunHost({"-New", latin1, "-Old", "old.xml", "-Diff", "d.xml"}, {dir.path()});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(ReadFile(dir.file("d.xml")).find("<Diff New=\"d\xc3\xa9j\xc3\xa0.xml\" Old=\"old.xml\""),
              std::string::npos);
}

}  // namespace
