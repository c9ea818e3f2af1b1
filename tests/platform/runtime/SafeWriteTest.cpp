// The safe writer: a failed save leaves the old file byte for byte and no stray
// temporary file; permissions and symbolic links survive a successful one.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SafeWrite.h"

namespace {

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "safewrite_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        ::chmod(folder_.c_str(), 0755);
        for (const std::string& name : Entries())
            ::unlink((folder_ + "/" + name).c_str());
        ::rmdir(folder_.c_str());
    }

    std::string Path(const std::string& Name) const { return folder_ + "/" + Name; }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(folder_.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    names.push_back(name);
            }
            ::closedir(dir);
        }
        return names;
    }

    static std::string Read(const std::string& Path)
    {
        std::ifstream in(Path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static void Write(const std::string& Path, const std::string& Bytes)
    {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }

    std::string folder_;
};

}  // namespace

TEST_F(SafeWriteTest, ReplacesContentAndKeepsPermissionBits)
{
    const std::string path = Path("file.txt");
    Write(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    SafeWriteFile(path, std::string("new\0bytes", 9));
    EXPECT_EQ(Read(path), std::string("new\0bytes", 9));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"file.txt"});

    // A new file gets the usual permissions of a created file.
    const std::string fresh = Path("fresh.txt");
    const mode_t mask = ::umask(022);
    SafeWriteFile(fresh, "");
    ::umask(mask);
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_EQ(info.st_size, 0);
}

TEST_F(SafeWriteTest, MissingFolderRaisesNamingTheFile)
{
    const std::string path = Path("missing/file.txt");
    try {
        SafeWriteFile(path, "x");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". " + std::strerror(ENOENT));
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SafeWriteTest, ReadOnlyFolderLeavesTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop the super-user";
    const std::string path = Path("kept.txt");
    Write(path, "old\r\nbytes");
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    try {
        SafeWriteFile(path, "new");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find(path), std::string::npos);
    }
    EXPECT_EQ(Read(path), "old\r\nbytes");
    EXPECT_EQ(Entries(), std::vector<std::string>{"kept.txt"});
}

// A file the user may not write is refused, although the folder would allow the
// rename. The super-user runs the write as an unprivileged user in a child process.
TEST_F(SafeWriteTest, ReadOnlyFileIsRefusedAndKept)
{
    const std::string path = Path("readonly.txt");
    Write(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    const auto attempt = [&path]() -> int {
        try {
            SafeWriteFile(path, "new");
            return 1;
        } catch (const EFCreateError& e) {
            return e.Message() == "Cannot create file \"" + path + "\". " + std::strerror(EACCES) ? 0 : 2;
        } catch (...) {
            return 3;
        }
    };
    int result = 0;
    if (::geteuid() != 0) {
        result = attempt();
    } else {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(4);
            ::_exit(attempt());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        result = WEXITSTATUS(status);
    }
    EXPECT_EQ(result, 0) << "1: written, 2: another message, 3: another error, 4: no user change";
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"readonly.txt"});
}

TEST_F(SafeWriteTest, WriteFailureMidwayLeavesTheOldFileAndNoTemporary)
{
    const std::string path = Path("big.txt");
    const std::string old(64, 'o');
    Write(path, old);

    // The file size limit makes the kernel refuse writes past 16 bytes (EFBIG); it
    // stops the super-user too.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        SafeWriteFile(path, std::string(1000, 'n'));
    } catch (const EWriteError& e) {
        message = e.Message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(message, "Cannot write file \"" + path + "\". " + std::strerror(EFBIG));
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(Entries(), std::vector<std::string>{"big.txt"});
}

TEST_F(SafeWriteTest, ProducerFailureAbortsTheWrite)
{
    const std::string path = Path("chunks.txt");
    Write(path, "old");
    EXPECT_THROW(SafeWriteFile(path,
                               [](const TSafeWriteSink& sink) {
                                   sink("partial", 7);
                                   throw EAbort("stop");
                               }),
                 EAbort);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"chunks.txt"});

    SafeWriteFile(path, [](const TSafeWriteSink& sink) {
        sink("one,", 4);
        sink("two", 3);
    });
    EXPECT_EQ(Read(path), "one,two");
}

TEST_F(SafeWriteTest, SymbolicLinkStaysALinkAndItsTargetChanges)
{
    const std::string target = Path("target.txt");
    const std::string link = Path("link.txt");
    Write(target, "old");
    ASSERT_EQ(::symlink("target.txt", link.c_str()), 0);  // relative to the link's folder
    SafeWriteFile(link, "new");
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Read(target), "new");
}
