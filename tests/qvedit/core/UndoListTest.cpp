#include "qvedit/core/QvEditUndoList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

class TAddedCounter : public TObject {
public:
    void Added(TObject*)
    {
        ++count;
        if (failOnce) {
            failOnce = false;
            throw Exception("listener failed");
        }
    }
    int count = 0;
    bool failOnce = false;
};

void Record(TQvEditUndoList& list, TQvChangeReason reason = crInsert, const char* text = "t")
{
    list.AddChange(reason, TPoint{1, 1}, TPoint{2, 1}, text, smNormal);
}

Integer TopNumber(const TQvEditUndoList& list)
{
    return list.PeekItem() != nullptr ? list.PeekItem()->ChangeNumber : -999;
}

}  // namespace

TEST(UndoList, ChangesShareANumberOnlyInsideABlock)
{
    TQvEditUndoList list;
    Record(list);
    EXPECT_EQ(TopNumber(list), 1);
    Record(list);
    EXPECT_EQ(TopNumber(list), 2);

    list.BeginBlock();
    Record(list);
    list.BeginBlock();
    Record(list);
    list.EndBlock();
    Record(list);
    list.EndBlock();
    EXPECT_EQ(list.ItemCount(), 5);
    std::vector<Integer> numbers;
    while (auto item = list.PopItem())
        numbers.push_back(item->ChangeNumber);
    EXPECT_EQ(numbers, (std::vector<Integer>{3, 3, 3, 2, 1}));

    Record(list);
    EXPECT_EQ(TopNumber(list), 4);
    list.EndBlock();  // without an open block: ignored
    Record(list);
    EXPECT_EQ(TopNumber(list), 5);
}

// Replay gives the list the number of the step it replays: a block a replayed command
// opens records under that number, nested or not.
TEST(UndoList, ABlockKeepsANumberGivenFromOutside)
{
    TQvEditUndoList list;
    Record(list);
    Record(list);
    list.SetBlockChangeNumber(1);
    list.BeginBlock();
    Record(list);
    list.BeginBlock();
    Record(list);
    list.EndBlock();
    list.EndBlock();
    std::vector<Integer> numbers;
    while (auto item = list.PopItem())
        numbers.push_back(item->ChangeNumber);
    EXPECT_EQ(numbers, (std::vector<Integer>{1, 1, 2, 1}));
}

TEST(UndoList, OnAddedSeesRecordsAndTheEndOfABlockThatRecorded)
{
    TQvEditUndoList list;
    TAddedCounter counter;
    list.OnAdded = TNotifyEvent(&counter, &TAddedCounter::Added);
    Record(list);
    EXPECT_EQ(counter.count, 1);
    list.AddGroupBreak();
    EXPECT_EQ(counter.count, 1);

    list.BeginBlock();
    Record(list);
    Record(list);
    list.BeginBlock();
    list.EndBlock();
    EXPECT_EQ(counter.count, 3);
    list.EndBlock();
    EXPECT_EQ(counter.count, 4);

    list.BeginBlock();  // records nothing: no extra notice at its end
    list.EndBlock();
    EXPECT_EQ(counter.count, 4);
}

TEST(UndoList, GroupBreaksNeverStandTogether)
{
    TQvEditUndoList list;
    Record(list);
    list.AddGroupBreak();
    list.AddGroupBreak();
    EXPECT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.LastChangeReason(), crGroupBreak);
    EXPECT_EQ(TopNumber(list), 2);  // a number of its own outside a block
}

TEST(UndoList, TheLimitDropsTheOldestRecords)
{
    TQvEditUndoList list;
    list.SetMaxUndoActions(3);
    Record(list, crInsert, "1");
    Record(list, crInsert, "2");
    Record(list, crInsert, "3");
    EXPECT_FALSE(list.FullUndoImpossible());
    Record(list, crInsert, "4");
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_TRUE(list.FullUndoImpossible());
    std::string texts;
    while (auto item = list.PopItem())
        texts += item->ChangeStr;
    EXPECT_EQ(texts, "432");

    Record(list);
    list.Clear();
    EXPECT_FALSE(list.FullUndoImpossible());
    Record(list);
    EXPECT_EQ(TopNumber(list), 6);  // numbers go on after Clear

    list.SetMaxUndoActions(-5);
    EXPECT_EQ(list.GetMaxUndoActions(), 0);
    EXPECT_EQ(list.ItemCount(), 0);
    Record(list);
    EXPECT_EQ(list.ItemCount(), 0);
}

// The limit counts steps (records of one change number), not records: a step of more
// records than the limit stays whole behind later steps, and older steps go whole.
TEST(UndoList, TheLimitKeepsTheLastStepsWholeWhateverTheirSize)
{
    TQvEditUndoList list;
    list.SetMaxUndoActions(2);
    Record(list, crInsert, "old");
    list.BeginBlock();
    for (int i = 0; i < 5; ++i)
        Record(list, crDelete, "big");
    list.EndBlock();
    EXPECT_EQ(list.ItemCount(), 6);
    EXPECT_FALSE(list.FullUndoImpossible());
    Record(list, crInsert, "key");
    EXPECT_TRUE(list.FullUndoImpossible());
    ASSERT_EQ(list.ItemCount(), 6);
    std::string texts;
    while (auto item = list.PopItem())
        texts += item->ChangeStr + " ";
    EXPECT_EQ(texts, "key big big big big big ");

    // Group breaks are no steps of their own: they go with the step below them. A record
    // taken off and put back is the step it was.
    list.Clear();
    Record(list, crInsert, "a");
    list.AddGroupBreak();
    Record(list, crInsert, "b");
    EXPECT_EQ(list.ItemCount(), 3);
    std::unique_ptr<TQvEditUndoItem> b = list.PopItem();
    list.PushItem(std::move(b));
    EXPECT_EQ(list.ItemCount(), 3);
    Record(list, crInsert, "c");
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(list.PeekItem()->ChangeStr, "c");
    list.PopItem();
    EXPECT_EQ(list.PeekItem()->ChangeStr, "b");
}

namespace {

// The steps of List as Undo takes them: breaks on top passed, trimmed blanks on top first,
// then the records the replay's rule walks through, on a copy taken apart from the top.
Integer WalkedSteps(const TQvEditUndoList& List)
{
    TQvEditUndoList copy;
    copy.Assign(const_cast<TQvEditUndoList*>(&List));
    Integer steps = 0;
    for (;;) {
        while (copy.LastChangeReason() == crGroupBreak)
            copy.PopItem();
        const TQvEditUndoItem* top = copy.PeekItem();
        if (top == nullptr)
            return steps;
        ++steps;
        if (top->ChangeReason == crTrailingBlanks) {
            const Integer number = top->ChangeNumber;
            while ((top = copy.PeekItem()) != nullptr && top->ChangeReason == crTrailingBlanks &&
                   top->ChangeNumber == number)
                copy.PopItem();
            if (top == nullptr || top->ChangeNumber != number)
                continue;
        }
        TQvUndoStep step(*top, List.GetGroupUndo());
        for (;;) {
            step.Took(top->ChangeReason);
            copy.PopItem();
            top = copy.PeekItem();
            if (top == nullptr || !step.GoesOnWith(*top))
                break;
        }
    }
}

}  // namespace

// With group undo a run of typing is one step however many changes it has: the limit keeps
// it whole behind later steps and drops it whole once it is the oldest step too many.
TEST(UndoList, GroupedTypingIsOneStepForTheLimit)
{
    TQvEditUndoList list;
    list.SetGroupUndo(true);
    list.SetMaxUndoActions(2);
    Record(list, crDelete, "old");
    list.AddGroupBreak();
    for (int i = 0; i < 3000; ++i)
        Record(list, crInsert, "t");
    EXPECT_EQ(list.StepCount(), 2);
    EXPECT_EQ(list.ItemCount(), 3002);
    EXPECT_FALSE(list.FullUndoImpossible());
    list.AddGroupBreak();
    Record(list, crInsert, "key");
    EXPECT_TRUE(list.FullUndoImpossible());
    EXPECT_EQ(list.StepCount(), 2);
    ASSERT_EQ(list.ItemCount(), 3002);  // "old" went with the break above it
    list.AddGroupBreak();
    Record(list, crInsert, "more");
    EXPECT_EQ(list.ItemCount(), 3);  // the typed run went whole, with the break above it
    EXPECT_EQ(WalkedSteps(list), 2);

    // Without grouping every change is a step of its own.
    list.Clear();
    list.SetMaxUndoActions(1024);
    for (int i = 0; i < 3000; ++i)
        Record(list, crInsert, "t");
    EXPECT_EQ(list.StepCount(), 1);
    list.SetGroupUndo(false);
    EXPECT_EQ(list.StepCount(), 1024);
    EXPECT_EQ(list.ItemCount(), 1024);
}

// Which changes group: one reason throughout, and not indents; a change that mixes reasons
// stands alone until it is taken back to one reason; trimmed blanks on top of a change do
// not keep it from grouping, blanks under a record do.
TEST(UndoList, StepsFollowTheReplaysRule)
{
    TQvEditUndoList list;
    list.SetGroupUndo(true);
    Record(list, crDelete);
    Record(list, crDelete);
    EXPECT_EQ(list.StepCount(), 1);
    list.BeginBlock();
    Record(list, crDelete);
    EXPECT_EQ(list.StepCount(), 1);
    Record(list, crInsert);  // a replacement: delete and insert
    EXPECT_EQ(list.StepCount(), 2);
    list.EndBlock();
    // An insert goes on into the replacement, whose newest record is an insert, and stops
    // there, as the replacement mixes reasons.
    Record(list, crInsert);
    EXPECT_EQ(list.StepCount(), 2);
    EXPECT_EQ(WalkedSteps(list), 2);
    list.PopItem();
    list.PopItem();  // the block is one delete again
    EXPECT_EQ(list.StepCount(), 1);
    EXPECT_EQ(WalkedSteps(list), 1);

    list.Clear();
    Record(list, crIndent);
    Record(list, crIndent);
    EXPECT_EQ(list.StepCount(), 2);

    list.Clear();
    Record(list, crInsert);
    list.BeginBlock();
    Record(list, crInsert);
    Record(list, crTrailingBlanks);
    list.EndBlock();
    EXPECT_EQ(list.StepCount(), 1);
    Record(list, crInsert);  // what is above trimmed blanks does not go on into them
    EXPECT_EQ(list.StepCount(), 2);
    EXPECT_EQ(WalkedSteps(list), 2);
}

// Random records, blocks, breaks, pops, limits and switches of grouping: the list's count
// of steps is always the number of Undos that take it apart, and within the limit.
TEST(UndoList, TheCountOfStepsIsWhatUndoTakesApart)
{
    const TQvChangeReason reasons[] = {crInsert, crDelete, crTrailingBlanks, crIndent, crLineBreak, crPaste};
    std::uint32_t seed = 12345;
    const auto next = [&](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int session = 0; session < 200; ++session) {
        TQvEditUndoList list;
        list.SetGroupUndo(next(4) != 0);
        list.SetMaxUndoActions(static_cast<Integer>(2 + next(12)));
        for (int op = 0; op < 150; ++op) {
            const std::uint32_t what = next(100);
            if (what < 40) {
                Record(list, reasons[next(6)]);
            } else if (what < 60) {
                list.BeginBlock();
                for (std::uint32_t i = 0, n = 1 + next(5); i < n; ++i)
                    Record(list, next(3) == 0 ? reasons[next(6)] : crInsert);
                list.EndBlock();
            } else if (what < 72) {
                list.AddGroupBreak();
            } else if (what < 92) {
                list.PopItem();
            } else if (what < 96) {
                list.SetGroupUndo(!list.GetGroupUndo());
            } else {
                list.SetMaxUndoActions(static_cast<Integer>(1 + next(12)));
            }
            ASSERT_EQ(list.StepCount(), WalkedSteps(list)) << "session " << session << " op " << op;
            ASSERT_LE(list.StepCount(), list.GetMaxUndoActions()) << "session " << session << " op " << op;
        }
    }
}

// A hundred thousand records in one step, then a record: the step stays.
TEST(UndoList, AHugeStepStaysBehindTheNextRecord)
{
    TQvEditUndoList list;
    list.BeginBlock();
    for (int i = 0; i < 100000; ++i)
        Record(list);
    list.EndBlock();
    Record(list, crDelete, "next");
    EXPECT_EQ(list.ItemCount(), 100001);
    EXPECT_FALSE(list.FullUndoImpossible());
}

TEST(UndoList, InitialStateMarksTheSavedChange)
{
    TQvEditUndoList list;
    EXPECT_EQ(list.LastChangeReason(), crNothing);
    EXPECT_TRUE(list.GetInitialState());
    list.SetInitialState(true);
    Record(list);
    EXPECT_FALSE(list.GetInitialState());
    std::unique_ptr<TQvEditUndoItem> popped = list.PopItem();
    EXPECT_TRUE(list.GetInitialState());

    Record(list);
    list.SetInitialState(true);
    EXPECT_TRUE(list.GetInitialState());
    list.SetInitialState(false);
    EXPECT_FALSE(list.GetInitialState());
    list.PopItem();
    EXPECT_FALSE(list.GetInitialState());  // the saved state is gone for good
    list.PushItem(std::move(popped));
    EXPECT_FALSE(list.GetInitialState());
}

// Once the limit dropped records, the emptied list stands for the state after the last
// dropped one: saved when the save came there, not saved when it came before.
TEST(UndoList, AnEmptiedListAfterDroppedRecordsIsTheSavedStateOnlyWhenItWas)
{
    for (bool savedAfterDropped : {false, true}) {
        TQvEditUndoList list;
        list.SetMaxUndoActions(1);
        list.SetInitialState(true);  // saved with nothing recorded
        Record(list, crInsert, "old");
        if (savedAfterDropped)
            list.SetInitialState(true);
        list.BeginBlock();
        for (int i = 0; i < 3; ++i)
            Record(list);
        list.EndBlock();
        ASSERT_EQ(list.ItemCount(), 3);  // the block stays whole, the older record went
        EXPECT_FALSE(list.GetInitialState());
        while (list.PopItem())
            ;
        EXPECT_EQ(list.GetInitialState(), savedAfterDropped) << savedAfterDropped;
        list.SetInitialState(true);
        EXPECT_TRUE(list.GetInitialState());
        Record(list);
        EXPECT_FALSE(list.GetInitialState());
    }
}

TEST(UndoList, LockedListsRecordNothing)
{
    TQvEditUndoList list;
    list.Lock();
    list.Lock();
    Record(list);
    list.Unlock();
    Record(list);
    EXPECT_EQ(list.ItemCount(), 0);
    list.Unlock();
    list.Unlock();  // never below 0
    EXPECT_EQ(list.LockCount(), 0);
    Record(list);
    EXPECT_EQ(TopNumber(list), 1);
}

TEST(UndoList, ARecordStaysOwnedByTheListWhenOnAddedRaises)
{
    TQvEditUndoList list;
    TAddedCounter counter;
    counter.failOnce = true;
    list.OnAdded = TNotifyEvent(&counter, &TAddedCounter::Added);
    EXPECT_THROW(Record(list, crDelete, "kept"), Exception);
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.PeekItem()->ChangeStr, "kept");
    Record(list);
    EXPECT_EQ(list.ItemCount(), 2);
}

TEST(UndoList, PushAndPopMoveOwnership)
{
    TQvEditUndoList undo;
    TQvEditUndoList redo;
    undo.PushItem(nullptr);
    EXPECT_EQ(undo.ItemCount(), 0);
    EXPECT_EQ(undo.PopItem(), nullptr);
    Record(undo, crPaste, "moved");
    redo.PushItem(undo.PopItem());
    EXPECT_FALSE(undo.CanUndo());
    ASSERT_TRUE(redo.CanUndo());
    EXPECT_EQ(redo.PeekItem()->ChangeReason, crPaste);
    EXPECT_EQ(redo.PeekItem()->ChangeStr, "moved");
}

TEST(UndoList, AssignCopiesRecordsAndNumbers)
{
    TQvEditUndoList source;
    source.SetMaxUndoActions(10);
    Record(source, crInsert, "a");
    Record(source, crDelete, "b");
    source.BeginBlock();
    TQvEditUndoList copy;
    copy.Assign(&source);
    ASSERT_EQ(copy.ItemCount(), 2);
    EXPECT_EQ(copy.PeekItem()->ChangeStr, "b");
    EXPECT_NE(copy.PeekItem(), source.PeekItem());
    EXPECT_EQ(copy.GetMaxUndoActions(), 10);
    EXPECT_EQ(copy.BlockCount(), 1);
    Record(copy);
    EXPECT_EQ(TopNumber(copy), 3);
}
