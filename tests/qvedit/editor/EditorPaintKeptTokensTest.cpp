// A long line keeps its tokens about the columns painted between paints: a paint that
// uses tokens kept from a paint of other columns gives the very pixels of a paint that
// made them afresh, with visible blanks and tabs, runs of blanks across styles, and a
// selection; and the tokens go when the text changes.
#include "EditorFixture.h"

#include "qvedit/highlighters/QvHighlighterJScript.h"

#include <string>
#include <vector>

namespace {

class EditorPaintKeptTokensTest : public EditorFixture {
protected:
    EditorPaintKeptTokensTest() { Editor().SetHighlighter(&js_); }
    ~EditorPaintKeptTokensTest() override { Editor().SetHighlighter(nullptr); }

    // Shows the display columns from LeftChar on, with the caret and a selection in view.
    void View(Integer LeftChar)
    {
        const TPoint from = Editor().PhysicalToLogicalPos(TPoint{LeftChar + 3, 1});
        const TPoint to = Editor().PhysicalToLogicalPos(TPoint{LeftChar + 11, 1});
        Editor().SetCaretXY(to);
        Editor().SetBlockBegin(from);
        Editor().SetBlockEnd(to);
        Editor().SetLeftChar(LeftChar);
        ASSERT_EQ(Editor().GetLeftChar(), LeftChar);
    }
    // The pixels at LeftChar painted with tokens made for that paint: the text is set
    // again, which lets go of every kept token.
    std::vector<TColor> Fresh(const std::string& Text, Integer LeftChar)
    {
        SetText(Text);
        View(LeftChar);
        return TextAreaPixels();
    }

    // Paints at First, then at each of Then (the tokens of the first paint kept as far as
    // they reach), each compared with a fresh paint there.
    void ExpectKeptLikeFresh(const std::string& Text, Integer First, const std::vector<Integer>& Then)
    {
        for (Integer left : Then) {
            SCOPED_TRACE(left);
            const std::vector<TColor> fresh = Fresh(Text, left);
            SetText(Text);
            View(First);
            TextAreaPixels();
            const std::uint64_t tokenised = Editor().GetPaintWork().BytesTokenised;
            View(left);
            EXPECT_TRUE(TextAreaPixels() == fresh);
            if (left >= First - 2000 && left <= First + 2000) {
                EXPECT_EQ(Editor().GetPaintWork().BytesTokenised, tokenised) << "the kept tokens served";
            }
        }
    }

    TQvJScriptHighlighter js_{nullptr};
};

// Keywords (bold), comments (italic), strings, numbers and runs of blanks and tabs
// between them, repeated to 60,000 characters.
std::string Script()
{
    std::string text;
    while (text.size() < 60000)
        text += "if  (a1 ==\t'x y') {  return 2.5 }  /* c  d */ var  b =\t\"s\"  ;   ";
    return text;
}

TEST_F(EditorPaintKeptTokensTest, TokensKeptFromOtherColumnsPaintAsFreshOnes)
{
    Editor().SetMaxLineWidth(100000);
    Editor().SetTabWidth(4);
    const std::string text = Script();
    for (bool special : {false, true}) {
        SCOPED_TRACE(special ? "special characters shown" : "plain");
        Editor().SetOptionFlag(eoShowSpecialChars, special);
        ExpectKeptLikeFresh(text, 30000, {30000, 29990, 30001, 30017, 29500, 31000, 26000, 34000});
    }
}

TEST_F(EditorPaintKeptTokensTest, AChangedLineIsTokenisedAgain)
{
    Editor().SetMaxLineWidth(100000);
    const std::string text = Script();
    SetText(text);
    View(30000);
    const std::vector<TColor> before = TextAreaPixels();
    const auto at = static_cast<std::size_t>(Editor().PhysicalToLogicalPos(TPoint{30010, 1}).X - 1);
    Editor().GetLines()->Put(0, text.substr(0, at) + "return" + text.substr(at + 6));
    View(30000);
    const std::uint64_t tokenised = Editor().GetPaintWork().BytesTokenised;
    const std::vector<TColor> after = TextAreaPixels();
    EXPECT_GT(Editor().GetPaintWork().BytesTokenised, tokenised);
    EXPECT_FALSE(after == before);
    EXPECT_TRUE(after == Fresh(Editor().GetLines()->Get(0), 30000));
}

}  // namespace
