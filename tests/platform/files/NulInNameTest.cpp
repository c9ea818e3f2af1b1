// A file name holding a NUL byte reaches a system call cut short at that byte, so that
// "victim.txt\0.php" would stand for victim.txt: every call that takes a name refuses
// such a name, naming it with the NUL shown, and leaves the file it would have reached.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/files/IniFiles.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

TEST(NulInNameTest, EveryCallThatTakesANameRefusesOneHoldingANul)
{
    const std::string victim = ::testing::TempDir() + "nul_victim.txt";
    std::ofstream(victim, std::ios::binary) << "[S]\nK=victim\n";
    const std::string name = victim + std::string("\0.php", 5);
    TIniFile ini(name);
    const std::pair<std::string, std::function<void()>> calls[] = {
        {"open", [&] { TFileStream(name, fmOpenReadWrite); }},
        {"create", [&] { TFileStream(name, fmCreate); }},
        {"open", [&] { ReadFileBytes(name); }},
        {"create", [&] { SafeWriteFile(name, "saved"); }},
        {"open", [&] { ini.ReadString("S", "K", ""); }},
        {"open", [&] { ini.WriteString("S", "K", "written"); }},
    };
    for (const auto& [verb, call] : calls) {
        std::string message = "<none>";
        try {
            call();
        } catch (const EStreamError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message.rfind("Cannot " + verb + " file \"" + victim + "\\0.php\". Its name holds a NUL byte", 0),
                  0u) << message;
    }
    EXPECT_FALSE(FileExists(name));
    EXPECT_FALSE(DeleteFile(name));
    std::ifstream kept(victim, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "[S]\nK=victim\n");
    std::remove(victim.c_str());
}
