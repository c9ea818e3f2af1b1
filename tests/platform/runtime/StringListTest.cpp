// String lists: text and comma-text round trips, sorting, duplicates, case, events,
// capacity and the file round trip.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/Streams.h"

namespace {

std::vector<std::string> Lines(const TStrings& List)
{
    std::vector<std::string> lines;
    for (int i = 0; i < List.Count(); ++i)
        lines.push_back(List.Strings(i));
    return lines;
}

std::string MessageOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const EStringListError& e) {
        return e.Message();
    }
    return "no error";
}

class TEventCounter : public TObject {
public:
    int Changes = 0;
    int Changings = 0;
    void Changed(TObject*) { ++Changes; }
    void Changing(TObject*) { ++Changings; }
};

// A list that keeps its lines elsewhere and relies on the base for everything else,
// as the editor's text buffer does.
class TVectorStrings : public TStrings {
public:
    std::vector<std::string> Items;
    std::vector<bool> UpdateStates;
    void Insert(int Index, const std::string& S) override { Items.insert(Items.begin() + Index, S); }
    void Delete(int Index) override { Items.erase(Items.begin() + Index); }
    void Clear() override { Items.clear(); }

protected:
    std::string Get(int Index) const override { return Items.at(static_cast<std::size_t>(Index)); }
    int GetCount() const override { return static_cast<int>(Items.size()); }
    void SetUpdateState(bool Updating) override { UpdateStates.push_back(Updating); }
};

}  // namespace

TEST(StringListTest, SetTextSplitsAtEveryLineEndStyle)
{
    TStringList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    // One line end at the very end starts no further line; a second one does.
    list.SetText("a\n");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a"}));
    list.SetText("a\r\n\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", ""}));
    list.SetText("\n\r\n\r");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"", "", ""}));
    // CR then LF is one line end; LF then CR is two.
    list.SetText("x\n\ry");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"x", "", "y"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    list.SetText(std::string("ab\0cd\nef", 8));
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"ab"}));
}

TEST(StringListTest, CommaTextQuotesWhatWouldNotSurviveAndReadsItBack)
{
    TStringList list;
    for (const char* item : {"plain", "two words", "a,b", "say \"hi\"", "", "tab\there", "\xE9t\xE9"})
        list.Add(item);
    const std::string text = list.GetCommaText();
    EXPECT_EQ(text, "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",\"\",\"tab\there\",\xE9t\xE9");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_EQ(Lines(back), Lines(list));

    // A trailing empty item is kept too.
    TStringList trailing;
    trailing.Add("a");
    trailing.Add("");
    back.SetCommaText(trailing.GetCommaText());
    EXPECT_EQ(Lines(back), Lines(trailing));
}

TEST(StringListTest, CommaTextParsingSplitsAtCommasAndBlanks)
{
    TStringList list;
    list.SetCommaText("  a b,,c , \"d e\"f,\"open");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "", "c", "d e", "f", "open"}));
    list.SetCommaText("x,");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"x"}));
    list.SetCommaText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, NamesAndValues)
{
    TStringList list;
    list.Add("Key=1");
    list.Add("plain");
    list.Add("Other=a=b");
    EXPECT_EQ(list.Values("key"), "1");
    EXPECT_EQ(list.Values("other"), "a=b");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.Names(2), "Other");
    list.SetValues("NEW", "x");
    EXPECT_EQ(list.Strings(3), "NEW=x");
    list.SetValues("key", "2");
    EXPECT_EQ(list.Strings(0), "key=2");
    list.SetValues("Key", "");
    EXPECT_EQ(list.IndexOfName("key"), -1);
    EXPECT_EQ(list.Count(), 3);
}

// Edits that fail lose nothing: a bad target is refused before the line leaves its
// place, and a value a sorted list refuses leaves no empty line behind.
TEST(StringListTest, FailedEditsLoseNothing)
{
    TStringList list;
    list.SetText("a\nb\nc");
    EXPECT_EQ(MessageOf([&] { list.Move(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf([&] { list.Move(-1, 0); }), "List index out of bounds (-1)");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c"}));
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"b", "c", "a"}));

    TStringList sorted;
    sorted.SetSorted(true);
    sorted.Add("b=1");
    sorted.SetValues("a", "2");
    EXPECT_EQ(Lines(sorted), (std::vector<std::string>{"a=2", "b=1"}));
    EXPECT_EQ(MessageOf([&] { sorted.SetValues("b", "3"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(Lines(sorted), (std::vector<std::string>{"a=2", "b=1"}));
}

// A list added to itself is doubled, not read while it grows.
TEST(StringListTest, AddStringsOfItselfDoubles)
{
    TVectorStrings strings;
    strings.SetText("a\nb");
    strings.AddStrings(&strings);
    EXPECT_EQ(strings.Items, (std::vector<std::string>{"a", "b", "a", "b"}));
}

TEST(StringListTest, SortedListKeepsOrderAndAppliesDuplicateRule)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "banana", "apple"})
        list.Add(s);
    // Case-insensitive by default, so "apple" is a duplicate of "Apple" and ignored.
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"Apple", "banana", "pear"}));
    EXPECT_EQ(list.Add("APPLE"), 0);
    int index = -1;
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("cherry", index));
    EXPECT_EQ(index, 2);

    list.SetDuplicates(dupError);
    EXPECT_EQ(MessageOf([&] { list.Add("PEAR"); }), "String list does not allow duplicates");
    list.SetDuplicates(dupAccept);
    list.Add("pear");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(MessageOf([&] { list.Insert(0, "zzz"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(MessageOf([&] { list.SetStrings(0, "zzz"); }), "Operation not allowed on sorted list");
}

TEST(StringListTest, CaseSensitiveChangeReordersASortedList)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char* s : {"b", "B", "a", "A"})
        list.Add(s);
    list.SetCaseSensitive(true);
    // Find must work under the new order for every item.
    for (const char* s : {"a", "A", "b", "B"}) {
        int index = -1;
        ASSERT_TRUE(list.Find(s, index)) << s;
        EXPECT_EQ(list.Strings(index), s);
    }
    EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringListTest, CustomSortAndInconsistentComparisonStayInBounds)
{
    TStringList list;
    for (int i = 0; i < 200; ++i)
        list.Add(std::to_string((i * 37) % 200));
    list.CustomSort([](TStringList* l, int a, int b) {
        return std::stoi(l->Strings(a)) - std::stoi(l->Strings(b));
    });
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(list.Strings(i), std::to_string(i));
    // A comparison that claims everything is smaller must not run the scan off the end.
    list.CustomSort([](TStringList*, int, int) { return -1; });
    EXPECT_EQ(list.Count(), 200);
}

TEST(StringListTest, IndexAndCapacityErrors)
{
    TStringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(MessageOf([&] { list.Strings(2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { list.Insert(3, "x"); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf([&] { list.Exchange(0, 5); }), "List index out of bounds (5)");
    // Capacity below the count would drop lines: refused, nothing lost.
    EXPECT_EQ(MessageOf([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b"}));
    list.SetCapacity(100);
    EXPECT_GE(list.GetCapacity(), 100);
    list.SetCapacity(2);
    EXPECT_EQ(list.GetCapacity(), 2);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b"}));
    // A negative capacity is the same error, also for an empty list.
    TStringList empty;
    EXPECT_EQ(MessageOf([&] { empty.SetCapacity(-1); }), "List capacity out of bounds (-1)");
}

TEST(StringListTest, ChangeEventsFireAroundChangesAndOnceForAnUpdate)
{
    TStringList list;
    TEventCounter counter;
    list.OnChange = TNotifyEvent(&counter, &TEventCounter::Changed);
    list.OnChanging = TNotifyEvent(&counter, &TEventCounter::Changing);
    list.Add("a");
    list.SetStrings(0, "b");
    list.SetObjects(0, &counter);
    list.Delete(0);
    EXPECT_EQ(counter.Changes, 4);
    EXPECT_EQ(counter.Changings, 4);

    counter.Changes = counter.Changings = 0;
    list.BeginUpdate();
    list.BeginUpdate();
    list.SetText("x\ny\nz");
    list.Exchange(0, 2);
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 0);
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 1);
    EXPECT_EQ(counter.Changings, 1);
    list.EndUpdate();  // unbalanced: nothing happens
    EXPECT_EQ(counter.Changes, 1);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringListTest, BaseOperationsWorkOverADescendantsStorage)
{
    TVectorStrings strings;
    strings.SetText("b\na\nc");
    EXPECT_EQ(strings.UpdateStates, (std::vector<bool>{true, false}));
    strings.Move(2, 0);
    strings.Exchange(1, 2);
    EXPECT_EQ(strings.Items, (std::vector<std::string>{"c", "a", "b"}));
    strings.SetStrings(1, "A");
    strings.SetValues("k", "v");
    EXPECT_EQ(strings.GetCommaText(), "c,A,b,k=v");
    EXPECT_EQ(strings.IndexOf("a"), 1);
}

TEST(StringListTest, FileRoundTripIsByteExact)
{
    const std::string path = ::testing::TempDir() + "strings_roundtrip.txt";
    TStringList list;
    list.SetText("first\n\xC0\xE1\n\nlast");
    list.SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "first\r\n\xC0\xE1\r\n\r\nlast\r\n");
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_TRUE(back.Equals(&list));
    std::remove(path.c_str());
    EXPECT_THROW(back.LoadFromFile(path), EFOpenError);
    EXPECT_TRUE(back.Equals(&list));  // a failed load changes nothing
}
