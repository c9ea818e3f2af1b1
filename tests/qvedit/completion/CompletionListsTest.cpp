// The shipped completion lists: counts, order and a few exact rows.
#include "qvedit/completion/QvCompletionLists.h"

#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(CompletionListsTest, HtmlRowsAreTheStandardTagsInOrder)
{
    const auto& rows = HtmlTagRows();
    ASSERT_EQ(rows.size(), 110u);
    EXPECT_EQ(rows.front().Display, "<!--..-->");
    EXPECT_EQ(rows.front().Insert, "<!--  -->");
    EXPECT_EQ(rows.back().Display, "<xmp>..</xmp>");
    EXPECT_EQ(rows.back().Insert, "<xmp></xmp>");
    const auto find = [&](const std::string& display) {
        return std::find_if(rows.begin(), rows.end(), [&](const TQvCompletionRow& r) { return r.Display == display; });
    };
    ASSERT_NE(find("<a href=\"\">..</a>"), rows.end());
    EXPECT_EQ(find("<a href=\"\">..</a>")->Insert, "<a href=\"\"></a>");
    ASSERT_NE(find("<br>"), rows.end());
    EXPECT_EQ(find("<br>")->Insert, "<br>");
    ASSERT_NE(find("<table>..</table>"), rows.end());
    EXPECT_EQ(find("<table>..</table>")->Insert, "<table></table>");
    EXPECT_NE(find("<img>"), rows.end());
    // Every insert row is its display row without "..", except the comment's.
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::string expected = rows[i].Display;
        if (const auto dots = expected.find(".."); dots != std::string::npos)
            expected.erase(dots, 2);
        EXPECT_EQ(rows[i].Insert, expected) << rows[i].Display;
    }
    // Alphabetical by tag name after the comment and the document type.
    for (std::size_t i = 3; i < rows.size(); ++i)
        EXPECT_LT(CompareText(rows[i - 1].Insert, rows[i].Insert), 0) << rows[i].Display;
}

TEST(CompletionListsTest, PhpRowsVariablesThenNamesIgnoringCase)
{
    const auto& rows = PhpCompletionRows();
    ASSERT_GT(rows.size(), 1000u);
    EXPECT_EQ(rows[0], "$DOCUMENT_ROOT");
    EXPECT_EQ(rows[28], "$SERVER_SOFTWARE");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const std::string& r) { return r[0] == '$'; }), 29);
    EXPECT_EQ(rows[29], "__FILE__");
    EXPECT_EQ(rows[30], "__LINE__");
    for (const char* keyword : {"break", "echo", "for", "foreach", "function", "include", "print", "switch", "while"})
        EXPECT_EQ(std::count(rows.begin(), rows.end(), keyword), 1) << keyword;
    for (const char* function : {"abs", "strlen", "str_replace", "array_push", "ucwords", "trim"})
        EXPECT_EQ(std::count(rows.begin(), rows.end(), function), 1) << function;
    for (std::size_t i = 32; i < rows.size(); ++i)
        EXPECT_LT(CompareText(rows[i - 1], rows[i]), 0) << rows[i];
    for (const std::string& row : rows)
        EXPECT_TRUE(!row.empty() && row.find_first_of(" \t\r") == std::string::npos) << row;
}

TEST(CompletionListsTest, AssigningFillsParallelLists)
{
    TStringList items;
    TStringList inserts;
    items.Add("left over");
    AssignHtmlTagRows(items, inserts);
    ASSERT_EQ(items.Count(), 110);
    ASSERT_EQ(inserts.Count(), 110);
    EXPECT_EQ(items.Strings(2), HtmlTagRows()[2].Display);
    EXPECT_EQ(inserts.Strings(2), HtmlTagRows()[2].Insert);
    AssignPhpCompletionRows(items);
    EXPECT_EQ(items.Count(), static_cast<int>(PhpCompletionRows().size()));
    EXPECT_EQ(items.Strings(29), "__FILE__");
}

}  // namespace
