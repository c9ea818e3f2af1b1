// The print engine's drawing: a page with its header and footer, and each line in its
// rows, character by character in fixed cells, in the highlighter's styles and colours.
#include "qvedit/print/QvEditPrint.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvTextDrawer.h"

#include <algorithm>

namespace {

COLORREF RefOf(TColor color)
{
    return static_cast<COLORREF>(ColorToRGB(color));
}

}  // namespace

void TQvEditPrint::PrintPage(Integer PageNumber)
{
    if (PageNumber < 1 || PageNumber > pageCount_)
        return;
    PrintStatus(psNewPage, PageNumber, abort_);
    if (abort_)
        return;
    InitPage(PageNumber);
    canvas_->GetBrush()->SetColor(color_);
    canvas_->FillRect(Rect(margins_->PLeft(), margins_->PTop(), margins_->PRight(),
                           margins_->PBottom()));
    header_->Print(canvas_, PageNumber + pageOffset_);

    yPos_ = margins_->PTop();
    const Integer first = pages_[static_cast<std::size_t>(PageNumber - 1)].FirstLine;
    const Integer end = PageNumber < pageCount_ ? pages_[static_cast<std::size_t>(PageNumber)].FirstLine
                                                : EndPrintedLine();
    HDC dc = canvas_->GetHandle();
    const int saved = SaveDC(dc);
    try {
        for (Integer i = first; i < end; ++i) {
            WriteLine(i);
            PrintLine(i + 1, PageNumber);
        }
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
    footer_->Print(canvas_, PageNumber + pageOffset_);
}

void TQvEditPrint::WriteLine(Integer LineIndex)
{
    if (lineNumbers_)
        WriteLineNumber(LineIndex);
    const std::string part = PrintedPart(LineIndex);
    if (highlighting_)
        TextOut(LineIndex, WrapPositions(part));
    else
        TextOutPlain(part);
    yPos_ += lineHeight_;
}

void TQvEditPrint::WriteLineNumber(Integer LineIndex)
{
    const std::string number = IntToStr(static_cast<Int64>(LineIndex) + 1 + lineOffset_) + ": ";
    SetDrawStyle(TFontStyles{}, clBlack, color_);
    HDC dc = canvas_->GetHandle();
    TSize size{};
    GetTextExtentPoint32A(dc, number.data(), static_cast<int>(number.size()), &size);
    ExtTextOutA(dc, margins_->PLeft() - size.cx, yPos_, 0, nullptr, number.data(),
                static_cast<UINT>(number.size()), nullptr);
}

void TQvEditPrint::TextOut(Integer LineIndex, const TWrapPositions& Positions)
{
    // The highlighter scans the whole line, so that the part printed keeps the colours it
    // has in the line; columns below count from the part's start.
    const std::string& line = lines_[static_cast<std::size_t>(LineIndex)];
    const TColumnSpan span = PrintedSpan(LineIndex);
    const char* text = line.data() + span.Start;
    const TFontStyles plainStyle = canvas_->GetFont()->GetStyle();
    // Without wrapping a row ends where the page's columns do, as plain text does.
    const Integer partLength = span.End - span.Start;
    const Integer limit = wrap_ ? partLength : std::min(partLength, maxCol_);
    std::size_t next = 0;  // the next wrap position to reach
    Integer rowStart = 0;
    highlighter_->SetRange(ranges_[static_cast<std::size_t>(LineIndex)]);
    highlighter_->SetLine(line, LineIndex + 1);
    for (; !highlighter_->GetEol(); highlighter_->Next()) {
        TQvHighlighterAttributes* attr = highlighter_->GetTokenAttribute();
        if (attr == nullptr) {
            SetDrawStyle(plainStyle, fontColor_, color_);
        } else if (colors_) {
            const TColor foreground = attr->GetForeground();
            const TColor background = attr->GetBackground();
            SetDrawStyle(attr->GetStyle(), foreground == clNone ? fontColor_ : foreground,
                         background == clNone ? color_ : background);
        } else {
            SetDrawStyle(attr->GetStyle(), fontColor_, color_);
        }
        const Integer tokenPos = highlighter_->GetTokenPos() - span.Start;
        Integer start = std::max<Integer>(tokenPos, 0);
        const Integer end =
            std::min(tokenPos + static_cast<Integer>(highlighter_->GetToken().size()), limit);
        while (start < end) {
            if (next < Positions.size() && Positions[next].Index <= start) {
                // A row ends before this piece: the piece starts the next row.
                while (next < Positions.size() && Positions[next].Index <= start)
                    ++next;
                yPos_ += lineHeight_;
                rowStart = start;
            }
            const Integer pieceEnd =
                next < Positions.size() ? std::min(Positions[next].Index, end) : end;
            DrawCells(margins_->PLeft() + (start - rowStart) * charWidth_, text + start,
                      pieceEnd - start);
            start = pieceEnd;
        }
    }
}

void TQvEditPrint::TextOutPlain(const std::string& Text)
{
    SetDrawStyle(canvas_->GetFont()->GetStyle(), fontColor_, color_);
    const auto length = static_cast<Integer>(Text.size());
    for (Integer start = 0; start < length; start += maxCol_) {
        if (start > 0) {
            if (!wrap_)
                break;
            yPos_ += lineHeight_;
        }
        DrawCells(margins_->PLeft(), Text.data() + start, std::min(maxCol_, length - start));
    }
}

void TQvEditPrint::DrawCells(Integer X, const char* Text, Integer Count)
{
    if (Count <= 0)
        return;
    if (cellDistances_.size() < static_cast<std::size_t>(Count) ||
        (!cellDistances_.empty() && cellDistances_.front() != charWidth_))
        cellDistances_.assign(std::max<std::size_t>(static_cast<std::size_t>(Count), 1024),
                              charWidth_);
    // The page between the margins is filled with its colour already: text on that colour
    // there need not fill its cells again (which also keeps the printer's output small).
    const bool onFilledPage = drawBackground_ == color_ && X >= margins_->PLeft() &&
                              yPos_ >= margins_->PTop() &&
                              yPos_ + lineHeight_ <= margins_->PBottom();
    HDC dc = canvas_->GetHandle();
    SetBkMode(dc, onFilledPage ? TRANSPARENT : OPAQUE);
    ExtTextOutA(dc, X, yPos_, 0, nullptr, Text, static_cast<UINT>(Count), cellDistances_.data());
}

void TQvEditPrint::SetDrawStyle(TFontStyles Style, TColor Foreground, TColor Background)
{
    HDC dc = canvas_->GetHandle();
    fontStock_->SetStyle(Style);
    SelectObject(dc, fontStock_->GetFontHandle());
    SetTextColor(dc, RefOf(Foreground));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RefOf(Background));
    drawBackground_ = Background;
}
