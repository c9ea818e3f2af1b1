// INI files read and written the way the Windows profile functions do it: section and
// key names match case-insensitively, a missing file reads as empty, and every write
// goes to the disk at once, keeping every other line of the file as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

// Raised for a section, key or value that the file could not hold as given (a line
// break inside it, an '=' in a key). Failed saves raise the safe writer's errors.
QV_DECLARE_EXCEPTION(EIniFileException, Exception);

// File format: "[Section]" lines, then "key=value" lines; lines starting with ';' are
// comments. Blanks around names and values are ignored and one pair of surrounding
// double or single quotes is removed from a value. When a section or key appears more
// than once, the first one counts. The file is read again whenever it changed on disk,
// so writes by another process are seen; a file that exists but cannot be read, or whose
// status cannot be read, raises EFOpenError, and a write to it changes nothing. A UTF-8
// byte-order mark at its start is kept and not read as part of the first line. New lines take the file's own line end (LF in a new file); a value that
// reading would alter (blanks at its ends, surrounding quotes) is written in quotes.
class TIniFile : public TObject {
public:
    explicit TIniFile(const std::string& FileName);
    ~TIniFile() override;

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    // Several keys of one section in one write of the file: all of them or, when one is
    // invalid or the write fails, none.
    using TKeyValues = std::vector<std::pair<std::string, std::string>>;
    void WriteStrings(const std::string& Section, const TKeyValues& Values);
    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; anything else
    // (or a value outside 32 bits) reads as Default.
    Integer ReadInteger(const std::string& Section, const std::string& Ident, Integer Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, Integer Value);
    // Stored as 1 or 0; any integer other than 0 reads as true.
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

    void ReadSection(const std::string& Section, TStrings* Strings);        // key names
    void ReadSections(TStrings* Strings);                                   // section names
    void ReadSectionValues(const std::string& Section, TStrings* Strings);  // name=value
    void EraseSection(const std::string& Section);  // every occurrence, with its lines
    void DeleteKey(const std::string& Section, const std::string& Ident);
    bool SectionExists(const std::string& Section);
    bool ValueExists(const std::string& Section, const std::string& Ident);
    void UpdateFile() {}  // writes are never held back

private:
    class TContent;
    TContent& Current();  // the file's lines, read again when the file changed
    void Store();         // writes the lines back through the safe writer

    std::string fileName_;
    std::unique_ptr<TContent> content_;
};

// How many lines the lookups of every INI file of this process have looked at so far:
// a lookup's cost is the lines it passes, once each.
std::uint64_t IniLinesLookedAt();
