#include "app/Settings.h"

#include "TempFolder.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

TEST(SettingsTest, MissingFileReadsAsDefaultsAndIsNotCreated)
{
    TTempFolder folder;
    TSettingsFile settings(folder.Path());
    EXPECT_EQ(settings.FileName(), folder.Path() + "settings.ini");
    EXPECT_TRUE(settings.ShowTools());
    EXPECT_TRUE(settings.ShowMenu());
    EXPECT_EQ(settings.Language(), folder.Path() + "languages/English_lang.dat");
    EXPECT_EQ(settings.RecentFiles(), TRecentFiles{});
    EXPECT_FALSE(settings.Failed());
    EXPECT_FALSE(FileExists(settings.FileName()));
}

TEST(SettingsTest, RecentFilesArePushedWithoutDeduplicationAndTheSixthDropsTheOldest)
{
    TTempFolder folder;
    TSettingsFile settings(folder.Path());
    settings.AddRecentFile("/docs/a.php");
    settings.AddRecentFile("/docs/b.php");
    EXPECT_EQ(settings.AddRecentFile("/docs/a.php"),
              (TRecentFiles{"/docs/a.php", "/docs/b.php", "/docs/a.php", "", ""}));
    settings.AddRecentFile("/c.htm");
    settings.AddRecentFile("/d.htm");
    settings.AddRecentFile("/e.htm");  // the sixth push
    // Another object (another copy of the program) sees what the file now holds.
    EXPECT_EQ(TSettingsFile(folder.Path()).RecentFiles(),
              (TRecentFiles{"/e.htm", "/d.htm", "/c.htm", "/docs/a.php", "/docs/b.php"}));
    EXPECT_EQ(settings.RecentFile(4), "/docs/a.php");
    EXPECT_FALSE(settings.Failed());
}

TEST(SettingsTest, CloseWritesTheSwitchesAsIntegersAndTheLanguage)
{
    TTempFolder folder;
    TSettingsFile settings(folder.Path());
    ASSERT_TRUE(settings.WriteOnClose(false, true, "/opt/q/languages/Russian_lang.dat"));
    EXPECT_EQ(ReadFileBytes(settings.FileName()),
              "[Settings]\nShowTools=0\nShowMenu=1\nLanguage=/opt/q/languages/Russian_lang.dat\n");
    TSettingsFile again(folder.Path());
    EXPECT_FALSE(again.ShowTools());
    EXPECT_TRUE(again.ShowMenu());
    EXPECT_EQ(again.Language(), "/opt/q/languages/Russian_lang.dat");

    folder.Write("settings.ini", "[settings]\nshowtools=2\nShowMenu=no\n");
    EXPECT_TRUE(again.ShowTools());  // any integer but 0 is true
    EXPECT_TRUE(again.ShowMenu());   // not an integer: the default
}

TEST(SettingsTest, AFailedWriteIsToldOnceAndNeverRaises)
{
    TTempFolder folder;
    std::string programFolder;
    const bool permissionsHold = ::geteuid() != 0;
    if (permissionsHold) {
        // A read-only program folder holding an earlier settings file.
        programFolder = folder.Path() + "ro/";
        ASSERT_EQ(::mkdir(programFolder.c_str(), 0755), 0);
        TSettingsFile(programFolder).WriteOnClose(true, true, "old");
        ASSERT_EQ(::chmod(programFolder.c_str(), 0555), 0);
    } else {
        // Permissions do not stop the super-user: a plain file stands where the folder
        // should be.
        programFolder = folder.Write("plain", "") + "/";
    }
    TSettingsErrorReport report;
    TSettingsFile settings(programFolder);
    EXPECT_FALSE(report.Take(settings));  // nothing failed yet
    EXPECT_FALSE(settings.WriteOnClose(false, false, "new"));
    EXPECT_TRUE(settings.Failed());
    EXPECT_EQ(report.Take(settings), "Error opening the \"settings.ini\" file!");

    TSettingsFile later(programFolder);
    EXPECT_EQ(later.AddRecentFile("/x.php")[0], "");  // the list stays as the file holds it
    EXPECT_TRUE(later.Failed());
    EXPECT_FALSE(report.Take(later));  // told once per run
    if (permissionsHold) {
        EXPECT_EQ(later.Language(), "old");
        EXPECT_TRUE(later.ShowTools());
    }
}

TEST(SettingsTest, AnUnreadableFileReadsAsDefaultsAndCountsAsAFailure)
{
    TTempFolder folder;
    ASSERT_EQ(::mkdir((folder.Path() + "settings.ini").c_str(), 0755), 0);
    TSettingsFile settings(folder.Path());
    EXPECT_TRUE(settings.ShowMenu());
    EXPECT_TRUE(settings.ShowTools());
    EXPECT_EQ(settings.RecentFile(1), "");
    EXPECT_TRUE(settings.Failed());
}

}  // namespace
