// Big edits on the 100 MB file of real PHP lines, their undo and redo: 100,000 lines pasted
// in the middle of the file, then undone and redone; the whole text replaced by one typed
// character (Select All, then the key), then undone and redone. Each step ends with the
// window repainted; after a redo the edit is undone again, untimed. Ours as the program
// runs it (the main window's editing options, the highlighter the program gives a .php file)
// beside the Qt port of the open editing component with its PHP lexer attached before its
// text, same font and size, in real windows; each side in a process of its own, each step
// capped (BenchSteps.h); prints the times and the ratios. Then ours alone undoes and redoes
// the replacement 20 times more and prints the heap in use and the process's resident
// memory after the first and the last of them (left out when its undo took over 10 s).
#include "BenchSteps.h"
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"
#include "ProgramConfiguration.h"
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

// The six steps, as recorded.
const char* const Steps[] = {"paste", "paste-undo", "paste-redo", "replace", "replace-undo", "replace-redo"};
const char* const StepNames[] = {"paste", "its undo", "redo", "Select All and a key", "its undo", "redo"};

double HeapInUseMb()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
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
                Cycles, undone[0], undone[1], redone[0], redone[1], ProcessStatusMb("VmRSS"), ProcessStatusMb("VmHWM"));
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

// The text with the blanks at the end of each line taken away, as the program's options
// trim the lines an undo puts back.
std::string TrimmedLines(const std::string& Text)
{
    std::string trimmed;
    trimmed.reserve(Text.size());
    std::size_t start = 0;
    while (start <= Text.size()) {
        std::size_t end = Text.find('\n', start);
        if (end == std::string::npos)
            end = Text.size();
        std::size_t stop = end;
        if (stop > start && Text[stop - 1] == '\r')
            --stop;
        std::size_t last = stop;
        while (last > start && (Text[last - 1] == ' ' || Text[last - 1] == '\t'))
            --last;
        trimmed.append(Text, start, last - start).append(Text, stop, end - stop);
        if (end < Text.size())
            trimmed += '\n';
        start = end + 1;
    }
    return trimmed;
}

void MeasureOurs(const std::string& Pasted)
{
    TProgramConfiguration program;
    TOurBenchEditor window([](TQvEdit& E) { ApplyEditingSettings(E); });
    TQvEdit* editor = window.Editor;
    editor->GetLines()->LoadFromFile(BenchPhpFile);
    editor->SetHighlighter(program.ForFile(BenchPhpFile));
    std::printf("ours: the program's options, %s highlighter\n",
                editor->GetHighlighter() != nullptr ? editor->GetHighlighter()->GetLanguageName().c_str() : "no");
    const std::string original = editor->QvGetText();
    const int count = editor->GetLines()->Count();
    editor->SetCaretXY(TPoint{1, count / 2});
    editor->Update();

    Clipboard()->SetAsText(Pasted);
    TCappedSteps steps("ours");
    steps.Time(Steps[0], [editor] {
        editor->CommandProcessor(ecPaste, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after the paste\n", editor->GetLines()->Count());
    steps.Time(Steps[1], [editor] {
        editor->CommandProcessor(ecUndo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after its undo\n", editor->GetLines()->Count());
    steps.Time(Steps[2], [editor] {
        editor->CommandProcessor(ecRedo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: %d lines after its redo\n", editor->GetLines()->Count());
    editor->CommandProcessor(ecUndo, '\0', nullptr);

    steps.Time(Steps[3], [editor] {
        editor->CommandProcessor(ecSelectAll, '\0', nullptr);
        editor->Perform(WM_KEYDOWN, 'X', 1);
        editor->Perform(WM_CHAR, 'x', 1);
        editor->Perform(WM_KEYUP, 'X', 1);
        editor->Update();
    });
    std::printf("ours: \"%s\" after the replacement\n", editor->QvGetText().c_str());
    const double undo = steps.Time(Steps[4], [editor] {
        editor->CommandProcessor(ecUndo, '\0', nullptr);
        editor->Update();
    });
    const std::string undone = editor->QvGetText();
    std::printf("ours: text %s after its undo\n",
                undone == original                  ? "restored"
                : undone == TrimmedLines(original) ? "restored, the blanks at the ends of its lines trimmed as the "
                                                     "program's options trim them"
                                                   : "DIFFERS");
    steps.Time(Steps[5], [editor] {
        editor->CommandProcessor(ecRedo, '\0', nullptr);
        editor->Update();
    });
    std::printf("ours: \"%s\" after its redo\n", editor->QvGetText().c_str());
    if (undo < 10000)
        ReportMemory(editor, 20);
    else
        std::printf("ours: the memory over more undo and redo cycles is left out (the undo took over 10 s)\n");
}

void MeasurePeer(const QByteArray& File, const std::string& Pasted)
{
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    const QFont font("DejaVu Sans Mono", 10);
    TPeerPhpLexer lexer;
    lexer.setDefaultFont(font);
    lexer.setFont(font);
    editor.setLexer(&lexer);
    editor.setFont(font);
    editor.resize(WindowWidth, WindowHeight);
    editor.show();
    WaitUntilShown();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, File.constData());
    editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    const int count = editor.lines();
    editor.setCursorPosition(count / 2 - 1, 0);
    editor.viewport()->repaint();
    std::printf("peer: its PHP lexer attached before its text\n");

    QApplication::clipboard()->setText(QString::fromLatin1(Pasted.data(), static_cast<qsizetype>(Pasted.size())));
    TCappedSteps steps("peer");
    steps.Time(Steps[0], [&editor] {
        editor.paste();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after the paste\n", editor.lines());
    steps.Time(Steps[1], [&editor] {
        editor.undo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its undo\n", editor.lines());
    steps.Time(Steps[2], [&editor] {
        editor.redo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its redo\n", editor.lines());
    editor.undo();

    steps.Time(Steps[3], [&editor] {
        editor.selectAll();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
        QApplication::sendEvent(&editor, &press);
        QApplication::sendEvent(&editor, &release);
        editor.viewport()->repaint();
    });
    std::printf("peer: %d characters after the replacement\n", editor.length());
    steps.Time(Steps[4], [&editor] {
        editor.undo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d lines after its undo\n", editor.lines());
    steps.Time(Steps[5], [&editor] {
        editor.redo();
        editor.viewport()->repaint();
    });
    std::printf("peer: %d characters after its redo\n", editor.length());
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty()) {
        // Each side in a process of its own, ours first.
        const TRecords ours = RunChild({"ours"});
        const TRecords peer = RunChild({"peer"});
        std::printf("%d lines pasted into the middle of the 100 MB file, undone and redone; Select All and a key, "
                    "undone and redone (ours / peer, ratio):\n",
                    PastedLines);
        for (std::size_t i = 0; i < std::size(Steps); ++i)
            std::printf("  %s: %s / %s, %s\n", StepNames[i], Shown(ours, Steps[i]).c_str(),
                        Shown(peer, Steps[i]).c_str(), Ratio(ours, peer, Steps[i]).c_str());
        return 0;
    }
    QApplication app(argc, argv);
    Application->Initialize();
    if (!BenchPhpFileReady())
        return 1;
    const QByteArray file = ReadFile();
    const std::string pasted = PastedText(file);
    if (only == "ours") {
        MeasureOurs(pasted);
    } else {
        RunPeerWithoutAccessibilityUpdates();
        MeasurePeer(file, pasted);
    }
    return 0;
}
