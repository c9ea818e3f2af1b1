// The application shell: scripted message boxes and modal forms, and the top-level
// exception handler that no exception gets past.
#include "window/RecordingControl.h"

#include "platform/forms/Dialogs.h"
#include "platform/runtime/CodePages.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Installs a hook that records every request and answers with Answer; restores the
// previous hook afterwards.
struct TScript {
    std::vector<TModalRequest> Requests;
    int Answer = IDOK;
    TModalHook Previous;

    TScript()
    {
        Previous = SetModalHook([this](const TModalRequest& r) {
            Requests.push_back(r);
            return Answer;
        });
    }
    ~TScript() { SetModalHook(Previous); }
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;
};

TEST(MessageBoxTest, GoesThroughTheHookWithItsTextAndFlags)
{
    TScript script;
    script.Answer = IDNO;
    EXPECT_EQ(MessageBox("Save changes?", "Quorvel", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(script.Requests.size(), 1u);
    EXPECT_EQ(script.Requests[0].Kind, TModalKind::MessageBox);
    EXPECT_EQ(script.Requests[0].Text, "Save changes?");
    EXPECT_EQ(script.Requests[0].Caption, "Quorvel");
    EXPECT_EQ(script.Requests[0].Flags, MB_YESNOCANCEL | MB_ICONQUESTION);

    // Text that is not UTF-8 is read in the ANSI code page.
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1251);
    MessageBox("\xC0\xE1", "x", MB_OK);
    SetAnsiCodePage(saved);
    EXPECT_EQ(script.Requests.back().Text, "\xD0\x90\xD0\xB1");
}

struct TThrower {
    std::string Kind;
    void KeyDown(TObject*, Word&, TShiftState)
    {
        if (Kind == "abort")
            Abort();
        if (Kind == "std")
            throw std::runtime_error("out of range");
        throw EWriteError("Cannot write file x.txt");
    }
};

class TopLevelHandlerTest : public ::testing::Test {
protected:
    TopLevelHandlerTest()
    {
        savedTitle = Application->Title();
        Application->SetTitle("Quorvel");
        ui.Control->OnKeyDown = TKeyEvent(&thrower, &TThrower::KeyDown);
    }
    ~TopLevelHandlerTest() override { Application->SetTitle(savedTitle); }

    std::string savedTitle;
    TScript script;
    TThrower thrower;
    TRecordingForm ui;
};

TEST_F(TopLevelHandlerTest, ExceptionFromAHandlerIsShownWithAStopIconAndGoesNoFurther)
{
    SendKey(ui.Client(), Qt::Key_X, Qt::NoModifier, "x");
    ASSERT_EQ(script.Requests.size(), 1u);
    EXPECT_EQ(script.Requests[0].Text, "Cannot write file x.txt");
    EXPECT_EQ(script.Requests[0].Caption, "Quorvel");
    EXPECT_EQ(script.Requests[0].Flags & MB_ICONMASK, MB_ICONSTOP);
    // The failed key-down does not swallow the character that follows it.
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"down 88", "char 120", "up 88"}));

    thrower.Kind = "std";
    SendKey(ui.Client(), Qt::Key_X, Qt::NoModifier, "x");
    ASSERT_EQ(script.Requests.size(), 2u);
    EXPECT_EQ(script.Requests[1].Text, "out of range");
}

TEST_F(TopLevelHandlerTest, AMessageBoxCancelsTheMouseCapture)
{
    ui.Control->SetMouseCapture(true);
    ui.Control->Log.clear();
    MessageBox("Not found", "Quorvel", MB_OK);
    EXPECT_FALSE(ui.Control->MouseCapture());
    EXPECT_EQ(ui.Control->Log, (std::vector<std::string>{"capturechanged"}));
}

TEST_F(TopLevelHandlerTest, AbortIsSilent)
{
    thrower.Kind = "abort";
    SendKey(ui.Client(), Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_TRUE(script.Requests.empty());
}

struct TExceptionSink {
    std::vector<std::string> Messages;
    void Handle(TObject*, const Exception& e) { Messages.push_back(e.Message()); }
};

TEST_F(TopLevelHandlerTest, OnExceptionReplacesTheMessageBox)
{
    TExceptionSink sink;
    Application->OnException = TExceptionEvent(&sink, &TExceptionSink::Handle);
    SendKey(ui.Client(), Qt::Key_X, Qt::NoModifier, "x");
    Application->OnException = nullptr;
    EXPECT_EQ(sink.Messages, (std::vector<std::string>{"Cannot write file x.txt"}));
    EXPECT_TRUE(script.Requests.empty());

    // Outside a catch there is nothing to handle, and nothing happens.
    Application->HandleException(nullptr);
    EXPECT_TRUE(script.Requests.empty());
}

struct TFormEvents {
    std::vector<std::string> Seen;
    TCloseAction Action = caHide;
    bool CanClose = true;
    void Show(TObject*) { Seen.push_back("show"); }
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
};

TEST(ShowModalTest, ScriptedAnswerIsTheModalResult)
{
    TScript script;
    script.Answer = mrOk;
    TForm form(nullptr);
    form.SetCaption("Go To...");
    TFormEvents events;
    form.OnShow = TNotifyEvent(&events, &TFormEvents::Show);
    form.OnCloseQuery = TCloseQueryEvent(&events, &TFormEvents::CloseQuery);
    form.OnClose = TCloseEvent(&events, &TFormEvents::Close);

    EXPECT_EQ(form.ShowModal(), mrOk);
    ASSERT_EQ(script.Requests.size(), 1u);
    EXPECT_EQ(script.Requests[0].Kind, TModalKind::Form);
    EXPECT_EQ(script.Requests[0].Form, &form);
    EXPECT_EQ(script.Requests[0].Caption, "Go To...");
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"show", "closequery", "close"}));

    // Each showing runs OnShow again; no answer counts as Cancel.
    script.Answer = mrNone;
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(std::count(events.Seen.begin(), events.Seen.end(), "show"), 2);
}

TEST(ShowModalTest, RealLoopEndsWhenModalResultIsSetAndTheCloseIsAllowed)
{
    TForm form(nullptr);
    TFormEvents events;
    events.CanClose = false;
    form.OnCloseQuery = TCloseQueryEvent(&events, &TFormEvents::CloseQuery);
    int tries = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++tries == 2)
            events.CanClose = true;
        form.SetModalResult(mrYes);
    });
    timer.start(5);
    EXPECT_EQ(form.ShowModal(), mrYes);
    EXPECT_EQ(tries, 2);  // the first close was refused and the form stayed
    EXPECT_FALSE(form.Visible());
    EXPECT_THROW(
        {
            form.Show();
            form.ShowModal();
        },
        EInvalidOperation);
}

}  // namespace

namespace {

// In a process of its own: the message loop ends when the main form closes.
TEST(ApplicationRunDeathTest, ClosingTheMainFormEndsTheMessageLoop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TForm* mainForm = nullptr;
            Application->CreateForm(mainForm);
            QTimer::singleShot(20, mainForm->Window()->Frame(), [mainForm] { mainForm->Window()->Frame()->close(); });
            Application->Run();
            std::exit(Application->Terminated() && Application->MainForm() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace

// With a shown form the program is active; waiting work runs also when input is left out.
TEST(ProcessMessagesTest, LeavingInputOutStillRunsTheWaitingWork)
{
    TRecordingForm ui;
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Active());
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    Application->ProcessMessagesExceptInput();
    EXPECT_TRUE(ran);
}
