// A file of one very long line (a minified script, a JSON document) in the main window,
// with the highlighter and the editing options the program gives it: once the line has
// been painted, a caret move at its end, the paint that follows and the paint of the
// caret's cell alone (the caret's blink) copy and tokenise what they show, not the line;
// and opening and painting such a file holds its text about once.
#include "HeapCount.h"
#include "MainFormFixture.h"

#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"

#include <memory>
#include <string>

namespace {

// Work one step may do: a few windows' width of text, nothing like the line.
constexpr std::uint64_t StepBound = 64 * 1024;

std::string Repeated(const std::string& Piece, std::size_t Bytes)
{
    std::string text;
    text.reserve(Bytes + Piece.size());
    while (text.size() < Bytes)
        text += Piece;
    return text;
}

// A minified bundle: words, strings, numbers, a comment, operators, no line break.
std::string MinifiedScript(std::size_t Bytes)
{
    return Repeated("var a1=function(b,c){return b+c*2.5;};if(a1(1,2)>3){x=\"str\";}/*c*/", Bytes);
}

// A JSON document on one line.
std::string JsonDocument(std::size_t Bytes)
{
    return "[" + Repeated("{\"id\":12,\"name\":\"value one\",\"n\":[1,2,3],\"ok\":true},", Bytes) + "{}]";
}

// A JSON document on one line whose strings hold page text: the program's script scheme
// opens at the first "<script" and its greedy expression runs to the line's last '>'.
std::string JsonDocumentWithPageText(std::size_t Bytes)
{
    return "[{\"page\":\"<script type=x>\"}," + Repeated("{\"id\":12,\"name\":\"value one\",\"n\":[1,2,3]},", Bytes) +
           "{\"page\":\"</b>\"}]";
}

class LongLineViewWorkTest : public TMainFormFixture {
protected:
    LongLineViewWorkTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }
    void Open(const std::string& Path)
    {
        QueueFile(Path);
        Form().mnuFileOpenClick(nullptr);
    }
    void Do(TQvEditorCommand Command) { Editor().CommandProcessor(Command, '\0', nullptr); }

    // Paints the editor's client area, or only Clip of it, as a paint event does (into a
    // bitmap made once, so that its pixels are not counted as the paint's).
    void Paint(const TRect* Clip = nullptr)
    {
        if (bitmap_ == nullptr) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->SetSize(Editor().ClientWidth(), Editor().ClientHeight());
        }
        HDC dc = bitmap_->GetCanvas()->GetHandle();
        const int saved = SaveDC(dc);
        if (Clip != nullptr)
            IntersectClipRect(dc, Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
        Editor().Canvas()->SetHandle(dc);
        Editor().Perform(WM_PAINT, 0, 0);
        Editor().Canvas()->SetHandle(nullptr);
        RestoreDC(dc, saved);
    }
    // The caret's cell, which its blink paints.
    TRect CaretCell()
    {
        const Integer x = Editor().CaretXPix();
        const Integer y = Editor().CaretYPix();
        return Rect(x, y, x + Editor().GetCharWidth(), y + Editor().GetLineHeight());
    }

    // Opens the file, goes to the end of its line and paints, then moves the caret left
    // and right there, painting the window and the caret's cell after each move.
    void ExpectStepsCostWhatTheyShow(const std::string& Name, const std::string& Text,
                                     TQvCustomHighlighter* Highlighter)
    {
        SCOPED_TRACE(Name);
        Open(Write(Name, Text));
        ASSERT_EQ(Editor().GetHighlighter(), Highlighter);
        ASSERT_EQ(Editor().GetLines()->Count(), 1);
        Do(ecLineEnd);
        Paint();
        const TCustomQvEdit::TPaintWork first = Editor().GetPaintWork();
        EXPECT_LE(first.BytesTokenised, 2 * Text.size()) << "the first paint tokenises the line once";
        for (TQvEditorCommand move : {ecLeft, ecLeft, ecRight, ecLeft, ecRight, ecRight}) {
            const TCustomQvEdit::TPaintWork before = Editor().GetPaintWork();
            const heapcount::TScope heap;
            Do(move);
            Paint();
            const TRect cell = CaretCell();
            const std::uint64_t lines = Editor().GetPaintWork().LinesPainted;
            Paint(&cell);
            const TCustomQvEdit::TPaintWork after = Editor().GetPaintWork();
            EXPECT_EQ(after.LinesPainted - lines, 1u) << "the caret's cell is on one line";
            EXPECT_LE(after.BytesTokenised - before.BytesTokenised, StepBound);
            EXPECT_LE(after.BytesCopied - before.BytesCopied, StepBound);
            if (heapcount::Available()) {
                EXPECT_LE(heap.Largest(), StepBound) << "no copy of the line is made";
            }
        }
        EXPECT_EQ(Editor().GetCaretX(), static_cast<Integer>(Text.size()) + 1);
    }

    // Opens and paints the file: afterwards the heap holds the text about once beyond
    // what the window held with a one-line file of the same kind open, and while that
    // runs it never held more: the loaded block is the only copy of the line, which the
    // buffer's listeners, the range scan and the paint's highlighter read in place.
    // LineEnd follows the line in the file.
    void ExpectHeldAboutOnce(const std::string& Name, const std::string& Text, const std::string& LineEnd)
    {
        if (!heapcount::Available())
            GTEST_SKIP() << heapcount::Unavailable;
        Open(Write("small-" + Name, Text.substr(0, 100)));
        Do(ecLineEnd);
        Paint();
        const std::string path = Write(Name, Text + LineEnd);
        const std::size_t before = heapcount::AllocatedBytes();
        std::size_t peak = 0;
        {
            const heapcount::TScope heap;
            Open(path);
            Do(ecLineEnd);
            Paint();
            peak = heap.PeakAllocatedBytes();
        }
        ASSERT_EQ(Editor().GetLines()->Count(), 1);
        EXPECT_EQ(Editor().GetLines()->GetView(0), Text) << Name;
        const std::size_t held = heapcount::AllocatedBytes() - before;
        EXPECT_LE(held, Text.size() + Text.size() / 4) << Name;
        EXPECT_LE(peak - before, Text.size() + Text.size() / 4) << Name;
    }

    std::unique_ptr<TBitmap> bitmap_;
};

TEST_F(LongLineViewWorkTest, MovesAndPaintsAtTheEndOfAMinifiedScriptCostWhatTheyShow)
{
    ExpectStepsCostWhatTheyShow("bundle.min.js", MinifiedScript(2'000'000), Form().QvJScriptHighlighter1);
}

TEST_F(LongLineViewWorkTest, MovesAndPaintsAtTheEndOfAOneLineJsonDocumentCostWhatTheyShow)
{
    ExpectStepsCostWhatTheyShow("data.json", JsonDocument(2'000'000), Form().QvMultiHighlighter1);
}

// A column block at the end of the line: its paint finds the block's columns in what it
// shows, with no expanded copy of the line.
TEST_F(LongLineViewWorkTest, AColumnBlockAtTheEndOfALongLinePaintsWhatItShows)
{
    const std::string text = MinifiedScript(2'000'000);
    Open(Write("bundle.min.js", text));
    Do(ecLineEnd);
    Paint();
    Editor().SetSelectionMode(smColumn);
    for (int i = 0; i < 3; ++i) {
        const TCustomQvEdit::TPaintWork before = Editor().GetPaintWork();
        Do(ecSelLeft);
        Paint();
        const TCustomQvEdit::TPaintWork after = Editor().GetPaintWork();
        EXPECT_LE(after.BytesCopied - before.BytesCopied, StepBound);
    }
    EXPECT_EQ(Editor().GetSelText(), text.substr(text.size() - 3));
}

TEST_F(LongLineViewWorkTest, AOneLineJsonDocumentIsHeldAboutOnce)
{
    ExpectHeldAboutOnce("data.json", JsonDocument(2'000'000), "\n");
}

// The script scheme's marker covers most of the line: the multi-language highlighter
// reads it where it lies, and keeps no copy of it.
TEST_F(LongLineViewWorkTest, AOneLineJsonDocumentWithALineLongMarkerIsHeldAboutOnce)
{
    ExpectHeldAboutOnce("page.json", JsonDocumentWithPageText(2'000'000), "\r\n");
}

TEST_F(LongLineViewWorkTest, AOneLineScriptIsHeldAboutOnce)
{
    ExpectHeldAboutOnce("bundle.min.js", MinifiedScript(2'000'000), "");
}

// The multi-language highlighter the program gives a JSON file looks for its schemes'
// markers on a long line where the line lies: neither the expressions nor the search
// after a marker copy the line.
TEST_F(LongLineViewWorkTest, TheMultiLanguageHighlighterSearchesALongLineInPlace)
{
    if (!heapcount::Available())
        GTEST_SKIP() << heapcount::Unavailable;
    TQvCustomHighlighter* highlighter = Form().QvMultiHighlighter1;
    const std::string plain = JsonDocument(2'000'000);
    const std::string marked = "<% x %>" + plain;
    for (const std::string* text : {&plain, &marked}) {
        highlighter->ResetRange();
        const heapcount::TScope heap;
        highlighter->SetLine(*text, 0);
        EXPECT_LE(heap.Largest(), StepBound);
    }
    // The line with a scheme's markers starts with the start marker's token.
    EXPECT_EQ(highlighter->GetTokenPos(), 0);
    EXPECT_EQ(highlighter->GetTokenView(), "<%");
}

// After a scheme's end marker the rest of a long line goes back to the default highlighter
// where it lies: scanning the line through copies none of it.
TEST_F(LongLineViewWorkTest, TheMultiLanguageHighlighterScansTheRestAfterAMarkerInPlace)
{
    if (!heapcount::Available())
        GTEST_SKIP() << heapcount::Unavailable;
    TQvCustomHighlighter* highlighter = Form().QvMultiHighlighter1;
    const std::string marked = "<% x %>" + JsonDocument(2'000'000);
    highlighter->ResetRange();
    const heapcount::TScope heap;
    highlighter->ScanLine(marked, 0);
    EXPECT_LE(heap.Largest(), StepBound);
    EXPECT_TRUE(highlighter->GetEol());
}

// End and Home on the line read it in place: neither allocates anything like the line,
// and each lands where it should (Home, with the program's smart Home, on the first
// column of a line that starts with no blank).
TEST_F(LongLineViewWorkTest, EndAndHomeOnALongLineCopyNothingOfIt)
{
    if (!heapcount::Available())
        GTEST_SKIP() << heapcount::Unavailable;
    const std::string text = MinifiedScript(2'000'000);
    Open(Write("bundle.min.js", text));
    ASSERT_EQ(Editor().GetLines()->Count(), 1);
    for (int round = 0; round < 2; ++round) {
        {
            const heapcount::TScope heap;
            Do(ecLineEnd);
            EXPECT_LE(heap.Largest(), StepBound) << "End";
        }
        EXPECT_EQ(Editor().GetCaretX(), static_cast<Integer>(text.size()) + 1);
        {
            const heapcount::TScope heap;
            Do(ecLineStart);
            EXPECT_LE(heap.Largest(), StepBound) << "Home";
        }
        EXPECT_EQ(Editor().GetCaretX(), 1);
    }
}

}  // namespace
