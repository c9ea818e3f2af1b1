// The item mark-up parser, plain-text extraction, the older mark-up and parameter hints.
#include "qvedit/completion/QvCompletionFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Parts = std::vector<std::string>;

// Text chunks as "'text'", commands as name:data.
Parts Describe(const std::string& text, TFormatCommands drop = {})
{
    TFormatChunkList chunks;
    ParseFormattedString(text, chunks, drop);
    Parts result;
    for (Integer i = 0; i < chunks.Count(); ++i) {
        const TFormatChunk& c = chunks.Chunks(i);
        const std::string data = std::to_string(c.Data);
        switch (c.Command) {
        case fcNoCommand: result.push_back("'" + c.Text + "'"); break;
        case fcColor: result.push_back("color:" + data); break;
        case fcStyle: result.push_back("style:" + std::string(1, c.Style->Style) + std::to_string(c.Style->Action)); break;
        case fcColumn: result.push_back("column"); break;
        case fcHSpace: result.push_back("hspace:" + data); break;
        case fcImage: result.push_back("image:" + data); break;
        }
    }
    return result;
}

const std::string Red = "color:" + std::to_string(clRed);

TEST(CompletionMarkup, CommandsAndBackslashes)
{
    EXPECT_EQ(Describe(""), Parts{});
    EXPECT_EQ(Describe("\\\\"), Parts{"'\\'"});
    EXPECT_EQ(Describe("a\\\\b"), Parts{"'a\\b'"});
    EXPECT_EQ(Describe("a\\color{clRed}b\\style{+B}c\\column{}d\\hspace{12}e\\image{3}f"),
              (Parts{"'a'", Red, "'b'", "style:B1", "'c'", "column", "'d'", "hspace:12", "'e'", "image:3", "'f'"}));
    EXPECT_EQ(Describe("\\style{-i}\\style{~s}\\hspace{$1F}\\image{-2}\\color{$00563412}"),
              (Parts{"style:I-1", "style:S0", "hspace:31", "image:-2", "color:" + std::to_string(RGB(0x12, 0x34, 0x56))}));
    EXPECT_EQ(Describe("\\COLOR{clRed}\\Color{CLRED}\\COLUMN{}"), (Parts{Red, Red, "column"}));
}

// Malformed and unknown commands vanish up to their "}" and the text goes on. A number or
// colour that does not convert is dropped too rather than raising out of a paint.
TEST(CompletionMarkup, MalformedCommandsAreDropped)
{
    for (const char* command : {"\\style{+x}", "\\style{B}", "\\style{+BB}", "\\column{x}", "\\unknown{arg}",
                                "\\hspace{wide}", "\\image{}", "\\image{1 }", "\\hspace{99999999999}",
                                "\\color{clNoSuchColour}"})
        EXPECT_EQ(Describe(std::string("ab") + command + "cd"), (Parts{"'ab'", "'cd'"})) << command;
    EXPECT_EQ(Describe("abc\\co"), Parts{"'abc'"});
    EXPECT_EQ(Describe("abc\\"), Parts{"'abc'"});
    EXPECT_EQ(Describe("abc\\color{clRed}x\\style{+B"), (Parts{"'abc'", Red, "'x'"}));
}

TEST(CompletionMarkup, DroppingAndStripping)
{
    EXPECT_EQ(Describe("\\color{clRed}a\\style{+B}\\column{}b", {fcColor}), (Parts{"'a'", "style:B1", "column", "'b'"}));
    EXPECT_EQ(StripFormatCommands("\\image{0}x\\hspace{4}y\\column{}\\color{clRed}z\\\\\\style{+x}"), "xyz\\");

    TFormatChunkList chunks;
    ParseFormattedString("a", chunks, {});
    ParseFormattedString("b", chunks, {});
    EXPECT_EQ(chunks.Count(), 2) << "parsing appends";
    EXPECT_THROW(chunks.Chunks(2), EListError);
}

TEST(CompletionOlderMarkup, ControlCharactersBecomeCommands)
{
    EXPECT_EQ(PrettyTextToFormattedString(std::string("\x01\xFF\x00\x00r\x02\x12\x34\x56x", 10), false),
              "\\color{clRed}r\\color{$00563412}x");
    EXPECT_EQ(Describe(PrettyTextToFormattedString(std::string("\x01\x12\x34\x56", 4), false)),
              Parts{"color:" + std::to_string(RGB(0x12, 0x34, 0x56))});
    EXPECT_EQ(PrettyTextToFormattedString("\x03" "Ba\x03" "bc\x03" "Id\x03" "ie\x03" "Uf\x03" "ug\x03" "Sh", false),
              "\\style{+B}a\\style{-B}c\\style{+I}d\\style{-I}e\\style{+U}f\\style{-U}gh");
    EXPECT_EQ(PrettyTextToFormattedString("a\tb", false), "a\\column{}b");
    EXPECT_EQ(PrettyTextToFormattedString("a\tb", true), "a\\column{}\\style{~B}b");
}

// A command cut off by the end of the text is dropped instead of reading past the end.
TEST(CompletionOlderMarkup, IncompleteCommandAtTheEndIsDropped)
{
    EXPECT_EQ(PrettyTextToFormattedString(std::string("ab\x01\xFF\x00", 5), false), "ab");
    EXPECT_EQ(PrettyTextToFormattedString("ab\x02", false), "ab");
    EXPECT_EQ(PrettyTextToFormattedString("ab\x03", false), "ab");
}

TEST(CompletionParameterHint, CurrentParameterInBold)
{
    EXPECT_EQ(FormatParameterHint("a, b, c", 1), "a \\style{~B}b\\style{~B} c");
    EXPECT_EQ(FormatParameterHint("\"int x\",y z", 0), "\\style{~B}int x\\style{~B} y z");
    EXPECT_EQ(FormatParameterHint("a, b, c", -1), "a b c");
    EXPECT_EQ(FormatParameterHint("a, b, c", 3), "a b c");
}

}  // namespace
