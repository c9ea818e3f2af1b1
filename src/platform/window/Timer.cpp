// TTimer over a QTimer.
#include "platform/window/Timer.h"

#include "platform/window/Guarded.h"

#include <QTimer>

struct TTimer::TImpl {
    QTimer Timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), impl_(std::make_unique<TImpl>())
{
    // Nothing follows Tick in the slot: the handler may free this timer (Qt allows a
    // signal's sender to be deleted by its slot).
    QObject::connect(&impl_->Timer, &QTimer::timeout, [this] { CallGuarded(this, [this] { Tick(); }); });
    UpdateTimer();
}

TTimer::~TTimer()
{
    BeforeDestruction();
}

void TTimer::SetEnabled(bool Value)
{
    enabled_ = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value)
{
    interval_ = Value;
    UpdateTimer();
}

bool TTimer::Running() const
{
    return impl_->Timer.isActive();
}

void TTimer::UpdateTimer()
{
    QTimer* timer = &impl_->Timer;
    timer->stop();
    if (enabled_ && interval_ > 0) {
        // QTimer takes an int: longer intervals than about 24 days wait that long.
        const int interval = interval_ > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(interval_);
        timer->start(interval);
    }
}

void TTimer::Tick()
{
    if (OnTimer)
        OnTimer(this);
}
