// Printing a 10,000-line PHP file to PDF with colours and line numbers, against the Qt
// port of an open editor component printing the same text through its own print support
// to PDF, in the same run. The text is the first 10,000 lines of the corpus's two largest
// PHP files (./scripts/corpus.sh unpacks it). Both sides print on the printer's default
// page size at 300 pixels per inch in a 10-point fixed font, wrapping long lines; the layout
// and the highlighting state are made on the first print and kept, on both sides.
#include "platform/runtime/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Printers.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/print/QvEditPrint.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFont>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLines = 10000;

std::string CorpusFolder()
{
    if (const char* env = std::getenv("QV_CORPUS"))
        return env;
    return QV_SOURCE_DIR "/bench/corpus/wordpress/usr/share/wordpress";
}

// The first kLines lines of the corpus's two largest files; empty without the corpus.
const std::vector<std::string>& Text()
{
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> result;
        for (const char* name : {"/wp-includes/functions.php", "/wp-includes/post.php"}) {
            std::ifstream in(CorpusFolder() + name, std::ios::binary);
            std::string line;
            while (static_cast<int>(result.size()) < kLines && std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                result.push_back(line);
            }
        }
        if (static_cast<int>(result.size()) < kLines)
            result.clear();
        return result;
    }();
    return lines;
}

std::string OutputPath(const char* name)
{
    return std::filesystem::temp_directory_path().string() + "/qv_printbench_" +
           std::to_string(::getpid()) + "_" + name + ".pdf";
}

void BM_QvEditPrint(benchmark::State& state)
{
    if (Text().empty()) {
        state.SkipWithError("no corpus: run ./scripts/corpus.sh");
        return;
    }
    const std::string path = OutputPath("ours");
    Printer()->SetPdfOutput(path);
    TStringList lines;
    for (const std::string& line : Text())
        lines.Add(line);
    TQvPHPHighlighter php(nullptr);
    TFont font;
    font.SetName("Courier New");
    font.SetSize(10);
    TQvEditPrint print(nullptr);
    print.SetFont(&font);
    print.SetLines(&lines);
    print.SetHighlighter(&php);
    print.SetColors(true);
    print.SetLineNumbers(true);
    const Integer pages = print.GetPageCount();
    for (auto _ : state)
        print.Print();
    Printer()->SetPdfOutput("");
    std::filesystem::remove(path);
    state.counters["pages"] = pages;
    state.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
}

// Counts the pages the peer draws.
class TCountingPrinter : public QsciPrinter {
public:
    void formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) override
    {
        if (drawing)
            ++Pages;
        QsciPrinter::formatPage(painter, drawing, area, pagenr);
    }
    int Pages = 0;
};

void BM_PeerPrint(benchmark::State& state)
{
    if (Text().empty()) {
        state.SkipWithError("no corpus: run ./scripts/corpus.sh");
        return;
    }
    std::string joined;
    for (const std::string& line : Text())
        joined += line + "\n";
    QsciScintilla editor;
    QsciLexerHTML lexer;
    const QFont font("Courier New", 10);
    lexer.setDefaultFont(font);
    lexer.setFont(font, -1);
    editor.setLexer(&lexer);
    editor.setText(QString::fromLatin1(joined.data(), static_cast<int>(joined.size())));
    editor.setMarginType(0, QsciScintilla::NumberMargin);
    editor.setMarginLineNumbers(0, true);
    editor.setMarginWidth(0, "000000");
    const std::string path = OutputPath("peer");
    TCountingPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setResolution(300);
    printer.setWrapMode(QsciScintilla::WrapWord);
    int pages = 0;
    for (auto _ : state) {
        printer.Pages = 0;
        if (!printer.printRange(&editor)) {
            state.SkipWithError("the peer could not print");
            break;
        }
        pages = printer.Pages;
    }
    std::filesystem::remove(path);
    state.counters["pages"] = pages;
    state.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_QvEditPrint)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();
BENCHMARK(BM_PeerPrint)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

// Keeps each side's time per print so that their ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            Seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e3;
            const auto rate = run.counters.find("pages_per_second");
            if (rate != run.counters.end())
                PagesPerSecond[run.run_name.function_name] = rate->second.value;
        }
    }
    std::map<std::string, double> Seconds;
    std::map<std::string, double> PagesPerSecond;
};

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ours = reporter.Seconds.find("BM_QvEditPrint");
    const auto peer = reporter.Seconds.find("BM_PeerPrint");
    if (ours == reporter.Seconds.end() || peer == reporter.Seconds.end() || peer->second <= 0)
        return 0;
    std::printf("Ours: %.3f s per print, %.1f pages/s\n", ours->second,
                reporter.PagesPerSecond["BM_QvEditPrint"]);
    std::printf("Peer: %.3f s per print, %.1f pages/s\n", peer->second,
                reporter.PagesPerSecond["BM_PeerPrint"]);
    std::printf("Time ratio ours/peer: %.2f\n", ours->second / peer->second);
    return 0;
}
