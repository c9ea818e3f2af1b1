// In-process drag and drop: one drag at a time, run by an application-wide event filter
// that holds the mouse and the keys while a control is dragged.
#include "platform/window/DragDrop.h"

#include "platform/window/Controls.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <unordered_set>

namespace {

// Passes the application's events to the drag manager first.
class TDragEventFilter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

bool IsMouseEvent(QEvent::Type type)
{
    return type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
           type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
}

// The control whose widget lies under the screen point, or nullptr.
TControl* ControlAt(const QPoint& global)
{
    QWidget* widget = QApplication::widgetAt(global);
    if (widget == nullptr)
        return nullptr;
    TControl* control = ControlOfWidget(widget);
    if (control == nullptr || control->HasState(csDestroying) || !control->Enabled())
        return nullptr;
    return control;
}

TPoint ClientPoint(const TControl* control, const QPoint& global)
{
    return control->ScreenToClient({global.x(), global.y()});
}

}  // namespace

// The drag in progress, if any.
class TDragManager {
public:
    // Never destroyed: controls freed among the program's static destructors still
    // report to it.
    static TDragManager& Instance()
    {
        static TDragManager* const manager = new TDragManager;
        return *manager;
    }

    void ControlCreated(TControl* control);
    void ControlDestroyed(TControl* control);
    bool Alive(const TControl* control) const { return controls_.contains(control); }
    void Begin(TControl* source, bool immediate, int threshold);
    void End(bool drop);
    bool IsSource(const TControl* control) const { return source_ == control; }
    bool Filter(QObject* watched, QEvent* event);

private:
    void MoveTo(const QPoint& global);
    void Over(TControl* target, const QPoint& global, TDragState state, bool& accept);
    void ShowCursor(TCursor cursor);
    bool FilterWhileDragging(QEvent* event);

    void InstallFilter();

    std::unique_ptr<TDragEventFilter> filter_;
    std::unordered_set<const TControl*> controls_;
    TControl* source_ = nullptr;
    TControl* target_ = nullptr;
    bool started_ = false;     // past the threshold
    bool accepted_ = false;    // the target's answer to the last move
    int threshold_ = 0;
    QPoint startPos_;
    QPoint lastPos_;           // the mouse's screen position in the last mouse event
    bool seenMouse_ = false;
    bool cursorShown_ = false;
};

bool TDragEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    return TDragManager::Instance().Filter(watched, event);
}

void TDragManager::ControlCreated(TControl* control)
{
    controls_.insert(control);
    InstallFilter();
}

void TDragManager::InstallFilter()
{
    if (filter_ != nullptr || QCoreApplication::instance() == nullptr)
        return;
    filter_ = std::make_unique<TDragEventFilter>();
    QCoreApplication::instance()->installEventFilter(filter_.get());
}

void TDragManager::ControlDestroyed(TControl* control)
{
    controls_.erase(control);
    if (target_ == control) {
        target_ = nullptr;
        accepted_ = false;
    }
    if (source_ == control) {
        // Nothing is told: the source is going and nothing can be dropped from it.
        source_ = nullptr;
        target_ = nullptr;
        ShowCursor(crDefault);
    }
}

void TDragManager::Begin(TControl* source, bool immediate, int threshold)
{
    InstallFilter();
    if (source_ != nullptr)
        End(false);
    if (!seenMouse_)
        lastPos_ = QCursor::pos();
    source_ = source;
    target_ = nullptr;
    accepted_ = false;
    started_ = false;
    threshold_ = threshold >= 0 ? threshold : GetSystemMetrics(SM_CXDRAG);
    startPos_ = lastPos_;
    // From here the drag holds the mouse.
    if (TControl* captured = GetCaptureControl())
        CallGuarded(captured, [&] { captured->SetMouseCapture(false); });
    if (source_ != source)
        return;
    CallGuarded(source, [&] { source->DoStartDrag(); });
    if (source_ == source && immediate) {
        started_ = true;
        MoveTo(lastPos_);
    }
}

void TDragManager::Over(TControl* target, const QPoint& global, TDragState state, bool& accept)
{
    const TPoint p = ClientPoint(target, global);
    TControl* const source = source_;
    CallGuarded(target, [&] { target->DragOver(source, p.X, p.Y, state, accept); });
}

// The mouse is at global: tell the control that it leaves and the control that it comes
// onto or stays over, and show whether a drop would be taken.
void TDragManager::MoveTo(const QPoint& global)
{
    TControl* const source = source_;
    TControl* next = ControlAt(global);
    if (next != target_) {
        if (TControl* previous = target_) {
            bool ignored = false;
            Over(previous, global, dsDragLeave, ignored);
            if (source_ != source)
                return;
        }
        target_ = Alive(next) ? next : nullptr;
        accepted_ = false;
        if (target_ != nullptr) {
            bool accept = false;
            Over(target_, global, dsDragEnter, accept);
            if (source_ != source)
                return;
        }
    }
    if (target_ != nullptr) {
        bool accept = false;
        Over(target_, global, dsDragMove, accept);
        if (source_ != source)
            return;
        accepted_ = target_ != nullptr && accept;
    }
    ShowCursor(accepted_ ? target_->DragCursor() : crNoDrop);
}

void TDragManager::End(bool drop)
{
    TControl* const source = source_;
    if (source == nullptr)
        return;
    TControl* const target = target_;
    const bool dropped = drop && started_ && target != nullptr && accepted_;
    const QPoint global = lastPos_;
    source_ = nullptr;
    target_ = nullptr;
    accepted_ = false;
    started_ = false;
    ShowCursor(crDefault);

    // A handler below may free a control: each is called only while it lives.
    const TPoint targetPoint = target != nullptr ? ClientPoint(target, global) : TPoint{};
    const TPoint sourcePoint = ClientPoint(source, global);
    if (target != nullptr) {
        bool ignored = false;
        CallGuarded(target, [&] { target->DragOver(source, targetPoint.X, targetPoint.Y, dsDragLeave, ignored); });
        if (dropped && Alive(target) && Alive(source))
            CallGuarded(target, [&] { target->DragDrop(source, targetPoint.X, targetPoint.Y); });
    }
    if (!Alive(source))
        return;
    if (!dropped)
        CallGuarded(source, [&] { source->DragCanceled(); });
    if (!Alive(source))
        return;
    CallGuarded(source, [&] {
        if (dropped)
            source->DoEndDrag(Alive(target) ? target : nullptr, targetPoint.X, targetPoint.Y);
        else
            source->DoEndDrag(nullptr, sourcePoint.X, sourcePoint.Y);
    });
}

void TDragManager::ShowCursor(TCursor cursor)
{
    if (cursor == crDefault) {
        if (cursorShown_)
            QApplication::restoreOverrideCursor();
        cursorShown_ = false;
        return;
    }
    if (cursorShown_)
        QApplication::changeOverrideCursor(QCursor(QtCursorShape(cursor)));
    else
        QApplication::setOverrideCursor(QCursor(QtCursorShape(cursor)));
    cursorShown_ = true;
}

bool TDragManager::Filter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    const QEvent::Type type = event->type();
    if (IsMouseEvent(type)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        lastPos_ = mouse->globalPosition().toPoint();
        seenMouse_ = true;
        if (source_ == nullptr && type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            TControl* control = ControlOfWidget(static_cast<QWidget*>(watched));
            if (control != nullptr && control->DragMode() == dmAutomatic && control->Enabled()) {
                NoteKeyboardModifiers(mouse->modifiers());
                Begin(control, false, -1);
                return true;
            }
        }
    }
    return source_ != nullptr && FilterWhileDragging(event);
}

bool TDragManager::FilterWhileDragging(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        NoteKeyboardModifiers(static_cast<QMouseEvent*>(event)->modifiers());
        if (!started_) {
            const QPoint moved = lastPos_ - startPos_;
            if (std::abs(moved.x()) < threshold_ && std::abs(moved.y()) < threshold_)
                return true;
            started_ = true;
        }
        MoveTo(lastPos_);
        return true;
    }
    case QEvent::MouseButtonRelease:
        NoteKeyboardModifiers(static_cast<QMouseEvent*>(event)->modifiers());
        End(true);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::ShortcutOverride:
        // Keys belong to the drag: no menu shortcut fires meanwhile.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        NoteKeyboardModifiers(key->modifiers());
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape)
            End(false);
        else if (started_)
            MoveTo(lastPos_);  // Ctrl or Shift may change what a drop would do
        return true;
    }
    default:
        return false;
    }
}

// ---- TControl's part -------------------------------------------------------------------

void DragControlCreated(TControl* Control)
{
    TDragManager::Instance().ControlCreated(Control);
}

void DragControlDestroyed(TControl* Control)
{
    TDragManager::Instance().ControlDestroyed(Control);
}

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    TDragManager::Instance().Begin(this, Immediate, Threshold);
}

bool TControl::Dragging() const
{
    return TDragManager::Instance().IsSource(this);
}

void TControl::EndDrag(bool Drop)
{
    if (Dragging())
        TDragManager::Instance().End(Drop);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = OnDragOver.Assigned();
    if (OnDragOver)
        OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag()
{
    if (OnStartDrag)
        OnStartDrag(this);
}

void TControl::DragCanceled() {}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}
