// One minified line of 20 MB of JavaScript, ours (the main window's editing settings, the
// JavaScript highlighter) beside the Qt port of the open editing component (its JavaScript
// lexer attached before its text), same font and size, in real windows:
//   open    the file read, the text set and the window painted;
//   end     the caret taken to the end of the line and the window painted;
//   arrows  Left and Right at the end of the line, each as a Qt key press and release
//           followed by the paint the event loop does next: 200 keys, median and worst;
//   idle    the processor time of the process over 10 s of the event loop with the caret
//           at the end of the line, focused and blinking, and the paints in that time.
// "ours" or "peer" as the argument measures that side alone.
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"

#include "app/EditorSettings.h"
#include "platform/window/ControlsQt.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterJScript.h"

#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string BundleFile = "/tmp/qv-longline-bench.min.js";
constexpr std::size_t BundleBytes = 20'000'000;
constexpr int Arrows = 200;
constexpr int IdleMs = 10000;

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void WriteBundle()
{
    const std::string piece =
        "var a1=function(b,c){return b+c*2.5;};if(a1(1,2)>3){x=\"str\";}/*c*/"
        "for(var i=0;i<n.length;i++){o[i]=new Vector3(i,0,1);}";
    std::string text;
    text.reserve(BundleBytes + piece.size());
    while (text.size() < BundleBytes)
        text += piece;
    std::ofstream(BundleFile, std::ios::binary) << text;
}

class TPaintCounter : public QObject {
public:
    TPaintCounter() { qApp->installEventFilter(this); }
    ~TPaintCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
    int Paints = 0;
};

struct TFigures {
    double OpenMs = 0;
    double EndMs = 0;
    double ArrowMedianMs = 0;
    double ArrowWorstMs = 0;
    double IdleCpuMs = 0;
    int IdlePaints = 0;
};

// Left and Right alternately at the end of the line, each with the paint that follows.
void TimeArrows(QWidget* Target, TFigures& F)
{
    std::vector<double> times;
    for (int i = 0; i < Arrows; ++i) {
        const Qt::Key key = i % 2 == 0 ? Qt::Key_Left : Qt::Key_Right;
        const auto start = TClock::now();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(Target, &press);
        QApplication::sendEvent(Target, &release);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        times.push_back(MsSince(start));
    }
    std::sort(times.begin(), times.end());
    F.ArrowMedianMs = times[times.size() / 2];
    F.ArrowWorstMs = times.back();
}

void Idle(TFigures& F)
{
    const TPaintCounter counter;
    const double cpu = ProcessCpuMs();
    QEventLoop loop;
    QTimer::singleShot(IdleMs, &loop, &QEventLoop::quit);
    loop.exec();
    F.IdleCpuMs = ProcessCpuMs() - cpu;
    F.IdlePaints = counter.Paints;
}

TFigures MeasureOurs()
{
    TFigures f;
    TQvJScriptHighlighter highlighter(nullptr);
    TOurBenchEditor window([&](TQvEdit& E) {
        ApplyEditingSettings(E);
        E.SetHighlighter(&highlighter);
    });
    TQvEdit& editor = *window.Editor;
    QWidget* client = editor.Window()->Client();
    auto start = TClock::now();
    editor.GetLines()->LoadFromFile(BundleFile);
    editor.Repaint();
    f.OpenMs = MsSince(start);
    editor.SetFocus();
    client->activateWindow();
    start = TClock::now();
    editor.CommandProcessor(ecLineEnd, '\0', nullptr);
    editor.Repaint();
    f.EndMs = MsSince(start);
    TimeArrows(client, f);
    std::printf("ours: caret at column %d of a line of %zu characters, %s\n", editor.GetCaretX(),
                editor.GetLines()->GetView(0).size(), editor.Focused() ? "focused" : "NOT focused");
    Idle(f);
    editor.SetHighlighter(nullptr);
    return f;
}

TFigures MeasurePeer()
{
    TFigures f;
    QFile file(QString::fromStdString(BundleFile));
    if (!file.open(QIODevice::ReadOnly))
        return f;
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    QsciLexerJavaScript lexer;
    lexer.setFont(QFont("DejaVu Sans Mono", 10));
    editor.setLexer(&lexer);
    editor.resize(TOurBenchEditor::Width, TOurBenchEditor::Height);
    editor.show();
    WaitUntilShown();
    auto start = TClock::now();
    const QByteArray bytes = file.readAll();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
    editor.viewport()->repaint();
    f.OpenMs = MsSince(start);
    editor.setFocus();
    editor.activateWindow();
    start = TClock::now();
    editor.SendScintilla(QsciScintillaBase::SCI_LINEEND);
    editor.viewport()->repaint();
    f.EndMs = MsSince(start);
    TimeArrows(&editor, f);
    int line = 0;
    int index = 0;
    editor.getCursorPosition(&line, &index);
    std::printf("peer: caret at index %d of line %d, %s\n", index, line + 1,
                editor.hasFocus() ? "focused" : "NOT focused");
    Idle(f);
    return f;
}

void Print(const char* Side, const TFigures& F)
{
    std::printf("  %s: open %.0f ms, end %.1f ms, Left/Right at the end median %.2f ms (worst %.2f ms), "
                "idle %.0f ms of processor time in %d s (%.2f%% of a core) with %d paints\n",
                Side, F.OpenMs, F.EndMs, F.ArrowMedianMs, F.ArrowWorstMs, F.IdleCpuMs, IdleMs / 1000,
                100.0 * F.IdleCpuMs / IdleMs, F.IdlePaints);
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    QApplication app(argc, argv);
    RunPeerWithoutAccessibilityUpdates();
    WriteBundle();
    const std::string only = argc > 1 ? argv[1] : "";
    std::printf("one line of %zu bytes of JavaScript:\n", BundleBytes);
    if (only != "peer")
        Print("ours", MeasureOurs());
    if (only != "ours")
        Print("peer", MeasurePeer());
    std::remove(BundleFile.c_str());
    return 0;
}
