// Two variants of the text drawer: one that remembers its style fonts, one that pads
// the styles to the cell with character spacing.
#include "qvedit/core/QvTextDrawer.h"

// ---- TQvTextDrawer2 -------------------------------------------------------------------

void TQvTextDrawer2::SetBaseFont(TFont* Value)
{
    fonts_.fill(nullptr);
    TQvTextDrawer::SetBaseFont(Value);
}

void TQvTextDrawer2::SetStyle(TFontStyles Value)
{
    HFONT& font = fonts_[Value.Value()];
    if (font != nullptr) {
        UseFont(font, Value);
        return;
    }
    TQvTextDrawer::SetStyle(Value);
    font = FontStock().GetFontHandle();
}

void TQvTextDrawer2::ReleaseTemporaryResources()
{
    if (DrawingDC() != nullptr)
        return;
    // The remembered handles may be deleted with the stock's.
    fonts_.fill(nullptr);
    TQvTextDrawer::ReleaseTemporaryResources();
}

// ---- TQvTextDrawerEx ------------------------------------------------------------------

TQvTextDrawerEx::TQvTextDrawerEx(TFontStyles CalcExtentBaseStyle, TFont* BaseFont)
    : TQvTextDrawer(CalcExtentBaseStyle, BaseFont)
{
    // The base constructor chose the first style before this class could pad it.
    SetStyle(GetStyle());
}

void TQvTextDrawerEx::SetStyle(TFontStyles Value)
{
    TQvTextDrawer::SetStyle(Value);
    TQvFontStock& stock = FontStock();
    crntDx_ = BaseCharWidth() - stock.GetCharAdvance();
    DoSetCharExtra(GetCharExtra());
    useDistances_ = !stock.GetIsTrueType() && Value.Contains(fsItalic);
}

void TQvTextDrawerEx::ExtTextOut(Integer X, Integer Y, UINT fuOptions, const TRect& ARect,
                                 const char* Text, Integer Length)
{
    if (useDistances_) {
        TQvTextDrawer::ExtTextOut(X, Y, fuOptions, ARect, Text, Length);
        return;
    }
    ExtTextOutA(DrawingDC(), X, Y, fuOptions, &ARect, Text,
                static_cast<UINT>(Length > 0 ? Length : 0), nullptr);
}

void TQvTextDrawerEx::DoSetCharExtra(Integer Value)
{
    TQvTextDrawer::DoSetCharExtra(Value + crntDx_);
}
