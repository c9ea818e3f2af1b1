#include "qvedit/core/QvEditKbdHandler.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A handler object that writes its name into a shared log when called and can act on
// the chain while it runs.
class TProbe : public TObject {
public:
    TProbe(std::string name, std::string& log, TQvEditKbdHandler& handler)
        : name_(std::move(name)), log_(log), handler_(handler)
    {
    }

    void KeyDown(TObject*, Word& Key, TShiftState)
    {
        log_ += name_;
        if (clearKey)
            Key = 0;
        if (removeSelf)
            handler_.RemoveKeyDownHandler(TKeyEvent(this, &TProbe::KeyDown));
        if (removeOther != nullptr)
            handler_.RemoveKeyDownHandler(TKeyEvent(removeOther, &TProbe::KeyDown));
        if (reenter) {
            Word again = Key;
            handler_.ExecuteKeyDown(this, again, 0);
        }
        if (raise)
            throw Exception("handler failed");
    }
    void KeyPress(TObject*, char& Key)
    {
        log_ += name_;
        if (clearKey)
            Key = '\0';
    }
    void MouseDown(TObject*, TMouseButton, TShiftState, int X, int)
    {
        log_ += name_ + std::to_string(X);
    }

    TKeyEvent Down() { return TKeyEvent(this, &TProbe::KeyDown); }

    bool clearKey = false;
    bool removeSelf = false;
    bool reenter = false;
    bool raise = false;
    TProbe* removeOther = nullptr;

private:
    std::string name_;
    std::string& log_;
    TQvEditKbdHandler& handler_;
};

struct KbdHandler : testing::Test {
    std::string RunKeyDown()
    {
        log.clear();
        Word key = 65;
        handler.ExecuteKeyDown(nullptr, key, 0);
        return log;
    }

    std::string log;
    TQvEditKbdHandler handler;
    TProbe a{"A", log, handler};
    TProbe b{"B", log, handler};
    TProbe c{"C", log, handler};
};

}  // namespace

TEST_F(KbdHandler, NewestRunsFirstAndAClearedKeyStopsTheChain)
{
    handler.AddKeyDownHandler(a.Down());
    handler.AddKeyDownHandler(b.Down());
    EXPECT_EQ(RunKeyDown(), "BA");
    b.clearKey = true;
    EXPECT_EQ(RunKeyDown(), "B");

    handler.AddKeyPressHandler(TKeyPressEvent(&a, &TProbe::KeyPress));
    handler.AddKeyPressHandler(TKeyPressEvent(&b, &TProbe::KeyPress));
    log.clear();
    char ch = 'x';
    handler.ExecuteKeyPress(nullptr, ch);
    EXPECT_EQ(log, "B");
    EXPECT_EQ(ch, '\0');
}

TEST_F(KbdHandler, TheMouseChainCallsEveryHandler)
{
    handler.AddMouseDownHandler(TMouseEvent(&a, &TProbe::MouseDown));
    handler.AddMouseDownHandler(TMouseEvent(&b, &TProbe::MouseDown));
    handler.ExecuteMouseDown(nullptr, mbLeft, 0, 7, 9);
    EXPECT_EQ(log, "B7A7");
}

TEST_F(KbdHandler, AddingTwiceRunsTwiceAndOneRemovalLeavesOne)
{
    handler.AddKeyDownHandler(a.Down());
    handler.AddKeyDownHandler(a.Down());
    EXPECT_EQ(RunKeyDown(), "AA");
    handler.RemoveKeyDownHandler(a.Down());
    EXPECT_EQ(RunKeyDown(), "A");
    handler.RemoveKeyDownHandler(a.Down());
    EXPECT_EQ(RunKeyDown(), "");
    handler.RemoveKeyDownHandler(a.Down());  // nothing left to remove
    EXPECT_EQ(RunKeyDown(), "");
}

TEST_F(KbdHandler, AHandlerThatRaisesTheSameEventDoesNotRunTheChainAgain)
{
    a.reenter = true;
    handler.AddKeyDownHandler(a.Down());
    handler.AddKeyDownHandler(b.Down());
    EXPECT_EQ(RunKeyDown(), "BA");
}

TEST_F(KbdHandler, TheChainRunsAgainAfterAHandlerRaised)
{
    handler.AddKeyDownHandler(a.Down());
    a.raise = true;
    Word key = 1;
    EXPECT_THROW(handler.ExecuteKeyDown(nullptr, key, 0), Exception);
    a.raise = false;
    EXPECT_EQ(RunKeyDown(), "A");
}

TEST_F(KbdHandler, RemovalsWhileTheChainRunsSkipAndRepeatNobody)
{
    handler.AddKeyDownHandler(a.Down());
    handler.AddKeyDownHandler(b.Down());
    handler.AddKeyDownHandler(c.Down());
    c.removeSelf = true;
    EXPECT_EQ(RunKeyDown(), "CBA");
    EXPECT_EQ(RunKeyDown(), "BA");

    handler.AddKeyDownHandler(c.Down());
    c.removeSelf = false;
    c.removeOther = &a;  // an older handler that has not run yet
    EXPECT_EQ(RunKeyDown(), "CB");
    c.removeOther = nullptr;

    handler.AddKeyDownHandler(a.Down());  // now B, C, A
    b.removeSelf = true;
    EXPECT_EQ(RunKeyDown(), "ACB");
    EXPECT_EQ(RunKeyDown(), "AC");
}
