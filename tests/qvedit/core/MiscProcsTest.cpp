#include "qvedit/core/QvEditMiscProcs.h"

#include "platform/runtime/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Random lines of letters, blanks and TABs, TABs frequent.
std::string RandomLine(std::mt19937& rng)
{
    static const char alphabet[] = "\t\tab \t,x";
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
    std::string line;
    for (int n = length(rng); n > 0; --n)
        line += alphabet[pick(rng)];
    return line;
}

}  // namespace

TEST(MiscProcs, SharedSetsKeepTheirBitLayout)
{
    TQvSearchOptions options{ssoMatchCase, ssoReplaceAll};
    EXPECT_EQ(options.ToBits(), 0x41);
    EXPECT_EQ(sizeof(options), 1u);
    TQvStatusChanges changes{scCaretX, scSelection};
    EXPECT_EQ(changes.ToBits(), 0x82);
    changes.Include(scReadOnly);
    EXPECT_EQ(changes.ToBits(), 0x182);
    EXPECT_EQ(sizeof(changes), 2u);
    EXPECT_TRUE((changes - TQvStatusChanges{scCaretX}).Contains(scSelection));
    EXPECT_FALSE((changes - TQvStatusChanges{scCaretX}).Contains(scCaretX));
    EXPECT_EQ(TQvSearchOptions::FromBits(0x41), options);

    TQvCharSet word = TQvCharSet::Range('a', 'z') + TQvCharSet("_");
    EXPECT_TRUE(word.Contains('q'));
    EXPECT_TRUE(word.Contains('_'));
    EXPECT_FALSE(word.Contains('Q'));
    EXPECT_FALSE(word.Contains('\xE0'));
    EXPECT_TRUE(TQvCharSet::Range(0xE0, 0xFF).Contains('\xFF'));
}

TEST(MiscProcs, IntegerAndPointHelpers)
{
    EXPECT_EQ(MinMax(5, 10, 1), 10);
    EXPECT_EQ(MinMax(5, 1, 10), 5);
    EXPECT_EQ(MinMax(-3, 1, 10), 1);
    Integer a = 1, b = 2;
    SwapInt(a, b);
    EXPECT_EQ(a * 10 + b, 21);
    EXPECT_EQ(maxPoint(TPoint{9, 1}, TPoint{1, 2}), (TPoint{1, 2}));
    EXPECT_EQ(minPoint(TPoint{9, 1}, TPoint{1, 2}), (TPoint{9, 1}));
    EXPECT_EQ(maxPoint(TPoint{3, 2}, TPoint{4, 2}), (TPoint{4, 2}));
    EXPECT_EQ(GetIntArray(3, 7), (std::vector<Integer>{7, 7, 7}));
    EXPECT_TRUE(GetIntArray(-1, 7).empty());
}

TEST(MiscProcs, TabsArePaddedWithTabsToTheNextStop)
{
    bool hasTabs = false;
    EXPECT_EQ(ConvertTabsEx("a\tb", 8, hasTabs), "a" + std::string(7, '\t') + "b");
    EXPECT_TRUE(hasTabs);
    EXPECT_EQ(ConvertTabsEx("plain", 8, hasTabs), "plain");
    EXPECT_FALSE(hasTabs);
    EXPECT_EQ(ConvertTabs("a\tb", 1), "a b");
    EXPECT_EQ(ConvertTabs("\ta\t", 0), " a ");
    EXPECT_EQ(GetBestConvertTabsProc(0)("\t\t", 0), "  ");
    EXPECT_EQ(ConvertTabs("abcd\tx", 4), "abcd\t\t\t\tx");
    EXPECT_EQ(ConvertTabs("abc\tx", 6), "abc\t\t\tx");
}

// Every routine, for every width, against a column-by-column model of the rule.
TEST(MiscProcs, EveryTabRoutineFollowsTheColumnRule)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 400; ++round) {
        std::string line = RandomLine(rng);
        for (Integer width = 0; width <= 17; ++width) {
            std::string model;
            for (char c : line) {
                if (c != '\t')
                    model += c;
                else if (width < 2)
                    model += ' ';
                else
                    model.append(width - model.size() % width, '\t');
            }
            bool generic = false;
            bool best = false;
            SCOPED_TRACE(testing::Message() << "width " << width << " line '" << line << "'");
            EXPECT_EQ(ConvertTabsEx(line, width, generic), model);
            EXPECT_EQ(GetBestConvertTabsProcEx(width)(line, width, best), model);
            EXPECT_EQ(GetBestConvertTabsProc(width)(line, width), model);
            EXPECT_EQ(generic, line.find('\t') != std::string::npos);
            EXPECT_EQ(best, generic);
        }
    }
}

// 32768 TABs at width 65536 reach column 2^31, past what a 32-bit column can hold. The
// mask routine once cut the column to 31 bits, measured a short result and then wrote the
// characters before the wrap far past its end.
TEST(MiscProcs, AnExpansionPastTheColumnRangeRaisesInsteadOfOverflowing)
{
    std::string line = std::string(32767, '\t') + "a\tb";
    bool hasTabs = false;
    EXPECT_THROW(GetBestConvertTabsProcEx(65536)(line, 65536, hasTabs), EOutOfResources);
    EXPECT_THROW(ConvertTabs(line, 65536), EOutOfResources);
    // The division routine stops before it asks for gigabytes.
    EXPECT_THROW(ConvertTabs(std::string(40000, '\t'), 65535), EOutOfResources);
    std::string wide = ConvertTabs(std::string(100, '\t') + "z", 65536);
    EXPECT_EQ(wide.size(), 100u * 65536u + 1u);
    EXPECT_EQ(wide.back(), 'z');
}

TEST(MiscProcs, CharIndexAndDisplayColumn)
{
    bool inside = false;
    EXPECT_EQ(CharIndex2CaretPos(3, 4, "a\tb"), 5);
    EXPECT_EQ(CaretPos2CharIndex(3, 4, "a\tb", inside), 2);
    EXPECT_TRUE(inside);
    EXPECT_EQ(CaretPos2CharIndex(5, 4, "a\tb", inside), 3);
    EXPECT_FALSE(inside);
    EXPECT_EQ(CharIndex2CaretPos(0, 4, "a\tb"), 1);
    // Past the end: unchanged without TABs, one after the last character with them.
    EXPECT_EQ(CaretPos2CharIndex(20, 4, "abc", inside), 20);
    EXPECT_EQ(CaretPos2CharIndex(20, 4, "a\tb", inside), 4);
    EXPECT_EQ(CharIndex2CaretPos(10, 4, "a\tb"), 6);
    // Widths below 2 have one column per character.
    EXPECT_EQ(CharIndex2CaretPos(3, 1, "a\tb"), 3);
    EXPECT_EQ(CaretPos2CharIndex(3, 0, "a\tb", inside), 3);
}

TEST(MiscProcs, ColumnConversionsInvertEachOther)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        std::string line = RandomLine(rng);
        for (Integer width : {2, 3, 4, 8}) {
            std::string expanded = ConvertTabs(line, width);
            SCOPED_TRACE(testing::Message() << "width " << width << " line '" << line << "'");
            Integer column = 1;
            for (Integer index = 1; index <= static_cast<Integer>(line.size()) + 1; ++index) {
                Integer pos = CharIndex2CaretPos(index, width, line);
                EXPECT_EQ(pos, column);
                bool inside = true;
                EXPECT_EQ(CaretPos2CharIndex(pos, width, line, inside), index);
                EXPECT_FALSE(inside);
                if (index <= static_cast<Integer>(line.size()) && line[index - 1] == '\t') {
                    Integer next = column + width - (column - 1) % width;
                    for (Integer within = column + 1; within < next; ++within) {
                        EXPECT_EQ(CaretPos2CharIndex(within, width, line, inside), index);
                        EXPECT_TRUE(inside);
                    }
                    column = next;
                } else {
                    ++column;
                }
            }
            EXPECT_EQ(CharIndex2CaretPos(static_cast<Integer>(line.size()) + 1, width, line),
                      static_cast<Integer>(expanded.size()) + 1);
        }
    }
}

TEST(MiscProcs, ScanningForCharactersOfASet)
{
    TQvCharSet punctuation(",;");
    EXPECT_EQ(StrScanForCharInSet("ab,c;d", 1, punctuation), 3);
    EXPECT_EQ(StrScanForCharInSet("ab,c;d", 4, punctuation), 5);
    EXPECT_EQ(StrScanForCharInSet("ab,c;d", 6, punctuation), 0);
    EXPECT_EQ(StrScanForCharInSet("ab,c;d", 0, punctuation), 0);
    EXPECT_EQ(StrScanForCharInSet("ab,c;d", 7, punctuation), 0);
    EXPECT_EQ(StrRScanForCharInSet("ab,c;d", 6, punctuation), 5);
    EXPECT_EQ(StrRScanForCharInSet("ab,c;d", 4, punctuation), 3);
    EXPECT_EQ(StrRScanForCharInSet("ab,c;d", 2, punctuation), 0);
    EXPECT_EQ(StrRScanForCharInSet("ab,c;d", 9, punctuation), 0);
    TQvCharSet high = TQvCharSet::Range(0xE0, 0xFF);
    EXPECT_EQ(StrScanForCharInSet("ab\xE9", 1, high), 3);
    EXPECT_EQ(StrScanForMultiByteChar("ab\xE9", 1), 0);
    EXPECT_EQ(StrRScanForMultiByteChar("ab\xE9", 3), 0);
}

TEST(MiscProcs, GetEOLStopsAtTheFirstLineEndOrTheEnd)
{
    const char* text = "ab\ncd";
    EXPECT_EQ(GetEOL(text), text + 2);
    const char* mac = "x\ry\n";
    EXPECT_EQ(GetEOL(mac), mac + 1);
    const char* none = "abc";
    EXPECT_EQ(GetEOL(none), none + 3);
    EXPECT_EQ(GetEOL(nullptr), nullptr);
}

TEST(MiscProcs, EncodeAndDecodeString)
{
    EXPECT_EQ(EncodeString("a/b\\c"), "a\\.b\\\\c");
    EXPECT_EQ(DecodeString("a\\.b\\\\c"), "a/b\\c");
    EXPECT_EQ(DecodeString("x\\"), "x/");
    EXPECT_EQ(DecodeString("\\q"), "/");
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> pick(0, 3);
    for (int round = 0; round < 200; ++round) {
        std::string s;
        for (int n = round % 13; n > 0; --n)
            s += "a/\\."[pick(rng)];
        EXPECT_EQ(DecodeString(EncodeString(s)), s);
    }
}
