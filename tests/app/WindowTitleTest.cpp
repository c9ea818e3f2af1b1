// The titles the X server shows for the program's windows are exactly the program's own:
// the main window's for an untitled and an opened file, the find dialog's and the open
// dialog's, with the program's name never added a second time.
#include "RealWindowFixture.h"

#include "app/FormSearch.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class WindowTitles : public TRealWindowFixture {
protected:
    void SetUp() override
    {
        TRealWindowFixture::SetUp();
        Application->SetTitle("Quorvel");  // as the program's start does
    }

    // The name the X server holds for a top-level widget's window.
    static std::string XName(const QWidget* Window)
    {
        Application->ProcessMessages();
        return XDoTool("getwindowname " + std::to_string(Window->winId()));
    }

    static const QWidget* TopLevel(const TWinControl* Form) { return Form->Window()->Frame(); }
};

TEST_F(WindowTitles, AreTheProgramsOwnAndNameItOnce)
{
    Start();
    EXPECT_EQ(XName(TopLevel(&Form())), "Quorvel");
    const std::string file = Write("doc.php", "<?php\n");
    QueueFile(file);
    Form().mnuFileOpenClick(nullptr);
    EXPECT_EQ(XName(TopLevel(&Form())), "Quorvel - \"doc.php\"");

    Form().mnuEditFindClick(nullptr);
    EXPECT_EQ(XName(TopLevel(frmSearch)), frmSearch->Caption());  // as the language file names it

    // The real open dialog, read once it is up and then cancelled.
    const TModalHook scripted = SetModalHook(nullptr);
    std::string openTitle = "<not shown>";
    QTimer watch;  // looks until the dialog is up, however late that is
    QObject::connect(&watch, &QTimer::timeout, [&openTitle, &watch] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible())
            return;
        watch.stop();
        openTitle = XName(dialog);
        dialog->close();
    });
    watch.start(50);
    EXPECT_FALSE(Form().OpenDialog1->Execute());
    SetModalHook(scripted);
    EXPECT_EQ(openTitle, "Open");
}

TEST(WindowTitle, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("WindowTitles.*", 120);
}

}  // namespace
