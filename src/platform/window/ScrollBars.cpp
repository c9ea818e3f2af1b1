// Scroll bars: the rules of one bar's state, the calls that change it, and the Qt
// scroll bar that shows it and reports the user's actions as WM_HSCROLL/WM_VSCROLL.
#include "platform/window/ScrollBars.h"

#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

// ---- TScrollBarState -----------------------------------------------------------------------------

int TScrollBarState::MaxPos() const
{
    const Int64 top = static_cast<Int64>(Max) - std::max<Int64>(static_cast<Int64>(Page) - 1, 0);
    return static_cast<int>(std::max<Int64>(top, Min));
}

bool TScrollBarState::CanScroll() const
{
    return Max > Min && static_cast<Int64>(Page) <= static_cast<Int64>(Max) - Min;
}

int TScrollBarState::Apply(const SCROLLINFO& Info)
{
    if (Info.fMask & SIF_RANGE) {
        Min = Info.nMin;
        Max = std::max(Info.nMax, Info.nMin);
    }
    if (Info.fMask & SIF_PAGE)
        Page = Info.nPage;
    const Int64 span = static_cast<Int64>(Max) - Min + 1;
    if (static_cast<Int64>(Page) > span)
        Page = static_cast<UINT>(span);
    if (Info.fMask & SIF_POS)
        Pos = Info.nPos;
    Pos = std::clamp(Pos, Min, MaxPos());
    if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
        if (CanScroll()) {
            Visible = true;
            Enabled = true;
        } else if (Info.fMask & SIF_DISABLENOSCROLL) {
            Visible = true;
            Enabled = false;
        } else {
            Visible = false;
        }
    }
    return Pos;
}

// ---- The calls ---------------------------------------------------------------------------------

namespace {

TControlWindow* WindowOf(HWND handle)
{
    TWinControl* control = FindControl(handle);
    return control != nullptr ? control->Window() : nullptr;
}

bool IsWindowBar(int bar)
{
    return bar == SB_HORZ || bar == SB_VERT;
}

// Shows the state; a bar that appeared or went changes the client area.
void Publish(TControlWindow* window, int bar, bool wasVisible)
{
    window->ShowBarState(bar);
    if (window->BarState(bar).Visible != wasVisible)
        window->Layout();
}

}  // namespace

int SetScrollInfo(HWND Window, int Bar, const SCROLLINFO* Info, BOOL)
{
    TControlWindow* window = WindowOf(Window);
    if (window == nullptr || Info == nullptr || !IsWindowBar(Bar))
        return 0;
    TScrollBarState& state = window->BarState(Bar);
    const bool wasVisible = state.Visible;
    const int pos = state.Apply(*Info);
    Publish(window, Bar, wasVisible);
    return pos;
}

BOOL GetScrollInfo(HWND Window, int Bar, SCROLLINFO* Info)
{
    TControlWindow* window = WindowOf(Window);
    if (window == nullptr || Info == nullptr || !IsWindowBar(Bar))
        return FALSE;
    const TScrollBarState& state = window->BarState(Bar);
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = state.Min;
        Info->nMax = state.Max;
    }
    if (Info->fMask & SIF_PAGE)
        Info->nPage = state.Page;
    if (Info->fMask & SIF_POS)
        Info->nPos = state.Pos;
    if (Info->fMask & SIF_TRACKPOS)
        Info->nTrackPos = state.TrackPos;
    return TRUE;
}

BOOL GetScrollBarState(HWND Window, int Bar, BOOL* Visible, BOOL* Enabled)
{
    TControlWindow* window = WindowOf(Window);
    if (window == nullptr || !IsWindowBar(Bar))
        return FALSE;
    const TScrollBarState& state = window->BarState(Bar);
    if (Visible != nullptr)
        *Visible = state.Visible ? TRUE : FALSE;
    if (Enabled != nullptr)
        *Enabled = state.Enabled ? TRUE : FALSE;
    return TRUE;
}

int SetScrollPos(HWND Window, int Bar, int Pos, BOOL Redraw)
{
    TControlWindow* window = WindowOf(Window);
    if (window == nullptr || !IsWindowBar(Bar))
        return 0;
    const int previous = window->BarState(Bar).Pos;
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = Pos;
    SetScrollInfo(Window, Bar, &info, Redraw);
    return previous;
}

int GetScrollPos(HWND Window, int Bar)
{
    TControlWindow* window = WindowOf(Window);
    return window != nullptr && IsWindowBar(Bar) ? window->BarState(Bar).Pos : 0;
}

BOOL SetScrollRange(HWND Window, int Bar, int MinPos, int MaxPos, BOOL Redraw)
{
    if (WindowOf(Window) == nullptr || !IsWindowBar(Bar))
        return FALSE;
    SCROLLINFO info;
    info.fMask = SIF_RANGE;
    info.nMin = MinPos;
    info.nMax = MaxPos;
    SetScrollInfo(Window, Bar, &info, Redraw);
    return TRUE;
}

BOOL ShowScrollBar(HWND Window, int Bar, BOOL Show)
{
    TControlWindow* window = WindowOf(Window);
    if (window == nullptr || !(IsWindowBar(Bar) || Bar == SB_BOTH))
        return FALSE;
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (Bar != SB_BOTH && Bar != bar)
            continue;
        TScrollBarState& state = window->BarState(bar);
        const bool wasVisible = state.Visible;
        state.Visible = Show != FALSE;
        Publish(window, bar, wasVisible);
    }
    return TRUE;
}

BOOL EnableScrollBar(HWND Window, UINT Bar, UINT Arrows)
{
    TControlWindow* window = WindowOf(Window);
    const int which = static_cast<int>(Bar);
    if (window == nullptr || !(IsWindowBar(which) || which == SB_BOTH))
        return FALSE;
    // A bar cannot disable one arrow here: only both arrows disabled disables it.
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (which != SB_BOTH && which != bar)
            continue;
        if (Arrows == ESB_ENABLE_BOTH)
            window->BarState(bar).Enabled = true;
        else if (Arrows == ESB_DISABLE_BOTH)
            window->BarState(bar).Enabled = false;
        window->ShowBarState(bar);
    }
    return TRUE;
}

// ---- The Qt scroll bar --------------------------------------------------------------------------

namespace {

int scrollBarActions = 0;

struct TScrollBarActionScope {
    TScrollBarActionScope() { ++scrollBarActions; }
    ~TScrollBarActionScope() { --scrollBarActions; }
    TScrollBarActionScope(const TScrollBarActionScope&) = delete;
    TScrollBarActionScope& operator=(const TScrollBarActionScope&) = delete;
};

// Ends each press on a bar with SB_ENDSCROLL (after SB_THUMBPOSITION for the thumb),
// and passes the wheel over a bar on to the control.
class TBarFilter final : public QObject {
public:
    TBarFilter(TControlWindow* window, int kind, QObject* parent) : QObject(parent), window_(window), kind_(kind) {}

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Wheel) {
            QCoreApplication::sendEvent(window_->Client(), e);
            return true;
        }
        if (e->type() != QEvent::MouseButtonRelease)
            return false;
        // A scroll handler may free the control, and its window with it.
        const TScrollBarActionScope scope;
        const std::weak_ptr<char> alive = window_->Liveness();
        TControlWindow* window = window_;
        const int kind = kind_;
        auto* bar = static_cast<QScrollBar*>(watched);
        const bool thumb = bar->isSliderDown();
        static_cast<QObject*>(bar)->event(e);
        if (alive.expired() || window->Control() == nullptr)
            return true;
        TControl* control = window->Control();
        const UINT msg = kind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
        const int track = window->BarState(kind).TrackPos;
        CallGuarded(control, [&] {
            if (thumb)
                control->Perform(msg, MakeWParam(SB_THUMBPOSITION, static_cast<Word>(track)), 0);
            if (!alive.expired() && window->Control() != nullptr)
                control->Perform(msg, MakeWParam(SB_ENDSCROLL, 0), 0);
        });
        return true;
    }

private:
    TControlWindow* window_;
    int kind_;
};

Word ScrollCodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return SB_ENDSCROLL;
    }
}

}  // namespace

bool InsideScrollBarAction()
{
    return scrollBarActions > 0;
}

void TControlWindow::ConnectBar(QScrollBar* bar, int kind)
{
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->installEventFilter(new TBarFilter(this, kind, bar));
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [this, bar, kind](int action) {
        TControl* control = control_;
        const Word code = ScrollCodeOf(action);
        if (control == nullptr || code == SB_ENDSCROLL)
            return;
        TScrollBarState& state = BarState(kind);
        Word pos = 0;
        if (code == SB_THUMBTRACK) {
            state.TrackPos = bar->sliderPosition();
            pos = static_cast<Word>(state.TrackPos);
        }
        const TScrollBarActionScope scope;
        const std::weak_ptr<char> alive = Liveness();
        CallGuarded(control, [&] {
            control->Perform(kind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MakeWParam(code, pos), 0);
        });
        // The bar shows what the program set, not where the action would have put it.
        if (!alive.expired() && control_ != nullptr) {
            const QSignalBlocker blocker(bar);
            bar->setSliderPosition(BarState(kind).Pos);
        }
    });
}

void TControlWindow::ShowBarState(int kind)
{
    QScrollBar* bar = kind == SB_HORZ ? hBar_ : vBar_;
    if (bar == nullptr)
        return;  // a bar not made yet takes the state when it is
    const TScrollBarState& state = BarState(kind);
    const QSignalBlocker blocker(bar);
    bar->setRange(state.Min, state.MaxPos());
    bar->setPageStep(std::max<int>(static_cast<int>(std::min<UINT>(state.Page, 0x7FFFFFFF)), 1));
    bar->setSingleStep(1);
    bar->setValue(state.Pos);
    bar->setSliderPosition(state.Pos);
    bar->setEnabled(state.Enabled);
}
