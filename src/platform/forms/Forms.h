// The application shell: TForm (a top-level window with a menu bar, modal or
// modeless), TApplication (the message loop and the top-level exception handler) and
// TScreen (what the screen offers: fonts, cursor, focus, size).
//
// No exception ever leaves a handler into the window system's event loop: every entry
// point from it runs through CallGuarded (platform/window/Guarded.h), and the
// application object installs HandleException as its handler, which shows the message
// in a message box with a stop icon titled with the application's title (EAbort is
// silent), or hands it to OnException.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/window/Controls.h"
#include "platform/window/Guarded.h"

#include <memory>
#include <string>

class TMainMenu;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = 8;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = TEvent<void(TObject* Sender, const Exception& E)>;

// ---- TForm -------------------------------------------------------------------------------

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    // Runs OnCreate once. Application->CreateForm calls it after construction; a form
    // made otherwise gets it at its first showing.
    void AfterConstruction();

    const std::string& Caption() const { return caption_; }  // UTF-8
    void SetCaption(const std::string& Value);

    // Showing (SetVisible(true), Show) creates the window, places it at its first
    // showing, brings it to the front and runs OnShow.
    void SetVisible(bool Value) override;
    // Shows the form modally and returns its ModalResult once it is set (a button, or
    // Close, which gives mrCancel). With a modal hook, the hook's answer is the result.
    TModalResult ShowModal();
    // Asks OnCloseQuery; then OnClose decides: hide (default), free later, minimize or
    // nothing. Closing the main form ends the application.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the current event is handled.
    void Release();

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult Value) { modalResult_ = Value; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition Value) { position_ = Value; }
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState Value);
    // The control that has, or gets when the form is activated, the focus.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* Control);
    // Keys go to the form's OnKeyDown/OnKeyPress/OnKeyUp before the focused control.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool Value) { keyPreview_ = Value; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* Value);
    bool Modal() const { return modal_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // What the form does for the controls on it (see TWinControl).
    bool MenuShortCut(TShortCut ShortCut) override;
    bool PreviewKey(TWinControl* Control, UINT Msg, TWMKey& Message) override;
    void NoteActiveControl(TWinControl* Control) override;
    void ActivateForControl(TWinControl* Control) override;
    bool OfferDialogKey(Word Key) override;
    // The close button of the window closes the form; the window system's changes of
    // state become the form's WindowState.
    void WindowCloseRequested() override;
    void WindowStateChanged(TWindowState State) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMClose(TWMClose& Message) override;
    virtual void DoClose(TCloseAction& Action);

private:
    void ApplyWindowFlags();
    void ApplyWindowState();
    void PlaceOnFirstShow();
    void MenuChanged(TObject* Sender);
    // Makes the menu bar held back since the form was made (see SetVisible).
    void ReleaseMenu();
    bool CloseModal();
    void EndModal();

    std::string caption_;
    TModalResult modalResult_ = mrNone;
    TFormStyle formStyle_ = fsNormal;
    TBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    HWND activeControl_ = nullptr;  // by handle: a control that went finds nothing
    bool keyPreview_ = false;
    TMainMenu* menu_ = nullptr;
    bool created_ = false;
    bool shown_ = false;
    bool menuHeld_ = true;  // no menu bar until the first showing's OnShow has run
    bool modal_ = false;
    bool closing_ = false;
};

// The form that holds Control (Control itself when it is one), or nullptr.
TForm* GetParentForm(const TControl* Control);

// ---- TApplication -----------------------------------------------------------------------

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const std::string& Title() const { return title_; }  // UTF-8
    void SetTitle(const std::string& Value);
    // The language of the texts that the window system's own parts show (the buttons of
    // message boxes; the open, save, print, colour and font dialogs), by its English name
    // ("Russian"); their own English for a name without translations.
    void SetLanguage(const std::string& EnglishName);

    // Makes sure the window system is ready: adopts the program's Qt application
    // object, or creates one.
    void Initialize();
    // Creates a form owned by the application and runs its OnCreate; the first form
    // created becomes the main form.
    template <class T>
    void CreateForm(T*& Reference)
    {
        Initialize();
        Reference = new T(this);
        FormCreated(Reference);
    }
    // Shows the main form and runs the message loop until Terminate or the main form
    // closes; then frees the forms the application owns and, when Initialize made the
    // Qt application object, that object too: the program ends after Run.
    void Run();
    // Handles the events waiting now and returns.
    void ProcessMessages();
    // The same, leaving key and mouse input waiting: for code that runs inside the
    // handling of a key, which must not handle the next key before it returns.
    void ProcessMessagesExceptInput();
    // Whether one of the program's windows is the active window of the desktop.
    bool Active() const;
    // Frees the forms the application owns (at the end of Run and before the Qt
    // application object goes).
    void FreeForms();
    void Terminate();
    bool Terminated() const { return terminated_; }
    TForm* MainForm() const { return mainForm_; }

    // Call inside a catch block: EAbort is ignored; otherwise OnException gets the
    // exception when assigned, else ShowException shows it. Never throws.
    void HandleException(TObject* Sender);
    // A message box with a stop icon, titled with Title, with the exception's message.
    void ShowException(const Exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

    TExceptionEvent OnException;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FormCreated(TForm* Form);

    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    struct QtApp;
    std::unique_ptr<QtApp> qtApp_;
};

extern TApplication* Application;

// ---- TScreen ---------------------------------------------------------------------------------

class TScreen : public TComponent {
public:
    TScreen();
    ~TScreen() override;

    TWinControl* ActiveControl() const;
    TForm* ActiveForm() const;
    // A cursor other than crDefault overrides every control's cursor.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    // The installed font faces, sorted.
    TStrings* Fonts();
    int Width() const;
    int Height() const;
    // The screen coordinates of the monitor that shows P (the primary one when none does).
    TRect MonitorRect(const TPoint& P) const;
    int PixelsPerInch() const;

private:
    TCursor cursor_ = crDefault;
    std::unique_ptr<TStringList> fonts_;
};

extern TScreen* Screen;
