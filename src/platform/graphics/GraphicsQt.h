// Platform-internal: the Qt objects behind device contexts, fonts and bitmaps. Included
// only by platform sources and platform tests. A control that paints, or a printer page,
// gives its canvas a context over its QPainter with TPainterCanvasScope.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRect>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

// What a context answers through GetDeviceCaps.
struct TDeviceCaps {
    int Technology = DT_RASDISPLAY;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    int Width = 0;  // the drawable (printable) area, HORZRES x VERTRES
    int Height = 0;
    int PhysicalWidth = 0;  // the whole page; equal to Width/Height on a display
    int PhysicalHeight = 0;
    int PhysicalOffsetX = 0;  // the drawable area's offset on the page
    int PhysicalOffsetY = 0;
    int BitsPerPixel = 32;
};

// A display surface of the given size at the screen's resolution.
TDeviceCaps ScreenDeviceCaps(int width, int height);

// ---- Fonts ----------------------------------------------------------------------------

// How one byte of a font's code page is drawn.
struct TByteGlyph {
    char32_t Char = 0;        // the byte decoded through the code page
    quint32 Glyph = 0;        // index in the raw font; 0 when the face lacks the character
    int Advance = 0;          // whole pixels
    bool Blank = false;       // control characters (TAB included) draw as empty cells
    bool Fallback = false;    // drawn through Qt's font fallback instead of the raw font
    bool AdvancePending = false;  // not measured yet (see GlyphsFor)
};

// How many glyph tables the process has measured whole so far (each for the metrics of
// its font, which take every advance).
int MeasuredGlyphTableCount();
// How many advances of characters a face has the process has measured so far.
int MeasuredAdvanceCount();
// How many advances of characters a face lacks the process has measured so far, each
// through Qt's font fallback.
int MeasuredFallbackAdvanceCount();
// How many font objects the process has resolved to a face (each making a raw font).
int ResolvedFontCount();

// A font object's resolved face and its measurements for the current code page.
class TGdiFontData {
public:
    explicit TGdiFontData(const LOGFONTA& logFont);

    const QFont& Font() const { return font_; }
    const QRawFont& RawFont() const { return raw_; }
    bool Underline() const { return underline_; }
    bool StrikeOut() const { return strikeOut_; }
    int EmHeight() const { return emHeight_; }
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }

    // The code page the bytes are decoded through (follows the ANSI code page for
    // DEFAULT_CHARSET); the tables below are rebuilt when it changes.
    Cardinal CodePage();
    // The table of the code page. Each advance costs a glyph load (one of a character the
    // face lacks goes through Qt's font fallback, which is slower still), so advances are
    // measured when first asked for: Glyphs() may leave them pending, GlyphsFor()
    // measures those of the given bytes first.
    const std::array<TByteGlyph, 256>& Glyphs();
    const std::array<TByteGlyph, 256>& GlyphsFor(const char* text, std::size_t count);
    // Metrics without the resolution-dependent digitized aspect. The width statistics
    // take the advance of every character the face has, so these measure them all.
    const TEXTMETRICA& Metrics();
    ABC CharABC(unsigned char byte);

    // The advances of the characters the face draws itself, for the text metrics.
    struct TWidths {
        Int64 Sum = 0;
        int Count = 0;
        int Max = 0;
        void Add(int Advance)
        {
            if (Advance <= 0)
                return;
            Sum += Advance;
            ++Count;
            Max = std::max(Max, Advance);
        }
    };

private:
    // Takes the glyph table of the code page (measured once per face, size and style in
    // the process) and the metrics that follow from it.
    void Rebuild(Cardinal codePage);
    void MapGlyphs(Cardinal codePage);
    // Measures the pending advances of the wanted bytes. Advances another font object of
    // the same table has measured are taken from the shared table, and new ones are given
    // to it.
    void MeasurePending(const std::array<bool, 256>& wanted);
    TWidths MeasureWidths();
    void FillMetrics(const TWidths& widths);

    LOGFONTA logFont_;
    QFont font_;
    QRawFont raw_;
    bool underline_;
    bool strikeOut_;
    int emHeight_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
    Cardinal codePage_ = 0;
    std::string tableKey_;      // where the table is shared in the process
    int pending_ = 0;           // bytes of the table whose advance is still pending
    bool metricsFilled_ = false;
    std::array<TByteGlyph, 256> glyphs_{};
    TEXTMETRICA metrics_{};
};

// ---- Device contexts ------------------------------------------------------------------

// The state SaveDC keeps.
struct TDcState {
    HFONT Font = nullptr;
    COLORREF TextColor = 0x000000;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    int CharExtra = 0;
    UINT TextAlign = TA_TOP;
    bool Clipped = false;  // Clip narrows the device's bounds
    QRect Clip;
};

class TDeviceContext {
public:
    // Over a painter that someone else begins and ends (a widget while it paints, a
    // printer page); bounds is the area the context may draw on.
    TDeviceContext(QPainter* painter, const TDeviceCaps& caps, const QRect& bounds);
    // Over an image; the context begins its own painter when it draws.
    TDeviceContext(QImage* image, const TDeviceCaps& caps);
    // A measuring context with a 1x1 surface of its own.
    explicit TDeviceContext(const TDeviceCaps& caps);
    ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    // For a context that draws on its own image, the size is the image's.
    TDeviceCaps Caps() const;
    // The painter to draw with, begun on the image when needed.
    QPainter& Painter();
    // Ends the context's own painter so that its image can be changed or read.
    void EndPainting();
    // The image drawn on, when there is one (bitmaps, measuring contexts, and painters on
    // images); nullptr otherwise.
    QImage* Image();

    TDcState& State() { return state_; }
    // The device's bounds narrowed by the context's clipping.
    QRect ClipBox() const;
    // ClipBox() narrowed by the clip of a painter someone else began (the region a widget
    // repaints).
    QRegion ClipRegion() const;
    // Saves the painter, clips it to ClipBox() (and 'extra' when given) and returns it;
    // pair with painter.restore().
    QPainter& BeginOperation(const QRect* extra = nullptr);

    // Selects a font (never nullptr: a context starts with the system font); returns the
    // previous one.
    HFONT SelectFont(HFONT font);
    TGdiFontData& FontData();
    int Save();
    bool Restore(int saved);

    // Where text output is recorded; nullptr when it is not.
    std::vector<TTextOutRecord>* TextOutLog() const { return textOutLog_; }
    void SetTextOutLog(std::vector<TTextOutRecord>* log) { textOutLog_ = log; }

private:
    void HoldFont(HFONT font);
    void DropFont(HFONT font);

    TDeviceCaps caps_;
    QRect bounds_;
    QPainter* external_ = nullptr;
    QImage* image_ = nullptr;
    QImage ownImage_;
    QPainter own_;
    TDcState state_;
    std::vector<TDcState> saved_;
    std::vector<TTextOutRecord>* textOutLog_ = nullptr;
};

// A canvas drawing on a painter for as long as the scope lives (one paint event or one
// printer page); the canvas has no context afterwards.
class TPainterCanvasScope {
public:
    TPainterCanvasScope(TCanvas* canvas, QPainter* painter, const TDeviceCaps& caps,
                        const QRect& bounds);
    ~TPainterCanvasScope();
    TPainterCanvasScope(const TPainterCanvasScope&) = delete;
    TPainterCanvasScope& operator=(const TPainterCanvasScope&) = delete;

    HDC Handle() { return &dc_; }

private:
    TCanvas* canvas_;
    TDeviceContext dc_;
};

// ---- Bitmaps --------------------------------------------------------------------------

// A bitmap's pixels (premultiplied ARGB32) and the context its canvas draws through.
class TBitmapImage {
public:
    TBitmapImage();
    // The pixels, with any drawing in progress finished.
    QImage& Pixels();
    // The size, read without finishing the drawing.
    QSize Size() const { return image_.size(); }
    HDC Context() { return &dc_; }
    // Replaces the pixels (converted to the bitmap's format).
    void Replace(const QImage& image);

private:
    QImage image_;
    TDeviceContext dc_;
};

QColor QColorFromRef(COLORREF color);
QColor QColorFromColor(TColor color);  // system colours resolved
COLORREF ColorRefFromQColor(const QColor& color);
