// Drawing objects of the class library: fonts, pens, brushes, the canvas that draws with
// them on a device context (a widget while it paints, a bitmap, a printer page), bitmaps
// and image lists.
#pragma once

#include "platform/graphics/Colors.h"
#include "platform/graphics/Gdi.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Types.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

QV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
QV_DECLARE_EXCEPTION(EResNotFound, Exception);

// ---- Font styles ----------------------------------------------------------------------

enum TFontStyle : Byte { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A set of font styles; Value() is the set's bit value 0..15.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(TFontStyle style) : bits_(style) {}
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles)
            bits_ = static_cast<Byte>(bits_ | s);
    }
    static constexpr TFontStyles FromValue(unsigned value)
    {
        TFontStyles result;
        result.bits_ = static_cast<Byte>(value & 0x0F);
        return result;
    }

    constexpr Byte Value() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool Contains(TFontStyle s) const { return (bits_ & s) != 0; }
    constexpr void Include(TFontStyles s) { bits_ = static_cast<Byte>(bits_ | s.bits_); }
    constexpr void Exclude(TFontStyles s) { bits_ = static_cast<Byte>(bits_ & ~s.bits_); }

    friend constexpr TFontStyles operator|(TFontStyles a, TFontStyles b)
    {
        return FromValue(a.bits_ | b.bits_);
    }
    friend constexpr TFontStyles operator&(TFontStyles a, TFontStyles b)
    {
        return FromValue(a.bits_ & b.bits_);
    }
    friend constexpr TFontStyles operator-(TFontStyles a, TFontStyles b)
    {
        return FromValue(a.bits_ & ~b.bits_);
    }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    Byte bits_ = 0;
};

constexpr TFontStyles operator|(TFontStyle a, TFontStyle b)
{
    return TFontStyles(a) | TFontStyles(b);
}

enum TFontPitch { fpDefault, fpVariable, fpFixed };

// ---- TFont ----------------------------------------------------------------------------

// A font description. Height is in pixels at PixelsPerInch: negative for the character
// (em) height, positive for the cell height including internal leading; Size is points,
// Height = -MulDiv(Size, PixelsPerInch, 72). OnChange fires after every change that alters
// a property, and only then.
class TFont : public TPersistent {
public:
    TFont();
    ~TFont() override;

    void Assign(TPersistent* source) override;

    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name);
    Integer GetSize() const;
    void SetSize(Integer points);
    Integer GetHeight() const { return height_; }
    void SetHeight(Integer pixels);
    TFontStyles GetStyle() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor GetColor() const { return color_; }
    void SetColor(TColor color);
    TFontPitch GetPitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    Byte GetCharset() const { return charset_; }
    void SetCharset(Byte charset);
    // Changing the resolution keeps the point size (the pixel height is recomputed).
    Integer GetPixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer pixelsPerInch);

    // The logical font these properties describe (face name cut to 31 bytes).
    LOGFONTA GetLogFont() const;
    // A font object for the current properties, made on demand and owned by this font.
    HFONT GetHandle();
    // Takes over the description of another font object (which stays the caller's).
    void SetHandle(HFONT font);

    TNotifyEvent OnChange;

private:
    void Changed();
    void ReleaseHandle();

    std::string name_;
    Integer height_;
    Integer pixelsPerInch_;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = fpDefault;
    Byte charset_;
    HFONT handle_ = nullptr;
};

// ---- TPen and TBrush ------------------------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psClear };
enum TPenMode { pmCopy, pmNot, pmXor };

class TPen : public TPersistent {
public:
    void Assign(TPersistent* source) override;

    TColor GetColor() const { return color_; }
    void SetColor(TColor color);
    Integer GetWidth() const { return width_; }
    void SetWidth(Integer width);  // below 1 counts as 1
    TPenStyle GetStyle() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode GetMode() const { return mode_; }
    void SetMode(TPenMode mode);

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor color_ = clBlack;
    Integer width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
public:
    void Assign(TPersistent* source) override;

    TColor GetColor() const { return color_; }
    // Also makes a clear brush solid.
    void SetColor(TColor color);
    TBrushStyle GetStyle() const { return style_; }
    void SetStyle(TBrushStyle style);

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

class TBitmap;

// ---- TCanvas --------------------------------------------------------------------------

// Draws with its Font, Pen and Brush on a device context. A canvas has a context only
// while its owner provides one (a bitmap always; a control while it paints); drawing
// without one raises EInvalidOperation "Canvas does not allow drawing".
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // The device context; the canvas selects its font into it before text operations.
    HDC GetHandle() const;
    // Gives the canvas a context it does not own (nullptr: none).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* GetFont() const { return font_.get(); }
    void SetFont(TFont* font) { font_->Assign(font); }
    TPen* GetPen() const { return pen_.get(); }
    void SetPen(TPen* pen) { pen_->Assign(pen); }
    TBrush* GetBrush() const { return brush_.get(); }
    void SetBrush(TBrush* brush) { brush_->Assign(brush); }

    // The bounding box of what may be drawn now (the whole surface, or the area being
    // repainted); empty without a context.
    TRect GetClipRect() const;
    // The rectangles whose union is what may be drawn now, within GetClipRect (the parts
    // of the area being repainted); none without a context.
    std::vector<TRect> GetClipRects() const;

    TPoint GetPenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    void MoveTo(Integer x, Integer y);
    // A line from the pen position up to, not including, (x, y), which becomes the pen
    // position.
    void LineTo(Integer x, Integer y);
    void Polyline(const std::vector<TPoint>& points);
    // Outlined with the pen and filled with the brush.
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(Integer left, Integer top, Integer right, Integer bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Fills with the brush (nothing for bsClear).
    void FillRect(const TRect& r);
    // A one-pixel border in the brush colour.
    void FrameRect(const TRect& r);

    // Text with its cell top-left at (x, y), background filled unless the brush is clear.
    void TextOut(Integer x, Integer y, const std::string& text);
    // The same, clipped to r (and r filled first unless the brush is clear).
    void TextRect(const TRect& r, Integer x, Integer y, const std::string& text);
    TSize TextExtent(const std::string& text);
    Integer TextWidth(const std::string& text) { return TextExtent(text).cx; }
    Integer TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // Draws a bitmap (leaving out its transparent colour when it is Transparent).
    void Draw(Integer x, Integer y, TBitmap* bitmap);
    void StretchDraw(const TRect& dest, TBitmap* bitmap);
    // Copies src of another canvas (one that draws on an image, such as a bitmap's) into
    // dest, scaling when the sizes differ.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);
    // Copies src of bitmap into dest with every pixel of 'color' replaced by the brush.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color);

    // A pixel of an image-backed canvas; -1 outside the surface or for other canvases.
    TColor GetPixel(Integer x, Integer y);
    void SetPixel(Integer x, Integer y, TColor color);

    // Canvases are used from one thread only: locking does nothing.
    void Lock() {}
    void Unlock() {}

private:
    HDC RequireHandle() const;
    // Selects the font and the brush's background into the context for text output.
    void PrepareText(HDC dc);

    HDC dc_ = nullptr;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    TPoint penPos_;
};

// ---- TBitmap --------------------------------------------------------------------------

class TBitmapImage;  // the pixels and their context, in platform/graphics/GraphicsQt.h

// An image of 32-bit pixels with a canvas. A new bitmap is empty (0 x 0); growing it adds
// white pixels and keeps the old ones.
class TBitmap : public TPersistent {
public:
    TBitmap();
    ~TBitmap() override;

    void Assign(TPersistent* source) override;

    Integer GetWidth() const;
    Integer GetHeight() const;
    void SetWidth(Integer width) { SetSize(width, GetHeight()); }
    void SetHeight(Integer height) { SetSize(GetWidth(), height); }
    void SetSize(Integer width, Integer height);
    bool Empty() const { return GetWidth() == 0 || GetHeight() == 0; }

    TCanvas* GetCanvas() const { return canvas_.get(); }

    // When Transparent, drawing leaves out the pixels of TransparentColor, which is the
    // bottom-left pixel unless one was set.
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor color);

    // A built-in image, resources/images/<name>.png; EResNotFound when there is none.
    void LoadFromResourceName(const std::string& name);
    // BMP, PNG and the other formats Qt reads; EFOpenError when the file cannot be read,
    // EInvalidGraphic when it is no image.
    void LoadFromFile(const std::string& path);
    // BMP for a ".bmp" name, else PNG; written safely (the old file survives a failure).
    void SaveToFile(const std::string& path) const;

    TBitmapImage& Image() const { return *image_; }

private:
    std::unique_ptr<TBitmapImage> image_;
    std::unique_ptr<TCanvas> canvas_;
    bool transparent_ = false;
    bool transparentColorSet_ = false;
    TColor transparentColor_ = clNone;
};

// ---- TImageList -----------------------------------------------------------------------

// A list of equally sized images, each with its transparency. A component, so that
// whoever keeps a pointer to it can ask for a free notice (FreeNotification).
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);
    ~TImageList() override;

    Integer GetWidth() const { return width_; }
    Integer GetHeight() const { return height_; }
    // Changing the size clears the list.
    void SetWidth(Integer width);
    void SetHeight(Integer height);
    Integer Count() const;

    // Adds the bitmap, cut into as many images as its width holds; white pixels of the
    // mask (when given) are transparent. Returns the index of the first image added, -1
    // when none fit.
    Integer Add(TBitmap* image, TBitmap* mask);
    // The same with the pixels of maskColor transparent.
    Integer AddMasked(TBitmap* image, TColor maskColor);
    void Clear();

    // Disabled images are drawn greyed and faded.
    void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled = true);

private:
    struct TImages;
    std::unique_ptr<TImages> images_;
    Integer width_ = 16;
    Integer height_ = 16;
};

// Makes clWindow, clHighlight and the other system colours follow the application's
// palette (call once the application object exists).
void InstallQtSystemColors();
