// Keystroke latency on a 100 MB file of real PHP lines: one character typed in the middle
// line, then the window repainted, 1,000 times; ours beside the Qt port of the open
// editing component in the same run, both plain (no highlighter), same font and size, in
// real windows. Prints the median and the worst keystroke of each and the ratio of the
// medians.
#include "EditorBenchSupport.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/Messages.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>

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

struct TLatency {
    double MedianMs = 0;
    double WorstMs = 0;
};

// Times Keystroke one by one.
TLatency Measure(const std::function<void()>& Keystroke)
{
    std::vector<double> times;
    times.reserve(Keystrokes);
    for (int i = 0; i < Keystrokes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Keystroke();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return TLatency{times[times.size() / 2], times.back()};
}

struct TPaintCounter {
    int Paints = 0;
    void Painted(TObject*, TCanvas*) { ++Paints; }
};

TLatency MeasureOurs(int& MiddleLine)
{
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, WindowWidth + 40, WindowHeight + 40);
    auto* editor = new TQvEdit(form);
    TFont font;
    font.SetName("DejaVu Sans Mono");
    font.SetSize(10);
    editor->SetFont(&font);
    editor->SetMaxLineWidth(100000);  // as the application sets it
    editor->SetBounds(0, 0, WindowWidth, WindowHeight);
    editor->SetParent(form);
    form->Show();
    WaitUntilShown();

    const auto load = std::chrono::steady_clock::now();
    editor->GetLines()->LoadFromFile(BenchPhpFile);
    std::printf("ours: loaded %d lines in %.0f ms\n", editor->GetLines()->Count(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - load).count());
    MiddleLine = editor->GetLines()->Count() / 2;
    const auto length = static_cast<Integer>(editor->GetLines()->Get(MiddleLine - 1).size());
    editor->SetCaretXY(TPoint{length / 2 + 1, MiddleLine});
    editor->Update();

    TPaintCounter counter;
    editor->OnPaint = TPaintEvent(&counter, &TPaintCounter::Painted);
    const TLatency result = Measure([editor] {
        editor->Perform(WM_KEYDOWN, 'X', 1);
        editor->Perform(WM_CHAR, 'x', 1);
        editor->Perform(WM_KEYUP, 'X', 1);
        editor->Update();
    });
    const auto typed = static_cast<Integer>(editor->GetLines()->Get(MiddleLine - 1).size()) - length;
    std::printf("ours: %d characters typed, %d paints\n", typed, counter.Paints);
    delete form;
    return result;
}

TLatency MeasurePeer()
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
    editor.setFont(QFont("DejaVu Sans Mono", 10));
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

    QWidget* target = editor.viewport();
    const int length = editor.lineLength(line);
    const TLatency result = Measure([&editor, target] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(&editor, &press);
        QApplication::sendEvent(&editor, &release);
        target->repaint();
    });
    std::printf("peer: %d characters typed\n", editor.lineLength(line) - length);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    QApplication app(argc, argv);
    if (!BenchPhpFileReady())
        return 1;
    RunPeerWithoutAccessibilityUpdates();
    // "ours" or "peer" as the argument measures that side alone.
    const std::string only = argc > 1 ? argv[1] : "";
    int middleLine = 0;
    TLatency ours;
    if (only != "peer") {
        ours = MeasureOurs(middleLine);
        std::printf("keystroke and repaint, %d times on line %d\n", Keystrokes, middleLine);
        std::printf("  ours: median %.3f ms, worst %.3f ms\n", ours.MedianMs, ours.WorstMs);
    }
    if (only == "ours")
        return 0;
    const TLatency peer = MeasurePeer();
    std::printf("  peer: median %.3f ms, worst %.3f ms\n", peer.MedianMs, peer.WorstMs);
    std::printf("  ratio of medians (ours / peer): %.2f\n", ours.MedianMs / peer.MedianMs);
    return 0;
}
