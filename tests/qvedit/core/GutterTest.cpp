#include "qvedit/core/QvEditMiscClasses.h"

#include <gtest/gtest.h>

namespace {

class TChangeCounter : public TObject {
public:
    void Changed(TObject* Sender)
    {
        ++count;
        lastSender = Sender;
    }
    int count = 0;
    TObject* lastSender = nullptr;
};

class GutterTest : public ::testing::Test {
protected:
    void SetUp() override { gutter.OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed); }

    TQvGutter gutter;
    TChangeCounter changes;
};

TEST_F(GutterTest, FormatLineNumber)
{
    EXPECT_EQ(gutter.FormatLineNumber(7), "   7");
    EXPECT_EQ(gutter.FormatLineNumber(123457), "123457");  // longer numbers are not cut
    gutter.SetLeadingZeros(true);
    EXPECT_EQ(gutter.FormatLineNumber(7), "0007");
    gutter.SetZeroStart(true);
    EXPECT_EQ(gutter.FormatLineNumber(1), "0000");
    gutter.SetLeadingZeros(false);
    EXPECT_EQ(gutter.FormatLineNumber(7), "   6");
}

TEST_F(GutterTest, AutoSizeDigitCount)
{
    gutter.SetShowLineNumbers(true);
    gutter.SetAutoSize(true);
    const int before = changes.count;
    gutter.AutoSizeDigitCount(12345);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 5);
    EXPECT_EQ(gutter.FormatLineNumber(7), "    7");
    gutter.AutoSizeDigitCount(54321);  // no change, no notice
    EXPECT_EQ(changes.count, before + 1);
    gutter.AutoSizeDigitCount(12);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 4);  // never below DigitCount

    gutter.SetZeroStart(true);
    gutter.AutoSizeDigitCount(10000);  // numbers 0..9999
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 4);
    gutter.AutoSizeDigitCount(10001);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 5);

    // Without line numbers the digit count is DigitCount again, silently.
    gutter.SetShowLineNumbers(false);
    const int quiet = changes.count;
    gutter.AutoSizeDigitCount(10001);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 4);
    EXPECT_EQ(changes.count, quiet);
}

TEST_F(GutterTest, RealGutterWidth)
{
    EXPECT_EQ(gutter.RealGutterWidth(8), 30);
    gutter.SetShowLineNumbers(true);
    EXPECT_EQ(gutter.RealGutterWidth(8), 16 + 2 + 4 * 8 + 2);
    gutter.SetVisible(false);
    EXPECT_EQ(gutter.RealGutterWidth(8), 0);
}

TEST_F(GutterTest, SettersClampAndReportOnlyEffectiveChanges)
{
    gutter.SetDigitCount(20);
    EXPECT_EQ(gutter.GetDigitCount(), 12);
    gutter.SetDigitCount(1);
    EXPECT_EQ(gutter.GetDigitCount(), 2);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 2);
    gutter.SetDigitCount(0);  // clamps to the stored 2
    gutter.SetLeftOffset(-3);
    gutter.SetRightOffset(-1);
    gutter.SetWidth(30);
    gutter.SetWidth(-10);
    EXPECT_EQ(gutter.GetLeftOffset(), 0);
    EXPECT_EQ(gutter.GetRightOffset(), 0);
    EXPECT_EQ(gutter.GetWidth(), 0);
    EXPECT_EQ(changes.count, 5);
    EXPECT_EQ(changes.lastSender, &gutter);

    gutter.SetBorderStyle(gbsMiddle);  // reports even an unchanged value
    EXPECT_EQ(changes.count, 6);
    gutter.GetFont()->SetSize(10);  // the font's own changes report too
    EXPECT_EQ(changes.count, 7);
}

TEST_F(GutterTest, AssignCopiesAllButBorderStyleAndCursorAndReportsOnce)
{
    TQvGutter source;
    source.GetFont()->SetName("Arial");
    source.SetUseFontStyle(false);
    source.SetColor(clRed);
    source.SetVisible(false);
    source.SetWidth(44);
    source.SetShowLineNumbers(true);
    source.SetLeadingZeros(true);
    source.SetZeroStart(true);
    source.SetLeftOffset(3);
    source.SetDigitCount(6);
    source.SetRightOffset(5);
    source.SetAutoSize(true);
    source.SetBorderStyle(gbsRight);
    source.SetCursor(crIBeam);

    gutter.Assign(&source);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(gutter.GetFont()->GetName(), "Arial");
    EXPECT_NE(gutter.GetFont(), source.GetFont());
    EXPECT_FALSE(gutter.GetUseFontStyle());
    EXPECT_EQ(gutter.GetColor(), clRed);
    EXPECT_FALSE(gutter.GetVisible());
    EXPECT_EQ(gutter.GetWidth(), 44);
    EXPECT_TRUE(gutter.GetShowLineNumbers());
    EXPECT_TRUE(gutter.GetLeadingZeros());
    EXPECT_TRUE(gutter.GetZeroStart());
    EXPECT_EQ(gutter.GetLeftOffset(), 3);
    EXPECT_EQ(gutter.GetDigitCount(), 6);
    EXPECT_EQ(gutter.GetAutoSizeDigitCount(), 6);
    EXPECT_EQ(gutter.GetRightOffset(), 5);
    EXPECT_TRUE(gutter.GetAutoSize());
    EXPECT_EQ(gutter.GetBorderStyle(), gbsMiddle);
    EXPECT_EQ(gutter.GetCursor(), crDefault);

    TQvSelectedColor other;
    EXPECT_THROW(gutter.Assign(&other), EConvertError);
    EXPECT_EQ(changes.count, 1);
}

}  // namespace
