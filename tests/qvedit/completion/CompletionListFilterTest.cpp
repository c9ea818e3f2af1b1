// Narrowing the completion list by the typed text: prefixes compared byte-wise or by the
// code page, with or without case, by shown or by inserted texts.
#include "CompletionListFixture.h"

#include "platform/runtime/CodePages.h"

namespace {

using Rows = std::vector<std::string>;

TEST_F(CompletionListTest, LimitedListKeepsTheRowsBeginningWithTheTypedText)
{
    SetItems({"Abs", "acos", "AddCSlashes", "array_push", "trim", "a"});
    list->SetCurrentString("a");
    EXPECT_EQ(Shown(), (Rows{"Abs", "acos", "AddCSlashes", "array_push", "a"}));
    EXPECT_EQ(list->LogicalToPhysicalIndex(4), 5);
    EXPECT_EQ(list->Position(), 0);

    list->SetCurrentString("AD");
    EXPECT_EQ(Shown(), (Rows{"AddCSlashes"}));
    EXPECT_EQ(list->LogicalToPhysicalIndex(0), 2);

    // Rows shorter than the typed text never match (and are not read past their end).
    list->SetCurrentString("abs_long");
    EXPECT_EQ(Shown(), Rows{});
    EXPECT_EQ(list->LogicalToPhysicalIndex(0), -1);

    list->CaseSensitive = true;
    list->SetCurrentString("a");
    EXPECT_EQ(Shown(), (Rows{"acos", "array_push", "a"}));
    list->SetCurrentString("");
    EXPECT_EQ(Shown().size(), 6u);
}

// Byte-wise comparison folds ASCII letters only; the code page's comparison folds the
// letters of the code page too.
TEST_F(CompletionListTest, ByteWiseAndCodePageComparison)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    SetItems({"\xCF\xF0\xE8\xE2\xE5\xF2", "print"});  // "Привет" in code page 1251
    list->SetCurrentString("\xEF\xF0");                  // "пр"
    EXPECT_EQ(Shown(), Rows{}) << "byte-wise: the Cyrillic letters differ in case";
    list->AnsiStrings = true;
    list->SetCurrentString("\xEF\xF0");
    EXPECT_EQ(Shown(), Rows{"\xCF\xF0\xE8\xE2\xE5\xF2"});
    list->CaseSensitive = true;
    list->SetCurrentString("\xEF\xF0");
    EXPECT_EQ(Shown(), Rows{});
    SetAnsiCodePage(saved);
}

TEST_F(CompletionListTest, InsertRowsDecideWhatMatches)
{
    SetItems({"<!--..-->", "<table>..</table>", "<tt>..</tt>", "<b>..</b>", "<td>..</td>"});
    TStringList inserts;
    for (const char* row : {"<!--  -->", "<table></table>", "<tt></tt>", "<b></b>"})
        inserts.Add(row);
    list->SetInsertList(&inserts);
    list->UseInsertList = true;
    list->SetCurrentString("<ta");
    EXPECT_EQ(Shown(), Rows{"<table>..</table>"});
    list->SetCurrentString("<!--  ");
    EXPECT_EQ(Shown(), Rows{"<!--..-->"}) << "matched by the insert row, shown by the display row";
    // A row without an insert row never matches.
    list->SetCurrentString("<t");
    EXPECT_EQ(Shown(), (Rows{"<table>..</table>", "<tt>..</tt>"}));
}

TEST_F(CompletionListTest, PrettyRowsMatchWithoutTheirCommands)
{
    SetItems({"\\style{+B}function\\style{-B} foo", "bar"});
    list->UsePrettyText = true;
    list->SetCurrentString("func");
    EXPECT_EQ(Shown().size(), 1u);
    list->UsePrettyText = false;
    list->SetCurrentString("func");
    EXPECT_EQ(Shown().size(), 0u);
}

// Without limiting, every row stays; the first matching one is selected, else row 0.
TEST_F(CompletionListTest, UnlimitedListSelectsTheFirstMatch)
{
    SetItems({"alpha", "beta", "gamma", "beta2"}, false);
    list->SetCurrentString("b");
    EXPECT_EQ(Shown().size(), 4u);
    EXPECT_EQ(list->Position(), 1);
    list->SetCurrentString("gA");
    EXPECT_EQ(list->Position(), 2);
    list->SetCurrentString("zeta");
    EXPECT_EQ(list->Position(), 0);
}

}  // namespace
