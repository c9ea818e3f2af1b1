// Cell-exact text output, checked on images: where ink and background land.
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

LOGFONTA CourierNew(LONG height, LONG weight = FW_NORMAL, Byte charset = ANSI_CHARSET)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charset;
    std::strcpy(lf.lfFaceName, "Courier New");
    return lf;
}

// An image-backed context at 96 pixels per inch with one font selected.
class TextSurface {
public:
    explicit TextSurface(const LOGFONTA& lf, int width = 400, int height = 40)
        : image_(width, height, QImage::Format_ARGB32_Premultiplied), dc_(&image_, TDeviceCaps{})
    {
        image_.fill(Qt::white);
        font_ = CreateFontIndirectA(&lf);
        SelectObject(&dc_, font_);
    }
    ~TextSurface()
    {
        SelectObject(&dc_, GetStockObject(SYSTEM_FONT));
        DeleteObject(font_);
    }

    HDC Dc() { return &dc_; }
    const QImage& Image()
    {
        dc_.EndPainting();
        return image_;
    }
    TEXTMETRICA Metrics()
    {
        TEXTMETRICA tm{};
        GetTextMetricsA(&dc_, &tm);
        return tm;
    }
    void Clear()
    {
        dc_.EndPainting();
        image_.fill(Qt::white);
    }

private:
    QImage image_;
    TDeviceContext dc_;
    HFONT font_;
};

bool ColumnHasInk(const QImage& image, int x)
{
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(x, y) != kWhite)
            return true;
    }
    return false;
}

// The columns [from, to) that carry any non-white pixel.
std::vector<int> InkColumns(const QImage& image, int from = 0, int to = -1)
{
    if (to < 0)
        to = image.width();
    std::vector<int> columns;
    for (int x = from; x < to; ++x) {
        if (ColumnHasInk(image, x))
            columns.push_back(x);
    }
    return columns;
}

int CountPixels(const QImage& image, const QRect& area, QRgb color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override { SetAnsiCodePage(1252); }
};

TEST_F(TextOutTest, EveryByteInkStaysInsideItsOwnCellWithDistances)
{
    TextSurface s(CourierNew(-13));
    SetBkMode(s.Dc(), TRANSPARENT);
    const std::string text = "HIMNW#@|";
    const int x0 = 10;
    const int cell = 12;  // wider than the face's advance, so cells are apart
    std::vector<int> dx(text.size(), cell);
    ASSERT_TRUE(ExtTextOutA(s.Dc(), x0, 5, 0, nullptr, text.data(),
                            static_cast<UINT>(text.size()), dx.data()));
    const QImage& image = s.Image();
    for (int x : InkColumns(image)) {
        ASSERT_GE(x, x0) << "ink left of the first cell";
        ASSERT_LT(x, x0 + cell * static_cast<int>(text.size())) << "ink right of the last cell";
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int left = x0 + cell * static_cast<int>(i);
        EXPECT_FALSE(InkColumns(image, left, left + cell).empty()) << "cell " << i << " is empty";
        // The face's advance is 8 pixels: the last 4 columns of each 12-pixel cell stay
        // blank unless a glyph spilled into the next cell's gap.
        EXPECT_TRUE(InkColumns(image, left + 9, left + cell).empty()) << "cell " << i << " spills";
    }
}

TEST_F(TextOutTest, WithoutDistancesTheFontAdvancePlacesEachCell)
{
    TextSurface withDx(CourierNew(-13));
    TextSurface plain(CourierNew(-13));
    const int advance = plain.Metrics().tmAveCharWidth;
    ASSERT_GT(advance, 0);
    const std::string text = "Quorvel: cells!";
    std::vector<int> dx(text.size(), advance);
    ExtTextOutA(withDx.Dc(), 3, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), dx.data());
    ExtTextOutA(plain.Dc(), 3, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    EXPECT_EQ(withDx.Image(), plain.Image());

    // Extra spacing widens each cell when no distances are given, and only then.
    TextSurface spaced(CourierNew(-13));
    SetTextCharacterExtra(spaced.Dc(), 3);
    std::vector<int> wide(text.size(), advance + 3);
    TextSurface reference(CourierNew(-13));
    ExtTextOutA(spaced.Dc(), 3, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    ExtTextOutA(reference.Dc(), 3, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), wide.data());
    EXPECT_EQ(spaced.Image(), reference.Image());
    SetTextCharacterExtra(reference.Dc(), 3);
    reference.Clear();
    ExtTextOutA(reference.Dc(), 3, 4, 0, nullptr, text.data(), static_cast<UINT>(text.size()), wide.data());
    EXPECT_EQ(spaced.Image(), reference.Image()) << "extra spacing added on top of distances";
}

TEST_F(TextOutTest, TabIsAnEmptyCellAndLaterCellsKeepTheirPlace)
{
    TextSurface tab(CourierNew(-13));
    TextSurface blank(CourierNew(-13));
    SetBkMode(tab.Dc(), TRANSPARENT);
    SetBkMode(blank.Dc(), TRANSPARENT);
    const int dx[3] = {10, 10, 10};
    ExtTextOutA(tab.Dc(), 0, 0, 0, nullptr, "A\tB", 3, dx);
    ExtTextOutA(blank.Dc(), 0, 0, 0, nullptr, "A B", 3, dx);
    EXPECT_TRUE(InkColumns(tab.Image(), 10, 20).empty());
    EXPECT_EQ(tab.Image(), blank.Image());
}

TEST_F(TextOutTest, ClippedOutputStaysInsideTheRectangleAndTheContextClip)
{
    TextSurface s(CourierNew(-13));
    SetBkColor(s.Dc(), 0x0000FF);
    const std::string text(30, 'W');
    const TRect rect = Rect(20, 2, 60, 30);
    ExtTextOutA(s.Dc(), 5, 5, ETO_CLIPPED | ETO_OPAQUE, &rect, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    const QImage& image = s.Image();
    const std::vector<int> ink = InkColumns(image);
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(ink.front(), 20);
    EXPECT_EQ(ink.back(), 59);
    for (int y = 0; y < image.height(); ++y) {
        if (y < 2 || y >= 30) {
            EXPECT_EQ(image.pixel(30, y), kWhite) << "row " << y;
        }
    }

    // The context's own clipping holds even when the call asks for more.
    s.Clear();
    IntersectClipRect(s.Dc(), 0, 0, 40, 40);
    ExtTextOutA(s.Dc(), 5, 5, ETO_OPAQUE, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
    const std::vector<int> clipped = InkColumns(s.Image());
    ASSERT_FALSE(clipped.empty());
    EXPECT_EQ(clipped.back(), 39);
}

TEST_F(TextOutTest, OpaqueFillsTheRectangleAndOpaqueModeFillsTheCells)
{
    TextSurface s(CourierNew(-13));
    const QRgb red = 0xFFFF0000u;
    SetBkColor(s.Dc(), 0x0000FF);
    const TRect rect = Rect(10, 3, 50, 20);
    // No text: a plain fill of exactly the rectangle.
    ASSERT_TRUE(ExtTextOutA(s.Dc(), 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr));
    EXPECT_EQ(CountPixels(s.Image(), QRect(10, 3, 40, 17), red), 40 * 17);
    EXPECT_EQ(CountPixels(s.Image(), s.Image().rect(), red), 40 * 17);

    // Spaces in opaque mode fill their cells (advance x tmHeight) and nothing else.
    s.Clear();
    const TEXTMETRICA tm = s.Metrics();
    ExtTextOutA(s.Dc(), 100, 10, 0, nullptr, "   ", 3, nullptr);
    const QRect cells(100, 10, 3 * tm.tmAveCharWidth, tm.tmHeight);
    EXPECT_EQ(CountPixels(s.Image(), cells, red), cells.width() * cells.height());
    EXPECT_EQ(CountPixels(s.Image(), s.Image().rect(), red), cells.width() * cells.height());

    // Transparent mode leaves the background alone.
    s.Clear();
    SetBkMode(s.Dc(), TRANSPARENT);
    ExtTextOutA(s.Dc(), 100, 10, 0, nullptr, "   ", 3, nullptr);
    EXPECT_EQ(CountPixels(s.Image(), s.Image().rect(), red), 0);
}

TEST_F(TextOutTest, BytesAreDecodedThroughTheFontCharset)
{
    // Draws one character directly with Qt in the face and place ExtTextOutA uses.
    const auto drawDirect = [](const LOGFONTA& lf, char16_t ch) {
        TextSurface s(lf);
        TGdiFontData& data = s.Dc()->FontData();
        QPainter& painter = s.Dc()->Painter();
        painter.setFont(data.Font());
        painter.setPen(Qt::black);
        painter.drawText(QPointF(4, 4 + data.Ascent()), QString(QChar(ch)));
        return s.Image().copy();
    };
    const auto drawByte = [](const LOGFONTA& lf) {
        TextSurface s(lf);
        SetBkMode(s.Dc(), TRANSPARENT);
        ExtTextOutA(s.Dc(), 4, 4, 0, nullptr, "\xC0", 1, nullptr);
        return s.Image().copy();
    };
    const QImage cyrillic = drawByte(CourierNew(-16, FW_NORMAL, RUSSIAN_CHARSET));
    const QImage latin = drawByte(CourierNew(-16, FW_NORMAL, ANSI_CHARSET));
    ASSERT_FALSE(InkColumns(cyrillic).empty());
    EXPECT_EQ(cyrillic, drawDirect(CourierNew(-16, FW_NORMAL, RUSSIAN_CHARSET), u'\u0410'));
    EXPECT_EQ(latin, drawDirect(CourierNew(-16, FW_NORMAL, ANSI_CHARSET), u'\u00C0'));
    EXPECT_NE(cyrillic, latin);

    // DEFAULT_CHARSET follows the ANSI code page.
    SetAnsiCodePage(1251);
    EXPECT_EQ(drawByte(CourierNew(-16, FW_NORMAL, DEFAULT_CHARSET)), cyrillic);
    SetAnsiCodePage(1252);
    EXPECT_EQ(drawByte(CourierNew(-16, FW_NORMAL, DEFAULT_CHARSET)), latin);
}

TEST_F(TextOutTest, BaselineAlignmentMovesTheCellUpByTheAscent)
{
    TextSurface top(CourierNew(-13));
    TextSurface baseline(CourierNew(-13));
    const int ascent = top.Metrics().tmAscent;
    ExtTextOutA(top.Dc(), 5, 10, 0, nullptr, "Tg", 2, nullptr);
    EXPECT_EQ(SetTextAlign(baseline.Dc(), TA_BASELINE), TA_TOP);
    ExtTextOutA(baseline.Dc(), 5, 10 + ascent, 0, nullptr, "Tg", 2, nullptr);
    EXPECT_EQ(top.Image(), baseline.Image());
}

TEST_F(TextOutTest, UnderlineRunsUnderEveryCell)
{
    LOGFONTA lf = CourierNew(-13);
    lf.lfUnderline = 1;
    TextSurface s(lf);
    SetBkMode(s.Dc(), TRANSPARENT);
    const int dx[4] = {9, 9, 9, 9};
    ExtTextOutA(s.Dc(), 10, 2, 0, nullptr, "    ", 4, dx);
    const std::vector<int> ink = InkColumns(s.Image());
    ASSERT_EQ(ink.size(), 36u);
    EXPECT_EQ(ink.front(), 10);
}

TEST_F(TextOutTest, BadArgumentsFailWithoutDrawing)
{
    TextSurface s(CourierNew(-13));
    EXPECT_FALSE(ExtTextOutA(nullptr, 0, 0, 0, nullptr, "A", 1, nullptr));
    EXPECT_FALSE(ExtTextOutA(s.Dc(), 0, 0, 0, nullptr, nullptr, 3, nullptr));
    EXPECT_FALSE(TextOutA(s.Dc(), 0, 0, "A", -1));
    const TRect empty = Rect(10, 10, 10, 30);
    EXPECT_TRUE(ExtTextOutA(s.Dc(), 0, 0, ETO_CLIPPED | ETO_OPAQUE, &empty, "AAAA", 4, nullptr));
    EXPECT_TRUE(InkColumns(s.Image()).empty());
}

}  // namespace
