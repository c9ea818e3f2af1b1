// The editor in a real X window (Qt's xcb platform on a virtual X server): what it paints
// while nothing happens, that the screen shows the one caret a fresh paint shows after
// the focus went away and came back, that the caret survives its window being made
// again while focused, and where a caret put past the text shows. The parent test runs the suite in a child copy of this program on
// the X server; without one it skips.
#include "EditorFixture.h"
#include "RealWindow.h"
#include "XServer.h"

#include "platform/window/Caret.h"

#include <string>

namespace {

class EditorRealWindow : public EditorFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside EditorRealWindowSuite.OnAnXServer";
    }

    void FocusEditor()
    {
        ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
        Editor().SetFocus();
        ASSERT_TRUE(QvTest::IdleUntil([this] { return Editor().Focused(); }));
    }

    // Keys one at a time, the window painting between them as it does for a person.
    void TypeSlowly(const std::string& Text)
    {
        for (char c : Text) {
            Type(std::string(1, c));
            QvTest::Idle(60);
        }
    }

    static constexpr const char* Page = "<?php\n$greeting = 'hello';\necho $greeting;\n?>\n";
};

TEST_F(EditorRealWindow, AnIdleFocusedEditorPaintsOnlyTheCaretBlink)
{
    SetText(Page);
    Editor().SetOptionFlag(eoHighlightCurrentLine, true);
    Editor().SetCaretXY(TPoint{3, 2});
    FocusEditor();
    QvTest::Idle(500);

    QvTest::TPaintRecorder paints(Editor());
    // Two seconds at least; on a busy machine until the first blink has painted as well.
    const UINT blink = GetCaretBlinkTime();
    const long long start = QvTest::NowMs();
    QvTest::IdleUntil([&] { return QvTest::NowMs() - start >= 2000 && (blink >= 1000 || paints.Count() >= 1); });
    const long long watched = QvTest::NowMs() - start;
    const TRect caret = QvTest::CaretRect(Editor());
    ASSERT_GT(caret.Width(), 0);
    EXPECT_EQ(paints.PaintsOutside(caret), 0);
    // One paint per blink phase of the time watched at most, and a spare one for a phase
    // that began late.
    const int most = blink == 0xFFFFFFFFu ? 0 : static_cast<int>(watched / blink) + 1;
    EXPECT_LE(paints.Count(), most);
    if (blink < 1000) {
        EXPECT_GE(paints.Count(), 1) << "the caret blinks, and each phase paints its cell";
    }
}

TEST_F(EditorRealWindow, AfterTheFocusComesBackTheScreenShowsOneCaret)
{
    QvTest::TSteadyCaret steady;
    for (bool highlightLine : {false, true}) {
        SCOPED_TRACE(highlightLine ? "caret line highlighted" : "plain caret line");
        SetText(Page);
        Editor().SetOptionFlag(eoHighlightCurrentLine, highlightLine);
        FocusEditor();
        Key(VK_HOME, ssCtrl);
        TypeSlowly("//ef");
        Key(VK_RETURN);
        QvTest::Idle(200);

        TForm other(nullptr);
        other.SetBounds(EditorWidth + 150, 0, 200, 150);
        other.Show();
        ASSERT_TRUE(QvTest::FocusWindowOf(other));
        ASSERT_TRUE(QvTest::IdleUntil([this] { return !Editor().Focused(); }));
        EXPECT_EQ(QvTest::CaretRect(Editor()).Width(), 0) << "an unfocused editor shows no caret";
        FocusEditor();
        TypeSlowly("zz");
        QvTest::Idle(200);

        EXPECT_EQ(Editor().GetLines()->Get(1), "zz<?php");
        // The paints the typing asked for may come late; a caret left behind stays for good.
        QvTest::IdleUntil([this] { return QvTest::StaleClientPixels(Editor()) == 0; });
        EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);
    }
}

TEST_F(EditorRealWindow, AWindowMadeAgainWhileFocusedShowsTheCaret)
{
    QvTest::TSteadyCaret steady;
    SetText(Page);
    Editor().SetCaretXY(TPoint{3, 2});
    FocusEditor();
    Editor().SetBorderStyle(bsNone);
    QvTest::Idle(200);
    ASSERT_TRUE(Editor().Focused());
    TypeSlowly("x");
    QvTest::Idle(200);
    ASSERT_TRUE(QvTest::IdleUntil([this] { return QvTest::CaretRect(Editor()).Width() > 0; }));
    EXPECT_EQ(QvTest::CaretRect(Editor()).Left, Editor().CaretXPix() - 1);
    QvTest::IdleUntil([this] { return QvTest::StaleClientPixels(Editor()) == 0; });
    EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);
}

// A character index past the text puts the caret the screen shows at the text's end.
TEST_F(EditorRealWindow, ACaretPutPastTheTextShowsAtItsEnd)
{
    QvTest::TSteadyCaret steady;
    SetText(Page);
    FocusEditor();
    Editor().SetSelStart(1000);
    ASSERT_EQ(Editor().GetCaretXY(), (TPoint{3, 4}));
    ASSERT_TRUE(QvTest::IdleUntil([this] {
        const TRect caret = QvTest::CaretRect(Editor());
        return caret.Width() > 0 && caret.Left == Editor().CaretXPix() - 1;
    }));
    // In the last line's row.
    const Integer top = QvTest::CaretRect(Editor()).Top;
    EXPECT_GE(top, Editor().CaretYPix());
    EXPECT_LT(top, Editor().CaretYPix() + Editor().GetLineHeight());
}

// The parent: runs the suite above in a child on a virtual X server.
TEST(EditorRealWindowSuite, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("EditorRealWindow.*", 120);
}

}  // namespace
