// INI files: edits keep every other byte, reads follow changes made elsewhere, and
// the profile rules for names, blanks, quotes and numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/files/IniFiles.h"
#include "platform/runtime/FileCalls.h"

#include <cerrno>
#include <cstring>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = ::testing::TempDir() + "ini_" + info->name() + ".ini";
        std::remove(path_.c_str());
    }
    void TearDown() override { std::remove(path_.c_str()); }

    std::string Read() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void Write(const std::string& Bytes) const { std::ofstream(path_, std::ios::binary) << Bytes; }

    static std::vector<std::string> Lines(const TStrings& List)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < List.Count(); ++i)
            lines.push_back(List.Strings(i));
        return lines;
    }

    std::string path_;
};

}  // namespace

TEST_F(IniFileTest, EditKeepsEveryOtherLineByteForByte)
{
    Write("; top comment\r\n"
          "[Colors]\r\n"
          "  Background = 5 \r\n"
          "; about style\r\n"
          "Style=1\r\n"
          "\r\n"
          "; trailing comment of Colors\r\n"
          "[Other]\r\n"
          "unknown line without equals\r\n"
          "x=y\r\n");
    TIniFile ini(path_);
    ini.WriteInteger("colors", "STYLE", 3);          // replaced in place
    ini.WriteString("Colors", "Foreground", "-8");   // after the last key of the section
    ini.WriteBool("New Section", "Flag", true);      // appended after a blank line
    EXPECT_EQ(Read(),
              "; top comment\r\n"
              "[Colors]\r\n"
              "  Background = 5 \r\n"
              "; about style\r\n"
              "Style=3\r\n"
              "Foreground=-8\r\n"
              "\r\n"
              "; trailing comment of Colors\r\n"
              "[Other]\r\n"
              "unknown line without equals\r\n"
              "x=y\r\n"
              "\r\n"
              "[New Section]\r\n"
              "Flag=1\r\n");
}

TEST_F(IniFileTest, LastLineWithoutLineEndAndLfFiles)
{
    Write("[a]\nk=1");
    TIniFile ini(path_);
    ini.WriteString("a", "j", "2");
    EXPECT_EQ(Read(), "[a]\nk=1\nj=2\n");
    ini.WriteString("b", "m", "3");
    EXPECT_EQ(Read(), "[a]\nk=1\nj=2\n\n[b]\nm=3\n");
}

// In a file that mixes line ends, a new line must not put an LF right after a lone CR:
// read back, the two would be one CR LF and an empty line would vanish.
TEST_F(IniFileTest, NewLinesInAFileOfMixedLineEndsKeepEveryLine)
{
    // A key goes after "k=1", before an empty line.
    Write("[A]\r"
          "k=1\n"
          "\n"
          "[B]\r");
    {
        TIniFile ini(path_);
        ini.WriteString("A", "n", "2");
    }
    EXPECT_EQ(Read(), "[A]\rk=1\nn=2\n\n[B]\r");

    // A section goes after a last line that ends in a lone CR.
    Write("[A]\n"
          "k=1\r");
    TIniFile ini(path_);
    ini.WriteString("C", "c", "3");
    EXPECT_EQ(Read(), "[A]\nk=1\r\r[C]\nc=3\n");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("C", "c", ""), "3");
}

TEST_F(IniFileTest, AnotherInstanceAndAnotherProcessSeeWritesAtOnce)
{
    TIniFile reader(path_);
    TIniFile writer(path_);
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "none");
    writer.WriteString("S", "k", "one");
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "one");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TIniFile other(path_);
        other.WriteString("S", "k", "two");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(reader.ReadString("S", "k", "none"), "two");

    reader.WriteString("S", "j", "three");  // keeps what the other process wrote
    EXPECT_EQ(writer.ReadString("S", "k", ""), "two");
    EXPECT_EQ(writer.ReadString("S", "j", ""), "three");
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndValuesLoseBlanksAndOneQuotePair)
{
    Write("[ Sec ]\n"
          "Name = \"  quoted  \" \n"
          "single='x'\n"
          "unbalanced=\"x\n"
          "name=second occurrence ignored\n"
          "empty=\n"
          "[sec]\n"
          "later=section ignored\n");
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("SEC", "NAME", "d"), "  quoted  ");
    EXPECT_EQ(ini.ReadString("sec", "single", "d"), "x");
    EXPECT_EQ(ini.ReadString("sec", "unbalanced", "d"), "\"x");
    EXPECT_EQ(ini.ReadString("sec", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("sec", "later", "d"), "d");
    EXPECT_TRUE(ini.ValueExists("Sec", "Empty"));
    EXPECT_FALSE(ini.ValueExists("Sec", "missing"));
    EXPECT_TRUE(ini.SectionExists("SEC"));
    EXPECT_FALSE(ini.SectionExists("None"));
}

TEST_F(IniFileTest, ValuesThatReadingWouldAlterAreQuotedOnWrite)
{
    TIniFile ini(path_);
    for (const std::string value : {" padded ", "\"already quoted\"", "'single'", "plain", ""}) {
        ini.WriteString("S", "k", value);
        EXPECT_EQ(ini.ReadString("S", "k", "default"), value);
    }
}

TEST_F(IniFileTest, IntegersAcceptSignsAndHexAndFallBackOnJunk)
{
    Write("[N]\nneg=-2147483643\nhex=$1F\nchex=0x10\njunk=12abc\nbig=99999999999\nblank= 7 \n");
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -2147483643);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "chex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "junk", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "big", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "blank", 0), 7);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 42), 42);
    EXPECT_TRUE(ini.ReadBool("N", "hex", false));
    EXPECT_TRUE(ini.ReadBool("N", "missing", true));
    ini.WriteBool("N", "off", false);
    EXPECT_FALSE(ini.ReadBool("N", "off", true));
    EXPECT_EQ(ini.ReadString("N", "off", ""), "0");
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndIsNotCreatedByReading)
{
    TIniFile ini(path_);
    TStringList list;
    list.Add("stale");
    ini.ReadSections(&list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ini.ReadString("a", "b", "dflt"), "dflt");
    EXPECT_FALSE(ini.SectionExists("a"));
    ini.EraseSection("a");
    ini.DeleteKey("a", "b");
    EXPECT_FALSE(std::ifstream(path_).good());
}

TEST_F(IniFileTest, SectionListingsEraseAndDelete)
{
    Write("[A]\nx=1\ny = \"2\"\nX=dup\n[B]\nz=3\n[a]\nw=4\n");
    TIniFile ini(path_);
    TStringList list;
    ini.ReadSections(&list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"A", "B"}));
    ini.ReadSection("a", &list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"x", "y"}));
    ini.ReadSectionValues("A", &list);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"x=1", "y=2"}));

    ini.DeleteKey("A", "X");  // both lines of the key go, so no older value shows
    EXPECT_EQ(ini.ReadString("A", "x", "gone"), "gone");
    ini.EraseSection("a");    // every occurrence of the section
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ(Read(), "[B]\nz=3\n");
}

TEST_F(IniFileTest, NamesAndValuesThatWouldBreakTheFileAreRefused)
{
    Write("[S]\nk=v\n");
    TIniFile ini(path_);
    EXPECT_THROW(ini.WriteString("S", "k", "two\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", ";k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S]x", "k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S\rT", "k", "v"), EIniFileException);
    EXPECT_EQ(Read(), "[S]\nk=v\n");
}

TEST_F(IniFileTest, FailedSaveRaisesNamesTheFileAndChangesNothing)
{
    const std::string path = ::testing::TempDir() + "ini_no_such_folder/settings.ini";
    TIniFile ini(path);
    try {
        ini.WriteString("S", "k", "v");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find(path), std::string::npos);
    }
    // The failed write is not remembered as if it had been stored.
    EXPECT_EQ(ini.ReadString("S", "k", "none"), "none");
}

// A file whose status cannot be read (an I/O error, a network file system that does not
// answer) is not taken for a missing one: reading raises, and a write raises without
// putting an empty file with its one key in place of every key it held.
TEST_F(IniFileTest, AFileWhoseStatusCannotBeReadIsNeverWrittenOver)
{
    const std::string old = "[Settings]\nRecentFile1=/a.php\nShowMenu=0\n";
    Write(old);
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("Settings", "ShowMenu", ""), "0");
    for (const int error : {EIO, EACCES, ENOMEM}) {
        TFileCallsOverride override;
        const auto real = override.Calls().FStatAt;
        const std::string path = path_;
        override.Calls().FStatAt = [real, error, path](int Folder, const char* Name, struct stat* Info, int Flags) {
            if (Name == path) {
                errno = error;
                return -1;
            }
            return real(Folder, Name, Info, Flags);
        };
        const std::string said = "Cannot open file \"" + path_ + "\". " + std::strerror(error);
        for (const auto& attempt : std::vector<std::function<void()>>{
                 [&] { ini.ReadString("Settings", "ShowMenu", ""); },
                 [&] { ini.WriteString("Settings", "Language", "x"); },
                 [&] { TIniFile(path_).WriteBool("Settings", "ShowMenu", true); },
             }) {
            try {
                attempt();
                ADD_FAILURE() << "no error for " << std::strerror(error);
            } catch (const EFOpenError& e) {
                EXPECT_EQ(e.Message(), said);
            }
        }
    }
    EXPECT_EQ(Read(), old);
    EXPECT_EQ(ini.ReadString("Settings", "RecentFile1", ""), "/a.php");
}

// A file that begins with a UTF-8 byte-order mark, as some editors save it, is read
// from its first line, and an edit keeps the mark.
TEST_F(IniFileTest, AByteOrderMarkIsSkippedAndKept)
{
    Write("\xEF\xBB\xBF[Settings]\r\nLanguage=/l/Russian_lang.dat\r\n");
    TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("Settings", "Language", ""), "/l/Russian_lang.dat");
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(Lines(sections), std::vector<std::string>{"Settings"});
    ini.WriteString("Settings", "ShowMenu", "0");
    EXPECT_EQ(Read(), "\xEF\xBB\xBF[Settings]\r\nLanguage=/l/Russian_lang.dat\r\nShowMenu=0\r\n");
}

// A lookup passes each line of the file once at most, however many keys the section
// holds: the lines looked at grow with the file, not with its square.
TEST_F(IniFileTest, LookupsLookAtEachLineOnce)
{
    for (const int keys : {2000, 16000}) {
        std::string bytes = "[Settings]\n";
        for (int i = 0; i < keys; ++i)
            bytes += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
        bytes += "[Other]\nLast=1\n";
        Write(bytes);
        TIniFile ini(path_);
        const auto lines = static_cast<std::uint64_t>(keys) + 3;
        const auto cost = [](const std::function<void()>& Lookup) {
            const std::uint64_t before = IniLinesLookedAt();
            Lookup();
            return IniLinesLookedAt() - before;
        };
        EXPECT_LE(cost([&] { EXPECT_EQ(ini.ReadString("Settings", "Key" + std::to_string(keys - 1), ""),
                                       std::to_string(keys - 1)); }),
                  lines);
        EXPECT_LE(cost([&] { EXPECT_FALSE(ini.ValueExists("Settings", "Missing")); }), lines);
        EXPECT_LE(cost([&] { ini.WriteString("Settings", "Added", "1"); }), 3 * lines);
        TStringList list;
        EXPECT_LE(cost([&] { ini.ReadSection("Settings", &list); }), 2 * lines);
        EXPECT_EQ(list.Count(), keys + 1);
        EXPECT_LE(cost([&] { ini.ReadSectionValues("Settings", &list); }), 2 * lines);
        EXPECT_EQ(list.Strings(keys - 1), "Key" + std::to_string(keys - 1) + "=" + std::to_string(keys - 1));
        EXPECT_LE(cost([&] { ini.DeleteKey("Settings", "Key0"); }), 3 * lines);
    }
}
