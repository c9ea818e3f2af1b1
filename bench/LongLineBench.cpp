// One very long line in a real window, as a web developer meets it in a minified file: a
// 20 MB one-line JavaScript bundle (Debian's libjs-three three.min.js over and over) and a
// 10 MB one-line JSON (the wordpress corpus's files as an array of name and text). Ours as
// the program runs it (the main window's editing options, the highlighter the program gives
// the name: JavaScript for .js, the multi-language HTML one for .json) beside the Qt port of
// the open editing component with the matching lexer (JavaScript, HTML) attached before its
// text; same window size and font. Every key reaches each side as a user's does: a Qt key
// press and release posted to the widget with the focus and handled by the event loop, then
// the paints that follow; each side in a process of its own, every step capped at 60 s:
//   open (read the file, set the text and highlighter, first paint), End, Left and Right at
//   the end (median of 20 each); the processor time of the idle program over 10 s with the
//   caret at the end and the focus in the editor (its caret blinking); the process's peak
//   memory then, and the memory before the file was opened; Backspace x100 at the end, its
//   undo and redo (each side's own keys: Ctrl+Z, and Ctrl+Shift+Z for ours, Ctrl+Y for the
//   peer, pressed until the text is back, as a user would), Home and Delete x100 at the
//   start of the line (Backspace there would delete nothing), its undo and redo; the peak
//   memory after the edits.
// Each side runs in three processes (the moves and idle time, the Backspace edits, the
// Delete edits), each opening the file, so that an edit that reaches the cap leaves the
// others measured. Arguments: none runs both files; "js" or "json" one of them;
// "side SIDE FILE PART" one part of one side.
#include "BenchCorpus.h"
#include "BenchSteps.h"
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"
#include "ProgramConfiguration.h"
#include "platform/window/ControlsQt.h"
#include "qvedit/editor/QvEdit.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string BundleFile = "/tmp/qv-longline-bundle.min.js";
const std::string JsonFile = "/tmp/qv-longline-data.json";
constexpr std::size_t BundleBytes = 20000000;
constexpr std::size_t JsonBytes = 10000000;
constexpr int Edits = 100;
constexpr int Moves = 20;
constexpr int IdleMs = 10000;

std::string ReadAll(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// three.min.js, one line of 0.85 MB, over and over until BundleBytes.
void MakeBundle()
{
    const std::string three = ReadAll("/usr/share/javascript/three/three.min.js");
    if (three.empty()) {
        std::fprintf(stderr, "/usr/share/javascript/three/three.min.js is missing (package libjs-three)\n");
        std::exit(1);
    }
    std::string text;
    while (text.size() < BundleBytes)
        text += three;
    text.resize(BundleBytes);
    std::ofstream(BundleFile, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

void AppendJsonString(std::string& Out, const std::string& Text)
{
    Out += '"';
    for (const char c : Text) {
        switch (c) {
        case '"': Out += "\\\""; break;
        case '\\': Out += "\\\\"; break;
        case '\n': Out += "\\n"; break;
        case '\r': Out += "\\r"; break;
        case '\t': Out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                Out += escaped;
            } else {
                Out += c;
            }
        }
    }
    Out += '"';
}

// The corpus's PHP files as [{"name": ..., "text": ...}, ...] on one line, cut to JsonBytes
// at the end of an entry.
void MakeJson()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder()))
        if (entry.is_regular_file() && entry.path().extension() == ".php")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::string json = "[";
    for (const fs::path& file : files) {
        std::string entry = json.size() > 1 ? "," : "";
        entry += "{\"name\":";
        AppendJsonString(entry, file.filename().string());
        entry += ",\"text\":";
        AppendJsonString(entry, ReadAll(file.string()));
        entry += "}";
        if (json.size() + entry.size() + 1 > JsonBytes)
            break;
        json += entry;
    }
    json += "]";
    std::ofstream(JsonFile, std::ios::binary).write(json.data(), static_cast<std::streamsize>(json.size()));
}

double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the paint events of every widget.
class TPaintCount : public QObject {
public:
    TPaintCount() { qApp->installEventFilter(this); }
    ~TPaintCount() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
    int Paints = 0;
};

// What differs between the sides; the steps are the same.
struct TSide {
    QWidget* Target = nullptr;               // gets the keys
    std::function<long long()> Length;      // of the text
    Qt::KeyboardModifiers RedoModifiers;    // with Qt::Key_Z or Qt::Key_Y
    Qt::Key RedoKey = Qt::Key_Z;
};

// A key as a user's reaches the program: posted, handled by the event loop, then the paints
// it asked for.
void Press(QWidget* Target, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QCoreApplication::postEvent(Target, new QKeyEvent(QEvent::KeyPress, Key, Modifiers));
    QCoreApplication::postEvent(Target, new QKeyEvent(QEvent::KeyRelease, Key, Modifiers));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Presses the key until the text has Length characters, at most Edits times; the presses.
int PressUntil(const TSide& Side, Qt::Key Key, Qt::KeyboardModifiers Modifiers, long long Length)
{
    int presses = 0;
    while (presses < Edits && (presses == 0 || Side.Length() != Length)) {
        Press(Side.Target, Key, Modifiers);
        ++presses;
    }
    return presses;
}

void IdleAtTheEnd(TCappedSteps& Steps, const TSide& Side)
{
    Press(Side.Target, Qt::Key_End);
    QCoreApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    std::printf("  the focus in %s, the window %s\n", focus != nullptr ? focus->metaObject()->className() : "nothing",
                Side.Target->window()->isActiveWindow() ? "active" : "NOT active");
    TPaintCount paints;
    const double before = ProcessorSeconds();
    QEventLoop idle;
    QTimer::singleShot(IdleMs, &idle, &QEventLoop::quit);
    idle.exec();
    const double used = ProcessorSeconds() - before;
    std::printf("  %d paints while idle\n", paints.Paints);
    Steps.Record("idle-cpu", used * 1000);
}

// The steps after the open, in three parts each run in a process of its own, so that an edit
// that reaches the cap leaves the others measured: "view" (moves, idle time, memory),
// "backspace" and "delete".
void Steps(TCappedSteps& Steps, const TSide& Side, const std::string& Part)
{
    QWidget* target = Side.Target;
    const long long length = Side.Length();
    // Undo (redo) is pressed until the text is back as before (after) the keys.
    const auto edits = [&](const char* Name, Qt::Key Key) {
        Steps.Time(Name, [&Steps, target, Key] {
            for (int i = 0; i < Edits; ++i) {
                Press(target, Key);
                Steps.Done(i + 1);
            }
        });
        const long long edited = Side.Length();
        std::printf("  %lld characters after %d keys\n", edited, Edits);
        int presses = 0;
        Steps.Time(std::string(Name) + "-undo",
                   [&] { presses = PressUntil(Side, Qt::Key_Z, Qt::ControlModifier, length); });
        std::printf("  %lld characters after %d undo key(s)%s\n", Side.Length(), presses,
                    Side.Length() == length ? "" : " (NOT the text before the keys)");
        Steps.Time(std::string(Name) + "-redo",
                   [&] { presses = PressUntil(Side, Side.RedoKey, Side.RedoModifiers, edited); });
        std::printf("  %lld characters after %d redo key(s)\n", Side.Length(), presses);
        Steps.Record(std::string(Name) + "-peak-memory", ProcessStatusMb("VmHWM"), "MB");
    };
    if (Part == "backspace") {
        Press(target, Qt::Key_End);
        edits("backspace-end", Qt::Key_Backspace);
        return;
    }
    if (Part == "delete") {
        Press(target, Qt::Key_Home);
        edits("delete-start", Qt::Key_Delete);
        return;
    }
    Steps.Time("end", [target] { Press(target, Qt::Key_End); });
    for (const auto& [name, key] : {std::pair{"left", Qt::Key_Left}, std::pair{"right", Qt::Key_Right}}) {
        std::vector<double> times;
        for (int i = 0; i < Moves; ++i) {
            const auto start = std::chrono::steady_clock::now();
            Press(target, key);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        Steps.Record(std::string(name) + "-median", Median(times));
    }
    IdleAtTheEnd(Steps, Side);
    Steps.Record("peak-memory", ProcessStatusMb("VmHWM"), "MB");
}

void MeasureOurs(const std::string& File, const std::string& Part)
{
    TProgramConfiguration program;
    TOurBenchEditor window([](TQvEdit& E) { ApplyEditingSettings(E); });
    TQvEdit* editor = window.Editor;
    QWidget* client = editor->Window()->Client();
    client->window()->activateWindow();
    editor->SetFocus();
    QCoreApplication::processEvents();
    TCappedSteps steps("ours");
    steps.Record("memory-before", ProcessStatusMb("VmHWM"), "MB");
    steps.Time("open", [&] {
        editor->GetLines()->LoadFromFile(File);
        editor->SetHighlighter(program.ForFile(File));
        editor->Update();
    });
    steps.Record("open-peak-memory", ProcessStatusMb("VmHWM"), "MB");
    std::printf("  ours: %s highlighter, the program's options\n", editor->GetHighlighter()->GetLanguageName().c_str());
    // The text's length counted from its lines, as the peer counts its own: no copy of
    // the text is made for it.
    const auto length = [editor] {
        const TQvEditStringList* lines = editor->GetLines();
        long long n = 2LL * std::max(lines->Count() - 1, 0);
        for (int i = 0; i < lines->Count(); ++i)
            n += static_cast<long long>(lines->GetView(i).size());
        return n;
    };
    const TSide side{client, length,
                     Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z};
    std::printf("  %lld characters\n", side.Length());
    Steps(steps, side, Part);
}

void MeasurePeer(const std::string& File, bool Json, const std::string& Part)
{
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    const QFont font("DejaVu Sans Mono", 10);
    std::unique_ptr<QsciLexer> lexer;
    if (Json)
        lexer = std::make_unique<QsciLexerHTML>();
    else
        lexer = std::make_unique<QsciLexerJavaScript>();
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    editor.setLexer(lexer.get());
    editor.setFont(font);
    editor.resize(TOurBenchEditor::Width, TOurBenchEditor::Height);
    editor.show();
    WaitUntilShown();
    editor.activateWindow();
    editor.setFocus();
    QCoreApplication::processEvents();
    TCappedSteps steps("peer");
    steps.Record("memory-before", ProcessStatusMb("VmHWM"), "MB");
    steps.Time("open", [&] {
        QFile file(QString::fromStdString(File));
        if (!file.open(QIODevice::ReadOnly))
            std::exit(1);
        const QByteArray bytes = file.readAll();
        editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
        editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        editor.viewport()->repaint();
    });
    steps.Record("open-peak-memory", ProcessStatusMb("VmHWM"), "MB");
    std::printf("  peer: its %s lexer attached before its text\n", lexer->language());
    const TSide side{&editor, [&editor] { return static_cast<long long>(editor.length()); }, Qt::ControlModifier,
                     Qt::Key_Y};
    std::printf("  %lld characters\n", side.Length());
    Steps(steps, side, Part);
}

void Compare(const char* What, const char* Name)
{
    std::printf("== %s\n", What);
    TRecords ours;
    TRecords peer;
    for (const char* part : {"view", "backspace", "delete"}) {
        const TRecords o = RunChild({"side", "ours", Name, part});
        const TRecords p = RunChild({"side", "peer", Name, part});
        // The open is the view part's; the others open the file again.
        for (const auto& [key, value] : o)
            if (ours.count(key) == 0)
                ours[key] = value;
        for (const auto& [key, value] : p)
            if (peer.count(key) == 0)
                peer[key] = value;
    }
    std::printf("%s: ours / peer, ratio\n", What);
    const char* const rows[][2] = {
        {"open", "open to the first paint"},
        {"end", "End"},
        {"left-median", "Left at the end, median"},
        {"right-median", "Right at the end, median"},
        {"backspace-end", "Backspace x100 at the end"},
        {"backspace-end-done", "  keys done when it reached the cap (a count)"},
        {"backspace-end-undo", "  its undo"},
        {"backspace-end-redo", "  its redo"},
        {"delete-start", "Delete x100 at the start"},
        {"delete-start-done", "  keys done when it reached the cap (a count)"},
        {"delete-start-undo", "  its undo"},
        {"delete-start-redo", "  its redo"},
        {"idle-cpu", "processor time idle over 10 s, caret at the end (ms)"},
    };
    const auto count = [](const TRecords& R, const char* Key) {
        const auto found = R.find(Key);
        return found == R.end() ? std::string("-") : std::to_string(std::atoi(found->second.c_str()));
    };
    for (const auto& row : rows) {
        const std::string key = row[0];
        if (key.size() > 5 && key.compare(key.size() - 5, 5, "-done") == 0) {
            if (ours.count(key) != 0 || peer.count(key) != 0)
                std::printf("  %s: %s / %s\n", row[1], count(ours, row[0]).c_str(), count(peer, row[0]).c_str());
            continue;
        }
        std::printf("  %s: %s / %s, %s\n", row[1], Shown(ours, row[0]).c_str(), Shown(peer, row[0]).c_str(),
                    Ratio(ours, peer, row[0]).c_str());
    }
    const auto mb = [](const TRecords& R, const char* Key) {
        const auto found = R.find(Key);
        return found == R.end() ? std::string("-") : std::to_string(static_cast<int>(std::atof(found->second.c_str()))) + " MB";
    };
    std::printf("  peak memory after the open: %s / %s\n", mb(ours, "open-peak-memory").c_str(),
                mb(peer, "open-peak-memory").c_str());
    std::printf("  peak memory after the open, the moves and the idle time: %s / %s; after Backspace x100, its undo "
                "and redo: %s / %s; after Delete x100, its undo and redo: %s / %s (before the open: %s / %s)\n",
                mb(ours, "peak-memory").c_str(), mb(peer, "peak-memory").c_str(),
                mb(ours, "backspace-end-peak-memory").c_str(), mb(peer, "backspace-end-peak-memory").c_str(),
                mb(ours, "delete-start-peak-memory").c_str(), mb(peer, "delete-start-peak-memory").c_str(),
                mb(ours, "memory-before").c_str(), mb(peer, "memory-before").c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "side") {
        const bool json = args[2] == "json";
        const std::string& file = json ? JsonFile : BundleFile;
        QApplication app(argc, argv);
        Application->Initialize();
        if (args[1] == "ours") {
            MeasureOurs(file, args[3]);
        } else {
            RunPeerWithoutAccessibilityUpdates();
            MeasurePeer(file, json, args[3]);
        }
        return 0;
    }
    MakeBundle();
    MakeJson();
    const std::string only = args.empty() ? "" : args[0];
    if (only.empty() || only == "js")
        Compare("a 20 MB one-line JavaScript bundle (.js)", "js");
    if (only.empty() || only == "json")
        Compare("a 10 MB one-line JSON (.json)", "json");
    return 0;
}
