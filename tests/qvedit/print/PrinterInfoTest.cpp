// Printer geometry: the default page, geometry read from a device, and millimetres from
// the paper's edges as positions on the printable area.
#include "qvedit/print/QvEditPrinterInfo.h"

#include "platform/graphics/Graphics.h"
#include "platform/graphics/Printers.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(PrinterInfoTest, WithoutAPrinterAnA4PageAt300PixelsPerInch)
{
    if (!Printer()->GetPrinters().empty())
        GTEST_SKIP() << "this machine has a printer";
    TQvEditPrinterInfo info;  // read on first use
    EXPECT_EQ(info.PixFromLeft(25), 230);  // 295.28 - 65
    EXPECT_EQ(info.GetPrintableWidth(), 2358);
    EXPECT_EQ(info.PixFromRight(15), 119);   // 177.17 - 58
    EXPECT_EQ(info.PixFromBottom(15), 127);  // 177.17 - 50
    EXPECT_EQ(info.PixFromLeft(1), -53);     // inside the unprintable border
}

TEST(PrinterInfoTest, GeometryFromADevice)
{
    TBitmap page;
    page.SetSize(300, 400);
    TQvEditPrinterInfo info;
    ASSERT_TRUE(info.FillFromDevice(page.GetCanvas()->GetHandle(), 280, 370));
    const Integer ppi = GetDeviceCaps(page.GetCanvas()->GetHandle(), LOGPIXELSX);
    EXPECT_EQ(info.GetPhysicalWidth(), 300);
    EXPECT_EQ(info.GetRightGutter(), 20);
    EXPECT_EQ(info.GetBottomGutter(), 30);
    EXPECT_EQ(info.PixFromLeft(25.4), ppi);
    EXPECT_EQ(info.PixFromRight(25.4), ppi - 20);
}

TEST(PrinterInfoTest, DeviceWithoutAPageGivesTheDefaults)
{
    TBitmap empty;  // 0 x 0
    TQvEditPrinterInfo info;
    EXPECT_FALSE(info.FillFromDevice(empty.GetCanvas()->GetHandle(), 0, 0));
    EXPECT_EQ(info.PixFromLeft(25), 230);
    EXPECT_FALSE(info.FillFromDevice(nullptr, 100, 100));
    EXPECT_EQ(info.GetPrintableWidth(), 2358);
}

TEST(PrinterInfoTest, ReadsThePdfPrinterWhenItIsSelected)
{
    char folder[] = "/tmp/qv-printer-info-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    Printer()->SetPdfOutput(std::string(folder) + "/out.pdf");
    TQvEditPrinterInfo info;
    info.UpdatePrinter();
    Printer()->SetPdfOutput("");
    rmdir(folder);
    EXPECT_EQ(info.GetXPixPrInch(), 300);
    EXPECT_GT(info.GetPrintableWidth(), 2000);
    EXPECT_EQ(info.GetLeftGutter() + info.GetPrintableWidth() + info.GetRightGutter(),
              info.GetPhysicalWidth());
}

}  // namespace
