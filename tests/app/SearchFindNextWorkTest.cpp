// Find Next through one long line of many matches, as the find dialog runs it on the main
// window's editor (the program's options, the highlighter it gives a minified script): the
// matches are those of one search of the line, in order, and going through all of them
// costs the engine about one search of the line, not one a match; Match case costs no more
// than any case. Work is counted in the bytes the engines scan. A find after the line, the
// options or the text to find changed searches the line as it is now.
#include "MainFormFixture.h"

#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A minified script on one line: about Bytes bytes, every statement in lower case.
std::string MinifiedLine(std::size_t Bytes)
{
    std::string line;
    for (int i = 0; line.size() < Bytes; ++i)
        line += "function f" + std::to_string(i) + "(a,b){if(a>b)return a-b;var c=a*" + std::to_string(i) +
                ";return c+b;}";
    return line;
}

struct TWalk {
    std::vector<TPoint> Selections;  // each find's selection start
    long Bytes = 0;                   // scanned by the engine over all the finds
};

class SearchFindNextWorkTest : public TMainFormFixture {
protected:
    SearchFindNextWorkTest()
    {
        Form().lblFileName->SetCaption(Folder() + "bundle.min.js");
        Form().SelectHighlighterByExt();
    }

    TQvEdit& Editor() { return *Form().Editor; }

    void Load(const std::string& Text)
    {
        Editor().GetLines()->SetText(Text);
        Editor().SetCaretXY(TPoint{1, 1});
    }

    // Text to find and the dialog's check marks as the user sets them; the rest as the
    // dialog comes (forward, from the caret).
    void Ask(const std::string& Text, bool Expression, bool MatchCase)
    {
        frmSearch->txtSearch->SetText(Text);
        frmSearch->chUseReg->SetChecked(Expression);
        frmSearch->chReg->SetChecked(MatchCase);
    }

    long BytesScanned(bool Expression)
    {
        return Expression ? Form().QvEditRegexSearch1->BytesScanned() : Form().QvEditSearch1->BytesScanned();
    }

    TPoint SelectionStart() { return Editor().GetBlockBegin(); }

    // Presses Find Next Count times from the top (going backward: from the end), then once
    // more, which finds nothing.
    TWalk FindNextThrough(Integer Count, bool Expression, bool Backward = false)
    {
        TWalk walk;
        frmSearch->chBk->SetChecked(Backward);
        frmSearch->chFw->SetChecked(!Backward);
        const auto end = static_cast<Integer>(Editor().GetLines()->Get(0).size()) + 1;
        Editor().SetCaretXY(TPoint{Backward ? end : 1, 1});
        for (Integer i = 0; i < Count; ++i) {
            const long before = BytesScanned(Expression);
            frmSearch->SearchNextClick(nullptr);
            // The expression engine counts each find's operation afresh, the plain one
            // over its life.
            walk.Bytes += Expression ? BytesScanned(Expression) : BytesScanned(Expression) - before;
            walk.Selections.push_back(SelectionStart());
        }
        QueueBox(IDOK);  // "cannot find"
        frmSearch->SearchNextClick(nullptr);
        return walk;
    }
};

// The matches of the line and the bytes one search of it scans, by an engine of the
// same kind with the same options.
struct TOneSearch {
    std::vector<TPoint> Matches;
    long Bytes = 0;
};

TOneSearch SearchLineOnce(const std::string& Line, const std::string& Text, bool Expression, bool MatchCase)
{
    const TQvSearchOptions options = MatchCase ? TQvSearchOptions{ssoMatchCase} : TQvSearchOptions{};
    TOneSearch once;
    Integer count = 0;
    if (Expression) {
        TQvEditRegexSearch engine(nullptr);
        engine.SetOptions(options);
        engine.SetPattern(Text);
        TQvRegexSearchOperation operation(&engine);
        count = engine.FindAll(Line);
        for (Integer n = 0; n < count; ++n)
            once.Matches.push_back(TPoint{engine.GetResult(n), 1});
        once.Bytes = engine.BytesScanned();
    } else {
        TQvEditSearch engine(nullptr);
        engine.SetOptions(options);
        engine.SetPattern(Text);
        count = engine.FindAll(Line);
        for (Integer n = 0; n < count; ++n)
            once.Matches.push_back(TPoint{engine.GetResult(n), 1});
        once.Bytes = engine.BytesScanned();
    }
    return once;
}

}  // namespace

TEST_F(SearchFindNextWorkTest, GoingThroughALongLineCostsAboutOneSearchOfIt)
{
    const std::string line = MinifiedLine(60'000);
    Load(line);
    struct TCase {
        const char* Text;
        bool Expression;
    };
    for (const TCase& c : {TCase{"return", false}, TCase{"return\\s+\\w+", true}}) {
        long work[2] = {0, 0};
        for (const bool matchCase : {false, true}) {
            SCOPED_TRACE(std::string(c.Text) + (matchCase ? ", Match case" : ", any case"));
            const TOneSearch once = SearchLineOnce(line, c.Text, c.Expression, matchCase);
            ASSERT_GT(once.Matches.size(), 1000u);
            Ask(c.Text, c.Expression, matchCase);
            const TWalk walk = FindNextThrough(static_cast<Integer>(once.Matches.size()), c.Expression);
            EXPECT_EQ(walk.Selections, once.Matches);
            EXPECT_LE(walk.Bytes, 2 * once.Bytes) << "one search of the line scans " << once.Bytes << " bytes";
            work[matchCase ? 1 : 0] = walk.Bytes;
        }
        // The line is in lower case: both find the same matches, and Match case no more
        // slowly.
        EXPECT_LE(work[1], work[0]) << c.Text;

        // Backward from the end of the line: the same matches in the other order.
        TOneSearch once = SearchLineOnce(line, c.Text, c.Expression, false);
        Ask(c.Text, c.Expression, false);
        const TWalk walk = FindNextThrough(static_cast<Integer>(once.Matches.size()), c.Expression, true);
        std::reverse(once.Matches.begin(), once.Matches.end());
        EXPECT_EQ(walk.Selections, once.Matches) << c.Text << " backward";
        EXPECT_LE(walk.Bytes, 2 * once.Bytes) << c.Text << " backward";
    }
}

TEST_F(SearchFindNextWorkTest, AFindAfterAChangeSearchesTheLineAsItIsNow)
{
    // The first find leaves the caret after "ab" at column 3 each time.
    Load("ab AB ab");
    Ask("ab", false, false);
    frmSearch->SearchNextClick(nullptr);
    ASSERT_EQ(Editor().GetCaretXY(), (TPoint{3, 1}));
    Ask("ab", false, true);  // Match case: the "AB" at 4 is no match now
    frmSearch->SearchNextClick(nullptr);
    EXPECT_EQ(SelectionStart(), (TPoint{7, 1}));

    Load("ab AB ab");
    Ask("ab", false, false);
    frmSearch->SearchNextClick(nullptr);
    Ask("b A", false, false);  // another text to find, which starts at 2
    Editor().SetCaretXY(TPoint{2, 1});
    frmSearch->SearchNextClick(nullptr);
    EXPECT_EQ(SelectionStart(), (TPoint{2, 1}));

    // The line changes under the caret, which stays: the match at 3 is a new one.
    Load("ab ab ab");
    Ask("ab", false, false);
    frmSearch->SearchNextClick(nullptr);
    Editor().GetLines()->Put(0, "abab ab");
    ASSERT_EQ(Editor().GetCaretXY(), (TPoint{3, 1}));
    frmSearch->SearchNextClick(nullptr);
    EXPECT_EQ(SelectionStart(), (TPoint{3, 1}));
    EXPECT_EQ(Editor().GetSelText(), "ab");

    // The same with the expression engine, after a change the editor makes: the match
    // found is replaced, and the caret stands after the replacement.
    Load("ab ab ab");
    Ask("a.", true, false);
    frmSearch->SearchNextClick(nullptr);
    Editor().SetSelTextExternal("xyz");  // "xyz ab ab"
    ASSERT_EQ(Editor().GetCaretXY(), (TPoint{4, 1}));
    frmSearch->SearchNextClick(nullptr);
    EXPECT_EQ(SelectionStart(), (TPoint{5, 1}));
    EXPECT_TRUE(BoxTexts().empty());
}
