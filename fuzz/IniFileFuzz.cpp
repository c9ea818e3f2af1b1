// Arbitrary bytes as an INI file: every section and key is read, then three writes are
// made (an existing key, a new key in an existing section, a new section). After each
// write the file must hold every other line exactly as before, and a fresh reader must
// see the written values and every other value unchanged.
#include "platform/files/IniFiles.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "IniFileFuzz: check at line %d failed\n", line);
        std::abort();
    }
}

#define Check(condition) CheckAt((condition), __LINE__)

// A value that only survives when the writer quotes it.
const std::string kValue = " spaced 'v' \"q\" ";

// The file every run writes; in memory where possible, since each write is synced. It
// goes when the fuzzer exits.
struct TFuzzFile {
    std::string Name;
    TFuzzFile()
    {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        Name = std::string(folder) + "/qv-inifuzz-" + std::to_string(getpid()) + ".ini";
    }
    ~TFuzzFile() { unlink(Name.c_str()); }
};

std::string ReadFile(const std::string& name)
{
    TMemoryStream stream;
    stream.LoadFromFile(name);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// The file's lines, each with its own line end.
std::vector<std::string> LinesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        end += bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string WithoutEnd(const std::string& line)
{
    const std::size_t end = line.find_first_of("\r\n");
    return end == std::string::npos ? line : line.substr(0, end);
}

// The lines with a line end added to the last one, as a writer appending after it adds
// it: the file's own line end, LF when it has none.
std::vector<std::string> WithLastLineEnded(std::vector<std::string> lines)
{
    if (lines.empty() || WithoutEnd(lines.back()) != lines.back())
        return lines;
    std::string end = "\n";
    for (const std::string& line : lines) {
        if (line != WithoutEnd(line)) {
            end = line.substr(WithoutEnd(line).size());
            break;
        }
    }
    lines.back() += end;
    return lines;
}

// After is Before with exactly one line inserted somewhere.
bool OneLineInserted(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    if (after.size() != before.size() + 1)
        return false;
    std::size_t at = 0;
    while (at < before.size() && before[at] == after[at])
        ++at;
    for (std::size_t i = at; i < before.size(); ++i) {
        if (before[i] != after[i + 1])
            return false;
    }
    return true;
}

using TValues = std::map<std::pair<std::string, std::string>, std::string>;

// Every section and key the reader sees, with its value.
TValues ReadAll(TIniFile& ini)
{
    TValues values;
    TStringList sections;
    ini.ReadSections(&sections);
    for (int s = 0; s < sections.Count(); ++s) {
        TStringList keys;
        TStringList pairs;
        ini.ReadSection(sections.Strings(s), &keys);
        ini.ReadSectionValues(sections.Strings(s), &pairs);
        Check(ini.SectionExists(sections.Strings(s)));
        Check(keys.Count() == pairs.Count());
        for (int k = 0; k < keys.Count(); ++k) {
            const std::string value = ini.ReadString(sections.Strings(s), keys.Strings(k), "\x01");
            Check(ini.ValueExists(sections.Strings(s), keys.Strings(k)));
            Check(pairs.Strings(k) == keys.Strings(k) + "=" + value);
            ini.ReadInteger(sections.Strings(s), keys.Strings(k), 0);
            values[{sections.Strings(s), keys.Strings(k)}] = value;
        }
    }
    return values;
}

// Writes one value and checks the file and what a fresh reader sees.
void WriteAndCheck(const std::string& fileName, const std::string& section, const std::string& key,
                   TValues& expected, bool newSection)
{
    const std::vector<std::string> before = LinesOf(ReadFile(fileName));
    const bool existing = expected.count({section, key}) != 0;
    {
        TIniFile ini(fileName);
        ini.WriteString(section, key, kValue);
    }
    const std::vector<std::string> after = LinesOf(ReadFile(fileName));
    if (existing) {
        // One line rewritten in place, its line end kept.
        Check(after.size() == before.size());
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i] != after[i]) {
                ++changed;
                Check(before[i].size() - WithoutEnd(before[i]).size() ==
                      after[i].size() - WithoutEnd(after[i]).size());
            }
        }
        Check(changed <= 1);
    } else if (newSection) {
        // Appended: perhaps a blank line, the header, the key.
        const std::vector<std::string> ended = WithLastLineEnded(before);
        Check(after.size() >= ended.size() + 2 && after.size() <= ended.size() + 3);
        Check(std::equal(ended.begin(), ended.end(), after.begin()));
        Check(WithoutEnd(after[after.size() - 2]) == "[" + section + "]");
    } else {
        // One line inserted after the section's last key; the last line gains a line
        // end when the new one goes after it.
        Check(OneLineInserted(before, after) || OneLineInserted(WithLastLineEnded(before), after));
    }
    expected[{section, key}] = kValue;
    TIniFile fresh(fileName);
    Check(fresh.ReadString(section, key, "") == kValue);
    for (const auto& [where, value] : expected)
        Check(fresh.ReadString(where.first, where.second, "\x01") == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TFuzzFile file;
    const std::string& fileName = file.Name;
    SafeWriteFile(fileName, std::string(reinterpret_cast<const char*>(data), size));

    TValues values;
    std::string firstSection;
    bool haveSection = false;
    {
        TIniFile ini(fileName);
        values = ReadAll(ini);
        TStringList sections;
        ini.ReadSections(&sections);
        if (sections.Count() > 0) {
            firstSection = sections.Strings(0);
            haveSection = true;
        }
    }

    // An existing key (the first one with a name a writer accepts).
    for (const auto& entry : values) {
        if (!entry.first.second.empty()) {
            WriteAndCheck(fileName, entry.first.first, entry.first.second, values, false);
            break;
        }
    }
    // A new key in the first section, and a new section.
    if (haveSection) {
        TIniFile ini(fileName);
        std::string key = "FuzzKey";
        while (ini.ValueExists(firstSection, key))
            key += "x";
        WriteAndCheck(fileName, firstSection, key, values, false);
    }
    {
        TIniFile ini(fileName);
        std::string section = "FuzzSection";
        while (ini.SectionExists(section))
            section += "x";
        WriteAndCheck(fileName, section, "Key", values, true);
    }
    return 0;
}
