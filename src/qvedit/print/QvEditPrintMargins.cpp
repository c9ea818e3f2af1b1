// Print margins: unit conversion, pixel positions per page and the streamed form.
#include "qvedit/print/QvEditPrintMargins.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/print/QvEditPrintTypes.h"
#include "qvedit/print/QvEditPrinterInfo.h"

#include <array>
#include <bit>
#include <cmath>

namespace {

// Millimetres in one unit of each unit system.
double MillimetresPerUnit(TUnitSystem unit)
{
    switch (unit) {
    case usCM:
        return 10;
    case usInch:
        return 25.4;
    case muThousandthsOfInches:
        return 25.4 / 1000;
    case usMM:
        break;
    }
    return 1;
}

}  // namespace

double TQvEditPrintMargins::ToMM(double value) const
{
    return value * MillimetresPerUnit(unitSystem_);
}

double TQvEditPrintMargins::FromMM(double mm) const
{
    return mm / MillimetresPerUnit(unitSystem_);
}

void TQvEditPrintMargins::InitPage(TCanvas* ACanvas, Integer PageNum,
                                   TQvEditPrinterInfo* PrinterInfo, bool LineNumbers,
                                   bool LineNumbersInMargin, Integer MaxLineNum)
{
    const Integer printableWidth = PrinterInfo->GetPrintableWidth();
    const Integer printableHeight = PrinterInfo->GetPrintableHeight();
    if (mirrorMargins_ && PageNum % 2 == 0) {
        pLeft_ = PrinterInfo->PixFromLeft(right_);
        pRight_ = printableWidth - PrinterInfo->PixFromRight(left_ + gutter_);
    } else {
        pLeft_ = PrinterInfo->PixFromLeft(left_ + gutter_);
        pRight_ = printableWidth - PrinterInfo->PixFromRight(right_);
    }
    if (LineNumbers && !LineNumbersInMargin)
        pLeft_ += ACanvas->TextWidth(IntToStr(MaxLineNum) + ": ");
    pTop_ = PrinterInfo->PixFromTop(top_);
    pBottom_ = printableHeight - PrinterInfo->PixFromBottom(bottom_);
    pHeader_ = PrinterInfo->PixFromTop(header_);
    pFooter_ = printableHeight - PrinterInfo->PixFromBottom(footer_);
    const double xPixPrmm = PrinterInfo->GetXPixPrmm();
    const double yPixPrmm = PrinterInfo->GetYPixPrmm();
    pHFInternalMargin_ = RoundToInteger(yPixPrmm * hfInternalMargin_);
    pGutter_ = RoundToInteger(xPixPrmm * gutter_);
    pRightHFTextIndent_ = pRight_ - RoundToInteger(xPixPrmm * rightHFTextIndent_);
    pLeftHFTextIndent_ = RoundToInteger(xPixPrmm * leftHFTextIndent_) + pLeft_;
}

void TQvEditPrintMargins::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TQvEditPrintMargins*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    left_ = other->left_;
    right_ = other->right_;
    top_ = other->top_;
    bottom_ = other->bottom_;
    header_ = other->header_;
    footer_ = other->footer_;
    leftHFTextIndent_ = other->leftHFTextIndent_;
    rightHFTextIndent_ = other->rightHFTextIndent_;
    hfInternalMargin_ = other->hfInternalMargin_;
    gutter_ = other->gutter_;
    mirrorMargins_ = other->mirrorMargins_;
    unitSystem_ = other->unitSystem_;
}

void TQvEditPrintMargins::SaveToStream(TStream* AStream) const
{
    WriteByte(*AStream, unitSystem_);
    for (double mm : {left_, right_, top_, bottom_, header_, footer_, leftHFTextIndent_,
                      rightHFTextIndent_, hfInternalMargin_, gutter_})
        WriteLE64(*AStream, std::bit_cast<Int64>(mm));
    WriteByte(*AStream, mirrorMargins_ ? 1 : 0);
}

void TQvEditPrintMargins::LoadFromStream(TStream* AStream)
{
    const Byte unit = ReadByte(*AStream);
    std::array<double, 10> lengths{};
    for (double& mm : lengths)
        mm = std::bit_cast<double>(ReadLE64(*AStream));
    const bool mirror = ReadByte(*AStream) != 0;
    if (unit > muThousandthsOfInches)
        throw EReadError("Invalid print margins");
    for (double mm : lengths) {
        if (!std::isfinite(mm))
            throw EReadError("Invalid print margins");
    }
    unitSystem_ = static_cast<TUnitSystem>(unit);
    left_ = lengths[0];
    right_ = lengths[1];
    top_ = lengths[2];
    bottom_ = lengths[3];
    header_ = lengths[4];
    footer_ = lengths[5];
    leftHFTextIndent_ = lengths[6];
    rightHFTextIndent_ = lengths[7];
    hfInternalMargin_ = lengths[8];
    gutter_ = lengths[9];
    mirrorMargins_ = mirror;
}
