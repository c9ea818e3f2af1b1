#include "app/LanguageFile.h"

#include "platform/runtime/CodePages.h"
#include "platform/runtime/FileCalls.h"
#include "platform/files/FindFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::string OpenErrorText(const std::string& Path, const std::string& Reason)
{
    return "Error opening the " + Path + " language file! " + Reason + ". The language stays as it was.";
}

constexpr TLanguageTarget Caption = TLanguageTarget::Caption;
constexpr TLanguageTarget Hint = TLanguageTarget::Hint;

const TLanguageRead languageReads[] = {
    {"MainForm", "LangMenu", "mnuLanguage", nullptr, Caption},
    {"MainForm", "lblCurrentHightliter", "lblCurrentHightliter", nullptr, Caption},
    {"MainForm", "mnuFile", "mnuFile", nullptr, Caption},
    {"MainForm", "mnuFileNew", "mnuFileNew", "bNew", Hint},
    {"MainForm", "mnuFileOpen", "mnuFileOpen", "bOpen", Hint},
    {"MainForm", "mnuFileSave", "mnuFileSave", "bSave", Hint},
    {"MainForm", "mnuFileSaveAs", "mnuFileSaveAs", nullptr, Caption},
    {"MainForm", "mnuFileClose", "mnuFileClose", "bClose", Hint},
    {"MainForm", "mnuFilePrinterParam", "mnuFilePrinterParam", nullptr, Caption},
    {"MainForm", "mnuFilePrinterParamLineNumbers", "mnuFilePrinterParamLineNumbers", nullptr, Caption},
    {"MainForm", "mnuFilePrint", "mnuFilePrint", "bPrint", Hint},
    {"MainForm", "mnuFilePrinterSettings", "mnuFilePrinterSettings", "bPrintSetup", Hint},
    {"MainForm", "mnuFilePreview", "mnuFilePreview", "bPreview", Hint},
    {"MainForm", "mnuFileRecentFiles", "mnuFileRecentFiles", nullptr, Caption},
    {"MainForm", "mnuFileExit", "mnuFileExit", nullptr, Caption},
    {"MainForm", "mnuEdit", "mnuEdit", nullptr, Caption},
    {"MainForm", "mnuEditUndo", "mnuEditUndo", "bUndo", Hint},
    {"MainForm", "mnuEditRedo", "mnuEditRedo", "bRedo", Hint},
    {"MainForm", "mnuEditCut", "mnuEditCut", "bCut", Hint},
    {"MainForm", "mnuEditCopy", "mnuEditCopy", "bCopy", Hint},
    {"MainForm", "mnuEditPaste", "mnuEditPaste", "bPaste", Hint},
    {"MainForm", "mnuEditFind", "mnuEditFind", "bFind", Hint},
    {"MainForm", "mnuEditReplace", "mnuEditReplace", nullptr, Caption},
    {"MainForm", "mnuEditBigCase", "mnuEditBigCase", nullptr, Caption},
    {"MainForm", "mnuEditSmallCase", "mnuEditSmallCase", nullptr, Caption},
    {"MainForm", "mnuEditGoTo", "mnuEditGoTo", nullptr, Caption},
    {"MainForm", "mnuEditSelectAll", "mnuEditSelectAll", nullptr, Caption},
    {"MainForm", "mnuView", "mnuView", nullptr, Caption},
    {"MainForm", "mnuViewBlock", "mnuViewBlock", nullptr, Caption},
    {"MainForm", "mnuViewBlockNormal", "mnuViewBlockNormal", nullptr, Caption},
    {"MainForm", "mnuViewBlockColumn", "mnuViewBlockColumn", nullptr, Caption},
    {"MainForm", "mnuViewBlockLine", "mnuViewBlockLine", nullptr, Caption},
    {"MainForm", "mnuViewEncoding", "mnuViewEncoding", "tCodingConverFromTo", Caption},
    {"MainForm", "tCoding", "tCoding", nullptr, Caption},
    {"MainForm", "mnuViewCharset", "mnuViewCharset", "tCodingChangeCharset", Caption},
    {"MainForm", "mnuViewTools", "mnuViewTools", nullptr, Caption},
    {"MainForm", "mnuViewMenu", "mnuViewMenu", nullptr, Caption},
    {"MainForm", "mnuHightliter", "mnuHightliter", nullptr, Caption},
    {"MainForm", "mnuHightliterLanguages", "mnuHightliterLanguages", nullptr, Caption},
    {"MainForm", "mnuBookmarks", "mnuBookmarks", nullptr, Caption},
    {"MainForm", "mnuBookmarksGo", "mnuBookmarksGo", nullptr, Caption},
    {"MainForm", "mnuBookmarksAdd", "mnuBookmarksAdd", nullptr, Caption},
    {"MainForm", "mnuBookmarksRemove", "mnuBookmarksRemove", nullptr, Caption},
    {"MainForm", "mnuBookmarksClear", "mnuBookmarksClear", nullptr, Caption},
    {"MainForm", "mnuInsert", "mnuInsert", nullptr, Caption},
    {"MainForm", "mnuInsert", "tInsert", nullptr, Caption},
    {"MainForm", "mnuInsertColor", "mnuInsertColor", "gColor", Caption},
    {"MainForm", "mnuInsertFont", "mnuInsertFont", nullptr, Caption},
    {"MainForm", "mnuInsertDateAndTime", "mnuInsertDateAndTime", nullptr, Caption},
    {"MainForm", "mnuHelp", "mnuHelp", nullptr, Caption},
    {"MainForm", "mnuHelpAbout", "mnuHelpAbout", nullptr, Caption},
    {"MainForm", "tFileManager", "tFileManager", nullptr, Caption},
    {"MainForm", "gChars", "gChars", nullptr, Caption},
    {"MainForm", "gTemplates", "gTemplates", nullptr, Caption},
    {"SearchForm", "Caption", "frmSearch", nullptr, Caption},
    {"SearchForm", "tSearchAndReplace", "tSearchAndReplace", nullptr, Caption},
    {"SearchForm", "tSearchSettings", "tSearchSettings", nullptr, Caption},
    {"SearchForm", "lblSearchFor", "lblSearchFor", nullptr, Caption},
    {"SearchForm", "lblReplaceWith", "lblReplaceWith", nullptr, Caption},
    {"SearchForm", "bFind", "bFind", nullptr, Caption},
    {"SearchForm", "bFindNext", "bFindNext", nullptr, Caption},
    {"SearchForm", "bReplaceAll", "bReplaceAll", nullptr, Caption},
    {"SearchForm", "bCancel", "bCancel", nullptr, Caption},
    {"SearchForm", "chReg", "chReg", nullptr, Caption},
    {"SearchForm", "chWhole", "chWhole", nullptr, Caption},
    {"SearchForm", "chSel", "chSel", nullptr, Caption},
    {"SearchForm", "chUseReg", "chUseReg", nullptr, Caption},
    {"SearchForm", "chBk", "chBk", nullptr, Caption},
    {"SearchForm", "chFw", "chFw", nullptr, Caption},
    {"GoTo", "Caption", "frmGoTo", nullptr, Caption},
    {"GoTo", "lblTitle", "lblTitle", nullptr, Caption},
    {"GoTo", "bGo", "bGo", nullptr, Caption},
    {"GoTo", "bCancel", "bCancel", nullptr, Caption},
};

const TPopupCaptionCopy popupCaptionCopies[] = {
    {"PopupUndo", "mnuEditUndo"},        {"PopupRedo", "mnuEditRedo"},
    {"PopupCut", "mnuEditCut"},          {"PopupCopy", "mnuEditCopy"},
    {"PopupPaste", "mnuEditPaste"},      {"PopupSearch", "mnuEditFind"},
    {"PopupGoTo", "mnuEditGoTo"},        {"PopupSelAll", "mnuEditSelectAll"},
    {"PopupInsert", "mnuInsert"},        {"PopupInsertColor", "mnuInsertColor"},
    {"PopupInsertFont", "mnuInsertFont"}, {"PopupInsertTime", "mnuInsertDateAndTime"},
};

}  // namespace

TLanguageFile::TLanguageFile(const std::string& Path) : path_(Path)
{
    // The profile reader takes a missing file for an empty one; a language file that is
    // not there is an error, so that a bad path never blanks the interface.
    if (NameHoldsNul(Path))
        throw ELanguageFileError(OpenErrorText(ShownFileName(Path), std::string(NulInNameReason)));
    struct stat info {};
    if (FileCalls().FStatAt(AT_FDCWD, Path.c_str(), &info, 0) != 0)
        throw ELanguageFileError(OpenErrorText(Path, std::strerror(errno)));
    if (S_ISDIR(info.st_mode))
        throw ELanguageFileError(OpenErrorText(Path, std::strerror(EISDIR)));
    try {
        utf8_ = IsValidUtf8(ReadFileBytes(Path));
        TIniFile ini(Path);
        TStringList sections;
        ini.ReadSections(&sections);
        TStringList lines;
        for (int s = 0; s < sections.Count(); ++s) {
            const std::string section = sections.Strings(s);
            ini.ReadSectionValues(section, &lines);
            for (int i = 0; i < lines.Count(); ++i) {
                const std::string line = lines.Strings(i);
                const auto equals = line.find('=');  // a key name holds no '='
                values_.emplace(std::make_pair(section, line.substr(0, equals)), line.substr(equals + 1));
            }
        }
    } catch (const Exception& error) {
        throw ELanguageFileError(OpenErrorText(Path, error.Message()));
    }
}

TLanguageFile::~TLanguageFile() = default;

bool TLanguageFile::TNameOrder::operator()(const std::pair<std::string, std::string>& A,
                                           const std::pair<std::string, std::string>& B) const
{
    const Integer sections = AnsiCompareText(A.first, B.first);
    return sections != 0 ? sections < 0 : AnsiCompareText(A.second, B.second) < 0;
}

std::string TLanguageFile::Caption(const std::string& Section, const std::string& Key,
                                   const std::string& Current) const
{
    return Find(Section, Key).value_or(Current);
}

std::optional<std::string> TLanguageFile::Find(const std::string& Section, const std::string& Key) const
{
    const auto found = values_.find({Trim(Section), Trim(Key)});
    if (found == values_.end())
        return std::nullopt;
    return utf8_ ? found->second : AnsiToUtf8(found->second);
}

std::span<const TLanguageRead> LanguageReads()
{
    return languageReads;
}

std::span<const TPopupCaptionCopy> PopupCaptionCopies()
{
    return popupCaptionCopies;
}

std::string SaveFilePromptText(const std::string& LanguagePath)
{
    const std::string fallback = "Save file?";
    try {
        return TLanguageFile(LanguagePath).Caption("Messages", "SaveFile", fallback);
    } catch (const Exception&) {
        return fallback;
    }
}

std::string LanguageNameOf(const std::string& Path)
{
    const std::string name = ExtractFileName(Path);
    return name.substr(0, name.find('_'));
}

std::vector<TLanguageEntry> FindLanguageFiles(const std::string& Folder)
{
    const std::string folder = IncludeTrailingPathDelimiter(Folder);
    std::vector<TLanguageEntry> entries;
    for (const std::string& name : FindFiles(folder, "*_lang.dat"))
        entries.push_back({LanguageNameOf(name), folder + name});
    return entries;
}
