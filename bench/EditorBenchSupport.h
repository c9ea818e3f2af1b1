// What the editor benchmarks share: a real window (Qt's xcb platform on an X server, a
// virtual one started for the run when there is no display), the peer configured as its
// users run it, and the 100 MB file of real PHP lines that TextBufferBench writes from the
// corpus.
#pragma once

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWindow>

#include "../tests/support/VirtualDisplay.h"
#include "BenchCorpus.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

inline const std::string BenchPhpFile = "/tmp/qv-textbuffer-bench.php";

// Before the application object: the windows are real X windows, as a user's are. A
// platform chosen with QT_QPA_PLATFORM is kept; with xcb and no display a virtual X server
// (Xvfb) is started for the run and stopped with this object. Where none can start, the run
// says so and draws offscreen.
class TBenchDisplay {
public:
    TBenchDisplay()
    {
        const char* chosen = std::getenv("QT_QPA_PLATFORM");
        if (chosen != nullptr && std::string(chosen) != "xcb") {
            platform_ = chosen;
            Announce();
            return;
        }
        const char* display = std::getenv("DISPLAY");
        if (display != nullptr && *display != '\0') {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            platform_ = std::string("xcb on the display ") + display;
        } else if ((server_ = std::make_unique<QvTest::TVirtualDisplay>())->Started()) {
            const std::string number = std::to_string(server_->Number());
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            setenv("DISPLAY", (":" + number).c_str(), 1);
            platform_ = "xcb on a virtual X server started for the run (Xvfb :" + number + ")";
        } else {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            platform_ = "offscreen: NO X SERVER COULD START (Xvfb missing or failing), so these are not "
                        "real-window figures";
        }
        Announce();
    }
    TBenchDisplay(const TBenchDisplay&) = delete;
    TBenchDisplay& operator=(const TBenchDisplay&) = delete;

private:
    void Announce() const { std::printf("windows: %s\n", platform_.c_str()); }

    std::string platform_;
    std::unique_ptr<QvTest::TVirtualDisplay> server_;
};

// The peer reports every change and caret move for assistive technology, at a cost that
// grows with the offset of the change in the text; the peer is timed without those reports,
// as a user without such technology is meant to run it. Two steps take them away. First its
// editors get a plain widget's accessible interface instead of the peer's own:
inline QAccessibleInterface* PlainPeerAccessible(const QString& ClassName, QObject* Object)
{
    if (Object == nullptr || !Object->isWidgetType())
        return nullptr;
    if (ClassName != "QsciScintilla" && ClassName != "QsciScintillaBase")
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(Object), QAccessible::EditableText);
}

// The peer installs its own factory with its first editor, and the last factory installed
// is asked first: called once the peer's first editor exists, before any is shown.
inline void InstallPlainPeerAccessible()
{
    QAccessible::removeFactory(PlainPeerAccessible);
    QAccessible::installFactory(PlainPeerAccessible);
}

// After the application object, before the peer's editors are made: one editor is made
// here so that the plain factory comes after the peer's. Says whether it took.
inline void RunPeerWithoutAccessibilityUpdates()
{
    QsciScintilla first;
    InstallPlainPeerAccessible();
    QsciScintilla probe;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&probe);
    const bool plain = face != nullptr && face->textInterface() == nullptr;
    std::printf("peer: %s; accessibility %s\n",
                plain ? "without its accessibility updates (a plain accessible interface, no change notices)"
                      : "WITH its accessibility updates (the plain interface did not take)",
                QAccessible::isActive() ? "active" : "not active");
    // Ours handles text as 8-bit bytes; the peer does so with setUtf8(false). Its default
    // differs between builds (Debian's takes UTF-8), so the run says which it is.
    std::printf("peer: a new editor takes text as %s\n",
                probe.isUtf8() ? "UTF-8 (setUtf8(true))" : "8-bit bytes (setUtf8(false))");
}

// Second, for each of the peer's editors: the plain interface alone does not spare the cost,
// which sits in the peer's handling of the change notices its core sends its Qt layer and
// grows with the offset of the change, whatever the interface and even with accessibility
// not active (about 50 ms a change 7 MB into the text, 0.04 ms without the notices).
// Nothing the benchmarks time needs those notices: painting, undo, styling and searching do
// without them.
inline void KeepFromAccessibilityUpdates(QsciScintilla& Editor)
{
    Editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
}

// A window paints only once the X server has shown it: handles events until every shown
// top-level window is, or 5 s have passed.
inline void WaitUntilShown()
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        bool shown = true;
        for (QWindow* window : QGuiApplication::topLevelWindows())
            if (window->isVisible() && !window->isExposed())
                shown = false;
        if (shown)
            return;
        if (timer.elapsed() > 5000) {
            std::fprintf(stderr, "a window was never shown by the X server\n");
            return;
        }
    }
}

// The peer's PHP lexer in PHP mode from the first line on, as our PHP highlighter takes
// every line as PHP, with the PHP styles, colours and keywords of its page lexer (both
// lexers number their styles alike).
class TPeerPhpLexer : public QsciLexerHTML {
public:
    using QsciLexerHTML::QsciLexerHTML;
    const char* lexer() const override { return "phpscript"; }
};

// Makes the 100 MB file of the corpus's PHP when it is not there yet, so that any benchmark
// can run first; false, with the reason on the error stream, when it could not be made.
inline bool BenchPhpFileReady()
{
    MakeCorpusFile(BenchPhpFile, 100u * 1024u * 1024u);
    if (std::filesystem::exists(BenchPhpFile))
        return true;
    std::cerr << BenchPhpFile << " could not be made\n";
    return false;
}
