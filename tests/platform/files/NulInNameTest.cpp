// A file name holding a NUL byte reaches a system call cut short at that byte, so that
// "victim.txt\0.php" would stand for victim.txt: every call that takes a name refuses
// such a name, naming it with the NUL shown, and leaves the file it would have reached
// alone.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/files/IniFiles.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// What Call raised, "" when it raised nothing.
template <class Error, class Call>
std::string Raised(Call&& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.Message();
    }
    return "";
}

TEST(NulInNameTest, EveryCallThatTakesANameRefusesOneHoldingANul)
{
    const std::string victim = ::testing::TempDir() + "nul_victim.txt";
    std::ofstream(victim, std::ios::binary) << "[S]\nK=victim\n";
    const std::string name = victim + std::string("\0.php", 5);
    const std::string shown = "\"" + victim + "\\0.php\". Its name holds a NUL byte (shown as \\0)";

    EXPECT_EQ(Raised<EFOpenError>([&] { TFileStream(name, fmOpenRead); }).rfind("Cannot open file " + shown, 0), 0u);
    EXPECT_EQ(Raised<EFOpenError>([&] { TFileStream(name, fmOpenReadWrite); }).rfind("Cannot open file " + shown, 0),
              0u);
    EXPECT_EQ(Raised<EFCreateError>([&] { TFileStream(name, fmCreate); }).rfind("Cannot create file " + shown, 0), 0u);
    EXPECT_EQ(Raised<EFOpenError>([&] { ReadFileBytes(name); }).rfind("Cannot open file " + shown, 0), 0u);
    EXPECT_EQ(Raised<EFCreateError>([&] { SafeWriteFile(name, "saved"); }).rfind("Cannot create file " + shown, 0),
              0u);

    TIniFile ini(name);
    EXPECT_EQ(Raised<EFOpenError>([&] { ini.ReadString("S", "K", ""); }).rfind("Cannot open file " + shown, 0), 0u);
    EXPECT_THROW(ini.WriteString("S", "K", "written"), Exception);

    EXPECT_FALSE(FileExists(name));
    EXPECT_FALSE(DeleteFile(name));
    std::ifstream kept(victim, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "[S]\nK=victim\n");
    std::remove(victim.c_str());
}

}  // namespace
