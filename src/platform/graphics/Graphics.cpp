// Fonts, pens and brushes: property holders that announce their changes.
#include "platform/graphics/Graphics.h"

#include "platform/graphics/FontResolve.h"
#include "platform/runtime/CodePages.h"

#include <algorithm>
#include <cstring>

// ---- TFont ----------------------------------------------------------------------------

TFont::TFont()
    : name_("MS Sans Serif"),
      pixelsPerInch_(ScreenPixelsPerInch()),
      charset_(DEFAULT_CHARSET)
{
    height_ = -MulDiv(8, pixelsPerInch_, 72);
}

TFont::~TFont()
{
    ReleaseHandle();
}

void TFont::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TFont*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    const bool same = name_ == other->name_ && height_ == other->height_ &&
                      pixelsPerInch_ == other->pixelsPerInch_ && style_ == other->style_ &&
                      color_ == other->color_ && pitch_ == other->pitch_ &&
                      charset_ == other->charset_;
    if (same)
        return;
    name_ = other->name_;
    height_ = other->height_;
    pixelsPerInch_ = other->pixelsPerInch_;
    style_ = other->style_;
    color_ = other->color_;
    pitch_ = other->pitch_;
    charset_ = other->charset_;
    Changed();
}

void TFont::SetName(const std::string& name)
{
    if (name == name_)
        return;
    name_ = name;
    Changed();
}

Integer TFont::GetSize() const
{
    return -MulDiv(height_, 72, pixelsPerInch_);
}

void TFont::SetSize(Integer points)
{
    SetHeight(-MulDiv(points, pixelsPerInch_, 72));
}

void TFont::SetHeight(Integer pixels)
{
    if (pixels == height_)
        return;
    height_ = pixels;
    Changed();
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch == pitch_)
        return;
    pitch_ = pitch;
    Changed();
}

void TFont::SetCharset(Byte charset)
{
    if (charset == charset_)
        return;
    charset_ = charset;
    Changed();
}

void TFont::SetPixelsPerInch(Integer pixelsPerInch)
{
    if (pixelsPerInch <= 0 || pixelsPerInch == pixelsPerInch_)
        return;
    const Integer size = GetSize();
    pixelsPerInch_ = pixelsPerInch;
    const Integer height = -MulDiv(size, pixelsPerInch_, 72);
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

LOGFONTA TFont::GetLogFont() const
{
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::GetHandle()
{
    if (handle_ == nullptr) {
        const LOGFONTA lf = GetLogFont();
        handle_ = CreateFontIndirectA(&lf);
    }
    return handle_;
}

void TFont::SetHandle(HFONT font)
{
    if (font == nullptr)
        return;
    const LOGFONTA& lf = font->LogFont();
    TFontStyles style;
    if (lf.lfWeight >= 600)
        style.Include(fsBold);
    if (lf.lfItalic != 0)
        style.Include(fsItalic);
    if (lf.lfUnderline != 0)
        style.Include(fsUnderline);
    if (lf.lfStrikeOut != 0)
        style.Include(fsStrikeOut);
    const Byte pitch = lf.lfPitchAndFamily & 0x03;
    const TFontPitch newPitch = pitch == FIXED_PITCH      ? fpFixed
                                : pitch == VARIABLE_PITCH ? fpVariable
                                                          : fpDefault;
    const std::string name(lf.lfFaceName);
    if (name == name_ && lf.lfHeight == height_ && style == style_ && newPitch == pitch_ &&
        lf.lfCharSet == charset_)
        return;
    name_ = name;
    height_ = lf.lfHeight;
    style_ = style;
    pitch_ = newPitch;
    charset_ = lf.lfCharSet;
    Changed();
}

void TFont::ReleaseHandle()
{
    if (handle_ != nullptr) {
        handle_->ReleaseWhenUnselected();
        handle_ = nullptr;
    }
}

void TFont::Changed()
{
    ReleaseHandle();
    if (OnChange)
        OnChange(this);
}

// ---- TPen -----------------------------------------------------------------------------

void TPen::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TPen*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (color_ == other->color_ && width_ == other->width_ && style_ == other->style_ &&
        mode_ == other->mode_)
        return;
    color_ = other->color_;
    width_ = other->width_;
    style_ = other->style_;
    mode_ = other->mode_;
    Changed();
}

void TPen::SetColor(TColor color)
{
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(Integer width)
{
    width = std::max(width, 1);
    if (width == width_)
        return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    Changed();
}

void TPen::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TBrush ---------------------------------------------------------------------------

void TBrush::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TBrush*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (color_ == other->color_ && style_ == other->style_)
        return;
    color_ = other->color_;
    style_ = other->style_;
    Changed();
}

void TBrush::SetColor(TColor color)
{
    // Choosing a colour makes a clear brush solid again.
    if (color == color_ && style_ == bsSolid)
        return;
    color_ = color;
    style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void TBrush::Changed()
{
    if (OnChange)
        OnChange(this);
}
