// TForm: a top-level window with a caption, a menu bar, modal and modeless showing,
// and the close protocol (close query, close action).
#include "platform/forms/Forms.h"

#include "platform/forms/Dialogs.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Menus.h"

#include <QApplication>
#include <QEventLoop>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <functional>
#include <memory>

namespace {

// Calls Then once, when the window it watches is first exposed.
class TFirstExposeWatch : public QObject {
public:
    explicit TFirstExposeWatch(std::function<void()> Then) : then_(std::move(Then)) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Expose && then_) {
            const std::function<void()> then = std::move(then_);
            then_ = nullptr;
            then();
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    std::function<void()> then_;
};

}  // namespace

TForm* GetParentForm(const TControl* Control)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<const TForm*>(c))
            return const_cast<TForm*>(form);
    return nullptr;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    TControl::SetVisible(false);
    SetBounds(0, 0, 640, 480);
}

TForm::~TForm()
{
    // The menu may outlive the form; it must not call back into it. (Taken before the
    // owned components go: a menu the form owns dies without telling the form.)
    if (menu_ != nullptr)
        menu_->OnChange = nullptr;
    BeforeDestruction();
}

void TForm::AfterConstruction()
{
    if (created_)
        return;
    created_ = true;
    if (OnCreate)
        OnCreate(this);
}

void TForm::SetCaption(const std::string& Value)
{
    caption_ = Value;
    Window()->Frame()->setWindowTitle(QString::fromUtf8(Value));
}

void TForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style &= ~WS_CHILD;  // a top-level window, framed by the desktop
    Params.Caption = caption_;
}

void TForm::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyWindowFlags();
}

void TForm::ApplyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    switch (borderStyle_) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsDialog: flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool; break;
    default: break;
    }
    if (formStyle_ == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    QWidget* frame = Window()->Frame();
    if (frame->windowFlags() == flags)
        return;
    const bool shown = frame->isVisible();
    frame->setWindowFlags(flags);  // hides the window
    if (shown)
        frame->show();
}

void TForm::SetFormStyle(TFormStyle Value)
{
    formStyle_ = Value;
    if (HandleAllocated())
        ApplyWindowFlags();
}

void TForm::SetBorderStyle(TBorderStyle Value)
{
    borderStyle_ = Value;
    if (HandleAllocated())
        ApplyWindowFlags();
}

void TForm::SetWindowState(TWindowState Value)
{
    windowState_ = Value;
    if (Visible())
        ApplyWindowState();
}

void TForm::ApplyWindowState()
{
    QWidget* frame = Window()->Frame();
    const Qt::WindowStates wanted = windowState_ == wsMinimized   ? Qt::WindowMinimized
                                    : windowState_ == wsMaximized ? Qt::WindowMaximized
                                                                  : Qt::WindowNoState;
    if (frame->windowState() != wanted)
        frame->setWindowState(wanted);
}

void TForm::PlaceOnFirstShow()
{
    QRect area;
    const TForm* centre = nullptr;
    if (position_ == poMainFormCenter)
        centre = Application->MainForm();
    else if (position_ == poOwnerFormCenter)
        centre = dynamic_cast<TForm*>(Owner());
    if (centre == this || (centre != nullptr && !centre->Visible()))
        centre = nullptr;
    if (centre != nullptr)
        area = QRect(centre->Left(), centre->Top(), centre->Width(), centre->Height());
    else if (position_ != poDesigned && position_ != poDefault && QGuiApplication::primaryScreen() != nullptr)
        area = QGuiApplication::primaryScreen()->availableGeometry();
    if (area.isValid())
        SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2, Width(), Height());
}

void TForm::SetVisible(bool Value)
{
    if (!Value || Visible()) {
        TControl::SetVisible(Value);
        return;
    }
    AfterConstruction();
    HandleNeeded();
    if (!shown_) {
        shown_ = true;
        PlaceOnFirstShow();
    }
    TControl::SetVisible(true);
    ApplyWindowState();
    QWidget* frame = Window()->Frame();
    frame->raise();
    frame->activateWindow();
    // The menu bar is held until the first showing's OnShow has run, so that the changes
    // OnShow makes to the menu (its captions, the items it adds) are made into one bar; the
    // window is not painted before. Should OnShow run a message loop (a message box) in
    // which the window is painted, the bar is made when the window is first exposed.
    std::unique_ptr<TFirstExposeWatch> exposeWatch;
    if (menuHeld_ && frame->windowHandle() != nullptr) {
        exposeWatch = std::make_unique<TFirstExposeWatch>([this] { ReleaseMenu(); });
        frame->windowHandle()->installEventFilter(exposeWatch.get());
    }
    try {
        if (OnShow)
            OnShow(this);
    } catch (...) {
        ReleaseMenu();  // a failed OnShow still leaves the form its bar
        throw;
    }
    exposeWatch.reset();
    ReleaseMenu();
    if (TWinControl* active = ActiveControl(); active != nullptr && active->CanFocus() && !active->Focused())
        active->SetFocus();
}

// ---- Active control and menu ----------------------------------------------------------------

TWinControl* TForm::ActiveControl() const
{
    return FindControl(activeControl_);
}

void TForm::SetActiveControl(TWinControl* Control)
{
    activeControl_ = Control != nullptr ? Control->Handle() : nullptr;
    if (Control != nullptr && Visible() && Control->CanFocus() && !Control->Focused())
        Control->SetFocus();
}

// ---- What the form does for the controls on it -------------------------------------------

bool TForm::MenuShortCut(TShortCut ShortCut)
{
    return menu_ != nullptr && menu_->IsShortCut(ShortCut);
}

bool TForm::PreviewKey(TWinControl* Control, UINT Msg, TWMKey& Message)
{
    return Control != this && keyPreview_ && HandleKey(Msg, Message);
}

void TForm::NoteActiveControl(TWinControl* Control)
{
    if (Control != this)
        activeControl_ = Control != nullptr ? Control->Handle() : nullptr;
}

bool TForm::OfferDialogKey(Word Key)
{
    return ChildTakesDialogKey(Key);
}

void TForm::ActivateForControl(TWinControl* Control)
{
    if (Control == this)
        return;
    NoteActiveControl(Control);
    QWidget* top = Window()->Frame();
    if (top->isVisible() && !top->isActiveWindow())
        top->activateWindow();
}

void TForm::SetMenu(TMainMenu* Value)
{
    if (menu_ == Value)
        return;
    if (menu_ != nullptr) {
        menu_->OnChange = nullptr;
        menu_->RemoveFreeNotification(this);
    }
    menu_ = Value;
    if (Value != nullptr) {
        Value->FreeNotification(this);
        Value->OnChange = TNotifyEvent(this, &TForm::MenuChanged);
    }
    MenuChanged(nullptr);
}

void TForm::MenuChanged(TObject*)
{
    if (HasState(csDestroying))
        return;
    // Until the form is first shown no one sees its menu bar: the menu may change many times
    // while the form is made and first shown, and the bar is made once, at the first showing.
    if (menuHeld_)
        return;
    Window()->SetMenuBar(menu_ != nullptr ? BuildMenuBar(menu_) : nullptr);
}

void TForm::ReleaseMenu()
{
    if (!menuHeld_)
        return;
    menuHeld_ = false;
    if (menu_ != nullptr)
        MenuChanged(nullptr);
}

void TForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == menu_) {
        menu_ = nullptr;
        MenuChanged(nullptr);
    }
}

// ---- Closing ----------------------------------------------------------------------------------

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TForm::Close()
{
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: Hide(); break;
    }
}

void TForm::WindowCloseRequested()
{
    Close();
}

void TForm::WMClose(TWMClose& Message)
{
    TWinControl::WMClose(Message);
    Close();
}

void TForm::WindowStateChanged(TWindowState State)
{
    if (State != windowState_)
        SetWindowState(State);
}

void TForm::Release()
{
    QMetaObject::invokeMethod(Window()->Frame(), [this] { delete this; }, Qt::QueuedConnection);
}

// Ends a modal showing once ModalResult is set: false (and no result) when the close
// query or OnClose keeps the form open.
bool TForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) {
        modalResult_ = mrNone;
        return false;
    }
    if (action == caFree)
        Release();
    return true;
}

void TForm::EndModal()
{
    modal_ = false;
    // Hidden first: the window system forgets a modal window only while it is modal.
    Hide();
    Window()->Frame()->setWindowModality(Qt::NonModal);
}

TModalResult TForm::ShowModal()
{
    if (Visible() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (TControl* captured = GetCaptureControl())
        captured->Perform(WM_CANCELMODE, 0, 0);
    modalResult_ = mrNone;
    modal_ = true;
    Window()->Frame()->setWindowModality(Qt::ApplicationModal);
    try {
        Show();
        TModalRequest request;
        request.Kind = TModalKind::Form;
        request.Caption = caption_;
        request.Form = this;
        int answer = mrNone;
        if (AskModalHook(request, answer)) {
            // A scripted answer ends the showing whatever the close query says, so a
            // script can never hang in a loop it cannot see.
            modalResult_ = answer != mrNone ? answer : mrCancel;
            const TModalResult result = modalResult_;
            CloseModal();
            modalResult_ = result;
        } else {
            do {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
                if (Application->Terminated())
                    modalResult_ = mrCancel;
                else if (modalResult_ != mrNone)
                    CloseModal();
            } while (modalResult_ == mrNone);
        }
    } catch (...) {
        EndModal();
        throw;
    }
    EndModal();
    return modalResult_;
}
