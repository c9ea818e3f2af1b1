// TTimer: calls OnTimer every Interval milliseconds while it is enabled.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/System.h"

#include <memory>

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    // The timer runs while Enabled is set and Interval is above 0; setting either
    // restarts the count from 0.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    Cardinal Interval() const { return interval_; }
    void SetInterval(Cardinal Value);
    // Whether the window system is counting for this timer now.
    bool Running() const;

    // Calls OnTimer now, as when the interval has passed (tests, and callers that need
    // one tick at once). An exception from the handler reaches the caller; one raised
    // while the window system ticks goes to the application's handler.
    void Tick();

    TNotifyEvent OnTimer;

private:
    struct TImpl;
    void UpdateTimer();

    bool enabled_ = true;
    Cardinal interval_ = 1000;
    std::unique_ptr<TImpl> impl_;
};
