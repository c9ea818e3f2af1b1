// Wildcard masks with the classic rules, the directory search and the current folder.
#include <gtest/gtest.h>

#include "platform/files/FindFiles.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

TEST(MatchesMaskTest, LettersMatchInEitherCase)
{
    EXPECT_TRUE(MatchesMask("index.php", "*.PHP"));
    EXPECT_TRUE(MatchesMask("INDEX.HTML", "*.htm*"));
    EXPECT_TRUE(MatchesMask("\xd0\x96.txt", "\xd0\xb6.TXT"));  // Cyrillic Zhe, upper vs lower
    EXPECT_FALSE(MatchesMask("index.php3", "*.php"));
    EXPECT_FALSE(MatchesMask("a.ht", "*.htm*"));
}

TEST(MatchesMaskTest, DotStarAlsoMatchesNamesWithoutExtension)
{
    EXPECT_TRUE(MatchesMask("README", "*.*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesMask("abc", "abc.*"));
    EXPECT_TRUE(MatchesMask("abc.txt", "abc.*"));
    EXPECT_FALSE(MatchesMask("abcd", "abc.*"));
    EXPECT_FALSE(MatchesMask("xabc", "abc.*"));
}

TEST(MatchesMaskTest, QuestionMarkIsOneCharacterNotOneByte)
{
    EXPECT_TRUE(MatchesMask("\xd0\xb6.txt", "?.txt"));
    EXPECT_FALSE(MatchesMask("ab.txt", "?.txt"));
    EXPECT_FALSE(MatchesMask(".txt", "?.txt"));
}

TEST(MatchesMaskTest, StarsBacktrackWithoutBlowingUp)
{
    EXPECT_TRUE(MatchesMask("xaxb", "*a*b"));
    EXPECT_FALSE(MatchesMask("xbxa", "*a*b"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("", "?"));
    // Exponential backtracking would not finish on this.
    const std::string name(2000, 'a');
    EXPECT_FALSE(MatchesMask(name, "*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(MatchesMaskTest, ListSplitsAtSemicolonsAndIgnoresBlanks)
{
    EXPECT_TRUE(MatchesMaskList("x.bas", "*.vbs; *.bas"));
    EXPECT_TRUE(MatchesMaskList("x.vbs", " *.vbs ;*.bas"));
    EXPECT_FALSE(MatchesMaskList("x.txt", "*.vbs; *.bas"));
    EXPECT_FALSE(MatchesMaskList("x.txt", ""));
    EXPECT_FALSE(MatchesMaskList("x.txt", ";;"));  // empty masks match nothing
}

class FindFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "findfiles_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = fs::canonical(pattern).string();
        savedDir_ = GetCurrentDir();
    }
    void TearDown() override
    {
        SetCurrentDir(savedDir_);
        fs::remove_all(folder_);
    }

    void Touch(const std::string& name) const { std::ofstream(folder_ + "/" + name) << "x"; }
    void MakeFolder(const std::string& name) const { fs::create_directory(folder_ + "/" + name); }

    std::string folder_;
    std::string savedDir_;
};

TEST_F(FindFilesTest, ListsVisiblePlainFilesInNameOrder)
{
    Touch("b.php");
    Touch("A.PHP");
    Touch("a.php");
    Touch("c.txt");
    Touch(".hidden.php");
    MakeFolder("folder.php");
    fs::create_symlink(folder_ + "/c.txt", folder_ + "/link.php");
    fs::create_symlink(folder_ + "/missing", folder_ + "/broken.php");
    fs::create_directory_symlink(folder_ + "/folder.php", folder_ + "/dirlink.php");

    EXPECT_EQ(FindFiles(folder_, "*.php"), (Names{"A.PHP", "a.php", "b.php", "link.php"}));
    EXPECT_EQ(FindFiles(folder_ + "/", "*.*"), (Names{"A.PHP", "a.php", "b.php", "c.txt", "link.php"}));
    EXPECT_EQ(FindFiles(folder_, "*.htm"), Names{});
}

TEST_F(FindFilesTest, MissingFolderGivesNothing)
{
    EXPECT_EQ(FindFiles(folder_ + "/none", "*.*"), Names{});
    EXPECT_EQ(FindFolders(folder_ + "/none"), Names{});
}

TEST_F(FindFilesTest, EmptyFolderMeansTheCurrentOne)
{
    Touch("English_lang.dat");
    Touch("Russian_lang.dat");
    Touch("notes.txt");
    ASSERT_TRUE(SetCurrentDir(folder_));
    EXPECT_EQ(FindFiles("", "*_lang.dat"), (Names{"English_lang.dat", "Russian_lang.dat"}));
}

TEST_F(FindFilesTest, FoldersLeaveOutFilesAndHiddenOnes)
{
    MakeFolder("beta");
    MakeFolder("Alpha");
    MakeFolder(".git");
    Touch("file");
    EXPECT_EQ(FindFolders(folder_), (Names{"Alpha", "beta"}));
}

TEST_F(FindFilesTest, CurrentFolderChangesOnlyWhenItCan)
{
    ASSERT_TRUE(SetCurrentDir(folder_));
    EXPECT_EQ(GetCurrentDir(), folder_);
    EXPECT_FALSE(SetCurrentDir(folder_ + "/none"));
    EXPECT_FALSE(SetCurrentDir(""));
    Touch("file");
    EXPECT_FALSE(SetCurrentDir(folder_ + "/file"));
    EXPECT_EQ(GetCurrentDir(), folder_);
    ASSERT_TRUE(SetCurrentDir("/"));
    EXPECT_EQ(GetCurrentDir(), "/");
}

}  // namespace
