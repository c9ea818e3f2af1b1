#include "platform/runtime/CodePages.h"

#include "platform/runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace {

// Sets the ANSI code page for one test and puts the previous one back afterwards.
class CodePages : public ::testing::Test {
protected:
    void SetUp() override { saved_ = GetACP(); }
    void TearDown() override { SetAnsiCodePage(saved_); }

private:
    Cardinal saved_ = 0;
};

// The character iconv gives for one byte, decoded from its UTF-8 output; 0xFFFD when
// iconv rejects the byte.
char32_t IconvByteToUnicode(const char* name, unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-8", name);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << name;
    char in = static_cast<char>(byte);
    char out[8]{};
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof(out);
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return 0xFFFD;
    const auto* u = reinterpret_cast<const unsigned char*>(out);
    const size_t n = sizeof(out) - outLeft;
    if (n == 1)
        return u[0];
    if (n == 2)
        return ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu);
    if (n == 3)
        return ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu);
    return 0xFFFD;
}

TEST_F(CodePages, TablesAgreeWithIconvForEveryByte)
{
    const std::pair<Cardinal, const char*> pages[] = {
        {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"},
        {1255, "CP1255"}, {1258, "CP1258"}, {866, "CP866"},   {874, "CP874"},
        {20866, "KOI8-R"}, {28595, "ISO-8859-5"},
    };
    for (const auto& [cp, name] : pages) {
        for (int b = 0; b < 256; ++b) {
            const char32_t expected = IconvByteToUnicode(name, static_cast<unsigned char>(b));
            ASSERT_EQ(CodePageToUnicode(cp, static_cast<unsigned char>(b)), expected)
                << "code page " << cp << ", byte " << b;
        }
    }
}

TEST_F(CodePages, KnownCharactersAndUndefinedBytes)
{
    EXPECT_EQ(CodePageToUnicode(1251, 0xC0), U'\u0410');
    EXPECT_EQ(CodePageToUnicode(1252, 0xC0), U'\u00C0');
    EXPECT_EQ(CodePageToUnicode(1252, 0x80), U'\u20AC');
    EXPECT_EQ(CodePageToUnicode(20866, 0xC1), U'\u0430');
    EXPECT_EQ(CodePageToUnicode(866, 0x80), U'\u0410');
    EXPECT_EQ(CodePageToUnicode(1251, 0x98), U'\uFFFD');
    EXPECT_EQ(UnicodeToCodePage(1251, U'\uFFFD'), '?');
    EXPECT_EQ(UnicodeToCodePage(1251, U'\u4E2D', '#'), '#');
    EXPECT_THROW(CodePageToUnicode(65001, 'a'), EConvertError);
}

TEST_F(CodePages, EveryDefinedByteRoundTrips)
{
    for (Cardinal cp : {437u, 866u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                        1258u, 10000u, 20866u, 28591u, 28595u}) {
        for (int b = 0; b < 256; ++b) {
            const char32_t ch = CodePageToUnicode(cp, static_cast<unsigned char>(b));
            if (ch != U'\uFFFD') {
                ASSERT_EQ(UnicodeToCodePage(cp, ch), b) << "code page " << cp << ", byte " << b;
            }
        }
    }
}

TEST_F(CodePages, Utf8Conversion)
{
    const std::string privet = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in 1251
    EXPECT_EQ(AnsiToUtf8(privet, 1251), "Привет");
    EXPECT_EQ(Utf8ToAnsi("Привет", 1251), privet);
    EXPECT_EQ(Utf8ToAnsi("a€b", 1251), "a\x88" "b");
    EXPECT_EQ(Utf8ToAnsi("中😀", 1251), "??");
    EXPECT_EQ(AnsiToUtf8("\x98", 1251), "\xEF\xBF\xBD");
    // Malformed sequences: a cut-off lead byte, an overlong '/', an encoded surrogate.
    EXPECT_EQ(Utf8ToAnsi("x\xC3", 1252), "x?");
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF", 1252), "??");
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80", 1252), "???");
    SetAnsiCodePage(1252);
    EXPECT_EQ(AnsiToUtf8("\xE9"), "é");
}

TEST_F(CodePages, Utf8Validity)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII\r\n"));
    EXPECT_TRUE(IsValidUtf8("Привет 中😀 \xEF\xBF\xBD"));  // a written U+FFFD is valid
    EXPECT_FALSE(IsValidUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"));  // code page 1251
    EXPECT_FALSE(IsValidUtf8("ok \xC0\xAF"));                   // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                 // surrogate
    EXPECT_FALSE(IsValidUtf8("cut \xD0"));                      // truncated
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));            // past U+10FFFF
}

TEST_F(CodePages, CaseFollowsTheCodePage)
{
    SetAnsiCodePage(1251);
    EXPECT_EQ(CharUpperA('\xFF'), '\xDF');   // я -> Я
    EXPECT_EQ(CharLowerA('\xC0'), '\xE0');   // А -> а
    EXPECT_EQ(CharUpperA('\xB8'), '\xA8');   // ё -> Ё
    EXPECT_EQ(CharUpperA('\xB9'), '\xB9');   // № has no case
    EXPECT_EQ(CharUpperA('\xE9'), '\xC9');
    EXPECT_EQ(CharUpperA('z'), 'Z');
    EXPECT_EQ(AnsiUpperTable()[0xFF], 0xDF);

    SetAnsiCodePage(1252);
    EXPECT_EQ(CharUpperA('\xE9'), '\xC9');   // é -> É
    EXPECT_EQ(CharUpperA('\xFF'), '\x9F');   // ÿ -> Ÿ, which 1252 has at 0x9F
    EXPECT_EQ(CharUpperA('\xDF'), '\xDF');   // ß has no single upper-case byte
    EXPECT_EQ(CharUpperA('\xB5'), '\xB5');   // µ: its capital is not in 1252
    EXPECT_EQ(AnsiLowerTable()[0xC0], 0xE0);

    char buffer[] = {'a', '\0', '\xE0', 'Z'};
    EXPECT_EQ(CharUpperBuffA(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 4), std::string("A\0\xC0Z", 4));
    EXPECT_EQ(CharLowerBuffA(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), std::string("a\0\xE0z", 4));
}

TEST_F(CodePages, CharacterClasses)
{
    SetAnsiCodePage(1251);
    EXPECT_TRUE(IsCharAlphaNumericA('\xFF'));
    EXPECT_TRUE(IsCharAlphaA('\xC0'));
    EXPECT_TRUE(IsCharUpperA('\xC0'));
    EXPECT_TRUE(IsCharLowerA('\xE0'));
    EXPECT_FALSE(IsCharAlphaNumericA('_'));
    EXPECT_FALSE(IsCharAlphaNumericA('\xB9'));  // №
    EXPECT_FALSE(IsCharAlphaA('5'));
    EXPECT_TRUE(IsCharAlphaNumericA('5'));

    SetAnsiCodePage(1252);
    EXPECT_TRUE(IsCharAlphaNumericA('\xB2'));   // superscript two
    EXPECT_FALSE(IsCharAlphaNumericA('\xBD'));  // one half
    EXPECT_TRUE(IsCharAlphaA('\xAA'));          // feminine ordinal
    EXPECT_FALSE(IsCharAlphaNumericA('\x98'));  // small tilde
    EXPECT_FALSE(IsCharAlphaNumericA('\x81'));  // undefined
}

TEST_F(CodePages, LocaleChoosesTheCodePage)
{
    EXPECT_EQ(CodePageForLocale("ru_RU.UTF-8"), 1251u);
    EXPECT_EQ(CodePageForLocale("uk"), 1251u);
    EXPECT_EQ(CodePageForLocale("pl_PL"), 1250u);
    EXPECT_EQ(CodePageForLocale("el_GR.UTF-8"), 1253u);
    EXPECT_EQ(CodePageForLocale("tr_TR"), 1254u);
    EXPECT_EQ(CodePageForLocale("he_IL"), 1255u);
    EXPECT_EQ(CodePageForLocale("fa_IR"), 1256u);
    EXPECT_EQ(CodePageForLocale("lt_LT"), 1257u);
    EXPECT_EQ(CodePageForLocale("vi_VN"), 1258u);
    EXPECT_EQ(CodePageForLocale("th_TH.UTF-8"), 874u);
    EXPECT_EQ(CodePageForLocale("en_US.UTF-8"), 1252u);
    EXPECT_EQ(CodePageForLocale("C.UTF-8"), 1252u);
    EXPECT_EQ(CodePageForLocale(""), 1252u);
    EXPECT_EQ(CodePageForLocale("rus"), 1252u);  // the language code is the whole first part
}

TEST_F(CodePages, UnsupportedCodePageKeepsTheCurrentOne)
{
    SetAnsiCodePage(1250);
    EXPECT_THROW(SetAnsiCodePage(932), EConvertError);
    EXPECT_EQ(GetACP(), 1250u);
    EXPECT_FALSE(IsCodePageSupported(65001));
}

TEST_F(CodePages, EveryCharsetOfTheMenuHasACodePage)
{
    SetAnsiCodePage(1251);
    const std::pair<Byte, Cardinal> expected[] = {
        {DEFAULT_CHARSET, 1251},  {ANSI_CHARSET, 1252},     {ARABIC_CHARSET, 1256},
        {BALTIC_CHARSET, 1257},   {CHINESEBIG5_CHARSET, 1251}, {EASTEUROPE_CHARSET, 1250},
        {GB2312_CHARSET, 1251},   {GREEK_CHARSET, 1253},    {HANGEUL_CHARSET, 1251},
        {HEBREW_CHARSET, 1255},   {JOHAB_CHARSET, 1251},    {MAC_CHARSET, 10000},
        {OEM_CHARSET, 866},       {RUSSIAN_CHARSET, 1251},  {SHIFTJIS_CHARSET, 1251},
        {SYMBOL_CHARSET, 1251},   {THAI_CHARSET, 874},      {TURKISH_CHARSET, 1254},
    };
    for (const auto& [charset, cp] : expected) {
        EXPECT_EQ(CharsetToCodePage(charset), cp) << "charset " << int(charset);
        EXPECT_NO_THROW(CodePageToUnicode(CharsetToCodePage(charset), 0xC0)) << int(charset);
    }
    EXPECT_EQ(CharsetToCodePage(VIETNAMESE_CHARSET), 1258u);

    SetAnsiCodePage(1252);
    EXPECT_EQ(CharsetToCodePage(OEM_CHARSET), 437u);
    EXPECT_EQ(CharsetToCodePage(DEFAULT_CHARSET), 1252u);
    EXPECT_EQ(CharsetToCodePage(SHIFTJIS_CHARSET), 1252u);
    EXPECT_FALSE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(LeadBytes().none());
}

}  // namespace
