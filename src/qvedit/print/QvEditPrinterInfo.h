// The current printer's page geometry and resolution, read once, and the conversion of
// millimetre distances from the paper's edges into pixel positions on the printable area.
// Without a printer it answers for an A4 page at 300 pixels per inch.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/runtime/System.h"

class TQvEditPrinterInfo : public TObject {
public:
    // Every reading first reads the printer when that has not been done yet.
    Integer GetPhysicalWidth();
    Integer GetPhysicalHeight();
    Integer GetPrintableWidth();
    Integer GetPrintableHeight();
    Integer GetLeftGutter();
    Integer GetRightGutter();
    Integer GetTopGutter();
    Integer GetBottomGutter();
    Integer GetXPixPrInch();
    Integer GetYPixPrInch();
    float GetXPixPrmm();
    float GetYPixPrmm();

    // Reads the current printer again (the defaults when there is none).
    void UpdatePrinter();
    // A4 at 300 pixels per inch.
    void FillDefault();
    // Reads the geometry from a printer's context and its printable size. A device that
    // reports no resolution or an empty page gives the defaults instead; false then.
    bool FillFromDevice(HDC Device, Integer PageWidth, Integer PageHeight);

    // Pixel positions on the printable area of distances in millimetres from the paper's
    // left, right, top and bottom edges (negative inside the unprintable border).
    Integer PixFromLeft(double mm);
    Integer PixFromRight(double mm);
    Integer PixFromTop(double mm);
    Integer PixFromBottom(double mm);

private:
    void RequireRead();

    Integer physicalWidth_ = 0;
    Integer physicalHeight_ = 0;
    Integer printableWidth_ = 0;
    Integer printableHeight_ = 0;
    Integer leftGutter_ = 0;
    Integer rightGutter_ = 0;
    Integer topGutter_ = 0;
    Integer bottomGutter_ = 0;
    Integer xPixPrInch_ = 0;
    Integer yPixPrInch_ = 0;
    float xPixPrmm_ = 0;
    float yPixPrmm_ = 0;
    bool isUpdated_ = false;
};
