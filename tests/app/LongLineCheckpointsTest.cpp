// A file of one very long line of script in the main window, with the highlighter and the
// editing options the program gives a `.js` name: the highlighter's state kept at intervals
// along the line lets the paint of its end and the range rescan after a key at its end
// tokenise a few intervals, not the line from its start, and what they show is what a scan
// from the start gives.
#include "MainFormFixture.h"

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"

#include <memory>
#include <string>

namespace {

// A few of the intervals (64 KiB) the highlighter's state is kept at, and a few windows'
// width: nothing like the line.
constexpr std::uint64_t StepBound = 256 * 1024;

// A minified bundle: words, strings, numbers, a comment, operators, no line break.
std::string MinifiedScript(std::size_t Bytes)
{
    const std::string piece = "var a1=function(b,c){return b+c*2.5;};if(a1(1,2)>3){x=\"str\";}/*c*/";
    std::string text;
    text.reserve(Bytes + piece.size());
    while (text.size() < Bytes)
        text += piece;
    return text;
}

class LongLineCheckpointsTest : public TMainFormFixture {
protected:
    LongLineCheckpointsTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }
    void Do(TQvEditorCommand Command) { Editor().CommandProcessor(Command, '\0', nullptr); }
    // Opens a one-line script of Bytes bytes and paints the window at its start.
    std::string OpenScript(std::size_t Bytes)
    {
        const std::string text = MinifiedScript(Bytes);
        QueueFile(Write("bundle.min.js", text));
        Form().mnuFileOpenClick(nullptr);
        EXPECT_EQ(Editor().GetHighlighter(), static_cast<TQvCustomHighlighter*>(Form().QvJScriptHighlighter1));
        EXPECT_EQ(Editor().GetLines()->Count(), 1);
        PaintEditor();
        return text;
    }
    std::uint64_t Tokenised() { return Editor().GetPaintWork().BytesTokenised; }
    // The range the line ends in as the highlighter gives it scanning from the start.
    TQvHighlighterRange FreshEndRange()
    {
        TQvCustomHighlighter* h = Editor().GetHighlighter();
        const std::string line = Editor().GetLines()->Get(0);
        h->ResetRange();
        h->ScanLine(line, 0);
        return h->GetRange();
    }
    // A paint's pixels, to compare two paints.
    std::string Pixels(TBitmap& Painted)
    {
        std::string pixels;
        for (Integer y = 0; y < Editor().GetLineHeight(); ++y)
            for (Integer x = 0; x < Editor().ClientWidth(); ++x) {
                const TColor c = Painted.GetCanvas()->GetPixel(x, y);
                pixels.append(reinterpret_cast<const char*>(&c), sizeof c);
            }
        return pixels;
    }
};

// The open, the first paint of the line's start, End and the paint of the end tokenise the
// line about once: the ranges wait for a reader, and the paint of the end keeps the
// highlighter's state along the line.
TEST_F(LongLineCheckpointsTest, OpenAndEndTokeniseTheLineAboutOnce)
{
    const std::uint64_t before = Tokenised() + Editor().RangeBytesScanned();
    const std::string text = OpenScript(2'000'000);
    Do(ecLineEnd);
    PaintEditor();
    EXPECT_EQ(Editor().GetCaretX(), static_cast<Integer>(text.size()) + 1);
    EXPECT_LE(Tokenised() + Editor().RangeBytesScanned() - before, text.size() + StepBound);
}

// Backspace at the end of a line painted at its end: the paint after it keeps the states
// before the edited column, whatever the buffer's notice told.
TEST_F(LongLineCheckpointsTest, BackspaceAtTheEndOfALinePaintedThereTokenisesAFewIntervals)
{
    const std::string text = OpenScript(2'000'000);
    Do(ecLineEnd);
    PaintEditor();
    for (int i = 0; i < 5; ++i) {
        const std::uint64_t before = Tokenised();
        Do(ecDeleteLastChar);
        PaintEditor();
        EXPECT_LE(Tokenised() - before, StepBound) << "key " << i;
    }
    EXPECT_EQ(Editor().GetLines()->Get(0), text.substr(0, text.size() - 5));
}

// A Backspace at the end of the line and a Left after it, painted together (keys faster
// than paints): the paint goes on from the state kept last before the columns it shows,
// which lies near them wherever the line's end falls between two of the intervals; here
// the end falls some 60 KB past one of 64 KiB.
TEST_F(LongLineCheckpointsTest, AMoveAfterAKeyAtTheEndTokenisesLittleMoreThanItShows)
{
    constexpr std::uint64_t Shown = 32 * 1024;
    OpenScript(30 * 65536 + 60'000);
    Do(ecLineEnd);
    PaintEditor();
    for (int i = 0; i < 3; ++i) {
        const std::uint64_t before = Tokenised();
        Do(ecDeleteLastChar);
        Do(ecLeft);
        PaintEditor();
        EXPECT_LE(Tokenised() - before, Shown) << "key " << i;
    }
}

// Backspaces at the end, then a range read: the rescan of the line's end range goes on from
// the last checkpoint before the edit, and ends where a scan from the start ends.
TEST_F(LongLineCheckpointsTest, BackspacesAtTheEndThenARangeReadScanAFewIntervals)
{
    const std::string text = OpenScript(2'000'000);
    Do(ecLineEnd);
    PaintEditor();
    (void)Editor().GetLines()->GetRange(0);
    const std::size_t before = Editor().RangeBytesScanned();
    for (int i = 0; i < 20; ++i)
        Do(ecDeleteLastChar);
    const Integer range = Editor().GetLines()->GetRange(0);
    EXPECT_LE(Editor().RangeBytesScanned() - before, StepBound);
    EXPECT_EQ(range, FreshEndRange());
    // A comment opened at the end (by a program: the line is too long to type into) is
    // seen by the rescan.
    Editor().GetLines()->Put(0, Editor().GetLines()->Get(0) + "/*");
    const Integer open = Editor().GetLines()->GetRange(0);
    EXPECT_EQ(open, FreshEndRange());
    EXPECT_NE(open, range);
}

// An edit early in the line (by a program, the line too long to type into) drops the states
// after it: the paint of the end then shows what a scan from the start gives. The edit
// changes no length, so that every state kept lies where it lay, but it pairs the line's
// quotes anew: what was a string is code and what was code a string.
TEST_F(LongLineCheckpointsTest, AnEditEarlyInTheLineIsSeenAtItsEnd)
{
    OpenScript(2'000'000);
    Do(ecLineEnd);
    const std::string shown = Pixels(PaintEditor());
    Editor().GetLines()->Put(0, "\"" + Editor().GetLines()->Get(0).substr(1));
    Do(ecLineEnd);
    const std::string changed = Pixels(PaintEditor());
    EXPECT_TRUE(changed != shown);
    const Integer left = Editor().GetLeftChar();
    // The same view painted after the editor forgot what it kept: the highlighter set anew.
    TQvCustomHighlighter* highlighter = Editor().GetHighlighter();
    Editor().SetHighlighter(nullptr);
    Editor().SetHighlighter(highlighter);
    PaintEditor();
    Editor().SetLeftChar(left);
    EXPECT_TRUE(Pixels(PaintEditor()) == changed);
}

}  // namespace
