// The method chains: ordered handler lists that survive edits made while they fire.
#include "qvedit/core/QvEditMiscClasses.h"

namespace {

std::string ChainMessage(const char* className, const char* text)
{
    return std::string(className) + text;
}

// Registers a firing's cursor with the chain for as long as the firing runs, so that
// removals can keep it pointing at the right entry even when a handler raises.
class TCursorGuard {
public:
    TCursorGuard(std::vector<std::size_t*>& cursors, std::size_t* cursor) : cursors_(cursors)
    {
        cursors_.push_back(cursor);
    }
    ~TCursorGuard() { cursors_.pop_back(); }
    TCursorGuard(const TCursorGuard&) = delete;
    TCursorGuard& operator=(const TCursorGuard&) = delete;

private:
    std::vector<std::size_t*>& cursors_;
};

}  // namespace

void TQvMethodChain::Add(const TMethodRef& AEvent)
{
    if (!AEvent.Assigned())
        throw EQvMethodChain(
            ChainMessage(ChainClassName(), ".Entry : the parameter `AEvent' must be specified."));
    entries_.push_back(AEvent);
}

void TQvMethodChain::Remove(const TMethodRef& AEvent)
{
    if (!AEvent.Assigned())
        throw EQvMethodChain(
            ChainMessage(ChainClassName(), ".Remove: the parameter `AEvent' must be specified."));
    for (std::size_t i = entries_.size(); i-- > 0;) {
        if (!(entries_[i] == AEvent))
            continue;
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        // An entry before a firing's next position moves that position back by one.
        for (std::size_t* cursor : cursors_)
            if (i < *cursor)
                --*cursor;
    }
}

void TQvMethodChain::Fire()
{
    std::size_t next = 0;
    TCursorGuard guard(cursors_, &next);
    // The count is read again after every call: handlers may add or remove entries.
    while (next < entries_.size()) {
        const TMethodRef entry = entries_[next];  // a copy: the list may change under the call
        ++next;
        try {
            DoFire(entry);
        } catch (Exception& E) {
            bool doContinue = true;
            DoHandleException(E, doContinue);
            if (!doContinue)
                return;
        }
    }
}

void TQvMethodChain::DoHandleException(Exception& E, bool& DoContinue)
{
    if (!OnException)
        throw;
    try {
        OnException(this, E, DoContinue);
    } catch (...) {
        throw EQvMethodChain(ChainMessage(
            ChainClassName(),
            ".DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler"));
    }
}

void TQvNotifyEventChain::DoFire(const TMethodRef& AEvent)
{
    TNotifyEvent::FromRef(AEvent)(sender_);
}
