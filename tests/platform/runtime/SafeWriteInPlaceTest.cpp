// Saving in place, in a folder where the user may not create files: on a full disk the
// space for the new text is taken before any old byte is overwritten, so the file stays
// whole, also where the file system cannot take space ahead; a file damaged after all is
// reported as damaged. Runs on a small file system of its own, as "nobody" (the
// super-user may create files anywhere), with failures of the disk played by the kernel's
// system call filter in the child that saves.
#include "OtherUser.h"
#include "SmallFileSystem.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SafeWrite.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>

namespace {

std::string Read(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// From now on the system call Number fails with Error in this process, as a failing
// disk or a file system without it would answer.
bool FailSystemCall(long Number, int Error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(Number), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(Error)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// What saving Text to Path as "nobody" raised, "" when it succeeded. Prepare runs in the
// child first.
std::string SaveAsNobody(const std::string& Path, const std::string& Text,
                         const std::function<bool()>& Prepare = [] { return true; })
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const int result = QvTest::RunAsNobody([&]() -> int {
        ::close(pipe[0]);
        if (!Prepare())
            return 2;
        std::string message;
        try {
            SafeWriteFile(Path, Text);
        } catch (const Exception& e) {
            message = e.Message();
        }
        return ::write(pipe[1], message.data(), message.size()) == static_cast<ssize_t>(message.size()) ? 0 : 3;
    });
    ::close(pipe[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    return result == 0 ? message : "the child failed: " + std::to_string(result);
}

class SafeWriteInPlaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!disk_.Mounted())
            GTEST_SKIP() << disk_.Why();
        ASSERT_EQ(::mkdir(folder_.c_str(), 0777), 0);
        std::ofstream(path_, std::ios::binary) << old_;
        ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);  // no new file here: saved in place
    }

    std::string NoRoom() const { return "Cannot write file \"" + path_ + "\". " + std::strerror(ENOSPC); }

    QvTest::TSmallFileSystem disk_{512 * 1024};
    const std::string folder_ = disk_.Path("locked");
    const std::string path_ = folder_ + "/page.php";
    const std::string old_ = std::string(20006, 'o');
    const std::string new_ = std::string(100000, 'n');
};

TEST_F(SafeWriteInPlaceTest, AFullDiskFailsBeforeTheFileIsTouched)
{
    ASSERT_TRUE(disk_.Fill(8192));
    EXPECT_EQ(SaveAsNobody(path_, new_), NoRoom());
    EXPECT_TRUE(Read(path_) == old_) << "the old text was overwritten";

    // Without a way to take space ahead, the text's new tail is written first, and goes
    // again when the disk is full.
    EXPECT_EQ(SaveAsNobody(path_, new_, [] { return FailSystemCall(SYS_fallocate, EOPNOTSUPP); }), NoRoom());
    EXPECT_TRUE(Read(path_) == old_) << "the old text was overwritten";

    // With room enough the same saves succeed.
    ASSERT_EQ(::unlink(disk_.Path("filler").c_str()), 0);
    const std::string other(90000, 'm');
    EXPECT_EQ(SaveAsNobody(path_, other, [] { return FailSystemCall(SYS_fallocate, EOPNOTSUPP); }), "");
    EXPECT_TRUE(Read(path_) == other) << "the new text was not saved";
    EXPECT_EQ(SaveAsNobody(path_, new_), "");
    EXPECT_TRUE(Read(path_) == new_) << "the new text was not saved";
}

// The disk fails after a shorter text was written over the old one, before the file was
// cut to the new length: the file holds new text and the old one's tail, and the message
// says it is damaged.
TEST_F(SafeWriteInPlaceTest, AFileDamagedPartWayIsReportedAsDamaged)
{
    const std::string shorter(10000, 'n');
    const std::string message = SaveAsNobody(path_, shorter, [] { return FailSystemCall(SYS_ftruncate, EIO); });
    const std::string failed = "Cannot write file \"" + path_ + "\". " + std::strerror(EIO);
    EXPECT_EQ(message.rfind(failed, 0), 0u) << message;
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    EXPECT_TRUE(Read(path_) == shorter + old_.substr(shorter.size())) << "not the damage expected";
}

}  // namespace
