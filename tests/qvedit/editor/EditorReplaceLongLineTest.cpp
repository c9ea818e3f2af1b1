// Replace all on long lines: a line of thousands of matches is written, rescanned and
// recorded for undo a bounded number of times (counted, so that the work stays linear in
// the line), and the result agrees with the matches replaced one by one, for both engines,
// with group references and line breaks in the replacement, in part of a line and backward.
#include "TestHighlighter.h"
#include "TextEditProbe.h"

#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <memory>
#include <string>

namespace {

constexpr int Matches = 4000;

std::string Repeat(const std::string& Piece, int Times)
{
    std::string text;
    for (int i = 0; i < Times; ++i)
        text += Piece;
    return text;
}

class ReplaceLongLineTest : public TTextEditFixture {
protected:
    ReplaceLongLineTest()
    {
        plain_ = std::make_unique<TQvEditSearch>(nullptr);
        regex_ = std::make_unique<TQvEditRegexSearch>(nullptr);
        Editor().SetSearchEngine(plain_.get());
    }

    Integer ReplaceAll(const std::string& Search, const std::string& Replace, TQvSearchOptions Extra = {})
    {
        Extra.Include(ssoReplaceAll);
        Extra.Include(ssoEntireScope);
        Extra.Include(ssoMatchCase);
        return Editor().SearchReplace(Search, Replace, Extra);
    }

    std::unique_ptr<TQvEditSearch> plain_;
    std::unique_ptr<TQvEditRegexSearch> regex_;
};

TEST_F(ReplaceLongLineTest, ALineOfManyMatchesIsWrittenOnceAndUndoneOnce)
{
    TWordHighlighter highlighter(nullptr);
    Editor().SetHighlighter(&highlighter);
    const std::string line = Repeat("a ", Matches) + "z";
    SetText("first\r\n" + line + "\r\nend");
    Editor().ClearUndo();
    highlighter.ResetCounts();

    EXPECT_EQ(ReplaceAll("a", "b"), Matches);
    EXPECT_TRUE(Editor().GetLines()->Get(1) == Repeat("b ", Matches) + "z");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{2 * Matches, 2})) << "after the last replacement";
    EXPECT_LE(highlighter.LinesSet.size(), 10u) << "the line is rescanned a bounded number of times";
    EXPECT_LE(Editor().UndoReasons().size(), 6u) << "not one record a match";

    highlighter.ResetCounts();
    Editor().Undo();
    EXPECT_TRUE(Editor().GetLines()->Get(1) == line);
    EXPECT_FALSE(Editor().GetCanUndo());
    EXPECT_LE(highlighter.LinesSet.size(), 10u);
    Editor().Redo();
    EXPECT_TRUE(Editor().GetLines()->Get(1) == Repeat("b ", Matches) + "z");
    Editor().SetHighlighter(nullptr);
}

TEST_F(ReplaceLongLineTest, GroupsLineBreaksPartsOfALineAndBackwardAgreeWithOneByOne)
{
    // Group references, filled in from each match.
    Editor().SetSearchEngine(regex_.get());
    SetText(Repeat("ab-", Matches));
    EXPECT_EQ(ReplaceAll("(a)(b)", "$2$1$1"), Matches);
    EXPECT_TRUE(Editor().GetLines()->Get(0) == Repeat("baa-", Matches));

    // Empty matches, at each line's start.
    SetText("one\r\ntwo");
    EXPECT_EQ(ReplaceAll("^", "|"), 2);
    EXPECT_EQ(Editor().QvGetText(), "|one\r\n|two");

    // Line breaks in the replacement: every later match and line still comes.
    Editor().SetSearchEngine(plain_.get());
    SetText("xax\r\naa");
    EXPECT_EQ(ReplaceAll("a", "1\r\n2"), 3);
    EXPECT_EQ(Editor().QvGetText(), "x1\r\n2x\r\n1\r\n21\r\n2");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{2, 5}));
    Editor().Undo();
    EXPECT_EQ(Editor().QvGetText(), "xax\r\naa");

    // Part of a line: a selection from inside the first match to inside the last.
    SetText(Repeat("aa ", 10) + "z");
    Editor().Select(TPoint{2, 1}, TPoint{29, 1});
    EXPECT_EQ(Editor().SearchReplace("aa", "b", {ssoReplaceAll, ssoSelectedOnly}), 8);
    EXPECT_EQ(Editor().GetLines()->Get(0), "aa " + Repeat("b ", 8) + "aa z");

    // Backward gives the same text, the caret at the first replacement.
    SetText("c a a\r\na c");
    Editor().SetCaretXY(TPoint{4, 2});
    EXPECT_EQ(Editor().SearchReplace("a", "dd", {ssoReplaceAll, ssoBackwards}), 3);
    EXPECT_EQ(Editor().QvGetText(), "c dd dd\r\ndd c");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{3, 1}));
}

}  // namespace
