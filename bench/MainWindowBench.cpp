// The main window against a minimal window around the Qt port of an open editor component
// (Debian's libqscintilla2-qt6-dev) with an HTML lexer, in the same run:
//   start-up: making the window (and, for ours, its four dialogs) until the editor's first
//             paint;
//   open:     a 100 MB PHP file through the window's open command (ours: the File Open
//             handler with the dialog's answer scripted; the peer: its own read from the
//             file) until the editor's next paint.
// Both in real windows. Each is run several times after one warm-up, the two sides taking
// turns; the medians and their ratios are printed.
#include "BenchCorpus.h"
#include "EditorBenchSupport.h"

#include "app/FormAbout.h"
#include "app/FormCssMaker.h"
#include "app/FormGoTo.h"
#include "app/FormSearch.h"
#include "app/MainForm.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"
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
#include <vector>

namespace {

const std::string BigFile = "/tmp/qv-textbuffer-bench.php";
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

// Our window: the editor's paint event counts.
class TOurs : public TObject {
public:
    TOurs()
    {
        frmEdit = new TfrmEdit(nullptr);
        frmEdit->SetProgramFolder(ProgramFolder);
        frmSearch = new TfrmSearch(nullptr);
        frmGoTo = new TfrmGoTo(nullptr);
        frmAbout = new TfrmAbout(nullptr);
        frmCssMaker = new TfrmCssMaker(nullptr);
        frmEdit->Editor->OnPaint = TPaintEvent(this, &TOurs::Painted);
        frmEdit->Show();
    }
    ~TOurs() override
    {
        delete frmCssMaker;
        delete frmAbout;
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

double OurStartUp()
{
    QElapsedTimer timer;
    timer.start();
    TOurs ours;
    if (!WaitForPaint([&] { return ours.Paints > 0; }))
        std::cerr << "our window was never painted\n";
    return Elapsed(timer);
}

// The peer's minimal window: the component with an HTML lexer as the central widget.
struct TPeer {
    TPeer()
    {
        editor = new QsciScintilla;
        KeepFromAccessibilityUpdates(*editor);
        editor->setLexer(&lexer);
        editor->setMarginType(0, QsciScintilla::NumberMargin);
        editor->setMarginLineNumbers(0, true);
        editor->viewport()->installEventFilter(&counter);
        window.setCentralWidget(editor);
        window.resize(800, 600);
        window.show();
    }
    QMainWindow window;
    QsciScintilla* editor;
    QsciLexerHTML lexer;
    TPaintCounter counter;
};

double PeerStartUp()
{
    QElapsedTimer timer;
    timer.start();
    TPeer peer;
    if (!WaitForPaint([&] { return peer.counter.Paints > 0; }))
        std::cerr << "the peer's window was never painted\n";
    return Elapsed(timer);
}

double OurOpen()
{
    TOurs ours;
    WaitForPaint([&] { return ours.Paints > 0; });
    const TModalHook previous = SetModalHook([](const TModalRequest&) {
        static_cast<TOpenDialog*>(ExecutingDialog())->SetFileName(BigFile);
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

double PeerOpen()
{
    TPeer peer;
    WaitForPaint([&] { return peer.counter.Paints > 0; });
    const int before = peer.counter.Paints;
    QElapsedTimer timer;
    timer.start();
    QFile file(QString::fromStdString(BigFile));
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
              << " ms, peer " << peerMs << " ms, ratio " << std::setprecision(2) << oursMs / peerMs << "\n";
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

    Compare("start-up to first paint", OurStartUp, PeerStartUp);
    Compare("open 100 MB to first paint", OurOpen, PeerOpen);
    Application->FreeForms();
    return 0;
}
