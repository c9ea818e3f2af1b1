// TApplication (the Qt application object, the message loop, the top-level exception
// handler) and TScreen.
#include "platform/forms/Forms.h"

#include "platform/forms/Dialogs.h"
#include "platform/graphics/FontResolve.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTranslator>

#include <dlfcn.h>

#include <cstdio>
#include <exception>
#include <future>
#include <system_error>

struct TApplication::QtApp {
    char Name[8] = "quorvel";
    char* Argv[2] = {Name, nullptr};
    int Argc = 1;
    std::unique_ptr<QApplication> Own;
    QPointer<QTranslator> Translator;  // a child of the Qt application object
};

namespace {

// Font configuration is read (tens of XML files and the font caches) at the first font the
// toolkit resolves, several milliseconds on the way to the first frame, while the toolkit's
// own start and the main form's making need no font. A worker reads it meanwhile. The library
// keeps one configuration and takes it atomically: the first reading to finish is the one
// kept, so a first font asked for before the worker is done costs no more than it did.
// The library is the one the toolkit already loaded; without it there is nothing to warm.
// The reading is waited for at exit.
void StartReadingFontConfig()
{
    static std::future<void> reading;
    void* library = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr)
        return;
    using TInit = int (*)();
    auto init = reinterpret_cast<TInit>(dlsym(library, "FcInit"));
    if (init == nullptr) {
        dlclose(library);
        return;
    }
    try {
        reading = std::async(std::launch::async, [library, init] {
            init();
            dlclose(library);
        });
    } catch (const std::system_error&) {
        dlclose(library);  // no thread to be had: the toolkit reads it when it first needs it
    }
}

TApplication& ApplicationInstance()
{
    static TApplication application;
    return application;
}

TScreen& ScreenInstance()
{
    static TScreen screen;
    return screen;
}

// Forms must go before the Qt application object does, whoever made it.
void FreeFormsAtQtExit()
{
    Application->FreeForms();
}

// Everything the application object owns (forms, hint windows) has widgets, which must
// go before the Qt application object does: once one exists, arrange that, once.
void FreeOwnedBeforeQtExits()
{
    static bool registered = false;
    if (registered || QCoreApplication::instance() == nullptr)
        return;
    registered = true;
    qAddPostRoutine(&FreeFormsAtQtExit);
}

}  // namespace

TApplication* Application = &ApplicationInstance();
TScreen* Screen = &ScreenInstance();

// The application object handles what escapes every guarded entry point.
TApplication::TApplication() : TComponent(nullptr), qtApp_(std::make_unique<QtApp>())
{
    SetGuardedExceptionHandler(TGuardedExceptionHandler(this, &TApplication::HandleException));
}

TApplication::~TApplication()
{
    SetGuardedExceptionHandler(nullptr);
    // Widgets cannot go after the Qt application object. What the application owns is
    // freed when Qt's post routines run; should anything still be here with Qt gone, it is
    // left to the process's end.
    if (QCoreApplication::instance() == nullptr)
        while (ComponentCount() > 0)
            RemoveComponent(Components(ComponentCount() - 1));
    BeforeDestruction();
    // This runs among the program's static destructors, when Qt's own may be gone:
    // a Qt application object still here (Run never ran) is left to the process's end.
    if (qtApp_->Own != nullptr)
        static_cast<void>(qtApp_->Own.release());
}

// The title stays the program's own and is not given to Qt as the application's display
// name, which Qt would add to every window's title after the window's own.
void TApplication::SetTitle(const std::string& Value)
{
    title_ = Value;
}

void TApplication::SetLanguage(const std::string& EnglishName)
{
    Initialize();
    if (qtApp_->Translator != nullptr) {
        QCoreApplication::removeTranslator(qtApp_->Translator);
        delete qtApp_->Translator;
    }
    const QString wanted = QString::fromUtf8(EnglishName).trimmed();
    for (int value = QLocale::AnyLanguage + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = static_cast<QLocale::Language>(value);
        if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLocale(language), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator);
            qtApp_->Translator = translator;
        } else {
            delete translator;
        }
        return;
    }
}

void TApplication::Initialize()
{
    static bool initialized = false;
    if (initialized)
        return;
    if (QCoreApplication::instance() == nullptr) {
        StartReadingFontConfig();
        qtApp_->Own = std::make_unique<QApplication>(qtApp_->Argc, qtApp_->Argv);
    }
    initialized = true;
    FreeOwnedBeforeQtExits();
    InstallQtSystemColors();
}

void TApplication::FormCreated(TForm* Form)
{
    if (mainForm_ == nullptr)
        mainForm_ = Form;
    Form->AfterConstruction();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opInsert)
        FreeOwnedBeforeQtExits();
    if (Operation == opRemove && AComponent == mainForm_)
        mainForm_ = nullptr;
}

void TApplication::Run()
{
    Initialize();
    if (mainForm_ != nullptr)
        CallGuarded(this, [&] { mainForm_->Show(); });
    while (!terminated_ && mainForm_ != nullptr)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    FreeForms();
    qtApp_->Own.reset();  // the Qt application object made by Initialize ends here
}

void TApplication::FreeForms()
{
    // Owned components go without telling their owner: forget the main form first.
    mainForm_ = nullptr;
    DestroyComponents();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::ProcessMessagesExceptInput()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TApplication::Active() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TApplication::Terminate()
{
    terminated_ = true;
    // Wakes the message loop if it is waiting for events.
    if (QCoreApplication::instance() != nullptr)
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
}

void TApplication::HandleException(TObject* Sender)
{
    if (!std::current_exception())
        return;
    try {
        try {
            throw;
        } catch (const EAbort&) {
            return;
        } catch (const Exception& e) {
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (const std::exception& e) {
            const Exception wrapped(e.what());
            if (OnException)
                OnException(Sender, wrapped);
            else
                ShowException(wrapped);
        } catch (...) {
            const Exception unknown("Unknown exception");
            if (OnException)
                OnException(Sender, unknown);
            else
                ShowException(unknown);
        }
    } catch (...) {
        // The handler itself failed; nothing may leave here, so say it where we can.
        std::fputs("quorvel: an exception handler failed\n", stderr);
    }
}

void TApplication::ShowException(const Exception& E)
{
    MessageBox(E.Message(), title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags)
{
    return ::MessageBox(Text, Caption.empty() ? title_ : Caption, Flags);
}

// ---- TScreen --------------------------------------------------------------------------------

TScreen::TScreen() : TComponent(nullptr) {}

TScreen::~TScreen()
{
    BeforeDestruction();
}

TWinControl* TScreen::ActiveControl() const
{
    return FindFocusedControl();
}

TForm* TScreen::ActiveForm() const
{
    return dynamic_cast<TForm*>(ControlOfWidget(QApplication::activeWindow()));
}

void TScreen::SetCursor(TCursor Value)
{
    if (cursor_ == Value)
        return;
    if (cursor_ != crDefault)
        QGuiApplication::restoreOverrideCursor();
    cursor_ = Value;
    if (Value != crDefault)
        QGuiApplication::setOverrideCursor(QCursor(QtCursorShape(Value)));
}

TStrings* TScreen::Fonts()
{
    if (fonts_ == nullptr) {
        fonts_ = std::make_unique<TStringList>();
        for (const std::string& name : ScreenFontNames())
            fonts_->Add(name);
    }
    return fonts_.get();
}

int TScreen::Width() const
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const
{
    return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::MonitorRect(const TPoint& P) const
{
    QScreen* screen = QGuiApplication::screenAt(QPoint(P.X, P.Y));
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {0, 0, Width(), Height()};
    const QRect r = screen->geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int TScreen::PixelsPerInch() const
{
    return ScreenPixelsPerInch();
}
