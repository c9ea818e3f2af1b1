#include "qvedit/core/QvEditKbdHandler.h"

#include "platform/runtime/SysUtils.h"

void TMethodList::Add(const TMethodRef& AMethod)
{
    items_.push_back(AMethod);
}

const TMethodRef& TMethodList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return items_[static_cast<std::size_t>(Index)];
}

void TMethodList::Remove(const TMethodRef& AMethod)
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (items_[static_cast<std::size_t>(i)] == AMethod) {
            items_.erase(items_.begin() + i);
            // A walk past this entry keeps its place among the entries below it.
            for (int* cursor : cursors_)
                if (i < *cursor)
                    --*cursor;
            return;
        }
    }
}

namespace {

// Sets a re-entry flag for the duration of a run, also when a handler raises.
class TReentryGuard {
public:
    explicit TReentryGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TReentryGuard() { flag_ = false; }
    TReentryGuard(const TReentryGuard&) = delete;
    TReentryGuard& operator=(const TReentryGuard&) = delete;

private:
    bool& flag_;
};

void RunKeyChain(TMethodList& chain, bool& running, TObject* Sender, Word& Key,
                 TShiftState Shift)
{
    if (running)
        return;
    TReentryGuard guard(running);
    chain.VisitNewestFirst([&](const TMethodRef& entry) {
        TKeyEvent::FromRef(entry)(Sender, Key, Shift);
        return Key != 0;
    });
}

}  // namespace

void TQvEditKbdHandler::ExecuteKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    RunKeyChain(keyDownChain_, inKeyDown_, Sender, Key, Shift);
}

void TQvEditKbdHandler::ExecuteKeyUp(TObject* Sender, Word& Key, TShiftState Shift)
{
    RunKeyChain(keyUpChain_, inKeyUp_, Sender, Key, Shift);
}

void TQvEditKbdHandler::ExecuteKeyPress(TObject* Sender, char& Key)
{
    if (inKeyPress_)
        return;
    TReentryGuard guard(inKeyPress_);
    keyPressChain_.VisitNewestFirst([&](const TMethodRef& entry) {
        TKeyPressEvent::FromRef(entry)(Sender, Key);
        return Key != '\0';
    });
}

void TQvEditKbdHandler::ExecuteMouseDown(TObject* Sender, TMouseButton Button,
                                         TShiftState Shift, int X, int Y)
{
    if (inMouseDown_)
        return;
    TReentryGuard guard(inMouseDown_);
    mouseDownChain_.VisitNewestFirst([&](const TMethodRef& entry) {
        TMouseEvent::FromRef(entry)(Sender, Button, Shift, X, Y);
        return true;
    });
}
