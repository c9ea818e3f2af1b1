// The CSS rule dialog: the rule text for the combinations its rows allow, the colour
// boxes, Insert into the main editor, Save As with its suffix and filter; and the about
// box's picture.
#include "MainFormFixture.h"

#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "qvedit/editor/QvEdit.h"

namespace {

class CssMakerTest : public TMainFormFixture {
protected:
    CssMakerTest()
    {
        Start();
        frmCssMaker = new TfrmCssMaker(nullptr);
        frmCssMaker->FormCreate(frmCssMaker);
    }
    ~CssMakerTest() override
    {
        delete frmCssMaker;
        frmCssMaker = nullptr;
    }

    TfrmCssMaker& Dialog() { return *frmCssMaker; }
    std::string Rules() { return Dialog().txtSource->QvGetText(); }
    void Check(int Box, bool On = true) { Dialog().CheckBoxes[Box - 1]->SetChecked(On); }
    void Add() { Dialog().Button1Click(Dialog().Button1); }
};

TEST_F(CssMakerTest, RulesFollowTheCheckedRows)
{
    Add();  // nothing checked: the selector, braces around an empty line
    EXPECT_EQ(Rules(), "a\r\n{\r\n\r\n}\r\n");

    Dialog().txtSource->QvSetText("");
    Dialog().cSelector->SetText("p.note");  // typed, not in the list
    Check(8);
    Dialog().cBStyle->SetText("dashed");
    Add();  // only the border style: directly followed by "}"
    EXPECT_EQ(Rules(), "p.note\r\n{\r\n  border-style: dashed;\r\n}\r\n");

    Dialog().txtSource->QvSetText("");
    Check(8, false);
    Check(2);
    Dialog().cFontSize->SetText("12");
    Dialog().cFontType->SetText("px");
    Check(3);
    Check(5);
    Dialog().txtColor->SetText("#FF0000");
    Dialog().txtBgColor->SetText("");  // no check of the values
    Add();
    EXPECT_EQ(Rules(), "p.note\r\n{\r\n  font-size: 12px;\r\n  background-color: ;\r\n  color: #FF0000;\r\n\r\n}\r\n");
}

TEST_F(CssMakerTest, EveryRowWritesItsLineInTheFixedOrder)
{
    for (int box = 1; box <= 8; ++box)
        Check(box);
    ASSERT_GT(Dialog().cFontFamily->Items()->Count(), 0);  // the screen's fonts
    Dialog().cFontFamily->SetText("Liberation Sans");
    Add();  // the other rows with the texts they start with
    EXPECT_EQ(Rules(),
              "a\r\n{\r\n  font-family: Liberation Sans;\r\n  font-size: 10pt;\r\n  background-color: #000000;\r\n"
              "  color: #000000;\r\n  text-decoration: none;\r\n  text-align: left;\r\n  border: 3;\r\n"
              "  border-style: none;\r\n}\r\n");
}

TEST_F(CssMakerTest, TwoAddsAreBothInsertedAndStayInTheDialog)
{
    Add();
    Dialog().cSelector->SetText("b");
    Add();
    const std::string both = "a\r\n{\r\n\r\n}\r\nb\r\n{\r\n\r\n}\r\n";
    EXPECT_EQ(Rules(), both);

    Form().Editor->QvSetText("<style>\r\nOLD\r\n</style>");
    Form().Editor->SetBlockBegin(TPoint{1, 2});
    Form().Editor->SetBlockEnd(TPoint{4, 2});
    Dialog().OKBtnClick(Dialog().OKBtn);
    EXPECT_EQ(Form().Editor->QvGetText(), "<style>\r\n" + both + "\r\n</style>");
    EXPECT_EQ(Rules(), both);  // Insert does not clear the rules
    Form().Editor->Undo();
    EXPECT_EQ(Form().Editor->QvGetText(), "<style>\r\nOLD\r\n</style>");
}

TEST_F(CssMakerTest, ColourBoxesWriteUpperCaseHexIntoTheirRow)
{
    Dialog().ColorBox1->SetSelected(clRed);
    Dialog().ColorBox1Select(Dialog().ColorBox1);
    EXPECT_EQ(Dialog().txtColor->Text(), "#FF0000");
    Dialog().ColorBox2->SetSelected(0xFF8000);
    Dialog().ColorBox2Select(Dialog().ColorBox2);
    EXPECT_EQ(Dialog().txtBgColor->Text(), "#0080FF");
    EXPECT_EQ(Dialog().txtColor->Text(), "#FF0000");
}

TEST_F(CssMakerTest, SaveAsAddsTheSuffixAndACancelSavesNothing)
{
    EXPECT_EQ(Dialog().SaveDialog1->GetFilter(), "Css files (*.css)|*.css|All files (*.*)|*.*");
    Add();
    QueueFile("");
    Dialog().SpeedButton1Click(nullptr);
    QueueFile(Folder() + "site");
    Dialog().SpeedButton1Click(nullptr);
    EXPECT_EQ(Contents(Folder() + "site.css"), "a\r\n{\r\n\r\n}\r\n\r\n");  // every line, the empty last one too
    EXPECT_EQ(Contents(Folder() + "site"), "<missing>");
}

TEST(AboutBoxTest, ThePictureIsOurJpegDecoded)
{
    TfrmAbout about(nullptr);
    EXPECT_EQ(about.Image1->Picture()->Width(), 213);
    EXPECT_EQ(about.Image1->Picture()->Height(), 100);
    EXPECT_EQ(about.Caption(), "Quorvel");
    EXPECT_EQ(about.Version->Caption(), "Version 0.9.6");
    EXPECT_EQ(about.Label3->Caption(), std::string("Email: ") + AboutLinks::MakerMail);
}

}  // namespace
