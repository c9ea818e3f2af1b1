#include "qvedit/core/QvEditUndoList.h"

#include <gtest/gtest.h>

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
