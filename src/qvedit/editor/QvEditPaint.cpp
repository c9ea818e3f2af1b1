// The editor's paint pass, the gutter (line numbers, border, mark glyphs), the paint events
// and the invalidation operations. The text area is painted in QvEditPaintText.cpp.
#include "qvedit/editor/QvEdit.h"

#include "platform/graphics/Gdi.h"
#include "qvedit/editor/QvEditMarks.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

Integer ClampColumn(Int64 Column)
{
    return static_cast<Integer>(std::clamp<Int64>(Column, 1, std::numeric_limits<Integer>::max()));
}

// The parts of a repaint, each over whole rows of lines: the rectangles of the area being
// repainted are joined where their rows overlap or touch, so that no line is painted
// twice, and rows apart (the strip a scroll exposed and the caret's line far above it)
// are painted apart rather than with every line between them.
std::vector<TRect> LineBands(std::vector<TRect> Rects, Integer LineHeight)
{
    const Integer height = std::max(LineHeight, 1);
    std::sort(Rects.begin(), Rects.end(), [](const TRect& A, const TRect& B) { return A.Top < B.Top; });
    std::vector<TRect> bands;
    for (const TRect& r : Rects) {
        if (r.Left >= r.Right || r.Top >= r.Bottom)
            continue;
        if (bands.empty() || r.Top / height > (bands.back().Bottom - 1) / height + 1) {
            bands.push_back(r);
            continue;
        }
        TRect& band = bands.back();
        band.Left = std::min(band.Left, r.Left);
        band.Right = std::max(band.Right, r.Right);
        band.Bottom = std::max(band.Bottom, r.Bottom);
    }
    return bands;
}

}  // namespace

// ---- The paint pass --------------------------------------------------------------------------

void TCustomQvEdit::Paint()
{
    HideCaret();
    for (const TRect& band : LineBands(Canvas()->GetClipRects(), lineHeight_))
        PaintArea(band);
    DoOnPaint();
    DoOnPaintTransient(ttAfter);
    UpdateCaret();
}

void TCustomQvEdit::PaintArea(const TRect& Clip)
{
    const Integer textLeft = gutterWidth_ + 2;
    Int64 firstCol = leftChar_;
    if (Clip.Left > textLeft)
        firstCol += (Clip.Left - textLeft) / charWidth_;
    const Int64 lastCol =
        Int64{leftChar_} + (Int64{Clip.Right} - textLeft + charWidth_ - 1) / charWidth_;
    const Integer firstLine = std::max(topLine_ + Clip.Top / lineHeight_, topLine_);
    const Integer lastLine = static_cast<Integer>(std::min<Int64>(
        Int64{topLine_} + (Int64{Clip.Bottom} + lineHeight_ - 1) / lineHeight_, lines_->GetCount()));

    TRect rect = Clip;
    if (Clip.Left < gutterWidth_) {
        rect.Right = std::min(rect.Right, gutterWidth_);
        PaintGutter(rect, firstLine, lastLine);
    }
    if (Clip.Right > gutterWidth_) {
        rect = Clip;
        rect.Left = std::max(Clip.Left, gutterWidth_);
        PaintTextLines(rect, firstLine, lastLine, ClampColumn(firstCol), ClampColumn(lastCol));
    }
    PluginsAfterPaint(Canvas(), rect, firstLine, lastLine);
}

// ---- The gutter ------------------------------------------------------------------------------

void TCustomQvEdit::PaintGutter(const TRect& AClip, Integer FirstLine, Integer LastLine)
{
    if (FirstLine == 1 && LastLine == 0)
        LastLine = 1;
    TCanvas* canvas = Canvas();
    canvas->GetBrush()->SetColor(gutter_->GetColor());
    if (gutter_->GetShowLineNumbers())
        PaintGutterNumbers(AClip, FirstLine, LastLine);
    else
        canvas->FillRect(AClip);

    if (gutter_->GetBorderStyle() != gbsNone && gutterWidth_ - 2 <= AClip.Right) {
        TPen* pen = canvas->GetPen();
        pen->SetColor(Color());
        pen->SetWidth(1);
        if (gutter_->GetBorderStyle() == gbsMiddle) {
            canvas->MoveTo(gutterWidth_ - 2, AClip.Top);
            canvas->LineTo(gutterWidth_ - 2, AClip.Bottom);
            pen->SetColor(gutter_->GetColor());
        }
        canvas->MoveTo(gutterWidth_ - 1, AClip.Top);
        canvas->LineTo(gutterWidth_ - 1, AClip.Bottom);
    }

    // One x offset per line from TopLine to LastLine: where the next glyph of the line goes.
    std::vector<Integer> offsets(static_cast<std::size_t>(std::max(LastLine - topLine_ + 1, 0)), 0);
    if (bookMarkOptions_->GetGlyphsVisible() && marks_->Count() > 0 && LastLine >= FirstLine)
        PaintGutterMarks(FirstLine, LastLine, offsets);
    if (OnGutterPaint) {
        for (Integer line = FirstLine; line <= LastLine; ++line)
            OnGutterPaint(this, line, offsets[static_cast<std::size_t>(line - topLine_)],
                          (line - topLine_) * lineHeight_);
    }
}

void TCustomQvEdit::PaintGutterNumbers(const TRect& AClip, Integer FirstLine, Integer LastLine)
{
    const bool useFontStyle = gutter_->GetUseFontStyle();
    HDC dc = Canvas()->GetHandle();
    // The gutter's own font is selected as it is: the text drawer would measure its widest
    // style and let go of the editor's fonts, only to take them back after the numbers.
    int saved = 0;
    if (useFontStyle) {
        saved = SaveDC(dc);
        SelectObject(dc, gutter_->GetFont()->GetHandle());
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(gutter_->GetFont()->GetColor())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(gutter_->GetColor())));
        SetTextCharacterExtra(dc, textDrawer_->GetCharExtra());
    } else {
        textDrawer_->SetStyle(TFontStyles());
        textDrawer_->BeginDrawing(dc);
        textDrawer_->SetForeColor(Font()->GetColor());
        textDrawer_->SetBackColor(gutter_->GetColor());
    }
    const auto endDrawing = [&] {
        if (useFontStyle)
            RestoreDC(dc, saved);
        else
            textDrawer_->EndDrawing();
    };
    try {
        // With word wrap, numbers count only the lines that are not continuations.
        const bool wrapped = wordWrap_ && lines_->GetCount() > 1;
        Integer number = 0;
        if (wrapped)
            for (Integer i = 0; i < FirstLine - 1; ++i)
                number += lines_->IsLineWraped(i) ? 0 : 1;

        TRect row = AClip;
        row.Right = std::max(AClip.Right, gutterWidth_ - 2);
        row.Bottom = (FirstLine - topLine_) * lineHeight_;
        for (Integer line = FirstLine; line <= LastLine; ++line) {
            row.Top = (line - topLine_) * lineHeight_;
            row.Bottom = row.Top + lineHeight_;
            Integer shown = line;
            bool continuation = false;
            if (wrapped) {
                continuation = lines_->IsLineWraped(line - 1);
                number += continuation ? 0 : 1;
                shown = number;
            }
            if (OnLineNumber)
                OnLineNumber(this, shown);
            std::string text = shown > 0 && !continuation ? gutter_->FormatLineNumber(shown) : std::string();
            if (OnGutterGetText)
                OnGutterGetText(this, line, text);
            TSize extent;
            GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
            ExtTextOutA(dc, gutterWidth_ - gutter_->GetRightOffset() - 2 - extent.cx,
                        row.Top + (lineHeight_ - extent.cy) / 2, ETO_OPAQUE, &row, text.data(),
                        static_cast<UINT>(text.size()), nullptr);
        }
        TRect rest = row;
        rest.Top = row.Bottom;
        rest.Bottom = AClip.Bottom;
        if (rest.Top < rest.Bottom)
            ExtTextOutA(dc, rest.Left, rest.Top, ETO_OPAQUE, &rest, "", 0, nullptr);
    } catch (...) {
        endDrawing();
        throw;
    }
    endDrawing();
}

void TCustomQvEdit::PaintGutterMarks(Integer FirstLine, Integer LastLine, std::vector<Integer>& Offsets)
{
    const bool bookmarksFirst = bookMarkOptions_->GetDrawBookmarksFirst();
    bool skipped = false;
    for (int i = 0; i < marks_->Count(); ++i) {
        TQvEditMark* mark = marks_->Get(i);
        if (!mark->GetVisible() || mark->GetLine() < FirstLine || mark->GetLine() > LastLine)
            continue;
        if (mark->IsBookmark() == bookmarksFirst)
            PaintGutterMark(mark, true, Offsets[static_cast<std::size_t>(mark->GetLine() - topLine_)]);
        else
            skipped = true;
    }
    if (!skipped)
        return;
    for (int i = 0; i < marks_->Count(); ++i) {
        TQvEditMark* mark = marks_->Get(i);
        if (!mark->GetVisible() || mark->GetLine() < FirstLine || mark->GetLine() > LastLine)
            continue;
        if (mark->IsBookmark() != bookmarksFirst)
            PaintGutterMark(mark, false, Offsets[static_cast<std::size_t>(mark->GetLine() - topLine_)]);
    }
}

void TCustomQvEdit::PaintGutterMark(TQvEditMark* Mark, bool FirstPass, Integer& Offset)
{
    const Integer y = (Mark->GetLine() - topLine_) * lineHeight_;
    const Integer index = Mark->GetImageIndex();
    const Integer left = bookMarkOptions_->GetLeftMargin();
    const Integer step = bookMarkOptions_->GetXoffset();
    TImageList* images = bookMarkOptions_->GetBookmarkImages();
    if (images != nullptr && !Mark->GetInternalImage()) {
        if (index < 0 || index >= images->Count())
            return;
        if (FirstPass)
            Offset = 0;
        else if (Offset == 0)
            Offset = step;
        images->Draw(Canvas(), left + Offset, y, index);
        Offset += step;
        return;
    }
    if (index < 0 || index > 9)
        return;
    if (!internalBookmarkImage_)
        internalBookmarkImage_ = std::make_unique<TQvInternalImage>("QvEditInternalImages", 10);
    if (Offset == 0)
        internalBookmarkImage_->DrawMark(Canvas(), index, left + Offset, y, lineHeight_);
    Offset += step;
}

// ---- Paint events ----------------------------------------------------------------------------

void TCustomQvEdit::DoOnPaint()
{
    if (!OnPaint)
        return;
    Canvas()->GetFont()->Assign(Font());
    Canvas()->GetBrush()->SetColor(Color());
    OnPaint(this, Canvas());
}

void TCustomQvEdit::DoOnPaintTransient(TTransientType TransientType)
{
    DoOnPaintTransientEx(TransientType, false);
}

void TCustomQvEdit::DoOnPaintTransientEx(TTransientType TransientType, bool Lock)
{
    bool fire = paintTransientLock_ == 0;
    if (Lock) {
        if (TransientType == ttBefore) {
            ++paintTransientLock_;
        } else {
            --paintTransientLock_;
            fire = paintTransientLock_ == 0;
        }
    }
    if (!fire || !OnPaintTransient)
        return;
    Canvas()->GetFont()->Assign(Font());
    Canvas()->GetBrush()->SetColor(Color());
    HideCaret();
    try {
        OnPaintTransient(this, Canvas(), TransientType);
    } catch (...) {
        ShowCaret();
        throw;
    }
    ShowCaret();
}

bool TCustomQvEdit::DoOnSpecialLineColors(Integer Line, TColor& Foreground, TColor& Background)
{
    bool special = false;
    if (OnSpecialLineColors)
        OnSpecialLineColors(this, Line, special, Foreground, Background);
    return special;
}

void TCustomQvEdit::PluginsAfterPaint(TCanvas* ACanvas, const TRect& AClip, Integer FirstLine,
                                      Integer LastLine)
{
    // By index: a plug-in may detach itself while it is told.
    for (std::size_t i = 0; i < plugins_.size(); ++i)
        plugins_[i]->AfterPaint(ACanvas, AClip, FirstLine, LastLine);
}

// ---- Invalidation ----------------------------------------------------------------------------

void TCustomQvEdit::InvalidateRect(const TRect& ARect, bool)
{
    if (!Visible() || !HandleAllocated())
        return;
    if (InViewBatch())
        CollectInvalid(ARect);
    else
        InvalidateClient(ARect);
}

void TCustomQvEdit::InvalidateOrCollect(const TRect& ARect)
{
    if (!stateFlags_.Contains(sfLinesChanging)) {
        if (InViewBatch())
            CollectInvalid(ARect);
        else
            InvalidateClient(ARect);
        return;
    }
    if (IsRectEmpty(invalidateRect_)) {
        invalidateRect_ = ARect;
        return;
    }
    invalidateRect_.Left = std::min(invalidateRect_.Left, ARect.Left);
    invalidateRect_.Top = std::min(invalidateRect_.Top, ARect.Top);
    invalidateRect_.Right = std::max(invalidateRect_.Right, ARect.Right);
    invalidateRect_.Bottom = std::max(invalidateRect_.Bottom, ARect.Bottom);
}

void TCustomQvEdit::InvalidateLine(Integer Line)
{
    if (!Visible() || !HandleAllocated())
        return;
    if (Line < topLine_ || Int64{Line} > Int64{topLine_} + linesInWindow_ || Line > lines_->GetCount())
        return;
    const Integer top = (Line - topLine_) * lineHeight_;
    InvalidateOrCollect(Rect(0, top, ClientWidth(), top + lineHeight_));
}

void TCustomQvEdit::InvalidateLineStrip(Integer Left, Integer Right, Integer FirstLine, Integer LastLine)
{
    if (!Visible() || !HandleAllocated())
        return;
    if (FirstLine == -1 && LastLine == -1) {
        InvalidateOrCollect(Rect(Left, 0, Right < 0 ? ClientWidth() : Right, ClientHeight()));
        return;
    }
    if (LastLine < FirstLine)
        std::swap(FirstLine, LastLine);
    const Integer lastVisible = static_cast<Integer>(
        std::min<Int64>(Int64{topLine_} + linesInWindow_, std::numeric_limits<Integer>::max()));
    FirstLine = std::max(FirstLine, topLine_);
    LastLine = std::min(LastLine, lastVisible);
    if (FirstLine > LastLine)
        return;
    if (Right < 0)
        Right = ClientWidth();
    InvalidateOrCollect(Rect(Left, (FirstLine - topLine_) * lineHeight_, Right,
                             (LastLine - topLine_ + 1) * lineHeight_));
}

void TCustomQvEdit::InvalidateLines(Integer FirstLine, Integer LastLine)
{
    // The width is asked for only where lines in view are invalidated: it comes from the
    // style, too dear to ask for every line a batch of changes touches out of view.
    InvalidateLineStrip(gutterWidth_, -1, FirstLine, LastLine);
}

void TCustomQvEdit::InvalidateGutterLines(Integer FirstLine, Integer LastLine)
{
    InvalidateLineStrip(0, gutterWidth_, FirstLine, LastLine);
}
