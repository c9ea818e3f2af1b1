#include "app/Settings.h"

#include "TempFolder.h"

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

// Each is one durable write of the file (a file made, synced and renamed), not one a key.
TEST(SettingsTest, ARecentFileAndTheCloseSwitchesAreOneWriteEach)
{
    TTempFolder folder;
    TSettingsFile settings(folder.Path());
    settings.AddRecentFile("/a.php");
    int made = 0;
    TFileCallsOverride override;
    const auto openAt = override.Calls().OpenAt;
    override.Calls().OpenAt = [&](int Folder, const char* Name, int Flags, mode_t Mode) {
        made += (Flags & O_CREAT) != 0 ? 1 : 0;
        return openAt(Folder, Name, Flags, Mode);
    };
    EXPECT_EQ(settings.AddRecentFile("/b.php"), (TRecentFiles{"/b.php", "/a.php", "", "", ""}));
    EXPECT_EQ(made, 1);
    made = 0;
    EXPECT_TRUE(settings.WriteOnClose(false, true, "lang.dat"));
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(TSettingsFile(folder.Path()).ShowTools());
    EXPECT_EQ(TSettingsFile(folder.Path()).RecentFiles(), (TRecentFiles{"/b.php", "/a.php", "", "", ""}));
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
    const std::string file = programFolder + "settings.ini";
    const std::string told = report.Take(settings).value_or("");
    // The file, what failed, the system's reason and what the file holds.
    const std::string start = "Error writing the settings file \"" + file + "\": ";
    EXPECT_EQ(told.substr(0, start.size()), start) << told;
    if (!permissionsHold) {
        EXPECT_EQ(told, start + "Cannot open file \"" + file + "\". Not a directory. The file keeps the settings it had.");
    }

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

// The status of settings.ini cannot be read (an I/O error, a network file system that does
// not answer): none of the writes on closing or of a recent file puts a file with only
// its own key in place of the others, and the message names the file and the reason.
TEST(SettingsTest, AFileWhoseStatusCannotBeReadKeepsEveryKey)
{
    TTempFolder folder;
    const std::string old = "[Settings]\nRecentFile1=/docs/a.php\nRecentFile2=/docs/b.php\nShowTools=0\n"
                            "Language=/l/Russian_lang.dat\n";
    const std::string file = folder.Write("settings.ini", old);
    TFileCallsOverride override;
    const auto real = override.Calls().FStatAt;
    override.Calls().FStatAt = [real, file](int Folder, const char* Name, struct stat* Info, int Flags) {
        if (Name == file && Flags == 0) {
            errno = EIO;
            return -1;
        }
        return real(Folder, Name, Info, Flags);
    };
    const std::string told = "Error writing the settings file \"" + file + "\": Cannot open file \"" + file +
                             "\". " + std::strerror(EIO) + ". The file keeps the settings it had.";
    {
        TSettingsFile settings(folder.Path());
        EXPECT_FALSE(settings.WriteOnClose(true, false, "/l/English_lang.dat"));
        EXPECT_EQ(settings.Failure(), told);
    }
    {
        TSettingsFile settings(folder.Path());
        settings.AddRecentFile("/docs/c.php");
        EXPECT_EQ(TSettingsErrorReport().Take(settings),
                  "Error reading the settings file \"" + file + "\": Cannot open file \"" + file + "\". " +
                      std::strerror(EIO) + ". The default settings are used, and the file is left as it is.");
    }
    EXPECT_EQ(ReadFileBytes(file), old);
}

// A recent file whose name holds a line break cannot be listed: the list stays as it
// was, and the message says why.
TEST(SettingsTest, ARecentFileWithALineBreakIsRefusedAndTheListStays)
{
    TTempFolder folder;
    TSettingsFile settings(folder.Path());
    settings.AddRecentFile("/docs/a.php");
    settings.AddRecentFile("/docs/b.php");
    const TRecentFiles before = settings.RecentFiles();
    EXPECT_EQ(settings.AddRecentFile("/docs/two\nlines.php"), before);
    EXPECT_EQ(settings.Failure(), "Error writing the settings file \"" + settings.FileName() +
                                      "\": the file name \"/docs/two\nlines.php\" holds a line break, which "
                                      "the file cannot hold. The file keeps the settings it had.");
}

// A settings file saved with a byte-order mark, as some editors save UTF-8, is read.
TEST(SettingsTest, AFileWithAByteOrderMarkIsRead)
{
    TTempFolder folder;
    folder.Write("settings.ini", "\xEF\xBB\xBF[Settings]\r\nShowMenu=0\r\nRecentFile1=/docs/a.php\r\n");
    TSettingsFile settings(folder.Path());
    EXPECT_FALSE(settings.ShowMenu());
    EXPECT_EQ(settings.RecentFile(1), "/docs/a.php");
    EXPECT_FALSE(settings.Failed());
}

}  // namespace
