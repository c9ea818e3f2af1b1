// Shift+Tab without a selection: it takes away text just before the caret (only blanks and
// tabs without smart tabs), never reads before the line's start, and undo gives the line
// back.
#include "EditorFixture.h"

#include <string>

namespace {

using EditorShiftTabTest = EditorFixture;

bool AllBlank(const std::string& S)
{
    return S.find_first_not_of(" \t") == std::string::npos;
}

// Every tab width, every caret column of lines long enough to live on the heap, with and
// without smart tabs (with a line above that reaches the caret or not).
TEST_F(EditorShiftTabTest, TakesOnlyBlanksBeforeTheCaretAtEveryTabWidth)
{
    TQvEdit& e = Editor();
    e.SetOptionFlag(eoTabIndent, true);
    const std::string lines[] = {std::string(20, ' ') + "x", "abcdefghijklmnopqrstu", "\t\tabc   def ghi jkl mno"};
    for (bool smart : {false, true}) {
        e.SetOptionFlag(eoSmartTabs, smart);
        for (Integer width = 1; width <= 8; ++width) {
            e.SetTabWidth(width);
            for (const std::string& line : lines) {
                for (Integer column = 1; column <= static_cast<Integer>(line.size()) + 1; ++column) {
                    SetText("ab cd\r\n" + line);
                    e.SetCaretXY(TPoint{column, 2});
                    Key(VK_TAB, ssShift);
                    const std::string after = e.GetLines()->Get(1);
                    const Integer x = e.GetCaretX();
                    const auto kept = static_cast<std::size_t>(x - 1);
                    ASSERT_LE(x, column) << width << " " << column;
                    ASSERT_GE(x, 1);
                    EXPECT_EQ(after.substr(0, kept), line.substr(0, kept)) << width << " " << column;
                    EXPECT_EQ(after.substr(kept), line.substr(static_cast<std::size_t>(column - 1)))
                        << width << " " << column;
                    // Smart tabs go back to a word start of the line above, over anything.
                    EXPECT_TRUE(smart || AllBlank(line.substr(kept, static_cast<std::size_t>(column - x))))
                        << width << " " << column;
                    if (column == 1) {
                        EXPECT_FALSE(e.GetCanUndo()) << width;
                    }
                    while (e.GetCanUndo())
                        Key('Z', ssCtrl);
                    EXPECT_EQ(e.GetLines()->Get(1), line) << width << " " << column;
                }
            }
        }
    }
}

}  // namespace
