// The main window with a one-line JSON document of two megabytes open, in a real X window
// with the program's settings and highlighter: with the caret at the end of the line, the
// caret's blink paints its cell only and neither copies nor tokenises the line, and so do
// the paints after Left and Right pressed there. With a one-line script, whose highlighter
// goes on from the states kept along the line: a Backspace and a move at its end tokenise
// little more than they show, and after their undo the window shows what a fresh paint
// shows. The parent test runs the suite in a child copy of this program on a virtual
// X server; without one it skips.
#include "HeapCount.h"
#include "MainFormFixture.h"
#include "RealWindow.h"
#include "XServer.h"

#include "platform/window/Caret.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"

#include <string>

namespace {

// Work a paint of a few cells may do: nothing like the line.
constexpr std::uint64_t SmallWork = 64 * 1024;

class LongLineRealWindow : public TMainFormFixture {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside LongLineRealWindowSuite.OnAnXServer";
    }

    TQvEdit& Editor() { return *Form().Editor; }

    // Opens the document through File Open, puts the focus in the editor and the caret at
    // the end of the line, and lets the window paint.
    void OpenAtTheEnd()
    {
        std::string text = "[";
        while (text.size() < 2'000'000)
            text += "{\"id\":12,\"name\":\"value one\",\"n\":[1,2,3],\"ok\":true},";
        text += "{}]";
        OpenAtTheEnd("data.json", text);
        ASSERT_EQ(Editor().GetHighlighter(), Form().QvMultiHighlighter1);
    }
    void OpenAtTheEnd(const std::string& Name, const std::string& text)
    {
        const std::string file = Write(Name, text);
        Start();
        QueueFile(file);
        Form().mnuFileOpenClick(nullptr);
        ASSERT_TRUE(QvTest::FocusWindowOf(Form()));
        Editor().SetFocus();
        ASSERT_TRUE(QvTest::IdleUntil([this] { return Editor().Focused(); }));
        ASSERT_TRUE(QvTest::XKeys("End"));
        ASSERT_TRUE(QvTest::IdleUntil([&] { return Editor().GetCaretX() == static_cast<Integer>(text.size()) + 1; }));
        QvTest::Idle(500);
    }
};

TEST_F(LongLineRealWindow, TheBlinkAtTheEndOfTheLinePaintsTheCaretsCellOnly)
{
    OpenAtTheEnd();
    QvTest::TPaintRecorder paints(Editor());
    const TCustomQvEdit::TPaintWork before = Editor().GetPaintWork();
    const heapcount::TScope heap;
    const UINT blink = GetCaretBlinkTime();
    const long long start = QvTest::NowMs();
    QvTest::IdleUntil([&] { return QvTest::NowMs() - start >= 2000 && (blink >= 1000 || paints.Count() >= 2); });
    const TCustomQvEdit::TPaintWork after = Editor().GetPaintWork();
    EXPECT_EQ(paints.PaintsOutside(QvTest::CaretRect(Editor())), 0);
    if (blink < 1000) {
        EXPECT_GE(paints.Count(), 1) << "the caret blinks, and each phase paints its cell";
    }
    const auto count = static_cast<std::uint64_t>(paints.Count());
    EXPECT_LE(after.LinesPainted - before.LinesPainted, count) << "one line a blink";
    EXPECT_LE(after.BytesTokenised - before.BytesTokenised, count * SmallWork);
    EXPECT_LE(after.BytesCopied - before.BytesCopied, count * SmallWork);
    if (heapcount::Available()) {
        EXPECT_LE(heap.Largest(), SmallWork) << "no copy of the line is made";
    }
}

TEST_F(LongLineRealWindow, LeftAndRightAtTheEndOfTheLinePaintWhatTheyShow)
{
    OpenAtTheEnd();
    const Integer end = Editor().GetCaretX();
    for (const char* key : {"Left", "Left", "Right", "Left", "Right", "Right"}) {
        SCOPED_TRACE(key);
        const TCustomQvEdit::TPaintWork before = Editor().GetPaintWork();
        const heapcount::TScope heap;
        const Integer target = Editor().GetCaretX() + (key[0] == 'L' ? -1 : 1);
        ASSERT_TRUE(QvTest::XKeys(key));
        ASSERT_TRUE(QvTest::IdleUntil([&] { return Editor().GetCaretX() == target; }));
        QvTest::Idle(100);
        const TCustomQvEdit::TPaintWork after = Editor().GetPaintWork();
        const std::uint64_t lines = after.LinesPainted - before.LinesPainted;
        EXPECT_LE(after.BytesTokenised - before.BytesTokenised, (lines + 1) * SmallWork);
        EXPECT_LE(after.BytesCopied - before.BytesCopied, (lines + 1) * SmallWork);
        if (heapcount::Available()) {
            EXPECT_LE(heap.Largest(), SmallWork) << "no copy of the line is made";
        }
    }
    EXPECT_EQ(Editor().GetCaretX(), end);
    QvTest::IdleUntil([&] { return QvTest::StaleClientPixels(Editor()) == 0; });
    EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);
}

TEST_F(LongLineRealWindow, KeysMovesAndTheirUndoAtTheEndOfAScriptLinePaintWhatTheyShow)
{
    // Two megabytes of script without blanks, its end some 60 KB past a multiple of 64 KiB.
    std::string text;
    while (text.size() < 30 * 65536 + 60'000)
        text += "a1=function(b,c){return(b+c*2.5);};if(a1(1,2)>3){x=\"str\";}";
    OpenAtTheEnd("bundle.min.js", text);
    ASSERT_EQ(Editor().GetHighlighter(), static_cast<TQvCustomHighlighter*>(Form().QvJScriptHighlighter1));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const TCustomQvEdit::TPaintWork before = Editor().GetPaintWork();
        const Integer target = Editor().GetCaretX() - 2;
        ASSERT_TRUE(QvTest::XKeys("BackSpace Left"));
        ASSERT_TRUE(QvTest::IdleUntil([&] { return Editor().GetCaretX() == target; }));
        QvTest::Idle(100);
        const TCustomQvEdit::TPaintWork after = Editor().GetPaintWork();
        EXPECT_LE(after.BytesTokenised - before.BytesTokenised, SmallWork / 2) << "one paint after a change";
    }
    // Each move ended an undo group: one Undo a key.
    ASSERT_TRUE(QvTest::XKeys("ctrl+z ctrl+z ctrl+z"));
    ASSERT_TRUE(QvTest::IdleUntil([&] { return Editor().GetLines()->GetView(0).size() == text.size(); }));
    EXPECT_TRUE(Editor().GetLines()->GetView(0) == text);
    QvTest::IdleUntil([&] { return QvTest::StaleClientPixels(Editor()) == 0; });
    EXPECT_EQ(QvTest::StaleClientPixels(Editor()), 0);
}

TEST(LongLineRealWindowSuite, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("LongLineRealWindow.*", 120);
}

}  // namespace
