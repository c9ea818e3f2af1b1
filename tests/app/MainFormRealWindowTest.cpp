// The main window's editor, with the program's own settings, in a real X window: while
// nothing happens it paints nothing but the caret's blink, and after typing and the
// window getting the focus again the screen shows the one caret a fresh paint shows. A long
// page opened scans for its first paint about the lines it shows.
#include "MainFormFixture.h"
#include "RealWindow.h"
#include "XServer.h"

#include "platform/window/Caret.h"
#include "qvedit/editor/QvEdit.h"

namespace {

class MainFormRealWindow : public TMainFormFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside MainFormRealWindowSuite.OnAnXServer";
    }

    // Opens a PHP file through File Open and puts the focus in the editor.
    void OpenPage()
    {
        const std::string file = Write("page.php", "<?php\n$greeting = 'hello';\necho $greeting;\n?>\n");
        Start();
        QueueFile(file);
        Form().mnuFileOpenClick(nullptr);
        ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
        Form().Editor->SetFocus();
        ASSERT_TRUE(QvTest::IdleUntil([this] { return Form().Editor->Focused(); }));
    }
};

TEST_F(MainFormRealWindow, AnIdleEditorPaintsOnlyTheCaretBlink)
{
    OpenPage();
    QvTest::Idle(500);
    QvTest::TPaintRecorder paints(*Form().Editor);
    const long long start = QvTest::NowMs();
    QvTest::Idle(2000);
    const long long watched = QvTest::NowMs() - start;
    EXPECT_EQ(paints.PaintsOutside(QvTest::CaretRect(*Form().Editor)), 0);
    // One paint per blink phase of the time watched (longer than asked on a busy machine).
    const UINT blink = GetCaretBlinkTime();
    EXPECT_LE(paints.Count(), blink == 0xFFFFFFFFu ? 0 : static_cast<int>(watched / blink) + 1);
}

// The comment typed here is italic: the first pixel column after it at the line's end,
// where the caret stood, must be painted again when the caret goes on.
TEST_F(MainFormRealWindow, AfterTheFocusComesBackTheScreenShowsOneCaret)
{
    QvTest::TSteadyCaret steady;
    OpenPage();
    TQvEdit& editor = *Form().Editor;
    ASSERT_TRUE(QvTest::XKeys("ctrl+Home"));
    for (const char* key : {"slash", "slash", "e", "f", "Return"}) {
        ASSERT_TRUE(QvTest::XKeys(key));
        QvTest::Idle(100);
    }
    ASSERT_TRUE(QvTest::IdleUntil([&] { return editor.GetCaretY() == 2; }));

    ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
    QvTest::Idle(200);
    ASSERT_TRUE(QvTest::XType("zz"));
    EXPECT_TRUE(QvTest::IdleUntil([&] { return editor.GetLines()->Get(1) == "zz<?php"; }))
        << editor.GetLines()->Get(1);
    // The paints the typing asked for may come late; a caret left behind stays for good.
    QvTest::IdleUntil([&] { return QvTest::StaleClientPixels(editor) == 0; });
    EXPECT_EQ(QvTest::StaleClientPixels(editor), 0);
}

TEST_F(MainFormRealWindow, ALongPageScansForItsFirstPaintTheLinesItShows)
{
    QvTest::TSteadyCaret steady;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += i % 3 == 0 ? "<p>text</p> <!-- a comment\n" : i % 3 == 1 ? "--> <?php echo 1; /* open\n" : "*/ ?>\n";
    const std::string file = Write("long.html", text);
    Start();
    ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
    TQvEdit& editor = *Form().Editor;
    const std::size_t before = editor.RangeLinesScanned();
    {
        QvTest::TPaintRecorder paints(editor);
        QueueFile(file);
        Form().mnuFileOpenClick(nullptr);
        ASSERT_TRUE(QvTest::IdleUntil([&] { return paints.Count() > 0; }));
    }
    EXPECT_LE(editor.RangeLinesScanned() - before, static_cast<std::size_t>(editor.GetLinesInWindow()) + 2);
    editor.SetFocus();
    ASSERT_TRUE(QvTest::IdleUntil([&] { return editor.Focused(); }));
    ASSERT_TRUE(QvTest::XKeys("ctrl+End"));
    ASSERT_TRUE(QvTest::IdleUntil([&] { return editor.GetCaretY() == editor.GetLines()->GetCount(); }));
    QvTest::IdleUntil([&] { return QvTest::StaleClientPixels(editor) == 0; });
    EXPECT_EQ(QvTest::StaleClientPixels(editor), 0);
}

TEST(MainFormRealWindowSuite, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("MainFormRealWindow.*", 120);
}

}  // namespace
