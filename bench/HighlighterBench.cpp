// The PHP highlighter against two syntax-highlighting programs, in the same run, on the
// PHP files of the benchmark corpus (./scripts/corpus.sh unpacks it). Our side scans every
// line as the editor does (the range of the line above, SetLine, Next until the end,
// reading each token's position, kind and attribute); the references are the programs
// `highlight` and `source-highlight`, each run once over all files, writing HTML into a
// temporary folder. A program that is not installed is skipped with a message.
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <benchmark/benchmark.h>

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
            c.Lines.push_back(SplitLines(text.str()));
            c.Bytes += static_cast<std::int64_t>(text.str().size());
        }
        return c;
    }();
    return corpus;
}

void BM_QvPHPHighlighter(benchmark::State& state)
{
    const TCorpus& corpus = Corpus();
    if (corpus.Paths.empty()) {
        state.SkipWithError("no corpus: run ./scripts/corpus.sh");
        return;
    }
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

// Runs `command` (with the output folder and the file list appended) once per iteration.
void RunProgram(benchmark::State& state, const std::string& program, const std::string& options)
{
    const TCorpus& corpus = Corpus();
    if (corpus.Paths.empty()) {
        state.SkipWithError("no corpus: run ./scripts/corpus.sh");
        return;
    }
    if (!ProgramInstalled(program)) {
        std::printf("%s is not installed: skipped (apt-get install %s)\n", program.c_str(),
                    program.c_str());
        state.SkipWithError((program + " not installed").c_str());
        return;
    }
    char pattern[] = "/tmp/qv-bench-XXXXXX";
    const std::string outDir = mkdtemp(pattern);
    std::string command = program + " " + options + Quoted(outDir);
    for (const std::string& path : corpus.Paths)
        command += " " + Quoted(path);
    command += " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError((program + " failed").c_str());
            break;
        }
    }
    std::filesystem::remove_all(outDir);
    state.SetBytesProcessed(state.iterations() * corpus.Bytes);
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
BENCHMARK(BM_HighlightProgram)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_SourceHighlightProgram)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

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
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ours = reporter.rates.find("BM_QvPHPHighlighter");
    if (ours == reporter.rates.end())
        return 0;
    std::printf("PHP highlighter: %.1f MB/s\n", ours->second / 1e6);
    double fastestReference = 0;
    for (const char* name : {"BM_HighlightProgram", "BM_SourceHighlightProgram"}) {
        const auto reference = reporter.rates.find(name);
        if (reference == reporter.rates.end() || reference->second <= 0)
            continue;
        std::printf("%s: %.2f MB/s, ours is %.1f times as fast\n", name, reference->second / 1e6,
                    ours->second / reference->second);
        fastestReference = std::max(fastestReference, reference->second);
    }
    if (fastestReference > 0)
        std::printf("Against the faster reference: %.1f times\n", ours->second / fastestReference);
    return 0;
}
