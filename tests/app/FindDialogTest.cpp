// The find-and-replace dialog driven through its buttons and check boxes over a text with
// two matches per line, and the go-to-line dialog through the modal-answer hook.
#include "MainFormFixture.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

namespace {

class FindDialogTest : public TMainFormFixture {
protected:
    FindDialogTest()
    {
        Start();
        Editor().QvSetText("foo x foo\r\nbar Foo y foo\r\nend");
    }

    TQvEdit& Editor() { return *Form().Editor; }
    TfrmSearch& Dialog() { return *frmSearch; }
    std::string Text() { return Editor().QvGetText(); }
    // The selection as "line:first-last" (1-based columns, last exclusive).
    std::string Selection()
    {
        const TPoint b = Editor().GetBlockBegin();
        const TPoint e = Editor().GetBlockEnd();
        if (b.Y != e.Y)
            return "several lines";
        return std::to_string(b.Y) + ":" + std::to_string(b.X) + "-" + std::to_string(e.X);
    }
    void Search(const std::string& Text) { Dialog().txtSearch->SetText(Text); }
    void ExpectNotFound(const std::string& Quoted)
    {
        ASSERT_FALSE(BoxTexts().empty());
        EXPECT_EQ(BoxTexts().back(), "Не удаётся найти " + Quoted);
    }
};

TEST_F(FindDialogTest, TheCheckBoxesBuildTheOptions)
{
    TfrmSearch& d = Dialog();
    EXPECT_TRUE(d.chFw->Checked());  // the initial state
    EXPECT_EQ(d.SearchOptions(false), (TQvSearchOptions{ssoEntireScope}));
    EXPECT_EQ(d.SearchOptions(true), TQvSearchOptions{});

    d.chReg->SetChecked(true);
    d.chWhole->SetChecked(true);
    d.chSel->SetChecked(true);
    d.chBk->SetChecked(true);
    EXPECT_FALSE(d.chFw->Checked());
    const TQvSearchOptions back{ssoMatchCase, ssoWholeWord, ssoBackwards, ssoSelectedOnly};
    EXPECT_EQ(d.SearchOptions(false), back);
    EXPECT_EQ(d.SearchOptions(true), back);
}

TEST_F(FindDialogTest, FindStartsAtTheTopAndFindNextWalksOnUntilNothingIsLeft)
{
    Search("foo");
    Editor().SetCaretXY(TPoint{1, 3});
    Dialog().SearchClick(nullptr);
    EXPECT_EQ(Selection(), "1:1-4");
    Dialog().SearchClick(nullptr);  // Find again: the first match of the whole text again
    EXPECT_EQ(Selection(), "1:1-4");

    Dialog().SearchNextClick(nullptr);
    EXPECT_EQ(Selection(), "1:7-10");
    Dialog().SearchNextClick(nullptr);
    EXPECT_EQ(Selection(), "2:5-8");  // case-insensitive: "Foo"
    Dialog().SearchNextClick(nullptr);
    EXPECT_EQ(Selection(), "2:11-14");
    QueueBox(IDOK);  // past the last match: nothing is found, nothing wraps
    Dialog().SearchNextClick(nullptr);
    ExpectNotFound("\"foo\"");
    EXPECT_EQ(Editor().GetSelText(), "foo");  // the last match stays selected

    Dialog().SearchClick(nullptr);  // Find begins at the top again
    EXPECT_EQ(Selection(), "1:1-4");
    EXPECT_EQ(Editor().GetSearchEngine(), Form().QvEditSearch1);
}

TEST_F(FindDialogTest, BackWalksTowardsTheBeginningFromTheCaret)
{
    Search("foo");
    Dialog().chBk->SetChecked(true);
    Dialog().chReg->SetChecked(true);  // match case: "Foo" is passed over
    Editor().SetCaretXY(TPoint{4, 3});
    Dialog().SearchClick(nullptr);
    EXPECT_EQ(Selection(), "2:11-14");
    Dialog().SearchNextClick(nullptr);
    EXPECT_EQ(Selection(), "1:7-10");
    Dialog().SearchClick(nullptr);
    EXPECT_EQ(Selection(), "1:1-4");
    QueueBox(IDOK);
    Dialog().SearchClick(nullptr);
    ExpectNotFound("\"foo\"");
}

TEST_F(FindDialogTest, ReplaceAllCoversTheWholeTextForwardAndWhatIsBeforeTheCaretBack)
{
    Search("foo");
    Dialog().txtReplace->SetText("qu");
    Editor().SetCaretXY(TPoint{1, 2});
    Dialog().bReplaceAllClick(nullptr);
    EXPECT_EQ(Text(), "qu x qu\r\nbar qu y qu\r\nend");
    Editor().Undo();  // one undo step
    EXPECT_EQ(Text(), "foo x foo\r\nbar Foo y foo\r\nend");

    Dialog().chBk->SetChecked(true);
    Editor().SetCaretXY(TPoint{1, 2});
    Dialog().bReplaceAllClick(nullptr);
    EXPECT_EQ(Text(), "qu x qu\r\nbar Foo y foo\r\nend");
}

// More replacements than the undo list keeps records: the replace all still undoes whole
// in one step, and redoes and undoes again.
TEST_F(FindDialogTest, AReplaceAllBeyondTheUndoLimitUndoesWholeInOneStep)
{
    std::string text;
    for (int i = 0; i < 800; ++i)
        text += "  echo $the . 'the' ;\r\n";
    text += "?>";
    Editor().QvSetText(text);
    Editor().SetModified(false);
    Editor().SetCaretXY(TPoint{1, 801});
    Editor().CommandProcessor(ecChar, 'x', nullptr);  // an older step
    const std::string typed = Text();
    ASSERT_LT(Editor().GetMaxUndo(), 2 * 1600);
    Search("the");
    Dialog().txtReplace->SetText("a");
    Dialog().bReplaceAllClick(nullptr);
    const std::string replaced = Text();
    ASSERT_EQ(replaced.find("the"), std::string::npos);
    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(Text(), typed);
    Form().mnuEditRedoClick(nullptr);
    EXPECT_EQ(Text(), replaced);
    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(Text(), typed);
    EXPECT_TRUE(Editor().GetModified());
}

TEST_F(FindDialogTest, SelectedTextLimitsTheSearchOnlyWhenSomethingIsSelected)
{
    Search("foo");
    Dialog().txtReplace->SetText("#");
    Dialog().chSel->SetChecked(true);
    Editor().SetBlockBegin(TPoint{1, 2});
    Editor().SetBlockEnd(TPoint{9, 2});
    Dialog().bReplaceAllClick(nullptr);
    EXPECT_EQ(Text(), "foo x foo\r\nbar # y foo\r\nend");

    Editor().SetCaretXY(TPoint{1, 1});  // no selection: as if unchecked
    Dialog().bReplaceAllClick(nullptr);
    EXPECT_EQ(Text(), "# x #\r\nbar # y #\r\nend");
}

TEST_F(FindDialogTest, NothingToFindTellsTheUserAndChangesNothing)
{
    Dialog().txtReplace->SetText("x");
    for (const char* search : {"foo\r\nbar", "", "absent"}) {
        Search(search);
        QueueBox(IDOK);
        Dialog().bReplaceAllClick(nullptr);
        ExpectNotFound("\"" + Dialog().txtSearch->Text() + "\"");
        EXPECT_EQ(Text(), "foo x foo\r\nbar Foo y foo\r\nend");
    }
}

TEST_F(FindDialogTest, TheRegularExpressionEngineStaysAndReplacesWithGroups)
{
    Search("(b)(ar)");
    Dialog().txtReplace->SetText("$2$1");
    Dialog().chUseReg->SetChecked(true);
    Dialog().chWhole->SetChecked(true);  // ignored by the regular-expression engine
    Dialog().bReplaceAllClick(nullptr);
    EXPECT_EQ(Text(), "foo x foo\r\narb Foo y foo\r\nend");
    EXPECT_EQ(Editor().GetSearchEngine(), Form().QvEditRegexSearch1);

    Search("(unclosed");  // the engine's error reaches the caller; the text stays
    EXPECT_THROW(Dialog().SearchClick(nullptr), Exception);
    EXPECT_EQ(Text(), "foo x foo\r\narb Foo y foo\r\nend");
}

TEST_F(FindDialogTest, CancelHidesTheDialogAndTheOpenersShowIt)
{
    Form().mnuEditFindClick(nullptr);
    EXPECT_TRUE(Dialog().Visible());
    Dialog().bCancelClick(nullptr);
    EXPECT_FALSE(Dialog().Visible());
    Form().mnuEditReplaceClick(nullptr);
    EXPECT_TRUE(Dialog().Visible());
    Dialog().bCancelClick(nullptr);
}

class GoToTest : public TMainFormFixture {
protected:
    GoToTest()
    {
        Start();
        std::string text;
        for (int i = 1; i <= 40000; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        Form().Editor->QvSetText(text + "last");
        SetModalHook([this](const TModalRequest& Request) {
            EXPECT_EQ(Request.Form, frmGoTo);
            if (answer_ != mrOk)
                return answer_;
            frmGoTo->txtLines->SetText(typed_);
            frmGoTo->bGoClick(frmGoTo->bGo);
            return frmGoTo->ModalResult();
        });
    }
    int GoTo(const std::string& Typed, int Answer = mrOk)
    {
        typed_ = Typed;
        answer_ = Answer;
        Form().mnuEditGoToClick(nullptr);
        return Form().Editor->GetCaretY();
    }

private:
    std::string typed_;
    int answer_ = mrOk;
};

TEST_F(GoToTest, GoesToTheLineAndKeepsItOnTheText)
{
    EXPECT_EQ(GoTo("17"), 17);
    EXPECT_EQ(frmGoTo->txtLines->Text(), "0");  // the field is set back after Go
    EXPECT_EQ(GoTo("1"), 1);
    EXPECT_EQ(GoTo("40001"), 40001);  // the last line, beyond 32,767
    EXPECT_EQ(GoTo("39000"), 39000);
    EXPECT_EQ(GoTo("99999"), 40001);  // past the end: the last line
    EXPECT_EQ(GoTo("0"), 1);
    EXPECT_EQ(GoTo("250", mrCancel), 1);  // Cancel leaves the caret
}

}  // namespace
