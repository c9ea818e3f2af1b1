#include "app/Insertions.h"
#include "qvedit/completion/QvCompletionLists.h"

#include "platform/runtime/CodePages.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
        lines.push_back(text.substr(start, lf - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string Text(const char* control, std::string_view selText = "")
{
    const TInsertion* insertion = FindInsertion(control);
    EXPECT_NE(insertion, nullptr) << control;
    return insertion ? InsertionText(*insertion, selText) : "";
}

TEST(InsertionsTest, EveryFragmentButtonOnceWithAWellFormedRow)
{
    std::map<std::string, int> perPlace;
    std::set<std::string> controls;
    for (const TInsertion& row : Insertions()) {
        ++perPlace[row.Place];
        EXPECT_TRUE(controls.insert(row.Control).second) << row.Control;
        const std::string before = row.Before, after = row.After;
        EXPECT_FALSE(before.empty()) << row.Control;
        EXPECT_EQ(row.Kind == TInsertionKind::Insert, after.empty()) << row.Control;
        EXPECT_EQ((before + after).find('\r'), std::string::npos) << row.Control;
    }
    EXPECT_EQ(perPlace["tInsert"], 27);
    EXPECT_EQ(perPlace["gChars"], 17);
    EXPECT_EQ(perPlace["TabSheet1"], 17);  // the two quote-escape buttons insert no text
    EXPECT_EQ(perPlace["gTemplates"], 9);
    EXPECT_EQ(perPlace.size(), 4u);
    EXPECT_EQ(FindInsertion("SpeedButton71"), nullptr);
    EXPECT_EQ(FindInsertion("SpeedButton85"), nullptr);
}

TEST(InsertionsTest, WrapKeepsTheSelectionAndInsertReplacesIt)
{
    EXPECT_EQ(Text("SpeedButton5"), "<b></b>");
    EXPECT_EQ(Text("SpeedButton11", "a\r\nb"), "<form action=\"\" method=\"get\">\na\r\nb\n</form>");
    EXPECT_EQ(Text("SpeedButton34", "x"), "<ol>\n  <li>x</li>\n</ol>");
    EXPECT_EQ(Text("SpeedButton13", "replaced"), "<hr>");
    EXPECT_EQ(Text("SpeedButton54", "x"), "&lt");
    EXPECT_EQ(Text("SpeedButton27", "hi"), "print \"hi\";");
    EXPECT_EQ(Text("SpeedButton23", "x"), "<?php for ($i=0; $i<$n; $i++) {\nx\n} ?>");
}

TEST(InsertionsTest, MultiLineTemplatesHoldTheirLinesExactly)
{
    EXPECT_EQ(Lines(Text("SpeedButton26")),
              (std::vector<std::string>{"<?php switch ($i) {", "  case 0:", "", "    break;",
                                        "  case 1:", "", "    break;", "} ?>"}));
    EXPECT_EQ(Lines(Text("SpeedButton30")).size(), 4u);
    const std::vector<std::string> query = Lines(Text("SpeedButton62"));
    ASSERT_EQ(query.size(), 20u);
    EXPECT_EQ(query[6], "print \"<table>");
    EXPECT_EQ(query[9], "  print \"\t<tr>");
    EXPECT_EQ(query[12], "    print \"\t\t<td>$col_value</td>");
    EXPECT_EQ(query[19], "\";");
    const std::vector<std::string> connect = Lines(Text("SpeedButton63"));
    ASSERT_EQ(connect.size(), 5u);
    EXPECT_EQ(connect[2], "");
    EXPECT_EQ(connect[3], " mysql_select_db (\"my_database\")");
    EXPECT_EQ(Lines(Text("SpeedButton68")).back(), " print $buffer;");
}

TEST(InsertionsTest, SidePaneTagRowsAreTheCompletionRowsWithTheirOwnComment)
{
    const auto& shown = HtmlTagRows();
    const std::vector<std::string> completion = HtmlTagInsertRows(TTagListUse::Completion);
    const std::vector<std::string> sidePane = HtmlTagInsertRows(TTagListUse::SidePane);
    ASSERT_EQ(shown.size(), 110u);
    ASSERT_EQ(completion.size(), shown.size());
    ASSERT_EQ(sidePane.size(), shown.size());
    EXPECT_EQ(completion[0], "<!--  -->");
    EXPECT_EQ(sidePane[0], Utf8ToAnsi("<!-- Комментарии -->", 1251));
    EXPECT_EQ(completion[1], shown[1].Insert);
    EXPECT_EQ(completion.back(), "<xmp></xmp>");
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(completion[i], sidePane[i]);
        EXPECT_EQ(completion[i].find(".."), std::string::npos) << completion[i];
    }
}

TEST(InsertionsTest, AttributeRowsFromActionToWrap)
{
    const std::vector<std::string> shown = HtmlAttributeRows();
    const std::vector<std::string> inserted = HtmlAttributeInsertRows();
    ASSERT_EQ(shown.size(), 74u);
    ASSERT_EQ(inserted.size(), 74u);
    EXPECT_EQ(shown.front(), "action=\"..\"");
    EXPECT_EQ(shown.back(), "wrap=\"..\"");
    EXPECT_EQ(inserted.front(), "action=\"\"");
    EXPECT_EQ(inserted.back(), "wrap=\"\"");
}

}  // namespace
