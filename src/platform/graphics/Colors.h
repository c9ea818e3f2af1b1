// Colours as 32-bit values 0x00BBGGRR, named colours, system colours resolved through a
// replaceable palette, and conversion to and from text.
#pragma once

#include "platform/runtime/System.h"

#include <functional>
#include <string>
#include <string_view>

using TColor = Integer;  // 0x00BBGGRR, or a system colour 0x80000000 + index

constexpr TColor RGB(Byte r, Byte g, Byte b)
{
    return static_cast<TColor>(static_cast<DWORD>(r) | (static_cast<DWORD>(g) << 8) |
                               (static_cast<DWORD>(b) << 16));
}
constexpr Byte GetRValue(TColor c) { return static_cast<Byte>(static_cast<DWORD>(c) & 0xFF); }
constexpr Byte GetGValue(TColor c) { return static_cast<Byte>((static_cast<DWORD>(c) >> 8) & 0xFF); }
constexpr Byte GetBValue(TColor c) { return static_cast<Byte>((static_cast<DWORD>(c) >> 16) & 0xFF); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

constexpr int SystemColorCount = 25;  // indexes 0..24

constexpr bool IsSystemColor(TColor c) { return (static_cast<DWORD>(c) & 0xFF000000u) == 0x80000000u; }

// Maps a system colour index (0..24) to its RGB value. The default resolver gives the
// classic Windows palette; the graphics layer installs one that reads the desktop's.
using TSystemColorResolver = std::function<TColor(int index)>;
void SetSystemColorResolver(TSystemColorResolver resolver);  // empty: back to the default
TColor DefaultSystemColor(int index);                        // the classic palette; black if out of range

// The RGB value of a colour: system colours through the resolver (black for an index the
// palette does not have), others with the top byte cleared. clNone and clDefault are not
// colours: test for them first.
TColor ColorToRGB(TColor color);

// "clRed" for a named colour (standard, extended and system colours, clNone, clDefault),
// else "$00BBGGRR" with eight hexadecimal digits.
std::string ColorToString(TColor color);
// A name (case-insensitive) or an integer in any form StrToInt reads; raises EConvertError.
TColor StringToColor(std::string_view text);
// Name <-> value for the named colours only; false when there is no such name or value.
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(std::string_view ident, TColor& color);
