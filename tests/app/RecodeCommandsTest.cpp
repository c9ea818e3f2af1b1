// The main window's code-page conversions of the whole text: against iconv's tables, in
// round trips both ways, line by line with every line kept, and as one undo step that
// marks the text as modified.
#include "IconvReference.h"
#include "MainFormFixture.h"

#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/editor/QvEdit.h"

namespace {

class RecodeCommandsTest : public TMainFormFixture {
protected:
    RecodeCommandsTest() { Start(); }

    TQvEdit& Editor() { return *Form().Editor; }
    std::string Text() { return Editor().QvGetText(); }
};

// Every byte from 1 to 255 but the line ends, which stay as the lines' ends.
std::string AllBytesOfALine()
{
    std::string line;
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n')
            line += static_cast<char>(c);
    return line;
}

TEST_F(RecodeCommandsTest, EachCommandFollowsTheCodeTablesAndItsReverseGivesEveryByteBack)
{
    TfrmEdit& form = Form();
    struct TCase {
        void (TfrmEdit::*FromWin)(TObject*);
        void (TfrmEdit::*ToWin)(TObject*);
        const char* Charset;
    };
    const TCase cases[] = {
        {&TfrmEdit::EncodingWinKoi, &TfrmEdit::EncodingKoiWin, "KOI8-R"},
        {&TfrmEdit::EncodingWinDos, &TfrmEdit::EncodingDosWin, "CP866"},
        {&TfrmEdit::EncodingWinIso, &TfrmEdit::EncodingIsoWin, "ISO-8859-5"},
    };
    const std::string line = AllBytesOfALine();
    const std::string text = line + "\r\n" + line;
    for (const TCase& c : cases) {
        // Win -> X, then X -> Win.
        Editor().QvSetText(text);
        (form.*c.FromWin)(nullptr);
        const std::string coded = IconvBytes("CP1251", c.Charset, line);
        EXPECT_EQ(Text(), coded + "\r\n" + coded) << c.Charset;
        (form.*c.ToWin)(nullptr);
        EXPECT_EQ(Text(), text) << c.Charset;
        // X -> Win, then Win -> X.
        (form.*c.ToWin)(nullptr);
        const std::string decoded = IconvBytes(c.Charset, "CP1251", line);
        EXPECT_EQ(Text(), decoded + "\r\n" + decoded) << c.Charset;
        (form.*c.FromWin)(nullptr);
        EXPECT_EQ(Text(), text) << c.Charset;
    }
    // As a user types it in 1251: «Привет» — №5 €
    const std::string typed = "\xAB\xCF\xF0\xE8\xE2\xE5\xF2\xBB \x97 \xB9" "5 \x88";
    Editor().QvSetText(typed);
    form.EncodingWinKoi(nullptr);
    form.EncodingKoiWin(nullptr);
    EXPECT_EQ(Text(), typed);
}

TEST_F(RecodeCommandsTest, EveryLineStaysAndKeepsItsLength)
{
    // 866 and ISO-8859-5 bytes from 240 hold letters and signs; none ends a line early.
    Editor().QvSetText("a\xF0z\r\n\xFF\xF1\x01" "end\r\n\r\n");
    ASSERT_EQ(Editor().GetLines()->Count(), 3);  // the last one empty
    Form().EncodingDosWin(nullptr);
    EXPECT_EQ(Editor().GetLines()->Count(), 3);
    EXPECT_EQ(Editor().GetLines()->Strings(0), IconvBytes("CP866", "CP1251", "a\xF0z"));
    EXPECT_EQ(Editor().GetLines()->Strings(1).size(), 6u);
    EXPECT_EQ(Editor().GetLines()->Strings(1).substr(2), "\x01" "end");
    EXPECT_EQ(Editor().GetLines()->Strings(2), "");

    Editor().QvSetText("\xF0\xF1\xFC\xFD");
    Form().EncodingIsoWin(nullptr);
    EXPECT_EQ(Text(), IconvBytes("ISO-8859-5", "CP1251", "\xF0\xF1\xFC\xFD"));
    EXPECT_EQ(Text().find('\0'), std::string::npos);
}

TEST_F(RecodeCommandsTest, OneUndoTakesAConversionBackAndRedoDoesItAgain)
{
    // Привет, a line with trailing blanks after a letter, an ASCII line, a trailing empty line.
    Editor().QvSetText("\xCF\xF0\xE8\xE2\xE5\xF2\r\nab \xE0  \r\nascii\r\n\r\n");
    const std::string text = Text();
    const std::string coded = "\xF0\xD2\xC9\xD7\xC5\xD4\r\nab \xC1  \r\nascii\r\n";
    ASSERT_EQ(Editor().GetLines()->Count(), 4);
    Editor().SetBookMark(1, 1, 3);
    Editor().SetCaretAndSelection(TPoint{2, 1}, TPoint{4, 2}, TPoint{2, 1});
    ASSERT_FALSE(Editor().GetModified());
    const auto expectKept = [&](const char* When) {
        EXPECT_EQ(Editor().GetCaretXY(), (TPoint{2, 1})) << When;
        EXPECT_EQ(Editor().GetBlockBegin(), (TPoint{2, 1})) << When;
        EXPECT_EQ(Editor().GetBlockEnd(), (TPoint{4, 2})) << When;
        Integer x = 0, y = 0;
        EXPECT_TRUE(Editor().GetBookMark(1, x, y) && y == 3) << When;
    };

    Form().EncodingWinKoi(nullptr);
    EXPECT_EQ(Text(), coded);
    EXPECT_TRUE(Editor().GetModified());
    expectKept("converted");

    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(Text(), text);
    EXPECT_FALSE(Editor().GetModified());
    expectKept("undone");

    Form().mnuEditRedoClick(nullptr);
    EXPECT_EQ(Text(), coded);
    EXPECT_TRUE(Editor().GetModified());
    expectKept("redone");

    // Two conversions are two steps, and typing after them a third.
    Form().EncodingKoiWin(nullptr);
    Editor().SetSelTextExternal("x");
    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(Text(), text);
    Form().mnuEditUndoClick(nullptr);
    EXPECT_EQ(Text(), coded);
    EXPECT_TRUE(Editor().GetModified());

    QueueBox(IDNO);  // so closing asks before the converted text is lost
    Form().mnuFileCloseClick(nullptr);
    ASSERT_EQ(BoxTexts().size(), 1u);
}

// A conversion is a bulk change: what it, its undo and its redo do grows with the lines.
TEST_F(RecodeCommandsTest, WorkGrowsWithTheLinesConverted)
{
    for (const int lines : {2000, 8000}) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += "\xCF\xF0\xE8\xE2\xE5\xF2 \xAB\xEC\xE8\xF0\xBB \x97 \xB9" + std::to_string(i) + "\r\n";
        text.resize(text.size() - 2);
        Editor().QvSetText(text);
        const std::size_t scanned = Editor().RangeLinesScanned();
        const std::size_t moved = Editor().GetLines()->RecordsMoved();
        Form().EncodingWinKoi(nullptr);
        Form().mnuEditUndoClick(nullptr);
        ASSERT_TRUE(Text() == text) << lines;
        Form().mnuEditRedoClick(nullptr);
        const auto bound = static_cast<std::size_t>(lines) * 4;
        EXPECT_LE(Editor().RangeLinesScanned() - scanned, bound) << "lines rescanned at " << lines;
        EXPECT_LE(Editor().GetLines()->RecordsMoved() - moved, bound) << "records moved at " << lines;
    }
}

}  // namespace
