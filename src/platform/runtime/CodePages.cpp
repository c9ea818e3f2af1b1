// Code page tables built from iconv on first use, with case and class tables derived from
// Unicode character properties (through QChar, which carries the Unicode database).
#include "platform/runtime/CodePages.h"

#include "platform/runtime/Exceptions.h"

#include <QChar>

#include <atomic>
#include <bitset>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

struct TCodePageTables {
    Cardinal CodePage = 0;
    TUnicodeTable ToUnicode{};
    std::unordered_map<char32_t, unsigned char> FromUnicode;
    unsigned char Upper[256]{};
    unsigned char Lower[256]{};
    std::bitset<256> Alpha, AlphaNumeric, IsUpper, IsLower;
};

const char* IconvName(Cardinal cp)
{
    switch (cp) {
    case 437: return "CP437";
    case 866: return "CP866";
    case 874: return "CP874";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 10000: return "MACINTOSH";
    case 20866: return "KOI8-R";
    case 28591: return "ISO-8859-1";
    case 28595: return "ISO-8859-5";
    default: return nullptr;
    }
}

// Decodes one byte on its own. Some converters (1255, 1258) hold a base character back to
// combine it with a following mark, so the state is flushed after each byte.
char32_t DecodeByte(iconv_t cd, unsigned char byte)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[1] = {static_cast<char>(byte)};
    char32_t out[4]{};
    char* inPtr = in;
    size_t inLeft = 1;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof(out);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return ReplacementChar;
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return ReplacementChar;
    // A byte that decodes to more than one character has no single-character meaning.
    if (sizeof(out) - outLeft != sizeof(char32_t))
        return ReplacementChar;
    return out[0];
}

// The byte of a character in the code page, or -1.
int FindByte(const TCodePageTables& t, char32_t ch)
{
    const auto it = t.FromUnicode.find(ch);
    return it == t.FromUnicode.end() ? -1 : it->second;
}

// A byte takes the other case only when that character is in the same code page.
void FillCaseAndClasses(TCodePageTables& t)
{
    for (int b = 0; b < 256; ++b) {
        t.Upper[b] = t.Lower[b] = static_cast<unsigned char>(b);
        const char32_t ch = t.ToUnicode[b];
        if (ch == ReplacementChar)
            continue;
        const int up = FindByte(t, QChar::toUpper(ch));
        if (up >= 0)
            t.Upper[b] = static_cast<unsigned char>(up);
        const int low = FindByte(t, QChar::toLower(ch));
        if (low >= 0)
            t.Lower[b] = static_cast<unsigned char>(low);
        // Letters count as alphabetic, and so do ª and º; digits are the characters with a
        // digit value, which includes the superscript digits but not the fractions.
        t.Alpha[b] = QChar::isLetter(ch);
        t.AlphaNumeric[b] = t.Alpha[b] || QChar::digitValue(ch) >= 0;
        t.IsUpper[b] = QChar::isUpper(ch);
        t.IsLower[b] = QChar::isLower(ch);
    }
}

std::unique_ptr<TCodePageTables> BuildTables(Cardinal cp)
{
    const char* name = IconvName(cp);
    if (!name)
        throw EConvertError("Code page " + std::to_string(cp) + " is not supported");
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw EConvertError("Code page " + std::to_string(cp) + " is not available");
    auto t = std::make_unique<TCodePageTables>();
    t->CodePage = cp;
    for (int b = 0; b < 256; ++b) {
        const char32_t ch = DecodeByte(cd, static_cast<unsigned char>(b));
        t->ToUnicode[b] = ch;
        if (ch != ReplacementChar)
            t->FromUnicode.emplace(ch, static_cast<unsigned char>(b));
    }
    iconv_close(cd);
    FillCaseAndClasses(*t);
    return t;
}

std::mutex& TablesMutex()
{
    static std::mutex m;
    return m;
}

const TCodePageTables& Tables(Cardinal cp)
{
    static std::map<Cardinal, std::unique_ptr<TCodePageTables>> cache;
    std::lock_guard lock(TablesMutex());
    auto& slot = cache[cp];
    if (!slot) {
        try {
            slot = BuildTables(cp);
        } catch (...) {
            cache.erase(cp);
            throw;
        }
    }
    return *slot;
}

std::atomic<const TCodePageTables*> currentTables{nullptr};

const char* LocaleFromEnvironment()
{
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value)
            return value;
    }
    return "";
}

const TCodePageTables& Current()
{
    const TCodePageTables* t = currentTables.load(std::memory_order_acquire);
    if (!t) {
        const TCodePageTables* fromLocale = &Tables(CodePageForLocale(LocaleFromEnvironment()));
        // Keep a code page set meanwhile by another thread.
        if (currentTables.compare_exchange_strong(t, fromLocale, std::memory_order_acq_rel))
            t = fromLocale;
    }
    return *t;
}

void AppendUtf8(std::string& out, char32_t ch)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// Decodes the UTF-8 sequence at s[i]; advances i. Malformed input (a stray continuation
// byte, a truncated or overlong sequence, a surrogate, a value past U+10FFFF) yields
// ReplacementChar and advances by one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    int length = 0;
    char32_t ch = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, ch = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, ch = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, ch = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return ReplacementChar;
    }
    if (i + length > s.size()) {
        ++i;
        return ReplacementChar;
    }
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return ReplacementChar;
        }
        ch = (ch << 6) | (c & 0x3F);
    }
    if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
        ++i;
        return ReplacementChar;
    }
    i += length;
    return ch;
}

}  // namespace

Cardinal GetACP()
{
    return Current().CodePage;
}

void SetAnsiCodePage(Cardinal cp)
{
    currentTables.store(&Tables(cp), std::memory_order_release);
}

Cardinal CodePageForLocale(std::string_view localeName)
{
    const std::string_view language = localeName.substr(0, localeName.find_first_of("_.@"));
    static const std::unordered_map<std::string_view, Cardinal> byLanguage = {
        {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251},
        {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
        {"ro", 1250}, {"sq", 1250}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255},
        {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257},
        {"vi", 1258}, {"th", 874},
    };
    const auto it = byLanguage.find(language);
    return it == byLanguage.end() ? 1252 : it->second;
}

bool IsCodePageSupported(Cardinal cp)
{
    return IconvName(cp) != nullptr;
}

char32_t CodePageToUnicode(Cardinal cp, unsigned char byte)
{
    return Tables(cp).ToUnicode[byte];
}

const TUnicodeTable& CodePageUnicodeTable(Cardinal cp)
{
    return Tables(cp).ToUnicode;
}

unsigned char UnicodeToCodePage(Cardinal cp, char32_t ch, unsigned char fallback)
{
    const auto& map = Tables(cp).FromUnicode;
    const auto it = map.find(ch);
    return it == map.end() ? fallback : it->second;
}

std::string AnsiToUtf8(std::string_view bytes, Cardinal cp)
{
    const TCodePageTables& t = Tables(cp);
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        AppendUtf8(out, t.ToUnicode[static_cast<unsigned char>(c)]);
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t start = i;
        // A malformed sequence decodes as the replacement character and takes one byte;
        // a replacement character actually written takes three.
        if (DecodeUtf8(bytes, i) == ReplacementChar && i - start == 1)
            return false;
    }
    return true;
}

std::string Utf8ToAnsi(std::string_view utf8, Cardinal cp)
{
    const TCodePageTables& t = Tables(cp);
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t ch = DecodeUtf8(utf8, i);
        const auto it = ch == ReplacementChar ? t.FromUnicode.end() : t.FromUnicode.find(ch);
        out += it == t.FromUnicode.end() ? '?' : static_cast<char>(it->second);
    }
    return out;
}

const TCaseTable& AnsiUpperTable()
{
    return Current().Upper;
}

const TCaseTable& AnsiLowerTable()
{
    return Current().Lower;
}

const TCaseTable& CodePageUpperTable(Cardinal cp)
{
    return Tables(cp).Upper;
}

const TCaseTable& CodePageLowerTable(Cardinal cp)
{
    return Tables(cp).Lower;
}

char CharUpperA(char ch)
{
    return static_cast<char>(Current().Upper[static_cast<unsigned char>(ch)]);
}

char CharLowerA(char ch)
{
    return static_cast<char>(Current().Lower[static_cast<unsigned char>(ch)]);
}

DWORD CharUpperBuffA(char* buffer, DWORD length)
{
    const TCaseTable& upper = Current().Upper;
    for (DWORD i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(upper[static_cast<unsigned char>(buffer[i])]);
    return length;
}

DWORD CharLowerBuffA(char* buffer, DWORD length)
{
    const TCaseTable& lower = Current().Lower;
    for (DWORD i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(lower[static_cast<unsigned char>(buffer[i])]);
    return length;
}

bool IsCharAlphaA(char ch)
{
    return Current().Alpha[static_cast<unsigned char>(ch)];
}

bool IsCharAlphaNumericA(char ch)
{
    return Current().AlphaNumeric[static_cast<unsigned char>(ch)];
}

bool IsCharUpperA(char ch)
{
    return Current().IsUpper[static_cast<unsigned char>(ch)];
}

bool IsCharLowerA(char ch)
{
    return Current().IsLower[static_cast<unsigned char>(ch)];
}

Cardinal CharsetToCodePage(Byte charset)
{
    switch (charset) {
    case ANSI_CHARSET: return 1252;
    case RUSSIAN_CHARSET: return 1251;
    case EASTEUROPE_CHARSET: return 1250;
    case GREEK_CHARSET: return 1253;
    case TURKISH_CHARSET: return 1254;
    case HEBREW_CHARSET: return 1255;
    case ARABIC_CHARSET: return 1256;
    case BALTIC_CHARSET: return 1257;
    case VIETNAMESE_CHARSET: return 1258;
    case THAI_CHARSET: return 874;
    case MAC_CHARSET: return 10000;
    case OEM_CHARSET: return GetACP() == 1251 ? 866 : 437;
    default: return GetACP();  // DEFAULT, SYMBOL, the double-byte sets and unknown values
    }
}
