// Print margins: units, pixel positions per page and the 82-byte stream.
#include "qvedit/print/QvEditPrintMargins.h"

#include "qvedit/print/QvEditPrinterInfo.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

namespace {

std::string Saved(const TQvEditPrintMargins& margins)
{
    TStringStream stream;
    margins.SaveToStream(&stream);
    return stream.DataString();
}

std::string DoubleBytes(double value)  // little-endian
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::string bytes;
    for (int i = 0; i < 8; ++i)
        bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes;
}

class PrintMarginsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        info_.FillDefault();
        bitmap_.SetSize(10, 10);
    }
    TCanvas* Canvas() { return bitmap_.GetCanvas(); }
    TQvEditPrinterInfo info_;
    TBitmap bitmap_;
    TQvEditPrintMargins margins_;
};

TEST_F(PrintMarginsTest, LengthsAreReadAndWrittenInTheChosenUnit)
{
    margins_.SetUnitSystem(usCM);
    EXPECT_DOUBLE_EQ(margins_.GetLeft(), 2.5);
    margins_.SetLeft(3);
    margins_.SetUnitSystem(muThousandthsOfInches);
    margins_.SetGutter(500);
    margins_.SetUnitSystem(usMM);
    EXPECT_DOUBLE_EQ(margins_.GetLeft(), 30);
    EXPECT_NEAR(margins_.GetGutter(), 12.7, 1e-12);
    margins_.SetUnitSystem(usInch);
    EXPECT_NEAR(margins_.GetGutter(), 0.5, 1e-12);
}

TEST_F(PrintMarginsTest, PixelPositionsOnTheDefaultPage)
{
    margins_.InitPage(Canvas(), 1, &info_, false, false, 0);
    EXPECT_EQ(margins_.PLeft(), 230);
    EXPECT_EQ(margins_.PRight(), 2358 - 119);
    EXPECT_EQ(margins_.PTop(), 245);
    EXPECT_EQ(margins_.PBottom(), 3407 - 245);
    EXPECT_EQ(margins_.PHeader(), 127);
    EXPECT_EQ(margins_.PFooter(), 3407 - 127);
    EXPECT_EQ(margins_.PHFInternalMargin(), 6);         // 5.91
    EXPECT_EQ(margins_.PLeftHFTextIndent(), 230 + 24);  // 23.62
    EXPECT_EQ(margins_.PRightHFTextIndent(), 2239 - 24);
}

TEST_F(PrintMarginsTest, MirroredPagesPutTheWideMarginOnTheBindingSide)
{
    margins_.SetGutter(5);
    margins_.SetMirrorMargins(true);
    margins_.InitPage(Canvas(), 1, &info_, false, false, 0);
    EXPECT_EQ(margins_.PLeft(), 289);          // 30 mm: 354.33 - 65
    EXPECT_EQ(margins_.PRight(), 2358 - 119);  // 15 mm
    EXPECT_EQ(margins_.PGutter(), 59);
    margins_.InitPage(Canvas(), 2, &info_, false, false, 0);
    EXPECT_EQ(margins_.PLeft(), 112);          // 15 mm: 177.17 - 65
    EXPECT_EQ(margins_.PRight(), 2358 - 296);  // 30 mm: 354.33 - 58
}

TEST_F(PrintMarginsTest, LineNumbersOutsideTheMarginWidenIt)
{
    margins_.InitPage(Canvas(), 1, &info_, true, false, 1000);
    EXPECT_EQ(margins_.PLeft(), 230 + Canvas()->TextWidth("1000: "));
    EXPECT_GT(margins_.PLeft(), 230);
    margins_.InitPage(Canvas(), 1, &info_, true, true, 1000);
    EXPECT_EQ(margins_.PLeft(), 230);
}

TEST_F(PrintMarginsTest, StreamIsTheUnitTenDoublesAndTheMirrorFlag)
{
    margins_.SetUnitSystem(usCM);
    margins_.SetGutter(0.75);
    margins_.SetMirrorMargins(true);
    const std::string bytes = Saved(margins_);
    ASSERT_EQ(bytes.size(), 82u);
    EXPECT_EQ(bytes[0], '\x01');
    EXPECT_EQ(bytes.substr(1, 8), DoubleBytes(25));    // Left, in millimetres
    EXPECT_EQ(bytes.substr(65, 8), DoubleBytes(0.5));  // HFInternalMargin
    EXPECT_EQ(bytes.substr(73, 8), DoubleBytes(7.5));  // Gutter
    EXPECT_EQ(bytes[81], '\x01');

    TQvEditPrintMargins loaded;
    TStringStream stream(bytes);
    loaded.LoadFromStream(&stream);
    EXPECT_EQ(Saved(loaded), bytes);
    EXPECT_DOUBLE_EQ(loaded.GetGutter(), 0.75);
}

TEST_F(PrintMarginsTest, BadStreamsChangeNothing)
{
    TQvEditPrintMargins source;
    source.SetLeft(40);
    const std::string good = Saved(source);
    const std::string before = Saved(margins_);
    std::string badUnit = good;
    badUnit[0] = '\x04';
    std::string notANumber = good;
    notANumber.replace(17, 8, DoubleBytes(std::nan("")));
    for (const std::string& bad : {good.substr(0, 0), good.substr(0, 81), badUnit, notANumber}) {
        TStringStream stream(bad);
        EXPECT_THROW(margins_.LoadFromStream(&stream), EReadError);
    }
    EXPECT_EQ(Saved(margins_), before);
}

}  // namespace
