// Big edits on the 100 MB file of real PHP lines, their undo and redo: 100,000 lines pasted
// in the middle of the file, then undone and redone; the whole text replaced by one typed
// character (Select All, then the key), then undone and redone. Each step ends with the
// window repainted; after a redo the edit is undone again, untimed. Ours
// beside the Qt port of the open editing component in the same run, both plain (no
// highlighter), same font and size, in real windows; prints the times and the ratios.
// Then ours alone undoes and redoes the replacement 20 times more and prints the heap in
// use and the process's resident memory after the first and the last of them.
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"
#include "platform/window/Clipboard.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/Messages.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

namespace {

constexpr int PastedLines = 100000;
constexpr int WindowWidth = TOurBenchEditor::Width;
constexpr int WindowHeight = TOurBenchEditor::Height;

// The six steps, in milliseconds.
struct TTimes {
    double Paste = 0;
    double PasteUndo = 0;
    double PasteRedo = 0;
    double Replace = 0;
    double ReplaceUndo = 0;
    double ReplaceRedo = 0;
};

double TimeMs(const std::function<void()>& Step)
{
    const auto start = std::chrono::steady_clock::now();
    Step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double HeapInUseMb()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
}

// A field of /proc/self/status (VmRSS, VmHWM) in MB.
double StatusMb(const std::string& Field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Field + ":", 0) == 0)
            return std::stod(line.substr(Field.size() + 1)) / 1024;
    return 0;
}

// The replacement (redone last) undone and redone Cycles times more: the heap in use
// after each undo and redo of the first and the last cycle, the resident memory after
// the last and the process's peak.
void ReportMemory(TQvEdit* Editor, int Cycles)
{
    double undone[2] = {0, 0};
    double redone[2] = {0, 0};
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        Editor->CommandProcessor(ecUndo, '\0', nullptr);
        Editor->Update();
        const int at = cycle == 1 ? 0 : 1;
        undone[at] = HeapInUseMb();
        Editor->CommandProcessor(ecRedo, '\0', nullptr);
        Editor->Update();
        redone[at] = HeapInUseMb();
    }
    std::printf("ours, memory over %d more undo and redo cycles of the replacement: heap in use after the undo "
                "%.0f MB (first) and %.0f MB (last), after the redo %.0f MB and %.0f MB; resident %.0f MB after "
                "the last, peak %.0f MB\n",
                Cycles, undone[0], undone[1], redone[0], redone[1], StatusMb("VmRSS"), StatusMb("VmHWM"));
}

QByteArray ReadFile()
{
    QFile file(QString::fromStdString(BenchPhpFile));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "cannot read " << BenchPhpFile << "\n";
        std::exit(1);
    }
    return file.readAll();
}

// The first PastedLines lines of the file, each ended by CR LF, as the clipboard holds a
// copy from the editor.
std::string PastedText(const QByteArray& File)
{
    std::string text;
    qsizetype start = 0;
    for (int line = 0; line < PastedLines && start < File.size(); ++line) {
        qsizetype end = File.indexOf('\n', start);
        if (end < 0)
            end = File.size();
        qsizetype stop = end;
        if (stop > start && File[stop - 1] == '\r')
            --stop;
        text.append(File.constData() + start, static_cast<std::size_t>(stop - start)).append("\r\n");
        start = end + 1;
    }
    return text;
}

TTimes MeasureOurs(const std::string& Pasted)
{
    TOurBenchEditor window([](TQvEdit& E) {
        E.SetMaxLineWidth(100000);  // as the application sets it
        // Trimming would take the trailing blanks of the file's lines when undo puts them
        // back; without it the undone text can be compared with the file byte for byte.
        E.SetOptionFlag(eoTrimTrailingSpaces, false);
    });
    TQvEdit* editor = window.Editor;
    editor->GetLines()->LoadFromFile(BenchPhpFile);
    const std::string original = editor->QvGetText();
    const int count = editor->GetLines()->Count();
    editor->SetCaretXY(TPoint{1, count / 2});
    editor->Update();

    Clipboard()->SetAsText(Pasted);
    TTimes t;
    t.Paste = TimeMs([editor] {
        editor->CommandProcessor(ecPaste, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after the paste\n", editor->GetLines()->Count());
    t.PasteUndo = TimeMs([editor] {
        editor->CommandProcessor(ecUndo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after its undo\n", editor->GetLines()->Count());
    t.PasteRedo = TimeMs([editor] {
        editor->CommandProcessor(ecRedo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after its redo\n", editor->GetLines()->Count());
    editor->CommandProcessor(ecUndo, '\0', nullptr);

    t.Replace = TimeMs([editor] {
        editor->CommandProcessor(ecSelectAll, '\0', nullptr);
        editor->Perform(WM_KEYDOWN, 'X', 1);
        editor->Perform(WM_CHAR, 'x', 1);
        editor->Perform(WM_KEYUP, 'X', 1);
        editor->Update();
    });
    std::printf("ours: \"%s\" after the replacement\n", editor->QvGetText().c_str());
    t.ReplaceUndo = TimeMs([editor] {
        editor->CommandProcessor(ecUndo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: text %s after its undo\n", editor->QvGetText() == original ? "restored" : "DIFFERS");
    t.ReplaceRedo = TimeMs([editor] {
        editor->CommandProcessor(ecRedo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: \"%s\" after its redo\n", editor->QvGetText().c_str());
    ReportMemory(editor, 20);
    return t;
}

TTimes MeasurePeer(const QByteArray& File, const std::string& Pasted)
{
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    editor.setFont(QFont("DejaVu Sans Mono", 10));
    editor.resize(WindowWidth, WindowHeight);
    editor.show();
    WaitUntilShown();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, File.constData());
    editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    const int count = editor.lines();
    editor.setCursorPosition(count / 2 - 1, 0);
    editor.viewport()->repaint();

    QApplication::clipboard()->setText(QString::fromLatin1(Pasted.data(), static_cast<qsizetype>(Pasted.size())));
    TTimes t;
    t.Paste = TimeMs([&editor] {
        editor.paste();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after the paste\n", editor.lines());
    t.PasteUndo = TimeMs([&editor] {
        editor.undo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its undo\n", editor.lines());
    t.PasteRedo = TimeMs([&editor] {
        editor.redo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its redo\n", editor.lines());
    editor.undo();

    t.Replace = TimeMs([&editor] {
        editor.selectAll();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(&editor, &press);
        QApplication::sendEvent(&editor, &release);
        editor.viewport()->repaint();
    });
    std::printf("peer: %d characters after the replacement\n", editor.length());
    t.ReplaceUndo = TimeMs([&editor] {
        editor.undo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its undo\n", editor.lines());
    t.ReplaceRedo = TimeMs([&editor] {
        editor.redo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d characters after its redo\n", editor.length());
    return t;
}

void Print(const char* Side, const TTimes& T)
{
    std::printf("  %s: paste %.0f ms, its undo %.0f ms, redo %.0f ms; replace all %.0f ms, its undo %.0f ms, "
                "redo %.0f ms\n",
                Side, T.Paste, T.PasteUndo, T.PasteRedo, T.Replace, T.ReplaceUndo, T.ReplaceRedo);
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
    const QByteArray file = ReadFile();
    const std::string pasted = PastedText(file);
    TTimes ours;
    TTimes peer;
    if (only != "peer")
        ours = MeasureOurs(pasted);
    if (only != "ours")
        peer = MeasurePeer(file, pasted);
    std::printf("%d lines pasted into the middle of the file, undone and redone; Select All and a key, undone "
                "and redone\n",
                PastedLines);
    if (only != "peer")
        Print("ours", ours);
    if (only != "ours")
        Print("peer", peer);
    if (only.empty()) {
        std::printf("  ratios (ours / peer): paste %.2f, its undo %.2f, redo %.2f; replace all %.2f, its undo "
                    "%.2f, redo %.2f\n",
                    ours.Paste / peer.Paste, ours.PasteUndo / peer.PasteUndo, ours.PasteRedo / peer.PasteRedo,
                    ours.Replace / peer.Replace, ours.ReplaceUndo / peer.ReplaceUndo,
                    ours.ReplaceRedo / peer.ReplaceRedo);
        std::printf("  ours: undo of the paste takes %.2f times the paste\n", ours.PasteUndo / ours.Paste);
    }
    return 0;
}
