// The searches an editor user makes, run as the editor runs them: line by line over the
// PHP files of the corpus, all matches of each line. Our engine beside PCRE2 (without
// JIT) and std::regex (ECMAScript) in the same run; prints each engine's time per pass,
// the match counts (which must agree with PCRE2's) and the ratios.
// Then, in the same run: searches over one 300 KB line of minified script and style with
// an embedded source map, beside PCRE2; the hostile expressions on 100 KB subjects (each
// ends with a result or at the step budget: time, steps and steps per second); and the
// compile time of long alternations.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "BenchCorpus.h"

#include "qvedit/search/QvRegex.h"

#include <benchmark/benchmark.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Pattern {
    const char* name;
    const char* expression;
    bool caseless;
};

const Pattern Patterns[] = {
    {"word", "function", false},
    {"function_name", "\\bfunction\\s+\\w+", false},
    {"variable", "\\$[a-z_]\\w*", false},
    {"tag", "<[^>]+>", false},
    {"array_call", "array\\(.*\\)", false},
    {"word_caseless", "wordpress", true},
    {"five_words", "return|echo|while|foreach|class", false},
};

// Every line of every .php file, without line ends, in path order.
const std::vector<std::string>& Lines()
{
    static const std::vector<std::string> lines = [] {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder()))
            if (entry.is_regular_file() && entry.path().extension() == ".php")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        std::vector<std::string> result;
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                result.push_back(std::move(line));
            }
        }
        std::printf("corpus: %zu files, %zu lines\n", files.size(), result.size());
        return result;
    }();
    return lines;
}

long SearchOursIn(const Pattern& p, const std::vector<std::string>& lines)
{
    TRegex re;
    re.SetExpression(p.expression);
    re.SetModifier(1, p.caseless);
    long count = 0;
    for (const std::string& line : lines)
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            ++count;
    return count;
}

long SearchPcreIn(const Pattern& p, const std::vector<std::string>& lines)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.expression), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL | (p.caseless ? PCRE2_CASELESS : 0), &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    long count = 0;
    for (const std::string& line : lines) {
        PCRE2_SIZE start = 0;
        while (start <= line.size() &&
               pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), start, 0, data, nullptr) >= 0) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
            ++count;
            start = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
        }
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

long SearchOurs(const Pattern& p) { return SearchOursIn(p, Lines()); }
long SearchPcre(const Pattern& p) { return SearchPcreIn(p, Lines()); }

long SearchStdOnThisThread(const Pattern& p)
{
    const std::regex re(p.expression, p.caseless ? std::regex::ECMAScript | std::regex::icase : std::regex::ECMAScript);
    long count = 0;
    for (const std::string& line : Lines())
        count += std::distance(std::sregex_iterator(line.begin(), line.end(), re), std::sregex_iterator());
    return count;
}

// std::regex recurses once per character of a '.*', which overflows an ordinary stack on
// the corpus's longest lines: it runs on a thread with a 1 GB stack.
long SearchStd(const Pattern& p)
{
    struct Job {
        const Pattern* pattern;
        long count;
    } job{&p, 0};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, std::size_t{1} << 30);
    pthread_t thread;
    pthread_create(&thread, &attr, [](void* arg) -> void* {
        auto* j = static_cast<Job*>(arg);
        j->count = SearchStdOnThisThread(*j->pattern);
        return nullptr;
    }, &job);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return job.count;
}

std::map<std::string, long> Counts;

void Register(const char* engine, long (*search)(const Pattern&))
{
    for (const Pattern& p : Patterns) {
        const std::string name = std::string(engine) + "/" + p.name;
        benchmark::RegisterBenchmark(name.c_str(), [&p, search, name](benchmark::State& state) {
            long count = 0;
            for (auto _ : state)
                benchmark::DoNotOptimize(count = search(p));
            Counts[name] = count;
        })->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
    }
}

// Keeps the time of every run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const
    {
        std::printf("\n%-16s %10s %10s %10s %12s %12s  %s\n", "pattern", "ours ms", "pcre2 ms", "std ms",
                    "ours/pcre2", "ours/std", "matches (ours, pcre2, std)");
        for (const Pattern& p : Patterns) {
            const auto at = [&](const char* engine) {
                const auto it = times_.find(std::string(engine) + "/" + p.name);
                return it == times_.end() ? 0.0 : it->second;
            };
            const auto count = [&](const char* engine) { return Counts[std::string(engine) + "/" + p.name]; };
            std::printf("%-16s %10.1f %10.1f %10.1f %12.2f %12.2f  %ld, %ld, %ld\n", p.name, at("ours"),
                        at("pcre2"), at("std"), at("ours") / at("pcre2"), at("ours") / at("std"), count("ours"),
                        count("pcre2"), count("std"));
        }
    }

private:
    std::map<std::string, double> times_;
};

// ---- Minified text, hostile expressions, compile time --------------------------------------

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of a few runs, in milliseconds.
double BestMs(const std::function<void()>& work, int runs = 3)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, Seconds(work) * 1000.0);
    return best;
}

std::string Base64(const std::string& bytes)
{
    static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out += Digits[(v >> shift) & 63];
    }
    return out;
}

// One line of about 300 KB as a bundler writes it: the corpus's minified scripts and
// styles joined, ending with an embedded base64 source map.
const std::string& MinifiedLine()
{
    static const std::string line = [] {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && (name.ends_with(".min.js") || name.ends_with(".min.css")))
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        std::string text;
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::string part((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::replace(part.begin(), part.end(), '\n', ' ');
            std::replace(part.begin(), part.end(), '\r', ' ');
            text += part;
            if (text.size() >= 240'000)
                break;
        }
        text.resize(240'000);
        return text + "//# sourceMappingURL=data:application/json;charset=utf-8;base64," + Base64(text.substr(0, 45'000));
    }();
    return line;
}

const Pattern MinifiedPatterns[] = {
    {"list", "(\\w+,\\s*){2,4}\\w+", false},
    {"dotted_lazy", "(\\w+\\.){1,3}?\\w+", false},
    {"attributes", "(\\s*\\w+\\s*=\\s*\"[^\"]*\")+", false},
    {"dotted_list", "((\\w+)(\\.\\w+)*\\s*,\\s*){2,}", false},
    {"word_commas", "(\\w+,)+", false},
};

void PrintMinifiedTable()
{
    const std::vector<std::string> lines{MinifiedLine()};
    std::printf("\nminified line: %zu bytes, all matches\n%-16s %10s %10s %8s  %s\n", lines[0].size(), "pattern",
                "ours ms", "pcre2 ms", "ratio", "matches (ours, pcre2)");
    for (const Pattern& p : MinifiedPatterns) {
        long ours = 0;
        long pcre = 0;
        const double oursMs = BestMs([&] {
            try {
                ours = SearchOursIn(p, lines);
            } catch (const ERegex& e) {
                ours = -e.ErrorCode();  // shown as the negated error code
            }
        });
        const double pcreMs = BestMs([&] { pcre = SearchPcreIn(p, lines); });
        std::printf("%-16s %10.2f %10.2f %8.2f  %ld, %ld\n", p.name, oursMs, pcreMs, oursMs / pcreMs, ours, pcre);
    }
}

struct Hostile {
    const char* expression;
    std::string (*subject)(std::size_t n);
};

std::string Repeat(const std::string& unit, std::size_t n)
{
    std::string text;
    while (text.size() < n)
        text += unit;
    return text.substr(0, n);
}

const Hostile HostileCases[] = {
    {"(a+)\\1c", [](std::size_t n) { return Repeat("a", n) + "!c"; }},
    {"(?i)(a+)\\1c", [](std::size_t n) { return Repeat("aA", n) + "!c"; }},
    {"(a+)+b", [](std::size_t n) { return Repeat("a", n) + "!b"; }},
    {"(x+x+)+y", [](std::size_t n) { return Repeat("x", n) + "!y"; }},
    {"(\\w+\\s?)+$", [](std::size_t n) { return Repeat("a", n) + "!"; }},
    {"(.*?,){11}P", [](std::size_t n) { return "P" + Repeat("1,", n); }},
    {"(a*)(\\1)*b", [](std::size_t n) { return Repeat("a", n) + "!b"; }},
    {"(a|aa)*b", [](std::size_t n) { return Repeat("a", n) + "!b"; }},
    {"(\\w+)*\\d", [](std::size_t n) { return Repeat("w", n); }},
    {"x.*\\d", [](std::size_t n) { return Repeat("x", n); }},
    {"(.*z|a)*[!?]", [](std::size_t n) { return Repeat("a", n); }},
    {"(a?)(\\1){99999999}b", [](std::size_t n) { return "b" + Repeat("a", n); }},
};

// Runs one hostile search; returns its time in milliseconds.
double RunHostile(const Hostile& h, std::size_t size, std::string& outcome, long& steps)
{
    const std::string subject = h.subject(size);
    TRegex re;
    re.SetExpression(h.expression);
    re.Compile();
    const double ms = Seconds([&] {
        try {
            outcome = re.Exec(subject) ? "match" : "no match";
        } catch (const ERegex& e) {
            outcome = "error " + std::to_string(e.ErrorCode());
        }
    }) * 1000.0;
    steps = re.StepsUsed();
    return ms;
}

void PrintHostileTable()
{
    std::printf("\nhostile expressions, bound %.1f s of processor time\n%-24s %-10s %12s %10s %10s %10s\n",
                static_cast<double>(TRegex::SearchTime) / 1e9,
                "expression", "outcome", "steps", "100KB ms", "Msteps/s", "1MB ms");
    double worst100K = 0;
    double worst1M = 0;
    double slowestRate = 1e30;
    for (const Hostile& h : HostileCases) {
        std::string outcome;
        std::string outcome1M;
        long steps = 0;
        long steps1M = 0;
        const double ms = RunHostile(h, 100'000, outcome, steps);
        const double ms1M = RunHostile(h, 1'000'000, outcome1M, steps1M);
        const double rate = static_cast<double>(steps) / ms / 1000.0;
        worst100K = std::max(worst100K, ms);
        worst1M = std::max(worst1M, ms1M);
        if (outcome.rfind("error", 0) == 0)
            slowestRate = std::min(slowestRate, rate);
        std::printf("%-24s %-10s %12ld %10.1f %10.1f %10.1f\n", h.expression, outcome.c_str(), steps, ms, rate, ms1M);
    }
    std::printf("worst time: %.1f ms at 100 KB, %.1f ms at 1 MB; slowest rate of a search that reached "
                "its bound: %.1f Msteps/s\n",
                worst100K, worst1M, slowestRate);
}

void PrintCompileTimes()
{
    std::printf("\ncompiling 'ab|ab|...'\n");
    for (const std::size_t size : {50'000, 100'000, 200'000}) {
        const std::string expression = Repeat("ab|", size - 2) + "ab";
        TRegex re;
        re.SetExpression(expression);
        std::printf("%7zu bytes: %8.2f ms\n", expression.size(), BestMs([&] { re.Compile(); }));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Lines();
    Register("ours", SearchOurs);
    Register("pcre2", SearchPcre);
    Register("std", SearchStd);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    PrintMinifiedTable();
    PrintHostileTable();
    PrintCompileTimes();
    benchmark::Shutdown();
    return 0;
}
