// The main window against a minimal window around the Qt port of an open editor component
// (Debian's libqscintilla2-qt6-dev) with an HTML lexer, in the same run, the peer's window
// in the size of ours and its editor in our editor's font:
//   start-up: whole programs, from their start to the first paint of their window that the
//             X server shows (ProcessFirstPaint.h): our program `quorvel` against the
//             bench-only peer program (bench/peer/PeerWindow.cpp);
//   open:     inside this process, in a window made for it and painted once, a PHP file
//             through the window's open command (ours: the File Open handler with the
//             dialog's answer scripted; the peer: its own read from the file, its lexer
//             attached before) until the editor's next paint: a real 49 KB file of the
//             corpus in its own folder of 106 files, and the 100 MB file. The peer takes
//             the text in its default encoding, UTF-8.
// Both in real windows. Each is run several times after one warm-up, the two sides taking
// turns; the times, their medians and the ratio of the medians are printed.
#include "BenchCorpus.h"
#include "EditorBenchSupport.h"
#include "ProcessFirstPaint.h"

#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
#include "platform/graphics/FontResolve.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMainWindow>

#include <algorithm>
#include <functional>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

namespace {

const std::string& BigFile = BenchPhpFile;
// A real file of about 49 KB (49,526 bytes), opened where it lies.
const std::string SmallFile = "/usr/share/wordpress/wp-admin/includes/class-wp-plugins-list-table.php";
// The window's program folder: its settings file and a copy of the shipped languages.
const std::string ProgramFolder = "/tmp/qv-mainwindow-bench/";
constexpr std::uintmax_t BigFileBytes = 100u * 1024u * 1024u;
constexpr int Runs = 7;

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
bool WaitForPaint(const std::function<bool()>& Painted)
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
class TOurs : public TObject {
public:
    TOurs()
    {
        frmEdit = new TfrmEdit(nullptr);
        frmEdit->SetProgramFolder(ProgramFolder);
        frmSearch = new TfrmSearch(nullptr);
        frmGoTo = new TfrmGoTo(nullptr);
        frmEdit->Editor->OnPaint = TPaintEvent(this, &TOurs::Painted);
        frmEdit->Show();
    }
    ~TOurs() override
    {
        delete frmGoTo;
        delete frmSearch;
        delete frmEdit;
        frmEdit = nullptr;
    }
    void Painted(TObject*, TCanvas*) { ++Paints; }
    int Paints = 0;
};

double MedianMs(std::vector<double> Times)
{
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

double Elapsed(const QElapsedTimer& Timer)
{
    return static_cast<double>(Timer.nsecsElapsed()) / 1e6;
}

// The window and editor font of ours, which the peer's window takes.
struct TLook {
    int Width = 0;
    int Height = 0;
    std::string Family;  // the face our editor's font resolves to
    int Pixels = 0;
};

TLook OurLook()
{
    TOurs ours;
    WaitForPaint([&] { return ours.Paints > 0; });
    const TFont* font = frmEdit->Editor->GetFont();
    return TLook{frmEdit->Width(), frmEdit->Height(), ResolveFaceName(font->GetName(), true),
                 static_cast<int>(std::abs(font->GetHeight()))};
}

// The peer's minimal window: the component with an HTML lexer as the central widget.
struct TPeer {
    explicit TPeer(const TLook& Look)
    {
        editor = new QsciScintilla;
        KeepFromAccessibilityUpdates(*editor);
        QFont font(QString::fromStdString(Look.Family));
        font.setPixelSize(Look.Pixels);
        lexer.setDefaultFont(font);
        lexer.setFont(font);
        editor->setLexer(&lexer);
        editor->setMarginType(0, QsciScintilla::NumberMargin);
        editor->setMarginLineNumbers(0, true);
        editor->viewport()->installEventFilter(&counter);
        window.setCentralWidget(editor);
        window.resize(Look.Width, Look.Height);
        window.show();
    }
    QsciLexerHTML lexer;  // outlives the window, whose editor uses it
    QMainWindow window;
    QsciScintilla* editor;
    TPaintCounter counter;
};

// Start-up, whole program to first paint; prints the painted window's size.
double StartUp(TProcessPaintWatch& Watch, const char* Side, const std::vector<std::string>& Program)
{
    const TFirstPaint paint = Watch.Run(Program, 30000);
    if (!paint.Painted) {
        std::cerr << Side << ": no paint of its window within 30 s\n";
        std::exit(1);
    }
    std::cout << "  " << Side << ": " << std::fixed << std::setprecision(1) << paint.Ms << " ms (window "
              << paint.Width << "x" << paint.Height << " mapped at " << paint.MappedMs << " ms)\n";
    return paint.Ms;
}

double OurOpen(const std::string& File)
{
    TOurs ours;
    WaitForPaint([&] { return ours.Paints > 0; });
    const TModalHook previous = SetModalHook([&](const TModalRequest&) {
        static_cast<TOpenDialog*>(ExecutingDialog())->SetFileName(File);
        return IDOK;
    });
    const int before = ours.Paints;
    QElapsedTimer timer;
    timer.start();
    frmEdit->mnuFileOpenClick(nullptr);
    WaitForPaint([&] { return ours.Paints > before; });
    const double ms = Elapsed(timer);
    SetModalHook(previous);
    return ms;
}

double PeerOpen(const TLook& Look, const std::string& File)
{
    TPeer peer(Look);
    WaitForPaint([&] { return peer.counter.Paints > 0; });
    const int before = peer.counter.Paints;
    QElapsedTimer timer;
    timer.start();
    QFile file(QString::fromStdString(File));
    if (!file.open(QIODevice::ReadOnly) || !peer.editor->read(&file))
        std::cerr << "the peer could not read the file\n";
    WaitForPaint([&] { return peer.counter.Paints > before; });
    return Elapsed(timer);
}

// Runs each side once to warm up, then Runs times each, taking turns so that both meet the
// same load of a shared machine; prints the medians and their ratio.
void Compare(const char* What, const std::function<double()>& Ours, const std::function<double()>& Peer)
{
    Ours();
    Peer();
    std::vector<double> ours;
    std::vector<double> peer;
    for (int i = 0; i < Runs; ++i) {
        ours.push_back(Ours());
        peer.push_back(Peer());
    }
    const double oursMs = MedianMs(ours);
    const double peerMs = MedianMs(peer);
    std::cout << std::fixed << std::setprecision(1) << What << " (median of " << Runs << "): ours " << oursMs
              << " ms (" << *std::min_element(ours.begin(), ours.end()) << "-"
              << *std::max_element(ours.begin(), ours.end()) << "), peer " << peerMs << " ms ("
              << *std::min_element(peer.begin(), peer.end()) << "-" << *std::max_element(peer.begin(), peer.end())
              << "), ratio " << std::setprecision(2) << oursMs / peerMs << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    QApplication app(argc, argv);
    RunPeerWithoutAccessibilityUpdates();
    Application->Initialize();
    Application->SetTitle("Quorvel");
    MakeCorpusFile(BigFile, BigFileBytes);
    std::filesystem::create_directories(ProgramFolder + "languages");
    std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/languages/English_lang.dat",
                               ProgramFolder + "languages/English_lang.dat",
                               std::filesystem::copy_options::overwrite_existing);

    const TLook look = OurLook();
    std::cout << "the peer's window takes ours: " << look.Width << "x" << look.Height << ", editor font "
              << look.Family << " " << look.Pixels << " px\n";

    TProcessPaintWatch watch;
    if (!watch.Error().empty()) {
        std::cerr << "start-up cannot be timed: " << watch.Error() << "\n";
        return 1;
    }
    const std::vector<std::string> ourProgram{QV_PROGRAM};
    const std::vector<std::string> peerProgram{QV_PEER_WINDOW, std::to_string(look.Width),
                                               std::to_string(look.Height), look.Family,
                                               std::to_string(look.Pixels)};
    std::cout << "start-up, whole programs to the first paint the X server shows (the first of each "
                 "a warm-up):\n";
    Compare(
        "start-up to first paint", [&] { return StartUp(watch, "ours", ourProgram); },
        [&] { return StartUp(watch, "peer", peerProgram); });
    const std::string smallFile = CorpusFolder() + SmallFile;
    Compare(
        "open 49 KB to first paint", [&] { return OurOpen(smallFile); },
        [&] { return PeerOpen(look, smallFile); });
    Compare(
        "open 100 MB to first paint", [&] { return OurOpen(BigFile); }, [&] { return PeerOpen(look, BigFile); });
    Application->FreeForms();
    return 0;
}
