// Every item of the main menu and the pop-up menu and every button of the tool bar and
// the side pane reaches a handler, and each runs without harm when every dialog and
// question it raises is cancelled.
#include "MainFormFixture.h"

#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/window/Menus.h"
#include "platform/window/Shell.h"
#include "qvedit/editor/QvEdit.h"

#include <functional>

namespace {

class AllCommandsTest : public TMainFormFixture {
protected:
    AllCommandsTest()
    {
        frmAbout = new TfrmAbout(nullptr);
        frmCssMaker = new TfrmCssMaker(nullptr);
        Start();
        SetModalHook([](const TModalRequest&) { return IDCANCEL; });
        previousShell_ = SetShellHandler([](const TShellAction&) { return true; });
    }
    ~AllCommandsTest() override
    {
        SetShellHandler(previousShell_);
        delete frmCssMaker;
        delete frmAbout;
        frmCssMaker = nullptr;
        frmAbout = nullptr;
    }

    // Runs a command as the user would; a cancelled prompt ends it by the silent abort.
    static void Run(const std::function<void()>& Command)
    {
        try {
            Command();
        } catch (const EAbort&) {
        }
    }

private:
    TShellHandler previousShell_;
};

// The menu items without a submenu; separators ("-", and "|" in the menu bar) left out.
void CollectCommands(TMenuItem* Item, std::vector<TMenuItem*>& Commands)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* child = Item->Items(i);
        if (child->Count() > 0)
            CollectCommands(child, Commands);
        else if (child->Caption() != "-" && child->Caption() != "|")
            Commands.push_back(child);
    }
}

TEST_F(AllCommandsTest, EveryMenuItemRunsItsHandler)
{
    TfrmEdit& form = Form();
    std::vector<TMenuItem*> commands;
    CollectCommands(form.MainMenu1->Items(), commands);
    CollectCommands(form.PopupMenu1->Items(), commands);
    ASSERT_GT(commands.size(), 100u);
    form.Editor->QvSetText("<p>\"text\"</p>");
    for (TMenuItem* item : commands) {
        EXPECT_TRUE(item->OnClick) << item->Name();
        if (item == form.mnuFileExit || !item->OnClick)
            continue;  // Exit ends the program, which its own tests cover
        Run([&] { item->OnClick(item); });
    }
    EXPECT_TRUE(form.Visible());
}

TEST_F(AllCommandsTest, EveryButtonRunsItsHandler)
{
    TfrmEdit& form = Form();
    PickEverySidePage();
    std::vector<TSpeedButton*> buttons = form.SidePaneButtons;
    for (TSpeedButton* b : {form.bNew, form.bOpen, form.bSave, form.bClose, form.bPrint, form.bPrintSetup,
                            form.bUndo, form.bRedo, form.bCut, form.bCopy, form.bPaste, form.bFind, form.bPreview})
        buttons.push_back(b);
    form.Editor->QvSetText("<p>\"text\"</p>");
    for (TSpeedButton* button : buttons) {
        ASSERT_TRUE(button->OnClick) << button->Name();
        Run([&] { button->OnClick(button); });
    }
    EXPECT_GT(form.Editor->QvGetText().size(), 100u);  // the fragments went in
}

}  // namespace
