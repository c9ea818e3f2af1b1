// Headers and footers: macros, the item list, drawing on a bitmap page, and the text and
// stream forms.
#include "qvedit/print/QvEditPrintHeaderFooter.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/print/QvEditPrintMargins.h"
#include "qvedit/print/QvEditPrinterInfo.h"

#include <gtest/gtest.h>

namespace {

std::string Expand(const std::string& text, Integer pageNum = 3, Integer numPages = 12,
                   bool roman = false)
{
    THeaderFooterItem item;
    item.SetText(text);
    return item.GetText(numPages, pageNum, roman, "Doc", "10:20:30", "07.12.2026");
}

std::string Saved(const THeaderFooter& header)
{
    TStringStream stream;
    header.SaveToStream(&stream);
    return stream.DataString();
}

// Little-endian helpers for writing expected stream bytes by hand.
std::string LE32(DWORD value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Sized(const std::string& text)
{
    return LE32(static_cast<DWORD>(text.size())) + text;
}

TEST(HeaderFooterMacroTest, PageNumbersPlainAndRoman)
{
    EXPECT_EQ(Expand("Page $PAGENUM$ of $PAGECOUNT$"), "Page 3 of 12");
    EXPECT_EQ(Expand("Page $PAGENUM$ of $PAGECOUNT$", 3, 12, true), "Page III of XII");
}

TEST(HeaderFooterMacroTest, MacrosMatchInAnyCaseAndUnknownOnesStay)
{
    EXPECT_EQ(Expand("$pagenum$"), "3");
    EXPECT_EQ(Expand("$Title$"), "Doc");
    EXPECT_EQ(Expand("$FOO$"), "$FOO$");
    EXPECT_EQ(Expand("cost: $5 $TITLE$"), "cost: $5 Doc");
    EXPECT_EQ(Expand("a $ b"), "a $ b");
    EXPECT_EQ(Expand("ends with $"), "ends with $");
    EXPECT_EQ(Expand("$$TITLE$"), "$Doc");
    EXPECT_EQ(Expand("$TITLE$$TITLE$"), "DocDoc");
    EXPECT_EQ(Expand("$DATE$"), "07.12.2026");
    EXPECT_EQ(Expand("$TIME$"), "10:20:30");
    EXPECT_EQ(Expand("[$DATETIME$]"), "[07.12.2026 10:20:30]");
    EXPECT_EQ(Expand("$TIMEDATE$"), "10:20:30 07.12.2026");
    // A blank text gives nothing.
    EXPECT_EQ(Expand(""), "");
    EXPECT_EQ(Expand("   \t"), "");
    EXPECT_EQ(Expand(" x "), " x ");
}

TEST(HeaderFooterListTest, AddDeleteAndGet)
{
    THeader header;
    EXPECT_EQ(header.Add("a", nullptr, taLeftJustify, 1), 0);
    EXPECT_EQ(header.Add("b", nullptr, taCenter, 1), 1);
    EXPECT_EQ(header.Add("c", nullptr, taRightJustify, 2), 2);
    EXPECT_EQ(header.Get(0)->Font()->GetName(), "Arial");
    EXPECT_EQ(header.Get(0)->Font()->GetSize(), 10);
    header.Delete(1);
    ASSERT_EQ(header.Count(), 2);
    EXPECT_EQ(header.Get(1)->Text(), "c");
    EXPECT_EQ(header.Get(1)->Index(), 2);
    header.Delete(1);  // no item has index 1 any more
    EXPECT_EQ(header.Count(), 2);
    EXPECT_THROW(header.Get(2), EListError);
    EXPECT_THROW(header.Get(-1), EListError);
    header.Clear();
    EXPECT_EQ(header.Count(), 0);
}

TEST(HeaderFooterTextFormTest, FieldsAreEscapedAndJoinedAndReadBack)
{
    THeaderFooterItem item;
    item.SetText("a/b\\c");
    item.Font()->SetPixelsPerInch(96);
    item.Font()->SetName("Arial");
    item.Font()->SetSize(10);
    item.Font()->SetColor(clBlack);
    item.Font()->SetStyle(fsBold);
    item.SetLineNumber(3);
    item.SetAlignment(taCenter);
    EXPECT_EQ(item.GetAsString(), "a\\.b\\\\c/1/0/-13/Arial/0/96/10/1/3/2");

    THeader source;
    source.Add("Page $PAGENUM$ / $PAGECOUNT$", nullptr, taRightJustify, 1);
    source.Add("C:\\path", nullptr, taLeftJustify, 2);
    THeader copy;
    copy.SetAsString(source.GetAsString());
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.GetAsString(), source.GetAsString());
    EXPECT_EQ(copy.Get(0)->Text(), "Page $PAGENUM$ / $PAGECOUNT$");
    EXPECT_EQ(copy.Get(1)->Alignment(), taLeftJustify);
    copy.SetAsString("");
    EXPECT_EQ(copy.Count(), 2);
}

TEST(HeaderFooterTextFormTest, MalformedFormsAddNothing)
{
    THeader header;
    THeader valid;
    valid.Add("ok", nullptr, taLeftJustify, 1);
    const std::string good = valid.GetAsString();
    EXPECT_THROW(header.SetAsString(good + "/garbage"), EConvertError);
    EXPECT_EQ(header.Count(), 0);
    THeaderFooterItem item;
    EXPECT_THROW(item.SetAsString("t/0/0/-13/Arial/0/96/10/0/1/7"), EConvertError);  // alignment
    EXPECT_THROW(item.SetAsString("t/0/0/-13/Arial/9/96/10/0/1/0"), EConvertError);  // pitch
    EXPECT_THROW(item.SetAsString("t/0/0/x/Arial/0/96/10/0/1/0"), EConvertError);
    EXPECT_THROW(item.SetAsString("t/0/0"), EConvertError);
    EXPECT_EQ(item.Text(), "");
}

TEST(HeaderFooterStreamTest, LayoutByteForByte)
{
    THeader header;
    header.GetDefaultFont()->SetPixelsPerInch(96);
    header.GetDefaultFont()->SetSize(10);
    header.SetFrameTypes({ftLine, ftShaded});
    header.SetRomanNumbers(true);
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetName("Courier New");
    font.SetSize(12);
    font.SetColor(clBlue);
    font.SetStyle(fsItalic);
    font.SetPitch(fpFixed);
    font.SetCharset(204);
    header.Add("Hi", &font, taCenter, 2);

    const std::string defaultFont = std::string("\x01", 1) + LE32(0) + LE32(static_cast<DWORD>(-13)) +
                                    Sized("Arial") + std::string("\x00", 1) + LE32(10) +
                                    std::string("\x00", 1);
    const std::string itemFont = std::string("\xCC") + LE32(0xFF0000) +
                                 LE32(static_cast<DWORD>(-16)) + Sized("Courier New") + "\x02" +
                                 LE32(12) + "\x02";
    const std::string expected = std::string("\x05") + LE32(0xC0C0C0) + LE32(0) + "\x01" +
                                 std::string("\x00", 1) + defaultFont + LE32(1) + Sized("Hi") +
                                 LE32(2) + itemFont + "\x02";
    EXPECT_EQ(Saved(header), expected);

    THeader loaded;
    TStringStream stream(expected);
    loaded.LoadFromStream(&stream);
    EXPECT_EQ(Saved(loaded), expected);
    EXPECT_EQ(loaded.Get(0)->Font()->GetName(), "Courier New");
    EXPECT_EQ(loaded.Get(0)->Font()->GetCharset(), 204);
}

TEST(HeaderFooterStreamTest, LoadingAddsToTheItemsPresent)
{
    THeader source;
    source.Add("one", nullptr, taLeftJustify, 1);
    const std::string bytes = Saved(source);
    THeader target;
    for (int i = 0; i < 2; ++i) {
        TStringStream stream(bytes);
        target.LoadFromStream(&stream);
    }
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.Get(1)->Index(), 1);
}

TEST(HeaderFooterStreamTest, BadStreamsLoadOrFailWithoutChanges)
{
    THeader source;
    source.Add("Page $PAGENUM$", nullptr, taRightJustify, 1);
    source.Add("$TITLE$", nullptr, taCenter, 2);
    const std::string good = Saved(source);
    THeader target;
    for (std::size_t length = 0; length < good.size(); ++length) {
        TStringStream stream(good.substr(0, length));
        EXPECT_THROW(target.LoadFromStream(&stream), EReadError) << length;
    }
    std::string badAlignment = good;
    badAlignment.back() = '\x03';
    std::string hugeCount = Saved(THeader());  // a count far beyond the bytes that follow
    hugeCount.replace(hugeCount.size() - 4, 4, LE32(0x7FFFFFFF));
    for (const std::string& bad : {badAlignment, hugeCount + good}) {
        TStringStream stream(bad);
        EXPECT_THROW(target.LoadFromStream(&stream), EReadError);
    }
    EXPECT_EQ(target.Count(), 0);
    EXPECT_EQ(target.GetFrameTypes(), TFrameTypes{ftLine});
    // A fixed pseudo-random sequence of byte changes; every load either succeeds or
    // raises EReadError, and a failed load leaves the header empty.
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = good;
        for (int change = 0; change < 1 + round % 4; ++change)
            damaged[next() % damaged.size()] = static_cast<char>(next() >> 16);
        THeader target;
        TStringStream stream(damaged);
        try {
            target.LoadFromStream(&stream);
        } catch (const EReadError&) {
            EXPECT_EQ(target.Count(), 0);
        }
    }
}

}  // namespace
