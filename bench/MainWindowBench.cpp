// The main window against a minimal window around the Qt port of an open editor component
// (Debian's libqscintilla2-qt6-dev) with an HTML lexer, in the same run, the peer's window
// in the size of ours and its editor in our editor's font:
//   start-up: whole programs, from their start to the first paint of their window that the
//             X server shows (ProcessFirstPaint.h): our program `quorvel` against the
//             bench-only peer program (bench/peer/PeerWindow.cpp);
//   open:     inside this process, in a window made for it and painted once, a PHP file
//             through the window's open command (ours: the File Open handler with the
//             dialog's answer scripted; the peer: its own read from the file, its lexer
//             attached before) until the editor's next paint: a real 49 KB file of the
//             corpus in its own folder of 106 files, and the 100 MB file. The peer takes
//             the text in its default encoding, UTF-8.
// Both in real windows. Each is run several times after one warm-up, the two sides taking
// turns; the times, their medians and the ratio of the medians are printed.
#include "BenchCorpus.h"
#include "MainWindowOpen.h"
#include "ProcessFirstPaint.h"

#include <Qsci/qscilexerhtml.h>

#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

namespace {

const std::string& BigFile = BenchPhpFile;
// A real file of about 49 KB (49,526 bytes), opened where it lies.
const std::string SmallFile = "/usr/share/wordpress/wp-admin/includes/class-wp-plugins-list-table.php";
constexpr std::uintmax_t BigFileBytes = 100u * 1024u * 1024u;
constexpr int Runs = 7;

// Start-up, whole program to first paint; prints the painted window's size.
double StartUp(TProcessPaintWatch& Watch, const char* Side, const std::vector<std::string>& Program)
{
    const TFirstPaint paint = Watch.Run(Program, 30000);
    if (!paint.Painted) {
        std::cerr << Side << ": no paint of its window within 30 s\n";
        std::exit(1);
    }
    std::cout << "  " << Side << ": " << std::fixed << std::setprecision(1) << paint.Ms << " ms (window "
              << paint.Width << "x" << paint.Height << " mapped at " << paint.MappedMs << " ms)\n";
    return paint.Ms;
}

}  // namespace

int main(int argc, char** argv)
{
    TMainWindowBenchRun run(argc, argv);
    MakeCorpusFile(BigFile, BigFileBytes);
    const TWindowLook look = OurWindowLook();

    TProcessPaintWatch watch;
    if (!watch.Error().empty()) {
        std::cerr << "start-up cannot be timed: " << watch.Error() << "\n";
        return 1;
    }
    const std::vector<std::string> ourProgram{QV_PROGRAM};
    const std::vector<std::string> peerProgram{QV_PEER_WINDOW, std::to_string(look.Width),
                                               std::to_string(look.Height), look.Family,
                                               std::to_string(look.Pixels)};
    std::cout << "start-up, whole programs to the first paint the X server shows (the first of each "
                 "a warm-up):\n";
    Compare(
        "start-up to first paint", Runs, [&] { return StartUp(watch, "ours", ourProgram); },
        [&] { return StartUp(watch, "peer", peerProgram); });
    const std::string smallFile = CorpusFolder() + SmallFile;
    const auto html = [] { return static_cast<QsciLexer*>(new QsciLexerHTML); };
    Compare(
        "open 49 KB to first paint", Runs, [&] { return OurOpen(smallFile); },
        [&] { return PeerOpen(look, smallFile, html); });
    Compare(
        "open 100 MB to first paint", Runs, [&] { return OurOpen(BigFile); },
        [&] { return PeerOpen(look, BigFile, html); });
    return 0;
}
