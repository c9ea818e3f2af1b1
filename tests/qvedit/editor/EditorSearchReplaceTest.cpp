// The search-and-replace driver through both engines: finding in every direction and
// scope, replacing with and without the prompt, replace-all against a straightforward
// reference and undone in one step, errors of the expression engine in mid-operation.
#include "TestHighlighter.h"
#include "TextEditProbe.h"
#include "FakeRegexClock.h"

#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"
#include "qvedit/search/QvRegex.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct PromptCall {
    int Line;
    int Column;
};

class SearchReplaceTest : public TTextEditFixture {
protected:
    SearchReplaceTest()
    {
        plain_ = std::make_unique<TQvEditSearch>(nullptr);
        regex_ = std::make_unique<TQvEditRegexSearch>(nullptr);
        UsePlain();
    }

    void UsePlain() { Editor().SetSearchEngine(plain_.get()); }
    void UseRegex() { Editor().SetSearchEngine(regex_.get()); }

    Integer Run(const std::string& Search, const std::string& Replace, TQvSearchOptions Options)
    {
        return Editor().SearchReplace(Search, Replace, Options);
    }

    std::string Text() { return Editor().QvGetText(); }
    std::string Selected() { return Editor().GetSelText(); }

    // Answers the prompt from a script, recording where it was asked.
    void Answer(std::vector<TQvReplaceAction> Answers)
    {
        answers_ = std::move(Answers);
        Editor().OnReplaceText = TReplaceTextEvent(this, &SearchReplaceTest::OnPrompt);
    }
    std::vector<PromptCall> Calls;

    std::unique_ptr<TQvEditSearch> plain_;
    std::unique_ptr<TQvEditRegexSearch> regex_;

private:
    void OnPrompt(TObject*, const std::string&, const std::string&, int Line, int Column,
                  TQvReplaceAction& Action)
    {
        Calls.push_back({Line, Column});
        Action = Calls.size() <= answers_.size() ? answers_[Calls.size() - 1] : raCancel;
    }
    std::vector<TQvReplaceAction> answers_;
};

// Replaces every non-overlapping occurrence of Search in each line, left to right.
std::string ReferenceReplaceAll(const std::string& Text, const std::string& Search, const std::string& Replace)
{
    std::string result;
    std::size_t at = 0;
    for (;;) {
        const std::size_t found = Text.find(Search, at);
        const std::size_t lineEnd = Text.find("\r\n", at);
        if (found == std::string::npos) {
            result += Text.substr(at);
            return result;
        }
        if (lineEnd != std::string::npos && lineEnd < found) {  // no match across a line end
            result += Text.substr(at, lineEnd + 2 - at);
            at = lineEnd + 2;
            continue;
        }
        result += Text.substr(at, found - at) + Replace;
        at = found + Search.size();
    }
}

// Replaces through the expression engine line by line.
std::string ReferenceRegexReplaceAll(const std::string& Text, const std::string& Expression,
                                     const std::string& Replace)
{
    TRegex re;
    re.SetExpression(Expression);
    std::string result;
    std::size_t at = 0;
    for (;;) {
        const std::size_t lineEnd = Text.find("\r\n", at);
        result += re.Replace(Text.substr(at, lineEnd == std::string::npos ? std::string::npos : lineEnd - at),
                             Replace, true);
        if (lineEnd == std::string::npos)
            return result;
        result += "\r\n";
        at = lineEnd + 2;
    }
}

}  // namespace

// ---- Finding ---------------------------------------------------------------------------------------

TEST_F(SearchReplaceTest, FindsForwardBackwardAndInTheSelection)
{
    SetText("cat dog cat\r\ndog\r\ncat cat");
    Editor().SetCaretXY(TPoint{2, 1});
    EXPECT_EQ(Run("cat", "", {}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{9, 1}));
    EXPECT_EQ(Editor().GetBlockEnd(), (TPoint{12, 1}));
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{12, 1}));
    EXPECT_EQ(Run("cat", "", {}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 3}));
    EXPECT_EQ(Run("cat", "", {}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{5, 3}));
    EXPECT_EQ(Run("cat", "", {}), 0);

    // Backward from the caret: the nearest match before it, the caret at its start.
    Editor().SetCaretXY(TPoint{4, 3});
    EXPECT_EQ(Run("CAT", "", {ssoBackwards}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 3}));
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 3}));
    EXPECT_EQ(Run("CAT", "", {ssoBackwards}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{9, 1}));
    EXPECT_EQ(Run("CAT", "", {ssoBackwards, ssoMatchCase}), 0);

    // Entire scope ignores the caret.
    EXPECT_EQ(Run("dog", "", {ssoEntireScope}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{5, 1}));

    // Selected only: a match that starts before the selection on its line is not one.
    Editor().SetCaretAndSelection(TPoint{7, 3}, TPoint{2, 1}, TPoint{7, 3});
    EXPECT_EQ(Run("cat", "", {ssoSelectedOnly}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{9, 1}));
    Editor().SetCaretAndSelection(TPoint{7, 3}, TPoint{2, 1}, TPoint{7, 3});
    EXPECT_EQ(Run("cat", "x", {ssoSelectedOnly, ssoReplaceAll}), 2);
    EXPECT_EQ(Text(), "cat dog x\r\ndog\r\nx cat");
}

TEST_F(SearchReplaceTest, WholeWordAtTheTextsEdgesAndCyrillicCase)
{
    SetText("cat\r\nconcat cat_s\r\n(cat)");
    EXPECT_EQ(Run("cat", "X", {ssoWholeWord, ssoReplaceAll, ssoEntireScope}), 2);
    EXPECT_EQ(Text(), "X\r\nconcat cat_s\r\n(X)");

    SetAnsiCodePage(1251);
    TQvEditSearch cyrillic(nullptr);
    Editor().SetSearchEngine(&cyrillic);
    SetText("\xEF\xF0\xE8\xE2\xE5\xF2 \xCF\xD0\xC8\xC2\xC5\xD2");
    EXPECT_EQ(Run("\xCF\xF0\xE8\xE2\xE5\xF2", "!", {ssoReplaceAll, ssoEntireScope}), 2);
    EXPECT_EQ(Text(), "! !");
    SetText("\xEF\xF0\xE8\xE2\xE5\xF2 \xCF\xD0\xC8\xC2\xC5\xD2");
    EXPECT_EQ(Run("\xCF\xD0\xC8\xC2\xC5\xD2", "!", {ssoReplaceAll, ssoEntireScope, ssoMatchCase}), 1);
    EXPECT_EQ(Text(), "\xEF\xF0\xE8\xE2\xE5\xF2 !");
}

TEST_F(SearchReplaceTest, WithoutAnEngineOrPattern)
{
    SetText("abc");
    Editor().SetSearchEngine(nullptr);
    try {
        Run("a", "", {});
        FAIL() << "no error";
    } catch (const EQvEditError& e) {
        EXPECT_EQ(e.Message(), "No search engine has been assigned");
    }
    UsePlain();
    EXPECT_EQ(Run("", "x", {ssoReplaceAll}), 0);
    EXPECT_EQ(Text(), "abc");
    // The engine going away is noticed.
    plain_.reset();
    EXPECT_EQ(Editor().GetSearchEngine(), nullptr);
}

// ---- Replacing with the prompt -----------------------------------------------------------------

TEST_F(SearchReplaceTest, PromptAnswersSkipReplaceAndCancel)
{
    SetText("a a\r\na a");
    Answer({raSkip, raReplace, raCancel});
    EXPECT_EQ(Run("a", "bb", {ssoReplaceAll, ssoPrompt, ssoEntireScope}), 3);
    EXPECT_EQ(Text(), "a bb\r\na a");
    ASSERT_EQ(Calls.size(), 3u);
    EXPECT_EQ(Calls[1].Line, 1);
    EXPECT_EQ(Calls[1].Column, 3);
    EXPECT_EQ(Calls[2].Line, 2);
    EXPECT_EQ(Calls[2].Column, 1);
    // Cancel leaves the last match selected and every lock released.
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 2}));
    EXPECT_EQ(Selected(), "a");
    EXPECT_FALSE(Editor().PaintLocked());
}

TEST_F(SearchReplaceTest, PromptAnsweredReplaceAllReplacesTheRestInOneUndoStep)
{
    // Grouping by reason would join the separate replacements' insertions.
    Editor().SetOptionFlag(eoGroupUndo, false);
    SetText("a a\r\na a");
    Answer({raReplace, raReplaceAll});
    EXPECT_EQ(Run("a", "bb", {ssoReplaceAll, ssoPrompt, ssoEntireScope}), 4);
    EXPECT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Text(), "bb bb\r\nbb bb");
    Editor().Undo();  // the three replaced after the answer
    EXPECT_EQ(Text(), "bb a\r\na a");
    Editor().Undo();
    EXPECT_EQ(Text(), "a a\r\na a");
}

TEST_F(SearchReplaceTest, SingleReplaceStopsAfterOneAndBackwardGoesRightToLeft)
{
    SetText("a a a");
    EXPECT_EQ(Run("a", "bb", {ssoReplace, ssoEntireScope}), 1);
    EXPECT_EQ(Text(), "bb a a");

    SetText("x1 x2\r\nx3 x4");
    Answer({raReplace, raReplace, raReplace, raReplace});
    EXPECT_EQ(Run("x", "yy", {ssoReplaceAll, ssoPrompt, ssoBackwards, ssoEntireScope}), 4);
    ASSERT_EQ(Calls.size(), 4u);
    const int expected[4][2] = {{2, 4}, {2, 1}, {1, 4}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Calls[static_cast<std::size_t>(i)].Line, expected[i][0]) << i;
        EXPECT_EQ(Calls[static_cast<std::size_t>(i)].Column, expected[i][1]) << i;
    }
    EXPECT_EQ(Text(), "yy1 yy2\r\nyy3 yy4");

    // One replacement at a time backward never reaches into what it inserted.
    SetText("a a a");
    Editor().SetCaretXY(TPoint{6, 1});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Run("a", "aa", {ssoReplace, ssoBackwards}), 1);
    EXPECT_EQ(Run("a", "aa", {ssoReplace, ssoBackwards}), 0);
    EXPECT_EQ(Text(), "aa aa aa");
}

// ---- Replace all -----------------------------------------------------------------------------------

TEST_F(SearchReplaceTest, ReplaceAllAgreesWithAReferenceAndUndoesInOneStep)
{
    struct Case {
        bool regex;
        const char* text;
        const char* search;
        const char* replace;
    };
    const Case cases[] = {
        {false, "aaa aa\r\naaaa", "aa", "b"},           // adjacent and overlapping
        {false, "a a a\r\nxa\r\na", "a", "bb"},          // longer, at line ends
        {false, "abc\r\nabc-abc", "abc", ""},            // empty, the whole line
        {false, "abcabc\r\nzabc", "abc", "x"},           // shorter, adjacent
        {false, "a\r\n\r\na", "a", "a"},                 // the same, empty lines
        {true, "a=bb c=dd\r\nkey=value", "(\\w+)=(\\w+)", "$2=$1"},
        {true, "aaa baa\r\nab", "a+", "<$&>"},
        {true, "x1y22z333\r\n4", "[0-9]+", ""},
        {true, "one two", "(o)", "$1$1$1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.search) + " -> " + c.replace + " in " + c.text);
        if (c.regex)
            UseRegex();
        else
            UsePlain();
        SetText(c.text);
        Editor().ClearUndo();
        Editor().SetCaretXY(TPoint{1, 1});
        const std::string expected = c.regex ? ReferenceRegexReplaceAll(c.text, c.search, c.replace)
                                             : ReferenceReplaceAll(c.text, c.search, c.replace);
        Run(c.search, c.replace, {ssoReplaceAll, ssoMatchCase});
        EXPECT_EQ(Text(), expected);
        EXPECT_FALSE(Editor().PaintLocked());
        Editor().Undo();
        EXPECT_EQ(Text(), c.text);
        EXPECT_FALSE(Editor().GetCanUndo());
    }
}

TEST_F(SearchReplaceTest, ReplaceAllCountsEachOriginalMatchOnce)
{
    SetText("a b a\r\naa");
    EXPECT_EQ(Run("a", "aa", {ssoReplaceAll, ssoEntireScope}), 4);
    EXPECT_EQ(Text(), "aa b aa\r\naaaa");

    // The inserted length, not the template's, moves the later matches of the line.
    UseRegex();
    SetText("a=bb c=dd");
    EXPECT_EQ(Run("(\\w+)=(\\w+)", "$2=$1", {ssoReplaceAll, ssoEntireScope}), 2);
    EXPECT_EQ(Text(), "bb=a dd=c");
}

TEST_F(SearchReplaceTest, ReplaceAllBeyondTheUndoLimitStaysOneWholeStep)
{
    std::string text;
    for (int i = 0; i < 1500; ++i)
        text += "a-a " + std::to_string(i) + "\r\n";
    text += "end";
    SetText(text);
    Editor().ClearUndo();
    Editor().SetCaretXY(TPoint{1, 1});
    Editor().SetMaxUndo(1024);
    EXPECT_EQ(Run("a", "b", {ssoReplaceAll, ssoEntireScope}), 3000);
    Editor().Undo();
    EXPECT_EQ(Text(), text);
    EXPECT_FALSE(Editor().GetCanUndo());
}

TEST_F(SearchReplaceTest, ReplacementsWithLineBreaksKeepEveryLaterMatch)
{
    SetText("a-a-a\r\nzz a");
    EXPECT_EQ(Run("a", "x\r\ny", {ssoReplaceAll, ssoEntireScope}), 4);
    EXPECT_EQ(Text(), "x\r\ny-x\r\ny-x\r\ny\r\nzz x\r\ny");
    Editor().Undo();
    EXPECT_EQ(Text(), "a-a-a\r\nzz a");

    // In a selection, the range's end follows the lines added before it.
    SetText("a a\r\na b a");
    Editor().SetCaretAndSelection(TPoint{4, 2}, TPoint{1, 1}, TPoint{4, 2});
    EXPECT_EQ(Run("a", "1\r\n2", {ssoReplaceAll, ssoSelectedOnly}), 3);
    EXPECT_EQ(Text(), "1\r\n2 1\r\n2\r\n1\r\n2 b a");
}

TEST_F(SearchReplaceTest, LineAndColumnModesReplaceOnlyTheMatches)
{
    SetText("one cat\r\ncat two\r\nlast cat");
    Editor().Select(TPoint{1, 1}, TPoint{1, 2}, smLine);
    EXPECT_EQ(Run("cat", "dog", {ssoReplaceAll, ssoSelectedOnly}), 2);
    EXPECT_EQ(Text(), "one dog\r\ndog two\r\nlast cat");
    EXPECT_EQ(Editor().GetSelectionMode(), smLine);

    // A column block: only matches between its columns, on each of its lines.
    SetText("ab ab ab\r\nab ab ab\r\nab ab ab");
    Editor().Select(TPoint{3, 1}, TPoint{7, 2}, smColumn);
    EXPECT_EQ(Run("ab", "X", {ssoReplaceAll, ssoSelectedOnly}), 2);
    EXPECT_EQ(Text(), "ab X ab\r\nab X ab\r\nab ab ab");
    EXPECT_EQ(Editor().GetSelectionMode(), smColumn);

    // Without a selection the mode does not narrow the search.
    SetText("ab ab\r\nab ab");
    Editor().Select(TPoint{4, 1}, TPoint{4, 1}, smColumn);
    EXPECT_EQ(Run("ab", "X", {ssoReplaceAll}), 3);
    EXPECT_EQ(Text(), "ab X\r\nX X");
}

// A block's columns are those of the text as it was: replacements earlier on a line move
// the later matches, never the block's right edge.
TEST_F(SearchReplaceTest, ColumnBlockReplaceAllKeepsToTheBlocksColumns)
{
    SetText("abcd abcd abcd");
    Editor().Select(TPoint{1, 1}, TPoint{10, 1}, smColumn);
    EXPECT_EQ(Run("abcd", "", {ssoReplaceAll, ssoSelectedOnly}), 2);
    EXPECT_EQ(Text(), "  abcd");

    SetText("ab ab ab");
    Editor().Select(TPoint{1, 1}, TPoint{9, 1}, smColumn);
    EXPECT_EQ(Run("ab", "abc", {ssoReplaceAll, ssoSelectedOnly}), 3);
    EXPECT_EQ(Text(), "abc abc abc");

    // Asked match by match, the same matches are offered.
    SetText("ab ab ab");
    Editor().Select(TPoint{1, 1}, TPoint{9, 1}, smColumn);
    Answer({raReplace, raReplace, raReplace, raReplace});
    EXPECT_EQ(Run("ab", "abc", {ssoReplaceAll, ssoSelectedOnly, ssoPrompt}), 3);
    EXPECT_EQ(Text(), "abc abc abc");
    Editor().OnReplaceText = nullptr;

    // The same on every line of the block, through the expression engine too.
    UseRegex();
    SetText("ab ab ab\r\nab ab ab");
    Editor().Select(TPoint{4, 1}, TPoint{9, 2}, smColumn);
    EXPECT_EQ(Run("a(b)", "$1$1$1", {ssoReplaceAll, ssoSelectedOnly}), 4);
    EXPECT_EQ(Text(), "ab bbb bbb\r\nab bbb bbb");
}

TEST_F(SearchReplaceTest, FindNextGoesOnPastAnEmptyMatchItFoundAndTakesOneAtAPlacedCaret)
{
    UseRegex();
    SetText("foo bar\r\nbaz");
    // The caret placed by no find: the empty match there is the first.
    Editor().SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(Run("^", "", {}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 1}));
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(Run("^", "", {}), 1);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 2}));
    EXPECT_EQ(Editor().GetBlockEnd(), (TPoint{1, 2}));
    EXPECT_EQ(Run("^", "", {}), 0);
    // From the top of the whole text the first line's own start is found.
    EXPECT_EQ(Run("^", "", {ssoEntireScope}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));

    // Empty lines one after the other, then backward over them.
    SetText("a\r\n\r\n\r\nb");
    Editor().SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 2}));
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 3}));
    EXPECT_EQ(Run("^$", "", {}), 0);
    EXPECT_EQ(Run("^$", "", {ssoBackwards}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 2}));
    EXPECT_EQ(Run("^$", "", {ssoBackwards}), 0);
    // Moved away and back by hand, the caret stands where no find put it.
    Editor().SetCaretXY(TPoint{1, 4});
    Editor().SetCaretXY(TPoint{1, 2});
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 2}));

    // A new text, the caret left where a find had put it in the old one.
    SetText("x");
    EXPECT_EQ(Run("^", "", {ssoEntireScope}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    SetText("\r\nabc\r\n\r\ndef");
    ASSERT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    EXPECT_EQ(Run("^$", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
    Editor().SetCaretXY(TPoint{1, 2});
    EXPECT_EQ(Run("^", "", {}), 1);
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 2}));

    // Replacing from the caret still takes the empty match there.
    SetText("foo\r\nbar");
    Editor().SetCaretXY(TPoint{1, 1});
    EXPECT_EQ(Run("^", "> ", {ssoReplaceAll}), 2);
    EXPECT_EQ(Text(), "> foo\r\n> bar");
}

TEST_F(SearchReplaceTest, AReplaceOnTheRangesLastLineSelectsNothingBeyondIt)
{
    SetText("x\r\nfoo a bar");
    EXPECT_EQ(Run("a", "b", {ssoReplace, ssoEntireScope}), 1);
    EXPECT_EQ(Text(), "x\r\nfoo b bar");
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{6, 2}));
    // What is typed next goes in, it overwrites nothing.
    Editor().CommandProcessor(ecChar, 'Z', nullptr);
    EXPECT_EQ(Text(), "x\r\nfoo bZ bar");

    // Replacing in a selection ending on the line leaves the rest of the line alone too.
    SetText("a a a tail");
    Editor().Select(TPoint{1, 1}, TPoint{4, 1});
    EXPECT_EQ(Run("a", "bb", {ssoReplaceAll, ssoSelectedOnly}), 2);
    EXPECT_EQ(Text(), "bb bb a tail");
    EXPECT_EQ(Selected().find("tail"), std::string::npos);
}

TEST_F(SearchReplaceTest, AnExpressionRunningOutOfItsBoundsStopsAndKeepsWhatWasDone)
{
    // A second passes every two million steps: the costly line reaches its bound quickly.
    const TFakeRegexClock clock(TRegex::SearchTime * TRegex::ClockEvery / 2'000'000);
    UseRegex();
    const std::string costly = std::string(400, 'x') + "!y";
    const std::string text = "xxy 1\r\nxxy 2\r\n" + costly + "\r\nxxy 3";
    SetText(text);
    Editor().ClearUndo();
    try {
        Run("(x+x+)+y", "-", {ssoReplaceAll, ssoEntireScope});
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    EXPECT_EQ(Text(), "- 1\r\n- 2\r\n" + costly + "\r\nxxy 3");
    EXPECT_FALSE(Editor().PaintLocked());
    Editor().Undo();
    EXPECT_EQ(Text(), text);
    EXPECT_FALSE(Editor().GetCanUndo());

    // A find stops with the error too, the selection where the last match left it.
    Editor().SetCaretXY(TPoint{1, 2});
    EXPECT_EQ(Run("(x+x+)+y", "", {}), 1);
    EXPECT_THROW(Run("(x+x+)+y", "", {}), ERegex);
    EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{1, 2}));
}

TEST_F(SearchReplaceTest, AnExpressionCostlyOnEveryLineEndsTheReplaceAllEarly)
{
    // Each line has a match, then a run that costs the expression hundreds of thousands of
    // steps: far within one search's bound, but too much for the whole operation. The
    // clock moves ten milliseconds a reading, so the operation's second and a half lasts
    // a known number of steps.
    const TFakeRegexClock clock(10'000'000);
    const std::string expression = "(x+x+)+y";
    const std::string line = "xxy " + std::string(16, 'x') + "!y";
    const std::string replaced = "- " + std::string(16, 'x') + "!y";
    constexpr int Lines = 200;

    std::string text;
    for (int i = 0; i < Lines; ++i)
        text += line + (i + 1 < Lines ? "\r\n" : "");
    UseRegex();
    SetText(text);
    Editor().ClearUndo();
    try {
        Run(expression, "-", {ssoReplaceAll, ssoEntireScope, ssoMatchCase});
        FAIL() << "no error";
    } catch (const ERegex& e) {
        EXPECT_EQ(e.ErrorCode(), reeBacktrackLimitExceeded);
    }
    // The lines before the end are replaced, the rest are not.
    int done = 0;
    while (done < Lines && Editor().GetLines()->Get(done) == replaced)
        ++done;
    EXPECT_GT(done, 0);
    EXPECT_LT(done, Lines - 10);
    for (int i = done; i < Lines; ++i)
        ASSERT_EQ(Editor().GetLines()->Get(i), line) << "line " << i + 1;
    EXPECT_FALSE(Editor().PaintLocked());
    Editor().Undo();
    EXPECT_EQ(Text(), text);
    EXPECT_FALSE(Editor().GetCanUndo());
}

// ---- Bracket matching ------------------------------------------------------------------------------

TEST_F(SearchReplaceTest, MatchesEachBracketPairNestedAndAcrossLines)
{
    SetText("if (a(b)) [x]\r\n{ <y>\r\n\t}");
    struct Case {
        TPoint at;
        TPoint expected;
    };
    const Case cases[] = {
        {{4, 1}, {9, 1}}, {{9, 1}, {4, 1}}, {{6, 1}, {8, 1}}, {{11, 1}, {13, 1}}, {{13, 1}, {11, 1}},
        {{1, 2}, {2, 3}}, {{2, 3}, {1, 2}}, {{3, 2}, {5, 2}}, {{5, 2}, {3, 2}},
        {{1, 1}, {0, 0}}, {{20, 1}, {0, 0}}, {{1, 9}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.at.X) + "," + std::to_string(c.at.Y));
        EXPECT_EQ(Editor().GetMatchingBracketEx(c.at, false), c.expected);
    }
    // Adjusted for the tab before it: a display column.
    Editor().SetTabWidth(4);
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{1, 2}, true), (TPoint{5, 3}));

    // The text's first and last characters.
    SetText("(a\r\nb)");
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{1, 1}, false), (TPoint{2, 2}));
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{2, 2}, false), (TPoint{1, 1}));

    SetText("((a)\r\n[b]]");
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{1, 1}, false), (TPoint{0, 0}));
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{4, 2}, false), (TPoint{0, 0}));
    Editor().SetCaretXY(TPoint{2, 1});
    Editor().FindMatchingBracket();
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{4, 1}));
    Editor().SetCaretXY(TPoint{1, 1});
    Editor().FindMatchingBracket();
    EXPECT_EQ(Editor().GetCaretXY(), (TPoint{1, 1}));
}

TEST_F(SearchReplaceTest, BracketsInCommentsAreSkippedWithAHighlighter)
{
    SetText("f(a # )\r\n)");
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{2, 1}, false), (TPoint{7, 1}));
    TWordHighlighter highlighter(nullptr);
    Editor().SetHighlighter(&highlighter);
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{2, 1}, false), (TPoint{1, 2}));
    EXPECT_EQ(Editor().GetMatchingBracketEx(TPoint{1, 2}, false), (TPoint{2, 1}));

    std::string token;
    TQvHighlighterAttributes* attr = nullptr;
    EXPECT_TRUE(Editor().GetHighlighterAttriAtRowCol(TPoint{7, 1}, token, attr));
    EXPECT_EQ(token, "# )");
    EXPECT_EQ(attr, highlighter.Comment);
    EXPECT_FALSE(Editor().GetHighlighterAttriAtRowCol(TPoint{8, 1}, token, attr));
    EXPECT_EQ(token, "");
    EXPECT_EQ(attr, nullptr);
    Editor().SetHighlighter(nullptr);
}
