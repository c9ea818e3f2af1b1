// Printer geometry for page layout.
#include "qvedit/print/QvEditPrinterInfo.h"

#include "platform/graphics/Printers.h"
#include "qvedit/print/QvEditPrintTypes.h"

namespace {

constexpr double MillimetresPerInch = 25.4;

}  // namespace

Integer TQvEditPrinterInfo::GetPhysicalWidth()
{
    RequireRead();
    return physicalWidth_;
}

Integer TQvEditPrinterInfo::GetPhysicalHeight()
{
    RequireRead();
    return physicalHeight_;
}

Integer TQvEditPrinterInfo::GetPrintableWidth()
{
    RequireRead();
    return printableWidth_;
}

Integer TQvEditPrinterInfo::GetPrintableHeight()
{
    RequireRead();
    return printableHeight_;
}

Integer TQvEditPrinterInfo::GetLeftGutter()
{
    RequireRead();
    return leftGutter_;
}

Integer TQvEditPrinterInfo::GetRightGutter()
{
    RequireRead();
    return rightGutter_;
}

Integer TQvEditPrinterInfo::GetTopGutter()
{
    RequireRead();
    return topGutter_;
}

Integer TQvEditPrinterInfo::GetBottomGutter()
{
    RequireRead();
    return bottomGutter_;
}

Integer TQvEditPrinterInfo::GetXPixPrInch()
{
    RequireRead();
    return xPixPrInch_;
}

Integer TQvEditPrinterInfo::GetYPixPrInch()
{
    RequireRead();
    return yPixPrInch_;
}

float TQvEditPrinterInfo::GetXPixPrmm()
{
    RequireRead();
    return xPixPrmm_;
}

float TQvEditPrinterInfo::GetYPixPrmm()
{
    RequireRead();
    return yPixPrmm_;
}

void TQvEditPrinterInfo::UpdatePrinter()
{
    isUpdated_ = true;
    TPrinter* printer = Printer();
    if (printer->GetPrinters().empty())
        FillDefault();
    else
        FillFromDevice(printer->GetHandle(), printer->GetPageWidth(), printer->GetPageHeight());
}

void TQvEditPrinterInfo::FillDefault()
{
    isUpdated_ = true;
    physicalWidth_ = 2481;
    physicalHeight_ = 3507;
    printableWidth_ = 2358;
    printableHeight_ = 3407;
    leftGutter_ = 65;
    rightGutter_ = 58;
    topGutter_ = 50;
    bottomGutter_ = 50;
    xPixPrInch_ = 300;
    yPixPrInch_ = 300;
    xPixPrmm_ = static_cast<float>(xPixPrInch_ / MillimetresPerInch);
    yPixPrmm_ = static_cast<float>(yPixPrInch_ / MillimetresPerInch);
}

bool TQvEditPrinterInfo::FillFromDevice(HDC Device, Integer PageWidth, Integer PageHeight)
{
    isUpdated_ = true;
    const Integer physicalWidth = GetDeviceCaps(Device, PHYSICALWIDTH);
    const Integer physicalHeight = GetDeviceCaps(Device, PHYSICALHEIGHT);
    const Integer xPixPrInch = GetDeviceCaps(Device, LOGPIXELSX);
    const Integer yPixPrInch = GetDeviceCaps(Device, LOGPIXELSY);
    // Without a resolution or a page nothing can be laid out: pages would collapse to
    // nothing, so the layout falls back to the default page.
    if (physicalWidth <= 0 || physicalHeight <= 0 || PageWidth <= 0 || PageHeight <= 0 ||
        xPixPrInch <= 0 || yPixPrInch <= 0) {
        FillDefault();
        return false;
    }
    physicalWidth_ = physicalWidth;
    physicalHeight_ = physicalHeight;
    printableWidth_ = PageWidth;
    printableHeight_ = PageHeight;
    leftGutter_ = GetDeviceCaps(Device, PHYSICALOFFSETX);
    topGutter_ = GetDeviceCaps(Device, PHYSICALOFFSETY);
    rightGutter_ = physicalWidth_ - printableWidth_ - leftGutter_;
    bottomGutter_ = physicalHeight_ - printableHeight_ - topGutter_;
    xPixPrInch_ = xPixPrInch;
    yPixPrInch_ = yPixPrInch;
    xPixPrmm_ = static_cast<float>(xPixPrInch_ / MillimetresPerInch);
    yPixPrmm_ = static_cast<float>(yPixPrInch_ / MillimetresPerInch);
    return true;
}

Integer TQvEditPrinterInfo::PixFromLeft(double mm)
{
    RequireRead();
    return RoundToInteger(mm * xPixPrmm_ - leftGutter_);
}

Integer TQvEditPrinterInfo::PixFromRight(double mm)
{
    RequireRead();
    return RoundToInteger(mm * xPixPrmm_ - rightGutter_);
}

Integer TQvEditPrinterInfo::PixFromTop(double mm)
{
    RequireRead();
    return RoundToInteger(mm * yPixPrmm_ - topGutter_);
}

Integer TQvEditPrinterInfo::PixFromBottom(double mm)
{
    RequireRead();
    return RoundToInteger(mm * yPixPrmm_ - bottomGutter_);
}

void TQvEditPrinterInfo::RequireRead()
{
    if (!isUpdated_)
        UpdatePrinter();
}
