// The safe writer: a failed save leaves the old file byte for byte and no stray
// temporary file; permissions and symbolic links survive a successful one.
#include "SafeWriteFixture.h"

#include "OtherUser.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SafeWrite.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

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

TEST_F(SafeWriteTest, APathThatNamesAFolderIsRefused)
{
    for (const std::string& path : {folder_ + "/", folder_ + "/.", folder_ + "/.."}) {
        try {
            SafeWriteFile(path, "x");
            ADD_FAILURE() << "no error for " << path;
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". " + std::strerror(EISDIR));
        }
    }
    EXPECT_TRUE(Entries().empty());
}

// A folder where the user may not create files, holding a file the user may write: the
// file is written in place, and keeps its inode, its hard links and its mode. A producer
// that fails leaves it as it was, since the text is made before the file is touched.
TEST_F(SafeWriteTest, WritableFileInAReadOnlyFolderIsWrittenInPlace)
{
    const std::string path = Path("kept.txt");
    const std::string link = Path("other-name.txt");
    Write(path, "old\r\nbytes, longer than the new ones");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
    const ino_t inode = Inode(path);
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    const int result = QvTest::RunUnprivileged([&path]() -> int {
        try {
            SafeWriteFile(path, [](const TSafeWriteSink& sink) {
                sink("partial", 7);
                throw EAbort("stop");
            });
            return 1;
        } catch (const EAbort&) {
        }
        if (Read(path) != "old\r\nbytes, longer than the new ones")
            return 2;
        try {
            SafeWriteFile(path, "new");
        } catch (...) {
            return 3;
        }
        return 0;
    });
    ASSERT_EQ(result, 0) << "1: no abort, 2: touched by the failed producer, 3: refused";
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Read(link), "new");
    EXPECT_EQ(Inode(path), inode);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u);
    EXPECT_EQ(Entries().size(), 2u);
}

// Neither a temporary file nor the file itself may be written: refused, file kept.
TEST_F(SafeWriteTest, ReadOnlyFileInAReadOnlyFolderIsRefusedAndKept)
{
    const std::string path = Path("kept.txt");
    Write(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    const int result = QvTest::RunUnprivileged([&path]() -> int {
        try {
            SafeWriteFile(path, "new");
            return 1;
        } catch (const EFCreateError& e) {
            return e.Message().find(path) != std::string::npos ? 0 : 2;
        }
    });
    EXPECT_EQ(result, 0) << "1: written, 2: the message does not name the file";
    EXPECT_EQ(Read(path), "old");
}

// Where the folder allows it the file is replaced whole, which protects the old bytes
// until the new ones are safe: another hard link to the old file keeps the old bytes.
TEST_F(SafeWriteTest, ReplacingAHardLinkedFileLeavesTheOtherNameWithTheOldBytes)
{
    const std::string path = Path("saved.txt");
    const std::string link = Path("other-name.txt");
    Write(path, "old");
    ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
    SafeWriteFile(path, "new");
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Read(link), "old");
}

// A file the user may not write is refused, although the folder would allow the
// rename.
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
    const int result = QvTest::RunUnprivileged(attempt);
    EXPECT_EQ(result, 0) << "1: written, 2: another message, 3: another error, 100: no user change";
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

// Names up to the longest a folder allows are saved, new or replaced, and a failed save
// of one leaves nothing behind.
TEST_F(SafeWriteTest, TheLongestFileNamesAreSaved)
{
    const long longest = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 20);
    const std::string name = std::string(static_cast<std::size_t>(longest) - 4, 'n') + ".php";
    const std::string path = Path(name);
    SafeWriteFile(path, "first");
    EXPECT_EQ(Read(path), "first");
    SafeWriteFile(path, "second");
    EXPECT_EQ(Read(path), "second");
    EXPECT_THROW(SafeWriteFile(path,
                               [](const TSafeWriteSink& sink) {
                                   sink("partial", 7);
                                   throw EAbort("stop");
                               }),
                 EAbort);
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(Entries(), std::vector<std::string>{name});
}

// A save onto a named pipe (or a device) is refused and the special file stays: a rename
// would have put a regular file in its place.
TEST_F(SafeWriteTest, ANamedPipeIsRefusedAndStaysAPipe)
{
    const std::string pipe = Path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    try {
        SafeWriteFile(pipe, "text");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + pipe + "\". It is not a regular file");
    }
    EXPECT_TRUE(S_ISFIFO(Status(pipe).st_mode));
    EXPECT_EQ(Entries(), std::vector<std::string>{"pipe"});
}
