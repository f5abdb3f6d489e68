// SPDX-License-Identifier: Apache-2.0
// Runs on a bad condition that only POSIX systems can set up (not built for
// Windows, see WineExclusions.cmake): a FIFO, a file without read
// permission, a DOCTYPE watched for reads and fetches, devices, links and
// file systems that are read-only or full as diff paths, a host killed while
// it writes, replaced files' permission bits under any umask, a folder that
// cannot be synced, memory running out in a program host.
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

#include "HostileInput.h"
#include "QORMDMetaDiffApi.h"
#include "QORMetaUtil/QORMUAtomicFileTarget.h"

namespace {

// A FIFO without a writer reads as empty instead of blocking the run.
TEST_F(Hostile, AFifoWithoutAWriterIsAnEmptyFile) {
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

// Refusing a DOCTYPE reads and fetches nothing.
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

    for (const auto& [name, content] : DoctypeDocuments(secret, url))
        ExpectRefusedBothWays(name, content, kDoctypeRefused);

    char event[4096];
    EXPECT_LT(::read(watch, event, sizeof event), 0) << "the entity's file was opened";
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "the DTD was fetched";
    ::close(watch);
    ::close(listener);
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

// A diff file that cannot be written: a device as the path (left alone, a
// link to the device followed and refused the same way), a read-only folder,
// a full file system (the earlier diff left as it was, no temporary file
// beside it).
TEST_F(Hostile, DiffFilesOnDevicesAndFileSystemsThatCannotBeWritten) {
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
    EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"d.xml", "good.xml", "link.xml"}));

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
