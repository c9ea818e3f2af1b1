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

void TQvEditUndoList::PushItem(std::unique_ptr<TQvEditUndoItem> Item)
{
    if (!Item)
        return;
    TQvChangeReason reason = Item->ChangeReason;
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
    if (static_cast<Integer>(items_.size()) <= maxUndoActions_)
        return;
    fullUndoImpossible_ = true;
    // Whole change numbers go, oldest first, so that no step is left half undoable; the
    // records of the block being recorded stay, however many there are.
    const auto max = static_cast<std::size_t>(maxUndoActions_);
    std::size_t drop = 0;
    while (items_.size() - drop > max) {
        const Integer number = items_[drop]->ChangeNumber;
        if (blockChangeNumber_ != 0 && number == blockChangeNumber_)
            break;
        while (drop < items_.size() && items_[drop]->ChangeNumber == number)
            ++drop;
        baseChangeNumber_ = number;
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
    items_.reserve(other->items_.size());
    for (const auto& source : other->items_) {
        auto copy = std::make_unique<TQvEditUndoItem>();
        copy->Assign(source.get());
        items_.push_back(std::move(copy));
    }
    blockChangeNumber_ = other->blockChangeNumber_;
    blockCount_ = other->blockCount_;
    fullUndoImpossible_ = other->fullUndoImpossible_;
    baseChangeNumber_ = other->baseChangeNumber_;
    lockCount_ = other->lockCount_;
    maxUndoActions_ = other->maxUndoActions_;
    nextChangeNumber_ = other->nextChangeNumber_;
}
