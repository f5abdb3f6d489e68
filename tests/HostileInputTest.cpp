// Hostile and broken metadata documents through the real host, each given as
// the old and as the new version: a refused document fails the run with exit
// status 1 and the parser's reason printed, writes no diff file and leaves an
// earlier one as it was; a valid but unusual document gives the right diff.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "QORMDTestSupport.h"

namespace {

using Args = std::vector<std::string>;

const char kGood[] = R"(<P Name="pkg"><C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/></C></P>)";
const char kEarlierDiff[] = "<Diff>an earlier run's diff</Diff>\n";

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The peak resident memory of the largest child process so far, in MiB
// (ctest runs each test in a process of its own).
long PeakChildMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("good.xml", kGood);
        dir.write("d.xml", kEarlierDiff);
    }

    // Name and size of every entry of the folder.
    std::map<std::string, std::uintmax_t> Listing() const {
        std::map<std::string, std::uintmax_t> entries;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            entries[entry.path().filename()] = entry.is_regular_file() ? entry.file_size() : 0;
        return entries;
    }

    HostRun Run(const std::string& oldName, const std::string& newName, const Args& env = {}) {
        return RunHost({"-New", newName, "-Old", oldName, "-Diff", "d.xml"}, {dir.path(), env});
    }

    // Runs the document as the old version against good.xml, then as the new
    // one; both runs must fail with status 1, print the parser's refusal
    // with reason, then the file error, and leave the folder as it was.
    void ExpectRefusedBothWays(const std::string& name, const std::string& reason) {
        const auto before = Listing();
        for (const bool asOld : {true, false}) {
            SCOPED_TRACE(name + (asOld ? " as old" : " as new"));
            const HostRun run = asOld ? Run(name, "good.xml") : Run("good.xml", name);
            EXPECT_EQ(run.exitStatus, 1);
            EXPECT_EQ(FirstLine(run.err).rfind("Error MDFileError_1: The metadata file \"" + name + "\" could not be read: ", 0),
                      0u)
                << run.err;
            EXPECT_NE(FirstLine(run.err).find(reason), std::string::npos) << run.err;
            EXPECT_EQ(Listing(), before);
            EXPECT_EQ(ReadFile(dir.file("d.xml")), kEarlierDiff);
        }
    }

    // Runs old -> new and returns the diff's outline; "" when no diff was written.
    std::string DiffOf(const std::string& oldName, const std::string& newName) {
        ::unlink(dir.file("d.xml").c_str());
        const HostRun run = Run(oldName, newName);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        return FileExists(dir.file("d.xml")) ? Outline(dir.file("d.xml")) : std::string();
    }

    TempDir dir;
};

TEST_F(Hostile, UnreadableOrEmptyFilesAreRefusedWithTheirReason) {
    dir.write("broken.xml", "<P Name='p'>\n  <C Uuid='c' Name='n'>\n</P>");
    ExpectRefusedBothWays("broken.xml", "line 3, column 3: expected end of tag 'C'");
    dir.write("zero.xml", "");
    ExpectRefusedBothWays("zero.xml", "the file is empty");
    dir.write("blank.xml", "<?xml version=\"1.0\"?>\n  \n");
    ExpectRefusedBothWays("blank.xml", "line 3, column 1: invalid document structure");
    ASSERT_EQ(::mkdir(dir.file("folder.xml").c_str(), 0700), 0);
    ExpectRefusedBothWays("folder.xml", "cannot open it: it is a directory, not a file");
    ExpectRefusedBothWays("missing.xml", "cannot open it: No such file or directory");
    // A FIFO without a writer reads as empty instead of blocking the run.
    ASSERT_EQ(::mkfifo(dir.file("fifo.xml").c_str(), 0600), 0);
    ExpectRefusedBothWays("fifo.xml", "the file is empty");
}

TEST_F(Hostile, AFileWithoutReadPermissionIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permission bits say";
    ::chmod(dir.write("secret.xml", kGood).c_str(), 0200);
    ExpectRefusedBothWays("secret.xml", "cannot open it: Permission denied");
}

TEST_F(Hostile, DoctypesAreRefusedWithoutReadingOrFetchingAnything) {
    // Reading the file would show as an open event; fetching the DTD as a
    // connection to the listening loopback socket.
    const std::string secret = dir.write("secret.txt", "SECRET");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, secret.c_str(), IN_OPEN | IN_ACCESS), 0);
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/meta.dtd";

    const std::string refused = "the document has a DOCTYPE declaration, which metadata documents may not have";
    dir.write("xxe.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P [<!ENTITY x SYSTEM \"file://" + secret +
                             "\">]>\n<P Name=\"&x;\"><C Uuid=\"c1\" Name=\"&x;\"/></P>");
    ExpectRefusedBothWays("xxe.xml", refused);
    dir.write("dtd.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P SYSTEM \"" + url + "\">\n<P Name=\"p\"/>");
    ExpectRefusedBothWays("dtd.xml", refused);
    dir.write("param.xml", "<!DOCTYPE P [<!ENTITY % ext SYSTEM \"" + url + "\"> %ext;]>\n<P Name=\"p\"/>");
    ExpectRefusedBothWays("param.xml", refused);
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE P [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">\n";
    }
    dir.write("laughs.xml", laughs + "]>\n<P Name=\"&l10;\"/>");
    ExpectRefusedBothWays("laughs.xml", refused);
    dir.write("subset.xml", "<!DOCTYPE P [<!ELEMENT P ANY><!ATTLIST P Name CDATA \"p\">]>\n<P/>");
    ExpectRefusedBothWays("subset.xml", refused);

    char event[4096];
    EXPECT_LT(::read(watch, event, sizeof event), 0) << "the entity's file was opened";
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "the DTD was fetched";
    ::close(watch);
    ::close(listener);
}

TEST_F(Hostile, BadEncodingsAreRefusedAndHonestOnesRead) {
    dir.write("badutf8.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<P Name=\"p\xff\xfe\"><C Uuid=\"c\"/></P>\n");
    ExpectRefusedBothWays("badutf8.xml", "invalid byte");
    // Declares UTF-8 but holds Latin-1 (é as one byte): the most common lie.
    dir.write("latin1.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<P Name=\"caf\xe9\"/>");
    ExpectRefusedBothWays("latin1.xml", "invalid byte");
    // Declares UTF-8 but is UTF-16 behind a byte-order mark.
    std::string utf16le = "\xff\xfe";
    for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><P Name=\"p\"/>")) utf16le += {c, '\0'};
    dir.write("lie16.xml", utf16le);
    ExpectRefusedBothWays("lie16.xml", "line 1, column 40: element name expected");
    dir.write("unknown.xml", "<?xml version=\"1.0\" encoding=\"X-NOPE\"?>\n<P Name=\"p\"/>");
    ExpectRefusedBothWays("unknown.xml", "unable to create converter for 'X-NOPE' encoding");

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
    EXPECT_EQ(DiffOf("utf16.xml", "utf8b.xml"), u8"Diff New=\"utf8b.xml\" Old=\"utf16.xml\" PackageName=\"café 😀\"\n"
                                                u8"  Modified\n"
                                                u8"    C Uuid=\"C1\"\n"
                                                u8"      Modified New=\"Name='Grüße'\" Old=\"Name='Größe'\"\n");
    // A UTF-16 declaration on UTF-8 bytes: the bytes tell, and they are read right.
    dir.write("says16.xml", u8"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                            u8"<P Name=\"café 😀\"><C Uuid=\"c1\" Name=\"Größe\"/></P>");
    EXPECT_EQ(DiffOf("says16.xml", "utf8.xml"), "");
    EXPECT_EQ(DiffOf("utf8.xml", "says16.xml"), "");
}

TEST_F(Hostile, DeepNestingAndManyNamesAreRefusedQuickly) {
    std::string deep = "<P Name=\"p\">";
    for (int i = 0; i < 100000; ++i) deep += "<e>";
    dir.write("deep.xml", deep);  // never closed: refused before the end matters
    ExpectRefusedBothWays("deep.xml", "elements are nested more than 1000 levels deep");
    // Empty elements between do not make it shallower (Xerces ends them from
    // within their start); a closed document, which would then be written.
    std::string hidden = "<P Name=\"p\"><C Uuid=\"c\" Name=\"c\"><A Uuid=\"a\" Name=\"a\">";
    for (int i = 0; i < 5000; ++i) hidden += "<e><x/>";
    for (int i = 0; i < 5000; ++i) hidden += "</e>";
    dir.write("hidden.xml", hidden + "</A></C></P>");
    ExpectRefusedBothWays("hidden.xml", "elements are nested more than 1000 levels deep");

    std::string wide = "<P Name=\"p\"><C Uuid=\"c1\" Name=\"one\"";
    for (int i = 0; i < 100000; ++i) wide += " f" + std::to_string(i) + "=\"v\"";
    dir.write("wide.xml", wide + "/></P>");
    ExpectRefusedBothWays("wide.xml", "the document uses more than 10000 distinct element and attribute names");

    std::string tags = "<P Name=\"p\">";
    for (int i = 0; i < 20000; ++i) tags += "<C" + std::to_string(i) + " Uuid=\"u" + std::to_string(i) + "\" Name=\"n\"/>";
    dir.write("tags.xml", tags + "</P>");
    ExpectRefusedBothWays("tags.xml", "the document uses more than 10000 distinct element and attribute names");
}

TEST_F(Hostile, AFiftyMegabyteValueTravelsWhole) {
    const std::string value(50u << 20, 'v');
    dir.write("big.xml", "<P Name=\"pkg\"><C Uuid=\"c1\" Name=\"one\"><A Uuid=\"a1\" Name=\"id\"/></C>"
                         "<C Uuid=\"big\" Name=\"b\" Doc=\"" + value + "\"/></P>");
    for (const bool asOld : {true, false}) {
        SCOPED_TRACE(asOld ? "as old" : "as new");
        const HostRun run = asOld ? Run("big.xml", "good.xml") : Run("good.xml", "big.xml");
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        const std::string diff = ReadFile(dir.file("d.xml"));
        const std::string entry = "<C Doc=\"" + value + "\" Name=\"b\" Uuid=\"big\"/>";
        EXPECT_NE(diff.find(asOld ? "<Deleted>\n    " + entry : "<Added>\n    " + entry), std::string::npos);
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
            if (i != 1) oldDoc << line;                    // u1 is added
            if (i != 2 && i != 500000) newDoc << line;     // u2 is deleted
            if (i == 500000) newDoc << "<C Uuid=\"u500000\" Name=\"renamed\"/>\n";
        }
        oldDoc << "</P>\n";
        newDoc << "</P>\n";
    }
    EXPECT_EQ(DiffOf("old.xml", "new.xml"), "Diff New=\"new.xml\" Old=\"old.xml\" PackageName=\"pkg\"\n"
                                            "  Added\n"
                                            "    C Name=\"n1\" Uuid=\"u1\"\n"
                                            "  Deleted\n"
                                            "    C Name=\"n2\" Uuid=\"u2\"\n"
                                            "  Modified\n"
                                            "    C Uuid=\"U500000\"\n"
                                            "      Modified New=\"Name='renamed'\" Old=\"Name='n500000'\"\n");
    EXPECT_LT(PeakChildMiB(), 6 * 1024);
}

TEST_F(Hostile, RepeatedUuidsKeepTheFirstAndTraceTheRest) {
    // c1 and C1 are one identity; so are the attributes a1 and A1 of class c1.
    dir.write("dup.xml", R"(<P Name="pkg">
  <C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/><A Uuid="A1" Name="idAgain"/></C>
  <C Uuid="C1" Name="oneAgain"/>
</P>)");
    EXPECT_EQ(DiffOf("dup.xml", "good.xml"), "");
    EXPECT_EQ(DiffOf("good.xml", "dup.xml"), "");
    const HostRun run = Run("good.xml", "dup.xml", {"QORMD_TRACE=trace.log"});
    EXPECT_EQ(run.exitStatus, 0);
    const std::string traces = ReadFile(dir.file("trace.log"));
    EXPECT_NE(traces.find("Level3 Elem (Attrib level) repeats the Uuid of an earlier attribute and is discarded; "
                          "Uuid : A1\n"),
              std::string::npos)
        << traces;
    EXPECT_NE(traces.find("Level2 Elem (Class level) repeats the Uuid of an earlier class and is discarded; Uuid : C1\n"),
              std::string::npos);

    // Across versions too, letter case does not change the identity: the
    // elements are the same ones, whose Uuid field has changed.
    dir.write("upper.xml", R"(<P Name="pkg"><C Uuid="C1" Name="one"><A Uuid="A1" Name="id"/></C></P>)");
    EXPECT_EQ(DiffOf("good.xml", "upper.xml"), "Diff New=\"upper.xml\" Old=\"good.xml\" PackageName=\"pkg\"\n"
                                               "  Modified\n"
                                               "    A Uuid=\"A1\"\n"
                                               "      Modified New=\"Uuid='A1'\" Old=\"Uuid='a1'\"\n"
                                               "    C Uuid=\"C1\"\n"
                                               "      Modified New=\"Uuid='C1'\" Old=\"Uuid='c1'\"\n");
}

}  // namespace
