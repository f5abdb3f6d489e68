// SPDX-License-Identifier: Apache-2.0
// What the runs on a bad condition share (HostileInputTest.cpp, and
// HostileInputPosixTest.cpp for what only POSIX systems can set up): a
// folder with a good document and an earlier diff, runs of the real host
// that must fail with a message and leave everything as it was, the
// documents with a DOCTYPE, and the documents that memory runs out on.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "QORMDTestSupport.h"

inline const char kGood[] = R"(<P Name="pkg"><C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/></C></P>)";
inline const char kEarlierDiff[] = "<Diff>an earlier run's diff</Diff>\n";

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("good.xml", kGood);
        dir.write("d.xml", kEarlierDiff);
    }

    HostRun Run(const std::string& oldName, const std::string& newName, const std::vector<std::string>& env = {}) {
        return RunHost({"-New", newName, "-Old", oldName, "-Diff", "d.xml"}, {dir.path(), env});
    }

    // Runs the document as the old version against good.xml, then as the new
    // one; both runs must fail with status 1, print the parser's refusal
    // with reason, then the file error, and leave the folder as it was.
    void ExpectRefusedBothWays(const std::string& name, const std::string& reason) {
        const auto before = Listing(dir.path(), true);
        for (const bool asOld : {true, false}) {
            SCOPED_TRACE(name + (asOld ? " as old" : " as new"));
            const HostRun run = asOld ? Run(name, "good.xml") : Run("good.xml", name);
            EXPECT_EQ(run.exitStatus, 1);
            const std::string firstLine = run.err.substr(0, run.err.find('\n'));
            EXPECT_THAT(firstLine,
                        StartsWith("Error MDFileError_1: The metadata file \"" + name + "\" could not be read: "));
            EXPECT_THAT(firstLine, HasSubstr(reason));
            EXPECT_EQ(Listing(dir.path(), true), before);
            EXPECT_EQ(ReadFile(dir.file("d.xml")), kEarlierDiff);
        }
    }
    // The same for a document written first.
    void ExpectRefusedBothWays(const std::string& name, const std::string& content, const std::string& reason) {
        dir.write(name, content);
        ExpectRefusedBothWays(name, reason);
    }

    // Runs old -> new and returns the diff's outline; "" when no diff was written.
    std::string DiffOf(const std::string& oldName, const std::string& newName) {
        std::remove(dir.file("d.xml").c_str());
        const HostRun run = Run(oldName, newName);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return FileExists(dir.file("d.xml")) ? Outline(dir.file("d.xml")) : std::string();
    }

    // Runs good.xml against nothing into diffPath; the run must fail with
    // status 1, first print the writer's message for diffPath with reason,
    // and then its failed write among the last traces.
    void ExpectWriteFails(const std::string& diffPath, const std::string& reason) {
        const HostRun run = RunHost({"-New", dir.file("good.xml"), "-Diff", diffPath});
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_THAT(run.err, StartsWith("Error GDXMLWriteError_1: The XML file \"" + diffPath +
                                        "\" could not be written: " + reason + "\n"));
        EXPECT_THAT(run.err, HasSubstr("\n  ! failed cDDLXMLParser::writeXMLFile\n"));
    }

    TempDir dir;
};

// Documents with a DOCTYPE, every one refused for it: an external entity
// naming the file secret, a DTD and a parameter entity at url, a billion
// laughs, an internal subset. Name and content of each.
inline std::vector<std::pair<std::string, std::string>> DoctypeDocuments(const std::string& secret,
                                                                         const std::string& url) {
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE P [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">\n";
    }
    return {
        {"xxe.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P [<!ENTITY x SYSTEM \"file://" + secret +
                        "\">]>\n<P Name=\"&x;\"><C Uuid=\"c1\" Name=\"&x;\"/></P>"},
        {"dtd.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P SYSTEM \"" + url + "\">\n<P Name=\"p\"/>"},
        {"param.xml", "<!DOCTYPE P [<!ENTITY % ext SYSTEM \"" + url + "\"> %ext;]>\n<P Name=\"p\"/>"},
        {"laughs.xml", laughs + "]>\n<P Name=\"&l10;\"/>"},
        {"subset.xml", "<!DOCTYPE P [<!ELEMENT P ANY><!ATTLIST P Name CDATA \"p\">]>\n<P/>"},
    };
}
inline const char kDoctypeRefused[] = "the document has a DOCTYPE declaration, which metadata documents may not have";

inline bool SaysMemoryRanOut(const std::string& text) {
    return text.find("ran out of memory") != std::string::npos || text.find("not enough memory") != std::string::npos;
}

// Memory running out at any point of a run gives a failure that says so,
// writes nothing and leaves no file, through the command line and through
// Process, and the next run in the same process works.
class MemoryRunsOut : public ::testing::Test {
protected:
    // An old and a new document of 2000 classes with a few attributes each,
    // every tenth class changed, about 700 bytes a class; and their diff.
    void SetUp() override {
        std::string oldXml = "<Package Name=\"P\" Uuid=\"p\">\n", newXml = oldXml;
        for (int c = 0; c < 2000; ++c) {
            const std::string id = std::to_string(c);
            std::string body;
            for (int a = 0; a < 6; ++a)
                body += "    <Attribute Uuid=\"a" + id + "-" + std::to_string(a) + "\" Name=\"Attribute" +
                        std::to_string(a) + "\" Type=\"varchar\" Size=\"" + std::to_string(10 + a) + "\"/>\n";
            oldXml += "  <Class Uuid=\"c" + id + "\" Name=\"Class" + id + "\" Table=\"T" + id + "\">\n" + body +
                      "  </Class>\n";
            const std::string name = c % 10 == 0 ? "Renamed" + id : "Class" + id;
            newXml +=
                "  <Class Uuid=\"C" + id + "\" Name=\"" + name + "\" Table=\"T" + id + "\">\n" + body + "  </Class>\n";
        }
        dir.write("old.xml", oldXml + "</Package>\n");
        dir.write("new.xml", newXml + "</Package>\n");
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
            EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"new.xml", "old.xml"}));
            if (HasFailure()) return;
        }
        EXPECT_GT(failures, 3);
        EXPECT_EQ(successes, 2);
    }
    TempDir dir;
    std::string expected;
};
