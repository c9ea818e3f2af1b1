// The Bookmarks menu's items after set, go and clear, and the character-set choices of
// the side pane and the View menu, down to how the text is drawn.
#include "MainFormFixture.h"

#include "app/MainFormParts.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/Menus.h"
#include "qvedit/editor/QvEdit.h"

#include <vector>

namespace {

class BookmarkCharsetTest : public TMainFormFixture {
protected:
    BookmarkCharsetTest()
    {
        Start();
        Editor().QvSetText("zero\r\none\r\ntwo\r\nthree\r\nfour");
    }

    TQvEdit& Editor() { return *Form().Editor; }
    // "+" or "" for each s item, and which p and d items are shown, as "s:pd".
    std::string Slot(int N)
    {
        const TfrmEdit& f = Form();
        return f.s[N]->Caption() + ":" + (f.p[N]->Visible() ? "p" : "-") + (f.d[N]->Visible() ? "d" : "-");
    }
    int BookmarkLine(int N)
    {
        int x = 0, y = 0;
        return Editor().GetBookMark(N, x, y) ? y : 0;
    }
};

TEST_F(BookmarkCharsetTest, SetGoAndClearDriveTheItems)
{
    TfrmEdit& form = Form();
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(Slot(n), " :--") << n;  // the items as the menu starts

    Editor().SetCaretY(2);
    form.BookmarkSetClick(form.s[3]);
    Editor().SetCaretY(4);
    form.BookmarkSetClick(form.s[3]);  // set twice: one bookmark, on the newer line
    EXPECT_EQ(BookmarkLine(3), 4);
    EXPECT_EQ(Slot(3), "+:pd");
    EXPECT_EQ(Slot(2), " :--");

    Editor().SetCaretY(1);
    form.BookmarkGoClick(form.p[3]);
    EXPECT_EQ(Editor().GetCaretY(), 4);
    form.BookmarkGoClick(form.p[5]);  // not set: nothing happens
    EXPECT_EQ(Editor().GetCaretY(), 4);

    form.BookmarkClearClick(form.d[3]);
    EXPECT_EQ(BookmarkLine(3), 0);
    EXPECT_EQ(Slot(3), ":--");
}

TEST_F(BookmarkCharsetTest, ClearingAllEmptiesEverySlotAlsoThoseNeverSet)
{
    TfrmEdit& form = Form();
    Editor().SetCaretY(3);
    form.BookmarkSetClick(form.s[0]);
    form.BookmarkSetClick(form.s[9]);
    form.mnuBookmarksClearClick(form.mnuBookmarksClear);
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(Slot(n), ":--") << n;
        EXPECT_EQ(BookmarkLine(n), 0) << n;
    }
}

TEST_F(BookmarkCharsetTest, EachCharsetNameSetsTheFontsCharset)
{
    TfrmEdit& form = Form();
    // The menu items move the coding page's list to their row first, also before the page
    // was ever shown: "Eom" is row 12, the OEM set.
    ASSERT_EQ(form.cCharset, nullptr);
    form.CharsetItemClick(form.CharsetItems[13]);
    form.CharsetItemClick(form.CharsetItems[12]);
    ASSERT_NE(form.cCharset, nullptr);
    EXPECT_EQ(form.cCharset->ItemIndex(), 12);
    EXPECT_EQ(form.cCharset->Text(), "Eom");
    EXPECT_EQ(Editor().GetFont()->GetCharset(), 255);
    PickSidePage(form.tCoding);
    EXPECT_EQ(form.cCharset->Text(), "Eom");  // showing the page keeps the choice

    const unsigned char expected[18] = {1, 0, 178, 186, 136, 238, 134, 161, 129, 177, 130, 77, 255, 204, 128, 2, 222, 162};
    for (int row = 0; row < 18; ++row) {
        form.cCharset->SetItemIndex(row);
        form.cCharsetSelect(form.cCharset);
        EXPECT_EQ(Editor().GetFont()->GetCharset(), expected[row]) << row;
    }
}

// The first text line as drawn, pixel by pixel.
std::vector<TColor> DrawnLine(TQvEdit& Editor)
{
    TBitmap picture;
    picture.SetSize(Editor.Width(), Editor.Height());
    Editor.PaintTo(picture.GetCanvas(), 0, 0);
    std::vector<TColor> pixels;
    const int top = 2;
    for (int y = top; y < top + Editor.GetLineHeight(); ++y)
        for (int x = Editor.GetGutterWidth() + 2; x < Editor.GetGutterWidth() + 2 + 6 * Editor.GetCharWidth(); ++x)
            pixels.push_back(picture.GetCanvas()->GetPixel(x, y));
    return pixels;
}

TEST_F(BookmarkCharsetTest, TheTextIsDrawnThroughTheChosenCharsetsCodePage)
{
    TfrmEdit& form = Form();
    Editor().SetBounds(0, 0, 300, 120);
    Editor().QvSetText("\xC0\xC1\xC2\xE0\xE1\xE2");  // "ÀÁÂàáâ" in 1252, "АБВабв" in 1251
    auto choose = [&](int Row) {
        form.CharsetItemClick(form.CharsetItems[Row]);
        return DrawnLine(Editor());
    };
    const std::vector<TColor> ansi = choose(1);
    const std::vector<TColor> russian = choose(13);
    const std::vector<TColor> greek = choose(7);
    EXPECT_NE(ansi, russian);
    EXPECT_NE(russian, greek);
    EXPECT_EQ(choose(0), ansi);  // Default is the ANSI code page, 1252 here
    EXPECT_EQ(choose(13), russian);
}

}  // namespace
