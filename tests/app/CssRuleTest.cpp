#include "app/CssRule.h"

#include "platform/forms/CommonDialogs.h"
#include "platform/files/FindFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(CssRuleTest, NoRowCheckedGivesTheSelectorAndAnEmptyBlock)
{
    EXPECT_EQ(BuildCssRule({.Selector = "a:hover"}), "a:hover\n{\n\n}\n\n");
    EXPECT_EQ(BuildCssRule({}), "\n{\n\n}\n\n");
}

TEST(CssRuleTest, BorderStyleAloneIsFollowedDirectlyByTheClosingBrace)
{
    EXPECT_EQ(BuildCssRule({.Selector = "p", .BorderStyle = "dashed"}),
              "p\n{\n  border-style: dashed;\n}\n\n");
}

TEST(CssRuleTest, FontSizeJoinsSizeAndUnitWithoutABlank)
{
    EXPECT_EQ(BuildCssRule({.Selector = "h1", .FontSize = TCssFontSize{"12", "px"}}),
              "h1\n{\n  font-size: 12px;\n\n}\n\n");
}

TEST(CssRuleTest, EveryRowInItsFixedOrderWithBackgroundBeforeColour)
{
    const TCssRuleChoices all{.Selector = "body",
                              .FontFamily = "Liberation Sans",
                              .FontSize = TCssFontSize{"10", "pt"},
                              .Color = "#FF0000",
                              .BackgroundColor = "#000000",
                              .TextDecoration = "none",
                              .TextAlign = "justify",
                              .Border = "3",
                              .BorderStyle = "solid"};
    EXPECT_EQ(BuildCssRule(all),
              "body\n{\n"
              "  font-family: Liberation Sans;\n"
              "  font-size: 10pt;\n"
              "  background-color: #000000;\n"
              "  color: #FF0000;\n"
              "  text-decoration: none;\n"
              "  text-align: justify;\n"
              "  border: 3;\n"
              "  border-style: solid;\n}\n\n");
    TCssRuleChoices noBorderStyle = all;
    noBorderStyle.BorderStyle.reset();
    EXPECT_TRUE(BuildCssRule(noBorderStyle).ends_with("  border: 3;\n\n}\n\n"));
}

TEST(CssRuleTest, SaveDialogAddsCssAndItsSecondFilterListsEveryFile)
{
    const std::vector<TFilterEntry> entries = ParseFilter(CssSaveFilter);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Masks, "*.css");
    EXPECT_TRUE(MatchesMaskList("rules.css", entries[0].Masks));
    EXPECT_FALSE(MatchesMaskList("rules.txt", entries[0].Masks));
    for (const char* name : {"rules.css", "README", "index.html"})
        EXPECT_TRUE(MatchesMaskList(name, entries[1].Masks)) << name;
    EXPECT_STREQ(CssSaveDefaultExt, "css");
}

}  // namespace
