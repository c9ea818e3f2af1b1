// The code-page commands in a real X window with the program's settings: a conversion, its
// undo and its redo leave the view, the caret and the selection where the user had them,
// and the screen shows each as a fresh paint does.
#include "MainFormFixture.h"
#include "RealWindow.h"
#include "XServer.h"

#include "qvedit/editor/QvEdit.h"

namespace {

class RecodeRealWindow : public TMainFormFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside RecodeRealWindowSuite.OnAnXServer";
    }
};

TEST_F(RecodeRealWindow, AConversionItsUndoAndRedoKeepTheViewAndRepaintTheText)
{
    QvTest::TSteadyCaret steady;
    std::string text;
    for (int i = 1; i <= 200; ++i)
        text += "<p>\xCF\xF0\xE8\xE2\xE5\xF2 " + std::to_string(i) + "</p>\n";  // Привет
    const std::string file = Write("page.html", text);
    Start();
    QueueFile(file);
    Form().mnuFileOpenClick(nullptr);
    ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
    TQvEdit& editor = *Form().Editor;
    editor.SetFocus();
    ASSERT_TRUE(QvTest::IdleUntil([&] { return editor.Focused(); }));
    // The caret and a selection in the middle of the text, the view scrolled down.
    ASSERT_TRUE(QvTest::XKeys("ctrl+End Page_Up Page_Up Home Right Right shift+Right shift+Right shift+Right"));
    ASSERT_TRUE(QvTest::IdleUntil([&] { return editor.GetSelAvail() && editor.GetCaretX() == 6; }));
    const Integer top = editor.GetTopLine();
    const TPoint caret = editor.GetCaretXY();
    const TPoint begin = editor.GetBlockBegin();
    ASSERT_GT(top, 1);
    const std::string line = editor.GetLines()->Get(caret.Y - 1);
    const auto settled = [&](const std::string& Line) {
        return QvTest::IdleUntil([&] {
            return editor.GetLines()->Get(caret.Y - 1) == Line && QvTest::StaleClientPixels(editor) == 0;
        }) && editor.GetTopLine() == top && editor.GetCaretXY() == caret && editor.GetBlockBegin() == begin;
    };

    Form().EncodingWinKoi(nullptr);  // the Encoding tab's "Win -> Koi8-R"
    const std::string coded = editor.GetLines()->Get(caret.Y - 1);
    ASSERT_NE(coded, line);
    EXPECT_TRUE(settled(coded)) << "converted";
    ASSERT_TRUE(QvTest::XKeys("ctrl+z"));
    EXPECT_TRUE(settled(line)) << "undone";
    ASSERT_TRUE(QvTest::XKeys("shift+ctrl+z"));
    EXPECT_TRUE(settled(coded)) << "redone";
}

TEST(RecodeRealWindowSuite, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("RecodeRealWindow.*", 120);
}

}  // namespace
