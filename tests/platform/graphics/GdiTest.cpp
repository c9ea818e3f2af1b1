// Fonts, metrics, context state and object lifetimes of the classic graphics calls.
#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

LOGFONTA MakeLogFont(const char* face, LONG height, LONG weight = FW_NORMAL, Byte italic = 0)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfCharSet = ANSI_CHARSET;
    std::strcpy(lf.lfFaceName, face);
    return lf;
}

// A screen measuring context with one font selected for the duration of a test step.
class Measured {
public:
    explicit Measured(const LOGFONTA& lf) : dc_(GetDC(nullptr)), font_(CreateFontIndirectA(&lf))
    {
        SelectObject(dc_, font_);
    }
    ~Measured()
    {
        ReleaseDC(nullptr, dc_);
        DeleteObject(font_);
    }
    HDC Dc() const { return dc_; }
    TEXTMETRICA Metrics() const
    {
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc_, &tm));
        return tm;
    }
    int Advance(unsigned char c) const
    {
        ABC abc{};
        EXPECT_TRUE(GetCharABCWidthsA(dc_, c, c, &abc));
        return abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
    }

private:
    HDC dc_;
    HFONT font_;
};

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { SetAnsiCodePage(1252); }
};

TEST_F(GdiTest, LogFontHasTheStoredLayout)
{
    EXPECT_EQ(sizeof(LOGFONTA), 60u);
    EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONTA, lfPitchAndFamily), 27u);
    EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
}

// Liberation Mono stands in for "Courier New". At 10 pt on 96 pixels per inch (em height
// 13) it measures ascent 11, descent 4, advance 8 (1229/2048 em, rounded); the relations
// below hold for any face of that kind, so they are what is asserted.
TEST_F(GdiTest, CourierNewTenPointMetricsAreConsistent)
{
    EXPECT_EQ(ResolveFaceName("Courier New"), "Liberation Mono");
    Measured m(MakeLogFont("Courier New", -MulDiv(10, 96, 72)));
    const TEXTMETRICA tm = m.Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 13);
    EXPECT_GE(tm.tmInternalLeading, 0);
    EXPECT_GE(tm.tmExternalLeading, 0);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    EXPECT_EQ(tm.tmAveCharWidth, tm.tmMaxCharWidth);
    EXPECT_EQ(tm.tmAveCharWidth, m.Advance('M'));
    EXPECT_EQ(tm.tmAveCharWidth, std::lround(13 * 1229 / 2048.0));
    EXPECT_EQ(tm.tmOverhang, 0);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "the bit is set for variable pitch";
    EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_MODERN);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_EQ(tm.tmDigitizedAspectY, ScreenPixelsPerInch());
}

TEST_F(GdiTest, ProportionalFaceReportsVariablePitch)
{
    Measured m(MakeLogFont("Arial", -13));
    const TEXTMETRICA tm = m.Metrics();
    EXPECT_LT(tm.tmAveCharWidth, tm.tmMaxCharWidth);
    EXPECT_NE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_LT(m.Advance('i'), m.Advance('W'));
}

TEST_F(GdiTest, BoldItalicAndPlainMonospacedCellsAgreeFromEightToFourteenPoints)
{
    for (int points = 8; points <= 14; ++points) {
        const LONG height = -MulDiv(points, 96, 72);
        const int plain = Measured(MakeLogFont("Courier New", height)).Metrics().tmAveCharWidth;
        for (LONG weight : {FW_NORMAL, FW_BOLD}) {
            for (Byte italic : {0, 1}) {
                Measured m(MakeLogFont("Courier New", height, weight, italic));
                const TEXTMETRICA tm = m.Metrics();
                EXPECT_EQ(tm.tmAveCharWidth, plain) << points << " pt, weight " << weight;
                EXPECT_EQ(tm.tmMaxCharWidth, plain) << points << " pt, weight " << weight;
                EXPECT_EQ(m.Advance('M'), plain) << points << " pt, italic " << int(italic);
            }
        }
    }
}

// Measuring a face's 256 advances is the costly part of a font; every font object of the
// same face, size and style takes the table measured first, underlined or not, and gets
// the same metrics as the first.
TEST_F(GdiTest, FontsOfOneFaceSizeAndStyleMeasureTheirGlyphsOnce)
{
    const LONG height = -23;  // a size no other test here measures
    const int before = MeasuredGlyphTableCount();
    Measured first(MakeLogFont("Courier New", height));
    const TEXTMETRICA plain = first.Metrics();
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 1);

    Measured second(MakeLogFont("Courier New", height));
    LOGFONTA underlinedFont = MakeLogFont("Courier New", height);
    underlinedFont.lfUnderline = 1;
    Measured underlined(underlinedFont);
    for (const Measured* m : {&second, &underlined}) {
        const TEXTMETRICA tm = m->Metrics();
        EXPECT_EQ(tm.tmAveCharWidth, plain.tmAveCharWidth);
        EXPECT_EQ(tm.tmMaxCharWidth, plain.tmMaxCharWidth);
        EXPECT_EQ(tm.tmHeight, plain.tmHeight);
        for (int c = 0; c < 256; ++c)
            EXPECT_EQ(m->Advance(static_cast<unsigned char>(c)), first.Advance(static_cast<unsigned char>(c))) << c;
    }
    EXPECT_EQ(underlined.Metrics().tmUnderlined, 0xFF);
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 1);

    Measured bold(MakeLogFont("Courier New", height, FW_BOLD));
    bold.Metrics();
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 2);
    // A font that follows the ANSI code page shares the table of its code page; another
    // code page is another table.
    LOGFONTA followingFont = MakeLogFont("Courier New", height);
    followingFont.lfCharSet = DEFAULT_CHARSET;
    Measured following(followingFont);
    following.Metrics();
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 2);
    SetAnsiCodePage(1251);
    following.Metrics();
    EXPECT_EQ(MeasuredGlyphTableCount() - before, 3);
}

// Each advance costs a glyph load, so a font measures those of the bytes it is asked for,
// each the face's own; its text metrics measure the rest. Another font object of the same
// face, size and style measures none again.
TEST_F(GdiTest, AFontMeasuresTheAdvancesItIsAskedFor)
{
    const LOGFONTA lf = MakeLogFont("Courier New", -29);  // a size no other test here measures
    const int advances = MeasuredAdvanceCount();
    const int tables = MeasuredGlyphTableCount();
    Measured first(lf);
    TGdiFontData& data = first.Dc()->FontData();
    auto faceAdvance = [&](unsigned char byte) {
        const QList<QPointF> measured = data.RawFont().advancesForGlyphIndexes(
            QList<quint32>{data.Glyphs()[byte].Glyph}, QRawFont::SeparateAdvances);
        return static_cast<int>(std::lround(measured.value(0).x()));
    };
    TSize size{};
    ASSERT_TRUE(GetTextExtentPoint32A(first.Dc(), "abba", 4, &size));
    EXPECT_LE(MeasuredAdvanceCount() - advances, 3);  // the space's, 'a' and 'b'
    EXPECT_EQ(MeasuredGlyphTableCount() - tables, 0);
    EXPECT_EQ(size.cx, 2 * faceAdvance('a') + 2 * faceAdvance('b'));
    EXPECT_EQ(size.cy, data.Ascent() + data.Descent());

    const TEXTMETRICA tm = first.Metrics();
    EXPECT_EQ(MeasuredGlyphTableCount() - tables, 1);
    EXPECT_EQ(tm.tmHeight, size.cy);
    // The width statistics are those of the advances the face draws its characters with.
    long long sum = 0;
    int count = 0;
    int widest = 0;
    for (int b = 0; b < 256; ++b) {
        const TByteGlyph& g = data.Glyphs()[b];
        if (g.Blank || g.Fallback)
            continue;
        const int advance = first.Advance(static_cast<unsigned char>(b));
        EXPECT_EQ(advance, faceAdvance(static_cast<unsigned char>(b))) << b;
        sum += advance;
        ++count;
        widest = std::max(widest, advance);
    }
    ASSERT_GT(count, 0);
    EXPECT_EQ(tm.tmMaxCharWidth, widest);
    EXPECT_EQ(tm.tmAveCharWidth, std::llround(static_cast<double>(sum) / count));

    const int measured = MeasuredAdvanceCount();
    Measured second(lf);
    ASSERT_TRUE(GetTextExtentPoint32A(second.Dc(), "Quorvel", 7, &size));
    const TEXTMETRICA again = second.Metrics();
    EXPECT_EQ(MeasuredAdvanceCount(), measured);
    EXPECT_EQ(again.tmAveCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(again.tmMaxCharWidth, tm.tmMaxCharWidth);
}

// The advance of a character the face lacks comes from the toolkit's font fallback, which
// is slow: making and measuring a font measures none of them, measuring or drawing text
// measures those of its bytes once (and none when a distance array places the cells), and
// each is the width the fallback draws the character in. Another font object of the same
// face, size and style takes what the first measured.
TEST_F(GdiTest, CharactersTheFaceLacksAreMeasuredAtTheirFirstUse)
{
    LOGFONTA lf = MakeLogFont("Courier New", -19);  // a size no other test here measures
    lf.lfCharSet = THAI_CHARSET;
    const int before = MeasuredFallbackAdvanceCount();
    Measured thai(lf);
    EXPECT_GT(thai.Metrics().tmAveCharWidth, 0);
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 0);

    TGdiFontData& data = thai.Dc()->FontData();
    std::vector<unsigned char> lacking;
    for (int b = 0; b < 256; ++b) {
        if (data.Glyphs()[b].Fallback)
            lacking.push_back(static_cast<unsigned char>(b));
    }
    ASSERT_GE(lacking.size(), 3u) << "the face has the Thai letters; the test needs a face without";
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 0);

    const char first[] = {'A', static_cast<char>(lacking[0]), static_cast<char>(lacking[0])};
    TSize size{};
    ASSERT_TRUE(GetTextExtentPoint32A(thai.Dc(), first, 3, &size));
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 1);
    const QString lackingChar(QChar(static_cast<char16_t>(data.Glyphs()[lacking[0]].Char)));
    const int fallbackAdvance =
        static_cast<int>(std::lround(QFontMetricsF(data.Font()).horizontalAdvance(lackingChar)));
    EXPECT_EQ(size.cx, thai.Advance('A') + 2 * fallbackAdvance);
    EXPECT_EQ(thai.Advance(lacking[0]), fallbackAdvance);
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 1);

    QImage pixels(40, 40, QImage::Format_ARGB32_Premultiplied);
    TDeviceContext context(&pixels, TDeviceCaps{});
    HDC image = &context;
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(image, font);
    const char second[] = {static_cast<char>(lacking[1])};
    const int distances[] = {10};
    EXPECT_TRUE(ExtTextOutA(image, 0, 0, 0, nullptr, second, 1, distances));
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 1);
    EXPECT_TRUE(ExtTextOutA(image, 0, 0, 0, nullptr, second, 1, nullptr));
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 2);
    EXPECT_TRUE(GetTextExtentPoint32A(image, first, 3, &size));
    EXPECT_EQ(size.cx, thai.Advance('A') + 2 * fallbackAdvance);
    EXPECT_EQ(MeasuredFallbackAdvanceCount() - before, 2);
    SelectObject(image, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(GdiTest, PositiveHeightAsksForTheCellHeight)
{
    Measured cell(MakeLogFont("Courier New", 20));
    EXPECT_NEAR(cell.Metrics().tmHeight, 20, 1);
    // Absurd heights are clamped instead of overflowing.
    Measured huge(MakeLogFont("Courier New", INT_MIN));
    EXPECT_GT(huge.Metrics().tmHeight, 0);
    Measured byDefault(MakeLogFont("Courier New", 0));
    EXPECT_GT(byDefault.Metrics().tmHeight, 0);
}

TEST_F(GdiTest, TextExtentAddsAdvancesAndExtraSpacing)
{
    Measured m(MakeLogFont("Courier New", -13));
    const int advance = m.Metrics().tmAveCharWidth;
    TSize size;
    ASSERT_TRUE(GetTextExtentPoint32A(m.Dc(), "abc\tde", 6, &size));
    EXPECT_EQ(size.cx, 6 * advance);
    EXPECT_EQ(size.cy, m.Metrics().tmHeight);
    SetTextCharacterExtra(m.Dc(), 2);
    ASSERT_TRUE(GetTextExtentPoint32A(m.Dc(), "abc", 3, &size));
    EXPECT_EQ(size.cx, 3 * (advance + 2));
    EXPECT_FALSE(GetTextExtentPoint32A(m.Dc(), "abc", -1, &size));
    ABC abc[2];
    EXPECT_FALSE(GetCharABCWidthsA(m.Dc(), 'b', 'a', abc));
    EXPECT_FALSE(GetCharABCWidthsA(m.Dc(), 255, 256, abc));
}

TEST_F(GdiTest, SettersReturnThePreviousValueAndSaveRestoreBringsStateBack)
{
    HDC dc = GetDC(nullptr);
    LOGFONTA lf = MakeLogFont("Arial", -12);
    HFONT first = CreateFontIndirectA(&lf);
    HFONT second = CreateFontIndirectA(&lf);
    EXPECT_EQ(SelectObject(dc, first), GetStockObject(SYSTEM_FONT)) << "a context starts with it";
    EXPECT_EQ(SetTextColor(dc, 0x112233), 0x000000u);
    EXPECT_EQ(SetTextColor(dc, 0x445566), 0x112233u);
    EXPECT_EQ(SetBkColor(dc, 0x010203), 0xFFFFFFu);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextCharacterExtra(dc, 3), 0);

    const int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(SelectObject(dc, second), first);
    SetTextColor(dc, 0x0000FF);
    SetBkColor(dc, 0x00FF00);
    SetBkMode(dc, OPAQUE);
    SetTextCharacterExtra(dc, 7);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, 0x777777);

    EXPECT_TRUE(RestoreDC(dc, -1));  // back to level 2's state
    EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
    EXPECT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(GetTextColor(dc), 0x445566u);
    EXPECT_EQ(GetBkColor(dc), 0x010203u);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextCharacterExtra(dc), 3);
    EXPECT_EQ(SelectObject(dc, first), first);
    EXPECT_FALSE(RestoreDC(dc, 1)) << "that level was popped";
    EXPECT_FALSE(RestoreDC(dc, 0));

    EXPECT_FALSE(DeleteObject(first)) << "still selected";
    EXPECT_TRUE(DeleteObject(second));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(first));
    ReleaseDC(nullptr, dc);
}

TEST_F(GdiTest, SavedStatesKeepTheirFontsAlive)
{
    HDC dc = GetDC(nullptr);
    LOGFONTA lf = MakeLogFont("Courier New", -13);
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(dc, font);
    SaveDC(dc);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    EXPECT_FALSE(DeleteObject(font)) << "a saved state still holds it";
    // An owner that lets go while the context holds it: freed with the last hold.
    font->ReleaseWhenUnselected();
    RestoreDC(dc, 1);
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmAveCharWidth, tm.tmMaxCharWidth);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));  // frees the orphan (ASan would notice)
    ReleaseDC(nullptr, dc);
}

TEST_F(GdiTest, ObjectsDescribeThemselves)
{
    LOGFONTA lf = MakeLogFont("Times New Roman", -20, FW_BOLD, 1);
    lf.lfCharSet = RUSSIAN_CHARSET;
    HFONT font = CreateFontIndirectA(&lf);
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(font, 0, nullptr), 60);
    EXPECT_EQ(GetObjectA(font, sizeof(back), &back), 60);
    EXPECT_EQ(std::memcmp(&lf, &back, sizeof(lf)), 0);
    HBRUSH brush = CreateSolidBrush(0x123456);
    EXPECT_EQ(GetObjectA(brush, sizeof(back), &back), 0);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_EQ(SelectObject(dc, brush), nullptr) << "only fonts are selected";
    ReleaseDC(nullptr, dc);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH))) << "stock objects ignore deletion";
    EXPECT_EQ(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))->Color(), 0xFFFFFFu);
}

TEST_F(GdiTest, FillRectAndClippingOnAnImage)
{
    QImage image(50, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    TDeviceCaps caps;
    caps.Technology = DT_RASPRINTER;
    caps.PixelsPerInchX = caps.PixelsPerInchY = 300;
    caps.PhysicalOffsetX = 65;
    TDeviceContext dc(&image, caps);
    EXPECT_EQ(GetDeviceCaps(&dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(&dc, LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(&dc, PHYSICALOFFSETX), 65);
    EXPECT_EQ(GetDeviceCaps(&dc, HORZRES), 50);

    EXPECT_EQ(IntersectClipRect(&dc, 10, 0, 40, 30), SIMPLEREGION);
    TRect box;
    EXPECT_EQ(GetClipBox(&dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, Rect(10, 0, 40, 30));
    HBRUSH brush = CreateSolidBrush(0x0000FF);
    const TRect all = Rect(0, 0, 50, 30);
    FillRect(&dc, &all, brush);
    dc.EndPainting();
    EXPECT_EQ(image.pixel(9, 5), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(10, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(39, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(40, 5), 0xFFFFFFFFu);
    EXPECT_EQ(IntersectClipRect(&dc, 45, 0, 50, 30), NULLREGION);
    DeleteObject(brush);
}

TEST_F(GdiTest, ScreenContextAndFaceResolution)
{
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), ScreenPixelsPerInch());
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
    HDC memory = CreateCompatibleDC(dc);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSY), GetDeviceCaps(dc, LOGPIXELSY));
    EXPECT_TRUE(DeleteDC(memory));
    ReleaseDC(nullptr, dc);

    EXPECT_EQ(ResolveFaceName("Arial"), "Liberation Sans");
    EXPECT_EQ(ResolveFaceName("times new roman"), "Liberation Serif");
    EXPECT_EQ(ResolveFaceName("Liberation Mono"), "Liberation Mono");
    EXPECT_FALSE(ResolveFaceName("MS Sans Serif").empty());
    EXPECT_FALSE(ResolveFaceName("No Such Face Anywhere", true).empty());
    const std::vector<std::string> names = ScreenFontNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Liberation Mono"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    }));
}

TEST_F(GdiTest, GeometryHelpers)
{
    EXPECT_EQ(MulDiv(10, 96, 72), 13);
    EXPECT_EQ(MulDiv(-13, 72, 96), -10);
    EXPECT_EQ(MulDiv(3, 1, 2), 2) << "halves round away from zero";
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(1 << 30, 1 << 30, 1 << 30), 1 << 30) << "64-bit intermediate";
    EXPECT_EQ(MulDiv(1 << 30, 8, 1), -1) << "overflow";
    EXPECT_EQ(MulDiv(5, 5, 0), -1);

    TRect r;
    EXPECT_TRUE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(r, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
    EXPECT_TRUE(IsRectEmpty(r));
    EXPECT_TRUE(PtInRect(Rect(0, 0, 10, 10), Point(9, 0)));
    EXPECT_FALSE(PtInRect(Rect(0, 0, 10, 10), Point(10, 5)));
    r = Rect(1, 1, 3, 3);
    InflateRect(r, 1, 2);
    OffsetRect(r, 10, 0);
    EXPECT_EQ(r, Rect(10, -1, 14, 5));
}

}  // namespace
