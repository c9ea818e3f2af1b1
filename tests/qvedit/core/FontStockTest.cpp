#include "qvedit/core/QvTextDrawer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TFont> MakeFont(Integer size, TFontStyles style = TFontStyles())
{
    auto font = std::make_unique<TFont>();
    font->SetName("Courier New");
    font->SetSize(size);
    font->SetStyle(style);
    return font;
}

// Holds one reference to the record of a font, so that a test can watch its counts.
class TRecordProbe {
public:
    explicit TRecordProbe(TFont* font) : info(GetFontsInfoManager().GetFontsInfo(font)) {}
    ~TRecordProbe() { GetFontsInfoManager().ReleaseFontsInfo(info); }
    TRecordProbe(const TRecordProbe&) = delete;
    TRecordProbe& operator=(const TRecordProbe&) = delete;

    TQvSharedFontsInfo* info;
};

TEST(FontStock, FontsEqualButForStylesShareOneRecordAndCountsReturn)
{
    auto plain = MakeFont(10);
    auto italic = MakeFont(10, fsItalic | fsUnderline | fsStrikeOut);
    auto larger = MakeFont(12);
    TRecordProbe probe(plain.get());
    {
        TQvFontStock first(plain.get());
        TQvFontStock second(italic.get());
        EXPECT_EQ(probe.info->RefCount, 3);
        EXPECT_EQ(probe.info->LockCount, 2);
        first.SetBaseFont(italic.get());  // the same record: no extra reference
        EXPECT_EQ(probe.info->RefCount, 3);

        TRecordProbe largerProbe(larger.get());
        EXPECT_NE(largerProbe.info, probe.info);
        first.SetBaseFont(larger.get());
        EXPECT_EQ(probe.info->RefCount, 2);
        EXPECT_EQ(probe.info->LockCount, 1);
        EXPECT_EQ(largerProbe.info->RefCount, 2);
    }
    EXPECT_EQ(probe.info->RefCount, 1);
    EXPECT_EQ(probe.info->LockCount, 0);

    auto bold = MakeFont(10, fsBold);
    TRecordProbe boldProbe(bold.get());
    EXPECT_NE(boldProbe.info, probe.info);  // the weight is part of the key
}

TEST(FontStock, StocksShareHandlesUntilTheLastLetsGo)
{
    auto font = MakeFont(11);
    TRecordProbe probe(font.get());
    TQvFontStock first(font.get());
    TQvFontStock second(font.get());
    first.SetStyle(fsBold | fsUnderline);
    second.SetStyle(fsBold | fsUnderline);
    EXPECT_EQ(first.GetFontHandle(), second.GetFontHandle());
    LOGFONTA logFont{};
    ASSERT_GT(GetObjectA(first.GetFontHandle(), sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(logFont.lfUnderline, 1);
    EXPECT_EQ(logFont.lfItalic, 0);

    const TQvFontData& data = probe.info->FontsData[(fsBold | fsUnderline).Value()];
    first.ReleaseFontHandles();
    EXPECT_NE(data.Handle, nullptr);  // the second stock still uses it
    second.ReleaseFontHandles();
    EXPECT_EQ(data.Handle, nullptr);

    first.SetStyle(fsBold);  // handles are made again on demand
    EXPECT_NE(first.GetFontHandle(), nullptr);
    EXPECT_EQ(probe.info->LockCount, 1);
}

TEST(FontStock, MeasuresTheAdvanceOfMAlikeForEveryStyleOfAMonospacedFont)
{
    auto font = MakeFont(10);
    TQvFontStock stock(font.get());
    HDC dc = GetDC(nullptr);
    SelectObject(dc, stock.GetFontHandle());
    ABC abc{};
    ASSERT_TRUE(GetCharABCWidthsA(dc, 'M', 'M', &abc));
    ReleaseDC(nullptr, dc);
    const Integer plainAdvance = stock.GetCharAdvance();
    EXPECT_EQ(abc.abcA + static_cast<Integer>(abc.abcB) + abc.abcC, plainAdvance);
    EXPECT_GT(stock.GetCharHeight(), plainAdvance);
    for (TFontStyles style : {TFontStyles(fsBold), TFontStyles(fsItalic), fsBold | fsItalic}) {
        stock.SetStyle(style);
        EXPECT_EQ(stock.GetCharAdvance(), plainAdvance);
    }
}

TEST(FontStock, UsageErrorsRaise)
{
    auto font = MakeFont(13);
    TQvFontStock stock(font.get());
    try {
        stock.SetBaseFont(nullptr);
        FAIL();
    } catch (const EQvFontStockException& e) {
        EXPECT_EQ(e.Message(), "SetBaseFont: 'Value' must be specified.");
    }

    // A record may not be released while every holder still has it locked.
    TQvFontsInfoManager& manager = GetFontsInfoManager();
    TQvSharedFontsInfo* info = manager.GetFontsInfo(font.get());
    stock.ReleaseFontHandles();
    manager.LockFontsInfo(info);
    manager.LockFontsInfo(info);
    try {
        manager.ReleaseFontsInfo(info);
        FAIL();
    } catch (const EQvFontStockException& e) {
        EXPECT_EQ(e.Message(), "Call DeactivateFontsInfo before calling this.");
    }
    manager.UnLockFontsInfo(info);
    manager.UnLockFontsInfo(info);
    EXPECT_THROW(manager.UnLockFontsInfo(info), EQvFontStockException);
    manager.ReleaseFontsInfo(info);
}

}  // namespace
