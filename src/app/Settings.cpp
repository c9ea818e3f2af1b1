#include "app/Settings.h"

#include "platform/runtime/Exceptions.h"
#include "platform/files/IniFiles.h"

namespace {

const std::string section = "Settings";

std::string RecentKey(int n)
{
    return "RecentFile" + std::to_string(n);
}

// Runs one read or write of the file; a failure gives Fallback and sets Failed.
template <typename T, typename Action>
T Attempt(bool& Failed, T Fallback, Action action)
{
    try {
        return action();
    } catch (const Exception&) {
        Failed = true;
        return Fallback;
    }
}

}  // namespace

TSettingsFile::TSettingsFile(const std::string& Folder)
    : folder_(IncludeTrailingPathDelimiter(Folder)),
      fileName_(folder_ + "settings.ini"),
      ini_(std::make_unique<TIniFile>(fileName_))
{
}

TSettingsFile::~TSettingsFile() = default;

std::string TSettingsFile::ReadString(const std::string& Key, const std::string& Default)
{
    return Attempt(failed_, Default, [&] { return ini_->ReadString(section, Key, Default); });
}

bool TSettingsFile::ReadBool(const std::string& Key, bool Default)
{
    return Attempt(failed_, Default, [&] { return ini_->ReadBool(section, Key, Default); });
}

bool TSettingsFile::WriteString(const std::string& Key, const std::string& Value)
{
    return Attempt(failed_, false, [&] {
        ini_->WriteString(section, Key, Value);
        return true;
    });
}

bool TSettingsFile::WriteBool(const std::string& Key, bool Value)
{
    return Attempt(failed_, false, [&] {
        ini_->WriteBool(section, Key, Value);
        return true;
    });
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
    // The first failure ends the writing: the others would fail the same way.
    return WriteBool("ShowTools", ShowTools) && WriteBool("ShowMenu", ShowMenu) &&
           WriteString("Language", Language);
}

TRecentFiles TSettingsFile::AddRecentFile(const std::string& Path)
{
    bool written = true;
    for (int n = RecentFileCount; n > 1 && written; --n)
        written = WriteString(RecentKey(n), RecentFile(n - 1));
    if (written)
        WriteString(RecentKey(1), Path);
    return RecentFiles();
}

std::optional<std::string> TSettingsErrorReport::Take(const TSettingsFile& Settings)
{
    if (!Settings.Failed() || told_)
        return std::nullopt;
    told_ = true;
    return "Error opening the \"settings.ini\" file!";
}
