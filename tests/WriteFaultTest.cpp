// Faults while the diff file is written, through the real host: a missing
// folder, a read-only one, a full file system, a folder or a device as the
// diff path. Each run exits 1 with the file writer's message, leaves no
// temporary file and keeps an earlier diff file of the same name intact.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "QORMDTestSupport.h"

namespace {

const char kEarlierDiff[] = "<Diff>an earlier run's diff</Diff>\n";

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
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

class WriteFault : public ::testing::Test {
protected:
    void SetUp() override {
        newDoc = dir.write("new.xml", R"(<P Name="pkg"><C Uuid="c1" Name="one"><A Uuid="a1" Name="id"/></C></P>)");
    }

    // Runs new.xml against nothing into diffPath; the run must fail with
    // status 1 and first print the writer's message for diffPath with reason.
    void ExpectWriteFails(const std::string& diffPath, const std::string& reason) {
        const HostRun run = RunHost({"-New", newDoc, "-Diff", diffPath});
        EXPECT_EQ(run.exitStatus, 1);
        const std::string message =
            "Error GDXMLWriteError_1: The XML file \"" + diffPath + "\" could not be written: " + reason + "\n";
        EXPECT_EQ(run.err.substr(0, message.size()), message) << run.err;
    }

    TempDir dir;
    std::string newDoc;
};

TEST_F(WriteFault, AFolderThatIsMissingOrReadOnly) {
    ExpectWriteFails(dir.file("missing/d.xml"), "cannot create a file in folder " + dir.file("missing") +
                                                    ": No such file or directory");
    EXPECT_FALSE(FileExists(dir.file("missing")));

    const std::string folder = dir.file("out");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    SmallFileSystem tmpfs(folder, "1m");
    std::string reason = "cannot create a file in folder " + folder + ": Read-only file system";
    if (tmpfs.why().empty()) {
        dir.write("out/d.xml", kEarlierDiff);
        ASSERT_TRUE(tmpfs.MakeReadOnly());
    } else if (::geteuid() != 0) {
        dir.write("out/d.xml", kEarlierDiff);
        ::chmod(folder.c_str(), 0500);  // permission bits bind everyone but root
        reason = "cannot create a file in folder " + folder + ": Permission denied";
    } else {
        GTEST_SKIP() << "root ignores permission bits, and " << tmpfs.why();
    }
    ExpectWriteFails(folder + "/d.xml", reason);
    EXPECT_EQ(ReadFile(folder + "/d.xml"), kEarlierDiff);
    EXPECT_EQ(Entries(folder), std::set<std::string>{"d.xml"});
}

TEST_F(WriteFault, AFullFileSystem) {
    const std::string folder = dir.file("out");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    SmallFileSystem tmpfs(folder, "64k");
    if (!tmpfs.why().empty()) GTEST_SKIP() << tmpfs.why();
    dir.write("out/d.xml", kEarlierDiff);
    // Fill every free block.
    const int filler = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(filler, 0);
    const std::string block(4096, 'x');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(filler);

    ExpectWriteFails(folder + "/d.xml", "write failed: No space left on device");
    EXPECT_EQ(ReadFile(folder + "/d.xml"), kEarlierDiff);
    EXPECT_EQ(Entries(folder), (std::set<std::string>{"d.xml", "filler"}));
}

TEST_F(WriteFault, AFolderOrADeviceAsTheDiffPathIsRefusedAndLeftAlone) {
    ASSERT_EQ(::mkdir(dir.file("d.xml").c_str(), 0700), 0);
    ExpectWriteFails(dir.file("d.xml"), "it is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("d.xml")));

    struct stat before {};
    ASSERT_EQ(::stat("/dev/full", &before), 0);
    ExpectWriteFails("/dev/full", "it exists and is not a regular file");
    // A link to the device is followed, and the device refused the same way.
    ASSERT_EQ(::symlink("/dev/full", dir.file("link.xml").c_str()), 0);
    ExpectWriteFails(dir.file("link.xml"), "it exists and is not a regular file");
    struct stat after {};
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.xml")));
    for (const std::string& name : Entries("/dev")) EXPECT_EQ(name.rfind(".full.tmp", 0), std::string::npos);
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"d.xml", "link.xml", "new.xml"}));
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
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"new.xml"});

    EXPECT_EQ(RunHost({"-New", newDoc, "-Diff", diff}).exitStatus, 0);
    EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"d.xml", "new.xml"}));
}

}  // namespace
