// The PHP highlighter on the PHP files of the benchmark corpus (./scripts/corpus.sh unpacks
// it), compared like with like in two ways, in the same run:
//   in memory  our highlighter tokenises every line as the editor does (the range of the
//              line above, SetLine, Next until the end, reading each token's position,
//              kind and attribute) against the peer's PHP lexer (the Qt port of an open
//              editing component, in PHP mode as ours, 8-bit text) styling each file's
//              whole text; each side's input is ready beforehand in its own form (our lines
//              split, the peer's text set), nothing is read or written;
//   processes  whole programs, each started once over all files, reading them and writing
//              one HTML page of highlighted source per file into a temporary folder: ours is
//              this program run with --write-html (our text buffer loads each file, our
//              highlighter tokenises it, every token but blanks becomes a span of its
//              attribute's class), the references the programs `highlight` and
//              `source-highlight`.
// A program that is not installed is skipped with a message.
#include "EditorBenchSupport.h"
#include "platform/graphics/Colors.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TCorpus {
    std::vector<std::string> Paths;
    std::vector<std::string> Texts;
    std::vector<std::vector<std::string>> Lines;  // per file, split as the editor splits
    std::int64_t Bytes = 0;
};

std::string CorpusFolder()
{
    if (const char* env = std::getenv("QV_CORPUS"))
        return env;
    return QV_SOURCE_DIR "/bench/corpus/wordpress/usr/share/wordpress";
}

// Lines end at CR LF, LF or CR; a final line break does not start another line.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

const TCorpus& Corpus()
{
    static const TCorpus corpus = [] {
        TCorpus c;
        namespace fs = std::filesystem;
        std::error_code error;
        for (fs::recursive_directory_iterator it(CorpusFolder(), error), end; !error && it != end;
             it.increment(error)) {
            if (!it->is_regular_file() || it->path().extension() != ".php")
                continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            c.Paths.push_back(it->path().string());
            c.Texts.push_back(text.str());
            c.Lines.push_back(SplitLines(c.Texts.back()));
            c.Bytes += static_cast<std::int64_t>(c.Texts.back().size());
        }
        return c;
    }();
    return corpus;
}

bool CorpusReady(benchmark::State& state)
{
    if (!Corpus().Paths.empty())
        return true;
    state.SkipWithError("no corpus: run ./scripts/corpus.sh");
    return false;
}

// ---- In memory ---------------------------------------------------------------------------------

void BM_QvPHPHighlighter(benchmark::State& state)
{
    if (!CorpusReady(state))
        return;
    const TCorpus& corpus = Corpus();
    TQvPHPHighlighter highlighter(nullptr);
    std::int64_t tokens = 0;
    for (auto _ : state) {
        for (const std::vector<std::string>& file : corpus.Lines) {
            highlighter.ResetRange();
            for (std::size_t i = 0; i < file.size(); ++i) {
                highlighter.SetLine(file[i], static_cast<Integer>(i));
                while (!highlighter.GetEol()) {
                    benchmark::DoNotOptimize(highlighter.GetTokenPos());
                    benchmark::DoNotOptimize(highlighter.GetTokenKind());
                    benchmark::DoNotOptimize(highlighter.GetTokenAttribute());
                    ++tokens;
                    highlighter.Next();
                }
                highlighter.SetRange(highlighter.GetRange());
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
    state.counters["files"] = static_cast<double>(corpus.Paths.size());
    state.counters["tokens/iter"] =
        static_cast<double>(tokens) / static_cast<double>(state.iterations());
}

// The peer's lexer styles each file's text from the first byte to the last; setting the
// text is not timed.
void BM_PeerPhpLexer(benchmark::State& state)
{
    if (!CorpusReady(state))
        return;
    const TCorpus& corpus = Corpus();
    TPeerPhpLexer lexer;
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    editor.setLexer(&lexer);
    std::int64_t styled = 0;
    for (auto _ : state) {
        for (const std::string& text : corpus.Texts) {
            state.PauseTiming();
            editor.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
            editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, text.size(), text.data());
            state.ResumeTiming();
            editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
            styled += editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
        }
    }
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
    state.counters["styled/iter"] = static_cast<double>(styled) / static_cast<double>(state.iterations());
}

// ---- Whole processes ---------------------------------------------------------------------------

std::string Html(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (char c : Text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The CSS of an attribute: its foreground as #RRGGBB where it is a plain colour, bold and
// italic.
std::string Css(const TQvHighlighterAttributes& Attribute)
{
    std::string css;
    const TColor color = Attribute.GetForeground();
    if ((static_cast<unsigned>(color) & 0xFF000000u) == 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "color:#%02x%02x%02x;", color & 0xFF, (color >> 8) & 0xFF,
                      (color >> 16) & 0xFF);
        css += hex;
    }
    if (Attribute.GetStyle().Contains(fsBold))
        css += "font-weight:bold;";
    if (Attribute.GetStyle().Contains(fsItalic))
        css += "font-style:italic;";
    return css;
}

bool Blank(const std::string& Token)
{
    return Token.find_first_not_of(" \t") == std::string::npos;
}

// Our side of the process figures: each file loaded by the text buffer, tokenised line by
// line with the ranges carried, and written as Folder/NAME.html: a style sheet with a class
// per attribute, then every token but blanks in a span of its attribute's class.
int WriteHtml(const std::string& Folder, const std::vector<std::string>& Files)
{
    TQvPHPHighlighter highlighter(nullptr);
    std::map<const TQvHighlighterAttributes*, std::string> classes;
    std::string styles;
    for (Integer i = 0; i < highlighter.GetAttribCount(); ++i) {
        const TQvHighlighterAttributes* attribute = highlighter.GetAttribute(i);
        classes[attribute] = "a" + std::to_string(i);
        styles += ".a" + std::to_string(i) + "{" + Css(*attribute) + "}\n";
    }
    TQvEditStringList lines;
    for (const std::string& path : Files) {
        try {
            lines.LoadFromFile(path);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.what());
            return 1;
        }
        std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"ISO-8859-1\">\n<title>" + Html(path) +
                           "</title>\n<style>\n" + styles + "</style>\n</head>\n<body>\n<pre>";
        highlighter.ResetRange();
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines.Get(i);
            highlighter.SetLine(line, i);
            while (!highlighter.GetEol()) {
                const std::string token = highlighter.GetToken();
                const auto named = classes.find(highlighter.GetTokenAttribute());
                if (named == classes.end() || Blank(token))
                    page += Html(token);
                else
                    page += "<span class=\"" + named->second + "\">" + Html(token) + "</span>";
                highlighter.Next();
            }
            highlighter.SetRange(highlighter.GetRange());
            page += '\n';
        }
        page += "</pre>\n</body>\n</html>\n";
        const std::string target = Folder + "/" + std::filesystem::path(path).filename().string() + ".html";
        std::ofstream out(target, std::ios::binary);
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "%s: cannot write\n", target.c_str());
            return 1;
        }
    }
    return 0;
}

std::string Quoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool ProgramInstalled(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs `Program Options OUTPUT-FOLDER FILE...` once per iteration.
void RunProgram(benchmark::State& state, const std::string& Program, const std::string& Options)
{
    if (!CorpusReady(state))
        return;
    if (!ProgramInstalled(Program)) {
        std::printf("%s is not installed: skipped (apt-get install %s)\n", Program.c_str(),
                    Program.c_str());
        state.SkipWithError((Program + " not installed").c_str());
        return;
    }
    const TCorpus& corpus = Corpus();
    char pattern[] = "/tmp/qv-bench-XXXXXX";
    const std::string outDir = mkdtemp(pattern);
    std::string command = Quoted(Program) + " " + Options + Quoted(outDir);
    for (const std::string& path : corpus.Paths)
        command += " " + Quoted(path);
    command += " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError((Program + " failed").c_str());
            break;
        }
    }
    std::uintmax_t written = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(outDir))
        if (entry.is_regular_file())
            written += entry.file_size();
    std::filesystem::remove_all(outDir);
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
    state.counters["written MB"] = static_cast<double>(written) / 1e6;
}

void BM_QvPhpToHtmlProgram(benchmark::State& state)
{
    RunProgram(state, std::filesystem::read_symlink("/proc/self/exe").string(), "--write-html ");
}

void BM_HighlightProgram(benchmark::State& state)
{
    RunProgram(state, "highlight", "-S php -O html -q -d ");
}

void BM_SourceHighlightProgram(benchmark::State& state)
{
    RunProgram(state, "source-highlight", "-s php -f html -q --output-dir=");
}

BENCHMARK(BM_QvPHPHighlighter)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PeerPhpLexer)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_QvPhpToHtmlProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HighlightProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SourceHighlightProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Keeps each benchmark's bytes per second so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end())
                rates[run.run_name.function_name] = rate->second.value;
        }
    }
    // Prints Ours's rate against Reference's, where both ran.
    void PrintRatio(const char* Ours, const char* Reference) const
    {
        const auto ours = rates.find(Ours);
        const auto reference = rates.find(Reference);
        if (ours == rates.end() || reference == rates.end() || reference->second <= 0)
            return;
        std::printf("%s %.2f MB/s against %s %.2f MB/s: ours is %.2f times as fast\n", Ours,
                    ours->second / 1e6, Reference, reference->second / 1e6, ours->second / reference->second);
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--write-html")
        return WriteHtml(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    // The peer's editor is a widget, never shown here.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("in memory:\n");
    reporter.PrintRatio("BM_QvPHPHighlighter", "BM_PeerPhpLexer");
    std::printf("whole processes writing HTML:\n");
    reporter.PrintRatio("BM_QvPhpToHtmlProgram", "BM_HighlightProgram");
    reporter.PrintRatio("BM_QvPhpToHtmlProgram", "BM_SourceHighlightProgram");
    return 0;
}
