#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down every event of a list as a short text.
class TEventLog : public TObject {
public:
    explicit TEventLog(TQvEditStringList& list)
    {
        list.OnChanging = TNotifyEvent(this, &TEventLog::Changing);
        list.OnChange = TNotifyEvent(this, &TEventLog::Change);
        list.OnAdded = TStringListInsertedEvent(this, &TEventLog::Added);
        list.OnInserted = TStringListInsertedEvent(this, &TEventLog::Inserted);
        list.OnPutted = TStringListInsertedEvent(this, &TEventLog::Putted);
        list.OnDeleted = TStringListIndexEvent(this, &TEventLog::Deleted);
        list.OnCleared = TNotifyEvent(this, &TEventLog::Cleared);
    }
    std::vector<std::string> Take() { return std::exchange(entries, {}); }

    std::vector<std::string> entries;

private:
    void Changing(TObject*) { entries.push_back("changing"); }
    void Change(TObject*) { entries.push_back("change"); }
    void Added(Integer i, std::string_view s) { entries.push_back(Note("added", i, s)); }
    void Inserted(Integer i, std::string_view s) { entries.push_back(Note("inserted", i, s)); }
    void Putted(Integer i, std::string_view s) { entries.push_back(Note("putted", i, s)); }
    void Deleted(Integer i) { entries.push_back("deleted " + std::to_string(i)); }
    void Cleared(TObject*) { entries.push_back("cleared"); }
    static std::string Note(const char* what, Integer i, std::string_view s)
    {
        return std::string(what) + " " + std::to_string(i) + " " + std::string(s);
    }
};

std::vector<std::string> LinesOf(TQvEditStringList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Strings(i));
    return lines;
}

void Fill(TQvEditStringList& list, std::initializer_list<const char*> lines)
{
    for (const char* line : lines)
        list.Add(line);
}

template <class Call>
std::string ErrorOf(Call call)
{
    try {
        call();
    } catch (const EQvEditStringList& e) {
        return e.Message();
    }
    return "no error";
}

// A stream that claims more bytes than it can deliver.
class TShortStream : public TStringStream {
public:
    TShortStream() : TStringStream("line 1\nline 2\n") {}
    Int64 Read(void* Buffer, Int64 Count) override
    {
        return TStringStream::Read(Buffer, Count > 4 ? 4 : Count);
    }
};

}  // namespace

TEST(TextBuffer, ReadsOutsideTheListGiveEmptyValues)
{
    TQvEditStringList list;
    TObject marker;
    Fill(list, {"a"});
    list.PutObject(0, &marker);
    EXPECT_EQ(list.Strings(-1), "");
    EXPECT_EQ(list.Strings(1), "");
    EXPECT_EQ(list.GetRange(1), 0);
    EXPECT_EQ(list.GetObject(1), nullptr);
    EXPECT_EQ(list.GetObject(0), &marker);
    EXPECT_EQ(list.GetExpandedString(-1), "");
    EXPECT_EQ(list.GetExpandedStringLength(5), 0);
}

TEST(TextBuffer, ChangesOutsideTheListRaiseWithTheIndex)
{
    TQvEditStringList list;
    Fill(list, {"a"});
    EXPECT_EQ(ErrorOf([&] { list.Insert(2, "x"); }), "Invalid stringlist index 2");
    EXPECT_EQ(ErrorOf([&] { list.Put(-1, "x"); }), "Invalid stringlist index -1");
    EXPECT_EQ(ErrorOf([&] { list.Put(3, "x"); }), "Invalid stringlist index 3");
    EXPECT_EQ(ErrorOf([&] { list.Delete(1); }), "Invalid stringlist index 1");
    EXPECT_EQ(ErrorOf([&] { list.Exchange(0, 4); }), "Invalid stringlist index 4");
    EXPECT_EQ(ErrorOf([&] { list.PutRange(1, 7); }), "Invalid stringlist index 1");
    EXPECT_EQ(ErrorOf([&] { list.PutObject(-2, nullptr); }), "Invalid stringlist index -2");
    EXPECT_EQ(ErrorOf([&] { list.DeleteLines(2, 1); }), "Invalid stringlist index 2");
    EXPECT_EQ(ErrorOf([&] { list.InsertLines(-1, 1); }), "Invalid stringlist index -1");
    EXPECT_EQ(LinesOf(list), std::vector<std::string>{"a"});
}

TEST(TextBuffer, PutAtTheEndAppends)
{
    TQvEditStringList list;
    list.Put(0, "first");
    list.Put(1, "second");
    list.Put(0, "replaced");
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"replaced", "second"}));
}

TEST(TextBuffer, EveryChangeReportsItselfInsideOneBracket)
{
    TQvEditStringList list;
    TEventLog log(list);
    list.Add("a");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "added 0 a", "change"}));
    list.Insert(0, "b");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "inserted 0 b", "change"}));
    list.Put(1, "c");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "putted 1 c", "change"}));
    list.Delete(0);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "deleted 0", "change"}));
    list.Clear();
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "cleared", "change"}));
    // An empty list changes no line: it says only that it was cleared, so that what was
    // kept for its old text goes too.
    list.Clear();
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"cleared"}));

    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{"changing", "added 0 x", "added 1 y", "change"}));
}

TEST(TextBuffer, BlockOperationsReportOnce)
{
    TQvEditStringList list;
    Fill(list, {"a", "b", "c", "d"});
    TEventLog log(list);
    list.InsertLines(1, 3);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "added 1 ", "change"}));
    EXPECT_EQ(list.Count(), 7);
    list.DeleteLines(1, 3);
    EXPECT_EQ(log.Take(), std::vector<std::string>{"deleted 1"});
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b", "c", "d"}));

    list.DeleteLines(2, 100);  // cut at the last line
    EXPECT_EQ(log.Take(), std::vector<std::string>{"deleted 2"});
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b"}));
    list.DeleteLines(0, 0);
    EXPECT_TRUE(log.Take().empty());

    TStringList source;
    source.Add("p");
    source.Add("q");
    list.AddStrings(&source);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "added 2 ", "change"}));
    list.InsertStrings(1, &source);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "added 1 ", "putted 1 p",
                                                    "putted 2 q", "change"}));
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "p", "q", "b", "p", "q"}));
}

TEST(TextBuffer, LoadingReportsEveryLine)
{
    TQvEditStringList list;
    Fill(list, {"old"});
    TEventLog log(list);
    TStringStream in("x\r\ny\r\n");
    list.LoadFromStream(&in);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing", "cleared", "added 0 x",
                                                    "added 1 y", "change"}));
}

TEST(TextBuffer, RecordsKeepRangesAndObjects)
{
    TQvEditStringList list;
    TObject marker;
    Fill(list, {"a", "b"});
    EXPECT_EQ(list.GetRange(0), NoRange);
    list.PutRange(0, 42);
    list.PutObject(0, &marker);
    list.Put(0, "changed text that is longer than a few bytes");
    EXPECT_EQ(list.GetRange(0), 42);
    EXPECT_EQ(list.GetObject(0), &marker);

    list.InsertLines(1, 2);
    EXPECT_EQ(list.GetRange(1), 0);
    EXPECT_EQ(list.Strings(1), "");
    EXPECT_EQ(list.GetExpandedStringLength(1), 0);

    list.Exchange(0, 3);
    EXPECT_EQ(list.Strings(3), "changed text that is longer than a few bytes");
    EXPECT_EQ(list.GetObject(3), &marker);
    EXPECT_EQ(list.GetRange(3), 42);
    EXPECT_EQ(list.Strings(0), "b");
}

TEST(TextBuffer, ExpandedLengthFollowsTextAndTabWidth)
{
    TQvEditStringList list;
    Fill(list, {"a\tb", "plain"});
    EXPECT_EQ(list.GetExpandedStringLength(0), 9);
    EXPECT_EQ(list.GetExpandedString(0), "a\t\t\t\t\t\t\tb");
    EXPECT_EQ(list.GetExpandedString(1), "plain");
    list.SetTabWidth(4);
    EXPECT_EQ(list.GetExpandedStringLength(0), 5);
    list.Put(0, "\t\t");
    EXPECT_EQ(list.GetExpandedStringLength(0), 8);
    list.SetTabWidth(1);
    EXPECT_EQ(list.GetExpandedString(0), "  ");
}

TEST(TextBuffer, LongestLineFollowsEveryChange)
{
    TQvEditStringList list;
    EXPECT_EQ(list.GetLengthOfLongestLine(), 0);
    Fill(list, {"abc", "abcde", "ab", "a\tb"});
    EXPECT_EQ(list.GetLengthOfLongestLine(), 9);
    list.Delete(3);
    EXPECT_EQ(list.GetLengthOfLongestLine(), 5);
    list.Put(2, "1234567");
    EXPECT_EQ(list.GetLengthOfLongestLine(), 7);
    list.DeleteLines(2, 1);
    EXPECT_EQ(list.GetLengthOfLongestLine(), 5);
    list.InsertLines(0, 1);
    list.Exchange(0, 2);
    EXPECT_EQ(list.GetLengthOfLongestLine(), 5);
    list.SetTabWidth(2);
    list.Add("\t\t\t");
    EXPECT_EQ(list.GetLengthOfLongestLine(), 6);
    list.Clear();
    EXPECT_EQ(list.GetLengthOfLongestLine(), 0);
}

// A listener that asks for the longest line while a file is loading must not fix the
// answer of the lines seen so far.
class TLongestLineListener : public TObject {
public:
    explicit TLongestLineListener(TQvEditStringList& list) : list_(list) {}
    void Added(Integer, std::string_view) { seen.push_back(list_.GetLengthOfLongestLine()); }
    std::vector<Integer> seen;

private:
    TQvEditStringList& list_;
};

TEST(TextBuffer, LongestLineReadWhileLoadingFollowsTheLinesAdded)
{
    TQvEditStringList list;
    TLongestLineListener listener(list);
    list.OnAdded = TStringListInsertedEvent(&listener, &TLongestLineListener::Added);
    TStringStream in("a\nbbbbbbbb\ncc\n");
    list.LoadFromStream(&in);
    EXPECT_EQ(listener.seen, (std::vector<Integer>{1, 8, 8}));
    EXPECT_EQ(list.GetLengthOfLongestLine(), 8);
}

TEST(TextBuffer, CapacityBelowTheCountIsRefused)
{
    TQvEditStringList list;
    Fill(list, {"a", "b", "c"});
    EXPECT_THROW(list.SetCapacity(2), EQvEditStringList);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a", "b", "c"}));
    list.SetCapacity(3);
    EXPECT_EQ(list.GetCapacity(), 3);
    list.Add("d");
    EXPECT_EQ(list.Strings(3), "d");
}

TEST(TextBuffer, AFailedReadKeepsTheOldLines)
{
    TQvEditStringList list;
    Fill(list, {"kept 1", "kept 2"});
    TShortStream stream;
    EXPECT_THROW(list.LoadFromStream(&stream), EReadError);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"kept 1", "kept 2"}));
    EXPECT_EQ(list.UpdateCount(), 0);
}

namespace {

class TFailingListener : public TObject {
public:
    void Added(Integer Index, std::string_view)
    {
        if (Index == 2)
            throw Exception("listener failed");
    }
};

}  // namespace

TEST(TextBuffer, AFailureWhileSplittingLeavesNoPartOfTheFile)
{
    TQvEditStringList list;
    TFailingListener listener;
    list.OnAdded = TStringListInsertedEvent(&listener, &TFailingListener::Added);
    TStringStream in("1\n2\n3\n4\n");
    EXPECT_THROW(list.LoadFromStream(&in), Exception);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(TextBuffer, WordWrapCutsAfterTheLastBreakWithinTheWidth)
{
    TQvEditStringList list;
    std::string unbroken(200, 'x');
    std::string broken(200, 'y');
    broken[49] = ' ';
    broken[119] = ' ';
    Fill(list, {unbroken.c_str(), broken.c_str()});
    list.SetWordWrap(true);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(0), unbroken);
    EXPECT_EQ(list.Strings(1), broken.substr(0, 50));
    EXPECT_TRUE(list.IsLineWraped(2));
    EXPECT_EQ(list.Strings(2) + list.Strings(3), broken.substr(50));

    list.SetWordWrap(false);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{unbroken, broken}));
}

TEST(TextBuffer, SavingJoinsWrappedLines)
{
    TQvEditStringList list;
    std::string line = std::string(60, 'a') + " " + std::string(60, 'b');
    list.Add(line);
    list.Add("tail");
    list.SetWordWrap(true);
    ASSERT_EQ(list.Count(), 3);
    list.SetFileFormat(sffUnix);
    TStringStream out;
    list.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), line + "\ntail\n");
}

TEST(TextBuffer, ReWrapLineRewrapsTheWholeGroup)
{
    TQvEditStringList list;
    list.SetWordWrap(true);
    list.Add(std::string(70, 'a') + " " + std::string(70, 'b'));
    ASSERT_EQ(list.Count(), 2);
    list.Put(1, std::string(30, 'c'));
    EXPECT_EQ(list.ReWrapLine(1), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0) + list.Strings(1), std::string(70, 'a') + " " + std::string(30, 'c'));
}

// Deleting the first line of a wrapped group leaves its continuation at the top of the
// list; joining must keep that text rather than carry it past the first line and drop it.
TEST(TextBuffer, UnwrappingKeepsAContinuationLeftAtTheTop)
{
    std::string first = std::string(70, 'a') + " ";
    std::string rest = std::string(70, 'b') + " " + std::string(70, 'c');
    TQvEditStringList list;
    list.SetWordWrap(true);
    list.Add(first + rest);
    ASSERT_EQ(list.Count(), 3);
    list.Delete(0);
    ASSERT_TRUE(list.IsLineWraped(0));
    EXPECT_EQ(list.ReWrapLine(1), 0);
    EXPECT_EQ(list.Strings(0) + list.Strings(1), rest);
    EXPECT_FALSE(list.IsLineWraped(0));

    list.Delete(0);  // the continuation is at the top again
    ASSERT_TRUE(list.IsLineWraped(0));
    list.SetWordWrap(false);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{std::string(70, 'c')}));
}

// Loaded lines point into the loaded block; every edit, and emptying the list, must leave
// no line pointing into a block that is gone (the sanitizer build checks the reads).
TEST(TextBuffer, LoadedLinesStayReadableThroughEditsAndClear)
{
    const std::string a = "first loaded line, longer than a record holds";
    const std::string b = "second loaded line, also stored outside the record";
    const std::string c = "third loaded line";
    TQvEditStringList list;
    TStringStream in(a + "\n" + b + "\n" + c + "\nshort\n");
    list.LoadFromStream(&in);
    list.Exchange(0, 2);
    list.Move(1, 3);
    list.Insert(1, "inserted");
    list.Put(0, list.Strings(0) + "!");
    list.Delete(2);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{c + "!", "inserted", "short", b}));

    for (int i = list.Count() - 1; i >= 1; --i)
        list.Delete(i);
    list.DeleteLines(0, 1);
    list.Add(a);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{a}));

    TStringStream again(b + "\r\n" + c + "\r\n");
    list.LoadFromStream(&again);
    list.Exchange(0, 1);
    list.Clear();
    list.Add(c);
    EXPECT_EQ(list.Get(0), c);
    EXPECT_EQ(list.Get(1), "");
}

namespace {

// Deletes every line "drop" as soon as it is added.
class TDroppingListener : public TObject {
public:
    explicit TDroppingListener(TQvEditStringList& list) : list_(list) {}
    void Added(Integer Index, std::string_view S)
    {
        if (S == "drop")
            list_.Delete(Index);
    }

private:
    TQvEditStringList& list_;
};

}  // namespace

// A listener that empties the list while a file is being split must not free the loaded
// text under the lines still to come.
TEST(TextBuffer, AListenerEmptyingTheListWhileLoadingLeavesTheRestIntact)
{
    const std::string kept = "a line long enough to be kept in the loaded block";
    TQvEditStringList list;
    TDroppingListener listener(list);
    list.OnAdded = TStringListInsertedEvent(&listener, &TDroppingListener::Added);
    TStringStream in("drop\n" + kept + "\ndrop\n" + kept + "!\n");
    list.LoadFromStream(&in);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{kept, kept + "!"}));
    list.Delete(0);
    EXPECT_EQ(list.Strings(0), kept + "!");
}
