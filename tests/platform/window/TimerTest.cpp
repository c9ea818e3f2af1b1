#include "platform/forms/Forms.h"
#include "platform/window/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

class TTickCounter : public TObject {
public:
    void Count(TObject* sender)
    {
        ++Ticks;
        LastSender = sender;
        if (Action)
            Action();
    }
    int Ticks = 0;
    TObject* LastSender = nullptr;
    std::function<void()> Action;
};

// Runs the event loop until done() or a minute has passed (a bound for what must happen,
// long enough for a busy machine).
bool RunUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return done();
}

std::string lastError;
void RecordError(TObject*, const Exception& e) { lastError = e.Message(); }

}  // namespace

TEST(Timer, RunsOnlyWhileEnabledWithAnInterval)
{
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Running());  // enabled, 1000 ms by default
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    timer.SetEnabled(true);
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    timer.SetInterval(100);
    EXPECT_TRUE(timer.Running());
}

TEST(Timer, FiresFromTheEventLoopAndStopsWhenDisabled)
{
    TTimer timer(nullptr);
    TTickCounter counter;
    timer.SetInterval(5);
    timer.OnTimer = TNotifyEvent(&counter, &TTickCounter::Count);
    ASSERT_TRUE(RunUntil([&] { return counter.Ticks >= 2; }));
    EXPECT_EQ(counter.LastSender, &timer);

    timer.SetEnabled(false);
    const int ticks = counter.Ticks;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(counter.Ticks, ticks);
}

TEST(Timer, MayBeFreedByItsOwnHandler)
{
    auto* timer = new TTimer(nullptr);
    TTickCounter counter;
    counter.Action = [&] {
        delete timer;
        timer = nullptr;
    };
    timer->SetInterval(1);
    timer->OnTimer = TNotifyEvent(&counter, &TTickCounter::Count);
    ASSERT_TRUE(RunUntil([&] { return timer == nullptr; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(counter.Ticks, 1);
}

TEST(Timer, AnExceptionInATickGoesToTheApplication)
{
    TTimer timer(nullptr);
    TTickCounter counter;
    counter.Action = [&] {
        timer.SetEnabled(false);
        throw Exception("tick failed");
    };
    const TExceptionEvent previous = Application->OnException;
    Application->OnException = TExceptionEvent(&RecordError);
    lastError.clear();
    timer.SetInterval(1);
    timer.OnTimer = TNotifyEvent(&counter, &TTickCounter::Count);
    const bool fired = RunUntil([&] { return counter.Ticks > 0; });
    Application->OnException = previous;
    ASSERT_TRUE(fired);
    EXPECT_EQ(lastError, "tick failed");
    // Called directly, the exception reaches the caller.
    EXPECT_THROW(timer.Tick(), Exception);
}
