// The keys of an open completion list: moving the selection at the first, last and only
// row and in an empty list; keys that edit through the editor; completing and cancelling.
#include "CompletionListFixture.h"

namespace {

using Log = std::vector<std::string>;

std::vector<std::string> Numbered(int count)
{
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back("row" + std::to_string(100 + i));
    return rows;
}

TEST_F(CompletionListTest, MovingKeysStopAtTheFirstAndLastRow)
{
    SetItems(Numbered(20));
    list->SetNbLinesInWindow(8);
    list->Press(VK_UP);
    EXPECT_EQ(list->Position(), 0);
    list->Press(VK_PRIOR);
    EXPECT_EQ(list->Position(), 0);
    list->Press(VK_DOWN);
    EXPECT_EQ(list->Position(), 1);
    list->Press(VK_NEXT);
    EXPECT_EQ(list->Position(), 9);
    EXPECT_EQ(list->Scroll()->Position(), 2) << "the selection is scrolled into view";
    list->Press(VK_NEXT);
    list->Press(VK_NEXT);
    EXPECT_EQ(list->Position(), 19) << "page down from the last page selects the last row";
    list->Press(VK_DOWN);
    EXPECT_EQ(list->Position(), 19);
    list->Press(VK_HOME);
    EXPECT_EQ(list->Position(), 0);
    EXPECT_EQ(list->Scroll()->Position(), 0);
    list->Press(VK_END);
    EXPECT_EQ(list->Position(), 19);
    EXPECT_EQ(list->Scroll()->Position(), 12);
    list->Press(VK_UP, ssCtrl);
    EXPECT_EQ(list->Position(), 0);
    list->Press(VK_DOWN, ssCtrl);
    EXPECT_EQ(list->Position(), 19);
    list->Press(VK_PRIOR);
    EXPECT_EQ(list->Position(), 11);
    EXPECT_TRUE(editor->Log.empty()) << "moving the selection leaves the editor alone";
}

TEST_F(CompletionListTest, MovingKeysInAListOfOneRowAndInAnEmptyList)
{
    SetItems({"only"});
    for (Word key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME}) {
        list->Press(key);
        EXPECT_EQ(list->Position(), 0) << key;
        list->Press(key, ssCtrl);
        EXPECT_EQ(list->Position(), 0) << key;
    }
    list->SetCurrentString("x");
    ASSERT_TRUE(list->AssignedList()->Count() == 0);
    for (Word key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME}) {
        list->Press(key);
        list->Press(key, ssCtrl);
        EXPECT_EQ(list->Position(), 0) << key;
    }
    EXPECT_EQ(list->LogicalToPhysicalIndex(list->Position()), -1);
    // Completing an empty list is still the owner's to decide.
    list->CompleteWithEnter = true;
    list->Press(VK_RETURN);
    EXPECT_EQ(events, Log{"validate 0"});
}

TEST_F(CompletionListTest, BackspaceAndLeftShrinkTheTypedTextThenCancel)
{
    SetItems({"abc", "abd", "x"});
    editor->Line = "ab";
    editor->Caret = 2;
    list->SetCurrentString("ab");
    list->Activate();
    list->Press(VK_BACK, 0, '\b');
    EXPECT_EQ(list->CurrentString(), "a");
    EXPECT_EQ(editor->Line, "a");
    EXPECT_EQ(events, Log{"keypress BS"}) << "the owner sees the character";
    list->Press(VK_LEFT);
    EXPECT_EQ(list->CurrentString(), "");
    EXPECT_EQ(editor->Caret, 0u);
    EXPECT_EQ(Shown().size(), 3u);
    EXPECT_TRUE(list->Visible());

    // With nothing typed, Backspace deletes left of the caret and closes the list.
    editor->Caret = 1;
    list->Press(VK_BACK, 0, '\b');
    EXPECT_EQ(editor->Line, "");
    EXPECT_EQ(events, (Log{"keypress BS", "cancel"})) << "its character is not passed on once closed";
    EXPECT_FALSE(list->Visible());

    events.clear();
    editor->Log.clear();
    list->Activate();
    list->Press(VK_LEFT);
    EXPECT_EQ(editor->Log, Log{"left"});
    EXPECT_EQ(events, Log{"cancel"});
    // Backspace with a shift key does nothing.
    events.clear();
    editor->Log.clear();
    list->Press(VK_BACK, ssShift);
    EXPECT_TRUE(editor->Log.empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(CompletionListTest, RightTakesTheNextCharacterOrEndsAtATokenEnd)
{
    SetItems({"strlen", "strpos"});
    editor->Line = "strl(x";
    editor->Caret = 3;
    list->SetCurrentString("str");
    list->Activate();
    list->Press(VK_RIGHT);
    EXPECT_EQ(list->CurrentString(), "strl");
    EXPECT_EQ(Shown(), std::vector<std::string>{"strlen"});
    EXPECT_TRUE(events.empty());
    list->Press(VK_RIGHT);  // "(" ends the token
    EXPECT_EQ(events, Log{"cancel"});
    EXPECT_EQ(editor->Log, (Log{"right", "right"}));

    // Past the end of the line the caret reads a blank.
    events.clear();
    editor->Caret = 6;
    list->Activate();
    list->Press(VK_RIGHT);
    EXPECT_EQ(events, Log{"cancel"});
    editor->Line = "a\tb";
    editor->Caret = 1;
    events.clear();
    list->Activate();
    list->Press(VK_RIGHT);
    EXPECT_EQ(events, Log{"cancel"});
}

TEST_F(CompletionListTest, DeleteTabEnterEscape)
{
    SetItems({"one", "two"});
    editor->Line = "xy";
    list->Press(VK_DELETE);
    EXPECT_EQ(editor->Line, "y");
    list->Press(VK_TAB);
    list->Press(VK_RETURN);
    EXPECT_TRUE(events.empty()) << "completing with Tab and Enter is off by default";
    list->CompleteWithTab = true;
    list->CompleteWithEnter = true;
    list->Press(VK_TAB, ssShift);
    list->Press(VK_RETURN);
    list->Press(VK_ESCAPE);
    EXPECT_EQ(events, (Log{"validate 1", "validate 0", "cancel"}));
}

// The character of a key that completed or closed the list belongs to that key: Tab
// completing must not type a tab after the inserted row.
TEST_F(CompletionListTest, CharacterOfTheClosingKeyIsDropped)
{
    SetItems({"one"});
    list->CompleteWithTab = true;
    list->Activate();
    list->Press(VK_TAB, 0, '\t');
    list->Activate();
    list->Press(VK_ESCAPE, 0, '\x1b');
    list->Activate();
    list->Press(VK_RETURN, 0, '\r');
    EXPECT_EQ(events, (Log{"validate 0", "cancel"}));
    EXPECT_TRUE(editor->Log.empty());
    EXPECT_TRUE(list->Visible()) << "Enter without completing keeps the list";
}

TEST_F(CompletionListTest, TypedCharacters)
{
    SetItems({"strlen", "strpos", "substr"});
    list->Activate();
    list->Type('s');
    list->Type('t');
    EXPECT_EQ(list->CurrentString(), "st");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"strlen", "strpos"}));
    EXPECT_EQ(events, (Log{"keypress s", "keypress t"}));

    // An end-of-token character completes first, then is typed after the row.
    events.clear();
    list->Type('(');
    EXPECT_EQ(events, (Log{"validate 0 (", "keypress ("}));
    EXPECT_EQ(list->CurrentString(), "st(");

    // Characters above "z" and control characters go to the editor and close the list.
    events.clear();
    list->Activate();
    list->Type('{');
    list->Activate();
    list->Type('\x01');
    list->Activate();
    list->Type('\xE9');
    EXPECT_EQ(editor->Log, (Log{"char {", "char \x01", "char \xE9"}));
    EXPECT_EQ(events, (Log{"cancel", "cancel", "cancel"}));
}

}  // namespace
