// A line of a million characters scrolled to its end paints the very pixels that a short
// line with the same visible columns paints, plain and through a highlighter, with tabs
// and the visible special characters.
#include "EditorFixture.h"

#include "qvedit/highlighters/QvHighlighterCpp.h"

#include <vector>

namespace {

class EditorPaintHugeLineTest : public EditorFixture {
protected:
    ~EditorPaintHugeLineTest() override { Editor().SetHighlighter(nullptr); }

    // The client area's pixels with the text Prefix + Tail on line 2, scrolled so that
    // the last three characters of Prefix are the first visible columns. Prefix's length
    // is a multiple of the tab width, so the tail's tabs expand alike.
    std::vector<TColor> PaintScrolled(Integer PrefixLength, const std::string& Tail)
    {
        SetText("int a;\n" + std::string(static_cast<std::size_t>(PrefixLength), 'a') + Tail +
                "\n/* c */");
        Editor().SetMaxLineWidth(PrefixLength + 1000);
        Editor().SetLeftChar(PrefixLength - 2);
        Editor().SetCaretXY(TPoint{PrefixLength + 2, 2});
        EXPECT_EQ(Editor().GetLeftChar(), PrefixLength - 2);
        return TextAreaPixels();
    }

    void ExpectHugeLikeShort(const char* What)
    {
        const std::string tail = "b\tc = \"d\" + 1; // e\t ";
        const Integer huge = 1000000 - 8;
        EXPECT_TRUE(PaintScrolled(huge, tail) == PaintScrolled(16, tail)) << What;
    }

    TQvCppHighlighter cpp_{nullptr};
};

TEST_F(EditorPaintHugeLineTest, FarRightOfAMillionCharactersPaintsAsAShortLine)
{
    Editor().SetTabWidth(8);
    ExpectHugeLikeShort("plain");
    Editor().SetOptionFlag(eoShowSpecialChars, true);
    ExpectHugeLikeShort("plain with special characters");
    Editor().SetHighlighter(&cpp_);
    ExpectHugeLikeShort("highlighted with special characters");
    Editor().SetOptionFlag(eoShowSpecialChars, false);
    ExpectHugeLikeShort("highlighted");
}

}  // namespace
