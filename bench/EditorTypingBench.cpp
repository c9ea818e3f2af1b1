// Keystroke latency on a 100 MB file of real PHP lines: one character typed in the middle
// line, then the window repainted, 1,000 times; ours as the program runs it (the main
// window's editing options, the highlighter the program gives a .php file) beside the Qt
// port of the open editing component with its PHP lexer attached before its text, in the
// same run, same font and size, in real windows, the peer taking the text as 8-bit bytes
// (setUtf8(false)) as ours does.
// Both get the key as a user's arrives: a Qt key press and release sent to the editor's
// widget. Then each is repainted in the same way, timed both ways:
//   changed  the paint the event loop does next: the pending update requests are
//            handled, and each repaints what its keystroke invalidated;
//   whole    each editor's whole view repainted at once: the widget each draws its text,
//            gutter and margins in (ours: its client widget; the peer: its viewport), the
//            repaint() of its full rectangle (and then the pending requests handled).
// Prints the median and the worst keystroke of each, the paints and the pixels painted a
// keystroke, and the ratio of the medians.
#include "EditorBenchSupport.h"
#include "ProgramConfiguration.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/ControlsQt.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int Keystrokes = 1000;
constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;
const char* const FontName = "DejaVu Sans Mono";
constexpr int FontSize = 10;

enum class TRepaint { Changed, Whole };
constexpr TRepaint Repaints[] = {TRepaint::Changed, TRepaint::Whole};

const char* Name(TRepaint Repaint)
{
    return Repaint == TRepaint::Changed ? "repainting what changed" : "repainting the whole view of each";
}

// Counts the paint events of every widget and the pixels they cover.
class TPaintMeter : public QObject {
public:
    TPaintMeter() { qApp->installEventFilter(this); }
    ~TPaintMeter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            ++Paints;
            for (const QRect& r : static_cast<QPaintEvent*>(Event)->region())
                Pixels += static_cast<double>(r.width()) * r.height();
        }
        return QObject::eventFilter(Watched, Event);
    }
    int Paints = 0;
    double Pixels = 0;
};

struct TLatency {
    double MedianMs = 0;
    double WorstMs = 0;
    double PaintsPerKey = 0;
    double PixelsPerKey = 0;
};

// Types 'x' into Target Keystrokes times, each followed by the repaint, and times each.
// Whole repaints the editor at once.
TLatency Measure(QWidget* Target, const std::function<void()>& Whole, TRepaint Repaint)
{
    const TPaintMeter meter;
    std::vector<double> times;
    times.reserve(Keystrokes);
    for (int i = 0; i < Keystrokes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(Target, &press);
        QApplication::sendEvent(Target, &release);
        if (Repaint == TRepaint::Whole)
            Whole();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return TLatency{times[times.size() / 2], times.back(), double(meter.Paints) / Keystrokes,
                    meter.Pixels / Keystrokes};
}

void Print(const char* Side, const TLatency& L)
{
    std::printf("  %s: median %.3f ms, worst %.3f ms; %.2f paints and %.0f pixels painted a keystroke\n",
                Side, L.MedianMs, L.WorstMs, L.PaintsPerKey, L.PixelsPerKey);
}

// Ours: the figures of each way of repainting, in the order of Repaints.
std::vector<TLatency> MeasureOurs()
{
    TProgramConfiguration program;
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, WindowWidth + 40, WindowHeight + 40);
    auto* editor = new TQvEdit(form);
    TFont font;
    font.SetName(FontName);
    font.SetSize(FontSize);
    editor->SetFont(&font);
    ApplyEditingSettings(*editor);
    editor->SetBounds(0, 0, WindowWidth, WindowHeight);
    editor->SetParent(form);
    form->Show();
    WaitUntilShown();

    const auto load = std::chrono::steady_clock::now();
    editor->GetLines()->LoadFromFile(BenchPhpFile);
    editor->SetHighlighter(program.ForFile(BenchPhpFile));
    std::printf("ours: the program's options, %s highlighter\n", editor->GetHighlighter()->GetLanguageName().c_str());
    std::printf("ours: loaded %d lines in %.0f ms\n", editor->GetLines()->Count(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load).count());
    const int middleLine = editor->GetLines()->Count() / 2;
    const auto length = static_cast<Integer>(editor->GetLines()->Get(middleLine - 1).size());
    editor->SetCaretXY(TPoint{length / 2 + 1, middleLine});
    editor->Update();
    std::printf("ours: typing on line %d\n", middleLine);

    QWidget* client = editor->Window()->Client();
    std::vector<TLatency> result;
    for (TRepaint repaint : Repaints)
        result.push_back(Measure(client, [client] { client->repaint(); }, repaint));
    const auto typed = static_cast<Integer>(editor->GetLines()->Get(middleLine - 1).size()) - length;
    std::printf("ours: %d characters typed; its whole view, the client widget, is %dx%d\n", typed,
                client->width(), client->height());
    delete form;
    return result;
}

std::vector<TLatency> MeasurePeer()
{
    QFile file(QString::fromStdString(BenchPhpFile));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "cannot read " << BenchPhpFile << "\n";
        std::exit(1);
    }
    const QByteArray bytes = file.readAll();
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    const QFont font(FontName, FontSize);
    TPeerPhpLexer lexer;
    lexer.setDefaultFont(font);
    lexer.setFont(font);
    editor.setLexer(&lexer);
    editor.setFont(font);
    std::printf("peer: its PHP lexer attached before its text\n");
    editor.resize(WindowWidth, WindowHeight);
    editor.show();
    WaitUntilShown();
    const auto load = std::chrono::steady_clock::now();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
    std::printf("peer: loaded %d lines in %.0f ms\n", editor.lines(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load).count());
    // The same line as ours: a file ending with a line end shows one more, empty, line.
    const int count = editor.lines() - (editor.lineLength(editor.lines() - 1) == 0 ? 1 : 0);
    const int line = count / 2 - 1;
    std::printf("peer: typing on line %d\n", line + 1);
    editor.setCursorPosition(line, editor.lineLength(line) / 2);
    editor.ensureLineVisible(line);
    editor.viewport()->repaint();

    QWidget* viewport = editor.viewport();
    const int length = editor.lineLength(line);
    std::vector<TLatency> result;
    for (TRepaint repaint : Repaints)
        result.push_back(Measure(&editor, [viewport] { viewport->repaint(); }, repaint));
    std::printf("peer: %d characters typed; its whole view, the viewport widget, is %dx%d\n",
                editor.lineLength(line) - length, viewport->width(), viewport->height());
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    QApplication app(argc, argv);
    Application->Initialize();
    if (!BenchPhpFileReady())
        return 1;
    RunPeerWithoutAccessibilityUpdates();
    // "ours" or "peer" as the argument measures that side alone.
    const std::string only = argc > 1 ? argv[1] : "";
    std::vector<TLatency> ours;
    std::vector<TLatency> peer;
    if (only != "peer")
        ours = MeasureOurs();
    if (only != "ours")
        peer = MeasurePeer();
    for (std::size_t i = 0; i < std::size(Repaints); ++i) {
        std::printf("keystroke and %s, %d times:\n", Name(Repaints[i]), Keystrokes);
        if (!ours.empty())
            Print("ours", ours[i]);
        if (!peer.empty())
            Print("peer", peer[i]);
        if (!ours.empty() && !peer.empty())
            std::printf("  ratio of medians (ours / peer): %.2f\n", ours[i].MedianMs / peer[i].MedianMs);
    }
    return 0;
}
