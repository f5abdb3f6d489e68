// SPDX-License-Identifier: Apache-2.0
// Runs on a bad condition through the real host: hostile and broken
// documents (each given as the old and as the new version), diff files that
// cannot be written, memory running out. Each fails with status 1 and a
// message that says what and where, writes no diff file, leaves an earlier
// one as it was and no temporary file. Valid but unusual documents give the
// right diff. (What only POSIX systems can set up, a FIFO, permission bits, a
// full file system, a host killed while it writes: HostileInputPosixTest.cpp.)
#include <filesystem>
#include <fstream>

#include "HostileInput.h"

namespace {

// Documents that do not parse, or are no documents: broken or empty ones, bad
// encodings (one that cannot be read, or a declaration that lies about the
// bytes), nesting too deep and too many names (refused before the end
// matters); a folder and a missing file.
TEST_F(Hostile, UnreadableDocumentsAreRefusedWithTheirReason) {
    std::string utf16le = "\xff\xfe";  // UTF-16 behind a byte-order mark, declared as UTF-8
    for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><P Name=\"p\"/>")) utf16le += {c, '\0'};
    std::string deep = "<P Name=\"p\">";  // never closed
    for (int i = 0; i < 100000; ++i) deep += "<e>";
    // Empty elements between do not make it shallower (Xerces ends them from
    // within their start); a closed document, which would then be written.
    std::string hidden = "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\"><A Uuid=\"a\" Name=\"a\">";
    for (int i = 0; i < 5000; ++i) hidden += "<e><x/>";
    for (int i = 0; i < 5000; ++i) hidden += "</e>";
    std::string wide = "<P Name=\"p\"><C Uuid=\"c1\" Name=\"one\"";
    for (int i = 0; i < 100000; ++i) wide += " f" + std::to_string(i) + "=\"v\"";
    std::string tags = "<P Name=\"p\">";
    for (int i = 0; i < 20000; ++i)
        tags += "<C" + std::to_string(i) + " Uuid=\"u" + std::to_string(i) + "\" Name=\"n\"/>";
    const std::string tooDeep = "elements are nested more than 1000 levels deep";
    const std::string tooMany = "the document uses more than 10000 distinct element and attribute names";
    const struct {
        std::string name, content, reason;
    } cases[] = {
        {"broken.xml", "<P Name='p'>\n  <C Uuid='c' Name='n'>\n</P>", "line 3, column 3: expected end of tag 'C'"},
        {"zero.xml", "", "the file is empty"},
        {"blank.xml", "<?xml version=\"1.0\"?>\n  \n", "line 3, column 1: invalid document structure"},
        {"badutf8.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<P Name=\"p\xff\xfe\"><C Uuid=\"c\"/></P>\n",
         "invalid byte"},
        // Declares UTF-8 but holds Latin-1 (é as one byte): the most common lie.
        {"latin1.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<P Name=\"caf\xe9\"/>", "invalid byte"},
        {"lie16.xml", utf16le, "line 1, column 40: element name expected"},
        {"unknown.xml", "<?xml version=\"1.0\" encoding=\"X-NOPE\"?>\n<P Name=\"p\"/>",
         "unable to create converter for 'X-NOPE' encoding"},
        {"deep.xml", deep, tooDeep},
        {"hidden.xml", hidden + "</A></C></P>", tooDeep},
        {"wide.xml", wide + "/></P>", tooMany},
        {"tags.xml", tags + "</P>", tooMany},
    };
    for (const auto& c : cases) ExpectRefusedBothWays(c.name, c.content, c.reason);
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("folder.xml")));
    ExpectRefusedBothWays("folder.xml", "cannot open it: it is a directory, not a file");
    ExpectRefusedBothWays("missing.xml", "cannot open it: No such file or directory");
}

// Whatever a DOCTYPE declares, the document is refused for it (that nothing
// is read or fetched meanwhile: HostileInputPosixTest.cpp).
TEST_F(Hostile, DoctypesAreRefused) {
    const std::string secret = dir.write("secret.txt", "SECRET");
    for (const auto& [name, content] : DoctypeDocuments(secret, "http://127.0.0.1:9/meta.dtd"))
        ExpectRefusedBothWays(name, content, kDoctypeRefused);
}

TEST_F(Hostile, HonestEncodingsRead) {
    // UTF-16 with a byte-order mark reads like the same text in UTF-8: the
    // two compare equal, and a change shows with its characters intact.
    const std::u16string text =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<P Name=\"café 😀\"><C Uuid=\"c1\" Name=\"Größe\"/></P>";
    std::string utf16be = "\xfe\xff";
    for (char16_t c : text) utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xff)};
    dir.write("utf16.xml", utf16be);
    dir.write("utf8.xml", u8"<P Name=\"café 😀\"><C Uuid=\"c1\" Name=\"Größe\"/></P>");
    dir.write("utf8b.xml", u8"<P Name=\"café 😀\"><C Uuid=\"c1\" Name=\"Grüße\"/></P>");
    EXPECT_EQ(DiffOf("utf16.xml", "utf8.xml"), "");
    EXPECT_EQ(DiffOf("utf8.xml", "utf16.xml"), "");
    EXPECT_EQ(DiffOf("utf16.xml", "utf8b.xml"),
              u8"Diff New=\"utf8b.xml\" Old=\"utf16.xml\" PackageName=\"café 😀\"\n"
              u8"  Modified\n"
              u8"    C Uuid=\"C1\"\n"
              u8"      Modified New=\"Name='Grüße'\" Old=\"Name='Größe'\"\n");
    // A UTF-16 declaration on UTF-8 bytes: the bytes tell, and they are read right.
    dir.write("says16.xml",
              u8"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
              u8"<P Name=\"café 😀\"><C Uuid=\"c1\" Name=\"Größe\"/></P>");
    EXPECT_EQ(DiffOf("says16.xml", "utf8.xml"), "");
    EXPECT_EQ(DiffOf("utf8.xml", "says16.xml"), "");
}

TEST_F(Hostile, AFiftyMegabyteValueTravelsWhole) {
    const std::string value(50u << 20, 'v');
    dir.write("big.xml",
              "<P Name=\"pkg\"><C Uuid=\"c1\" Name=\"one\"><A Uuid=\"a1\" Name=\"id\"/></C>"
              "<C Uuid=\"big\" Name=\"b\" Doc=\"" +
                  value + "\"/></P>");
    for (const bool asOld : {true, false}) {
        SCOPED_TRACE(asOld ? "as old" : "as new");
        const HostRun run = asOld ? Run("big.xml", "good.xml") : Run("good.xml", "big.xml");
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        const std::string diff = ReadFile(dir.file("d.xml"));
        const std::string entry = "<C Doc=\"" + value + "\" Name=\"b\" Uuid=\"big\"/>";
        EXPECT_THAT(diff, HasSubstr((asOld ? "<Deleted>\n    " : "<Added>\n    ") + entry));
        EXPECT_LT(diff.size(), value.size() + 1000);
    }
    EXPECT_LT(PeakChildMiB(), 1024);  // a few copies of the value, not more
}

TEST_F(Hostile, AMillionClassesCompare) {
    constexpr int kClasses = 1000000;
    {
        std::ofstream oldDoc(dir.file("old.xml")), newDoc(dir.file("new.xml"));
        oldDoc << "<P Name=\"pkg\">\n";
        newDoc << "<P Name=\"pkg\">\n";
        for (int i = 0; i < kClasses; ++i) {
            const std::string uuid = std::to_string(i);
            const std::string line = "<C Uuid=\"u" + uuid + "\" Name=\"n" + uuid + "\"/>\n";
            if (i != 1) oldDoc << line;                 // u1 is added
            if (i != 2 && i != 500000) newDoc << line;  // u2 is deleted
            if (i == 500000) newDoc << "<C Uuid=\"u500000\" Name=\"renamed\"/>\n";
        }
        oldDoc << "</P>\n";
        newDoc << "</P>\n";
    }
    EXPECT_EQ(DiffOf("old.xml", "new.xml"),
              "Diff New=\"new.xml\" Old=\"old.xml\" PackageName=\"pkg\"\n"
              "  Added\n"
              "    C Name=\"n1\" Uuid=\"u1\"\n"
              "  Deleted\n"
              "    C Name=\"n2\" Uuid=\"u2\"\n"
              "  Modified\n"
              "    C Uuid=\"U500000\"\n"
              "      Modified New=\"Name='renamed'\" Old=\"Name='n500000'\"\n");
    EXPECT_LT(PeakChildMiB(), 6 * 1024);
}

// A diff file that cannot be written: a missing folder (not created), a
// folder as the path (left alone). (Devices, links and file systems that are
// read-only or full: HostileInputPosixTest.cpp.)
TEST_F(Hostile, DiffFilesThatCannotBeWritten) {
    const std::string missing = dir.file("missing");
    ExpectWriteFails(missing + "/d.xml", "cannot create a file in folder " + missing + ": No such file or directory");
    EXPECT_FALSE(FileExists(missing));
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("folder.xml")));
    ExpectWriteFails(dir.file("folder.xml"), "it is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder.xml")));
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "folder.xml", "good.xml"}));
}

TEST_F(MemoryRunsOut, TheHostFailsWithAMessage) {
    Ladder([&](std::size_t limit) {
        const HostRun run = RunHost(
            {"-New", dir.file("new.xml"), "-Old", dir.file("old.xml"), "-Diff", dir.file("d.xml")}, {"", {}, limit});
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

}  // namespace
