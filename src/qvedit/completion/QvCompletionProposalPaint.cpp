// The completion list window's painting: rows and title through off-screen bitmaps, copied
// to the window in one step each.
#include "qvedit/completion/QvCompletionProposalForm.h"

#include "platform/controls/StdCtrls.h"

#include <algorithm>

void TQvBaseCompletionProposalForm::Paint()
{
    if (displayKind_ == ctCode)
        PaintList();
    else
        PaintHintOrParams();
}

bool TQvBaseCompletionProposalForm::PaintItemByEvent(int Row, TCanvas& Canvas, const TRect& ItemRect)
{
    bool customDraw = false;
    if (OnPaintItem)
        OnPaintItem(this, LogicalToPhysicalIndex(Row), Canvas, ItemRect, customDraw);
    return customDraw;
}

void TQvBaseCompletionProposalForm::PaintList()
{
    TCanvas& canvas = *itemBitmap_->GetCanvas();
    const int width = itemBitmap_->GetWidth();
    const int itemHeight = EffectiveItemHeight();
    const auto resetLook = [&] {
        canvas.GetPen()->SetColor(ClBackground);
        canvas.GetBrush()->SetColor(ClBackground);
        canvas.GetBrush()->SetStyle(bsSolid);
        canvas.SetFont(Font());
    };
    resetLook();
    canvas.GetPen()->SetColor(clBtnFace);
    canvas.Rectangle(0, 0, width, itemBitmap_->GetHeight());
    resetLook();
    const int top = scroll_->Position();
    const int rows = std::min(nbLinesInWindow_, LastRow() - top + 1);
    for (int i = 0; i < rows; ++i) {
        const int row = top + i;
        const TRect itemRect{0, itemHeight * i, width, itemHeight * (i + 1)};
        const bool selected = row == position_;
        if (selected) {
            canvas.GetBrush()->SetColor(ClSelect);
            canvas.GetPen()->SetColor(ClSelect);
            canvas.FillRect(itemRect);
            canvas.GetFont()->SetColor(ClSelectedText);
        }
        if (!PaintItemByEvent(row, canvas, itemRect)) {
            const std::string text = assignedList_->Strings(row);
            if (UsePrettyText) {
                const int fontHeight = TextHeightOf(Font());
                canvas.GetFont()->SetColor(selected ? ClSelectedText : Font()->GetColor());
                FormattedTextOut(canvas, {margin_, itemRect.Top + (itemHeight - fontHeight) / 2, width, itemRect.Bottom},
                                 text, selected, columns_.get(), images_);
            } else {
                canvas.TextOut(margin_, itemRect.Top, text);
            }
        }
        if (selected)
            resetLook();
    }
    const int titleHeight = TitleHeight();
    Canvas()->Draw(0, titleHeight, itemBitmap_.get());
    if (titleHeight > 0)
        PaintTitle(ClientWidth());
}

void TQvBaseCompletionProposalForm::PaintTitle(int Width)
{
    TCanvas& canvas = *titleBitmap_->GetCanvas();
    const int height = titleBitmap_->GetHeight();
    canvas.GetBrush()->SetStyle(bsSolid);
    canvas.GetBrush()->SetColor(ClTitleBackground);
    canvas.FillRect({0, 0, Width, height});
    canvas.GetPen()->SetColor(clBtnShadow);
    canvas.MoveTo(0, height - 1);
    canvas.LineTo(Width, height - 1);
    canvas.SetFont(titleFont_.get());
    canvas.GetBrush()->SetStyle(bsClear);
    const int x = TitleIsCentered ? std::max((Width - canvas.TextWidth(title_)) / 2, 2) : 2;
    canvas.TextOut(x, 1, title_);
    Canvas()->Draw(0, 0, titleBitmap_.get());
}

void TQvBaseCompletionProposalForm::PaintHintOrParams()
{
    TCanvas& canvas = *itemBitmap_->GetCanvas();
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (itemBitmap_->GetWidth() != width || itemBitmap_->GetHeight() != height)
        itemBitmap_->SetSize(std::max(width, 1), std::max(height, 1));
    canvas.GetBrush()->SetStyle(bsSolid);
    canvas.GetBrush()->SetColor(ClBackground);
    canvas.FillRect({0, 0, width, height});
    // A raised frame one pixel wide.
    canvas.GetPen()->SetColor(cl3DLight);
    canvas.MoveTo(0, height - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(width - 1, 0);
    canvas.GetPen()->SetColor(cl3DDkShadow);
    canvas.LineTo(width - 1, height - 1);
    canvas.LineTo(-1, height - 1);
    canvas.SetFont(Font());
    const int itemHeight = EffectiveItemHeight();
    for (int i = 0; i < assignedList_->Count(); ++i) {
        const int y = itemHeight * i + margin_;
        const TRect itemRect{margin_, y, width, y + itemHeight};
        if (PaintItemByEvent(i, canvas, itemRect))
            continue;
        std::string text = assignedList_->Strings(i);
        if (displayKind_ == ctParams)
            text = FormatParameterHint(text, CurrentIndex);
        FormattedTextOut(canvas, itemRect, text, false, columns_.get(), images_);
    }
    Canvas()->Draw(0, 0, itemBitmap_.get());
}
