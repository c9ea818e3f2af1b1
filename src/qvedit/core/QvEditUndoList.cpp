#include "qvedit/core/QvEditUndoList.h"

#include <cstdint>

void TQvEditUndoItem::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TQvEditUndoItem*>(Source)) {
        ChangeReason = other->ChangeReason;
        ChangeSelMode = other->ChangeSelMode;
        ChangeStartPos = other->ChangeStartPos;
        ChangeEndPos = other->ChangeEndPos;
        ChangeStr = other->ChangeStr;
        ChangeNumber = other->ChangeNumber;
        MadeFirstLine = other->MadeFirstLine;
    } else {
        TPersistent::Assign(Source);
    }
}

TQvEditUndoList::TQvEditUndoList() = default;

TQvEditUndoList::~TQvEditUndoList()
{
    Clear();
}

// Change numbers wrap around as unsigned 32-bit values and never become 0, which means
// "no block" and "nothing saved".
void TQvEditUndoList::AdvanceNextChangeNumber()
{
    auto next = static_cast<std::uint32_t>(nextChangeNumber_) + 1u;
    if (next == 0)
        next = 1;
    nextChangeNumber_ = static_cast<Integer>(next);
}

void TQvEditUndoList::AddChange(TQvChangeReason AReason, const TPoint& AStart,
                                const TPoint& AEnd, std::string ChangeText,
                                TQvSelectionMode SelMode)
{
    if (lockCount_ > 0)
        return;
    auto item = std::make_unique<TQvEditUndoItem>();
    item->ChangeReason = AReason;
    item->ChangeSelMode = SelMode;
    item->ChangeStartPos = AStart;
    item->ChangeEndPos = AEnd;
    item->ChangeStr = std::move(ChangeText);
    if (blockChangeNumber_ != 0) {
        item->ChangeNumber = blockChangeNumber_;
    } else {
        item->ChangeNumber = nextChangeNumber_;
        AdvanceNextChangeNumber();
    }
    // Once pushed, the record belongs to the list even when a listener raises; a record
    // that never made it onto the stack is freed by its owner here.
    PushItem(std::move(item));
}

// The step of a record is that of the nearest record below it that is not a group break.
bool TQvEditUndoList::BeginsStepOnTop(Integer Number) const
{
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if ((*it)->ChangeReason != crGroupBreak)
            return (*it)->ChangeNumber != Number;
    return true;
}

void TQvEditUndoList::PushItem(std::unique_ptr<TQvEditUndoItem> Item)
{
    if (!Item)
        return;
    TQvChangeReason reason = Item->ChangeReason;
    Item->StartsStep = reason != crGroupBreak && BeginsStepOnTop(Item->ChangeNumber);
    if (Item->StartsStep)
        ++stepCount_;
    items_.push_back(std::move(Item));
    EnsureMaxEntries();
    if (reason != crGroupBreak && OnAdded)
        OnAdded(this);
}

std::unique_ptr<TQvEditUndoItem> TQvEditUndoList::PopItem()
{
    if (items_.empty())
        return nullptr;
    std::unique_ptr<TQvEditUndoItem> item = std::move(items_.back());
    items_.pop_back();
    if (item->StartsStep)
        --stepCount_;
    return item;
}

TQvEditUndoItem* TQvEditUndoList::PeekItem() const
{
    return items_.empty() ? nullptr : items_.back().get();
}

TQvChangeReason TQvEditUndoList::LastChangeReason() const
{
    return items_.empty() ? crNothing : items_.back()->ChangeReason;
}

void TQvEditUndoList::BeginBlock()
{
    // A number given from outside (replay sets the number of the step it replays) stays,
    // so that what a replayed command records belongs to that step.
    if (blockCount_++ == 0 && blockChangeNumber_ == 0)
        blockChangeNumber_ = nextChangeNumber_;
}

void TQvEditUndoList::EndBlock()
{
    if (blockCount_ <= 0)
        return;
    if (--blockCount_ > 0)
        return;
    Integer blockNumber = blockChangeNumber_;
    blockChangeNumber_ = 0;
    AdvanceNextChangeNumber();
    // Listeners that act on OnAdded see the end of a block that recorded something.
    if (!items_.empty() && items_.back()->ChangeNumber == blockNumber && OnAdded)
        OnAdded(this);
}

void TQvEditUndoList::AddGroupBreak()
{
    if (LastChangeReason() != crGroupBreak)
        AddChange(crGroupBreak, TPoint{0, 0}, TPoint{0, 0}, std::string(), smNormal);
}

void TQvEditUndoList::Unlock()
{
    if (lockCount_ > 0)
        --lockCount_;
}

void TQvEditUndoList::SetMaxUndoActions(Integer Value)
{
    if (Value < 0)
        Value = 0;
    if (Value == maxUndoActions_)
        return;
    maxUndoActions_ = Value;
    EnsureMaxEntries();
}

void TQvEditUndoList::EnsureMaxEntries()
{
    if (stepCount_ <= maxUndoActions_)
        return;
    // Whole steps go, oldest first, with the group breaks above them, so that no step is
    // left half undoable; the step being recorded stays, however many records it has.
    std::size_t drop = 0;
    while (stepCount_ > maxUndoActions_ && drop < items_.size()) {
        const Integer number = items_[drop]->ChangeNumber;
        if (blockChangeNumber_ != 0 && number == blockChangeNumber_)
            break;
        do {
            if (items_[drop]->StartsStep)
                --stepCount_;
            baseChangeNumber_ = items_[drop]->ChangeNumber;
            ++drop;
        } while (drop < items_.size() && !items_[drop]->StartsStep);
        fullUndoImpossible_ = true;
    }
    items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(drop));
}

bool TQvEditUndoList::GetInitialState() const
{
    if (items_.empty())
        return initialChangeNumber_ == baseChangeNumber_;
    return items_.back()->ChangeNumber == initialChangeNumber_;
}

void TQvEditUndoList::SetInitialState(bool Value)
{
    if (Value)
        initialChangeNumber_ = items_.empty() ? baseChangeNumber_ : items_.back()->ChangeNumber;
    else if (GetInitialState())
        initialChangeNumber_ = -1;
}

void TQvEditUndoList::Clear()
{
    items_.clear();
    stepCount_ = 0;
    fullUndoImpossible_ = false;
    baseChangeNumber_ = 0;
}

void TQvEditUndoList::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TQvEditUndoList*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    Clear();
    for (const auto& source : other->items_) {
        auto copy = std::make_unique<TQvEditUndoItem>();
        copy->Assign(source.get());
        copy->StartsStep = source->StartsStep;
        items_.push_back(std::move(copy));
    }
    stepCount_ = other->stepCount_;
    blockChangeNumber_ = other->blockChangeNumber_;
    blockCount_ = other->blockCount_;
    fullUndoImpossible_ = other->fullUndoImpossible_;
    baseChangeNumber_ = other->baseChangeNumber_;
    lockCount_ = other->lockCount_;
    maxUndoActions_ = other->maxUndoActions_;
    nextChangeNumber_ = other->nextChangeNumber_;
}
