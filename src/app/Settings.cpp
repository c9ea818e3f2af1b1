#include "app/Settings.h"

#include "platform/runtime/Exceptions.h"
#include "platform/files/IniFiles.h"

namespace {

const std::string section = "Settings";

std::string RecentKey(int n)
{
    return "RecentFile" + std::to_string(n);
}

bool HasLineBreak(const std::string& S)
{
    return S.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

TSettingsFile::TSettingsFile(const std::string& Folder)
    : folder_(IncludeTrailingPathDelimiter(Folder)),
      fileName_(folder_ + "settings.ini"),
      ini_(std::make_unique<TIniFile>(fileName_))
{
}

TSettingsFile::~TSettingsFile() = default;

void TSettingsFile::Fail(const std::string& What)
{
    if (!failed_)
        failure_ = What;
    failed_ = true;
    ++failures_;
}

void TSettingsFile::FailedRead(const Exception& Error)
{
    Fail("Error reading the settings file \"" + fileName_ + "\": " + Error.Message() +
         ". The default settings are used, and the file is left as it is.");
}

void TSettingsFile::FailedWrite(const std::string& Reason)
{
    Fail("Error writing the settings file \"" + fileName_ + "\": " + Reason +
         ". The file keeps the settings it had.");
}

std::string TSettingsFile::ReadString(const std::string& Key, const std::string& Default)
{
    try {
        return ini_->ReadString(section, Key, Default);
    } catch (const Exception& e) {
        FailedRead(e);
        return Default;
    }
}

bool TSettingsFile::ReadBool(const std::string& Key, bool Default)
{
    try {
        return ini_->ReadBool(section, Key, Default);
    } catch (const Exception& e) {
        FailedRead(e);
        return Default;
    }
}

bool TSettingsFile::WriteStrings(const std::vector<std::pair<std::string, std::string>>& Values)
{
    try {
        ini_->WriteStrings(section, Values);
        return true;
    } catch (const Exception& e) {
        FailedWrite(e.Message());
        return false;
    }
}

std::string TSettingsFile::RecentFile(int N)
{
    return ReadString(RecentKey(N), "");
}

TRecentFiles TSettingsFile::RecentFiles()
{
    TRecentFiles entries;
    for (int n = 1; n <= RecentFileCount; ++n)
        entries[static_cast<std::size_t>(n - 1)] = RecentFile(n);
    return entries;
}

bool TSettingsFile::ShowTools()
{
    return ReadBool("ShowTools", true);
}

bool TSettingsFile::ShowMenu()
{
    return ReadBool("ShowMenu", true);
}

std::string TSettingsFile::Language()
{
    return ReadString("Language", folder_ + "languages/English_lang.dat");
}

bool TSettingsFile::WriteOnClose(bool ShowTools, bool ShowMenu, const std::string& Language)
{
    return WriteStrings({{"ShowTools", ShowTools ? "1" : "0"}, {"ShowMenu", ShowMenu ? "1" : "0"},
                         {"Language", Language}});
}

TRecentFiles TSettingsFile::AddRecentFile(const std::string& Path)
{
    // The file cannot hold a line break in a value: such a name is refused before the
    // list moves.
    if (HasLineBreak(Path)) {
        FailedWrite("the file name \"" + Path + "\" holds a line break, which the file cannot hold");
        return RecentFiles();
    }
    // An entry that could not be read is not written down as empty.
    const int failuresBefore = failures_;
    const TRecentFiles before = RecentFiles();
    if (failures_ != failuresBefore)
        return before;
    std::vector<std::pair<std::string, std::string>> moved;
    for (int n = RecentFileCount; n > 1; --n)
        moved.emplace_back(RecentKey(n), before[static_cast<std::size_t>(n - 2)]);
    moved.emplace_back(RecentKey(1), Path);
    WriteStrings(moved);
    return RecentFiles();
}

std::optional<std::string> TSettingsErrorReport::Take(const TSettingsFile& Settings)
{
    if (!Settings.Failed() || told_)
        return std::nullopt;
    told_ = true;
    return Settings.Failure();
}
