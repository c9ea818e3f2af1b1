// The safe writer when a system call fails at one point of a save, or another user swaps
// the name between the check and the open: the file is left as it was (or the message
// says what it holds), the message names the file and the reason, and nothing that the
// writer did not make is removed. The calls fail through the file code's call table.
#include "SafeWriteFixture.h"
#include "TroubledWrites.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FileCalls.h"
#include "platform/runtime/SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>

namespace {

bool Creates(int Flags)
{
    return (Flags & O_CREAT) != 0;
}

// What saving Text to Path raised, "" when it succeeded.
std::string SaveMessage(const std::string& Path, const std::string& Text)
{
    try {
        SafeWriteFile(Path, Text);
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

// Makes the save write in place, as in a folder where the user may not create files:
// the temporary file cannot be made. Before refusing, Meanwhile runs once, as another
// user would act between the check of the file and its opening.
void RefuseTemporaryFiles(TFileCalls& Calls, std::function<void()> Meanwhile = {})
{
    const auto real = Calls.OpenAt;
    Calls.OpenAt = [real, Meanwhile](int Folder, const char* Name, int Flags, mode_t Mode) mutable {
        if (!Creates(Flags))
            return real(Folder, Name, Flags, Mode);
        if (Meanwhile)
            std::exchange(Meanwhile, {})();
        errno = EACCES;
        return -1;
    };
}

}  // namespace

// Only "no such file" makes a new file: a file whose status cannot be read keeps its
// bytes, inode, owner and mode, and the message says why.
TEST_F(SafeWriteTest, AStatusThatCannotBeReadFailsTheSaveAndKeepsTheFile)
{
    const std::string path = Path("notes.php");
    Write(path, "old text");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const struct stat before = Status(path);
    for (const int error : {EIO, EACCES, ENOMEM, EOVERFLOW}) {
        TFileCallsOverride override;
        const auto real = override.Calls().FStatAt;
        override.Calls().FStatAt = [real, error](int Folder, const char* Name, struct stat* Info, int Flags) {
            if (std::strcmp(Name, "notes.php") == 0 && Flags == 0) {
                errno = error;
                return -1;
            }
            return real(Folder, Name, Info, Flags);
        };
        const std::string message = SaveMessage(path, "new text");
        EXPECT_EQ(message, "Cannot create file \"" + path + "\". " + std::strerror(error) +
                               ". Its status could not be read; the file was left as it was.");
    }
    EXPECT_EQ(Read(path), "old text");
    const struct stat after = Status(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(Entries(), std::vector<std::string>{"notes.php"});
}

// The super-user's save of another user's file fails when the new file cannot be given
// that user: it would otherwise become the super-user's, readable by others.
TEST_F(SafeWriteTest, AnOwnerThatCannotBeGivenBackFailsTheSave)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the super-user, to give the file to another user";
    const std::string path = Path("theirs.txt");
    Write(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    {
        TFileCallsOverride override;
        override.Calls().FChown = [](int, uid_t, gid_t) {
            errno = EIO;
            return -1;
        };
        EXPECT_EQ(SaveMessage(path, "new"), "Cannot create file \"" + path + "\". " + std::strerror(EIO) +
                                                ": the new file could not be given the old one's owner and "
                                                "group; the file was left as it was.");
    }
    const struct stat after = Status(path);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"theirs.txt"});
}

// A temporary name the writer could not create belongs to someone else, if to anyone:
// the save in place that follows leaves it alone.
TEST_F(SafeWriteTest, ATemporaryNameNeverCreatedIsNotRemoved)
{
    const std::string path = Path("kept.txt");
    Write(path, "old");
    std::vector<std::string> refused;
    {
        TFileCallsOverride override;
        const auto real = override.Calls().OpenAt;
        override.Calls().OpenAt = [&, real](int Folder, const char* Name, int Flags, mode_t Mode) {
            if (!Creates(Flags))
                return real(Folder, Name, Flags, Mode);
            // Someone else's file appears under the name the moment it is refused.
            refused.push_back(Name);
            Write(Path(refused.back().substr(refused.back().rfind('/') + 1)), "theirs");
            errno = EACCES;
            return -1;
        };
        SafeWriteFile(path, "new");
    }
    EXPECT_EQ(Read(path), "new");
    ASSERT_EQ(refused.size(), 1u);
    const std::string theirs = refused[0].substr(refused[0].rfind('/') + 1);
    EXPECT_EQ(Read(Path(theirs)), "theirs");
}

// In place, a failure after the whole new text is written says so, and what the file
// holds, instead of calling it damaged.
TEST_F(SafeWriteTest, AnInPlaceFailureAfterTheTextIsWrittenSaysWhatTheFileHolds)
{
    const std::string path = Path("page.htm");
    Write(path, "the old text, longer");
    {
        TFileCallsOverride override;
        RefuseTemporaryFiles(override.Calls());
        override.Calls().FTruncate = [](int, off_t) {
            errno = EIO;
            return -1;
        };
        EXPECT_EQ(SaveMessage(path, "new"), "Cannot write file \"" + path + "\". " + std::strerror(EIO) +
                                                ". The file is damaged: it holds the whole new text followed by "
                                                "the last 17 bytes of the old one.");
    }
    EXPECT_EQ(Read(path), "new old text, longer");

    for (const bool atClose : {false, true}) {
        Write(path, "old");
        TFileCallsOverride override;
        RefuseTemporaryFiles(override.Calls());
        const auto realClose = override.Calls().Close;
        const auto fail = [](int) {
            errno = EIO;
            return -1;
        };
        if (atClose)
            override.Calls().Close = [realClose](int Fd) {
                realClose(Fd);
                errno = EIO;
                return -1;
            };
        else
            override.Calls().FSync = fail;
        EXPECT_EQ(SaveMessage(path, "the new text"),
                  "Cannot write file \"" + path + "\". " + std::strerror(EIO) +
                      ". The file holds the whole new text, but it may not be on the disk.")
            << (atClose ? "close" : "fsync");
        EXPECT_EQ(Read(path), "the new text");
    }
    EXPECT_EQ(Entries(), std::vector<std::string>{"page.htm"});
}

// In place, the name is opened again after the checks. Whatever another user put under
// it meanwhile (a link to a private file, a named pipe, another file) is not written,
// the save does not wait, and the message names the file.
TEST_F(SafeWriteTest, AnInPlaceSaveWritesOnlyTheFileItChecked)
{
    const std::string path = Path("notes.php");
    const std::string secret = Path("secret.txt");
    const std::string other = Path("other.php");
    struct TSwap {
        const char* What;
        std::function<void()> Do;
        const char* Said;
    };
    const TSwap swaps[] = {
        {"a link", [&] { ::unlink(path.c_str()); ::symlink(secret.c_str(), path.c_str()); },
         "It was replaced by a symbolic link"},
        {"a pipe", [&] { ::unlink(path.c_str()); ::mkfifo(path.c_str(), 0666); },
         "It was replaced by something that is not a regular file"},
        {"another file", [&] { ::rename(other.c_str(), path.c_str()); },
         "It was replaced by another file"},
    };
    for (const TSwap& swap : swaps) {
        ::unlink(path.c_str());
        Write(path, "old");
        Write(secret, "private");
        Write(other, "other");
        ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
        TFileCallsOverride override;
        RefuseTemporaryFiles(override.Calls(), swap.Do);
        // A save that blocked in the open would never end: it runs aside, waited for
        // a bounded time.
        auto saved = std::async(std::launch::async, [&] { return SaveMessage(path, "editor text"); });
        if (saved.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // A reader lets a save blocked on a pipe go on, so that the test can end.
            const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
            saved.wait();
            ::close(reader);
            ADD_FAILURE() << "the save waited on " << swap.What;
        }
        EXPECT_EQ(saved.get(), "Cannot write file \"" + path + "\". " + swap.Said +
                                   " after it was checked; nothing was written.")
            << swap.What;
        EXPECT_EQ(Read(secret), "private") << swap.What;
        if (std::string(swap.What) == "another file") {
            EXPECT_EQ(Read(path), "other");
        }
    }
}

// A file whose path is as long as the system allows, with a short name, is saved: the
// temporary file is made relative to the open folder, so its longer name never makes a
// path too long.
TEST_F(SafeWriteTest, AFileWithTheLongestPathIsSaved)
{
    constexpr std::size_t pathLength = 4086;
    const std::string name = "a.php";
    const std::size_t folderLength = pathLength - 1 - name.size();
    std::string folder = folder_;
    while (folder.size() < folderLength) {
        const std::size_t step = std::min<std::size_t>(200, folderLength - folder.size() - 1);
        folder += "/" + std::string(step, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << std::strerror(errno);
    }
    const std::string path = folder + "/" + name;
    ASSERT_EQ(path.size(), pathLength);
    Write(path, "old");
    ASSERT_EQ(Read(path), "old");
    EXPECT_EQ(SaveMessage(path, "new"), "");
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(SaveMessage(folder + "/b.php", "fresh"), "");
    EXPECT_EQ(Read(folder + "/b.php"), "fresh");
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"a.php", "b.php"}));
}

namespace {

// Three chunks of 100,000 bytes each, told apart.
const std::string Chunks[] = {std::string(100000, 'a'), std::string(100000, 'b'), std::string(100000, 'c')};

std::string SaveChunksMessage(const std::string& Path)
{
    try {
        SafeWriteFile(Path, [](const TSafeWriteSink& sink) {
            for (const std::string& chunk : Chunks)
                sink(chunk.data(), chunk.size());
        });
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

}  // namespace

// A write the system cuts short or interrupts goes on where it stopped, replacing the file
// or in place: the file holds every byte once.
TEST_F(SafeWriteTest, WritesCutShortOrInterruptedGoOnWhereTheyStopped)
{
    const std::string path = Path("long.php");
    for (const bool inPlace : {false, true}) {
        Write(path, "old");
        TFileCallsOverride override;
        if (inPlace)
            RefuseTemporaryFiles(override.Calls());
        const auto calls = QvTest::CutAndInterruptWrites(override.Calls(), 7000);
        EXPECT_EQ(SaveChunksMessage(path), "") << (inPlace ? "in place" : "replaced");
        EXPECT_EQ(Read(path), Chunks[0] + Chunks[1] + Chunks[2]) << (inPlace ? "in place" : "replaced");
        EXPECT_GT(*calls, 40);
    }
    EXPECT_EQ(Entries(), std::vector<std::string>{"long.php"});
}

// A write that fails part way (a full disk, an I/O error, a quota, or a write of nothing
// without a reason, taken for a full disk) fails the save naming the file and the reason:
// the old file stays as it was and no temporary file is left, in place too.
TEST_F(SafeWriteTest, AWriteThatFailsPartWayLeavesTheOldFile)
{
    const std::string path = Path("notes.php");
    Write(path, "old text");
    const ino_t inode = Inode(path);
    for (const bool inPlace : {false, true}) {
        for (const int error : {ENOSPC, EIO, EDQUOT, 0}) {
            TFileCallsOverride override;
            if (inPlace)
                RefuseTemporaryFiles(override.Calls());
            // In place the text is written at once, after its space is taken: its first
            // write fails.
            QvTest::FailWrite(override.Calls(), inPlace ? 1 : 2, error);
            EXPECT_EQ(SaveChunksMessage(path),
                      "Cannot write file \"" + path + "\". " + std::strerror(error == 0 ? ENOSPC : error))
                << (inPlace ? "in place, " : "replaced, ") << error;
            EXPECT_EQ(Read(path), "old text");
            EXPECT_EQ(Inode(path), inode);
            EXPECT_EQ(Entries(), std::vector<std::string>{"notes.php"});
        }
    }
}
