// Directory search with classic wildcard masks, and the current folder.
#include "platform/files/FindFiles.h"

#include <QString>

#include "platform/runtime/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Folded(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toCaseFolded();
}

// '*' and '?' over already folded strings. Backtracks only to the last '*', so the
// time stays proportional to name length times mask length.
bool Glob(const QString& name, const QString& mask)
{
    qsizetype n = 0;
    qsizetype m = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = n;
        } else if (m < mask.size() && (mask[m] == u'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (star >= 0) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

std::string_view Trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

enum class TEntryKind { File, Folder };

bool IsKind(const std::string& path, TEntryKind kind)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    return kind == TEntryKind::File ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode);
}

void SortByName(std::vector<std::string>& names)
{
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(Folded(name), std::move(name));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int byLetters = a.first.compare(b.first);
        return byLetters != 0 ? byLetters < 0 : a.second < b.second;
    });
    names.clear();
    for (auto& entry : keyed)
        names.push_back(std::move(entry.second));
}

// The visible entries of folder of one kind whose names pass the filter, sorted.
template <class Filter>
std::vector<std::string> ListFolder(const std::string& folder, TEntryKind kind, Filter&& accept)
{
    std::vector<std::string> names;
    const std::string base = folder.empty() ? std::string(".") : folder;
    if (NameHoldsNul(base))
        return names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(base.c_str()), &closedir);
    if (!dir)
        return names;
    const std::string prefix = base.back() == '/' ? base : base + '/';
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.empty() || name.front() == '.')
            continue;
        if (accept(name) && IsKind(prefix + name, kind))
            names.push_back(name);
    }
    SortByName(names);
    return names;
}

}  // namespace

bool MatchesMask(std::string_view Name, std::string_view Mask)
{
    const QString name = Folded(Name);
    const QString mask = Folded(Mask);
    if (Glob(name, mask))
        return true;
    // "name.*" also stands for the bare name.
    return mask.endsWith(u".*") && !name.contains(u'.') && Glob(name, mask.chopped(2));
}

std::vector<std::string> SplitMaskList(std::string_view MaskList)
{
    std::vector<std::string> masks;
    while (true) {
        const std::size_t end = MaskList.find(';');
        const std::string_view mask = Trimmed(MaskList.substr(0, end));
        if (!mask.empty())
            masks.emplace_back(mask);
        if (end == std::string_view::npos)
            return masks;
        MaskList.remove_prefix(end + 1);
    }
}

bool MatchesMaskList(std::string_view Name, std::string_view MaskList)
{
    const std::vector<std::string> masks = SplitMaskList(MaskList);
    return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return MatchesMask(Name, mask); });
}

std::vector<std::string> FindFiles(const std::string& Folder, const std::string& MaskList)
{
    const std::vector<std::string> masks = SplitMaskList(MaskList);
    return ListFolder(Folder, TEntryKind::File, [&](const std::string& name) {
        return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return MatchesMask(name, mask); });
    });
}

std::vector<std::string> FindFolders(const std::string& Folder)
{
    return ListFolder(Folder, TEntryKind::Folder, [](const std::string&) { return true; });
}

std::string GetCurrentDir()
{
    std::string buffer(256, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

bool SetCurrentDir(const std::string& Dir)
{
    return !Dir.empty() && !NameHoldsNul(Dir) && chdir(Dir.c_str()) == 0;
}
