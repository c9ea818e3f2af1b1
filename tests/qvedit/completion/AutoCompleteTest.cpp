// The template expander on an editor, driven by Shift+Space: the template typed in place of
// the token with its indent and caret mark, one undo step, and a token with no template.
#include "../editor/EditorFixture.h"
#include "qvedit/completion/QvAutoComplete.h"

namespace {

class AutoCompleteTest : public EditorFixture {
protected:
    AutoCompleteTest()
    {
        TStringList templates;
        templates.SetText("if\n=if (|) {\n=\tx;\n=}\n"
                          "line\n=one\n=\n=two\n"
                          "\n"
                          "=orphan\n"
                          "TAB\n=a\tb|c|d\n");
        expander.SetAutoCompleteList(&templates);
        expander.SetEditor(&Editor());
        // Tab types a tab, whatever the line above holds.
        TQvEditorOptions options = Editor().GetOptions();
        options.Exclude(eoTabsToSpaces);
        options.Exclude(eoSmartTabs);
        Editor().SetOptions(options);
        Editor().SetTabWidth(4);
        Editor().SetFocus();
    }

    void ShiftSpace() { Key(VK_SPACE, ssShift); }
    std::string Text() { return Editor().QvGetText(); }

    TQvAutoComplete expander{nullptr};
};

TEST_F(AutoCompleteTest, ATokenAtColumnOneExpandsWithTheCaretAtTheMarkAsOneUndoStep)
{
    SetText("IF");
    Editor().SetCaretXY(TPoint{3, 1});
    const TQvEditorOptions options = Editor().GetOptions();
    Editor().ClearUndo();
    ShiftSpace();
    EXPECT_EQ(Text(), "if () {\r\n\tx;\r\n}");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{5, 1}));
    EXPECT_EQ(Editor().GetOptions(), options) << "auto-indent and trimming are back";
    // Shift+Space typed nothing of its own.
    Type("a");
    EXPECT_EQ(Editor().GetLines()->Get(0), "if (a) {");
    Editor().Undo();
    Editor().Undo();
    EXPECT_EQ(Text(), "IF");
    EXPECT_FALSE(Editor().GetCanUndo());
}

TEST_F(AutoCompleteTest, ContinuationLinesTakeTheTokensColumnInTabsAndBlanks)
{
    // The token starts at display column 11: ten columns are two tabs and two blanks.
    SetText("\t\t  line");
    Editor().SetCaretXY(TPoint{9, 1});
    ShiftSpace();
    EXPECT_EQ(Text(), "\t\t  one\r\n\t\t  \r\n\t\t  two");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{8, 3})) << "no mark: after the last character";

    // Converting tabs to blanks, the indent is blanks only.
    Editor().SetOptionFlag(eoTabsToSpaces, true);
    SetText("x = line");
    Editor().SetCaretXY(TPoint{9, 1});
    ShiftSpace();
    EXPECT_EQ(Text(), "x = one\r\n    \r\n    two");
}

TEST_F(AutoCompleteTest, TabsInATemplateAreTypedAndTheLastMarkDecides)
{
    Editor().SetOptionFlag(eoTabsToSpaces, false);
    SetText("(tab");
    Editor().SetCaretXY(TPoint{5, 1});
    ShiftSpace();
    EXPECT_EQ(Text(), "(a\tb|cd");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{7, 1}));
}

TEST_F(AutoCompleteTest, ATokenWithoutATemplateChangesNothingAndTheKeyIsConsumed)
{
    for (const char* token : {"orphan", "el"}) {
        SCOPED_TRACE(token);
        SetText(token);
        Editor().SetCaretXY(TPoint{static_cast<Integer>(std::string(token).size()) + 1, 1});
        ShiftSpace();
        Type("x");
        EXPECT_EQ(Text(), std::string(token) + "x");
    }
    // Past the end of the line there is no token.
    SetText("if");
    Editor().SetCaretXY(TPoint{5, 1});
    ShiftSpace();
    EXPECT_EQ(Editor().GetLines()->Get(0), "if");
    // Space alone, and Shift+Space with the shortcut taken away, still type their blank.
    SetText("ab");
    Editor().SetCaretXY(TPoint{2, 1});
    Key(VK_SPACE);
    EXPECT_EQ(Text(), "a b");
    expander.SetShortCut(scNone);
    ShiftSpace();
    EXPECT_EQ(Text(), "a  b");
}

TEST_F(AutoCompleteTest, AnyLineOfTheListMayNameATemplate)
{
    TStringList templates;
    templates.SetText("=}\n=?>|\nif\n=if\n");
    expander.SetAutoCompleteList(&templates);
    SetText("x =}");
    Editor().SetCaretXY(TPoint{5, 1});
    ShiftSpace();
    EXPECT_EQ(Text(), "x ?>");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{5, 1}));
    EXPECT_EQ(expander.GetTokenValue("=}"), "?>|");
    // A template's own line: its template is what follows it, here nothing.
    SetText("=if");
    Editor().SetCaretXY(TPoint{4, 1});
    ShiftSpace();
    EXPECT_EQ(Text(), "");
}

TEST_F(AutoCompleteTest, TheListGivesItsNamesAndTemplates)
{
    EXPECT_EQ(expander.GetTokenList(), "if\r\nline\r\nTAB\r\n");
    EXPECT_EQ(expander.GetTokenValue("LINE"), "one\r\n\r\ntwo");
    EXPECT_EQ(expander.GetTokenValue("none"), "");
}

TEST_F(AutoCompleteTest, AFreedEditorIsUnbound)
{
    auto* other = new TQvEdit(nullptr);
    expander.SetEditor(other);
    delete other;
    EXPECT_EQ(expander.Editor(), nullptr);
}

}  // namespace
