// Fonts, pens and brushes: change notification, size rules, handles; system colours.
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ChangeCounter : public TObject {
public:
    void Changed(TObject*) { ++count; }
    int count = 0;
};

TEST(FontTest, OnChangeFiresOnEveryEffectiveChangeOnly)
{
    TFont font;
    ChangeCounter counter;
    font.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);

    font.SetName("Courier New");
    font.SetName("Courier New");
    EXPECT_EQ(counter.count, 1);
    font.SetStyle(fsBold | fsItalic);
    font.SetStyle(TFontStyles{fsItalic, fsBold});
    EXPECT_EQ(counter.count, 2);
    font.SetColor(clRed);
    font.SetColor(clRed);
    font.SetCharset(RUSSIAN_CHARSET);
    font.SetCharset(RUSSIAN_CHARSET);
    font.SetPitch(fpFixed);
    font.SetPitch(fpFixed);
    EXPECT_EQ(counter.count, 5);
    font.SetSize(font.GetSize());
    font.SetHeight(font.GetHeight());
    EXPECT_EQ(counter.count, 5);
    font.SetSize(10);
    EXPECT_EQ(counter.count, 6);

    TFont copy;
    copy.Assign(&font);
    ChangeCounter copyCounter;
    copy.OnChange = TNotifyEvent(&copyCounter, &ChangeCounter::Changed);
    copy.Assign(&font);
    EXPECT_EQ(copyCounter.count, 0) << "assigning equal properties changes nothing";
    font.SetStyle(fsBold);
    copy.Assign(&font);
    EXPECT_EQ(copyCounter.count, 1);
    EXPECT_EQ(copy.GetStyle(), TFontStyles(fsBold));
}

TEST(FontTest, SizeAndHeightFollowTheResolution)
{
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(10);
    EXPECT_EQ(font.GetHeight(), -13);
    font.SetHeight(-11);
    EXPECT_EQ(font.GetSize(), 8);
    font.SetHeight(16);  // a cell height: the size counts it as negative points
    EXPECT_EQ(font.GetSize(), -12);

    font.SetSize(10);
    font.SetPixelsPerInch(300);
    EXPECT_EQ(font.GetSize(), 10) << "a new resolution keeps the point size";
    EXPECT_EQ(font.GetHeight(), -42);
    font.SetPixelsPerInch(0);
    EXPECT_EQ(font.GetPixelsPerInch(), 300) << "a resolution of 0 is refused";
}

TEST(FontTest, HandleDescribesTheFontAndFollowsItsChanges)
{
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetName("Courier New");
    font.SetSize(10);
    font.SetStyle(fsBold | fsUnderline);
    font.SetPitch(fpFixed);
    font.SetCharset(RUSSIAN_CHARSET);
    const LOGFONTA lf = font.GetLogFont();
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(lf.lfFaceName, "Courier New");

    HFONT handle = font.GetHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(font.GetHandle(), handle);
    EXPECT_EQ(std::memcmp(&handle->LogFont(), &lf, sizeof(lf)), 0);

    // A context still drawing with the old handle keeps it alive after the font changes.
    HDC dc = GetDC(nullptr);
    SelectObject(dc, handle);
    font.SetStyle(TFontStyles());
    EXPECT_EQ(font.GetHandle()->LogFont().lfWeight, FW_NORMAL);
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    ReleaseDC(nullptr, dc);

    // Long names are cut to fit the 32-byte face name.
    font.SetName(std::string(40, 'x'));
    EXPECT_EQ(std::strlen(font.GetLogFont().lfFaceName), 31u);
}

TEST(FontTest, SettingAHandleAdoptsItsDescription)
{
    LOGFONTA lf{};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfStrikeOut = 1;
    lf.lfCharSet = EASTEUROPE_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT source = CreateFontIndirectA(&lf);
    TFont font;
    ChangeCounter counter;
    font.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    font.SetHandle(source);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(font.GetName(), "Arial");
    EXPECT_EQ(font.GetHeight(), -16);
    EXPECT_EQ(font.GetStyle(), fsBold | fsItalic | fsStrikeOut);
    EXPECT_EQ(font.GetCharset(), EASTEUROPE_CHARSET);
    EXPECT_EQ(font.GetPitch(), fpVariable);
    font.SetHandle(source);
    EXPECT_EQ(counter.count, 1);
    EXPECT_TRUE(DeleteObject(source)) << "the handle stays the caller's";
}

TEST(FontTest, StyleSetArithmetic)
{
    TFontStyles s = fsBold | fsStrikeOut;
    EXPECT_EQ(s.Value(), 9);
    EXPECT_TRUE(s.Contains(fsStrikeOut));
    EXPECT_FALSE(s.Contains(fsItalic));
    s.Include(fsItalic);
    s.Exclude(fsBold);
    EXPECT_EQ(s, fsItalic | fsStrikeOut);
    EXPECT_EQ((s - fsItalic).Value(), 8);
    EXPECT_EQ(TFontStyles::FromValue(0xFF).Value(), 15);
    EXPECT_TRUE(TFontStyles().Empty());
}

TEST(PenBrushTest, ChangesAreAnnouncedAndAColourMakesABrushSolid)
{
    TBrush brush;
    ChangeCounter counter;
    brush.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    brush.SetStyle(bsClear);
    EXPECT_EQ(counter.count, 1);
    brush.SetColor(brush.GetColor());
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    EXPECT_EQ(counter.count, 2);
    brush.SetColor(brush.GetColor());
    EXPECT_EQ(counter.count, 2);

    TPen pen;
    pen.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    pen.SetWidth(0);
    EXPECT_EQ(pen.GetWidth(), 1);
    EXPECT_EQ(counter.count, 2);
    pen.SetStyle(psDot);
    TPen other;
    other.Assign(&pen);
    EXPECT_EQ(other.GetStyle(), psDot);
    EXPECT_THROW(other.Assign(&brush), EConvertError);
}

TEST(SystemColorTest, PaletteDecidesSystemColoursOnceInstalled)
{
    InstallQtSystemColors();
    const QPalette palette = QGuiApplication::palette();
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor tip = palette.color(QPalette::Active, QPalette::ToolTipBase);
    EXPECT_EQ(ColorToRGB(clWindow), RGB(base.red(), base.green(), base.blue()));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(highlight.red(), highlight.green(), highlight.blue()));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(tip.red(), tip.green(), tip.blue()));
    EXPECT_EQ(QColorFromColor(clWindow), QColor(base.rgb()));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    SetSystemColorResolver({});
    EXPECT_EQ(ColorToRGB(clWindow), DefaultSystemColor(5));
}

}  // namespace
