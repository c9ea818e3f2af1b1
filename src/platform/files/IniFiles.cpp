// INI files: the file is held as its lines, each with its own line end, so that an
// edit rewrites the file with every untouched line exactly as it was.
#include "platform/files/IniFiles.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

std::atomic<std::uint64_t> linesLookedAt{0};

// The byte-order mark some editors put before UTF-8 text: kept, and not part of a name.
const std::string byteOrderMark = "\xEF\xBB\xBF";

enum class TLineKind { Other, Section, Key };

struct TLine {
    std::string Text;
    std::string End;  // "\r\n", "\n", "\r" or "" for a last line without one
    TLineKind Kind = TLineKind::Other;
    std::string Name;  // section or key name, trimmed
};

TLine ParseLine(std::string Text, std::string End)
{
    TLine line{std::move(Text), std::move(End), TLineKind::Other, {}};
    const std::string trimmed = Trim(line.Text);
    if (trimmed.empty() || trimmed[0] == ';')
        return line;
    if (trimmed[0] == '[') {
        const auto close = trimmed.find(']');
        line.Kind = TLineKind::Section;
        line.Name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    const auto equals = line.Text.find('=');
    if (equals != std::string::npos) {
        line.Kind = TLineKind::Key;
        line.Name = Trim(line.Text.substr(0, equals));
    }
    return line;
}

std::string RawValue(const TLine& Line)
{
    return Line.Text.substr(Line.Text.find('=') + 1);
}

// What a reader gets from a value as written in the file.
std::string Unquote(const std::string& Raw)
{
    std::string value = Trim(Raw);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

// How a value is written so that reading gives it back unchanged: in quotes when its
// ends would otherwise be trimmed or unquoted.
std::string QuoteForFile(const std::string& Value)
{
    return Unquote(Value) == Value ? Value : "\"" + Value + "\"";
}

bool HasLineBreak(const std::string& S)
{
    return S.find_first_of("\r\n") != std::string::npos;
}

struct TFileStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};
    timespec Changed{};

    // Only a file that is not there reads as empty: one whose status cannot be read
    // raises EFOpenError, so that it is never written over as if it held nothing.
    static TFileStamp Of(const std::string& FileName)
    {
        TFileStamp stamp;
        CheckFileName(FileName, fmOpenRead);
        struct stat info {};
        if (FileCalls().FStatAt(AT_FDCWD, FileName.c_str(), &info, 0) == 0)
            return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
        if (errno != ENOENT)
            throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
        return stamp;
    }

    bool operator==(const TFileStamp& Other) const
    {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return Exists == Other.Exists && Device == Other.Device && Inode == Other.Inode &&
               Size == Other.Size && same(Modified, Other.Modified) && same(Changed, Other.Changed);
    }
};

}  // namespace

class TIniFile::TContent {
public:
    std::vector<TLine> Lines;
    TFileStamp Stamp;
    std::string Mark;  // a byte-order mark the file begins with, or ""

    void Parse(const std::string& Bytes)
    {
        Lines.clear();
        Mark = Bytes.compare(0, byteOrderMark.size(), byteOrderMark) == 0 ? byteOrderMark : "";
        std::size_t start = Mark.size();
        while (start < Bytes.size()) {
            std::size_t end = Bytes.find_first_of("\r\n", start);
            if (end == std::string::npos) {
                Lines.push_back(ParseLine(Bytes.substr(start), ""));
                break;
            }
            const std::size_t endLength = Bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
            Lines.push_back(ParseLine(Bytes.substr(start, end - start), Bytes.substr(end, endLength)));
            start = end + endLength;
        }
    }

    std::string Bytes() const
    {
        std::string bytes = Mark;
        for (const TLine& line : Lines)
            bytes += line.Text + line.End;
        return bytes;
    }

    // The line end new lines get: the file's own, LF for a new file.
    std::string LineEnd() const
    {
        for (const TLine& line : Lines) {
            if (!line.End.empty())
                return line.End;
        }
        return "\n";
    }

    // Index of the first header of Section, or -1.
    int FindSection(const std::string& Section) const
    {
        for (std::size_t i = 0; i < Lines.size(); ++i) {
            ++linesLookedAt;
            if (Lines[i].Kind == TLineKind::Section && AnsiSameText(Lines[i].Name, Section))
                return static_cast<int>(i);
        }
        return -1;
    }

    // One past the last line of the section whose header is at Header.
    int SectionEnd(int Header) const
    {
        std::size_t i = static_cast<std::size_t>(Header) + 1;
        while (i < Lines.size() && Lines[i].Kind != TLineKind::Section) {
            ++linesLookedAt;
            ++i;
        }
        return static_cast<int>(i);
    }

    // Index of the first line of Key in the first Section, or -1.
    int FindKey(const std::string& Section, const std::string& Key) const
    {
        const int header = FindSection(Section);
        if (header < 0)
            return -1;
        // Up to the next section header: the lines are looked at once each.
        for (std::size_t i = static_cast<std::size_t>(header) + 1;
             i < Lines.size() && Lines[i].Kind != TLineKind::Section; ++i) {
            ++linesLookedAt;
            if (Lines[i].Kind == TLineKind::Key && AnsiSameText(Lines[i].Name, Key))
                return static_cast<int>(i);
        }
        return -1;
    }

    // The first line of each distinct key name of the first Section, in file order.
    std::vector<int> FirstKeys(const std::string& Section) const
    {
        std::vector<int> keys;
        const int header = FindSection(Section);
        if (header < 0)
            return keys;
        const auto before = [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; };
        std::set<std::string, decltype(before)> seen(before);
        const int end = SectionEnd(header);
        for (int i = header + 1; i < end; ++i) {
            if (Lines[i].Kind == TLineKind::Key && seen.insert(Lines[i].Name).second)
                keys.push_back(i);
        }
        return keys;
    }

    // The distinct key names of the first Section, in file order, first spelling.
    std::vector<std::string> KeyNames(const std::string& Section) const
    {
        std::vector<std::string> names;
        for (const int line : FirstKeys(Section))
            names.push_back(Lines[line].Name);
        return names;
    }

    void EndLastLine()
    {
        if (!Lines.empty() && Lines.back().End.empty())
            Lines.back().End = LineEnd();
    }

    // A new line takes the line end of the line it follows. In a file that mixes line
    // ends another choice could put an LF right after a lone CR, and the two would be
    // read back as one CR LF, swallowing an empty line.
    void Set(const std::string& Section, const std::string& Key, const std::string& Value)
    {
        const int existing = FindKey(Section, Key);
        if (existing >= 0) {
            Lines[existing] = ParseLine(Lines[existing].Name + "=" + Value, Lines[existing].End);
            return;
        }
        const std::string end = LineEnd();
        int header = FindSection(Section);
        if (header < 0) {
            EndLastLine();
            if (!Lines.empty() && !Trim(Lines.back().Text).empty())
                Lines.push_back(ParseLine("", Lines.back().End));
            Lines.push_back(ParseLine("[" + Section + "]", end));
            header = static_cast<int>(Lines.size()) - 1;
        }
        int after = header;
        const int sectionEnd = SectionEnd(header);
        for (int i = header + 1; i < sectionEnd; ++i) {
            if (Lines[i].Kind == TLineKind::Key)
                after = i;
        }
        if (after == static_cast<int>(Lines.size()) - 1)
            EndLastLine();
        Lines.insert(Lines.begin() + after + 1, ParseLine(Key + "=" + Value, Lines[after].End));
    }
};

TIniFile::TIniFile(const std::string& FileName) : fileName_(FileName) {}

TIniFile::~TIniFile() = default;

TIniFile::TContent& TIniFile::Current()
{
    const TFileStamp stamp = TFileStamp::Of(fileName_);
    if (content_ && content_->Stamp == stamp)
        return *content_;
    auto content = std::make_unique<TContent>();
    if (stamp.Exists)
        content->Parse(ReadFileBytes(fileName_));
    content->Stamp = stamp;
    content_ = std::move(content);
    return *content_;
}

void TIniFile::Store()
{
    try {
        SafeWriteFile(fileName_, content_->Bytes());
        content_->Stamp = TFileStamp::Of(fileName_);
    } catch (...) {
        content_.reset();  // read the file again before anything else
        throw;
    }
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default)
{
    const TContent& content = Current();
    const int line = content.FindKey(Trim(Section), Trim(Ident));
    return line < 0 ? Default : Unquote(RawValue(content.Lines[line]));
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value)
{
    WriteStrings(Section, {{Ident, Value}});
}

void TIniFile::WriteStrings(const std::string& Section, const TKeyValues& Values)
{
    const std::string section = Trim(Section);
    if (HasLineBreak(section) || section.find(']') != std::string::npos)
        throw EIniFileException("Invalid section name \"" + Section + "\" for \"" + fileName_ + "\"");
    for (const auto& [ident, value] : Values) {
        const std::string key = Trim(ident);
        if (key.empty() || HasLineBreak(key) || key.find('=') != std::string::npos || key[0] == '[' ||
            key[0] == ';')
            throw EIniFileException("Invalid key name \"" + ident + "\" for \"" + fileName_ + "\"");
        if (HasLineBreak(value))
            throw EIniFileException("A value for \"" + fileName_ + "\" cannot hold a line break");
    }

    TContent& content = Current();
    const std::string before = content.Bytes();
    for (const auto& [ident, value] : Values)
        content.Set(section, Trim(ident), QuoteForFile(value));
    if (content.Bytes() != before)
        Store();
}

Integer TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, Integer Default)
{
    Integer value = 0;
    return TryStrToInt(ReadString(Section, Ident, ""), value) ? value : Default;
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, Integer Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings)
{
    const auto names = Current().KeyNames(Trim(Section));
    Strings->BeginUpdate();
    Strings->Clear();
    for (const std::string& name : names)
        Strings->Add(name);
    Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings)
{
    const TContent& content = Current();
    const auto before = [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; };
    std::set<std::string, decltype(before)> seen(before);
    Strings->BeginUpdate();
    Strings->Clear();
    for (const TLine& line : content.Lines) {
        if (line.Kind == TLineKind::Section && seen.insert(line.Name).second)
            Strings->Add(line.Name);
    }
    Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings)
{
    const TContent& content = Current();
    const std::string section = Trim(Section);
    Strings->BeginUpdate();
    Strings->Clear();
    for (const int line : content.FirstKeys(section))
        Strings->Add(content.Lines[line].Name + "=" + Unquote(RawValue(content.Lines[line])));
    Strings->EndUpdate();
}

void TIniFile::EraseSection(const std::string& Section)
{
    TContent& content = Current();
    const std::string section = Trim(Section);
    bool erased = false;
    for (int header = content.FindSection(section); header >= 0; header = content.FindSection(section)) {
        content.Lines.erase(content.Lines.begin() + header,
                            content.Lines.begin() + content.SectionEnd(header));
        erased = true;
    }
    if (erased)
        Store();
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    TContent& content = Current();
    bool deleted = false;
    for (int line = content.FindKey(Trim(Section), Trim(Ident)); line >= 0;
         line = content.FindKey(Trim(Section), Trim(Ident))) {
        content.Lines.erase(content.Lines.begin() + line);
        deleted = true;
    }
    if (deleted)
        Store();
}

bool TIniFile::SectionExists(const std::string& Section)
{
    return Current().FindSection(Trim(Section)) >= 0;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident)
{
    return Current().FindKey(Trim(Section), Trim(Ident)) >= 0;
}

std::uint64_t IniLinesLookedAt()
{
    return linesLookedAt.load();
}
