#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "qvedit/highlighters/QvHighlighterSQL.h"

using namespace QvSQL;

namespace {

const std::map<std::string, int> SqlKindNames = {
    {"tkComment", tkComment},     {"tkDatatype", tkDatatype}, {"tkDefaultPackage", tkDefaultPackage},
    {"tkException", tkException}, {"tkFunction", tkFunction}, {"tkIdentifier", tkIdentifier},
    {"tkKey", tkKey},             {"tkNull", tkNull},         {"tkNumber", tkNumber},
    {"tkSpace", tkSpace},         {"tkPLSQL", tkPLSQL},       {"tkSQLPlus", tkSQLPlus},
    {"tkString", tkString},       {"tkSymbol", tkSymbol},     {"tkTableName", tkTableName},
    {"tkUnknown", tkUnknown},     {"tkVariable", tkVariable},
};

const TSQLDialect AllDialects[] = {sqlStandard, sqlInterbase6, sqlMSSQL7, sqlMySQL,
                                   sqlOracle,   sqlSybase,     sqlIngres, sqlMSSQL2K};

void RunDialectGoldenFile(TSQLDialect dialect, const std::string& name)
{
    TQvSQLHighlighter highlighter(nullptr);
    highlighter.SetSQLDialect(dialect);
    RunGoldenFile(highlighter, name, SqlKindNames);
}

Integer EntryCount(const TQvHashEntryList& list)
{
    Integer count = 0;
    for (Integer hash = 0; hash < list.Count(); ++hash)
        for (TQvHashEntry* entry = list.Get(hash); entry != nullptr; entry = entry->Next())
            ++count;
    return count;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Counts the highlighter's change notices.
class TChangeCounter : public TObject {
public:
    void Changed(TObject*) { ++Count; }
    int Count = 0;
};

}  // namespace

TEST(SQLHighlighter, GoldenTokenStreams)
{
    RunDialectGoldenFile(sqlSybase, "sql-sybase.golden");
    RunDialectGoldenFile(sqlStandard, "sql-standard.golden");
    RunDialectGoldenFile(sqlInterbase6, "sql-interbase.golden");
    RunDialectGoldenFile(sqlMySQL, "sql-mysql.golden");
    RunDialectGoldenFile(sqlOracle, "sql-oracle.golden");
    RunDialectGoldenFile(sqlIngres, "sql-ingres.golden");
    RunDialectGoldenFile(sqlMSSQL7, "sql-mssql.golden");
    RunDialectGoldenFile(sqlMSSQL2K, "sql-mssql.golden");
}

TEST(SQLHighlighter, KeywordListHoldsEveryWordOfTheDialect)
{
    const std::pair<TSQLDialect, Integer> expected[] = {
        {sqlStandard, 306}, {sqlInterbase6, 272}, {sqlMSSQL7, 360}, {sqlMySQL, 359},
        {sqlOracle, 1584},  {sqlSybase, 373},     {sqlIngres, 440}, {sqlMSSQL2K, 368}};
    TQvSQLHighlighter h(nullptr);
    for (const auto& [dialect, count] : expected) {
        h.SetSQLDialect(dialect);
        EXPECT_EQ(EntryCount(h.GetKeywords()), count) << "dialect " << int(dialect);
        // Hashes are one byte: no chain beyond 255.
        EXPECT_LE(h.GetKeywords().Count(), 256);
    }
}

TEST(SQLHighlighter, EveryListedWordIsFoundWithItsKindInAnyCase)
{
    TQvSQLHighlighter h(nullptr);
    for (TSQLDialect dialect : AllDialects) {
        h.SetSQLDialect(dialect);
        for (const TQvSQLKeywordText& text : SQLKeywordTexts(dialect)) {
            const std::string words = text.Words;
            std::size_t start = 0;
            while (start < words.size()) {
                std::size_t end = words.find(',', start);
                if (end == std::string::npos)
                    end = words.size();
                const std::string word = words.substr(start, end - start);
                start = end + 1;
                for (const std::string& form : {word, Upper(word), Lower(word)}) {
                    Integer length = 0;
                    const TtkTokenKind kind = h.IdentKind(form.c_str(), length);
                    if (word.find('-') != std::string::npos) {
                        // A scanned word stops at the minus sign, so the entry stored
                        // whole is never reached.
                        EXPECT_LT(length, static_cast<Integer>(form.size())) << form;
                        continue;
                    }
                    EXPECT_EQ(length, static_cast<Integer>(form.size())) << form;
                    EXPECT_EQ(kind, text.Kind) << form << " in dialect " << int(dialect);
                }
            }
        }
    }
}

TEST(SQLHighlighter, IdentCharsDependOnTheDialect)
{
    TQvSQLHighlighter h(nullptr);
    for (TSQLDialect dialect : AllDialects) {
        h.SetSQLDialect(dialect);
        const TQvIdentChars chars = h.GetIdentChars();
        SCOPED_TRACE(int(dialect));
        EXPECT_TRUE(chars.Contains('_'));
        EXPECT_TRUE(chars.Contains('z'));
        EXPECT_TRUE(chars.Contains('0'));
        EXPECT_TRUE(chars.Contains(static_cast<char>(192)));
        EXPECT_FALSE(chars.Contains(static_cast<char>(215)));
        EXPECT_FALSE(chars.Contains(static_cast<char>(247)));
        EXPECT_FALSE(chars.Contains('-'));
        EXPECT_EQ(chars.Contains('@'), dialect == sqlMSSQL7 || dialect == sqlMSSQL2K);
        EXPECT_EQ(chars.Contains('#'), dialect == sqlOracle);
        EXPECT_EQ(chars.Contains('$'), dialect == sqlOracle);
    }
}

TEST(SQLHighlighter, TableNamesAreColouredUnlessTheyAreKeywords)
{
    TQvSQLHighlighter h(nullptr);
    TChangeCounter counter;
    h.HookAttrChangeEvent(TNotifyEvent(&counter, &TChangeCounter::Changed));
    const Integer keywordCount = EntryCount(h.GetKeywords());
    EXPECT_EQ(KindOfWholeLine(h, "mytable"), tkIdentifier);

    TStringList names;
    for (const char* name : {"MyTable", "select", "MYTABLE", "Orders"})
        names.Add(name);
    h.SetTableNames(&names);
    EXPECT_EQ(counter.Count, 1) << "one rebuild for one assignment";
    EXPECT_EQ(EntryCount(h.GetKeywords()), keywordCount + 2);
    EXPECT_EQ(KindOfWholeLine(h, "mytable"), tkTableName);
    EXPECT_EQ(KindOfWholeLine(h, "ORDERS"), tkTableName);
    EXPECT_EQ(KindOfWholeLine(h, "select"), tkKey);
    EXPECT_FALSE(h.IsKeyword("mytable"));

    // Any change of the list rebuilds, and the names survive a change of dialect.
    h.GetTableNames()->Delete(0);
    EXPECT_EQ(counter.Count, 2);
    EXPECT_EQ(KindOfWholeLine(h, "mytable"), tkTableName) << "MYTABLE is still listed";
    h.SetSQLDialect(sqlMySQL);
    EXPECT_EQ(counter.Count, 3);
    EXPECT_EQ(KindOfWholeLine(h, "Orders"), tkTableName);
    h.GetTableNames()->Clear();
    EXPECT_EQ(KindOfWholeLine(h, "Orders"), tkIdentifier);
    h.UnhookAttrChangeEvent(TNotifyEvent(&counter, &TChangeCounter::Changed));
}

TEST(SQLHighlighter, DialectChangesRebuildTheKeywords)
{
    TQvSQLHighlighter h(nullptr);
    EXPECT_EQ(h.GetSQLDialect(), sqlSybase);
    EXPECT_EQ(KindOfWholeLine(h, "now"), tkIdentifier);
    TChangeCounter counter;
    h.HookAttrChangeEvent(TNotifyEvent(&counter, &TChangeCounter::Changed));
    h.SetSQLDialect(sqlMySQL);
    EXPECT_EQ(KindOfWholeLine(h, "now"), tkFunction);
    h.SetSQLDialect(sqlMySQL);
    EXPECT_EQ(counter.Count, 1) << "setting the same dialect again changes nothing";
    h.SetSQLDialect(static_cast<TSQLDialect>(200));
    EXPECT_EQ(h.GetSQLDialect(), sqlMySQL) << "a value outside the enumeration is ignored";
    EXPECT_EQ(counter.Count, 1);
    h.UnhookAttrChangeEvent(TNotifyEvent(&counter, &TChangeCounter::Changed));

    TQvSQLHighlighter copy(nullptr);
    copy.Assign(&h);
    EXPECT_EQ(copy.GetSQLDialect(), sqlMySQL);
    EXPECT_EQ(KindOfWholeLine(copy, "now"), tkFunction);
}

TEST(SQLHighlighter, IsKeywordTakesKeywordKindsOfWholeWords)
{
    TQvSQLHighlighter h(nullptr);
    h.SetSQLDialect(sqlOracle);
    for (const char* word : {"select", "NUMBER", "NO_DATA_FOUND", "ADD_MONTHS", "DBMS_OUTPUT", "ELSIF"})
        EXPECT_TRUE(h.IsKeyword(word)) << word;
    for (const char* word : {"REM", "PROMPT", "nosuchword", "select x", "", "select-"})
        EXPECT_FALSE(h.IsKeyword(word)) << word;
}

TEST(SQLHighlighter, AttributesAndTheirKinds)
{
    TQvSQLHighlighter h(nullptr);
    const std::pair<TQvHighlighterAttributes*, std::pair<const char*, TFontStyles>> expected[] = {
        {h.CommentAttri(), {"Comment", fsItalic}},
        {h.DataTypeAttri(), {"Data Type", fsBold}},
        {h.DefaultPackageAttri(), {"Default Packages", fsBold}},
        {h.ExceptionAttri(), {"Exception", fsItalic}},
        {h.FunctionAttri(), {"Function", fsBold}},
        {h.IdentifierAttri(), {"Identifier", {}}},
        {h.KeyAttri(), {"Reserved Word", fsBold}},
        {h.NumberAttri(), {"Number", {}}},
        {h.PLSQLAttri(), {"PL/SQL Reserved Word", fsBold}},
        {h.SpaceAttri(), {"Space", {}}},
        {h.SQLPlusAttri(), {"SQL*Plus Command", fsBold}},
        {h.StringAttri(), {"String", {}}},
        {h.SymbolAttri(), {"Symbol", {}}},
        {h.TableNameAttri(), {"Table Name", {}}},
        {h.VariableAttri(), {"Variable", {}}},
    };
    EXPECT_EQ(h.GetAttribCount(), 15);
    for (const auto& [attribute, nameAndStyle] : expected) {
        ASSERT_NE(attribute, nullptr);
        EXPECT_EQ(attribute->GetName(), nameAndStyle.first);
        EXPECT_EQ(attribute->GetStyle(), nameAndStyle.second) << nameAndStyle.first;
        EXPECT_EQ(attribute->GetForeground(), clNone);
        EXPECT_EQ(attribute->GetBackground(), clNone);
    }
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_COMMENT), h.CommentAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_IDENTIFIER), h.IdentifierAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_KEYWORD), h.KeyAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_STRING), h.StringAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_WHITESPACE), h.SpaceAttri());
    EXPECT_EQ(h.GetDefaultAttribute(QV_ATTRIB_SYMBOL), h.SymbolAttri());
    EXPECT_EQ(h.GetLanguageName(), "SQL");
    EXPECT_EQ(h.GetDefaultFilter(), "SQL Files (*.sql)|*.sql");

    // Unknown characters share the identifier attribute; the end of line has none.
    const std::string line = "#x";
    h.SetLine(line, 0);
    EXPECT_EQ(h.GetTokenKind(), tkUnknown);
    EXPECT_EQ(h.GetTokenAttribute(), h.IdentifierAttri());
    h.Next();
    h.Next();
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(SQLHighlighter, SampleSourcesScanCleanlyInTheirDialects)
{
    const std::pair<TSQLDialect, const char*> firstLines[] = {
        {sqlStandard, "-- ansi sql sample source"},
        {sqlInterbase6, "/* Interbase sample source */"},
        {sqlMSSQL7, "/* SQL Server 7 example source */"},
        {sqlMySQL, "/* MySQL sample source*/"},
        {sqlOracle, "PROMPT Oracle sample source"},
        {sqlSybase, "/* SyBase example source */"},
        {sqlIngres, "/* Ingres example source */"},
        {sqlMSSQL2K, "/* SQL Server2000 example source */"},
    };
    TQvSQLHighlighter h(nullptr);
    for (const auto& [dialect, firstLine] : firstLines) {
        h.SetSQLDialect(dialect);
        const std::string sample = h.GetSampleSource();
        EXPECT_EQ(sample.substr(0, sample.find("\r\n")), firstLine);
        EXPECT_EQ(sample.find('\n', 0), sample.find("\r\n") + 1) << "lines end in CR LF";
        // Split into lines; none leaves a construct open or holds an unknown character.
        h.ResetRange();
        std::size_t start = 0;
        while (start <= sample.size()) {
            std::size_t end = sample.find("\r\n", start);
            if (end == std::string::npos)
                end = sample.size();
            const std::string line = sample.substr(start, end - start);
            start = end + 2;
            h.SetLine(line, 0);
            for (; !h.GetEol(); h.Next())
                EXPECT_NE(h.GetTokenKind(), tkUnknown) << firstLine << ": " << line;
            EXPECT_EQ(h.GetRange(), rsUnknown) << line;
        }
    }
}

// Every dialect scans any line to its end in contiguous tokens, from every range it can
// carry; an empty token always changes the range, so a scan cannot stall. The line is
// built at its exact length, so the sanitizer sees a read past its NUL.
TEST(SQLHighlighter, EveryDialectScansAnyLineToItsEnd)
{
    const char* const pieces[] = {"#",  "'",  "\"", "\\", "/*", "*/",   "--", "@@",
                                  "@",  ":",  "REM ", "1", "..", "-",  "a",  " ",
                                  "\t", "\r", "\n", "\xE9", "$", "<<", "x$1"};
    std::mt19937 random(20261207);
    TQvSQLHighlighter h(nullptr);
    for (const TSQLDialect dialect : AllDialects) {
        h.SetSQLDialect(dialect);
        for (int i = 0; i < 400; ++i) {
            std::string built;
            for (auto n = random() % 14; n > 0; --n)
                built += pieces[random() % std::size(pieces)];
            const std::string line(built.data(), built.size());
            const auto length = static_cast<Integer>(line.size());
            for (const TQvHighlighterRange start : {rsUnknown, rsComment, rsString}) {
                h.SetRange(start);
                TQvHighlighterRange rangeBefore = h.GetRange();
                h.SetLine(line, 0);
                Integer expectedPos = 0;
                for (Integer calls = 0; !h.GetEol(); ++calls, h.Next()) {
                    ASSERT_LE(calls, 2 * length) << "no end of line: " << line;
                    const std::string token = h.GetToken();
                    ASSERT_EQ(h.GetTokenPos(), expectedPos) << line;
                    if (token.empty()) {
                        ASSERT_NE(h.GetRange(), rangeBefore) << "stalled on: " << line;
                    }
                    expectedPos += static_cast<Integer>(token.size());
                    rangeBefore = h.GetRange();
                }
                EXPECT_EQ(h.GetTokenPos(), length) << line;
            }
        }
    }
}
