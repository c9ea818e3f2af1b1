// Where the dialogs open and how the windows are laid out, in real windows on a virtual X
// server: the find, go-to and CSS rule dialogs open centred over the main window, wherever
// it stands; the side pane, dragged wider by the mouse, stops at its maximum width; the
// about box shows every text whole and closes with Escape; the find dialog ends just under
// its buttons.
#include "RealWindowFixture.h"

#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <cstdlib>
#include <string>

namespace {

class WindowLookOnX : public TRealWindowFixture {
protected:
    WindowLookOnX() : TRealWindowFixture(true) {}

    void SetUp() override
    {
        TRealWindowFixture::SetUp();
        if (IsSkipped())
            return;
        Start();
        Form().SetWindowState(wsNormal);
        Application->ProcessMessages();
    }

    static TPoint Centre(const TForm& Window)
    {
        return {Window.Left() + Window.Width() / 2, Window.Top() + Window.Height() / 2};
    }

    // The dialog's centre lies on the main window's, and the window system shows it there
    // (its client area starts inside its frame, not elsewhere on the screen).
    void ExpectCentredOverMain(const TForm& Dialog)
    {
        const TPoint main = Centre(Form());
        const TPoint dialog = Centre(Dialog);
        EXPECT_LE(std::abs(dialog.X - main.X), 1) << Dialog.Name() << " at x " << Dialog.Left();
        EXPECT_LE(std::abs(dialog.Y - main.Y), 1) << Dialog.Name() << " at y " << Dialog.Top();
        const TPoint client = Dialog.ClientToScreen({0, 0});
        EXPECT_LE(std::abs(client.X - Dialog.Left()), 4) << Dialog.Name();
        EXPECT_LE(std::abs(client.Y - Dialog.Top()), 4) << Dialog.Name();
    }
};

TEST_F(WindowLookOnX, DialogsOpenCentredOverTheMainWindow)
{
    Form().SetBounds(300, 180, 760, 520);
    Application->ProcessMessages();

    Form().mnuEditFindClick(nullptr);
    Application->ProcessMessages();
    ASSERT_TRUE(frmSearch->Visible());
    ExpectCentredOverMain(*frmSearch);
    frmSearch->bCancelClick(frmSearch->bCancel);

    TForm* shown = nullptr;
    SetModalHook([&](const TModalRequest& Request) {
        shown = Request.Form;
        if (shown != nullptr)
            ExpectCentredOverMain(*shown);
        return mrCancel;
    });
    Form().mnuEditGoToClick(nullptr);
    EXPECT_EQ(shown, frmGoTo);

    frmCssMaker = new TfrmCssMaker(nullptr);
    shown = nullptr;
    Form().CSSMaker1Click(nullptr);
    EXPECT_EQ(shown, frmCssMaker);
    delete frmCssMaker;
    frmCssMaker = nullptr;
}

TEST_F(WindowLookOnX, TheSidePaneStopsAtItsMaximumWidthWhenDraggedWider)
{
    Form().SetBounds(0, 0, 1200, 700);
    Application->ProcessMessages();
    ASSERT_LT(Form().PageControl1->Width(), 400);
    const TPoint bar = Form().Splitter1->ClientToScreen({1, Form().Splitter1->Height() / 2});
    const std::string y = std::to_string(bar.Y);
    XDoTool("mousemove " + std::to_string(bar.X) + " " + y + " mousedown 1");
    XDoTool("mousemove " + std::to_string(bar.X + 150) + " " + y);
    EXPECT_TRUE(WaitFor([&] { return Form().PageControl1->Width() == 185 + 150; })) << "the drag reaches the pane";
    XDoTool("mousemove " + std::to_string(bar.X + 700) + " " + y);
    XDoTool("mouseup 1");
    EXPECT_TRUE(WaitFor([&] { return Form().PageControl1->Width() >= 400; })) << "the drag goes on";
    Application->ProcessMessages();
    EXPECT_EQ(Form().PageControl1->Width(), 400);
    EXPECT_EQ(Form().Splitter1->Left(), Form().PageControl1->Left() + 400);
}

TEST_F(WindowLookOnX, TheAboutBoxShowsEveryTextWhole)
{
    TfrmAbout about(nullptr);
    about.Show();
    Application->ProcessMessages();
    for (const TLabel* text : {about.ProductName, about.Version, about.Notice, about.Label1, about.Label2,
                               about.Label3}) {
        // The width its text needs in its font: what a label sized to its text takes.
        TLabel measure(nullptr);
        measure.Font()->Assign(text->Font());
        measure.SetCaption(text->Caption());
        ASSERT_GT(measure.Width(), 0);
        EXPECT_GE(text->Width(), measure.Width()) << text->Caption();
        EXPECT_GE(text->Height(), measure.Height()) << text->Caption();
        EXPECT_LE(text->Left() + text->Width(), about.Panel1->ClientWidth() - 8) << text->Caption();
    }
    EXPECT_LE(about.Panel1->Left() + about.Panel1->Width(), about.ClientWidth());
    EXPECT_LE(std::abs(about.OKButton->Left() + about.OKButton->Width() / 2 - about.ClientWidth() / 2), 1);

    // Escape closes the box, as it closes every other one.
    about.OKButton->SetFocus();
    XDoTool("key Escape");
    EXPECT_TRUE(WaitFor([&] { return about.ModalResult() == mrOk; }));
    about.Hide();
}

TEST_F(WindowLookOnX, TheFindDialogEndsJustUnderItsButtons)
{
    Form().mnuEditFindClick(nullptr);
    Application->ProcessMessages();
    const int buttonsEnd = frmSearch->bFind->Top() + frmSearch->bFind->Height();
    EXPECT_GE(frmSearch->ClientHeight() - buttonsEnd, 6);
    EXPECT_LE(frmSearch->ClientHeight() - buttonsEnd, 12);
    const int pagesEnd = frmSearch->PageControl1->Top() + frmSearch->PageControl1->Height();
    EXPECT_LT(pagesEnd, frmSearch->bFind->Top());
    frmSearch->bCancelClick(frmSearch->bCancel);
}

TEST(WindowLook, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("WindowLookOnX.*", 120);
}

}  // namespace
