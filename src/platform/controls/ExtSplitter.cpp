// The splitter: a thin bar between aligned controls that resizes the one before it.
#include "platform/controls/ExtCtrls.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

// The visible sibling on the splitter's side whose edge touches the splitter.
TControl* TSplitter::FindResized() const
{
    if (Parent() == nullptr)
        return nullptr;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        const TRect r = c->BoundsRect();
        const bool touches = (Align() == alLeft && r.Right == Left()) ||
                             (Align() == alRight && r.Left == Left() + Width()) ||
                             (Align() == alTop && r.Bottom == Top()) ||
                             (Align() == alBottom && r.Top == Top() + Height());
        if (touches)
            return c;
    }
    return nullptr;
}

// The room left for the rest of the parent (its client-aligned part).
int TSplitter::FreeSpace() const
{
    int used = 0;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        const TControl* c = Parent()->Controls(i);
        if (!c->Visible())
            continue;
        if (Horizontal() && (c->Align() == alLeft || c->Align() == alRight))
            used += c->Width();
        else if (!Horizontal() && (c->Align() == alTop || c->Align() == alBottom))
            used += c->Height();
    }
    const TRect client = Parent()->ClientRect();
    return (Horizontal() ? client.Width() : client.Height()) - used;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    resized_ = FindResized();
    if (resized_ == nullptr)
        return;
    const TPoint p = ClientToScreen({X, Y});
    startMouse_ = Horizontal() ? p.X : p.Y;
    startSize_ = Horizontal() ? resized_->Width() : resized_->Height();
    maxSize_ = std::max(startSize_ + FreeSpace() - minSize_, minSize_);
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TWinControl::MouseMove(Shift, X, Y);
    if (resized_ == nullptr)
        return;
    const TPoint p = ClientToScreen({X, Y});
    int delta = (Horizontal() ? p.X : p.Y) - startMouse_;
    // Dragging a right or bottom splitter outwards makes its control smaller.
    if (Align() == alRight || Align() == alBottom)
        delta = -delta;
    const int size = std::clamp(startSize_ + delta, std::min(minSize_, startSize_), maxSize_);
    if (Horizontal())
        resized_->SetWidth(size);
    else
        resized_->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWinControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft)
        resized_ = nullptr;
}

void TSplitter::WMSetCursor(TWMSetCursor& Message)
{
    if (Cursor() == crHSplit || Cursor() == crVSplit)
        SetCursor(Horizontal() ? crHSplit : crVSplit);
    TWinControl::WMSetCursor(Message);
}
