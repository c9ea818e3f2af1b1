#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "qvedit/highlighters/QvHighlighterHashEntries.h"
#include "qvedit/highlighters/QvHighlighterSQLKeywords.h"

using namespace QvSQL;

namespace {

struct TExpectedList {
    TtkTokenKind Kind;
    int Words;
};

// The lists of each dialect in load order, with their kinds and word counts.
const std::vector<std::pair<TSQLDialect, std::vector<TExpectedList>>> ExpectedLists = {
    {sqlStandard, {{tkKey, 306}}},
    {sqlInterbase6, {{tkDatatype, 13}, {tkFunction, 8}, {tkKey, 251}}},
    {sqlMSSQL7, {{tkKey, 197}, {tkDatatype, 24}, {tkFunction, 139}}},
    {sqlMySQL, {{tkKey, 181}, {tkDatatype, 29}, {tkFunction, 149}}},
    {sqlOracle,
     {{tkKey, 615}, {tkDatatype, 46}, {tkException, 20}, {tkFunction, 371}, {tkComment, 4},
      {tkDefaultPackage, 181}, {tkPLSQL, 163}, {tkSQLPlus, 184}}},
    {sqlSybase, {{tkKey, 373}}},
    {sqlIngres, {{tkDatatype, 23}, {tkKey, 315}, {tkFunction, 102}}},
    {sqlMSSQL2K, {{tkKey, 171}, {tkDatatype, 29}, {tkFunction, 168}}},
};

// The word characters the SQL highlighter splits a dialect's texts with.
TQvIdentChars DialectWordChars(TSQLDialect dialect)
{
    TQvIdentChars chars = TQvIdentChars::Range('0', '9') + TQvIdentChars::Range('A', 'Z') +
                          TQvIdentChars::Range('a', 'z') + TQvIdentChars::Range(192, 255) +
                          TQvIdentChars("_");
    chars.Exclude(static_cast<char>(215));
    chars.Exclude(static_cast<char>(247));
    if (dialect == sqlMSSQL7 || dialect == sqlMSSQL2K)
        chars.Include('@');
    if (dialect == sqlOracle)
        chars = chars + TQvIdentChars("#$");
    if (dialect == sqlStandard)
        chars.Include('-');
    return chars;
}

// Stores every word of a dialect in a hash list; equal words (ignoring case) share a
// chain, so a duplicate raises.
class TDialectLoader : public TObject {
public:
    void Add(const std::string& keyword, Integer kind)
    {
        Integer hash = 0;
        for (char c : keyword)
            hash = (hash * 2 + std::tolower(static_cast<unsigned char>(c))) & 255;
        list.Put(hash, std::make_unique<TQvHashEntry>(keyword, kind));
        ++count;
    }
    TQvHashEntryList list;
    int count = 0;
};

int CountWords(TQvSQLKeywordText text, const TQvIdentChars& chars)
{
    TDialectLoader loader;
    EnumerateKeywords(text.Kind, text.Words, chars,
                      TQvEnumerateKeywordEvent(&loader, &TDialectLoader::Add));
    return loader.count;
}

}  // namespace

TEST(SQLKeywordLists, ListsComeInLoadOrderWithTheirCounts)
{
    for (const auto& [dialect, expected] : ExpectedLists) {
        SCOPED_TRACE("dialect " + std::to_string(dialect));
        const auto texts = SQLKeywordTexts(dialect);
        ASSERT_EQ(texts.size(), expected.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].Kind, expected[i].Kind) << "list " << i;
            EXPECT_EQ(CountWords(texts[i], DialectWordChars(dialect)), expected[i].Words)
                << "list " << i;
            // Words are separated by single commas, without blanks or empty words.
            const std::string words = texts[i].Words;
            EXPECT_EQ(words.find(",,"), std::string::npos);
            EXPECT_EQ(words.find(' '), std::string::npos);
            EXPECT_NE(words.front(), ',');
            EXPECT_NE(words.back(), ',');
        }
    }
}

TEST(SQLKeywordLists, EveryDialectLoadsWithoutDuplicates)
{
    const std::vector<std::pair<TSQLDialect, int>> totals = {
        {sqlStandard, 306}, {sqlInterbase6, 272}, {sqlMSSQL7, 360}, {sqlMySQL, 359},
        {sqlOracle, 1584},  {sqlSybase, 373},     {sqlIngres, 440}, {sqlMSSQL2K, 368}};
    for (const auto& [dialect, total] : totals) {
        SCOPED_TRACE("dialect " + std::to_string(dialect));
        TDialectLoader loader;
        const TQvEnumerateKeywordEvent add(&loader, &TDialectLoader::Add);
        for (const TQvSQLKeywordText& text : SQLKeywordTexts(dialect))
            EXPECT_NO_THROW(EnumerateKeywords(text.Kind, text.Words, DialectWordChars(dialect), add));
        EXPECT_EQ(loader.count, total);
    }
}
