// Dates and times: TDateTime as days since 1899-12-30, the short date and long time
// formats (taken from the locale, replaceable), and their text forms.
#include "platform/runtime/SysUtils.h"

#include "platform/runtime/CodePages.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <mutex>

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
// ---- Dates ----

// Days from 1970-01-01 to a proleptic Gregorian date, and back.
Int64 DaysFromCivil(Int64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const Int64 era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<Int64>(doe) - 719468;
}

void CivilFromDays(Int64 z, Int64& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const Int64 era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<Int64>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

constexpr Int64 UnixEpochDays = 25569;           // 1970-01-01 as a TDateTime
constexpr double MinDateTime = -693593.0;        // 0001-01-01
constexpr double MaxDateTime = 2958466.0;        // 10000-01-01, exclusive
constexpr Int64 MillisecondsPerDay = 86400000;

bool IsLeapYear(unsigned y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(unsigned y, unsigned m)
{
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

void CheckDateTime(TDateTime value)
{
    if (!(value >= MinDateTime && value < MaxDateTime))
        throw EConvertError("Invalid date/time value");
}

std::string TwoDigits(unsigned v)
{
    return Format("%.2u", {v});
}

// ---- Date and time formats ----

constexpr const char* FallbackShortDate = "dd.mm.yyyy";
constexpr const char* FallbackLongTime = "hh:nn:ss";

struct TDateTimeFormats {
    std::string ShortDate;
    std::string LongTime;
};

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// How many times c repeats from format[i] on, ignoring case.
size_t RunLength(std::string_view format, size_t i, char c)
{
    size_t n = 0;
    while (i + n < format.size() && AsciiLower(format[i + n]) == c)
        ++n;
    return n;
}

bool IsAmPmAt(std::string_view format, size_t i)
{
    return format.size() - i >= 5 && LowerCase(format.substr(i, 5)) == "am/pm";
}

// An am/pm token anywhere outside quotes switches the hours to the 12-hour clock.
bool HasAmPm(std::string_view format)
{
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '"' || format[i] == '\'') {
            const size_t close = format.find(format[i], i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (IsAmPmAt(format, i)) {
            return true;
        }
    }
    return false;
}

std::string FormatDateTimeText(std::string_view format, TDateTime value)
{
    Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    const bool twelveHour = HasAmPm(format);
    const unsigned shownHour = twelveHour ? (hour % 12 == 0 ? 12u : hour % 12u) : hour;
    const auto number = [](unsigned v, size_t run) { return run >= 2 ? TwoDigits(v) : std::to_string(v); };

    std::string out;
    char lastToken = 0;  // the last letter read, lower case: "m" after "h" means minutes
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            const size_t end = close == std::string_view::npos ? format.size() : close;
            out.append(format.substr(i + 1, end - i - 1));
            i = end == format.size() ? end : end + 1;
            continue;
        }
        if (!IsAsciiLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        char token = AsciiLower(c);
        if (token == 'm' && lastToken == 'h')
            token = 'n';
        lastToken = token;
        if (token == 'a' && IsAmPmAt(format, i)) {
            out += hour < 12 ? (c == 'A' ? 'A' : 'a') : (c == 'A' ? 'P' : 'p');
            out += format[i + 1] == 'M' ? 'M' : 'm';
            i += 5;
            continue;
        }
        // A run of one letter: up to two make one token ("yyy" and more are four digits).
        const size_t run = std::min<size_t>(RunLength(format, i, AsciiLower(c)), 2);
        switch (token) {
        case 'd':
            out += number(day, run);
            break;
        case 'm':
            out += number(month, run);
            break;
        case 'y': {
            const size_t all = RunLength(format, i, 'y');
            out += all <= 2 ? TwoDigits(year % 100u) : Format("%.4u", {year});
            i += all;
            continue;
        }
        case 'h':
            out += number(shownHour, run);
            break;
        case 'n':
            out += number(minute, run);
            break;
        case 's':
            out += number(second, run);
            break;
        default:
            out += c;  // a letter that is no token stands for itself
            i += 1;
            continue;
        }
        i += run;
    }
    return out;
}

// The token form of one conversion of a C library format; nullptr when it has none.
const char* TokenForConversion(char conversion, bool unpadded)
{
    switch (conversion) {
    case 'd': return unpadded ? "d" : "dd";
    case 'e': return "d";
    case 'm': return unpadded ? "m" : "mm";
    case 'Y': return "yyyy";
    case 'y': return "yy";
    case 'H':
    case 'I': return unpadded ? "h" : "hh";
    case 'k':
    case 'l': return "h";
    case 'M': return unpadded ? "n" : "nn";
    case 'S': return unpadded ? "s" : "ss";
    case 'p': return "AM/PM";
    case 'P': return "am/pm";
    case 'D': return "mm/dd/yy";
    case 'F': return "yyyy-mm-dd";
    case 'T': return "hh:nn:ss";
    case 'R': return "hh:nn";
    case 'r': return "hh:nn:ss AM/PM";
    case 'n':
    case 't': return " ";
    case '%': return "%";
    default: return nullptr;
    }
}

// The process's formats, made from the locale the first time they are needed.
TDateTimeFormats FormatsFromLocale()
{
    TDateTimeFormats formats{FallbackShortDate, FallbackLongTime};
    std::string name;
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(var);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    // The C locale ("C", "C.UTF-8", "POSIX") names no country's formats.
    if (name.empty() || name == "C" || name.rfind("C.", 0) == 0 || name == "POSIX")
        return formats;
    const locale_t locale = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return formats;
    const bool utf8 = std::string_view(nl_langinfo_l(CODESET, locale)) == "UTF-8";
    // Literal text outside ASCII must survive the trip into the ANSI code page.
    const auto translate = [utf8](const char* strftimeFormat, std::string& target) {
        std::string tokens = DateFormatFromStrftime(strftimeFormat);
        if (tokens.empty())
            return;
        if (std::any_of(tokens.begin(), tokens.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            if (!utf8)
                return;
            const std::string ansi = Utf8ToAnsi(tokens);
            if (AnsiToUtf8(ansi) != tokens)
                return;
            tokens = ansi;
        }
        target = tokens;
    };
    translate(nl_langinfo_l(D_FMT, locale), formats.ShortDate);
    translate(nl_langinfo_l(T_FMT, locale), formats.LongTime);
    freelocale(locale);
    return formats;
}

std::mutex& FormatsMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Guarded by FormatsMutex().
TDateTimeFormats& Formats()
{
    static TDateTimeFormats formats = FormatsFromLocale();
    return formats;
}

}  // namespace

// ---- Date and time ----

TDateTime EncodeDate(Word year, Word month, Word day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError("Invalid argument to date encode");
    return static_cast<TDateTime>(DaysFromCivil(year, month, day) + UnixEpochDays);
}

TDateTime EncodeTime(Word hour, Word minute, Word second, Word msec)
{
    if (hour > 23 || minute > 59 || second > 59 || msec > 999)
        throw EConvertError("Invalid argument to time encode");
    const Int64 ms = ((hour * 60 + minute) * 60 + second) * 1000LL + msec;
    return static_cast<double>(ms) / MillisecondsPerDay;
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day)
{
    CheckDateTime(value);
    Int64 y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(static_cast<Int64>(std::trunc(value)) - UnixEpochDays, y, m, d);
    year = static_cast<Word>(y);
    month = static_cast<Word>(m);
    day = static_cast<Word>(d);
}

void DecodeTime(TDateTime value, Word& hour, Word& minute, Word& second, Word& msec)
{
    CheckDateTime(value);
    // The time of day is the fraction's distance from the day, also before 1899-12-30.
    double fraction = std::fabs(value - std::trunc(value));
    auto ms = static_cast<Int64>(std::llround(fraction * MillisecondsPerDay));
    ms = std::min(ms, MillisecondsPerDay - 1);  // rounding must not make it 24:00:00
    msec = static_cast<Word>(ms % 1000);
    second = static_cast<Word>(ms / 1000 % 60);
    minute = static_cast<Word>(ms / 60000 % 60);
    hour = static_cast<Word>(ms / 3600000);
}

TDateTime Now()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&t, &local);
    return EncodeDate(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                      static_cast<Word>(local.tm_mday)) +
           EncodeTime(static_cast<Word>(local.tm_hour), static_cast<Word>(local.tm_min),
                      static_cast<Word>(std::min(local.tm_sec, 59)), static_cast<Word>(ms < 0 ? 0 : ms));
}

TDateTime Date()
{
    return std::trunc(Now());
}

std::string ShortDateFormat()
{
    std::lock_guard lock(FormatsMutex());
    return Formats().ShortDate;
}

void SetShortDateFormat(std::string_view format)
{
    std::lock_guard lock(FormatsMutex());
    Formats().ShortDate = format;
}

std::string LongTimeFormat()
{
    std::lock_guard lock(FormatsMutex());
    return Formats().LongTime;
}

void SetLongTimeFormat(std::string_view format)
{
    std::lock_guard lock(FormatsMutex());
    Formats().LongTime = format;
}

std::string DateFormatFromStrftime(std::string_view format)
{
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            // Letters are quoted so they are not read as tokens; a quote is quoted by
            // the other quote.
            if (IsAsciiLetter(c) || c == '\'')
                out += std::string("\"") + c + '"';
            else if (c == '"')
                out += "'\"'";
            else
                out += c;
            continue;
        }
        bool unpadded = false;
        ++i;
        while (i < format.size() && std::string_view("-_0^#").find(format[i]) != std::string_view::npos)
            unpadded = format[i++] == '-' || unpadded;
        while (i < format.size() && (format[i] >= '0' && format[i] <= '9'))
            ++i;  // a field width
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O'))
            ++i;  // the locale's alternative forms read as the plain ones
        if (i == format.size())
            return {};
        const char* token = TokenForConversion(format[i], unpadded);
        if (token == nullptr)
            return {};
        out += token;
    }
    return out;
}

std::string DateToStr(TDateTime value)
{
    return FormatDateTimeText(ShortDateFormat(), value);
}

std::string TimeToStr(TDateTime value)
{
    return FormatDateTimeText(LongTimeFormat(), value);
}

std::string DateTimeToStr(TDateTime value)
{
    CheckDateTime(value);
    if (value == std::trunc(value))
        return DateToStr(value);
    return DateToStr(value) + " " + TimeToStr(value);
}
