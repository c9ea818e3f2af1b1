// The peer's side of the main window's start-up benchmark, as a whole program: a minimal
// window around the Qt port of an open editor component with its HTML lexer and line
// numbers, in the size and editor font given, shown until it is stopped. Without the
// peer's accessibility updates, as the other editor benchmarks run it (bench/README.md);
// the text encoding is the peer's default.
//   PeerWindow WIDTH HEIGHT FONT-FAMILY FONT-PIXELS
#include "../EditorBenchSupport.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: PeerWindow WIDTH HEIGHT FONT-FAMILY FONT-PIXELS\n");
        return 2;
    }
    QApplication app(argc, argv);
    QsciLexerHTML lexer;  // outlives the window, whose editor uses it
    QMainWindow window;
    auto* editor = new QsciScintilla;
    InstallPlainPeerAccessible();
    KeepFromAccessibilityUpdates(*editor);
    QFont font(QString::fromLocal8Bit(argv[3]));
    font.setPixelSize(std::atoi(argv[4]));
    lexer.setDefaultFont(font);
    lexer.setFont(font);
    editor->setLexer(&lexer);
    editor->setMarginType(0, QsciScintilla::NumberMargin);
    editor->setMarginLineNumbers(0, true);
    window.setCentralWidget(editor);
    window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    return app.exec();
}
