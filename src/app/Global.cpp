#include "app/Global.h"

#include "platform/runtime/SysUtils.h"

std::string ColorToHtmlHex(TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    // Formatted as 0x00BBGGRR: the digit pairs come out blue, green, red.
    const std::string bgr = Format("%06x", {static_cast<Integer>(rgb)});
    return bgr.substr(4, 2) + bgr.substr(2, 2) + bgr.substr(0, 2);
}

std::string HtmlColorText(TColor Color)
{
    return "#" + UpperCase(ColorToHtmlHex(Color));
}
