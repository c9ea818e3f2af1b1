// In-process drag and drop: one drag at a time, run by an application-wide event filter
// that holds the mouse and the keys while a control is dragged.
#include "platform/DragDrop.h"

#include "platform/Controls.h"
#include "platform/ControlsQt.h"
#include "platform/Forms.h"

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

// The site of the control whose widget lies under the screen point, or nullptr.
TDragDropSite* SiteAt(const QPoint& global)
{
    QWidget* widget = QApplication::widgetAt(global);
    if (widget == nullptr)
        return nullptr;
    TControl* control = ControlOfWidget(widget);
    if (control == nullptr || control->HasState(csDestroying) || !control->Enabled())
        return nullptr;
    return dynamic_cast<TDragDropSite*>(control);
}

TPoint ClientPoint(const TDragDropSite* site, const QPoint& global)
{
    return site->SiteControl()->ScreenToClient({global.x(), global.y()});
}

}  // namespace

// The drag in progress, if any.
class TDragManager {
public:
    static TDragManager& Instance()
    {
        static TDragManager manager;
        return manager;
    }

    void SiteCreated(TDragDropSite* site);
    void SiteDestroyed(TDragDropSite* site);
    bool Alive(const TDragDropSite* site) const { return sites_.contains(site); }
    void Begin(TDragDropSite* source, bool immediate, int threshold);
    void End(bool drop);
    bool IsSource(const TDragDropSite* site) const { return source_ == site; }
    bool Filter(QObject* watched, QEvent* event);

private:
    void MoveTo(const QPoint& global);
    void Over(TDragDropSite* target, const QPoint& global, TDragState state, bool& accept);
    void ShowCursor(TCursor cursor);
    bool FilterWhileDragging(QEvent* event);

    void InstallFilter();

    std::unique_ptr<TDragEventFilter> filter_;
    std::unordered_set<const TDragDropSite*> sites_;
    TDragDropSite* source_ = nullptr;
    TDragDropSite* target_ = nullptr;
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

void TDragManager::SiteCreated(TDragDropSite* site)
{
    sites_.insert(site);
    InstallFilter();
}

void TDragManager::InstallFilter()
{
    if (filter_ != nullptr || QCoreApplication::instance() == nullptr)
        return;
    filter_ = std::make_unique<TDragEventFilter>();
    QCoreApplication::instance()->installEventFilter(filter_.get());
}

void TDragManager::SiteDestroyed(TDragDropSite* site)
{
    sites_.erase(site);
    if (target_ == site) {
        target_ = nullptr;
        accepted_ = false;
    }
    if (source_ == site) {
        // Nothing is told: the source is going and nothing can be dropped from it.
        source_ = nullptr;
        target_ = nullptr;
        ShowCursor(crDefault);
    }
}

void TDragManager::Begin(TDragDropSite* source, bool immediate, int threshold)
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
    TControl* control = source->SiteControl();
    if (source_ != source)
        return;
    CallGuarded(control, [&] { source->DoStartDrag(); });
    if (source_ == source && immediate) {
        started_ = true;
        MoveTo(lastPos_);
    }
}

void TDragManager::Over(TDragDropSite* target, const QPoint& global, TDragState state, bool& accept)
{
    const TPoint p = ClientPoint(target, global);
    TObject* sourceControl = source_->SiteControl();
    CallGuarded(target->SiteControl(), [&] { target->DragOver(sourceControl, p.X, p.Y, state, accept); });
}

// The mouse is at global: tell the site that it leaves and the site that it comes onto or
// stays over, and show whether a drop would be taken.
void TDragManager::MoveTo(const QPoint& global)
{
    TDragDropSite* const source = source_;
    TDragDropSite* next = SiteAt(global);
    if (next != target_) {
        if (TDragDropSite* previous = target_) {
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
    TDragDropSite* const source = source_;
    if (source == nullptr)
        return;
    TDragDropSite* const target = target_;
    const bool dropped = drop && started_ && target != nullptr && accepted_;
    const QPoint global = lastPos_;
    source_ = nullptr;
    target_ = nullptr;
    accepted_ = false;
    started_ = false;
    ShowCursor(crDefault);

    // A handler below may free a control: each site is called only while it lives.
    TControl* sourceControl = source->SiteControl();
    TControl* targetControl = target != nullptr ? target->SiteControl() : nullptr;
    const TPoint targetPoint = target != nullptr ? ClientPoint(target, global) : TPoint{};
    const TPoint sourcePoint = ClientPoint(source, global);
    if (target != nullptr) {
        bool ignored = false;
        CallGuarded(targetControl, [&] {
            target->DragOver(sourceControl, targetPoint.X, targetPoint.Y, dsDragLeave, ignored);
        });
        if (dropped && Alive(target) && Alive(source))
            CallGuarded(targetControl, [&] { target->DragDrop(sourceControl, targetPoint.X, targetPoint.Y); });
    }
    if (!Alive(source))
        return;
    if (!dropped)
        CallGuarded(sourceControl, [&] { source->DragCanceled(); });
    if (!Alive(source))
        return;
    CallGuarded(sourceControl, [&] {
        if (dropped)
            source->DoEndDrag(Alive(target) ? targetControl : nullptr, targetPoint.X, targetPoint.Y);
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
            auto* site = dynamic_cast<TDragDropSite*>(control);
            if (site != nullptr && site->DragMode() == dmAutomatic && control->Enabled()) {
                NoteKeyboardModifiers(mouse->modifiers());
                Begin(site, false, -1);
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

// ---- TDragDropSite ---------------------------------------------------------------------

TDragDropSite::TDragDropSite(TControl* Control) : control_(Control)
{
    TDragManager::Instance().SiteCreated(this);
}

TDragDropSite::~TDragDropSite()
{
    TDragManager::Instance().SiteDestroyed(this);
}

void TDragDropSite::BeginDrag(bool Immediate, int Threshold)
{
    TDragManager::Instance().Begin(this, Immediate, Threshold);
}

bool TDragDropSite::Dragging() const
{
    return TDragManager::Instance().IsSource(this);
}

void TDragDropSite::EndDrag(bool Drop)
{
    if (Dragging())
        TDragManager::Instance().End(Drop);
}

void TDragDropSite::SetDragMode(TDragMode Value)
{
    dragMode_ = Value;
}

void TDragDropSite::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = OnDragOver.Assigned();
    if (OnDragOver)
        OnDragOver(control_, Source, X, Y, State, Accept);
}

void TDragDropSite::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(control_, Source, X, Y);
}

void TDragDropSite::DoStartDrag()
{
    if (OnStartDrag)
        OnStartDrag(control_);
}

void TDragDropSite::DragCanceled() {}

void TDragDropSite::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(control_, Target, X, Y);
}
