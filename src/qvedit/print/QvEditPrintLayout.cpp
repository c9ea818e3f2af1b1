// The print engine's layout: the character cell and line height, the highlighter state at
// the start of every line, the rows of a wrapped line and the division into pages.
#include "qvedit/print/QvEditPrint.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvTextDrawer.h"

#include <algorithm>

namespace {

// Where a long line may break: first after these characters, then after the second set.
const std::string FirstBreakChars = "\t ,-";
const std::string SecondBreakChars = ").;";

}  // namespace

void TQvEditPrint::InitPrint()
{
    fontColor_ = font_->GetColor();
    if (!printing_) {
        // Laid out for the printer's resolution whatever the canvas is.
        const Integer pixelsPerInch = printerInfo_.GetYPixPrInch();
        header_->SetPixPrInch(pixelsPerInch);
        footer_->SetPixPrInch(pixelsPerInch);
        font_->SetPixelsPerInch(pixelsPerInch);
    }
    canvas_->SetFont(font_.get());
    if (!printing_)
        canvas_->GetFont()->SetPixelsPerInch(font_->GetPixelsPerInch());
    MeasureCell();
    fontStock_ = std::make_unique<TQvFontStock>(canvas_->GetFont());
    InitPage(1);
    CalcPages();
    header_->InitPrint(canvas_, pageCount_, title_, margins_.get());
    footer_->InitPrint(canvas_, pageCount_, title_, margins_.get());
    highlighting_ = highlight_ && highlighter_ != nullptr && !lines_.empty();
}

void TQvEditPrint::MeasureCell()
{
    // The cell holds a character of any style, so it is measured with all four together;
    // the font then gets its own style back, which the text without an attribute keeps.
    TFont* font = canvas_->GetFont();
    const TFontStyles ownStyle = font->GetStyle();
    font->SetStyle(TFontStyles{fsBold, fsItalic, fsUnderline, fsStrikeOut});
    HDC dc = canvas_->GetHandle();
    SelectObject(dc, font->GetHandle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    font->SetStyle(ownStyle);
    SelectObject(dc, font->GetHandle());
    charWidth_ = std::max<Integer>(metrics.tmAveCharWidth, 1);
    lineHeight_ = std::max<Integer>(metrics.tmHeight + metrics.tmExternalLeading, 1);
}

void TQvEditPrint::InitPage(Integer PageNumber)
{
    // Room for the widest number printed: the last line's, or the first one's when the
    // offset makes the numbers negative.
    const Integer count = static_cast<Integer>(lines_.size());
    const Integer firstNumber = 1 + lineOffset_;
    const Integer lastNumber = count + lineOffset_;
    const Integer widest =
        IntToStr(firstNumber).size() > IntToStr(lastNumber).size() ? firstNumber : lastNumber;
    margins_->InitPage(canvas_, PageNumber, &printerInfo_, lineNumbers_, lineNumbersInMargin_,
                       widest);
}

void TQvEditPrint::InitRanges()
{
    if (rangesOk_)
        return;
    ranges_.assign(lines_.size(), 0);
    if (highlighter_ != nullptr && !lines_.empty()) {
        // The highlighter carries its state from one line to the next: each stored value
        // is the state at the start of its line.
        highlighter_->ResetRange();
        ranges_[0] = highlighter_->GetRange();
        for (std::size_t i = 1; i < lines_.size(); ++i) {
            highlighter_->SetLine(lines_[i - 1], static_cast<Integer>(i - 1));
            highlighter_->NextToEol();
            ranges_[i] = highlighter_->GetRange();
        }
    }
    rangesOk_ = true;
}

TWrapPositions TQvEditPrint::WrapPositions(const std::string& Line) const
{
    TWrapPositions positions;
    const auto length = static_cast<Int64>(Line.size());
    if (!wrap_ || length <= maxCol_)
        return positions;
    if (WrapTextEx(Line, FirstBreakChars, maxCol_, positions) ||
        WrapTextEx(Line, SecondBreakChars, maxCol_, positions))
        return positions;
    for (Int64 cut = maxCol_; cut < length; cut += maxCol_)
        positions.push_back(TWrapPos{static_cast<Integer>(cut)});
    return positions;
}

void TQvEditPrint::CalcPages()
{
    InitRanges();
    pages_.clear();

    // The most "W" that stay narrower than the text's width; every character takes one
    // cell, so that many cells must fit as well.
    const Integer textWidth = margins_->PRight() - margins_->PLeft();
    const Integer widthW = std::max<Integer>(canvas_->TextWidth("W"), 1);
    Integer columns = std::max<Integer>((textWidth - 1) / widthW, 0);
    while (columns > 0 && canvas_->TextWidth(std::string(static_cast<std::size_t>(columns), 'W')) >=
                              textWidth)
        --columns;
    while (canvas_->TextWidth(std::string(static_cast<std::size_t>(columns) + 1, 'W')) < textWidth)
        ++columns;
    columns = std::min(columns, textWidth / charWidth_);
    // A page narrower than one character still prints one per row.
    maxCol_ = std::max<Integer>(columns, 1);
    maxWidth_ = canvas_->TextWidth(std::string(static_cast<std::size_t>(maxCol_), 'W'));

    pageCount_ = 1;
    const Integer firstLine = FirstPrintedLine();
    pages_.push_back(TPageLine{firstLine});
    Integer y = margins_->PTop();
    const Integer bottom = margins_->PBottom();
    for (Integer i = firstLine; i < EndPrintedLine(); ++i) {
        // A line goes whole to the next page when any of its rows would pass the bottom
        // margin; only a line taller than a page is cut by it.
        const Integer rows = 1 + static_cast<Integer>(WrapPositions(PrintedPart(i)).size());
        const Int64 height = static_cast<Int64>(rows) * lineHeight_;
        const bool pageHoldsLines = pages_.back().FirstLine < i;
        if (y + height > bottom && pageHoldsLines) {
            pages_.push_back(TPageLine{i});
            ++pageCount_;
            y = margins_->PTop();
        }
        y = static_cast<Integer>(std::min<Int64>(y + height, INT32_MAX / 2));
    }
    pagesCounted_ = true;
}
