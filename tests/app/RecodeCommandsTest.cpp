// The main window's code-page conversions of the whole text: against iconv's tables, in
// round trips, line by line with every line kept, and marking the text as modified.
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

// Every letter of code page 1251 (with Ё and ё), a few signs, and ASCII.
std::string Cyrillic1251()
{
    std::string letters = "ASCII stays: <p>\t\xA8\xB8\xB9\xAB\xBB ";
    for (int c = 0xC0; c <= 0xFF; ++c)
        letters += static_cast<char>(c);
    return letters;
}

TEST_F(RecodeCommandsTest, EachCommandConvertsAsTheCodeTablesSay)
{
    TfrmEdit& form = Form();
    struct TCase {
        void (TfrmEdit::*To)(TObject*);
        void (TfrmEdit::*Back)(TObject*);
        const char* Charset;
    };
    const TCase cases[] = {
        {&TfrmEdit::EncodingWinKoi, &TfrmEdit::EncodingKoiWin, "KOI8-R"},
        {&TfrmEdit::EncodingWinDos, &TfrmEdit::EncodingDosWin, "CP866"},
        {&TfrmEdit::EncodingWinIso, &TfrmEdit::EncodingIsoWin, "ISO-8859-5"},
    };
    const std::string line = Cyrillic1251();
    for (const TCase& c : cases) {
        Editor().QvSetText(line + "\r\n" + line);
        (form.*c.To)(nullptr);
        const std::string converted = IconvBytes("CP1251", c.Charset, line);
        EXPECT_EQ(Text(), converted + "\r\n" + converted) << c.Charset;
        (form.*c.Back)(nullptr);
        // What the other page cannot hold comes back as '?'; every letter comes back.
        const std::string back = IconvBytes(c.Charset, "CP1251", converted);
        EXPECT_EQ(Text(), back + "\r\n" + back) << c.Charset;
        EXPECT_EQ(back.substr(back.size() - 64), line.substr(line.size() - 64)) << c.Charset;
    }
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

TEST_F(RecodeCommandsTest, AConversionIsAChangeToSaveAndCannotBeUndoneIntoMixedBytes)
{
    Editor().QvSetText("\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет"
    ASSERT_FALSE(Editor().GetModified());
    Form().EncodingWinKoi(nullptr);
    EXPECT_EQ(Text(), "\xF0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_TRUE(Editor().GetModified());
    EXPECT_FALSE(Editor().GetCanUndo());

    Editor().SetSelTextExternal("x");  // typing and undoing keeps the text modified
    Editor().Undo();
    EXPECT_EQ(Text(), "\xF0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_TRUE(Editor().GetModified());

    QueueBox(IDNO);  // so closing asks before the converted text is lost
    Form().mnuFileCloseClick(nullptr);
    ASSERT_EQ(BoxTexts().size(), 1u);
}

}  // namespace
