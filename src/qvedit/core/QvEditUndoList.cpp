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
    NoteRunOfTop();
    UpdateTopJoin();
    EnsureMaxEntries();
    if (reason != crGroupBreak && OnAdded)
        OnAdded(this);
}

// A record of the number of the nearest record below it that is not a group break goes on
// that record's run; any other record but a break starts a run. A break belongs to no run
// of its own: it goes with the step below it. Only the breaks on top are passed over.
void TQvEditUndoList::NoteRunOfTop()
{
    const std::size_t top = items_.size() - 1;
    TQvEditUndoItem& item = *items_[top];
    item.RunStart = false;
    item.JoinsBelow = false;
    item.RunDepth = 0;
    if (item.ChangeReason == crGroupBreak)
        return;
    std::size_t below = top;
    while (below > 0 && items_[below - 1]->ChangeReason == crGroupBreak)
        --below;
    const TQvEditUndoItem* previous = below > 0 ? items_[below - 1].get() : nullptr;
    const bool trimmed = item.ChangeReason == crTrailingBlanks;
    if (previous != nullptr && previous->ChangeNumber == item.ChangeNumber) {
        item.RunDepth = previous->RunDepth + static_cast<Integer>(top - (below - 1));
        if (trimmed) {
            // Undo takes trimmed blanks on top back before the step they belong to.
            item.RunReason = previous->RunReason;
            item.RunUniform = previous->RunUniform;
            item.TrimmedTop = true;
        } else {
            // Blanks under a record, or a record of another reason, mix the run.
            item.RunReason = item.ChangeReason;
            item.RunUniform = previous->RunUniform && !previous->TrimmedTop &&
                              previous->RunReason == item.ChangeReason;
            item.TrimmedTop = false;
        }
        return;
    }
    item.RunReason = item.ChangeReason;
    item.RunUniform = true;
    item.TrimmedTop = trimmed;
    item.RunStart = true;
    ++runCount_;
    item.HasBelow = top > 0;
    item.BelowReason = top > 0 ? items_[top - 1]->ChangeReason : crNothing;
}

void TQvEditUndoList::SetJoinsBelow(TQvEditUndoItem& RunStart, bool Value)
{
    if (RunStart.JoinsBelow == Value)
        return;
    RunStart.JoinsBelow = Value;
    joinCount_ += Value ? 1 : -1;
}

// The newest run is the only one whose records still change; whether it joins the run
// below follows from the notes of its newest record and of its oldest.
void TQvEditUndoList::UpdateTopJoin()
{
    std::size_t top = items_.size();
    while (top > 0 && items_[top - 1]->ChangeReason == crGroupBreak)
        --top;
    if (top == 0)
        return;
    const TQvEditUndoItem& newest = *items_[top - 1];
    const auto depth = static_cast<std::size_t>(newest.RunDepth);
    if (depth >= top)
        return;
    TQvEditUndoItem& oldest = *items_[top - 1 - depth];
    if (!oldest.RunStart)
        return;
    SetJoinsBelow(oldest, oldest.HasBelow && TQvUndoStep::Joins(true, newest.RunReason, newest.RunUniform,
                                                                    oldest.BelowReason));
}

void TQvEditUndoList::SetGroupUndo(bool Value)
{
    if (Value == groupUndo_)
        return;
    groupUndo_ = Value;
    EnsureMaxEntries();
}

std::unique_ptr<TQvEditUndoItem> TQvEditUndoList::PopItem()
{
    if (items_.empty())
        return nullptr;
    std::unique_ptr<TQvEditUndoItem> item = std::move(items_.back());
    items_.pop_back();
    if (item->RunStart) {
        --runCount_;
        SetJoinsBelow(*item, false);
    }
    if (!items_.empty())
        UpdateTopJoin();
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
    if (StepCount() <= maxUndoActions_)
        return;
    // Whole steps go, oldest first, with the group breaks above them, so that no step is
    // left half undoable; the step being recorded (the newest) stays, however many
    // records it has.
    std::size_t drop = 0;
    while (StepCount() > maxUndoActions_ && drop < items_.size()) {
        if (blockChangeNumber_ != 0 && StepCount() <= 1)
            break;
        do {
            if (items_[drop]->RunStart) {
                --runCount_;
                SetJoinsBelow(*items_[drop], false);
            }
            baseChangeNumber_ = items_[drop]->ChangeNumber;
            ++drop;
        } while (drop < items_.size() && !StartsStep(*items_[drop]));
        fullUndoImpossible_ = true;
    }
    items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(drop));
    // The oldest run left has nothing below it to join.
    if (!items_.empty()) {
        TQvEditUndoItem& front = *items_.front();
        front.HasBelow = false;
        if (front.RunStart)
            SetJoinsBelow(front, false);
    }
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
    runCount_ = 0;
    joinCount_ = 0;
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
        copy->RunStart = source->RunStart;
        copy->RunDepth = source->RunDepth;
        copy->RunReason = source->RunReason;
        copy->RunUniform = source->RunUniform;
        copy->TrimmedTop = source->TrimmedTop;
        copy->HasBelow = source->HasBelow;
        copy->BelowReason = source->BelowReason;
        copy->JoinsBelow = source->JoinsBelow;
        items_.push_back(std::move(copy));
    }
    runCount_ = other->runCount_;
    joinCount_ = other->joinCount_;
    groupUndo_ = other->groupUndo_;
    blockChangeNumber_ = other->blockChangeNumber_;
    blockCount_ = other->blockCount_;
    fullUndoImpossible_ = other->fullUndoImpossible_;
    baseChangeNumber_ = other->baseChangeNumber_;
    lockCount_ = other->lockCount_;
    maxUndoActions_ = other->maxUndoActions_;
    nextChangeNumber_ = other->nextChangeNumber_;
}
