// Chains of key and mouse handlers that components cooperating with the editor (the
// completion pop-up) use to see keys and clicks before the editor acts on them.
#pragma once

#include "platform/runtime/System.h"
#include "platform/window/Controls.h"
#include "platform/window/Keys.h"

#include <vector>

// An ordered list of method pointers (object and operation). Duplicates are allowed.
class TMethodList : public TObject {
public:
    void Add(const TMethodRef& AMethod);
    // Removes the most recently added entry equal to AMethod; nothing when none is.
    void Remove(const TMethodRef& AMethod);
    int Count() const { return static_cast<int>(items_.size()); }
    // A bad index raises EListError.
    const TMethodRef& Items(int Index) const;

    // Calls visit(entry) from the newest entry to the oldest while it returns true.
    // Entries may be added or removed meanwhile: added ones are not visited, and a
    // removal never makes the walk skip or repeat an entry that is still there.
    template <class Visit>
    void VisitNewestFirst(Visit&& visit);

private:
    std::vector<TMethodRef> items_;
    // The index being visited, for each walk in progress.
    std::vector<int*> cursors_;
};

class TQvEditKbdHandler : public TObject {
public:
    void AddKeyDownHandler(const TKeyEvent& AHandler) { keyDownChain_.Add(AHandler.Ref()); }
    void RemoveKeyDownHandler(const TKeyEvent& AHandler) { keyDownChain_.Remove(AHandler.Ref()); }
    void AddKeyUpHandler(const TKeyEvent& AHandler) { keyUpChain_.Add(AHandler.Ref()); }
    void RemoveKeyUpHandler(const TKeyEvent& AHandler) { keyUpChain_.Remove(AHandler.Ref()); }
    void AddKeyPressHandler(const TKeyPressEvent& AHandler) { keyPressChain_.Add(AHandler.Ref()); }
    void RemoveKeyPressHandler(const TKeyPressEvent& AHandler)
    {
        keyPressChain_.Remove(AHandler.Ref());
    }
    void AddMouseDownHandler(const TMouseEvent& AHandler) { mouseDownChain_.Add(AHandler.Ref()); }
    void RemoveMouseDownHandler(const TMouseEvent& AHandler)
    {
        mouseDownChain_.Remove(AHandler.Ref());
    }

    // Each runs its chain from the newest handler to the oldest. The key chains stop once
    // a handler has cleared the key; the mouse chain calls every handler. A chain that is
    // already running (a handler caused the same event again) is not run a second time.
    void ExecuteKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void ExecuteKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
    void ExecuteKeyPress(TObject* Sender, char& Key);
    void ExecuteMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    TMethodList keyPressChain_;
    TMethodList keyDownChain_;
    TMethodList keyUpChain_;
    TMethodList mouseDownChain_;
    bool inKeyPress_ = false;
    bool inKeyDown_ = false;
    bool inKeyUp_ = false;
    bool inMouseDown_ = false;
};

template <class Visit>
void TMethodList::VisitNewestFirst(Visit&& visit)
{
    int index = Count();
    cursors_.push_back(&index);
    try {
        while (--index >= 0 && index < Count()) {
            if (!visit(items_[static_cast<std::size_t>(index)]))
                break;
        }
    } catch (...) {
        std::erase(cursors_, &index);
        throw;
    }
    std::erase(cursors_, &index);
}
