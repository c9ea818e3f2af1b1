// The insertion commands of the main window: every fragment button as a table, with and
// without a selection and undone in one step; quote escaping; the tag and attribute
// lists; the colour box and the colour, font and date-time items of the Insert menu.
#include "MainFormFixture.h"

#include "app/Global.h"
#include "app/Insertions.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/SysUtils.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"

namespace {

class InsertCommandsTest : public TMainFormFixture {
protected:
    InsertCommandsTest()
    {
        Start();
        PickEverySidePage();
    }

    TQvEdit& Editor() { return *Form().Editor; }
    std::string Text() { return Editor().QvGetText(); }
    // Text with the line feeds of a fragment as the editor returns them.
    static std::string Lines(std::string Text)
    {
        std::string out;
        for (char c : Text)
            out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    }
    void SetText(const std::string& Text, TPoint SelStart, TPoint SelEnd)
    {
        Editor().QvSetText(Text);
        Editor().SetCaretXY(SelStart);
        Editor().SetBlockBegin(SelStart);
        Editor().SetBlockEnd(SelEnd);
    }
    void Click(const std::string& Name)
    {
        auto* control = dynamic_cast<TControl*>(Form().FindControl(Name));
        ASSERT_NE(control, nullptr) << Name;
        ASSERT_TRUE(control->OnClick) << Name;
        control->OnClick(control);
    }
};

TEST_F(InsertCommandsTest, EveryFragmentButtonWrapsOrReplacesTheSelectionInOneUndoStep)
{
    for (const TInsertion& row : Insertions()) {
        const std::string before = row.Before;
        const std::string after = row.After;
        const bool wrap = row.Kind == TInsertionKind::Wrap;

        SetText("x SEL y", TPoint{3, 1}, TPoint{6, 1});
        Click(row.Control);
        EXPECT_EQ(Text(), Lines("x " + before + (wrap ? "SEL" + after : "") + " y")) << row.Control;
        Editor().Undo();
        EXPECT_EQ(Text(), "x SEL y") << row.Control;
        EXPECT_EQ(Editor().GetSelText(), "SEL") << row.Control;

        SetText("x y", TPoint{3, 1}, TPoint{3, 1});
        Click(row.Control);
        EXPECT_EQ(Text(), Lines("x " + before + after + "y")) << row.Control;
        Editor().Undo();
        EXPECT_EQ(Text(), "x y") << row.Control;
    }
}

TEST_F(InsertCommandsTest, LineFeedsOfFragmentsAndSelectionsBecomeLines)
{
    struct TCase {
        const char* Control;
        const char* Result;  // of "a" selected
    };
    const TCase cases[] = {
        {"SpeedButton11", "<form action=\"\" method=\"get\">\r\na\r\n</form>"},
        {"SpeedButton26", "<?php switch ($i) {\r\n  case 0:\r\n\r\n    break;\r\n  case 1:\r\n\r\n    break;\r\n} ?>"},
    };
    for (const TCase& c : cases) {
        SetText("a", TPoint{1, 1}, TPoint{2, 1});
        Click(c.Control);
        EXPECT_EQ(Text(), c.Result) << c.Control;
    }
    // A wrap of several lines keeps their line breaks between the prefix and the suffix.
    SetText("one\r\ntwo", TPoint{1, 1}, TPoint{4, 2});
    Click("SpeedButton5");
    EXPECT_EQ(Text(), "<b>one\r\ntwo</b>");
}

TEST_F(InsertCommandsTest, EscapingRunsThePlainEngineAndKeepsTheDialogsEngine)
{
    Editor().SetSearchEngine(Form().QvEditRegexSearch1);  // as the find dialog may leave it
    SetText("say \"hi\" it's", TPoint{1, 1}, TPoint{14, 1});
    Click("SpeedButton71");
    EXPECT_EQ(Text(), "say \\\"hi\\\" it's");
    EXPECT_EQ(Editor().GetSearchEngine(), Form().QvEditRegexSearch1);

    SetText("say \"hi\" it's", TPoint{1, 1}, TPoint{14, 1});
    Click("SpeedButton72");  // the button captioned \' escapes single quotes
    EXPECT_EQ(Text(), "say \"hi\" it\\'s");
    Editor().Undo();
    EXPECT_EQ(Text(), "say \"hi\" it's");

    // Without a selection: from the caret to the end of the text.
    SetText("\"a\"\r\n\"b\"", TPoint{3, 1}, TPoint{3, 1});
    Click("SpeedButton71");
    EXPECT_EQ(Text(), "\"a\\\"\r\n\\\"b\\\"");
    // A selection without quotes changes nothing.
    SetText("plain \"q\"", TPoint{1, 1}, TPoint{6, 1});
    Click("SpeedButton71");
    EXPECT_EQ(Text(), "plain \"q\"");
    EXPECT_EQ(Editor().GetSearchEngine(), Form().QvEditRegexSearch1);
}

TEST_F(InsertCommandsTest, TheListsInsertTheRowUnderTheSelectionAndNothingWithoutOne)
{
    TfrmEdit& form = Form();
    ASSERT_EQ(form.HTMLTagsItems->Items()->Count(), form.HTMLTagsInsert->Items()->Count());
    ASSERT_EQ(form.HTMLAttriItems->Items()->Count(), 74);

    SetText("", TPoint{1, 1}, TPoint{1, 1});
    form.HTMLTagsItems->SetItemIndex(-1);
    form.HTMLTagsItemsDblClick(form.HTMLTagsItems);
    form.HTMLAttriItems->SetItemIndex(-1);
    form.HTMLAttriItemsDblClick(form.HTMLAttriItems);
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(Editor().GetModified());

    form.HTMLTagsItems->SetItemIndex(0);
    form.HTMLTagsItemsDblClick(form.HTMLTagsItems);
    EXPECT_EQ(Text(), " <!-- \xCA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE8 -->");  // code page 1251

    SetText("<a >", TPoint{4, 1}, TPoint{4, 1});
    form.HTMLAttriItems->SetItemIndex(0);
    form.HTMLAttriItemsDblClick(form.HTMLAttriItems);
    EXPECT_EQ(Text(), "<a  action=\"\">");
    Editor().Undo();
    EXPECT_EQ(Text(), "<a >");
}

TEST_F(InsertCommandsTest, ColoursGoInAsUpperCaseHtmlHex)
{
    TfrmEdit& form = Form();
    struct TCase {
        TColor Color;
        const char* Text;
    };
    const TCase cases[] = {{clRed, "#FF0000"}, {clLime, "#00FF00"}, {clBlue, "#0000FF"}, {0xFF8000, "#0080FF"}};
    for (const TCase& c : cases) {
        SetText("", TPoint{1, 1}, TPoint{1, 1});
        form.ColorBox1->SetSelected(c.Color);
        form.ColorBox1Select(form.ColorBox1);
        EXPECT_EQ(Text(), c.Text);
    }
    // A system colour goes in as the colour it stands for.
    SetText("", TPoint{1, 1}, TPoint{1, 1});
    form.ColorBox1->SetSelected(clWindow);
    form.ColorBox1Select(form.ColorBox1);
    EXPECT_EQ(Text(), HtmlColorText(ColorToRGB(clWindow)));
    EXPECT_EQ(Text().size(), 7u);
}

TEST_F(InsertCommandsTest, TheColourAndFontDialogsInsertOnlyWhenConfirmed)
{
    TfrmEdit& form = Form();
    int answer = IDOK;
    std::string fontName;
    SetModalHook([&](const TModalRequest&) {
        if (auto* colors = dynamic_cast<TColorDialog*>(ExecutingDialog()))
            colors->SetColor(clRed);
        if (auto* fonts = dynamic_cast<TFontDialog*>(ExecutingDialog()))
            fonts->Font()->SetName(fontName);
        return answer;
    });
    SetText("", TPoint{1, 1}, TPoint{1, 1});
    form.mnuInsertColorClick(nullptr);
    EXPECT_EQ(Text(), "#FF0000");
    fontName = "Liberation Mono";
    form.mnuInsertFontClick(nullptr);
    EXPECT_EQ(Text(), "#FF0000Liberation Mono");
    fontName = "Caf\xE9";  // font names are ANSI bytes, inserted as they are
    form.mnuInsertFontClick(nullptr);
    EXPECT_EQ(Text(), "#FF0000Liberation MonoCaf\xE9");

    answer = IDCANCEL;
    form.mnuInsertColorClick(nullptr);
    form.mnuInsertFontClick(nullptr);
    answer = IDOK;
    fontName = "";
    form.mnuInsertFontClick(nullptr);  // a font without a name inserts nothing
    EXPECT_EQ(Text(), "#FF0000Liberation MonoCaf\xE9");
}

TEST_F(InsertCommandsTest, DateAndTimeUseTheShortDateAndTheLongTime)
{
    const std::string savedDate = ShortDateFormat();
    const std::string savedTime = LongTimeFormat();
    SetShortDateFormat("yyyy-mm-dd");
    SetLongTimeFormat("hh:nn:ss");
    SetText("", TPoint{1, 1}, TPoint{1, 1});
    const std::string before = DateToStr(Now());
    Form().mnuInsertDateAndTimeClick(nullptr);
    const std::string text = Text();
    SetShortDateFormat(savedDate);
    SetLongTimeFormat(savedTime);
    ASSERT_EQ(text.size(), 19u) << text;
    EXPECT_EQ(text[10], ' ');
    EXPECT_EQ(text[13], ':');
    EXPECT_EQ(text[16], ':');
    EXPECT_TRUE(text.substr(0, 10) == before || text.substr(0, 10) == DateToStr(Now())) << text;
}

}  // namespace
