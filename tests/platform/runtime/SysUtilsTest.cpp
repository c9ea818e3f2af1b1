#include "platform/runtime/SysUtils.h"

#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

TEST(SysUtilsStrings, CopyClampsIndexAndCount)
{
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", -5, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 6, 10), "f");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 2, 0), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    EXPECT_EQ(Copy("abcdef", 3, LLONG_MAX), "cdef");
    EXPECT_EQ(Copy("", 1, 1), "");
}

TEST(SysUtilsStrings, PosDeleteInsertAtTheEnds)
{
    EXPECT_EQ(Pos("c", "abcabc"), 3);
    EXPECT_EQ(Pos("abc", "ab"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("a", ""), 0);

    std::string s = "abcdef";
    Delete(s, 0, 2);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 7, 1);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 5, 100);
    EXPECT_EQ(s, "abcd");
    Delete(s, 1, 1);
    EXPECT_EQ(s, "bcd");
    Delete(s, 2, -3);
    EXPECT_EQ(s, "bcd");

    Insert("X", s, 0);
    EXPECT_EQ(s, "Xbcd");
    Insert("Y", s, 5);
    EXPECT_EQ(s, "XbcdY");
    Insert("Z", s, 100);
    EXPECT_EQ(s, "XbcdYZ");
    Insert("-", s, 2);
    EXPECT_EQ(s, "X-bcdYZ");
}

TEST(SysUtilsStrings, TrimRemovesControlBytesButNotHighBytes)
{
    EXPECT_EQ(Trim(" \t\r\nab c\x01 "), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \x1F"), "  a");
    EXPECT_EQ(Trim("\xA0x\xFF"), "\xA0x\xFF");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(StringOfChar('-', 3), "---");
    EXPECT_EQ(StringOfChar('-', -1), "");
}

TEST(SysUtilsNumbers, StrToIntForms)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("-42"), -42);
    EXPECT_EQ(StrToInt("+42"), 42);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("0X1F"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("  7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$80000005"), static_cast<Integer>(0x80000005u));
}

TEST(SysUtilsNumbers, StrToIntRejectsBadTextAndOverflow)
{
    for (const char* bad : {"", " ", "-", "$", "0x", "12a", "7 ", "1 2", "--1", "0x-1", "1e3",
                            "2147483648", "-2147483649", "$100000000", "99999999999999999999"}) {
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
        EXPECT_EQ(StrToIntDef(bad, -7), -7) << bad;
        Integer untouched = 5;
        EXPECT_FALSE(TryStrToInt(bad, untouched)) << bad;
        EXPECT_EQ(untouched, 5);
    }
    try {
        StrToInt("xyz");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'xyz' is not a valid integer value");
    }
}

TEST(SysUtilsNumbers, IntToStrAndIntToHex)
{
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFFFFFFFFFF");
}

TEST(SysUtilsFormat, IntegersWidthsAndPadding)
{
    EXPECT_EQ(Format("Top Line: %d", {12}), "Top Line: 12");
    EXPECT_EQ(Format("%d - %d", {1, -2}), "1 - -2");
    EXPECT_EQ(Format("[%2d]", {5}), "[ 5]");
    EXPECT_EQ(Format("[%-4d]", {5}), "[5   ]");
    EXPECT_EQ(Format("[%05d]", {-42}), "[-0042]");
    EXPECT_EQ(Format("[%-05d]", {42}), "[42   ]");
    EXPECT_EQ(Format("[%.3d]", {7}), "[007]");
    EXPECT_EQ(Format("[%5.3d]", {-7}), "[ -007]");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%d", {static_cast<unsigned long long>(ULLONG_MAX)}), "18446744073709551615");
    EXPECT_EQ(Format("%d", {LLONG_MIN}), "-9223372036854775808");
    EXPECT_EQ(Format("%d%%", {50}), "50%");
}

TEST(SysUtilsFormat, HexShowsTheUnsigned32BitValue)
{
    EXPECT_EQ(Format("%06x", {0xFF8000}), "ff8000");
    EXPECT_EQ(Format("%06x", {0x12}), "000012");
    EXPECT_EQ(Format("%x", {-1}), "ffffffff");
    EXPECT_EQ(Format("%X", {-2}), "FFFFFFFE");
    EXPECT_EQ(Format("%x", {static_cast<Int64>(-0x100000000LL)}), "ffffffff00000000");
    EXPECT_EQ(Format("%08X", {0x80000005u}), "80000005");
}

TEST(SysUtilsFormat, StringsAndCharacters)
{
    const std::string name = "TQvEdit";
    EXPECT_EQ(Format("%s.Entry", {name}), "TQvEdit.Entry");
    EXPECT_EQ(Format("[%6s][%-6s]", {"ab", "cd"}), "[    ab][cd    ]");
    EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
    EXPECT_EQ(Format("%2d%s", {3, std::string_view("x")}), " 3x");
    EXPECT_EQ(Format("%c%s", {'a', 'b'}), "ab");
    EXPECT_EQ(Format("%c%c", {65, 66u}), "AB");
    EXPECT_EQ(Format("no conversions", {}), "no conversions");
    EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
}

TEST(SysUtilsFormat, MismatchesRaise)
{
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {5}), EConvertError);
    EXPECT_THROW(Format("%x", {'c'}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("trailing %", {1}), EConvertError);
    EXPECT_THROW(Format("%999999999d", {1}), EConvertError);
}

TEST(SysUtilsCase, AsciiAndCodePageCase)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    EXPECT_EQ(UpperCase("abc\xE0z"), "ABC\xE0Z");
    EXPECT_EQ(LowerCase("ABC\xC0Z"), "abc\xC0z");
    EXPECT_EQ(AnsiUpperCase("abc\xE0\xFF"), "ABC\xC0\xDF");
    EXPECT_EQ(AnsiLowerCase("ABC\xC0\xA8"), "abc\xE0\xB8");
    EXPECT_TRUE(AnsiSameText("\xCF\xF0\xE8", "\xEF\xD0\xC8"));  // При / пРИ
    EXPECT_FALSE(SameText("\xCF", "\xEF"));
    EXPECT_TRUE(SameText("Courier New", "COURIER new"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    SetAnsiCodePage(saved);
}

TEST(SysUtilsCase, ComparisonsOrder)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    EXPECT_LT(CompareStr("ABC", "abc"), 0);
    EXPECT_GT(CompareStr("\xE0", "a"), 0);  // bytes compare unsigned
    EXPECT_EQ(CompareText("aBc", "AbC"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(AnsiCompareText("\xE0", "\xC1"), 0);   // а before Б
    EXPECT_LT(AnsiCompareText("z", "\xC0"), 0);      // Latin before Cyrillic
    EXPECT_EQ(AnsiCompareText("\xC0\xC1", "\xE0\xE1"), 0);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);          // lower case first when equal otherwise
    EXPECT_LT(AnsiCompareStr("A", "b"), 0);          // letters before case
    EXPECT_GT(AnsiCompareStr("abc", "ab"), 0);

    // Bytes the code page leaves undefined (0x81, 0x8D in 1252) are different texts,
    // not case variants of each other.
    SetAnsiCodePage(1252);
    EXPECT_FALSE(AnsiSameText("\x81", "\x8D"));
    EXPECT_EQ(AnsiCompareText("\x81", "\x8D"), -AnsiCompareText("\x8D", "\x81"));
    EXPECT_NE(AnsiCompareText("k\x81", "k\x8D"), 0);
    EXPECT_GT(AnsiCompareText("\x81", "\xFF"), 0);  // after every character
    SetAnsiCodePage(saved);
}

TEST(SysUtilsCase, StringReplaceFlags)
{
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", 0), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "__", rfReplaceAll | rfIgnoreCase), "a__b__c");
    EXPECT_EQ(StringReplace("aXbxc", "x", "", rfReplaceAll), "aXbc");
    EXPECT_EQ(StringReplace("aaa", "aa", "a", rfReplaceAll), "aa");  // no rescanning of output
    EXPECT_EQ(StringReplace("abc", "", "z", rfReplaceAll), "abc");
}

// Sets the process-wide date and time formats for one test and puts the old ones back.
class TFormatsScope {
public:
    TFormatsScope(std::string_view date, std::string_view time)
        : date_(ShortDateFormat()), time_(LongTimeFormat())
    {
        SetShortDateFormat(date);
        SetLongTimeFormat(time);
    }
    ~TFormatsScope()
    {
        SetShortDateFormat(date_);
        SetLongTimeFormat(time_);
    }

private:
    std::string date_;
    std::string time_;
};

TEST(SysUtilsDates, EncodeDecodeAndText)
{
    const TFormatsScope formats("dd.mm.yyyy", "hh:nn:ss");
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 2, 29), 36585.0);
    EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2001, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);

    const TDateTime t = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 3, 0);
    Word y, m, d, h, n, s, ms;
    DecodeDate(t, y, m, d);
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d)), "2024-3-7");
    EXPECT_EQ(h * 10000 + n * 100 + s, 90503);
    EXPECT_EQ(DateToStr(t), "07.03.2024");
    EXPECT_EQ(TimeToStr(t), "09:05:03");
    EXPECT_EQ(DateTimeToStr(t), "07.03.2024 09:05:03");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 7)), "07.03.2024");
    EXPECT_EQ(DateToStr(EncodeDate(1, 1, 1)), "01.01.0001");
    EXPECT_EQ(TimeToStr(EncodeTime(23, 59, 59, 999)), "23:59:59");
    EXPECT_EQ(TimeToStr(0.99999999999), "23:59:59");  // never rounds up to 24:00:00
    // Before 1899-12-30 the fraction still counts forward from midnight.
    EXPECT_EQ(DateTimeToStr(-1.25), "29.12.1899 06:00:00");
    EXPECT_THROW(DateToStr(1e300), EConvertError);
    EXPECT_THROW(DateTimeToStr(std::nan("")), EConvertError);
}

TEST(SysUtilsDates, FormatTokens)
{
    const TDateTime morning = EncodeDate(2024, 3, 7) + EncodeTime(9, 5, 3, 0);
    const TDateTime evening = EncodeDate(1999, 11, 28) + EncodeTime(21, 45, 0, 0);
    {
        const TFormatsScope formats("d/m/yy", "h:n:s");
        EXPECT_EQ(DateToStr(morning), "7/3/24");
        EXPECT_EQ(TimeToStr(morning), "9:5:3");
        EXPECT_EQ(DateTimeToStr(evening), "28/11/99 21:45:0");
    }
    {
        // Tokens in any case; "m" and "mm" right after an hour are minutes, also when
        // a separator stands between them.
        const TFormatsScope formats("YYYY-MM-DD", "HH:MM:SS");
        EXPECT_EQ(DateToStr(morning), "2024-03-07");
        EXPECT_EQ(TimeToStr(morning), "09:05:03");
    }
    {
        const TFormatsScope formats("yyy", "hh:nn am/pm");
        EXPECT_EQ(DateToStr(EncodeDate(5, 1, 1)), "0005");  // three or more y: four digits
        EXPECT_EQ(TimeToStr(morning), "09:05 am");
        EXPECT_EQ(TimeToStr(evening), "09:45 pm");
        EXPECT_EQ(TimeToStr(EncodeTime(0, 30, 0, 0)), "12:30 am");
        EXPECT_EQ(TimeToStr(EncodeTime(12, 0, 0, 0)), "12:00 pm");
    }
    {
        // Quoted text and other letters are copied; quotes inside quotes of the other kind.
        const TFormatsScope formats("\"day\" d 'of' m, \"'\"x", "h'h'nn");
        EXPECT_EQ(DateToStr(morning), "day 7 of 3, 'x");
        EXPECT_EQ(TimeToStr(evening), "21h45");
        EXPECT_EQ(LongTimeFormat(), "h'h'nn");
    }
}

// The translated C library formats give what strftime gives (in the C locale, which
// the test program's own strftime uses for am/pm).
TEST(SysUtilsDates, StrftimeFormatsTranslate)
{
    EXPECT_EQ(DateFormatFromStrftime("%d.%m.%Y"), "dd.mm.yyyy");
    EXPECT_EQ(DateFormatFromStrftime("%m/%d/%y"), "mm/dd/yy");
    EXPECT_EQ(DateFormatFromStrftime("%T"), "hh:nn:ss");
    EXPECT_EQ(DateFormatFromStrftime("%a %d"), "");  // day names have no token
    EXPECT_EQ(DateFormatFromStrftime("%d.%"), "");
    EXPECT_EQ(DateFormatFromStrftime("%Y\xC3\xA5r"), "yyyy\xC3\xA5\"r\"");

    const char* const samples[] = {"%d.%m.%Y", "%m/%d/%y", "%Y-%m-%d", "%D", "%F", "%-d.%-m.%Y",
                                   "%H:%M:%S", "%T", "%R", "%I:%M:%S %p", "%r", "%-I:%M %P",
                                   "%Hh%M", "%Y. %m. %d.", "%d-%m-%Y, %H.%M"};
    // Second, minute, hour, day, month, year.
    const int times[][6] = {{3, 5, 9, 7, 3, 2024}, {59, 45, 21, 28, 11, 1999},
                            {0, 0, 0, 1, 1, 2000}, {0, 30, 12, 31, 12, 2001}};
    for (const char* sample : samples) {
        const std::string tokens = DateFormatFromStrftime(sample);
        ASSERT_FALSE(tokens.empty()) << sample;
        const TFormatsScope formats(tokens, tokens);
        for (const auto& t : times) {
            std::tm parts{};
            parts.tm_sec = t[0];
            parts.tm_min = t[1];
            parts.tm_hour = t[2];
            parts.tm_mday = t[3];
            parts.tm_mon = t[4] - 1;
            parts.tm_year = t[5] - 1900;
            char expected[64];
            ASSERT_GT(std::strftime(expected, sizeof expected, sample, &parts), 0u);
            const TDateTime value =
                EncodeDate(static_cast<Word>(t[5]), static_cast<Word>(t[4]), static_cast<Word>(t[3])) +
                EncodeTime(static_cast<Word>(t[2]), static_cast<Word>(t[1]), static_cast<Word>(t[0]), 0);
            EXPECT_EQ(DateToStr(value), expected) << sample << " as " << tokens;
        }
    }
}

// Readers on other threads see one whole format or the other, never a torn one.
TEST(SysUtilsDates, FormatsAreSafeAcrossThreads)
{
    const TFormatsScope formats("dd.mm.yyyy", "hh:nn:ss");
    const TDateTime value = EncodeDate(2024, 3, 7);
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string text = DateToStr(value);
                if (text != "07.03.2024" && text != "2024-03-07 (a longer format than the other)")
                    ++bad;
                ++reads;
            }
        });
    }
    for (int i = 0; i < 2000 || (reads.load() < 20000 && i < 10000000); ++i)
        SetShortDateFormat(i % 2 == 0 ? "yyyy-mm-dd \"(a longer format than the other)\"" : "dd.mm.yyyy");
    stop = true;
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(bad.load(), 0);
}

TEST(SysUtilsDates, NowIsTodayAndLocal)
{
    const TDateTime today = Date();
    const TDateTime now = Now();
    EXPECT_EQ(today, static_cast<double>(static_cast<Int64>(today)));
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.0 + 1e-6);  // allows the day to turn over between the calls
    EXPECT_GT(today, EncodeDate(2020, 1, 1));
}

TEST(SysUtilsFiles, NameParts)
{
    EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(ExtractFilePath("c.txt"), "");
    EXPECT_EQ(ExtractFileDir("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(ExtractFileDir("/c.txt"), "/");
    EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(ExtractFileName("/a/b/"), "");
    EXPECT_EQ(ExtractFileExt("/a/b/c.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFileExt("/a.d/readme"), "");
    EXPECT_EQ(ExtractFileExt("file."), ".");
    EXPECT_EQ(ChangeFileExt("/a/b/c.txt", ".ini"), "/a/b/c.ini");
    EXPECT_EQ(ChangeFileExt("/a.d/readme", ".ini"), "/a.d/readme.ini");
    EXPECT_EQ(ChangeFileExt("x.php", ""), "x");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(NormalizePathDelims("languages\\English_lang.dat"), "languages/English_lang.dat");
}

TEST(SysUtilsFiles, ExistenceAndDeletion)
{
    char dirTemplate[] = "/tmp/qv_sysutils_XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    const std::string file = dir + "/f.txt";
    EXPECT_FALSE(FileExists(file));
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(DeleteFile(dir));  // a folder is not deleted as a file
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_FALSE(FileExists(""));
    std::remove(dir.c_str());
}

TEST(SysUtilsFiles, ProgramPathIsThisTestProgram)
{
    const std::string path = ProgramPath();
    EXPECT_EQ(ExtractFileName(path), "platform_tests");
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ProgramDir(), ExtractFilePath(path));
    EXPECT_EQ(path.substr(0, 1), "/");
}

}  // namespace
