// Where the dialogs open and how the windows are laid out, in real windows on a virtual X
// server: the find, go-to and CSS rule dialogs open centred over the main window, wherever
// it stands.
#include "MainFormFixture.h"
#include "XServer.h"

#include "app/FormCssMaker.h"
#include "platform/controls/StdCtrls.h"

#include <cstdlib>

namespace {

class WindowLookOnX : public TMainFormFixture {
protected:
    WindowLookOnX() : TMainFormFixture(true) {}

    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside WindowLook.OnAnXServer";
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

TEST(WindowLook, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("WindowLookOnX.*", 120);
}

}  // namespace
