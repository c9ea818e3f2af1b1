// Run-time helpers over 8-bit strings: 1-based string functions, number and date
// conversion, a type-safe Format, case conversion and file-name helpers.
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// ---- 1-based string functions ------------------------------------------------------
// Index and count are clamped as the class library does.

// An index below 1 counts as 1; past the end, or a count below 1, gives "".
std::string Copy(std::string_view s, Int64 index, Int64 count);
// Position (1-based) of the first occurrence of sub in s; 0 when absent or sub is empty.
Integer Pos(std::string_view sub, std::string_view s);
// Removes up to count bytes from index on; an index outside 1..length or a count below 1
// changes nothing.
void Delete(std::string& s, Int64 index, Int64 count);
// Inserts sub before position index; an index below 1 inserts at the front, one past the
// end or more appends.
void Insert(std::string_view sub, std::string& s, Int64 index);

// Remove bytes <= ' ' (blanks and control characters) at the ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string StringOfChar(char ch, Int64 count);  // "" for a count below 1

// ---- Numbers -----------------------------------------------------------------------------

std::string IntToStr(Int64 value);
// Upper-case hexadecimal with at least 'digits' digits; negatives show their two's
// complement in 64 bits (the class library's Int64 form).
std::string IntToHex(Int64 value, Integer digits);

// Leading blanks, an optional sign, then decimal digits or "$", "0x", "0X" and hexadecimal
// digits. Hexadecimal values run up to $FFFFFFFF and wrap into Integer ("$FFFFFFFF" is -1);
// decimal values must lie within Integer. Anything else (empty text, trailing blanks, other
// characters) raises EConvertError "'text' is not a valid integer value".
Integer StrToInt(std::string_view s);
Integer StrToIntDef(std::string_view s, Integer fallback);
bool TryStrToInt(std::string_view s, Integer& value);

// ---- Format ------------------------------------------------------------------------------

// One argument of Format: an integer, a string or a character.
class TFormatArg {
public:
    enum class TKind { Signed, Unsigned, String, Char };

    template <std::signed_integral T>
        requires(!std::same_as<T, char>)
    TFormatArg(T v) : kind_(TKind::Signed), int_(static_cast<Int64>(v))
    {
    }
    template <std::unsigned_integral T>
        requires(!std::same_as<T, bool>)
    TFormatArg(T v) : kind_(TKind::Unsigned), uint_(static_cast<std::uint64_t>(v))
    {
    }
    TFormatArg(char c) : kind_(TKind::Char), char_(c) {}
    TFormatArg(const char* s) : kind_(TKind::String), str_(s ? s : "") {}
    TFormatArg(const std::string& s) : kind_(TKind::String), str_(s) {}
    TFormatArg(std::string_view s) : kind_(TKind::String), str_(s) {}

    TKind Kind() const { return kind_; }
    Int64 AsSigned() const { return int_; }
    std::uint64_t AsUnsigned() const { return uint_; }
    std::string_view AsString() const { return str_; }
    char AsChar() const { return char_; }

private:
    TKind kind_;
    Int64 int_ = 0;
    std::uint64_t uint_ = 0;
    std::string_view str_;
    char char_ = 0;
};

// printf-style formatting of the conversions %d %i %u %x %X %s %c and %% with the flags
// '-' (left-justify) and '0' (zero padding), a width and a precision ("." digits: minimum
// digits for numbers, maximum bytes for %s). %x and %X show the value's unsigned 32-bit
// form (so -1 is "ffffffff") unless it does not fit in 32 bits. A conversion that does not
// match its argument, a missing argument or an unknown conversion raises EConvertError.
// The arguments must outlive the call (they are read, not copied).
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);

// ---- Case and comparison -------------------------------------------------------------

// ASCII only: other bytes stay as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Through the current ANSI code page's case tables.
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);

// -1, 0 or 1. CompareStr compares bytes (unsigned); CompareText folds ASCII letters.
// The Ansi forms order by the Unicode values of the characters folded to lower case
// through the code page; AnsiCompareStr then tells texts that differ only in case apart,
// lower case first ("a" < "A" < "b").
Integer CompareStr(std::string_view a, std::string_view b);
Integer CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
Integer AnsiCompareStr(std::string_view a, std::string_view b);
Integer AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;

// Replaces the first (or, with rfReplaceAll, every) occurrence of oldPattern; with
// rfIgnoreCase the search folds case through the code page. An empty pattern changes
// nothing.
std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags);

// ---- Date and time -------------------------------------------------------------------------

// Days since 1899-12-30 00:00; the fraction is the time of day.
using TDateTime = double;

TDateTime EncodeDate(Word year, Word month, Word day);
TDateTime EncodeTime(Word hour, Word minute, Word second, Word msec);
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
void DecodeTime(TDateTime value, Word& hour, Word& minute, Word& second, Word& msec);
TDateTime Now();   // local time
TDateTime Date();  // today, local, at midnight

// The short date and long time formats of DateToStr and TimeToStr, process-wide, in
// these tokens (letters in any case): d, dd day; m, mm month (minutes right after an
// hour token); yy, yyyy year; h, hh hour; n, nn minute; s, ss second; am/pm shows "am"
// or "pm" in the token's case and makes the hours count 1 to 12. Text in double or
// single quotes and every other byte are copied as they stand; the bytes are in the
// ANSI code page. The formats start as the locale's date and time formats (LC_ALL,
// LC_TIME, LANG), translated from the C library's, and fall back to "dd.mm.yyyy" and
// "hh:nn:ss" for the C locale or one that cannot be translated or shown in the ANSI
// code page. Safe to call from any thread.
std::string ShortDateFormat();
void SetShortDateFormat(std::string_view format);
std::string LongTimeFormat();
void SetLongTimeFormat(std::string_view format);
// The formats above made from a C library date or time format ("%d.%m.%Y"); "" when it
// holds a conversion that has no token (names of days and months, for example).
std::string DateFormatFromStrftime(std::string_view format);

// The value in the short date and long time formats; DateTimeToStr joins them with a
// blank and leaves the time out when it is exactly midnight. Values outside the years
// 1 to 9999 raise EConvertError.
std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value);

// ---- File names ----------------------------------------------------------------------------

constexpr char PathDelim = '/';

// Turns '\' into '/', for paths written in the Windows style ("languages\English_lang.dat").
std::string NormalizePathDelims(std::string_view path);
// Folder part with its trailing separator ("/a/b/" for "/a/b/c.txt"); "" when none.
std::string ExtractFilePath(std::string_view fileName);
// Folder part without the trailing separator (except for the root "/").
std::string ExtractFileDir(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
// Extension with its dot (".txt"); "" when the name part has none.
std::string ExtractFileExt(std::string_view fileName);
// Replaces (or adds, or with "" removes) the extension of the name part.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
// Adds a '/' unless the path ends with one; "" stays "" (the current folder, not the root).
std::string IncludeTrailingPathDelimiter(std::string_view path);

// File names are handed to the file system as the bytes they are.
bool FileExists(std::string_view fileName);       // an existing file that is not a folder
bool DirectoryExists(std::string_view dirName);
// True when the system cannot say whether anything is at name (an I/O error, a network
// file system that does not answer, no permission to look): neither a thing there nor
// "no such file".
bool StatusUnreadable(std::string_view name);
bool DeleteFile(std::string_view fileName);       // false when nothing was deleted

// The running program's full file name and its folder (with the trailing separator).
std::string ProgramPath();
std::string ProgramDir();
