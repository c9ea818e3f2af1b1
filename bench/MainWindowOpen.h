// Opening a file to the first paint in a real window, ours against the peer's: our main
// window, made with the forms the program makes at its start, opens through its File Open
// handler with the dialog's answer scripted; the peer's minimal window (the Qt port of an
// open editor component as its central widget, in our window's size and editor font) reads
// the file itself with its lexer attached before. Each is timed from the command to the
// editor's next paint. Shared by the main window's benchmarks.
#pragma once

#include "EditorBenchSupport.h"

#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/graphics/FontResolve.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMainWindow>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

// The window's program folder: its settings file and a copy of the shipped languages.
inline const std::string& OpenBenchProgramFolder()
{
    static const std::string folder = "/tmp/qv-mainwindow-bench/";
    return folder;
}

// Makes the program folder with the shipped English language.
inline void MakeOpenBenchProgramFolder()
{
    const std::string& folder = OpenBenchProgramFolder();
    std::filesystem::create_directories(folder + "languages");
    std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/languages/English_lang.dat",
                               folder + "languages/English_lang.dat",
                               std::filesystem::copy_options::overwrite_existing);
}

// What the main window's benchmarks run in: a display, the toolkit, our application object
// and the window's program folder.
class TMainWindowBenchRun {
public:
    TMainWindowBenchRun(int& Argc, char** Argv) : app_(Argc, Argv)
    {
        RunPeerWithoutAccessibilityUpdates();
        Application->Initialize();
        Application->SetTitle("Quorvel");
        MakeOpenBenchProgramFolder();
    }
    ~TMainWindowBenchRun() { Application->FreeForms(); }
    TMainWindowBenchRun(const TMainWindowBenchRun&) = delete;
    TMainWindowBenchRun& operator=(const TMainWindowBenchRun&) = delete;

private:
    TBenchDisplay display_;
    QApplication app_;
};

// Counts the paints of the widget it watches.
class TPaintCounter : public QObject {
public:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
    int Paints = 0;
};

// Handles events until Painted() says the paint came; false after 60 s without it.
inline bool WaitForPaint(const std::function<bool()>& Painted)
{
    QElapsedTimer timer;
    timer.start();
    while (!Painted()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (timer.elapsed() > 60000)
            return false;
    }
    return true;
}

// Our window, with the forms the program makes at its start: the editor's paint event
// counts.
class TOurWindow : public TObject {
public:
    TOurWindow()
    {
        frmEdit = new TfrmEdit(nullptr);
        frmEdit->SetProgramFolder(OpenBenchProgramFolder());
        frmSearch = new TfrmSearch(nullptr);
        frmGoTo = new TfrmGoTo(nullptr);
        frmEdit->Editor->OnPaint = TPaintEvent(this, &TOurWindow::Painted);
        frmEdit->Show();
    }
    ~TOurWindow() override
    {
        delete frmGoTo;
        delete frmSearch;
        delete frmEdit;
        frmEdit = nullptr;
    }
    void Painted(TObject*, TCanvas*) { ++Paints; }
    int Paints = 0;
};

inline double MedianMs(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

inline double ElapsedMs(const QElapsedTimer& Timer)
{
    return static_cast<double>(Timer.nsecsElapsed()) / 1e6;
}

// The window and editor font of ours, which the peer's window takes (printed when measured).
struct TWindowLook {
    int Width = 0;
    int Height = 0;
    std::string Family;  // the face our editor's font resolves to
    int Pixels = 0;
};

inline TWindowLook OurWindowLook()
{
    TOurWindow ours;
    WaitForPaint([&] { return ours.Paints > 0; });
    const TFont* font = frmEdit->Editor->GetFont();
    const TWindowLook look{frmEdit->Width(), frmEdit->Height(), ResolveFaceName(font->GetName(), true),
                           static_cast<int>(std::abs(font->GetHeight()))};
    std::cout << "the peer's window takes ours: " << look.Width << "x" << look.Height << ", editor font "
              << look.Family << " " << look.Pixels << " px" << std::endl;
    return look;
}

// The peer's minimal window: the component with Lexer (none when null) and line numbers as
// the central widget.
struct TPeerWindow {
    TPeerWindow(const TWindowLook& Look, QsciLexer* Lexer) : lexer(Lexer)
    {
        editor = new QsciScintilla;
        KeepFromAccessibilityUpdates(*editor);
        QFont font(QString::fromStdString(Look.Family));
        font.setPixelSize(Look.Pixels);
        if (lexer) {
            lexer->setDefaultFont(font);
            lexer->setFont(font);
            editor->setLexer(lexer.get());
        } else {
            editor->setFont(font);
        }
        // Ours reads a file as 8-bit bytes, and so does the peer's editor told so.
        editor->setUtf8(false);
        editor->setMarginType(0, QsciScintilla::NumberMargin);
        editor->setMarginLineNumbers(0, true);
        editor->viewport()->installEventFilter(&counter);
        window.setCentralWidget(editor);
        window.resize(Look.Width, Look.Height);
        window.show();
    }
    std::unique_ptr<QsciLexer> lexer;  // outlives the window, whose editor uses it
    QMainWindow window;
    QsciScintilla* editor;
    TPaintCounter counter;
};

// What an open is timed to: the editor's first paint, or, after that, the paint of the
// text's end that a Ctrl+End asks for (where each side works out the colours of every line
// before the end that it skipped at the open).
enum class TOpenTimed { FirstPaint, EndAfterOpen };

// Our window's File Open of File to the editor's next paint; the window is made and painted
// first. Checked, when given, with the window once the file is open (its highlighter).
inline double OurOpen(const std::string& File, const std::function<void(TfrmEdit&)>& Checked = nullptr,
                      TOpenTimed Timed = TOpenTimed::FirstPaint)
{
    TOurWindow ours;
    WaitForPaint([&] { return ours.Paints > 0; });
    const TModalHook previous = SetModalHook([&](const TModalRequest&) {
        static_cast<TOpenDialog*>(ExecutingDialog())->SetFileName(File);
        return IDOK;
    });
    int before = ours.Paints;
    QElapsedTimer timer;
    timer.start();
    frmEdit->mnuFileOpenClick(nullptr);
    WaitForPaint([&] { return ours.Paints > before; });
    double ms = ElapsedMs(timer);
    SetModalHook(previous);
    if (Timed == TOpenTimed::EndAfterOpen) {
        before = ours.Paints;
        timer.start();
        frmEdit->Editor->CommandProcessor(ecEditorBottom, '\0', nullptr);
        WaitForPaint([&] { return ours.Paints > before; });
        ms = ElapsedMs(timer);
    }
    if (Checked)
        Checked(*frmEdit);
    return ms;
}

// The peer's read of File with the lexer MakeLexer makes (none when it is null or makes
// none) to its editor's next paint; the window is made and painted first.
inline double PeerOpen(const TWindowLook& Look, const std::string& File,
                       const std::function<QsciLexer*()>& MakeLexer, TOpenTimed Timed = TOpenTimed::FirstPaint)
{
    TPeerWindow peer(Look, MakeLexer ? MakeLexer() : nullptr);
    WaitForPaint([&] { return peer.counter.Paints > 0; });
    int before = peer.counter.Paints;
    QElapsedTimer timer;
    timer.start();
    QFile file(QString::fromStdString(File));
    if (!file.open(QIODevice::ReadOnly) || !peer.editor->read(&file))
        std::cerr << "the peer could not read the file\n";
    WaitForPaint([&] { return peer.counter.Paints > before; });
    if (Timed == TOpenTimed::FirstPaint)
        return ElapsedMs(timer);
    before = peer.counter.Paints;
    timer.start();
    peer.editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    WaitForPaint([&] { return peer.counter.Paints > before; });
    return ElapsedMs(timer);
}

// The medians of two sides and their ratio.
struct TComparison {
    double Ours = 0;
    double Peer = 0;
    double Ratio() const { return Ours / Peer; }
};

// Runs each side once to warm up, then Runs times each, taking turns so that both meet the
// same load of a shared machine; prints the medians and their ratio.
inline TComparison Compare(const std::string& What, int Runs, const std::function<double()>& Ours,
                           const std::function<double()>& Peer)
{
    Ours();
    Peer();
    std::vector<double> ours;
    std::vector<double> peer;
    for (int i = 0; i < Runs; ++i) {
        ours.push_back(Ours());
        peer.push_back(Peer());
    }
    const TComparison result{MedianMs(ours), MedianMs(peer)};
    std::cout << std::fixed << std::setprecision(1) << What << " (median of " << Runs << "): ours " << result.Ours
              << " ms (" << *std::min_element(ours.begin(), ours.end()) << "-"
              << *std::max_element(ours.begin(), ours.end()) << "), peer " << result.Peer << " ms ("
              << *std::min_element(peer.begin(), peer.end()) << "-" << *std::max_element(peer.begin(), peer.end())
              << "), ratio " << std::setprecision(2) << result.Ratio() << std::endl;
    return result;
}
