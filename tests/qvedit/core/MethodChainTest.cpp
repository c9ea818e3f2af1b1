#include "qvedit/core/QvEditMiscClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A listener that logs its calls and may act on the chain while it is called.
class TListener : public TObject {
public:
    TListener(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    TNotifyEvent Handler() { return TNotifyEvent(this, &TListener::Notify); }
    void Notify(TObject* Sender)
    {
        log_.push_back(name_);
        lastSender = Sender;
        if (action)
            action();
    }

    std::function<void()> action;
    TObject* lastSender = nullptr;

private:
    std::string name_;
    Log& log_;
};

class TExceptionSink : public TObject {
public:
    void Handle(TObject* Sender, Exception& E, bool& DoContinue)
    {
        EXPECT_TRUE(DoContinue);
        sender = Sender;
        messages.push_back(E.Message());
        DoContinue = keepGoing;
        if (raise)
            throw EAbort("handler failed");
    }

    bool keepGoing = true;
    bool raise = false;
    TObject* sender = nullptr;
    Log messages;
};

class MethodChainTest : public ::testing::Test {
protected:
    void AddAll()
    {
        for (TListener* listener : {&a, &b, &c, &d})
            chain.Add(listener->Handler());
    }

    TObject sender;
    TQvNotifyEventChain chain{&sender};
    Log log;
    TListener a{"a", log}, b{"b", log}, c{"c", log}, d{"d", log};
};

TEST_F(MethodChainTest, FiresInOrderAddedAndOneRemoveTakesEveryCopy)
{
    chain.Add(b.Handler());
    chain.Add(a.Handler());
    chain.Add(b.Handler());
    chain.Fire();
    EXPECT_EQ(log, (Log{"b", "a", "b"}));
    EXPECT_EQ(a.lastSender, &sender);

    log.clear();
    chain.Remove(b.Handler());
    chain.Fire();
    EXPECT_EQ(log, (Log{"a"}));
}

TEST_F(MethodChainTest, EmptyMethodsAreRejectedWithTheChainsName)
{
    try {
        chain.Add(TNotifyEvent());
        FAIL();
    } catch (const EQvMethodChain& e) {
        EXPECT_EQ(e.Message(),
                  "TQvNotifyEventChain.Entry : the parameter `AEvent' must be specified.");
    }
    try {
        chain.Remove(TNotifyEvent());
        FAIL();
    } catch (const EQvMethodChain& e) {
        EXPECT_EQ(e.Message(),
                  "TQvNotifyEventChain.Remove: the parameter `AEvent' must be specified.");
    }
}

TEST_F(MethodChainTest, EditsWhileFiring)
{
    // a removes itself and adds a second d; c removes both pending copies of d.
    AddAll();
    a.action = [&] {
        chain.Remove(a.Handler());
        chain.Add(d.Handler());
    };
    c.action = [&] { chain.Remove(d.Handler()); };
    chain.Fire();
    EXPECT_EQ(log, (Log{"a", "b", "c"}));

    log.clear();
    c.action = nullptr;
    chain.Add(d.Handler());
    b.action = [&] { chain.Remove(b.Handler()); };
    chain.Fire();
    EXPECT_EQ(log, (Log{"b", "c", "d"}));
}

TEST_F(MethodChainTest, NestedFiringKeepsBothPositions)
{
    chain.Add(a.Handler());
    chain.Add(b.Handler());
    chain.Add(c.Handler());
    b.action = [&] {
        b.action = nullptr;
        c.action = [&] {
            c.action = nullptr;
            chain.Remove(a.Handler());
        };
        chain.Fire();
    };
    chain.Fire();
    EXPECT_EQ(log, (Log{"a", "b", "a", "b", "c", "c"}));
}

TEST_F(MethodChainTest, ExceptionsPassOnOrGoToTheExceptionEvent)
{
    AddAll();
    b.action = [] { throw EConvertError("bad value"); };
    EXPECT_THROW(chain.Fire(), EConvertError);
    EXPECT_EQ(log, (Log{"a", "b"}));

    TExceptionSink sink;
    chain.OnException = TQvExceptionEvent(&sink, &TExceptionSink::Handle);
    log.clear();
    chain.Fire();
    EXPECT_EQ(log, (Log{"a", "b", "c", "d"}));
    EXPECT_EQ(sink.messages, (Log{"bad value"}));
    EXPECT_EQ(sink.sender, &chain);

    log.clear();
    sink.keepGoing = false;
    EXPECT_NO_THROW(chain.Fire());
    EXPECT_EQ(log, (Log{"a", "b"}));

    sink.raise = true;
    try {
        chain.Fire();
        FAIL();
    } catch (const EQvMethodChain& e) {
        EXPECT_EQ(e.Message(), "TQvNotifyEventChain.DoHandleException : MUST NOT occur any "
                               "kind of exception in ExceptionHandler");
    }
}

}  // namespace
