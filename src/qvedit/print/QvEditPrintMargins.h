// Page margins of printing, kept in millimetres and read and written in a unit of the
// user's choice, and their pixel positions on a printed page's printable area.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Streams.h"

class TQvEditPrinterInfo;

enum TUnitSystem : Byte { usMM = 0, usCM = 1, usInch = 2, muThousandthsOfInches = 3 };

class TQvEditPrintMargins : public TPersistent {
public:
    // Lengths in UnitSystem.
    double GetLeft() const { return FromMM(left_); }
    void SetLeft(double value) { left_ = ToMM(value); }
    double GetRight() const { return FromMM(right_); }
    void SetRight(double value) { right_ = ToMM(value); }
    double GetTop() const { return FromMM(top_); }
    void SetTop(double value) { top_ = ToMM(value); }
    double GetBottom() const { return FromMM(bottom_); }
    void SetBottom(double value) { bottom_ = ToMM(value); }
    // Distances of the header line from the top edge and of the footer line from the
    // bottom edge.
    double GetHeader() const { return FromMM(header_); }
    void SetHeader(double value) { header_ = ToMM(value); }
    double GetFooter() const { return FromMM(footer_); }
    void SetFooter(double value) { footer_ = ToMM(value); }
    // Indents of header and footer text from the left and right margins.
    double GetLeftHFTextIndent() const { return FromMM(leftHFTextIndent_); }
    void SetLeftHFTextIndent(double value) { leftHFTextIndent_ = ToMM(value); }
    double GetRightHFTextIndent() const { return FromMM(rightHFTextIndent_); }
    void SetRightHFTextIndent(double value) { rightHFTextIndent_ = ToMM(value); }
    // Space between the header or footer frame and its text.
    double GetHFInternalMargin() const { return FromMM(hfInternalMargin_); }
    void SetHFInternalMargin(double value) { hfInternalMargin_ = ToMM(value); }
    // Binding room added to the left margin (the right one on mirrored even pages).
    double GetGutter() const { return FromMM(gutter_); }
    void SetGutter(double value) { gutter_ = ToMM(value); }

    // Left and right swap on even pages.
    bool GetMirrorMargins() const { return mirrorMargins_; }
    void SetMirrorMargins(bool value) { mirrorMargins_ = value; }
    TUnitSystem GetUnitSystem() const { return unitSystem_; }
    void SetUnitSystem(TUnitSystem value) { unitSystem_ = value; }

    // Pixel positions on the printable area, computed by InitPage.
    Integer PLeft() const { return pLeft_; }
    Integer PRight() const { return pRight_; }
    Integer PTop() const { return pTop_; }
    Integer PBottom() const { return pBottom_; }
    Integer PHeader() const { return pHeader_; }
    Integer PFooter() const { return pFooter_; }
    Integer PLeftHFTextIndent() const { return pLeftHFTextIndent_; }
    Integer PRightHFTextIndent() const { return pRightHFTextIndent_; }
    Integer PHFInternalMargin() const { return pHFInternalMargin_; }
    Integer PGutter() const { return pGutter_; }

    // Computes the pixel positions for page PageNum. With line numbers printed outside
    // the margin, the left position leaves room for MaxLineNum followed by ": " in the
    // canvas's font.
    void InitPage(TCanvas* ACanvas, Integer PageNum, TQvEditPrinterInfo* PrinterInfo,
                  bool LineNumbers, bool LineNumbersInMargin, Integer MaxLineNum);

    // Copies the lengths, MirrorMargins and UnitSystem.
    void Assign(TPersistent* Source) override;

    // 82 bytes: the unit, the ten lengths in millimetres as little-endian doubles, the
    // mirror flag. Loading checks everything before it changes anything: a short stream
    // raises EReadError, an unknown unit or a length that is no finite number EReadError
    // "Invalid print margins".
    void SaveToStream(TStream* AStream) const;
    void LoadFromStream(TStream* AStream);

private:
    double ToMM(double value) const;
    double FromMM(double mm) const;

    double left_ = 25;
    double right_ = 15;
    double top_ = 25;
    double bottom_ = 25;
    double header_ = 15;
    double footer_ = 15;
    double leftHFTextIndent_ = 2;
    double rightHFTextIndent_ = 2;
    double hfInternalMargin_ = 0.5;
    double gutter_ = 0;
    bool mirrorMargins_ = false;
    TUnitSystem unitSystem_ = usMM;

    Integer pLeft_ = 0;
    Integer pRight_ = 0;
    Integer pTop_ = 0;
    Integer pBottom_ = 0;
    Integer pHeader_ = 0;
    Integer pFooter_ = 0;
    Integer pLeftHFTextIndent_ = 0;
    Integer pRightHFTextIndent_ = 0;
    Integer pHFInternalMargin_ = 0;
    Integer pGutter_ = 0;
};
