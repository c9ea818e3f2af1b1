// Forms: the close protocol and its actions, key preview, and messages to forms.
#include "window/RecordingControl.h"

#include "platform/window/ControlsQt.h"
#include "platform/window/Menus.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

struct TEvents {
    std::vector<std::string> Seen;
    TCloseAction Action = caHide;
    bool CanClose = true;
    bool ZeroKey = false;
    void Create(TObject*) { Seen.push_back("create"); }
    void CloseQuery(TObject*, bool& can)
    {
        Seen.push_back("closequery");
        can = CanClose;
    }
    void Close(TObject*, TCloseAction& action)
    {
        Seen.push_back("close");
        action = Action;
    }
    void KeyDown(TObject*, Word& key, TShiftState)
    {
        Seen.push_back("form down " + std::to_string(key));
        if (ZeroKey)
            key = 0;
    }
    void KeyPress(TObject*, char& key) { Seen.push_back("form char " + std::to_string(static_cast<int>(key))); }
};

class FormTest : public ::testing::Test {
protected:
    FormTest()
    {
        ui.Form->OnCloseQuery = TCloseQueryEvent(&events, &TEvents::CloseQuery);
        ui.Form->OnClose = TCloseEvent(&events, &TEvents::Close);
    }

    TRecordingForm ui;
    TEvents events;
};

TEST_F(FormTest, CloseAsksFirstAndThenDoesWhatOnCloseSays)
{
    events.CanClose = false;
    ui.Form->Close();
    EXPECT_TRUE(ui.Form->Visible());
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"closequery"}));

    events.CanClose = true;
    events.Action = caNone;
    ui.Form->Close();
    EXPECT_TRUE(ui.Form->Visible());

    events.Action = caHide;
    ui.Form->Perform(WM_CLOSE, 0, 0);
    EXPECT_FALSE(ui.Form->Visible());
}

TEST_F(FormTest, CloseWithFreeFreesTheFormAfterTheEvent)
{
    auto* form = new TForm(nullptr);
    form->OnClose = TCloseEvent(&events, &TEvents::Close);
    events.Action = caFree;
    form->Show();
    QPointer<QWidget> window = form->Window()->Frame();
    form->Close();
    EXPECT_FALSE(window.isNull());  // still alive while its own handler runs
    QApplication::processEvents();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FormTest, OnCreateRunsOnceBeforeTheFirstShowing)
{
    auto* form = new TForm(nullptr);
    form->OnCreate = TNotifyEvent(&events, &TEvents::Create);
    form->Show();
    form->Hide();
    form->Show();
    form->AfterConstruction();
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"create"}));
    delete form;
}

// Gives the form a menu of one item, "File".
void GiveFileMenu(TForm& Form)
{
    auto* menu = new TMainMenu(&Form);
    auto* file = new TMenuItem(&Form);
    file->SetCaption("File");
    menu->Items()->Add(file);
    Form.SetMenu(menu);
}

// The titles a form's menu bar shows.
std::vector<std::string> BarTitles(const TForm& Form)
{
    std::vector<std::string> titles;
    if (const QMenuBar* bar = Form.Window()->MenuBar())
        for (const QAction* action : bar->actions())
            titles.push_back(action->text().toStdString());
    return titles;
}

// A form's menu changes many times while the form is made and while its first OnShow runs
// (items added, retitled); no one sees its bar until then, so the bar is made once, after
// that OnShow, from the menu as it is. Once shown, each change shows at once.
struct TShowHandler {
    TForm* Form = nullptr;
    TMenuItem* Item = nullptr;
    bool BarDuringOnShow = false;
    void Shown(TObject*)
    {
        Item->SetCaption("Datei");
        BarDuringOnShow = Form->Window()->MenuBar() != nullptr;
    }
};

TEST_F(FormTest, TheMenuBarIsMadeAfterTheFirstOnShowFromTheMenuAsItIsThen)
{
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    form.SetMenu(menu);
    auto* file = new TMenuItem(&form);
    file->SetCaption("File");
    menu->Items()->Add(file);
    auto* view = new TMenuItem(&form);
    view->SetCaption("View");
    menu->Items()->Add(view);
    view->SetCaption("Views");
    EXPECT_EQ(form.Window()->MenuBar(), nullptr);
    TShowHandler handler{&form, file};
    form.OnShow = TNotifyEvent(&handler, &TShowHandler::Shown);

    form.Show();
    EXPECT_FALSE(handler.BarDuringOnShow);
    const QMenuBar* first = form.Window()->MenuBar();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(BarTitles(form), (std::vector<std::string>{"Datei", "Views"}));
    form.Hide();
    form.Show();
    EXPECT_EQ(form.Window()->MenuBar(), first);  // shown again, the bar is kept

    view->SetCaption("Ansicht");
    EXPECT_NE(form.Window()->MenuBar(), first);
    EXPECT_EQ(BarTitles(form), (std::vector<std::string>{"Datei", "Ansicht"}));
    form.SetMenu(nullptr);
    EXPECT_EQ(form.Window()->MenuBar(), nullptr);
}

// A first OnShow that runs a message loop (a message box) lets the window be painted before
// it ends: the bar is there when the window is first exposed.
struct TLoopingShowHandler {
    TForm* Form = nullptr;
    bool Exposed = false;
    bool BarWhenExposed = false;
    void Shown(TObject*)
    {
        QWindow* window = Form->Window()->Frame()->windowHandle();
        for (int i = 0; i < 200 && !window->isExposed(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        Exposed = window->isExposed();
        BarWhenExposed = Form->Window()->MenuBar() != nullptr;
    }
};

TEST_F(FormTest, AWindowExposedDuringItsFirstOnShowHasItsMenuBar)
{
    TForm form(nullptr);
    GiveFileMenu(form);
    TLoopingShowHandler handler{&form};
    form.OnShow = TNotifyEvent(&handler, &TLoopingShowHandler::Shown);
    form.Show();
    ASSERT_TRUE(handler.Exposed);
    EXPECT_TRUE(handler.BarWhenExposed);
    EXPECT_EQ(BarTitles(form), (std::vector<std::string>{"File"}));
}

// A first OnShow that fails does not leave the form without its bar.
struct TFailingShowHandler {
    void Shown(TObject*) { throw Exception("cannot show"); }
};

TEST_F(FormTest, AFailedFirstOnShowStillLeavesTheMenuBar)
{
    TForm form(nullptr);
    GiveFileMenu(form);
    TFailingShowHandler handler;
    form.OnShow = TNotifyEvent(&handler, &TFailingShowHandler::Shown);
    EXPECT_THROW(form.Show(), Exception);
    EXPECT_EQ(BarTitles(form), (std::vector<std::string>{"File"}));
}

TEST_F(FormTest, KeyPreviewSeesKeysFirstAndCanTakeTheKeyDown)
{
    ui.Form->OnKeyDown = TKeyEvent(&events, &TEvents::KeyDown);
    ui.Form->OnKeyPress = TKeyPressEvent(&events, &TEvents::KeyPress);
    SendKey(ui.Client(), Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(events.Seen.empty());  // without preview the form sees nothing

    ui.Form->SetKeyPreview(true);
    SendKey(ui.Client(), Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"form down 65", "form char 97"}));
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"down 65", "char 97", "up 65", "down 65", "char 97", "up 65"}));

    ui.Control->Log.clear();
    events.ZeroKey = true;
    SendKey(ui.Client(), Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"char 97", "up 65"}));
}

TEST_F(FormTest, ActiveControlIsForgottenWhenItGoes)
{
    auto* extra = new TRecordingControl(ui.Form);
    extra->SetParent(ui.Form);
    ui.Form->SetActiveControl(extra);
    EXPECT_EQ(ui.Form->ActiveControl(), extra);
    EXPECT_TRUE(extra->Focused());
    EXPECT_EQ(Screen->ActiveControl(), extra);
    EXPECT_EQ(GetParentForm(extra), ui.Form);
    delete extra;
    // The focus went on to the other control, or nowhere; never to the dead one.
    TWinControl* active = ui.Form->ActiveControl();
    EXPECT_TRUE(active == nullptr || active == ui.Control);
}

TEST_F(FormTest, FocusChangesArriveAsMessages)
{
    auto* extra = new TRecordingControl(ui.Form);
    extra->SetParent(ui.Form);
    ui.Control->SetFocus();
    ui.Control->Log.clear();
    extra->SetFocus();
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"killfocus"}));
    EXPECT_EQ(std::count(extra->Log.begin(), extra->Log.end(), "setfocus"), 1);

    ui.Control->SetVisible(false);
    EXPECT_THROW(ui.Control->SetFocus(), EInvalidOperation);
}

// A point on no monitor gets the primary one, so a pop-up is never placed off all screens.
TEST(ScreenTest, MonitorRectOfAPoint)
{
    const TRect primary{0, 0, Screen->Width(), Screen->Height()};
    EXPECT_EQ(Screen->MonitorRect({10, 10}), primary);
    EXPECT_EQ(Screen->MonitorRect({-50000, 90000}), primary);
}

}  // namespace

TEST_F(FormTest, TheFrameCloseButtonAndWindowStatesReachTheForm)
{
    QWidget* frame = ui.Form->Window()->Frame();
    events.CanClose = false;
    frame->close();
    EXPECT_TRUE(ui.Form->Visible());
    events.CanClose = true;
    frame->close();
    EXPECT_FALSE(ui.Form->Visible());
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"closequery", "closequery", "close"}));

    ui.Form->Show();
    frame->setWindowState(Qt::WindowMaximized);
    EXPECT_EQ(ui.Form->WindowState(), wsMaximized);
    frame->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(ui.Form->WindowState(), wsNormal);
}

// A form placed on another form answers for its own controls; the outer form sees
// neither their keys nor their focus, and neither the inner form's own.
TEST_F(FormTest, TheNearestFormAnswersForItsControls)
{
    auto* inner = new TForm(ui.Form);
    inner->SetParent(ui.Form);
    inner->SetBounds(0, 0, 100, 100);
    auto* control = new TRecordingControl(inner);
    control->SetParent(inner);
    control->SetBounds(0, 0, 50, 50);
    inner->Show();
    ui.Form->OnKeyDown = TKeyEvent(&events, &TEvents::KeyDown);
    ui.Form->SetKeyPreview(true);
    TWinControl* outerActive = ui.Form->ActiveControl();

    control->SetFocus();
    EXPECT_EQ(inner->ActiveControl(), control);
    EXPECT_EQ(ui.Form->ActiveControl(), outerActive);
    control->Log.clear();
    SendKey(control->Window()->Client(), Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(events.Seen.empty());
    EXPECT_EQ(control->Log, (std::vector<std::string>{"down 65", "char 97", "up 65"}));

    inner->SetFocus();
    EXPECT_EQ(ui.Form->ActiveControl(), outerActive);
    EXPECT_EQ(inner->ActiveControl(), control);
}

// Without a form, closing a window control changes nothing.
TEST(PlainWindowTest, CloseRequestsAreIgnoredWithoutAForm)
{
    TRecordingControl control(nullptr);
    control.SetBounds(0, 0, 50, 50);
    control.Show();
    control.Perform(WM_CLOSE, 0, 0);
    control.Window()->Frame()->close();
    EXPECT_TRUE(control.Visible());
}
