#include "platform/runtime/SysUtils.h"

#include "platform/runtime/CodePages.h"
#include "platform/runtime/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string MapBytes(std::string_view s, const TCaseTable& table)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}

// ---- Integer parsing ----

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseInteger(std::string_view s, Integer& value)
{
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size())
        return false;
    // Decimal magnitudes may reach 2^31 (for the negative end), hexadecimal 2^32 - 1.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        const int digit = HexDigitValue(s[i]);
        if (digit < 0 || digit >= base)
            return false;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
        if (magnitude > limit)
            return false;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    value = static_cast<Integer>(bits);
    return true;
}

// ---- Format ----

[[noreturn]] void FormatError(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

struct TFormatSpec {
    bool LeftJustify = false;
    bool ZeroPad = false;
    size_t Width = 0;
    int Precision = -1;  // -1: none
    char Conversion = 0;
};

std::string Pad(std::string text, const TFormatSpec& field)
{
    if (text.size() >= field.Width)
        return text;
    const size_t fill = field.Width - text.size();
    if (field.LeftJustify)
        return text + std::string(fill, ' ');
    return std::string(fill, ' ') + text;
}

std::string Digits(std::uint64_t value, unsigned base, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    do {
        out += digits[value % base];
        value /= base;
    } while (value != 0);
    std::reverse(out.begin(), out.end());
    return out;
}

// Digits with the precision's minimum, the sign, then zero padding between sign and digits
// when asked for (and neither left-justified nor given a precision).
std::string FormatNumber(std::uint64_t magnitude, bool negative, unsigned base, bool upper,
                         const TFormatSpec& field)
{
    std::string digits = Digits(magnitude, base, upper);
    if (field.Precision >= 0 && digits.size() < static_cast<size_t>(field.Precision))
        digits.insert(0, static_cast<size_t>(field.Precision) - digits.size(), '0');
    const std::string sign = negative ? "-" : "";
    if (field.ZeroPad && !field.LeftJustify && field.Precision < 0 &&
        sign.size() + digits.size() < field.Width)
        digits.insert(0, field.Width - sign.size() - digits.size(), '0');
    return Pad(sign + digits, field);
}

// The unsigned form %u, %x and %X show: a negative value that fits in 32 bits is seen as
// its 32-bit pattern, a wider one as its 64-bit pattern.
std::uint64_t UnsignedView(const TFormatArg& arg)
{
    if (arg.Kind() == TFormatArg::TKind::Unsigned)
        return arg.AsUnsigned();
    const Int64 v = arg.AsSigned();
    if (v >= INT32_MIN && v < 0)
        return static_cast<std::uint32_t>(static_cast<Integer>(v));
    return static_cast<std::uint64_t>(v);
}

bool IsInteger(const TFormatArg& arg)
{
    return arg.Kind() == TFormatArg::TKind::Signed || arg.Kind() == TFormatArg::TKind::Unsigned;
}

std::string Convert(const TFormatSpec& field, const TFormatArg& arg, std::string_view format)
{
    switch (field.Conversion) {
    case 'd':
    case 'i':
        if (!IsInteger(arg))
            FormatError(format);
        if (arg.Kind() == TFormatArg::TKind::Unsigned)
            return FormatNumber(arg.AsUnsigned(), false, 10, false, field);
        return FormatNumber(arg.AsSigned() < 0 ? 0 - static_cast<std::uint64_t>(arg.AsSigned())
                                               : static_cast<std::uint64_t>(arg.AsSigned()),
                            arg.AsSigned() < 0, 10, false, field);
    case 'u':
    case 'x':
    case 'X':
        if (!IsInteger(arg))
            FormatError(format);
        return FormatNumber(UnsignedView(arg), false, field.Conversion == 'u' ? 10 : 16,
                            field.Conversion == 'X', field);
    case 's': {
        std::string text;
        if (arg.Kind() == TFormatArg::TKind::String)
            text = arg.AsString();
        else if (arg.Kind() == TFormatArg::TKind::Char)
            text = std::string(1, arg.AsChar());
        else
            FormatError(format);
        if (field.Precision >= 0 && text.size() > static_cast<size_t>(field.Precision))
            text.resize(static_cast<size_t>(field.Precision));
        return Pad(std::move(text), field);
    }
    case 'c':
        if (arg.Kind() == TFormatArg::TKind::Char)
            return Pad(std::string(1, arg.AsChar()), field);
        if (arg.Kind() == TFormatArg::TKind::Signed)
            return Pad(std::string(1, static_cast<char>(arg.AsSigned())), field);
        if (arg.Kind() == TFormatArg::TKind::Unsigned)
            return Pad(std::string(1, static_cast<char>(arg.AsUnsigned())), field);
        FormatError(format);
    default:
        FormatError(format);
    }
}

size_t ReadNumber(std::string_view format, size_t& i)
{
    size_t n = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        n = n * 10 + static_cast<size_t>(format[i++] - '0');
        if (n > 100000)  // a width like this is a mistake, not a request for megabytes
            FormatError(format);
    }
    return n;
}

// ---- Comparison ----

int Sign(Int64 v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// The sort key of a byte folded to lower case: its character's Unicode value. Bytes the
// code page leaves undefined all decode to U+FFFD, so they are told apart by their own
// value and sort after every character.
char32_t FoldedKey(const TUnicodeTable& unicode, const TCaseTable& lower, char c)
{
    const unsigned char folded = lower[static_cast<unsigned char>(c)];
    const char32_t ch = unicode[folded];
    return ch == 0xFFFD ? 0x110000 + folded : ch;
}

// Compares by the characters' Unicode values after folding to lower case; when that finds
// no difference and case matters, the first byte that differs decides, lower case first.
Integer AnsiCompare(std::string_view a, std::string_view b, bool caseSensitive)
{
    const TUnicodeTable& unicode = CodePageUnicodeTable(GetACP());
    const TCaseTable& lower = AnsiLowerTable();
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char32_t ca = FoldedKey(unicode, lower, a[i]);
        const char32_t cb = FoldedKey(unicode, lower, b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    if (!caseSensitive)
        return 0;
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return IsCharLowerA(a[i]) ? -1 : 1;
    }
    return 0;
}

}  // namespace

// ---- 1-based string functions ----

std::string Copy(std::string_view s, Int64 index, Int64 count)
{
    if (index < 1)
        index = 1;
    const auto length = static_cast<Int64>(s.size());
    if (index > length || count < 1)
        return {};
    const Int64 available = length - index + 1;
    return std::string(s.substr(static_cast<size_t>(index - 1),
                                static_cast<size_t>(std::min(count, available))));
}

Integer Pos(std::string_view sub, std::string_view s)
{
    if (sub.empty())
        return 0;
    const size_t at = s.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<Integer>(at + 1);
}

void Delete(std::string& s, Int64 index, Int64 count)
{
    const auto length = static_cast<Int64>(s.size());
    if (index < 1 || index > length || count < 1)
        return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(std::min(count, length - index + 1)));
}

void Insert(std::string_view sub, std::string& s, Int64 index)
{
    const auto length = static_cast<Int64>(s.size());
    index = std::clamp<Int64>(index, 1, length + 1);
    s.insert(static_cast<size_t>(index - 1), sub);
}

std::string Trim(std::string_view s)
{
    return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s)
{
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

std::string StringOfChar(char ch, Int64 count)
{
    return count < 1 ? std::string() : std::string(static_cast<size_t>(count), ch);
}

// ---- Numbers ----

std::string IntToStr(Int64 value)
{
    return std::to_string(value);
}

std::string IntToHex(Int64 value, Integer digits)
{
    std::string text = Digits(static_cast<std::uint64_t>(value), 16, true);
    if (digits > 0 && text.size() < static_cast<size_t>(digits))
        text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
    return text;
}

Integer StrToInt(std::string_view s)
{
    Integer value = 0;
    if (!ParseInteger(s, value))
        throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
    return value;
}

Integer StrToIntDef(std::string_view s, Integer fallback)
{
    Integer value = 0;
    return ParseInteger(s, value) ? value : fallback;
}

bool TryStrToInt(std::string_view s, Integer& value)
{
    Integer parsed = 0;
    if (!ParseInteger(s, parsed))
        return false;
    value = parsed;
    return true;
}

// ---- Format ----

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args)
{
    std::string out;
    auto next = args.begin();
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        TFormatSpec field;
        for (; i < format.size() && (format[i] == '-' || format[i] == '0'); ++i)
            (format[i] == '-' ? field.LeftJustify : field.ZeroPad) = true;
        field.Width = ReadNumber(format, i);
        if (i < format.size() && format[i] == '.') {
            ++i;
            field.Precision = static_cast<int>(ReadNumber(format, i));
        }
        if (i == format.size() || next == args.end())
            FormatError(format);
        field.Conversion = format[i++];
        out += Convert(field, *next++, format);
    }
    return out;
}

// ---- Case and comparison ----

std::string UpperCase(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpper);
    return out;
}

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
    return out;
}

std::string AnsiUpperCase(std::string_view s)
{
    return MapBytes(s, AnsiUpperTable());
}

std::string AnsiLowerCase(std::string_view s)
{
    return MapBytes(s, AnsiLowerTable());
}

Integer CompareStr(std::string_view a, std::string_view b)
{
    return Sign(a.compare(b));
}

Integer CompareText(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return Sign(static_cast<Int64>(a.size()) - static_cast<Int64>(b.size()));
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

Integer AnsiCompareStr(std::string_view a, std::string_view b)
{
    return AnsiCompare(a, b, true);
}

Integer AnsiCompareText(std::string_view a, std::string_view b)
{
    return AnsiCompare(a, b, false);
}

bool AnsiSameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

std::string StringReplace(std::string_view s, std::string_view oldPattern,
                          std::string_view newPattern, TReplaceFlags flags)
{
    if (oldPattern.empty())
        return std::string(s);
    // Case folding keeps every byte in place, so positions in the folded text are
    // positions in s.
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    const std::string haystack = ignoreCase ? AnsiUpperCase(s) : std::string(s);
    const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : std::string(oldPattern);
    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t at = haystack.find(needle, from);
        if (at == std::string::npos)
            break;
        out.append(s.substr(from, at - from));
        out.append(newPattern);
        from = at + needle.size();
        if ((flags & rfReplaceAll) == 0)
            break;
    }
    out.append(s.substr(from));
    return out;
}

// ---- File names ----

std::string NormalizePathDelims(std::string_view path)
{
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', PathDelim);
    return out;
}

std::string ExtractFilePath(std::string_view fileName)
{
    const size_t slash = fileName.rfind(PathDelim);
    return slash == std::string_view::npos ? std::string() : std::string(fileName.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view fileName)
{
    const size_t slash = fileName.rfind(PathDelim);
    if (slash == std::string_view::npos)
        return {};
    return std::string(fileName.substr(0, slash == 0 ? 1 : slash));
}

std::string ExtractFileName(std::string_view fileName)
{
    const size_t slash = fileName.rfind(PathDelim);
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension)
{
    const size_t nameStart = fileName.size() - ExtractFileName(fileName).size();
    const size_t dot = fileName.rfind('.');
    const size_t stemEnd = (dot == std::string_view::npos || dot < nameStart) ? fileName.size() : dot;
    return std::string(fileName.substr(0, stemEnd)) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    if (path.empty() || path.back() == PathDelim)
        return std::string(path);
    return std::string(path) + PathDelim;
}

namespace {

// Whether a name may be handed to the system: not empty, and not cut short by a NUL byte.
bool Passable(std::string_view name)
{
    return !name.empty() && !NameHoldsNul(name);
}

}  // namespace

bool FileExists(std::string_view fileName)
{
    struct stat st {};
    return Passable(fileName) && FileCalls().FStatAt(AT_FDCWD, std::string(fileName).c_str(), &st, 0) == 0 &&
           !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view dirName)
{
    struct stat st {};
    return Passable(dirName) && FileCalls().FStatAt(AT_FDCWD, std::string(dirName).c_str(), &st, 0) == 0 &&
           S_ISDIR(st.st_mode);
}

bool StatusUnreadable(std::string_view name)
{
    struct stat st {};
    return Passable(name) && FileCalls().FStatAt(AT_FDCWD, std::string(name).c_str(), &st, 0) != 0 &&
           errno != ENOENT && errno != ENOTDIR;
}

bool DeleteFile(std::string_view fileName)
{
    return Passable(fileName) && unlink(std::string(fileName).c_str()) == 0;
}

std::string ProgramPath()
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);  // the name may have been cut short
    }
}

std::string ProgramDir()
{
    return ExtractFilePath(ProgramPath());
}
