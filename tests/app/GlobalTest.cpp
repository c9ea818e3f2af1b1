#include "app/Global.h"

#include <gtest/gtest.h>

namespace {

TEST(GlobalTest, ColorDigitsComeInRedGreenBlueOrder)
{
    EXPECT_EQ(ColorToHtmlHex(clRed), "ff0000");
    EXPECT_EQ(ColorToHtmlHex(clLime), "00ff00");
    EXPECT_EQ(ColorToHtmlHex(clBlue), "0000ff");
    EXPECT_EQ(ColorToHtmlHex(RGB(0, 128, 255)), "0080ff");
    EXPECT_EQ(ColorToHtmlHex(RGB(1, 2, 3)), "010203");
    EXPECT_EQ(HtmlColorText(RGB(0, 128, 255)), "#0080FF");
    EXPECT_EQ(HtmlColorText(clRed), "#FF0000");
}

TEST(GlobalTest, SystemColoursAreResolvedAndOtherTopBytesDropped)
{
    SetSystemColorResolver([](int index) { return index == 8 ? RGB(0x12, 0xAB, 0x56) : clBlack; });
    EXPECT_EQ(ColorToHtmlHex(clWindowText), "12ab56");
    EXPECT_EQ(HtmlColorText(clWindowText), "#12AB56");
    SetSystemColorResolver({});
    EXPECT_EQ(ColorToHtmlHex(clDefault), "000000");
    EXPECT_EQ(ColorToHtmlHex(static_cast<TColor>(0x02FF8000)), "0080ff");
}

}  // namespace
