// The registry stand-in: paths, case, typed values, persistence and a file that
// keeps whatever bytes the names and values hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files/Registry.h"
#include "platform/runtime/FileCalls.h"

#include <cerrno>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = ::testing::TempDir() + "registry_" + info->name() + ".ini";
        std::remove(path_.c_str());
        SetRegistryFileForTests(path_);
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        SetRegistryFileForTests("");
    }

    static std::vector<std::string> Lines(const TStrings& List)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < List.Count(); ++i)
            lines.push_back(List.Strings(i));
        return lines;
    }

    std::string path_;
};

std::string ErrorOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST_F(RegistryTest, KeyNothingWroteDoesNotExist)
{
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("Software\\Quorvel"));
    EXPECT_FALSE(reg.OpenKey("Software\\Quorvel", false));
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Quorvel"));
    EXPECT_EQ(reg.CurrentPath(), "");
    EXPECT_FALSE(std::ifstream(path_).good());  // looking creates nothing
}

TEST_F(RegistryTest, RelativeAndAbsolutePaths)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Maker", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Maker");
    ASSERT_TRUE(reg.OpenKey("Product\\Colors", true));  // below the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Maker\\Product\\Colors");
    const std::string remembered = reg.CurrentPath();
    ASSERT_TRUE(reg.OpenKey("\\Software", false));  // from the root
    EXPECT_EQ(reg.CurrentPath(), "Software");
    ASSERT_TRUE(reg.OpenKey("\\" + remembered, false));
    EXPECT_EQ(reg.CurrentPath(), remembered);
    // Parents of a created key exist.
    EXPECT_TRUE(reg.KeyExists("\\Software\\Maker\\Product"));
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), "");
    EXPECT_TRUE(reg.KeyExists("Software\\Maker"));
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\MyApp", true));
    reg.WriteInteger("Background", 5);
    reg.WriteInteger("BACKGROUND", 7);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\myapp", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\MyApp");
    EXPECT_EQ(reg.ReadInteger("background"), 7);
    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(Lines(names), std::vector<std::string>{"Background"});
    reg.CreateKey("\\software\\myapp\\Sub");
    reg.CreateKey("\\software\\MYAPP\\sub\\deeper");
    reg.CreateKey("Other");
    reg.GetKeyNames(&names);
    EXPECT_EQ(Lines(names), (std::vector<std::string>{"Sub", "Other"}));
}

TEST_F(RegistryTest, ValuesAreTypedAndMissingOnesReadEmptyOrRaise)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Types", true));
    reg.WriteString("Text", "clRed");
    reg.WriteInteger("Number", -2147483643);
    reg.WriteBool("Flag", true);
    EXPECT_EQ(reg.ReadString("Text"), "clRed");
    EXPECT_EQ(reg.ReadInteger("Number"), -2147483643);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(ErrorOf([&] { reg.ReadString("Number"); }), "Invalid data type for 'Number'");
    EXPECT_EQ(ErrorOf([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_TRUE(reg.ValueExists("text"));
    EXPECT_TRUE(reg.DeleteValue("TEXT"));
    EXPECT_FALSE(reg.ValueExists("Text"));
    EXPECT_FALSE(reg.DeleteValue("Text"));
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites)
{
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("Key", true));
    writer.WriteInteger("v", 1);
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly("Key"));
    EXPECT_EQ(reader.ReadInteger("v"), 1);
    EXPECT_EQ(ErrorOf([&] { reader.WriteInteger("v", 2); }), "Failed to set data for 'v'");
    EXPECT_FALSE(reader.DeleteValue("v"));
    EXPECT_EQ(reader.ReadInteger("v"), 1);
    TRegistry closed;
    EXPECT_EQ(ErrorOf([&] { closed.WriteString("v", "x"); }), "Failed to set data for 'v'");
}

TEST_F(RegistryTest, ChangesPersistAcrossInstancesAndRootsAreSeparate)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Persist", true));
        reg.WriteString("odd = name[1]\\%", std::string("line\nbreak\r\0nul \xE9", 17));
    }
    TRegistry again;
    ASSERT_TRUE(again.OpenKey("Software\\Persist", false));
    EXPECT_EQ(again.ReadString("odd = name[1]\\%"), std::string("line\nbreak\r\0nul \xE9", 17));

    TRegistry machine;
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(machine.KeyExists("Software\\Persist"));
    EXPECT_THROW(machine.SetRootKey(0x12345), ERegistryException);
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeBranch)
{
    TRegistry reg;
    ASSERT_TRUE(reg.CreateKey("A\\B\\C"));
    ASSERT_TRUE(reg.CreateKey("A\\D"));
    EXPECT_TRUE(reg.DeleteKey("a\\b"));
    EXPECT_FALSE(reg.KeyExists("A\\B\\C"));
    EXPECT_FALSE(reg.KeyExists("A\\B"));
    EXPECT_TRUE(reg.KeyExists("A\\D"));
    EXPECT_FALSE(reg.DeleteKey("A\\B"));
    EXPECT_FALSE(reg.DeleteKey("\\"));  // the root itself stays
    EXPECT_FALSE(reg.CreateKey(""));
}

// A registry file whose status cannot be read is not taken for a missing one: a write
// raises instead of putting an empty registry with its one key in place of the file.
TEST_F(RegistryTest, AFileWhoseStatusCannotBeReadIsNotWrittenOver)
{
    const std::string old = "[HKEY_CURRENT_USER\\K]\n";
    std::ofstream(path_, std::ios::binary) << old;
    {
        TFileCallsOverride override;
        const auto real = override.Calls().FStatAt;
        const std::string path = path_;
        override.Calls().FStatAt = [real, path](int Folder, const char* Name, struct stat* Info, int Flags) {
            if (Name == path) {
                errno = EIO;
                return -1;
            }
            return real(Folder, Name, Info, Flags);
        };
        TRegistry reg;
        EXPECT_THROW(reg.CreateKey("Other"), EFOpenError);
    }
    std::ifstream in(path_, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), old);
}

TEST_F(RegistryTest, DamagedFileRaisesInsteadOfBeingOverwritten)
{
    std::ofstream(path_, std::ios::binary) << "[HKEY_CURRENT_USER\\K]\nno type here\n";
    TRegistry reg;
    EXPECT_THROW(reg.OpenKey("K", true), ERegistryException);
    EXPECT_THROW(reg.CreateKey("Other"), ERegistryException);
    std::ifstream in(path_, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "[HKEY_CURRENT_USER\\K]\nno type here\n");
}
