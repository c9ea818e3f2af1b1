#include "app/LanguageFile.h"

#include "FailingFile.h"
#include "TempFolder.h"

#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <utility>
#include <vector>
#include <string>

namespace {

const std::string unchanged = "(unchanged)";

TEST(LanguageFileTest, ShippedFilesHoldEveryKeyTheProgramReads)
{
    for (const char* name : {"English_lang.dat", "Russian_lang.dat"}) {
        const std::string path = std::string(QV_SOURCE_DIR) + "/languages/" + name;
        TLanguageFile file(path);
        std::set<std::string> keys;
        for (const TLanguageRead& read : LanguageReads()) {
            const std::string caption = file.Caption(read.Section, read.Key, unchanged);
            EXPECT_NE(caption, unchanged) << name << ": " << read.Section << "/" << read.Key;
            EXPECT_FALSE(caption.empty()) << name << ": " << read.Section << "/" << read.Key;
            keys.insert(std::string(read.Section) + "/" + read.Key);
        }
        EXPECT_NE(file.Caption("Messages", "SaveFile", unchanged), unchanged) << name;
        EXPECT_EQ(keys.size(), 72u);  // 53 + 15 + 4 distinct keys; SaveFile is the 73rd
    }
    EXPECT_EQ(TLanguageFile(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat")
                  .Caption("MainForm", "LangMenu", ""),
              "Язык");
}

// Whether Text holds a letter of the Cyrillic block (UTF-8 lead bytes 0xD0 and 0xD1) and
// no Latin letter.
bool IsCyrillicOnly(const std::string& Text)
{
    bool cyrillic = false;
    for (unsigned char c : Text) {
        if (std::isalpha(c) != 0)
            return false;
        cyrillic = cyrillic || c == 0xD0 || c == 0xD1;
    }
    return cyrillic;
}

// A user who chose Russian meets no English: every caption of every section, the find
// and go-to dialogs' included, is Russian. No caption is the same word in both languages.
TEST(LanguageFileTest, TheRussianFileLeavesNoCaptionInEnglish)
{
    TLanguageFile russian(std::string(QV_SOURCE_DIR) + "/languages/Russian_lang.dat");
    TLanguageFile english(std::string(QV_SOURCE_DIR) + "/languages/English_lang.dat");
    std::vector<std::pair<std::string, std::string>> keys;
    for (const TLanguageRead& read : LanguageReads())
        keys.emplace_back(read.Section, read.Key);
    keys.emplace_back("Messages", "SaveFile");
    for (const auto& [section, key] : keys) {
        const std::string caption = russian.Caption(section, key, "");
        EXPECT_NE(caption, english.Caption(section, key, "")) << section << "/" << key;
        EXPECT_TRUE(IsCyrillicOnly(caption)) << section << "/" << key << ": " << caption;
    }
}

TEST(LanguageFileTest, ReadsAreThoseOfTheLoaderInOrder)
{
    const auto reads = LanguageReads();
    ASSERT_EQ(reads.size(), 73u);
    int mainForm = 0, searchForm = 0, goTo = 0, hints = 0;
    for (const TLanguageRead& read : reads) {
        const std::string section = read.Section;
        mainForm += section == "MainForm";
        searchForm += section == "SearchForm";
        goTo += section == "GoTo";
        hints += read.Also != nullptr && read.AlsoTarget == TLanguageTarget::Hint;
    }
    EXPECT_EQ(mainForm, 54);
    EXPECT_EQ(searchForm, 15);
    EXPECT_EQ(goTo, 4);
    EXPECT_EQ(hints, 13);
    EXPECT_STREQ(reads[0].Key, "LangMenu");
    EXPECT_STREQ(reads[0].Control, "mnuLanguage");
    EXPECT_STREQ(reads[45].Key, "mnuInsert");
    EXPECT_STREQ(reads[45].Control, "tInsert");
    EXPECT_EQ(PopupCaptionCopies().size(), 12u);
}

TEST(LanguageFileTest, MissingKeyKeepsTheCaptionAndAnEmptyValueBlanksIt)
{
    TTempFolder folder;
    TLanguageFile file(folder.Write("Partial_lang.dat", "[MainForm]\nmnuEdit=\nmnuView=Ansicht\n"));
    EXPECT_EQ(file.Caption("MainForm", "mnuFile", "Файл"), "Файл");
    EXPECT_EQ(file.Caption("MainForm", "mnuEdit", "Редактор"), "");
    EXPECT_EQ(file.Caption("mainform", "MNUVIEW", "Вид"), "Ansicht");
    EXPECT_EQ(file.Caption("GoTo", "bGo", "Go"), "Go");
}

TEST(LanguageFileTest, Utf8FilesAreReadAsUtf8AndOthersInTheAnsiCodePage)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    TTempFolder folder;
    // "Файл" in code page 1251.
    TLanguageFile ansi(folder.Write("A_lang.dat", "[MainForm]\nmnuFile=\xD4\xE0\xE9\xEB\n"));
    EXPECT_EQ(ansi.Caption("MainForm", "mnuFile", ""), "Файл");
    // A written replacement character is still UTF-8.
    TLanguageFile utf8(folder.Write("U_lang.dat", "[MainForm]\nmnuFile=Файл \xEF\xBF\xBD\n"));
    EXPECT_EQ(utf8.Caption("MainForm", "mnuFile", ""), "Файл \xEF\xBF\xBD");
    // One malformed sequence anywhere (an overlong '/') makes the whole file ANSI.
    TLanguageFile mixed(folder.Write("M_lang.dat", "[MainForm]\nmnuFile=\xC0\xAF\nmnuEdit=\xC0\n"));
    EXPECT_EQ(mixed.Caption("MainForm", "mnuEdit", ""), "А");
    SetAnsiCodePage(saved);
}

TEST(LanguageFileTest, MissingFileIsAnErrorWithTheMessageToShow)
{
    TTempFolder folder;
    const std::string path = folder.Path() + "None_lang.dat";
    try {
        TLanguageFile file(path);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const ELanguageFileError& e) {
        EXPECT_EQ(e.Message(), "Error opening the " + path +
                                   " language file! No such file or directory. The language stays as it was.");
    }
    EXPECT_THROW(TLanguageFile(folder.Path()), ELanguageFileError);  // a folder
    EXPECT_THROW(TLanguageFile(""), ELanguageFileError);
}

// The message a failed open shows: the program's own words, then the file's name, the
// system's reason and what became of the language.
std::string ErrorOf(const std::string& Path)
{
    try {
        TLanguageFile file(Path);
    } catch (const ELanguageFileError& e) {
        return e.Message();
    }
    return "<no error>";
}

TEST(LanguageFileTest, AFileWhoseStatusOrReadFailsIsAnErrorNamingTheFileAndTheReason)
{
    TTempFolder folder;
    const std::string path = folder.Write("Broken_lang.dat", "[MainForm]\nmnuFile=Datei\n");
    const std::string start = "Error opening the " + path + " language file! ";
    const std::string state = "The language stays as it was.";
    {
        const TFailingFile failing(path, TFailingFile::TCall::Status, 1);
        EXPECT_EQ(ErrorOf(path), start + "Input/output error. " + state);
    }
    {
        const TFailingFile failing(path, TFailingFile::TCall::Read, 1, EACCES);
        const std::string message = ErrorOf(path);
        EXPECT_EQ(message.rfind(start, 0), 0u) << message;
        EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
        EXPECT_EQ(message.substr(message.size() - state.size()), state) << message;
    }
    EXPECT_EQ(ErrorOf(folder.Path()),
              "Error opening the " + folder.Path() + " language file! Is a directory. " + state);
}

// Every status and read of the file happens while it is opened, each failure of them
// raising there: what a loader then asks for comes from what was read, whether the file
// later fails or changes, so no load takes part of one file and part of another.
TEST(LanguageFileTest, EveryFailureComesWhileOpeningAndCaptionsComeFromWhatWasRead)
{
    TTempFolder folder;
    const std::string path = folder.Write("Broken_lang.dat", "[MainForm]\nmnuFile=Datei\n[GoTo]\nbGo=Los\n");
    for (const auto call : {TFailingFile::TCall::Status, TFailingFile::TCall::Read}) {
        int calls = 0;
        {
            const TFailingFile counting(path, call, 0);
            TLanguageFile file(path);
            calls = counting.Calls();
            ASSERT_GT(calls, 0);
            // Later calls on the file would fail, and the file changes: neither is seen.
            const TFailingFile failing(path, call, 1);
            folder.Write("Broken_lang.dat", "[MainForm]\nmnuFile=File\n");
            EXPECT_EQ(file.Caption("MainForm", "mnuFile", ""), "Datei");
            EXPECT_EQ(file.Caption("goto", "BGO", ""), "Los");
            EXPECT_EQ(failing.Calls(), 0);
            folder.Write("Broken_lang.dat", "[MainForm]\nmnuFile=Datei\n[GoTo]\nbGo=Los\n");
        }
        for (int n = 1; n <= calls; ++n) {
            const TFailingFile failing(path, call, n);
            EXPECT_THROW(TLanguageFile file(path), ELanguageFileError) << "call " << n;
        }
    }
}

// A file the system cannot seek to the end of is read to its end; a name holding a NUL
// byte, which the system would cut short there, is refused naming it with the NUL shown.
TEST(LanguageFileTest, AFileWithoutASizeIsReadAndANameHoldingANulIsRefused)
{
    EXPECT_EQ(TLanguageFile("/proc/version").Caption("MainForm", "mnuFile", unchanged), unchanged);
    TTempFolder folder;
    const std::string path = folder.Write("German_lang.dat", "[MainForm]\nmnuFile=Datei\n");
    EXPECT_EQ(ErrorOf(path + std::string("\0.dat", 5)),
              "Error opening the " + path + "\\0.dat language file! Its name holds a NUL byte (shown as \\0), "
              "which the system would take for its end. The language stays as it was.");
}

TEST(LanguageFileTest, SavePromptFallsBackToTheBuiltInText)
{
    TTempFolder folder;
    EXPECT_EQ(SaveFilePromptText(folder.Path() + "None_lang.dat"), "Save file?");
    EXPECT_EQ(SaveFilePromptText(folder.Write("A_lang.dat", "[MainForm]\nmnuFile=F\n")), "Save file?");
    EXPECT_EQ(SaveFilePromptText(folder.Write("B_lang.dat", "[Messages]\nSaveFile=Speichern?\n")),
              "Speichern?");
}

TEST(LanguageFileTest, MenuEntriesNameTheFileUpToItsFirstUnderscoreAndKeepItsPath)
{
    TTempFolder folder;
    folder.Write("Pt_BR_lang.dat", "");
    folder.Write("English_lang.dat", "");
    folder.Write("readme.txt", "");
    folder.Write("Old_lang.dat.bak", "");
    folder.Write(".Hidden_lang.dat", "");
    const std::vector<TLanguageEntry> entries = FindLanguageFiles(folder.Path());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Caption, "English");
    EXPECT_EQ(entries[0].Path, folder.Path() + "English_lang.dat");
    EXPECT_EQ(entries[1].Caption, "Pt");
    EXPECT_EQ(entries[1].Path, folder.Path() + "Pt_BR_lang.dat");
    EXPECT_TRUE(FindLanguageFiles(folder.Path() + "missing").empty());
}

}  // namespace
