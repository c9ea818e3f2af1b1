// What the editor benchmarks share: a real window (Qt's xcb platform on an X server, a
// virtual one started for the run when there is no display), the peer configured as its
// users run it, and the 100 MB file of real PHP lines that TextBufferBench writes from the
// corpus.
#pragma once

#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWindow>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

extern char** environ;

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
        } else if (StartXvfb()) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            setenv("DISPLAY", (":" + std::to_string(display_)).c_str(), 1);
            platform_ = "xcb on a virtual X server started for the run (Xvfb :" + std::to_string(display_) + ")";
        } else {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            platform_ = "offscreen: NO X SERVER COULD START (Xvfb missing or failing), so these are not "
                        "real-window figures";
        }
        Announce();
    }
    ~TBenchDisplay()
    {
        if (server_ == 0)
            return;
        ::kill(server_, SIGTERM);
        ::waitpid(server_, nullptr, 0);
    }
    TBenchDisplay(const TBenchDisplay&) = delete;
    TBenchDisplay& operator=(const TBenchDisplay&) = delete;

private:
    void Announce() const { std::printf("windows: %s\n", platform_.c_str()); }

    // Xvfb on a free display, which it names on a pipe once it accepts clients.
    bool StartXvfb()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // The read end first: it may be descriptor 3 itself.
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        const char* args[] = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24", nullptr};
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(args), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c = 0;
        while (failed == 0 && ::poll(&ready, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (failed != 0)
            return false;
        if (number.empty()) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            return false;
        }
        server_ = pid;
        display_ = std::atoi(number.c_str());
        return true;
    }

    std::string platform_;
    pid_t server_ = 0;
    int display_ = 0;
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

// After the application object, before the peer's editors are made. The peer installs its
// own factory with its first editor, and the last factory installed is asked first: one
// editor is made here so that the plain one comes after it. Says whether it took.
inline void RunPeerWithoutAccessibilityUpdates()
{
    QsciScintilla first;
    QAccessible::removeFactory(PlainPeerAccessible);
    QAccessible::installFactory(PlainPeerAccessible);
    QsciScintilla probe;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&probe);
    const bool plain = face != nullptr && face->textInterface() == nullptr;
    std::printf("peer: %s; accessibility %s\n",
                plain ? "without its accessibility updates (a plain accessible interface, no change notices)"
                      : "WITH its accessibility updates (the plain interface did not take)",
                QAccessible::isActive() ? "active" : "not active");
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

// False, with the reason on the error stream, when the file is not there yet.
inline bool BenchPhpFileReady()
{
    if (std::filesystem::exists(BenchPhpFile))
        return true;
    std::cerr << BenchPhpFile << " is missing: run TextBufferBench first, which writes it\n";
    return false;
}
