// Who may see and own a saved file: the new text is never readable by anyone who could
// not read the old one, owner and group stay, and a symbolic link planted by another
// user in a shared folder is not followed. Most of this needs the super-user (to own
// files of others and to run a probe as "nobody"); elsewhere it is skipped.
#include "SafeWriteFixture.h"

#include "OtherUser.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>

namespace {

using QvTest::NobodyGroup;
using QvTest::NobodyUser;

// A group "nobody" is not a member of.
gid_t StaffGroup()
{
    const group* staff = ::getgrnam("staff");
    return staff != nullptr ? staff->gr_gid : 50;
}

#define REQUIRE_SUPERUSER()                                                         \
    if (::geteuid() != 0)                                                           \
    GTEST_SKIP() << "needs the super-user, to give files to others and run as nobody"

// While the new text is written (before its first byte and after part of it), the
// temporary file already has the old file's owner, group and mode: "nobody", who may not
// read the old file, cannot open the new one either.
TEST_F(SafeWriteTest, TheNewTextIsNeverReadableByOthersWhileItIsWritten)
{
    REQUIRE_SUPERUSER();
    const std::string path = Path("secret.php");
    Write(path, "old secret");
    ASSERT_EQ(::chown(path.c_str(), 0, StaffGroup()), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);

    std::vector<std::string> seen;
    const auto inspect = [&](const char* when) {
        std::vector<std::string> names = Entries();
        std::erase(names, "secret.php");
        ASSERT_EQ(names.size(), 1u) << when;
        const std::string temporary = Path(names[0]);
        const struct stat info = Status(temporary);
        EXPECT_EQ(info.st_mode & 07777, 0640u) << when;
        EXPECT_EQ(info.st_uid, 0u) << when;
        EXPECT_EQ(info.st_gid, StaffGroup()) << when;
        const int probe = QvTest::RunAsNobody([&temporary] {
            const int fd = ::open(temporary.c_str(), O_RDONLY);
            return fd < 0 && errno == EACCES ? 0 : 1;
        });
        EXPECT_EQ(probe, 0) << when << ": 1: nobody opened the new text, 100: no user change";
        seen.push_back(when);
    };
    SafeWriteFile(path, [&](const TSafeWriteSink& sink) {
        inspect("before the first byte");
        sink("new ", 4);
        inspect("part way");
        sink("secret", 6);
    });
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(Read(path), "new secret");
    EXPECT_EQ(Entries(), std::vector<std::string>{"secret.php"});
}

// The super-user keeps owner and group, and set-id bits, which changing the owner clears.
// A user who may not give the file its group gives it none of the old group's access.
TEST_F(SafeWriteTest, OwnerGroupAndModeStay)
{
    REQUIRE_SUPERUSER();
    const std::string shared = Path("shared.php");
    Write(shared, "old");
    ASSERT_EQ(::chown(shared.c_str(), NobodyUser, StaffGroup()), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02664), 0);
    SafeWriteFile(shared, "by root");
    struct stat info = Status(shared);
    EXPECT_EQ(Read(shared), "by root");
    EXPECT_EQ(info.st_uid, NobodyUser);
    EXPECT_EQ(info.st_gid, StaffGroup());
    EXPECT_EQ(info.st_mode & 07777, 02664u);

    // "nobody" owns the file but is not in its group: the new file's group is nobody's,
    // and its members get nothing.
    ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    const int result = QvTest::RunAsNobody([&shared] {
        try {
            SafeWriteFile(shared, "by nobody");
            return 0;
        } catch (...) {
            return 1;
        }
    });
    ASSERT_EQ(result, 0) << "1: refused, 100: no user change";
    info = Status(shared);
    EXPECT_EQ(Read(shared), "by nobody");
    EXPECT_EQ(info.st_uid, NobodyUser);
    EXPECT_EQ(info.st_gid, NobodyGroup);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
}

// In a sticky folder anyone may write (like /tmp), a link is followed only when it
// belongs to the saving user or to the folder's owner, as the kernel's own protection
// does: another user's link there may point at the saver's private file.
TEST_F(SafeWriteTest, ALinkAnotherUserPlantedInASharedFolderIsRefused)
{
    REQUIRE_SUPERUSER();
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    const std::string secret = Path("secret.php");
    Write(secret, "root's text");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    const std::string shared = Path("shared");
    ASSERT_EQ(::mkdir(shared.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string planted = shared + "/report.php";
    ASSERT_EQ(::symlink(secret.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), NobodyUser, NobodyGroup), 0);

    try {
        SafeWriteFile(planted, "overwritten");
        ADD_FAILURE() << "the planted link was followed";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot create file \"" + planted + "\". " + std::strerror(EACCES), 0), 0u)
            << e.Message();
    }
    EXPECT_EQ(Read(secret), "root's text");
    struct stat info {};
    ASSERT_EQ(::lstat(planted.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"secret.php", "shared"}));  // no temporary file
    EXPECT_EQ(Entries(shared), std::vector<std::string>{"report.php"});

    // The saver's own link is followed, and so is the folder owner's.
    ASSERT_EQ(::lchown(planted.c_str(), 0, 0), 0);
    SafeWriteFile(planted, "through my link");
    EXPECT_EQ(Read(secret), "through my link");
    ASSERT_EQ(::chown(shared.c_str(), NobodyUser, NobodyGroup), 0);
    ASSERT_EQ(::lchown(planted.c_str(), NobodyUser, NobodyGroup), 0);
    SafeWriteFile(planted, "through the owner's link");
    EXPECT_EQ(Read(secret), "through the owner's link");

    // Outside a sticky folder the rule does not apply.
    ASSERT_EQ(::chown(shared.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    SafeWriteFile(planted, "not shared");
    EXPECT_EQ(Read(secret), "not shared");
}

// A file another user put in a shared folder is not given to him with the new text: it
// becomes the saving user's, its group without access, as it was before owners were kept.
TEST_F(SafeWriteTest, AFileAnotherUserPutInASharedFolderIsNotGivenToHim)
{
    REQUIRE_SUPERUSER();
    ASSERT_EQ(::chmod(folder_.c_str(), 01777), 0);
    const std::string planted = Path("report.php");
    Write(planted, "");
    ASSERT_EQ(::chown(planted.c_str(), NobodyUser, NobodyGroup), 0);
    ASSERT_EQ(::chmod(planted.c_str(), 0660), 0);
    SafeWriteFile(planted, "root's report");
    const struct stat info = Status(planted);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(QvTest::RunAsNobody([&planted] { return ::open(planted.c_str(), O_RDONLY) < 0 ? 0 : 1; }), 0)
        << "1: nobody reads the new text, 100: no user change";

    // The folder owner's file is his to keep.
    ASSERT_EQ(::chown(folder_.c_str(), NobodyUser, NobodyGroup), 0);
    ASSERT_EQ(::chown(planted.c_str(), NobodyUser, NobodyGroup), 0);
    SafeWriteFile(planted, "for the folder's owner");
    EXPECT_EQ(Status(planted).st_uid, NobodyUser);
    ASSERT_EQ(::chown(folder_.c_str(), 0, 0), 0);
}

}  // namespace
