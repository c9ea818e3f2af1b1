// Every binding of the default key map, pressed as the window system delivers it: the
// command it runs and the text, caret, selection and view it leaves.
#include "EditorFixture.h"

#include "platform/window/Clipboard.h"

#include <string>
#include <vector>

namespace {

struct TBindingCase {
    const char* Name;
    Word Key;
    TShiftState Shift;
    TQvEditorCommand Command;
    TPoint Caret;   // before
    TPoint Anchor;  // before; {0, 0} for no selection
    // after: the first three lines joined by '|', the line count, caret, ordered
    // selection and top line
    std::string Lines;
    Integer Count;
    TPoint NewCaret;
    TPoint SelBegin;
    TPoint SelEnd;
    Integer TopLine;
};

std::ostream& operator<<(std::ostream& Out, const TBindingCase& Case)
{
    return Out << Case.Name;
}

constexpr TShiftState S = ssShift;
constexpr TShiftState C = ssCtrl;
constexpr TShiftState A = ssAlt;
constexpr TShiftState SC = ssShift | ssCtrl;
constexpr TShiftState SA = ssShift | ssAlt;
constexpr TPoint P25{5, 2};
constexpr TPoint None{0, 0};

const std::string Same = "  alpha beta|  gamma(x)|line 3";
const std::string Split = "  alpha beta|  ga|  mma(x)";

// Text: "  alpha beta", "  gamma(x)", "line 3" .. "line 40"; ten lines in the window.
// Words are runs of identifier characters: "gamma" ends before "(".
const std::vector<TBindingCase> Cases = {
    {"Up", VK_UP, 0, ecUp, P25, None, Same, 40, {5, 1}, {5, 1}, {5, 1}, 1},
    {"ShiftUp", VK_UP, S, ecSelUp, P25, None, Same, 40, {5, 1}, {5, 1}, P25, 1},
    {"CtrlUp", VK_UP, C, ecScrollUp, P25, None, Same, 40, P25, P25, P25, 1},
    {"Down", VK_DOWN, 0, ecDown, P25, None, Same, 40, {5, 3}, {5, 3}, {5, 3}, 1},
    {"ShiftDown", VK_DOWN, S, ecSelDown, P25, None, Same, 40, {5, 3}, P25, {5, 3}, 1},
    {"CtrlDown", VK_DOWN, C, ecScrollDown, P25, None, Same, 40, P25, P25, P25, 2},
    {"Left", VK_LEFT, 0, ecLeft, P25, None, Same, 40, {4, 2}, {4, 2}, {4, 2}, 1},
    {"ShiftLeft", VK_LEFT, S, ecSelLeft, P25, None, Same, 40, {4, 2}, {4, 2}, P25, 1},
    {"CtrlLeft", VK_LEFT, C, ecWordLeft, P25, None, Same, 40, {3, 2}, {3, 2}, {3, 2}, 1},
    {"ShiftCtrlLeft", VK_LEFT, SC, ecSelWordLeft, P25, None, Same, 40, {3, 2}, {3, 2}, P25, 1},
    {"Right", VK_RIGHT, 0, ecRight, P25, None, Same, 40, {6, 2}, {6, 2}, {6, 2}, 1},
    {"ShiftRight", VK_RIGHT, S, ecSelRight, P25, None, Same, 40, {6, 2}, P25, {6, 2}, 1},
    {"CtrlRight", VK_RIGHT, C, ecWordRight, P25, None, Same, 40, {9, 2}, {9, 2}, {9, 2}, 1},
    {"ShiftCtrlRight", VK_RIGHT, SC, ecSelWordRight, P25, None, Same, 40, {9, 2}, P25, {9, 2}, 1},
    {"PageDown", VK_NEXT, 0, ecPageDown, P25, None, Same, 40, {5, 12}, {5, 12}, {5, 12}, 11},
    {"ShiftPageDown", VK_NEXT, S, ecSelPageDown, P25, None, Same, 40, {5, 12}, P25, {5, 12}, 11},
    {"CtrlPageDown", VK_NEXT, C, ecPageBottom, P25, None, Same, 40, {5, 10}, {5, 10}, {5, 10}, 1},
    {"ShiftCtrlPageDown", VK_NEXT, SC, ecSelPageBottom, P25, None, Same, 40, {5, 10}, P25, {5, 10}, 1},
    {"PageUp", VK_PRIOR, 0, ecPageUp, P25, None, Same, 40, {5, 1}, {5, 1}, {5, 1}, 1},
    {"ShiftPageUp", VK_PRIOR, S, ecSelPageUp, P25, None, Same, 40, {5, 1}, {5, 1}, P25, 1},
    {"CtrlPageUp", VK_PRIOR, C, ecPageTop, P25, None, Same, 40, {5, 1}, {5, 1}, {5, 1}, 1},
    {"ShiftCtrlPageUp", VK_PRIOR, SC, ecSelPageTop, P25, None, Same, 40, {5, 1}, {5, 1}, P25, 1},
    {"Home", VK_HOME, 0, ecLineStart, P25, None, Same, 40, {1, 2}, {1, 2}, {1, 2}, 1},
    {"ShiftHome", VK_HOME, S, ecSelLineStart, P25, None, Same, 40, {1, 2}, {1, 2}, P25, 1},
    {"CtrlHome", VK_HOME, C, ecEditorTop, P25, None, Same, 40, {1, 1}, {1, 1}, {1, 1}, 1},
    {"ShiftCtrlHome", VK_HOME, SC, ecSelEditorTop, P25, None, Same, 40, {1, 1}, {1, 1}, P25, 1},
    {"End", VK_END, 0, ecLineEnd, P25, None, Same, 40, {11, 2}, {11, 2}, {11, 2}, 1},
    {"ShiftEnd", VK_END, S, ecSelLineEnd, P25, None, Same, 40, {11, 2}, P25, {11, 2}, 1},
    {"CtrlEnd", VK_END, C, ecEditorBottom, P25, None, Same, 40, {8, 40}, {8, 40}, {8, 40}, 31},
    {"ShiftCtrlEnd", VK_END, SC, ecSelEditorBottom, P25, None, Same, 40, {8, 40}, P25, {8, 40}, 31},
    {"Insert", VK_INSERT, 0, ecToggleMode, P25, None, Same, 40, P25, P25, P25, 1},
    {"CtrlInsert", VK_INSERT, C, ecCopy, P25, {3, 2}, Same, 40, P25, {3, 2}, P25, 1},
    {"ShiftDelete", VK_DELETE, S, ecCut, P25, {3, 2}, "  alpha beta|  mma(x)|line 3", 40, {3, 2}, {3, 2}, {3, 2}, 1},
    {"ShiftInsert", VK_INSERT, S, ecPaste, P25, None, "  alpha beta|  gaZmma(x)|line 3", 40, {6, 2}, {6, 2}, {6, 2}, 1},
    {"Delete", VK_DELETE, 0, ecDeleteChar, P25, None, "  alpha beta|  gama(x)|line 3", 40, P25, P25, P25, 1},
    {"Backspace", VK_BACK, 0, ecDeleteLastChar, P25, None, "  alpha beta|  gmma(x)|line 3", 40, {4, 2}, {4, 2}, {4, 2}, 1},
    {"ShiftBackspace", VK_BACK, S, ecDeleteLastChar, P25, None, "  alpha beta|  gmma(x)|line 3", 40, {4, 2}, {4, 2}, {4, 2}, 1},
    {"CtrlBackspace", VK_BACK, C, ecDeleteLastWord, P25, None, "  alpha beta|  mma(x)|line 3", 40, {3, 2}, {3, 2}, {3, 2}, 1},
    {"AltBackspace", VK_BACK, A, ecUndo, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftAltBackspace", VK_BACK, SA, ecRedo, P25, None, Same, 40, P25, P25, P25, 1},
    {"Enter", VK_RETURN, 0, ecLineBreak, P25, None, Split, 41, {3, 3}, {3, 3}, {3, 3}, 1},
    {"ShiftEnter", VK_RETURN, S, ecLineBreak, P25, None, Split, 41, {3, 3}, {3, 3}, {3, 3}, 1},
    // Smart tab: to the next word start of the line above, as blanks.
    {"Tab", VK_TAB, 0, ecTab, P25, None, "  alpha beta|  ga    mma(x)|line 3", 40, {9, 2}, {9, 2}, {9, 2}, 1},
    // Smart Shift+Tab: back to the start of the word above the caret.
    {"ShiftTab", VK_TAB, S, ecShiftTab, P25, None, "  alpha beta|  mma(x)|line 3", 40, {3, 2}, {3, 2}, {3, 2}, 1},
    {"F1", VK_F1, 0, ecContextHelp, P25, None, Same, 40, P25, P25, P25, 1},
    {"CtrlA", 'A', C, ecSelectAll, P25, None, Same, 40, {8, 40}, {1, 1}, {8, 40}, 31},
    {"CtrlC", 'C', C, ecCopy, P25, {3, 2}, Same, 40, P25, {3, 2}, P25, 1},
    {"CtrlV", 'V', C, ecPaste, P25, None, "  alpha beta|  gaZmma(x)|line 3", 40, {6, 2}, {6, 2}, {6, 2}, 1},
    {"CtrlX", 'X', C, ecCut, P25, {3, 2}, "  alpha beta|  mma(x)|line 3", 40, {3, 2}, {3, 2}, {3, 2}, 1},
    {"ShiftCtrlI", 'I', SC, ecBlockIndent, P25, {3, 1}, "          alpha beta|          gamma(x)|line 3", 40,
     {13, 2}, {11, 1}, {13, 2}, 1},
    {"ShiftCtrlU", 'U', SC, ecBlockUnindent, P25, {3, 1}, "alpha beta|gamma(x)|line 3", 40, {3, 2}, {1, 1}, {3, 2}, 1},
    {"CtrlM", 'M', C, ecLineBreak, P25, None, Split, 41, {3, 3}, {3, 3}, {3, 3}, 1},
    {"CtrlN", 'N', C, ecInsertLine, P25, None, Split, 41, P25, P25, P25, 1},
    {"CtrlT", 'T', C, ecDeleteWord, P25, None, "  alpha beta|  ga(x)|line 3", 40, P25, P25, P25, 1},
    {"CtrlY", 'Y', C, ecDeleteLine, P25, None, "  alpha beta|line 3|line 4", 39, {1, 2}, {1, 2}, {1, 2}, 1},
    {"ShiftCtrlY", 'Y', SC, ecDeleteEOL, P25, None, "  alpha beta|  ga|line 3", 40, P25, P25, P25, 1},
    {"CtrlZ", 'Z', C, ecUndo, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrlZ", 'Z', SC, ecRedo, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl0", '0', C, ecGotoMarker0, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl1", '1', C, ecGotoMarker1, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl2", '2', C, ecGotoMarker2, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl3", '3', C, ecGotoMarker3, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl4", '4', C, ecGotoMarker4, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl5", '5', C, ecGotoMarker5, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl6", '6', C, ecGotoMarker6, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl7", '7', C, ecGotoMarker7, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl8", '8', C, ecGotoMarker8, P25, None, Same, 40, P25, P25, P25, 1},
    {"Ctrl9", '9', C, ecGotoMarker9, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl0", '0', SC, ecSetMarker0, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl1", '1', SC, ecSetMarker1, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl2", '2', SC, ecSetMarker2, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl3", '3', SC, ecSetMarker3, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl4", '4', SC, ecSetMarker4, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl5", '5', SC, ecSetMarker5, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl6", '6', SC, ecSetMarker6, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl7", '7', SC, ecSetMarker7, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl8", '8', SC, ecSetMarker8, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrl9", '9', SC, ecSetMarker9, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrlN", 'N', SC, ecNormalSelect, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrlC", 'C', SC, ecColumnSelect, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrlL", 'L', SC, ecLineSelect, P25, None, Same, 40, P25, P25, P25, 1},
    {"ShiftCtrlB", 'B', SC, ecMatchBracket, {8, 2}, None, Same, 40, {10, 2}, {10, 2}, {10, 2}, 1},
};

class EditorKeyBindingsTest : public TEditorFixture<>, public ::testing::WithParamInterface<TBindingCase> {
protected:
    void SetUp() override
    {
        std::string text = "  alpha beta\n  gamma(x)\n";
        for (int i = 3; i <= 40; ++i)
            text += "line " + std::to_string(i) + (i < 40 ? "\n" : "");
        SetText(text);
        // Ten whole lines in the window, whatever the font's height.
        TQvEdit& e = Editor();
        const int frame = e.Height() - e.ClientHeight();
        SetSize(EditorWidth, 10 * e.GetLineHeight() + frame);
        ASSERT_EQ(e.GetLinesInWindow(), 10);
        Clipboard()->SetAsText("Z");
        e.OnProcessCommand = TProcessCommandEvent(this, &EditorKeyBindingsTest::Record);
    }

    void Record(TObject*, TQvEditorCommand& Command, char&, void*) { commands_.push_back(Command); }

    std::string FirstLines() const
    {
        TQvEditStringList* lines = const_cast<EditorKeyBindingsTest*>(this)->Editor().GetLines();
        return lines->Get(0) + "|" + lines->Get(1) + "|" + lines->Get(2);
    }

    std::vector<TQvEditorCommand> commands_;
};

TEST_P(EditorKeyBindingsTest, RunsItsCommand)
{
    const TBindingCase& c = GetParam();
    TQvEdit& e = Editor();
    e.SetCaretAndSelection(c.Caret, c.Anchor == None ? c.Caret : c.Anchor, c.Caret);
    commands_.clear();

    Key(c.Key, c.Shift);

    // One command and no typed character after it.
    ASSERT_EQ(commands_.size(), 1U);
    EXPECT_EQ(commands_[0], c.Command);
    EXPECT_EQ(FirstLines(), c.Lines);
    EXPECT_EQ(e.GetLines()->Count(), c.Count);
    EXPECT_EQ(e.GetCaretXY(), c.NewCaret);
    EXPECT_EQ(e.GetBlockBegin(), c.SelBegin);
    EXPECT_EQ(e.GetBlockEnd(), c.SelEnd);
    EXPECT_EQ(e.GetTopLine(), c.TopLine);
}

INSTANTIATE_TEST_SUITE_P(DefaultMap, EditorKeyBindingsTest, ::testing::ValuesIn(Cases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(EditorKeyBindingsTable, CoversTheWholeDefaultMap)
{
    TQvEditKeyStrokes defaults(nullptr);
    defaults.ResetDefaults();
    ASSERT_EQ(defaults.Count(), static_cast<int>(Cases.size()));
    for (const TBindingCase& c : Cases) {
        const int index = defaults.FindKeycode(c.Key, c.Shift);
        ASSERT_GE(index, 0) << c.Name;
        EXPECT_EQ(defaults.GetItem(index)->GetCommand(), c.Command) << c.Name;
    }
}

}  // namespace
