// Device contexts and fonts with the calling conventions of the classic graphics API:
// opaque HDC/HFONT/HBRUSH handles, a 60-byte LOGFONTA, text metrics and ABC widths, and
// ExtTextOutA, which draws 8-bit text one byte per cell through the code page of the
// selected font's character set.
//
// Coordinates are device pixels (the only mapping mode). A context starts with the
// system font, black text on a white background in opaque mode, no extra spacing and
// top-aligned text.
#pragma once

#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"

#include <memory>
#include <string>
#include <vector>

using BOOL = Integer;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using COLORREF = DWORD;  // 0x00BBGGRR, never a system colour

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// ---- Logical fonts --------------------------------------------------------------------

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight;  // < 0: character (em) height in pixels; > 0: cell height; 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 400 normal, 700 bold
    Byte lfItalic;
    Byte lfUnderline;
    Byte lfStrikeOut;
    Byte lfCharSet;
    Byte lfOutPrecision;
    Byte lfClipPrecision;
    Byte lfQuality;
    Byte lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];  // NUL-terminated
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is compared and hashed byte for byte");

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

constexpr Byte DEFAULT_PITCH = 0;
constexpr Byte FIXED_PITCH = 1;
constexpr Byte VARIABLE_PITCH = 2;
constexpr Byte FF_DONTCARE = 0x00;
constexpr Byte FF_ROMAN = 0x10;
constexpr Byte FF_SWISS = 0x20;
constexpr Byte FF_MODERN = 0x30;
constexpr Byte FF_SCRIPT = 0x40;
constexpr Byte FF_DECORATIVE = 0x50;

constexpr Byte OUT_DEFAULT_PRECIS = 0;
constexpr Byte CLIP_DEFAULT_PRECIS = 0;
constexpr Byte DEFAULT_QUALITY = 0;

// ---- Text metrics ---------------------------------------------------------------------

struct TEXTMETRICA {
    LONG tmHeight;  // tmAscent + tmDescent
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;  // tmHeight - em height
    LONG tmExternalLeading;  // never below 0
    LONG tmAveCharWidth;     // mean advance over the code page's printable characters
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    Byte tmFirstChar;
    Byte tmLastChar;
    Byte tmDefaultChar;
    Byte tmBreakChar;
    Byte tmItalic;
    Byte tmUnderlined;
    Byte tmStruckOut;
    Byte tmPitchAndFamily;  // family in the high nibble, TMPF_* bits below
    Byte tmCharSet;
};

// Beware: TMPF_FIXED_PITCH set means the font is NOT fixed-pitch (a historical inversion).
constexpr Byte TMPF_FIXED_PITCH = 0x01;
constexpr Byte TMPF_VECTOR = 0x02;
constexpr Byte TMPF_TRUETYPE = 0x04;
constexpr Byte TMPF_DEVICE = 0x08;

// Horizontal extents of one character: A (left bearing) + B (ink width) + C (right
// bearing) = its advance.
struct ABC {
    int abcA;
    UINT abcB;
    int abcC;
};

// GetFontLanguageInfo bit: the font draws double-byte text.
constexpr DWORD GCP_DBCS = 0x0001;

// ---- Handles --------------------------------------------------------------------------

class TDeviceContext;  // defined in platform/graphics/GraphicsQt.h
using HDC = TDeviceContext*;

// Any object that can be selected into a context or deleted with DeleteObject.
class TGdiObject {
public:
    virtual ~TGdiObject();
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    bool IsStock() const { return stock_; }
    // How many contexts (and their saved states) hold this object selected.
    int SelectCount() const { return selectCount_; }
    void AddSelect() { ++selectCount_; }
    // Drops one hold; an orphan is freed with its last hold.
    void ReleaseSelect();
    // Frees the object now, or with its last hold when a context still holds it (its
    // owner no longer needs it, but the contexts may still draw with it).
    void ReleaseWhenUnselected();
    bool IsOrphan() const { return orphan_; }

protected:
    explicit TGdiObject(bool stock) : stock_(stock) {}

private:
    bool stock_;
    bool orphan_ = false;
    int selectCount_ = 0;
};
using HGDIOBJ = TGdiObject*;

class TGdiFontData;  // measured glyph tables, defined in platform/graphics/GraphicsQt.h

class TGdiFont final : public TGdiObject {
public:
    explicit TGdiFont(const LOGFONTA& logFont, bool stock = false);
    ~TGdiFont() override;
    const LOGFONTA& LogFont() const { return logFont_; }
    // The resolved face, glyph tables and metrics, made on first use.
    TGdiFontData& Data();

private:
    LOGFONTA logFont_;
    std::unique_ptr<TGdiFontData> data_;
};
using HFONT = TGdiFont*;

class TGdiBrush final : public TGdiObject {
public:
    TGdiBrush(COLORREF color, bool hollow, bool stock = false)
        : TGdiObject(stock), color_(color), hollow_(hollow)
    {
    }
    COLORREF Color() const { return color_; }
    bool IsHollow() const { return hollow_; }

private:
    COLORREF color_;
    bool hollow_;
};
using HBRUSH = TGdiBrush*;

// ---- Contexts -------------------------------------------------------------------------

// The screen's measuring context (a window handle is not accepted: windows draw only while
// they paint, through their canvas). Release it with ReleaseDC.
HDC GetDC(std::nullptr_t window);
int ReleaseDC(std::nullptr_t window, HDC dc);
// A memory context with a 1x1 surface, at the resolution of dc (the screen for nullptr);
// free it with DeleteDC.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

// Pushes the context's state (font, colours, modes, spacing, clip); returns its level (1
// for the first), 0 on failure.
int SaveDC(HDC dc);
// Pops back to level 'saved' (> 0), or |saved| levels up when negative.
BOOL RestoreDC(HDC dc, int saved);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// Each setter returns the previous value (CLR_INVALID / 0 when dc is invalid).
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
// Vertical alignment of the reference point only (TA_TOP, TA_BASELINE, TA_BOTTOM).
UINT SetTextAlign(HDC dc, UINT align);

// ---- Objects --------------------------------------------------------------------------

HFONT CreateFontIndirectA(const LOGFONTA* logFont);
HBRUSH CreateSolidBrush(COLORREF color);

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
// Stock objects live for the whole process; DeleteObject ignores them.
HGDIOBJ GetStockObject(int index);

// Selects a font into the context and returns the previously selected font; nullptr for
// any other object or an invalid context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Frees an object; fails (FALSE, nothing freed) while a context still holds it selected.
BOOL DeleteObject(HGDIOBJ object);
// Copies a font's LOGFONTA (size bytes at most) into buffer; returns the bytes copied, or
// sizeof(LOGFONTA) when buffer is nullptr; 0 for anything else.
int GetObjectA(HGDIOBJ object, int size, void* buffer);

// Always 0 here: no code page in use is double-byte.
DWORD GetFontLanguageInfo(HDC dc);

// ---- Measuring ------------------------------------------------------------------------

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
// ABC widths of the bytes first..last (at most 255) decoded through the font's code page.
BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths);
// Width (advances plus extra spacing) and height (tmHeight) of count bytes.
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, TSize* size);

// ---- Drawing --------------------------------------------------------------------------

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// Draws count bytes with the cell of byte i starting at x + dx[0] + ... + dx[i-1] (without
// dx: the font's advance of each byte plus the extra spacing; with dx the extra spacing is
// not added, the distances already are the whole advance). y is the top of the cell unless
// the text alignment says otherwise. TAB is an empty cell. ETO_OPAQUE fills rect with the
// background colour first (with no text that is all it does); ETO_CLIPPED draws nothing
// outside rect; in OPAQUE mode the text cells are filled with the background colour.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const TRect* rect, const char* text,
                 UINT count, const int* dx);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);

// What one ExtTextOutA call drew, kept while a context records its text output: lets the
// callers that lay out text (printing, painting) be checked by position, text, font and
// colours without reading pixels.
struct TTextOutRecord {
    TRect Cells;  // from the first cell's left to the last cell's right, one cell high
    std::string Text;
    LOGFONTA Font;
    COLORREF TextColor;
    COLORREF BkColor;
    bool Opaque;  // the cells were filled with BkColor
};
// Starts appending a record of every later text output on dc to log (nullptr stops); the
// log must outlive the recording.
void SetTextOutLog(HDC dc, std::vector<TTextOutRecord>* log);

// Fills rect (excluding its right and bottom edges) with the brush's colour.
int FillRect(HDC dc, const TRect* rect, HBRUSH brush);

// Region kinds returned by the clipping calls.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Narrows the context's clipping to its intersection with the rectangle.
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// The bounding box of the context's clipping.
int GetClipBox(HDC dc, TRect* rect);

// ---- Device capabilities --------------------------------------------------------------

constexpr int TECHNOLOGY = 2;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;

int GetDeviceCaps(HDC dc, int index);
