// Lines that borrow their bytes from a block of text (a loaded file, lines put in bulk):
// many lines come and go with a few allocations and frees, and a block goes with the last
// line that borrows from it, not when the list is emptied.
#include "qvedit/core/QvEditTextBuffer.h"

#include "HeapCount.h"
#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Lines numbered from First, each longer than a record holds in place; joined by End.
std::string NumberedLines(int Count, const std::string& End, int First = 0)
{
    std::string text;
    for (int i = First; i < First + Count; ++i)
        text += "line number " + std::to_string(i) + " of the text" + (i + 1 < First + Count ? End : "");
    return text;
}

std::vector<std::string> LinesOf(const TQvEditStringList& List)
{
    std::vector<std::string> lines;
    for (int i = 0; i < List.Count(); ++i)
        lines.push_back(List.Get(i));
    return lines;
}

class TPutLog : public TObject {
public:
    void Putted(Integer Index, std::string_view S) { puts.push_back(std::to_string(Index) + " " + std::string(S)); }
    std::vector<std::string> puts;
};

#define SKIP_WITHOUT_HEAP_COUNT()   \
    if (!heapcount::Available()) \
    GTEST_SKIP() << heapcount::Unavailable

}  // namespace

// Each line as a reader that stops at a NUL (a highlighter) is given it: its own text
// followed by a NUL, read where the line lies when it is longer than its record holds.
void ExpectLinesFollowedByANul(const TQvEditStringList& List, const std::vector<std::string>& Expected)
{
    ASSERT_EQ(List.Count(), static_cast<int>(Expected.size()));
    for (int i = 0; i < List.Count(); ++i) {
        std::string scratch;
        const std::string_view line = List.GetTerminatedView(i, scratch);
        EXPECT_EQ(line, Expected[static_cast<std::size_t>(i)]) << "line " << i;
        EXPECT_EQ(line.data()[line.size()], '\0') << "line " << i;
        if (line.size() > TQvLineText::MaxInline) {
            EXPECT_EQ(line.data(), List.GetView(i).data()) << "line " << i << " is copied";
        }
    }
}

// The loaded text is kept while one line borrows from it, and goes when that line is
// rewritten, though the list still has a line.
TEST(TextBufferBlocks, ALoadedTextGoesWithTheLastLineBorrowingFromIt)
{
    SKIP_WITHOUT_HEAP_COUNT();
    const std::string text = NumberedLines(20000, "\r\n");
    TQvEditStringList list;
    TStringStream in(text);
    list.LoadFromStream(&in);
    const std::size_t loaded = heapcount::AllocatedBytes();
    list.DeleteLines(0, 10000);
    list.DeleteLines(1, list.Count() - 1);
    ASSERT_EQ(LinesOf(list), std::vector<std::string>{"line number 10000 of the text"});
    EXPECT_GT(heapcount::AllocatedBytes() + text.size() / 2, loaded) << "the text went before its last line";

    list.Put(0, "typed over");
    EXPECT_LE(heapcount::AllocatedBytes() + text.size(), loaded) << "the text is still held";
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// A file of short lines only: every line is held in its record, and nothing borrows from
// the text read.
TEST(TextBufferBlocks, AFileOfShortLinesIsNotKept)
{
    SKIP_WITHOUT_HEAP_COUNT();
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "line " + std::to_string(i % 1000) + "\n";
    TQvEditStringList list;
    TStringStream in(text);
    const std::size_t before = heapcount::AllocatedBytes();
    list.LoadFromStream(&in);
    ASSERT_EQ(list.Count(), 100000);
    EXPECT_EQ(list.Get(99999), "line 999");
    const std::size_t records = static_cast<std::size_t>(list.GetCapacity()) * sizeof(TQvEditStringRec);
    EXPECT_LE(heapcount::AllocatedBytes(), before + records + text.size() / 10);
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Ten thousand lines put in at once: one block for them all, each line told of as Put
// tells it; removed again with a free or two and none of their records read, the memory
// back where it was.
TEST(TextBufferBlocks, LinesPutInBulkComeAndGoWithAFewAllocations)
{
    SKIP_WITHOUT_HEAP_COUNT();
    constexpr int Lines = 10000;
    // Short lines, which records hold in place, among long ones; every kind of line end.
    std::string text = NumberedLines(Lines / 2, "\r\n") + "\rshort\n\r\n" + NumberedLines(Lines / 2 - 2, "\n", Lines);
    TQvEditStringList list;
    list.Add("above");
    list.Add("below");
    list.InsertLines(1, Lines);
    const std::size_t before = heapcount::AllocatedBytes();
    {
        heapcount::TScope heap;
        EXPECT_EQ(list.PutLines(1, "head ", text, " tail"), Lines);
        EXPECT_LT(heap.Allocations(), 10u) << "allocations for " << Lines << " lines";
    }
    // A listener hears of every line as Put tells it.
    {
        TQvEditStringList heard;
        TPutLog log;
        heard.OnPutted = TStringListInsertedEvent(&log, &TPutLog::Putted);
        heard.InsertLines(0, Lines + 1);
        heard.PutLines(1, "head ", text, " tail");
        ASSERT_EQ(log.puts.size(), static_cast<std::size_t>(Lines));
        EXPECT_EQ(log.puts[0], "1 head line number 0 of the text");
        EXPECT_EQ(log.puts[Lines / 2], "5001 short");
        EXPECT_EQ(log.puts[Lines - 1], std::to_string(Lines) + " line number 14997 of the text tail");
    }
    text.assign(text.size(), '?');  // the lines hold their own copy
    ASSERT_EQ(list.Count(), Lines + 2);
    EXPECT_EQ(list.Get(0), "above");
    EXPECT_EQ(list.Get(1), "head line number 0 of the text");
    EXPECT_EQ(list.Get(Lines / 2), "line number 4999 of the text");
    EXPECT_EQ(list.Get(Lines / 2 + 1), "short");
    EXPECT_EQ(list.Get(Lines / 2 + 2), "");
    EXPECT_EQ(list.Get(Lines), "line number 14997 of the text tail");
    EXPECT_EQ(list.Get(Lines + 1), "below");
    EXPECT_EQ(list.GetExpandedStringLength(Lines / 2 + 1), 5);
    EXPECT_EQ(list.TextBlockCount(), 1u);

    // Most lines go: what they held is found from the two that stay, none of them is read.
    {
        const std::size_t released = list.RecordsReleased();
        heapcount::TScope heap;
        list.DeleteLines(1, Lines);
        EXPECT_LE(heap.Frees(), 2u) << "frees for " << Lines << " lines (the block, the tally of what stays)";
        EXPECT_EQ(list.RecordsReleased(), released);
    }
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"above", "below"}));
    EXPECT_LE(heapcount::AllocatedBytes(), before + 1024);
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Its lines leave a block one by one, in any order, rewritten or deleted; it goes with the
// last, and not before.
TEST(TextBufferBlocks, ABlockGoesWithItsLastLineWhicheverThatIs)
{
    constexpr int Lines = 200;
    TQvEditStringList list;
    list.InsertLines(0, Lines);
    list.PutLines(0, {}, NumberedLines(Lines, "\n"), {});
    std::vector<bool> borrows(Lines, true);
    int left = Lines;
    for (unsigned step = 0; left > 0; ++step) {
        ASSERT_EQ(list.TextBlockCount(), 1u) << left << " lines borrow";
        const int at = static_cast<int>(step * 7919u % static_cast<unsigned>(list.Count()));
        left -= borrows[static_cast<std::size_t>(at)] ? 1 : 0;
        if (step % 3 == 0) {
            list.Delete(at);
            borrows.erase(borrows.begin() + at);
        } else {
            list.Put(at, "rewritten line, longer than a record holds");
            borrows[static_cast<std::size_t>(at)] = false;
        }
    }
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Below a few dozen lines each line gets its own copy, as Put gives it: no block. The
// head and the tail join the text's first and last lines as they are: only the text is
// split, and a line-break character the head or the tail holds stays in its line.
TEST(TextBufferBlocks, AFewLinesPutInAreCopiedOneByOne)
{
    TQvEditStringList list;
    list.InsertLines(0, 3);
    EXPECT_EQ(list.PutLines(0, "he\nad ", "a line longer than a record holds\r\nb\r", "\n tail"), 3);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"he\nad a line longer than a record holds", "b", "\n tail"}));
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// The same for lines put in bulk, which borrow from one block: each is followed by a NUL
// there, also the first and the last with the breaks of the head and the tail in them.
TEST(TextBufferBlocks, LinesPutInBulkKeepTheBreaksOfTheHeadAndTheTail)
{
    constexpr int Lines = 300;
    TQvEditStringList list;
    list.InsertLines(0, Lines);
    const std::string head = "a head holding\r\nbreaks\r";
    const std::string tail = "\na tail holding\nbreaks";
    EXPECT_EQ(list.PutLines(0, head, NumberedLines(Lines, "\n"), tail), Lines);
    EXPECT_EQ(list.TextBlockCount(), 1u);
    std::string scratch;
    for (const auto& [i, text] : {std::pair{0, head + "line number 0 of the text"},
                                  std::pair{Lines - 1, "line number 299 of the text" + tail}}) {
        const std::string_view line = list.GetTerminatedView(i, scratch);
        EXPECT_EQ(line, text);
        EXPECT_EQ(line.data()[line.size()], '\0') << "line " << i;
    }
}

// Lines are put only where lines are; the index and the message are those of Put.
TEST(TextBufferBlocks, PuttingPastTheLastLineRaises)
{
    TQvEditStringList list;
    list.InsertLines(0, 2);
    try {
        list.PutLines(1, {}, "one\ntwo", {});
        FAIL() << "no error";
    } catch (const EQvEditStringList& e) {
        EXPECT_EQ(e.Message(), "Invalid stringlist index 1");
    }
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"", ""}));
}

namespace {

// Empties the list when it hears of line 70.
class TEmptyingListener : public TObject {
public:
    explicit TEmptyingListener(TQvEditStringList& List) : list_(List) {}
    void Putted(Integer Index, std::string_view)
    {
        if (Index == 70)
            list_.Clear();
    }

private:
    TQvEditStringList& list_;
};

}  // namespace

// A listener that takes the lines away while they are put: the next line raises, and the
// block goes with the lines (the sanitizer build reports it when it is kept).
TEST(TextBufferBlocks, AListenerEmptyingTheListWhileLinesArePutLeavesNoBlock)
{
    TQvEditStringList list;
    TEmptyingListener listener(list);
    list.InsertLines(0, 300);
    list.OnPutted = TStringListInsertedEvent(&listener, &TEmptyingListener::Putted);
    EXPECT_THROW(list.PutLines(0, {}, NumberedLines(300, "\n"), {}), EQvEditStringList);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Removing lines moves the records between them and the room among the records, never
// the records removed: the lines after the gap are deleted where they are.
TEST(TextBufferBlocks, DeletingLinesMovesNoneOfTheRecordsDeleted)
{
    TQvEditStringList list;
    for (int i = 0; i < 1000; ++i)
        list.Add("line " + std::to_string(i));
    std::size_t moved = list.RecordsMoved();
    list.DeleteLines(100, 800);
    EXPECT_LE(list.RecordsMoved() - moved, 100u);
    EXPECT_EQ(list.Get(99), "line 99");
    EXPECT_EQ(list.Get(100), "line 900");
    // The room is after line 99 now, among the lines deleted next: nothing moves.
    moved = list.RecordsMoved();
    list.DeleteLines(50, 100);
    EXPECT_EQ(list.RecordsMoved() - moved, 0u);
    EXPECT_EQ(list.Get(49), "line 49");
    EXPECT_EQ(list.Get(50), "line 950");
    EXPECT_EQ(list.Count(), 100);
}

// All but a few lines go: what the lines removed held is found from the lines that stay.
// A block a line that stays borrows from is kept, one none borrows from goes, and a text
// a removed line had allocated for itself is freed all the same.
TEST(TextBufferBlocks, MostLinesRemovedGiveBackWhatTheyHeldFromTheLinesThatStay)
{
    constexpr int Lines = 3000;
    TQvEditStringList list;
    list.InsertLines(0, 2 * Lines);
    list.PutLines(0, {}, NumberedLines(Lines, "\n"), {});
    list.PutLines(Lines, {}, NumberedLines(Lines, "\n", Lines), {});
    ASSERT_EQ(list.TextBlockCount(), 2u);
    list.Put(10, "a line of its own, longer than a record holds");
    // Lines 10 (its own text) and 11 (borrowed from the first block) stay.
    list.DeleteLines(12, 2 * Lines - 12);
    list.DeleteLines(0, 10);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a line of its own, longer than a record holds",
                                                       "line number 11 of the text"}));
    EXPECT_EQ(list.TextBlockCount(), 1u);
    list.Delete(0);
    EXPECT_EQ(list.TextBlockCount(), 1u);
    list.Delete(0);
    EXPECT_EQ(list.TextBlockCount(), 0u);

    // A text of its own among the lines removed is freed (the sanitizer build reports it
    // otherwise); the blocks go.
    list.InsertLines(0, Lines);
    list.PutLines(0, {}, NumberedLines(Lines, "\r\n"), {});
    list.Put(Lines / 2, "another line of its own, longer than a record holds");
    list.Put(0, "first");
    list.DeleteLines(1, Lines - 1);
    EXPECT_EQ(LinesOf(list), std::vector<std::string>{"first"});
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Emptying the list of a loaded text frees the text without reading a line; a line with a
// text of its own has it freed all the same.
TEST(TextBufferBlocks, EmptyingTheListFreesTheBlocksWithoutReadingTheLines)
{
    TQvEditStringList list;
    TStringStream in(NumberedLines(5000, "\n"));
    list.LoadFromStream(&in);
    list.InsertLines(100, 200);
    list.PutLines(100, {}, NumberedLines(200, "\r\n", 5000), {});
    ASSERT_EQ(list.TextBlockCount(), 2u);
    const std::size_t released = list.RecordsReleased();
    list.Clear();
    EXPECT_EQ(list.RecordsReleased(), released);
    EXPECT_EQ(list.TextBlockCount(), 0u);

    list.LoadFromStream(&in);
    list.Put(7, "a line of its own, longer than a record holds");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.TextBlockCount(), 0u);
}

// Lines loaded with every kind of line end, put in bulk, or typed over are each followed
// by a NUL where they lie, and keep their texts; with no final line break kept, a file
// ending in a line end still ends in an empty line.
TEST(TextBufferBlocks, EveryLineIsFollowedByANulWhereItLies)
{
    const std::string longer = "a line longer than a record holds ";
    const std::string text = longer + "0\r\nshort\n" + longer + "1\r" + longer + std::string("2\0", 2) + longer +
                             "3\n\r" + longer + "4\r\n";
    const std::vector<std::string> loaded = {longer + "0", "short", longer + "1", longer + "2",
                                             longer + "3", "",      longer + "4"};
    for (const bool finalBreak : {true, false}) {
        SCOPED_TRACE(finalBreak ? "a final line break" : "no final line break");
        TQvEditStringList list;
        list.SetFinalLineBreak(finalBreak);
        TStringStream in(text);
        list.LoadFromStream(&in);
        std::vector<std::string> expected = loaded;
        if (!finalBreak)
            expected.emplace_back();
        ExpectLinesFollowedByANul(list, expected);
    }

    // Lines put in bulk borrow from one block; a line typed over holds its own bytes.
    const std::string bulk = NumberedLines(100, "\r\n") + "\n" + NumberedLines(100, "\n", 100);
    TQvEditStringList list;
    list.InsertLines(0, 200);
    ASSERT_EQ(list.PutLines(0, "", bulk, ""), 200);
    ASSERT_EQ(list.TextBlockCount(), 1u);
    list.Put(7, longer + "typed");
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i)
        expected.push_back("line number " + std::to_string(i) + " of the text");
    expected[7] = longer + "typed";
    ExpectLinesFollowedByANul(list, expected);
}
