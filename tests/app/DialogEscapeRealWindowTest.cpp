// Escape closes the program's dialogs in a real window whatever the mouse and the focus
// did in them before: after a press on the selected text of the find dialog's memo and a
// move out of it (where a text drag would start and never end), and from every control of
// the CSS Maker, its rule editor among them. Input goes through the X server (xdotool).
#include "RealWindow.h"
#include "RealWindowFixture.h"

#include "app/FormCssMaker.h"
#include "app/FormSearch.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/ControlsQt.h"
#include "qvedit/editor/QvEdit.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <QWindow>

#include <string>
#include <thread>
#include <vector>

namespace {

class DialogEscape : public TRealWindowFixture {};

std::string At(const QPoint& P)
{
    return std::to_string(P.x()) + " " + std::to_string(P.y());
}

// A press on the selection a few pixels inside the memo's top edge, then one-pixel moves
// out of it as a hand makes them, the button let go and, a moment later, Escape.
TEST_F(DialogEscape, EscapeClosesTheFindDialogAfterAPressOnTheSelectionMovedOutOfTheMemo)
{
    Start();
    Form().mnuEditFindClick(nullptr);
    ASSERT_TRUE(WaitFor([] { return frmSearch->Visible(); }));
    TMemo* memo = frmSearch->txtSearch;
    ASSERT_TRUE(QvTest::FocusWindowOf(*frmSearch));
    memo->SetFocus();
    ASSERT_TRUE(WaitFor([memo] { return memo->Focused(); }));
    XDoTool("type abcdefghij");
    XDoTool("key ctrl+a");
    auto* edit = qobject_cast<QPlainTextEdit*>(memo->Window()->Hosted());
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(WaitFor([edit] { return edit->textCursor().selectedText() == "abcdefghij"; }));

    QTextCursor fourth = edit->textCursor();
    fourth.setPosition(3);
    const QRect cell = edit->cursorRect(fourth);
    const QPoint press = edit->viewport()->mapToGlobal(QPoint(cell.left() + 3, cell.top() + 3));
    ASSERT_LE(press.y() - edit->mapToGlobal(QPoint(0, 0)).y(), 10) << "the press is not near the edge";
    std::string input = "mousemove " + At(press) + " mousedown 1";
    for (int up = 1; up <= 16; ++up)
        input += " mousemove " + At(press - QPoint(0, up)) + " sleep 0.02";
    // Sent while the program runs its event loop, as a user's hand would. Should a drag
    // hold the input, a click where it began ends it, so that the test ends.
    std::thread hand([&] { XDoTool(input + " mouseup 1 sleep 1 key Escape"); });
    bool stuck = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        stuck = frmSearch->Visible();
        if (stuck)
            XDoTool("mousemove " + At(press) + " click 1");
    });
    rescue.start(60000);
    EXPECT_TRUE(WaitFor([&] { return !frmSearch->Visible() || stuck; }, 90) && !stuck)
        << "Escape left the find dialog open after the press on the selection";
    hand.join();
    EXPECT_EQ(memo->Text(), "abcdefghij");
    frmSearch->SetVisible(false);
}

// The dialog shown modally, as the program shows it: Escape gives the dialog's Cancel from
// each control that can take the focus, and from the last, the rule editor, closes it.
TEST_F(DialogEscape, EscapeCancelsTheCssMakerFromEachOfItsControls)
{
    Start();
    frmCssMaker = new TfrmCssMaker(nullptr);
    frmCssMaker->FormCreate(frmCssMaker);
    TfrmCssMaker& dialog = *frmCssMaker;
    std::vector<TWinControl*> focusable;
    for (int i = 0; i < dialog.ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TWinControl*>(dialog.Components(i));
            control != nullptr && control->TabStop() && control != dialog.txtSource)
            focusable.push_back(control);
    focusable.push_back(dialog.txtSource);
    ASSERT_GE(focusable.size(), 20u);

    const TModalHook scripted = SetModalHook({});
    QTimer::singleShot(0, [&] {
        // Runs inside the modal showing, which ends only after this returns.
        const QWindow* window = dialog.Window()->Frame()->window()->windowHandle();
        if (WaitFor([window] { return window != nullptr && window->isExposed(); }) && QvTest::FocusWindowOf(dialog))
            for (TWinControl* control : focusable) {
                dialog.SetModalResult(mrNone);
                control->SetFocus();
                EXPECT_TRUE(WaitFor([control] { return control->Focused(); })) << control->Name();
                XDoTool("key Escape");
                WaitFor([&] { return dialog.ModalResult() != mrNone; });
                EXPECT_EQ(dialog.ModalResult(), mrCancel) << "Escape in " << control->Name();
            }
        if (dialog.ModalResult() == mrNone)  // so that the showing ends
            dialog.SetModalResult(mrAbort);
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    SetModalHook(scripted);
    delete frmCssMaker;
}

TEST(DialogEscapeSuite, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("DialogEscape.*");
}

}  // namespace
