// Handles of the classic graphics API: objects, contexts, their state and capabilities.
#include "platform/graphics/Gdi.h"

#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"

#include <cstring>

namespace {

LOGFONTA StockLogFont(LONG height, LONG weight, const char* face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = 1;  // DEFAULT_CHARSET
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

COLORREF RgbOnly(COLORREF color)
{
    return color & 0x00FFFFFFu;
}

}  // namespace

// ---- Objects --------------------------------------------------------------------------

TGdiObject::~TGdiObject() = default;

void TGdiObject::ReleaseSelect()
{
    --selectCount_;
    if (orphan_ && selectCount_ <= 0)
        delete this;
}

void TGdiObject::ReleaseWhenUnselected()
{
    if (stock_)
        return;
    orphan_ = true;
    if (selectCount_ <= 0)
        delete this;
}

TGdiFont::TGdiFont(const LOGFONTA& logFont, bool stock) : TGdiObject(stock), logFont_(logFont)
{
    logFont_.lfFaceName[LF_FACESIZE - 1] = '\0';
}

TGdiFont::~TGdiFont() = default;

TGdiFontData& TGdiFont::Data()
{
    if (!data_)
        data_ = std::make_unique<TGdiFontData>(logFont_);
    return *data_;
}

HFONT CreateFontIndirectA(const LOGFONTA* logFont)
{
    return logFont != nullptr ? new TGdiFont(*logFont) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return new TGdiBrush(RgbOnly(color), false);
}

HGDIOBJ GetStockObject(int index)
{
    // Made once and never freed: contexts may hold them until the very end.
    static TGdiBrush* const white = new TGdiBrush(0xFFFFFF, false, true);
    static TGdiBrush* const black = new TGdiBrush(0x000000, false, true);
    static TGdiBrush* const hollow = new TGdiBrush(0, true, true);
    switch (index) {
    case WHITE_BRUSH:
        return white;
    case BLACK_BRUSH:
        return black;
    case NULL_BRUSH:
        return hollow;
    case SYSTEM_FONT: {
        static TGdiFont* const font = new TGdiFont(StockLogFont(-13, FW_NORMAL, "MS Sans Serif"), true);
        return font;
    }
    case DEFAULT_GUI_FONT: {
        static TGdiFont* const font = new TGdiFont(StockLogFont(-11, FW_NORMAL, "MS Sans Serif"), true);
        return font;
    }
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (object == nullptr || object->SelectCount() > 0)
        return FALSE;
    if (!object->IsStock())
        delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* buffer)
{
    auto* font = dynamic_cast<TGdiFont*>(object);
    if (font == nullptr)
        return 0;
    if (buffer == nullptr)
        return static_cast<int>(sizeof(LOGFONTA));
    if (size <= 0)
        return 0;
    const int count = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
    std::memcpy(buffer, &font->LogFont(), static_cast<std::size_t>(count));
    return count;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    auto* font = dynamic_cast<TGdiFont*>(object);
    if (dc == nullptr || font == nullptr)
        return nullptr;
    return dc->SelectFont(font);
}

DWORD GetFontLanguageInfo(HDC)
{
    return 0;
}

// ---- Contexts -------------------------------------------------------------------------

HDC GetDC(std::nullptr_t)
{
    return new TDeviceContext(ScreenDeviceCaps(1, 1));
}

int ReleaseDC(std::nullptr_t, HDC dc)
{
    if (dc == nullptr)
        return 0;
    delete dc;
    return 1;
}

HDC CreateCompatibleDC(HDC dc)
{
    TDeviceCaps caps = dc != nullptr ? dc->Caps() : ScreenDeviceCaps(1, 1);
    caps.Width = caps.Height = caps.PhysicalWidth = caps.PhysicalHeight = 1;
    caps.PhysicalOffsetX = caps.PhysicalOffsetY = 0;
    return new TDeviceContext(caps);
}

BOOL DeleteDC(HDC dc)
{
    if (dc == nullptr)
        return FALSE;
    delete dc;
    return TRUE;
}

int SaveDC(HDC dc)
{
    return dc != nullptr ? dc->Save() : 0;
}

BOOL RestoreDC(HDC dc, int saved)
{
    return dc != nullptr && dc->Restore(saved) ? TRUE : FALSE;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->State().TextColor, RgbOnly(color));
}

COLORREF GetTextColor(HDC dc)
{
    return dc != nullptr ? dc->State().TextColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->State().BkColor, RgbOnly(color));
}

COLORREF GetBkColor(HDC dc)
{
    return dc != nullptr ? dc->State().BkColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode)
{
    if (dc == nullptr || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    return std::exchange(dc->State().BkMode, mode);
}

int GetBkMode(HDC dc)
{
    return dc != nullptr ? dc->State().BkMode : 0;
}

int SetTextCharacterExtra(HDC dc, int extra)
{
    if (dc == nullptr)
        return static_cast<int>(0x80000000u);
    return std::exchange(dc->State().CharExtra, extra);
}

int GetTextCharacterExtra(HDC dc)
{
    return dc != nullptr ? dc->State().CharExtra : static_cast<int>(0x80000000u);
}

UINT SetTextAlign(HDC dc, UINT align)
{
    if (dc == nullptr)
        return 0xFFFFFFFFu;
    return std::exchange(dc->State().TextAlign, align & TA_BASELINE);
}

// ---- Clipping and filling -------------------------------------------------------------

namespace {

int RegionKind(const QRect& r)
{
    return r.isEmpty() ? NULLREGION : SIMPLEREGION;
}

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    if (dc == nullptr)
        return RGN_ERROR;
    TDcState& state = dc->State();
    const QRect r(QPoint(left, top), QPoint(right - 1, bottom - 1));
    state.Clip = state.Clipped ? state.Clip.intersected(r) : r.normalized();
    if (right <= left || bottom <= top)
        state.Clip = QRect();
    state.Clipped = true;
    return RegionKind(dc->ClipBox());
}

int GetClipBox(HDC dc, TRect* rect)
{
    if (dc == nullptr || rect == nullptr)
        return RGN_ERROR;
    const QRect box = dc->ClipBox();
    *rect = box.isEmpty() ? TRect{}
                          : Rect(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    return RegionKind(box);
}

int FillRect(HDC dc, const TRect* rect, HBRUSH brush)
{
    if (dc == nullptr || rect == nullptr || brush == nullptr)
        return 0;
    if (brush->IsHollow() || IsRectEmpty(*rect))
        return 1;
    QPainter& painter = dc->BeginOperation();
    painter.fillRect(QRect(rect->Left, rect->Top, rect->Width(), rect->Height()),
                     QColorFromRef(brush->Color()));
    painter.restore();
    return 1;
}

// ---- Capabilities ---------------------------------------------------------------------

int GetDeviceCaps(HDC dc, int index)
{
    if (dc == nullptr)
        return 0;
    const TDeviceCaps& caps = dc->Caps();
    switch (index) {
    case TECHNOLOGY:
        return caps.Technology;
    case HORZRES:
        return caps.Width;
    case VERTRES:
        return caps.Height;
    case BITSPIXEL:
        return caps.BitsPerPixel;
    case LOGPIXELSX:
        return caps.PixelsPerInchX;
    case LOGPIXELSY:
        return caps.PixelsPerInchY;
    case PHYSICALWIDTH:
        return caps.PhysicalWidth;
    case PHYSICALHEIGHT:
        return caps.PhysicalHeight;
    case PHYSICALOFFSETX:
        return caps.PhysicalOffsetX;
    case PHYSICALOFFSETY:
        return caps.PhysicalOffsetY;
    default:
        return 0;
    }
}
