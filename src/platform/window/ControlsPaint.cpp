// Painting: invalid areas, painting them now or later, scrolling the client area, and
// the paint event itself (WM_ERASEBKGND, WM_PAINT, then the caret over the result).
#include "platform/window/Controls.h"

#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// A hidden control's widget may still wait for its font and colours: painted here, it
// takes them first, and so does every control inside.
void PushHostedLooks(TControl* control)
{
    control->Window()->PushHostedLook();
    if (auto* parent = dynamic_cast<TWinControl*>(control))
        for (int i = 0; i < parent->ControlCount(); ++i)
            PushHostedLooks(parent->Controls(i));
}

void MarkInvalid(TControlWindow* window, const QRegion& region)
{
    const QRegion inside = region.intersected(window->Client()->rect());
    if (inside.isEmpty())
        return;
    window->Pending += inside;
    window->Client()->update(inside);
}

QRect ToQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

void QvClientWidget::paintEvent(QPaintEvent* e)
{
    window_->Pending -= e->region();
    TWinControl* control = window_->WinControl();
    if (control == nullptr)
        return;
    QPainter painter(this);
    const QRect clip = e->rect();
    BeginCaretPaint();
    auto* custom = dynamic_cast<TCustomControl*>(control);
    TCanvas scratch;
    TCanvas* canvas = custom != nullptr ? custom->Canvas() : &scratch;
    {
        painter.save();
        painter.setClipRegion(e->region());
        TPainterCanvasScope scope(canvas, &painter, ScreenDeviceCaps(width(), height()), clip);
        CallGuarded(control, [&] {
            control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(scope.Handle()), 0);
            control->Perform(WM_PAINT, 0, 0);
        });
        painter.restore();
    }
    if (window_->Control() != nullptr)
        PaintCaretOverlay(control, painter);
    EndCaretPaint(this, e->region());
}

void TControl::Invalidate()
{
    MarkInvalid(window_.get(), QRegion(window_->Client()->rect()));
}

void TControl::Update()
{
    QWidget* client = window_->Client();
    // What was invalid before the client shrank (a scroll bar appeared) lies outside it
    // and is never painted: it would make every Update paint again.
    window_->Pending &= client->rect();
    if (window_->Pending.isEmpty() || !client->isVisible())
        return;
    const QRegion pending = window_->Pending;
    client->repaint(pending);
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::InvalidateRect(const TRect* Rect, bool)
{
    if (Rect == nullptr)
        Invalidate();
    else
        MarkInvalid(Window(), QRegion(ToQRect(*Rect)));
}

void TWinControl::ScrollWindow(int DX, int DY, const TRect* Rect, const TRect* ClipRect)
{
    TControlWindow* window = Window();
    QWidget* client = window->Client();
    QRect area = Rect != nullptr ? ToQRect(*Rect) : client->rect();
    if (ClipRect != nullptr)
        area &= ToQRect(*ClipRect);
    area &= client->rect();
    if (area.isEmpty() || (DX == 0 && DY == 0))
        return;
    // What was waiting to be painted inside the area moves with the pixels, and the
    // caret's pixels are painted over where they went and where the caret is.
    const QRegion pendingInside = window->Pending.intersected(area);
    const QRect caret = CaretRectOf(this);
    client->scroll(DX, DY, area);
    QRegion invalid = QRegion(area).subtracted(QRegion(area.translated(DX, DY)));
    invalid += pendingInside.translated(DX, DY).intersected(area);
    if (!caret.isEmpty())
        invalid += QRegion(caret) + QRegion(caret.translated(DX, DY));
    MarkInvalid(window, invalid);
}

// ---- TCustomControl ----------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>())
{
}

TCustomControl::~TCustomControl()
{
    BeforeDestruction();
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y)
{
    HandleNeeded();
    PushHostedLooks(this);
    const QPixmap pixels = Window()->Frame()->grab();
    QPainter& painter = Canvas->GetHandle()->BeginOperation();
    painter.drawPixmap(X, Y, pixels);
    painter.restore();
}

void TCustomControl::Paint()
{
}

void TCustomControl::WMPaint(TWMPaint&)
{
    Paint();
}
