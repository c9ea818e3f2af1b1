// Language files: INI files "<Name>_lang.dat" in the folder "languages" that hold the
// captions of the main window and its dialogs, in the sections MainForm, SearchForm,
// GoTo and Messages. A file whose bytes are valid UTF-8 is read as UTF-8, any other
// through the ANSI code page; captions are handed out as UTF-8.
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/files/IniFiles.h"

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A language file that does not exist or cannot be read. Its message is the one to show
// in a plain message box: "Error opening the <path> language file! <the reason>. The
// language stays as it was."
QV_DECLARE_EXCEPTION(ELanguageFileError, Exception);

class TLanguageFile {
public:
    // Reads the whole file at Path, every section of it, before anything is retitled;
    // raises ELanguageFileError when there is no readable file or any read of it fails.
    // Once made, it never goes back to the disk, so a load cannot fail half way.
    explicit TLanguageFile(const std::string& Path);
    ~TLanguageFile();

    const std::string& Path() const { return path_; }
    // The caption stored under Key in Section (names match in any case), as UTF-8;
    // Current when the file has no such key, so that a partial file leaves the captions
    // it does not name as they are.
    std::string Caption(const std::string& Section, const std::string& Key,
                        const std::string& Current) const;
    // The caption stored under Key in Section, as UTF-8; nothing when the file has no
    // such key.
    std::optional<std::string> Find(const std::string& Section, const std::string& Key) const;

private:
    struct TNameOrder {
        bool operator()(const std::pair<std::string, std::string>& A,
                        const std::pair<std::string, std::string>& B) const;
    };

    std::string path_;
    // The value of each key, as the file holds it, by section and key name.
    std::map<std::pair<std::string, std::string>, std::string, TNameOrder> values_;
    bool utf8_ = true;
};

// What one key of a language file retitles when the language is loaded.
enum class TLanguageTarget { Caption, Hint };
struct TLanguageRead {
    const char* Section;
    const char* Key;
    const char* Control;       // the control or menu item whose caption the key sets
    const char* Also;          // a second control set from the same text, or nullptr
    TLanguageTarget AlsoTarget;
};
// The keys the loader reads, in reading order (73 reads; "mnuInsert" is read twice,
// once for the menu and once for the side-pane page "tInsert").
std::span<const TLanguageRead> LanguageReads();

// A pop-up menu item and the main-menu item whose caption it copies after the
// MainForm keys have been read.
struct TPopupCaptionCopy {
    const char* Popup;
    const char* MenuItem;
};
std::span<const TPopupCaptionCopy> PopupCaptionCopies();

// The save prompt's text: the key SaveFile of the section Messages of the language file
// at Path, or "Save file?" when the file or the key is missing.
std::string SaveFilePromptText(const std::string& LanguagePath);

// One entry of the language menu: the name shown (the file name up to its first '_')
// and the full path of the file it loads.
struct TLanguageEntry {
    std::string Caption;
    std::string Path;
};
// The language a file is for: its file name up to the first '_' ("Russian" for
// ".../languages/Russian_lang.dat").
std::string LanguageNameOf(const std::string& Path);
// The files "*_lang.dat" of Folder (normally the program's folder followed by
// "languages"), in name order.
std::vector<TLanguageEntry> FindLanguageFiles(const std::string& Folder);
