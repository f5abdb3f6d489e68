// SPDX-License-Identifier: Apache-2.0
// Runs on a bad condition through the real host: hostile and broken
// documents (each given as the old and as the new version), diff files that
// cannot be written (a missing or read-only folder, a full file system, a
// folder or a device as the path), a host killed while it writes, memory
// running out. Each fails with status 1 and a message that says what and
// where, writes no diff file, leaves an earlier one as it was and no
// temporary file. Valid but unusual documents give the right diff.
#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "QORMDMetaDiffApi.h"
#include "QORMDTestSupport.h"
#include "QORMetaUtil/QORMUAtomicFileTarget.h"

namespace {

const char kGood[] = R"(<P Name="pkg"><C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/></C></P>)";
const char kEarlierDiff[] = "<Diff>an earlier run's diff</Diff>\n";

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
        ::unlink(dir.file("d.xml").c_str());
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

// Documents that do not parse, or are no documents: broken or empty ones, bad
// encodings (one that cannot be read, or a declaration that lies about the
// bytes), nesting too deep and too many names (refused before the end
// matters); a folder, a missing file, and a FIFO without a writer (which
// reads as empty instead of blocking the run).
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
    ASSERT_EQ(::mkdir(dir.file("folder.xml").c_str(), 0700), 0);
    ExpectRefusedBothWays("folder.xml", "cannot open it: it is a directory, not a file");
    ExpectRefusedBothWays("missing.xml", "cannot open it: No such file or directory");
    ASSERT_EQ(::mkfifo(dir.file("fifo.xml").c_str(), 0600), 0);
    ExpectRefusedBothWays("fifo.xml", "the file is empty");
}

// Permission bits bind everyone but root: the case runs in a child process
// that gives root up for nobody (CI runs as root), or as the user running
// the tests. The document is refused with the reason, as old and as new
// version, and no diff file is written.
TEST(Permissions, AFileWithoutReadPermissionIsRefused) {
    const HostRun run = RunInChild([] {
        const uid_t nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
                                 ::setresuid(nobody, nobody, nobody) != 0))
            return 10;
        if (::geteuid() == 0) return 11;
        const TempDir own;  // the unprivileged user's
        const std::string secret = own.write("secret.xml", kGood), good = own.write("good.xml", kGood);
        ::chmod(secret.c_str(), 0200);
        for (const bool asOld : {true, false}) {
            const int status =
                asOld ? ProcessFiles(secret, good, own.file("d.xml")) : ProcessFiles(good, secret, own.file("d.xml"));
            cQORMDApi::Terminate();
            std::printf("%s\n", ErrorTextOf(status).c_str());
            if (status >= 0 || FileExists(own.file("d.xml"))) return 1;
        }
        return 0;
    });
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    const std::string refused = "secret.xml\" could not be read: cannot open it: Permission denied\n";
    EXPECT_THAT(run.out,
                testing::MatchesRegex("The metadata file \".*/" + refused + "The metadata file \".*/" + refused));
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
    ExpectRefusedBothWays("xxe.xml",
                          "<?xml version=\"1.0\"?>\n<!DOCTYPE P [<!ENTITY x SYSTEM \"file://" + secret +
                              "\">]>\n<P Name=\"&x;\"><C Uuid=\"c1\" Name=\"&x;\"/></P>",
                          refused);
    ExpectRefusedBothWays("dtd.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE P SYSTEM \"" + url + "\">\n<P Name=\"p\"/>",
                          refused);
    ExpectRefusedBothWays("param.xml", "<!DOCTYPE P [<!ENTITY % ext SYSTEM \"" + url + "\"> %ext;]>\n<P Name=\"p\"/>",
                          refused);
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE P [\n<!ENTITY l0 \"ha\">\n";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">\n";
    }
    ExpectRefusedBothWays("laughs.xml", laughs + "]>\n<P Name=\"&l10;\"/>", refused);
    ExpectRefusedBothWays("subset.xml", "<!DOCTYPE P [<!ELEMENT P ANY><!ATTLIST P Name CDATA \"p\">]>\n<P/>", refused);

    char event[4096];
    EXPECT_LT(::read(watch, event, sizeof event), 0) << "the entity's file was opened";
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "the DTD was fetched";
    ::close(watch);
    ::close(listener);
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

// A small tmpfs on a folder, mounted in a mount namespace of this test
// process alone, so that no other process sees it and it cannot outlive
// the process. Mounting needs root (CAP_SYS_ADMIN).
class SmallFileSystem {
public:
    SmallFileSystem(const std::string& folder, const std::string& size) : folder_(folder) {
        static const bool ownNamespace =
            ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!ownNamespace) {
            why_ = std::string("no mount namespace of our own: ") + std::strerror(errno);
        } else if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, ("size=" + size).c_str()) != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        }
    }
    ~SmallFileSystem() {
        if (why_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    // Empty when mounted; else why not.
    const std::string& why() const { return why_; }
    bool MakeReadOnly() { return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

private:
    std::string folder_;
    std::string why_;
};

// A diff file that cannot be written: a missing folder (not created), a
// folder or a device as the path (left alone, a link to the device followed
// and refused the same way), a read-only folder, a full file system (the
// earlier diff left as it was, no temporary file beside it).
TEST_F(Hostile, DiffFilesThatCannotBeWritten) {
    const std::string missing = dir.file("missing");
    ExpectWriteFails(missing + "/d.xml", "cannot create a file in folder " + missing + ": No such file or directory");
    EXPECT_FALSE(FileExists(missing));

    ASSERT_EQ(::mkdir(dir.file("folder.xml").c_str(), 0700), 0);
    ExpectWriteFails(dir.file("folder.xml"), "it is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder.xml")));
    struct stat before {};
    ASSERT_EQ(::stat("/dev/full", &before), 0);
    ExpectWriteFails("/dev/full", "it exists and is not a regular file");
    ASSERT_EQ(::symlink("/dev/full", dir.file("link.xml").c_str()), 0);
    ExpectWriteFails(dir.file("link.xml"), "it exists and is not a regular file");
    struct stat after {};
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.xml")));
    for (const std::string& name : Listing("/dev")) EXPECT_THAT(name, Not(StartsWith(".full.tmp")));
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "folder.xml", "good.xml", "link.xml"}));

    const std::string readOnly = dir.file("ro");
    ASSERT_EQ(::mkdir(readOnly.c_str(), 0700), 0);
    SmallFileSystem readOnlyFs(readOnly, "1m");
    std::string reason = "cannot create a file in folder " + readOnly + ": Read-only file system";
    if (readOnlyFs.why().empty()) {
        dir.write("ro/d.xml", kEarlierDiff);
        ASSERT_TRUE(readOnlyFs.MakeReadOnly());
    } else if (::geteuid() != 0) {
        dir.write("ro/d.xml", kEarlierDiff);
        ::chmod(readOnly.c_str(), 0500);  // permission bits bind everyone but root
        reason = "cannot create a file in folder " + readOnly + ": Permission denied";
    } else {
        GTEST_SKIP() << "root ignores permission bits, and " << readOnlyFs.why();
    }
    ExpectWriteFails(readOnly + "/d.xml", reason);
    EXPECT_EQ(ReadFile(readOnly + "/d.xml"), kEarlierDiff);
    EXPECT_EQ(Listing(readOnly), std::set<std::string>{"d.xml"});

    const std::string full = dir.file("full");
    ASSERT_EQ(::mkdir(full.c_str(), 0700), 0);
    SmallFileSystem fullFs(full, "64k");
    if (!fullFs.why().empty()) GTEST_SKIP() << fullFs.why();
    dir.write("full/d.xml", kEarlierDiff);
    // Fill every free block.
    const int filler = ::open((full + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(filler, 0);
    const std::string block(4096, 'x');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(filler);
    ExpectWriteFails(full + "/d.xml", "write failed: No space left on device");
    EXPECT_EQ(ReadFile(full + "/d.xml"), kEarlierDiff);
    EXPECT_EQ(Listing(full), (std::set<std::string>{"d.xml", "filler"}));
}

// A host killed while it writes the diff leaves no file behind: caught with
// the file it writes open, then killed. Then a whole run writes the diff in
// place.
TEST(WriteKill, AHostKilledWhileWritingLeavesNothing) {
    TempDir dir;
    std::string xml = "<P Name=\"p\">\n";
    for (int c = 0; c < 40000; ++c)
        xml += "  <C Uuid=\"c" + std::to_string(c) + "\" Name=\"n\"><A Uuid=\"a\" Name=\"a\" Type=\"int\"/></C>\n";
    const std::string newDoc = dir.write("new.xml", xml + "</P>\n");
    const std::string diff = dir.file("d.xml");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(QORMD_HOST_PATH, QORMD_HOST_PATH, "-New", newDoc.c_str(), "-Diff", diff.c_str(), nullptr);
        ::_exit(127);
    }
    // The moment an open file of the child is in the folder and is not its input.
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    bool writing = false;
    while (!writing && ::waitpid(pid, nullptr, WNOHANG) == 0) {
        std::error_code ignored;
        for (const auto& fd : std::filesystem::directory_iterator(fds, ignored)) {
            const std::string target = std::filesystem::read_symlink(fd.path(), ignored).string();
            writing = writing || (target.rfind(dir.path() + "/", 0) == 0 && target != newDoc);
        }
    }
    ASSERT_TRUE(writing) << "the host ended before it wrote";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"new.xml"});

    EXPECT_EQ(RunHost({"-New", newDoc, "-Diff", diff}).exitStatus, 0);
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "new.xml"}));
}

// A diff written over a file keeps that file's permission bits and group (a
// private diff stays private); a hard link to the old file keeps the old
// bytes; a new file gets what the umask leaves of 0666.
TEST(Replacement, AReplacedFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    TempDir dir;
    dir.write("good.xml", kGood);
    const gid_t otherGroup = ::geteuid() == 0 ? 65534 : ::getegid();  // nogroup, where we may set it
    for (const mode_t mode : {0600, 0640, 0755}) {
        SCOPED_TRACE(mode);
        const std::string diff = dir.write("d.xml", kEarlierDiff);
        ASSERT_EQ(::chmod(diff.c_str(), mode), 0);
        ASSERT_EQ(::chown(diff.c_str(), static_cast<uid_t>(-1), otherGroup), 0);
        ASSERT_EQ(::link(diff.c_str(), dir.file("link.xml").c_str()), 0);
        ASSERT_EQ(RunHost({"-New", "good.xml", "-Diff", "d.xml"}, {dir.path()}).exitStatus, 0);
        struct stat info {};
        ASSERT_EQ(::stat(diff.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(info.st_gid, otherGroup);
        EXPECT_THAT(ReadFile(diff), HasSubstr("<Added>"));
        EXPECT_EQ(ReadFile(dir.file("link.xml")), kEarlierDiff);
        ::unlink(dir.file("link.xml").c_str());
        ::unlink(diff.c_str());
    }
    for (const mode_t umask : {022, 027, 077}) {
        SCOPED_TRACE(umask);
        const HostRun run = RunInChild([&] {
            ::umask(umask);
            return ProcessFiles("", dir.file("good.xml"), dir.file("new-diff.xml")) < 0;
        });
        ASSERT_EQ(run.exitStatus, 0);
        struct stat info {};
        ASSERT_EQ(::stat(dir.file("new-diff.xml").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0666 & ~umask);
        ::unlink(dir.file("new-diff.xml").c_str());
    }
}

// Staging leaves the target as it was, beside a temporary file that placing
// renames over it; when the folder cannot be synced after that rename, the
// error says the file was replaced but may not be durable.
TEST(Replacement, StagingThenPlacingAndAFolderThatCannotBeSynced) {
    TempDir dir;
    const std::string target = dir.write("out.xml", "old bytes");
    const HostRun run = RunInChild([&] {
        QORMUAtomicFileTarget file(target);
        const std::string bytes = "new bytes";
        file.writeChars(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), nullptr);
        if (!file.Stage() || ReadFile(target) != "old bytes" || Listing(dir.path()).size() != 2) return 1;
        // From here on every fsync fails with EIO.
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            return 2;
        if (file.Place()) return 3;
        std::printf("%s", file.Error().c_str());
        return 0;
    });
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "the file was replaced but may not be durable: cannot sync its folder to disk: Input/output error");
    EXPECT_EQ(ReadFile(target), "new bytes");
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{"out.xml"});
}

bool SaysMemoryRanOut(const std::string& text) {
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

TEST_F(MemoryRunsOut, AProgramHostGoesOnAndItsNextRunWorks) {
    const ZULUnicodeString oldName(dir.file("old.xml").c_str()), newName(dir.file("new.xml").c_str());
    const ZULUnicodeString diffName(dir.file("d.xml").c_str());
    Ladder([&](std::size_t limit) {
        const HostRun run = RunInChild(
            [&] {
                const std::int32_t status = cQORMDApi::Process(oldName, newName, diffName, 0);
                if (status < 0) {
                    std::printf("%s\n",
                                cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr)).c_str());
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

}  // namespace
