#include "platform/graphics/Colors.h"

#include "platform/runtime/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(Colors, ComponentsAndLayout)
{
    const TColor c = RGB(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412);
    EXPECT_EQ(GetRValue(c), 0x12);
    EXPECT_EQ(GetGValue(c), 0x34);
    EXPECT_EQ(GetBValue(c), 0x56);
    EXPECT_EQ(RGB(255, 0, 0), clRed);
    EXPECT_EQ(RGB(0, 0, 255), clBlue);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clWhite));
}

TEST(Colors, NamesAndNumbersRoundTrip)
{
    for (TColor c : {clBlack, clRed, clMoneyGreen, clCream, clMedGray, clWindow, clBtnFace, clInfoBk,
                     clNone, clDefault, RGB(1, 2, 3), static_cast<TColor>(0x80000019u), -1}) {
        EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
    }
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(clLtGray), "clSilver");
    EXPECT_EQ(ColorToString(clHighlightText), "clHighlightText");
    EXPECT_EQ(ColorToString(RGB(1, 2, 3)), "$00030201");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0x80000019u)), "$80000019");
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("clLtGray"), clSilver);
    EXPECT_EQ(StringToColor("$FF"), clRed);
    EXPECT_EQ(StringToColor("65280"), clLime);
}

TEST(Colors, BadTextRaises)
{
    EXPECT_THROW(StringToColor("clRedd"), EConvertError);
    EXPECT_THROW(StringToColor(""), EConvertError);
    EXPECT_THROW(StringToColor("#FF0000"), EConvertError);
    TColor c = clAqua;
    EXPECT_FALSE(IdentToColor("Red", c));
    EXPECT_EQ(c, clAqua);
    std::string ident = "unchanged";
    EXPECT_FALSE(ColorToIdent(RGB(1, 2, 3), ident));
    EXPECT_EQ(ident, "unchanged");
}

TEST(Colors, SystemColorsResolveThroughThePalette)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFF);  // the low 24 bits: test for clNone first
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x80000063u)), clBlack);  // no such system colour

    int askedFor = -1;
    SetSystemColorResolver([&askedFor](int index) {
        askedFor = index;
        return static_cast<TColor>(0x7F000000 | RGB(1, 2, 3));  // stray high bits are dropped
    });
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
    EXPECT_EQ(askedFor, 15);
    EXPECT_EQ(ColorToRGB(clGreen), clGreen);  // plain colours never reach the resolver
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x80000063u)), clBlack);  // nor unknown indexes
    EXPECT_EQ(askedFor, 15);
    SetSystemColorResolver(nullptr);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
}

}  // namespace
