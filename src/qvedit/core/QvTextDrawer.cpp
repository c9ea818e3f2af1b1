// The text drawer: fixed-cell text output over a device context.
#include "qvedit/core/QvTextDrawer.h"

#include <algorithm>

namespace {

// The distance array grows in whole blocks of this many characters.
constexpr Integer DistanceArrayBlock = 64;

COLORREF ToColorRef(TColor color)
{
    return static_cast<COLORREF>(ColorToRGB(color));
}

}  // namespace

TQvTextDrawer::TQvTextDrawer(TFontStyles CalcExtentBaseStyle, TFont* BaseFont)
    : fontStock_(std::make_unique<TQvFontStock>(BaseFont)),
      calcExtentBaseStyle_(CalcExtentBaseStyle)
{
    SetBaseFont(BaseFont);
}

TQvTextDrawer::~TQvTextDrawer() = default;

void TQvTextDrawer::BeginDrawing(HDC DC)
{
    if (DC == nullptr)
        throw EQvTextDrawerException("BeginDrawing: 'DC' must be specified.");
    if (DC != dc_) {
        if (dc_ != nullptr || drawingCount_ != 0)
            throw EQvTextDrawerException(
                "BeginDrawing: already drawing on another device context.");
        // Handles let go by ReleaseTemporaryResources are taken again.
        if (crntFont_ == nullptr)
            SetStyle(crntStyle_);
        dc_ = DC;
        saveDC_ = SaveDC(DC);
        SelectObject(DC, crntFont_);
        SetTextColor(DC, ToColorRef(color_));
        SetBkColor(DC, ToColorRef(bkColor_));
        DoSetCharExtra(charExtra_);
    }
    ++drawingCount_;
}

void TQvTextDrawer::EndDrawing()
{
    if (drawingCount_ < 1)
        throw EQvTextDrawerException("EndDrawing: not drawing.");
    if (--drawingCount_ == 0) {
        RestoreDC(dc_, saveDC_);
        saveDC_ = 0;
        dc_ = nullptr;
    }
}

void TQvTextDrawer::SetBaseFont(TFont* Value)
{
    if (Value == nullptr)
        throw EQvTextDrawerException("SetBaseFont: 'Value' must be specified.");
    ReleaseETODist();
    fontStock_->SetBaseFont(Value);
    MeasureBaseStyle();
    SetStyle(Value->GetStyle());
}

void TQvTextDrawer::SetBaseStyle(TFontStyles Value)
{
    if (Value == calcExtentBaseStyle_)
        return;
    calcExtentBaseStyle_ = Value;
    ReleaseETODist();
    MeasureBaseStyle();
    // Measuring switched the stock to the base style; the drawer keeps drawing in its own.
    SetStyle(crntStyle_);
}

void TQvTextDrawer::SetStyle(TFontStyles Value)
{
    fontStock_->SetStyle(Value);
    UseFont(fontStock_->GetFontHandle(), Value);
}

void TQvTextDrawer::UseFont(HFONT Font, TFontStyles Style)
{
    crntStyle_ = Style;
    if (Font == crntFont_)
        return;
    crntFont_ = Font;
    if (dc_ != nullptr)
        SelectObject(dc_, crntFont_);
}

void TQvTextDrawer::SetForeColor(TColor Value)
{
    if (Value == color_)
        return;
    color_ = Value;
    if (dc_ != nullptr)
        SetTextColor(dc_, ToColorRef(color_));
}

void TQvTextDrawer::SetBackColor(TColor Value)
{
    if (Value == bkColor_)
        return;
    bkColor_ = Value;
    if (dc_ != nullptr)
        SetBkColor(dc_, ToColorRef(bkColor_));
}

void TQvTextDrawer::SetCharExtra(Integer Value)
{
    if (Value == charExtra_)
        return;
    charExtra_ = Value;
    // The distances hold the old cell width; they are made again for the new one.
    ReleaseETODist();
    DoSetCharExtra(charExtra_);
}

void TQvTextDrawer::DoSetCharExtra(Integer Value)
{
    if (dc_ != nullptr)
        SetTextCharacterExtra(dc_, Value);
}

void TQvTextDrawer::MeasureBaseStyle()
{
    fontStock_->SetStyle(calcExtentBaseStyle_);
    baseCharWidth_ = fontStock_->GetCharAdvance();
    baseCharHeight_ = fontStock_->GetCharHeight();
}

void TQvTextDrawer::TextOut(Integer X, Integer Y, const char* Text, Integer Length)
{
    TextOutA(dc_, X, Y, Text, Length);
}

void TQvTextDrawer::ExtTextOut(Integer X, Integer Y, UINT fuOptions, const TRect& ARect,
                               const char* Text, Integer Length)
{
    if (Length > static_cast<Integer>(etoDist_.size()))
        InitETODist(Length);
    ExtTextOutA(dc_, X, Y, fuOptions, &ARect, Text, static_cast<UINT>(std::max(Length, 0)),
                etoDist_.data());
}

void TQvTextDrawer::InitETODist(Integer Length)
{
    const Integer size = (Length / DistanceArrayBlock + 1) * DistanceArrayBlock;
    etoDist_.assign(static_cast<std::size_t>(size), GetCharWidth());
}

void TQvTextDrawer::ReleaseTemporaryResources()
{
    // The handles may be deleted now, so the drawer forgets its own and takes the current
    // style's again when it next draws.
    if (drawingCount_ != 0)
        return;
    fontStock_->ReleaseFontHandles();
    crntFont_ = nullptr;
}
