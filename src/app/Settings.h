// The file settings.ini in the program's folder: the side pane and toolbar switches, the
// language file in use and the list of the five most recently opened files, all in the
// section "Settings". Every read and write goes straight to the file, so two copies of
// the program see each other's writes.
//
// Nothing here raises: a file that cannot be read reads as defaults and is never written
// over, a write that fails is dropped, and either marks the object as failed so that the
// window can tell the user (once per run, through TSettingsErrorReport, with the file's
// path and the reason) and still close.
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TIniFile;

constexpr int RecentFileCount = 5;
using TRecentFiles = std::array<std::string, RecentFileCount>;  // newest first

class TSettingsFile {
public:
    // The settings of the program whose folder is Folder.
    explicit TSettingsFile(const std::string& Folder = ProgramDir());
    ~TSettingsFile();

    const std::string& FileName() const { return fileName_; }
    // True once a read or write of this object has failed.
    bool Failed() const { return failed_; }
    // What the first failure was: which file, what was done, the system's reason and
    // what state the file is in. "" while nothing failed.
    const std::string& Failure() const { return failure_; }

    // Entry N (1 to 5) of the recent-file list; "" when missing.
    std::string RecentFile(int N);
    TRecentFiles RecentFiles();
    bool ShowTools();         // true when missing
    bool ShowMenu();          // true when missing
    std::string Language();   // Folder + "languages/English_lang.dat" when missing

    // What the window writes when it closes, in one write; false when it failed.
    bool WriteOnClose(bool ShowTools, bool ShowMenu, const std::string& Language);
    // Puts Path on top of the recent-file list: each entry moves down one place, the
    // fifth is dropped, and a path already listed is listed again, in one write of the
    // file. Returns the five entries as the file holds them afterwards.
    TRecentFiles AddRecentFile(const std::string& Path);

private:
    std::string ReadString(const std::string& Key, const std::string& Default);
    bool ReadBool(const std::string& Key, bool Default);
    // The keys and values in one write of the file: all or, when it fails, none.
    bool WriteStrings(const std::vector<std::pair<std::string, std::string>>& Values);
    void Fail(const std::string& What);
    void FailedRead(const Exception& Error);
    void FailedWrite(const std::string& Reason);

    std::string folder_;
    std::string fileName_;
    std::unique_ptr<TIniFile> ini_;
    bool failed_ = false;
    int failures_ = 0;
    std::string failure_;
};

// The window keeps one of these for the whole run, so that a settings failure is told
// once and not at every later read or write.
class TSettingsErrorReport {
public:
    // Settings' first failure when it failed and nothing was told yet in this run;
    // nothing otherwise.
    std::optional<std::string> Take(const TSettingsFile& Settings);

private:
    bool told_ = false;
};
