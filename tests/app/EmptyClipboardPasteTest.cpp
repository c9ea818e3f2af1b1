// Pasting on a fresh X display, where nobody owns the clipboard yet: the paste keys and
// the middle click in the find dialog's fields, and in an edit box and a combo box's edit
// line, leave the text as it was and the program running; a clipboard with text still
// pastes. The keys and clicks go through the X server (xdotool), as a user's would.
#include "RealWindowFixture.h"

#include "app/FormSearch.h"
#include "platform/controls/StdCtrls.h"
#include "platform/window/Clipboard.h"
#include "platform/window/ControlsQt.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

#include <functional>

namespace {

class EmptyClipboardPaste : public TRealWindowFixture {
protected:
    // Gives the control the keyboard focus on the X server.
    static void Focus(TWinControl* Control)
    {
        QWidget* window = Control->Window()->Hosted()->window();
        XDoTool("windowfocus --sync " + std::to_string(window->winId()));
        Control->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return Control->Focused(); }));
    }

    // The widget a middle click pastes into: a memo's text area, else the control's own.
    static QWidget* ClickTarget(TWinControl* Control)
    {
        QWidget* hosted = Control->Window()->Hosted();
        if (auto* area = qobject_cast<QAbstractScrollArea*>(hosted))
            return area->viewport();
        return hosted;
    }

    // Ctrl+V, Shift+Insert and a middle click with nothing to paste, then a typed "x" to
    // know that X delivered them all: the text is then just that "x".
    static void PasteNothing(TWinControl* Control, const std::function<std::string()>& Text)
    {
        Focus(Control);
        XDoTool("key ctrl+v shift+Insert");
        const QWidget* target = ClickTarget(Control);
        const QPoint at = target->mapToGlobal(target->rect().center());
        XDoTool("mousemove --sync " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " click 2");
        XDoTool("key x");
        EXPECT_TRUE(WaitFor([&] { return Text() == "x"; })) << Text();
    }
};

TEST_F(EmptyClipboardPaste, PasteKeysAndMiddleClickKeepTheFieldsAndTheProgram)
{
    Start();
    Form().mnuEditFindClick(nullptr);
    ASSERT_TRUE(WaitFor([] { return frmSearch->Visible(); }));
    const QMimeData* owned = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(owned == nullptr || owned->formats().isEmpty()) << "the clipboard has an owner";

    for (TMemo* memo : {frmSearch->txtSearch, frmSearch->txtReplace}) {
        memo->SetText("");
        PasteNothing(memo, [memo] { return memo->Text(); });
    }

    // An edit box and an editable combo box on a window of their own.
    TForm* form = new TForm(&Form());
    TEdit* edit = new TEdit(form);
    edit->SetParent(form);
    TComboBox* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetTop(40);
    form->Show();
    Application->ProcessMessages();
    PasteNothing(edit, [edit] { return edit->Text(); });
    PasteNothing(combo, [combo] { return combo->Text(); });

    // Text on the clipboard still pastes.
    Clipboard()->SetAsText("found");
    TMemo* search = frmSearch->txtSearch;
    Focus(search);
    XDoTool("key ctrl+v");
    EXPECT_TRUE(WaitFor([search] { return search->Text() == "xfound"; })) << search->Text();
}

TEST(EmptyClipboard, PasteOnAFreshDisplay)
{
    QvTest::ExpectPassOnXServer("EmptyClipboardPaste.*", 120);
}

}  // namespace
