#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/Exceptions.h"
#include "qvedit/highlighters/QvHighlighterHashEntries.h"

namespace {

std::vector<std::string> ChainWords(const TQvHashEntry* head)
{
    std::vector<std::string> words;
    for (; head != nullptr; head = head->Next())
        words.push_back(head->Keyword());
    return words;
}

std::unique_ptr<TQvHashEntry> Entry(const std::string& word, Integer kind = 0)
{
    return std::make_unique<TQvHashEntry>(word, kind);
}

// Collects what EnumerateKeywords hands out.
class TCollector : public TObject {
public:
    void Add(const std::string& keyword, Integer kind)
    {
        words.push_back(keyword);
        kinds.push_back(kind);
    }
    std::vector<std::string> words;
    std::vector<Integer> kinds;
};

}  // namespace

TEST(HashEntries, ChainsOrderByLengthThenInsertion)
{
    TQvHashEntryList list;
    for (const char* word : {"as", "and", "a", "abs"})
        list.Put(7, Entry(word));
    EXPECT_EQ(ChainWords(list.Get(7)), (std::vector<std::string>{"a", "as", "and", "abs"}));
    EXPECT_EQ(list.Get(7)->KeyLen(), 1);
}

TEST(HashEntries, DuplicatesRaiseAndLeaveTheChain)
{
    TQvHashEntryList list;
    for (const char* word : {"a", "SELECT", "ab", "abc"})
        list.Put(3, Entry(word));
    try {
        list.Put(3, Entry("Select"));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Keyword \"SELECT\" already in list");
    }
    try {
        list.Put(3, Entry("AB"));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Keyword \"ab\" already in list");
    }
    EXPECT_EQ(ChainWords(list.Get(3)), (std::vector<std::string>{"a", "ab", "abc", "SELECT"}));
    // Only ASCII letters fold: bytes above 127 must match exactly.
    list.Put(3, Entry("\xE9"));
    list.Put(3, Entry("\xC9"));
    EXPECT_EQ(ChainWords(list.Get(3)).size(), 6u);
}

TEST(HashEntries, AddEntryReturnsTheNewHead)
{
    auto chain = Entry("long");
    TQvHashEntry* head = chain.release();
    EXPECT_EQ(head->AddEntry(nullptr), head);
    head = head->AddEntry(Entry("xy", 5));
    EXPECT_EQ(head->Keyword(), "xy");
    EXPECT_EQ(head->Kind(), 5);
    EXPECT_EQ(ChainWords(head), (std::vector<std::string>{"xy", "long"}));
    delete head;  // frees the whole chain
}

TEST(HashEntries, ListGrowsWithEmptySlots)
{
    TQvHashEntryList list;
    EXPECT_EQ(list.Get(0), nullptr);
    list.Put(200, Entry("x"));
    EXPECT_EQ(list.Count(), 201);
    for (Integer i = 0; i < 200; ++i)
        EXPECT_EQ(list.Get(i), nullptr) << i;
    EXPECT_EQ(list.Get(200)->Keyword(), "x");
    EXPECT_EQ(list[200], list.Get(200));
    EXPECT_EQ(list.Get(-1), nullptr);
    EXPECT_EQ(list.Get(201), nullptr);
    EXPECT_THROW(list.Put(-1, Entry("y")), EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Get(200), nullptr);
}

TEST(HashEntries, EnumerateKeywordsSplitsAtNonIdentifiers)
{
    TCollector collector;
    const TQvEnumerateKeywordEvent callback(&collector, &TCollector::Add);
    const TQvIdentChars letters = TQvIdentChars::Range('a', 'z');
    EnumerateKeywords(4, ",abs, ,acos,,add", letters, callback);
    EXPECT_EQ(collector.words, (std::vector<std::string>{"abs", "acos", "add"}));
    EXPECT_EQ(collector.kinds, (std::vector<Integer>{4, 4, 4}));

    collector.words.clear();
    EnumerateKeywords(1, "end-exec,x", letters + TQvIdentChars("-"), callback);
    EXPECT_EQ(collector.words, (std::vector<std::string>{"end-exec", "x"}));

    collector.words.clear();
    EnumerateKeywords(1, "", letters, callback);
    EnumerateKeywords(1, ",,,", letters, callback);
    EXPECT_TRUE(collector.words.empty());
    EnumerateKeywords(1, "abc", letters, TQvEnumerateKeywordEvent());  // no callback: no call
}
