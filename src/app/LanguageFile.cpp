#include "app/LanguageFile.h"

#include "platform/runtime/CodePages.h"
#include "platform/files/FindFiles.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

std::string OpenErrorText(const std::string& path)
{
    return "Error opening the " + path + " language file!";
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
    if (!FileExists(Path))
        throw ELanguageFileError(OpenErrorText(Path));
    try {
        utf8_ = IsValidUtf8(ReadFileBytes(Path));
    } catch (const Exception&) {
        throw ELanguageFileError(OpenErrorText(Path));
    }
    ini_ = std::make_unique<TIniFile>(Path);
}

TLanguageFile::~TLanguageFile() = default;

std::string TLanguageFile::Caption(const std::string& Section, const std::string& Key,
                                   const std::string& Current)
{
    if (!ini_->ValueExists(Section, Key))
        return Current;
    std::string value = ini_->ReadString(Section, Key, "");
    return utf8_ ? value : AnsiToUtf8(value);
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
