// The stored highlighter ranges stay those of a fresh scan from the top whatever way the
// lines changed: a change that raises part way, two lines swapped in place, and keys on a
// very long line shown by two editors. With the main window's editing options and the PHP
// and JavaScript highlighters.
#include "FreshRanges.h"
#include "../qvedit/editor/EditScript.h"
#include "../qvedit/editor/EditorFixture.h"

#include "app/EditorSettings.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <QApplication>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// PHP whose comments and strings run over line ends.
std::string PhpText(int Lines)
{
    static const std::vector<std::string> pattern = {
        "<?php",
        "$a = 1; /* a comment",
        "   that goes on */ $b = 'a string",
        "   over two lines';",
        "$c = \"and another",
        "   one\"; // done",
        "echo $a . $b . $c;",
    };
    std::string text;
    for (int i = 0; i < Lines; ++i)
        text += pattern[static_cast<std::size_t>(i) % pattern.size()] + "\r\n";
    return text + "?>";
}

// A listener on the buffer that raises at the Nth line put after it is armed, once the
// editors were told of the line.
class TFailingListener : public TObject {
public:
    explicit TFailingListener(TQvEditStringList& Lines) : lines_(Lines), saved_(Lines.OnPutted)
    {
        Lines.OnPutted = TStringListInsertedEvent(this, &TFailingListener::Putted);
    }
    ~TFailingListener() override { lines_.OnPutted = saved_; }
    void FailAt(int Put) { left_ = Put; }

private:
    void Putted(Integer Index, std::string_view S)
    {
        if (saved_)
            saved_(Index, S);
        if (left_ > 0 && --left_ == 0)
            throw std::runtime_error("no room left");
    }

    TQvEditStringList& lines_;
    TStringListInsertedEvent saved_;
    int left_ = 0;
};

// The clip rectangles of the editor's paints.
struct TPaintLog {
    std::vector<TRect> Clips;
    void Painted(TObject*, TCanvas* Canvas) { Clips.push_back(Canvas->GetClipRect()); }
};

class RangesAfterFailureAndSwapTest : public TEditorFixture<> {
protected:
    RangesAfterFailureAndSwapTest() : php_(nullptr)
    {
        ApplyEditingSettings(Editor());
        Editor().SetHighlighter(&php_);
    }
    ~RangesAfterFailureAndSwapTest() override { Editor().SetHighlighter(nullptr); }

    TQvEdit& E() { return Editor(); }
    void Do(TQvEditorCommand Command) { E().CommandProcessor(Command, '\0', nullptr); }
    void Go(TPoint P) { E().CommandProcessor(ecGotoXY, '\0', &P); }
    void Load(const std::string& Text)
    {
        E().ClearAll();
        E().QvSetText(Text);
        E().ClearUndo();
    }

    // Every range read as a painter reads it, against a highlighter of the editor's class
    // scanning from the top.
    ::testing::AssertionResult RangesOfAFreshScan(TQvEdit& Editor)
    {
        std::unique_ptr<TQvCustomHighlighter> fresh(Editor.GetHighlighter()->ClassType()->Create(nullptr));
        return ::RangesOfAFreshScan(*Editor.GetLines(), *fresh);
    }

    // Runs Change with the listener raising at its Put'th line put; the change must raise.
    void FailPartWay(int Put, const std::function<void()>& Change)
    {
        TFailingListener failing(*E().GetLines());
        failing.FailAt(Put);
        EXPECT_THROW(Change(), std::runtime_error);
    }

    TQvPHPHighlighter php_;
};

TEST_F(RangesAfterFailureAndSwapTest, AChangeThatRaisesPartWayLeavesTheRangesOfAFreshScan)
{
    // A paste of many lines (they borrow from one block) and of a few, mid-text.
    for (const int pasted : {300, 20}) {
        SCOPED_TRACE(pasted);
        Load(PhpText(400));
        ASSERT_TRUE(RangesOfAFreshScan(E()));
        editscript::PutOnClipboard("/* opens " + PhpText(pasted), -1);
        Go(TPoint{3, 10});
        FailPartWay(7, [&] { Do(ecPaste); });
        EXPECT_TRUE(RangesOfAFreshScan(E())) << "after the failed paste";
    }

    // A redo that raises (an undo step runs as one batch of the view).
    Load(PhpText(400));
    editscript::PutOnClipboard("$s = 'x\r\n" + PhpText(30), -1);
    Go(TPoint{1, 20});
    Do(ecPaste);
    E().Undo();
    ASSERT_TRUE(RangesOfAFreshScan(E()));
    FailPartWay(5, [&] { E().Redo(); });
    EXPECT_TRUE(RangesOfAFreshScan(E())) << "after the failed redo";

    // Upper case of everything: each line is put, and the sixth raises.
    Load(PhpText(400));
    Go(TPoint{1, 1});
    Do(ecSelectAll);
    FailPartWay(6, [&] { Do(ecUpperCaseBlock); });
    EXPECT_TRUE(RangesOfAFreshScan(E())) << "after the failed case change";

    // The editor works on: a change after the failed ones ends as usual.
    Go(TPoint{1, 3});
    Do(ecLineBreak);
    EXPECT_TRUE(RangesOfAFreshScan(E())) << "after a line break";
}

TEST_F(RangesAfterFailureAndSwapTest, SwappedLinesAreRescannedAndRepainted)
{
    Load("<?php\r\n$a = 1;\r\n/* opens a comment\r\n$b = 2;\r\n$c = 3;\r\nclose */ $d = 4;\r\n$e = 5;\r\n?>");
    E().Update();
    ASSERT_TRUE(RangesOfAFreshScan(E()));
    QApplication::processEvents();
    E().Update();
    TPaintLog log;
    E().OnPaint = TPaintEvent(&log, &TPaintLog::Painted);
    // The comment opens on line 5 now: line 4 leaves it, line 5 ends in it.
    E().GetLines()->Exchange(2, 4);
    E().Update();
    E().OnPaint = TPaintEvent();
    EXPECT_EQ(E().GetLines()->Get(2), "$c = 3;");
    EXPECT_EQ(E().GetLines()->Get(4), "/* opens a comment");
    EXPECT_TRUE(RangesOfAFreshScan(E()));
    ASSERT_FALSE(log.Clips.empty()) << "nothing repainted";
    const TRect clip = log.Clips.back();
    const Integer height = E().GetLineHeight();
    EXPECT_LE(clip.Top, 2 * height) << "line 3 took another text";
    EXPECT_GE(clip.Bottom, 5 * height) << "line 5 took another text";

    // A line swapped with itself stays.
    E().GetLines()->Exchange(3, 3);
    EXPECT_EQ(E().GetLines()->Get(3), "$b = 2;");
    EXPECT_TRUE(RangesOfAFreshScan(E()));
}

// Two editors with the JavaScript highlighter show one buffer whose first line is a
// minified script of some megabytes.
class SharedLongLineRangesTest : public RangesAfterFailureAndSwapTest {
protected:
    SharedLongLineRangesTest() : js_(nullptr), otherJs_(nullptr), other_(nullptr)
    {
        E().SetHighlighter(&js_);
        ApplyEditingSettings(other_);
        other_.SetBounds(0, 0, 400, 300);
        other_.SetParent(&Form());
        other_.SetLinesPointer(&E());
        other_.SetHighlighter(&otherJs_);
    }
    ~SharedLongLineRangesTest() override
    {
        other_.SetHighlighter(nullptr);
        other_.RemoveLinesPointer();
    }

    std::size_t BytesScanned() { return E().RangeBytesScanned() + other_.RangeBytesScanned(); }

    TQvJScriptHighlighter js_;
    TQvJScriptHighlighter otherJs_;
    TQvEdit other_;
};

TEST_F(SharedLongLineRangesTest, KeysInEitherEditorShareOneScanUntilARangeIsRead)
{
    std::string line;
    while (line.size() < 2'000'000)
        line += "var a=\"s\",b='t';function f(x){return x/2}/*c*/";
    Load(line + "\r\nvar end = 1;");
    ASSERT_TRUE(RangesOfAFreshScan(E()));

    for (TQvEdit* keys : {&E(), &other_}) {
        SCOPED_TRACE(keys == &E() ? "keys in the buffer's own editor" : "keys in the second editor");
        const std::size_t before = BytesScanned();
        TPoint start{1, 1};
        keys->CommandProcessor(ecGotoXY, '\0', &start);
        for (int i = 0; i < 100; ++i)
            keys->CommandProcessor(ecDeleteChar, '\0', nullptr);
        E().GetLines()->GetRange(1);
        EXPECT_LE(BytesScanned() - before, 2 * E().GetLines()->GetView(0).size() + 1000)
            << "the line scanned more than twice";
        EXPECT_TRUE(RangesOfAFreshScan(E()));
        EXPECT_TRUE(RangesOfAFreshScan(other_));
    }

    // A key that opens a comment over the line below, read through the second editor.
    const std::size_t before = BytesScanned();
    TPoint start{1, 1};
    E().CommandProcessor(ecGotoXY, '\0', &start);
    E().CommandProcessor(ecChar, '/', nullptr);
    E().CommandProcessor(ecChar, '*', nullptr);
    EXPECT_TRUE(RangesOfAFreshScan(other_));
    EXPECT_LE(BytesScanned() - before, 2 * E().GetLines()->GetView(0).size() + 1000);
}

}  // namespace
