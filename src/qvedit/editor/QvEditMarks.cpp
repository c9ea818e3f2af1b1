// Marks, the editor's mark list and the plug-in base. The list owns the marks in it: the
// operations that take marks out for good (Clear, ClearLine, the destructor) free them and
// empty any bookmark slot of the editor that still refers to them.
#include "qvedit/editor/QvEditMarks.h"

#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <memory>

// ---- TQvEditMark -----------------------------------------------------------------------------

TQvEditMark::TQvEditMark(TCustomQvEdit* AOwner) : edit_(AOwner)
{
}

TCustomQvEdit* TQvEditMark::GetEdit()
{
    if (edit_ != nullptr && edit_->GetMarks()->IndexOf(this) < 0)
        edit_ = nullptr;
    return edit_;
}

void TQvEditMark::SetLine(Integer Value)
{
    if (visible_ && GetEdit() != nullptr) {
        if (line_ > 0)
            edit_->InvalidateGutterLines(line_, line_);
        edit_->InvalidateGutterLines(Value, Value);
    }
    line_ = Value;
}

void TQvEditMark::SetColumn(Integer Value)
{
    column_ = Value;
}

void TQvEditMark::SetImage(Integer Value)
{
    image_ = Value;
    RepaintGutterLine();
}

void TQvEditMark::SetInternalImage(bool Value)
{
    internalImage_ = Value;
    RepaintGutterLine();
}

void TQvEditMark::SetVisible(bool Value)
{
    if (Value == visible_)
        return;
    visible_ = Value;
    if (GetEdit() != nullptr)
        edit_->InvalidateGutterLines(line_, line_);
}

void TQvEditMark::RepaintGutterLine()
{
    if (visible_ && GetEdit() != nullptr)
        edit_->InvalidateGutterLines(line_, line_);
}

// ---- TQvEditMarkList -------------------------------------------------------------------------

TQvEditMarkList::TQvEditMarkList(TCustomQvEdit* AOwner) : edit_(AOwner)
{
}

TQvEditMarkList::~TQvEditMarkList()
{
    for (int i = 0; i < Count(); ++i)
        Release(Get(i));
}

void TQvEditMarkList::Put(int Index, TQvEditMark* Item)
{
    TList::Put(Index, Item);
    Changed();
}

int TQvEditMarkList::Add(TQvEditMark* Item)
{
    const int index = TList::Add(Item);
    Changed();
    return index;
}

void TQvEditMarkList::Insert(int Index, TQvEditMark* Item)
{
    TList::Insert(Index, Item);
    Changed();
}

void TQvEditMarkList::Delete(int Index)
{
    TList::Delete(Index);
    Changed();
}

int TQvEditMarkList::Remove(TQvEditMark* Item)
{
    const int index = TList::Remove(Item);
    Changed();
    return index;
}

void TQvEditMarkList::Clear()
{
    for (int i = 0; i < Count(); ++i)
        Release(Get(i));
    TList::Clear();
    Changed();
}

void TQvEditMarkList::ClearLine(Integer Line)
{
    bool removed = false;
    for (int i = Count() - 1; i >= 0; --i) {
        TQvEditMark* mark = Get(i);
        if (mark->IsBookmark() || mark->GetLine() != Line)
            continue;
        TList::Delete(i);
        Release(mark);
        removed = true;
    }
    if (removed)
        Changed();
}

void TQvEditMarkList::GetMarksForLine(Integer Line, TQvEditMarks& Marks) const
{
    Marks.fill(nullptr);
    std::size_t found = 0;
    for (int i = 0; i < Count() && found < Marks.size(); ++i) {
        TQvEditMark* mark = Get(i);
        if (mark->GetLine() == Line)
            Marks[found++] = mark;
    }
}

void TQvEditMarkList::Place(TQvEditMark* Mark)
{
    // The list takes the mark over; one that the handler replaced or dropped (and did not
    // put into the list itself) is freed.
    std::unique_ptr<TQvEditMark> offered(Mark);
    if (edit_ != nullptr && edit_->OnPlaceBookmark)
        edit_->OnPlaceBookmark(edit_, Mark);
    if (Mark == offered.get() || IndexOf(offered.get()) >= 0)
        offered.release();
    if (Mark != nullptr)
        Add(Mark);
    Changed();
}

void TQvEditMarkList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TQvEditMarkList::Release(TQvEditMark* Mark)
{
    if (edit_ != nullptr)
        std::replace(edit_->bookMarks_.begin(), edit_->bookMarks_.end(), Mark,
                     static_cast<TQvEditMark*>(nullptr));
    delete Mark;
}

// ---- TQvEditPlugin ---------------------------------------------------------------------------

TQvEditPlugin::TQvEditPlugin(TCustomQvEdit* AOwner) : owner_(AOwner)
{
    if (owner_ != nullptr)
        owner_->plugins_.push_back(this);
}

TQvEditPlugin::~TQvEditPlugin()
{
    if (owner_ != nullptr)
        std::erase(owner_->plugins_, this);
}
