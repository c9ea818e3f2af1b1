// The ten numbered bookmarks: marks in the editor's mark list that also remember a column,
// one slot per number, set, cleared and jumped to.
#include "qvedit/editor/QvEdit.h"

#include "qvedit/editor/QvEditMarks.h"

#include <algorithm>
#include <memory>

namespace {

bool IsBookmarkNumber(Integer BookMark)
{
    return BookMark >= 0 && BookMark <= 9;
}

}  // namespace

void TCustomQvEdit::SetBookMark(Integer BookMark, Integer X, Integer Y)
{
    if (!IsBookmarkNumber(BookMark) || Y < 1 || Y > std::max(1, lines_->GetCount()))
        return;
    auto created = std::make_unique<TQvEditMark>(this);
    created->SetLine(Y);
    created->SetColumn(X);
    created->SetImage(BookMark);
    created->SetBookmarkNumber(BookMark);
    created->SetVisible(true);
    created->SetInternalImage(bookMarkOptions_->GetBookmarkImages() == nullptr);
    TQvEditMark* mark = created.get();
    DoOnPlaceMark(mark);
    // A created mark the handler replaced or dropped is freed, unless the handler put it
    // into the list itself.
    if (mark == created.get() || marks_->IndexOf(created.get()) >= 0)
        created.release();
    if (mark == nullptr)
        return;
    if (bookMarks_[static_cast<std::size_t>(BookMark)] != nullptr)
        ClearBookMark(BookMark);
    bookMarks_[static_cast<std::size_t>(BookMark)] = mark;
    marks_->Add(mark);
}

void TCustomQvEdit::ClearBookMark(Integer BookMark)
{
    if (!IsBookmarkNumber(BookMark))
        return;
    TQvEditMark*& slot = bookMarks_[static_cast<std::size_t>(BookMark)];
    if (slot == nullptr)
        return;
    DoOnClearBookmark(slot);
    marks_->Remove(slot);
    delete slot;
    slot = nullptr;
}

void TCustomQvEdit::GotoBookMark(Integer BookMark)
{
    if (!IsBookmarkNumber(BookMark))
        return;
    const TQvEditMark* mark = bookMarks_[static_cast<std::size_t>(BookMark)];
    if (mark == nullptr || mark->GetLine() > lines_->GetCount())
        return;
    SetCaretXYEx(false, TPoint{mark->GetColumn(), mark->GetLine()});
    EnsureCursorPosVisibleEx(true);
    CollapseSelectionToCaret();
}

bool TCustomQvEdit::GetBookMark(Integer BookMark, Integer& X, Integer& Y) const
{
    for (int i = 0; i < marks_->Count(); ++i) {
        const TQvEditMark* mark = marks_->Get(i);
        if (mark->IsBookmark() && mark->GetBookmarkNumber() == BookMark) {
            X = mark->GetColumn();
            Y = mark->GetLine();
            return true;
        }
    }
    return false;
}

bool TCustomQvEdit::IsBookmark(Integer BookMark) const
{
    Integer x = 0;
    Integer y = 0;
    return GetBookMark(BookMark, x, y);
}

void TCustomQvEdit::GotoLineAndCenter(Integer Line)
{
    SetCaretXYEx(false, TPoint{1, Line});
    CollapseSelectionToCaret();
    EnsureCursorPosVisibleEx(true);
}

void TCustomQvEdit::DoOnPlaceMark(TQvEditMark*& Mark)
{
    if (OnPlaceBookmark)
        OnPlaceBookmark(this, Mark);
}

void TCustomQvEdit::DoOnClearBookmark(TQvEditMark*& Mark)
{
    if (OnClearBookmark)
        OnClearBookmark(this, Mark);
}

void TCustomQvEdit::MarkListChange(TObject*)
{
    InvalidateGutter();
}
