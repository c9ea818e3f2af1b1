#include "platform/graphics/Colors.h"

#include "platform/runtime/SysUtils.h"

#include <iterator>
#include <utility>

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// The first name of a value is the one ColorToIdent gives; clLtGray and clDkGray are
// accepted as other names of clSilver and clGray.
constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

// The classic desktop scheme, indexed like the system colours.
constexpr TColor ClassicPalette[SystemColorCount] = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop background
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3-D dark shadow
    RGB(212, 208, 200),  // 3-D light
    RGB(0, 0, 0),        // tool-tip text
    RGB(255, 255, 225),  // tool-tip background
};

// Installed once at start-up by the graphics layer, before painting begins.
TSystemColorResolver& Resolver()
{
    static TSystemColorResolver resolver;
    return resolver;
}

}  // namespace

void SetSystemColorResolver(TSystemColorResolver resolver)
{
    Resolver() = std::move(resolver);
}

TColor DefaultSystemColor(int index)
{
    if (index < 0 || index >= SystemColorCount)
        return clBlack;
    return ClassicPalette[index];
}

TColor ColorToRGB(TColor color)
{
    if (!IsSystemColor(color))
        return static_cast<TColor>(static_cast<DWORD>(color) & 0x00FFFFFFu);
    const int index = static_cast<int>(static_cast<DWORD>(color) & 0xFFu);
    if (index >= SystemColorCount)
        return clBlack;
    const TSystemColorResolver& resolver = Resolver();
    const TColor rgb = resolver ? resolver(index) : DefaultSystemColor(index);
    return static_cast<TColor>(static_cast<DWORD>(rgb) & 0x00FFFFFFu);
}

bool ColorToIdent(TColor color, std::string& ident)
{
    for (const TColorName& entry : ColorNames) {
        if (entry.Value == color) {
            ident = entry.Name;
            return true;
        }
    }
    return false;
}

bool IdentToColor(std::string_view ident, TColor& color)
{
    for (const TColorName& entry : ColorNames) {
        if (SameText(ident, entry.Name)) {
            color = entry.Value;
            return true;
        }
    }
    return false;
}

std::string ColorToString(TColor color)
{
    std::string ident;
    if (ColorToIdent(color, ident))
        return ident;
    return "$" + IntToHex(static_cast<DWORD>(color), 8);
}

TColor StringToColor(std::string_view text)
{
    TColor color = 0;
    if (IdentToColor(text, color))
        return color;
    return StrToInt(text);
}
