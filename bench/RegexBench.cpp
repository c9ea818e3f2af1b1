// The searches an editor user makes, run as the editor runs them: line by line over the
// PHP files of the corpus, all matches of each line. Our engine beside PCRE2 (without
// JIT) and std::regex (ECMAScript) in the same run; prints each engine's time per pass,
// the match counts (which must agree with PCRE2's) and the ratios.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "BenchCorpus.h"

#include "qvedit/search/QvRegex.h"

#include <benchmark/benchmark.h>
#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
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

long SearchOurs(const Pattern& p)
{
    TRegex re;
    re.SetExpression(p.expression);
    re.SetModifier(1, p.caseless);
    long count = 0;
    for (const std::string& line : Lines())
        for (bool found = re.Exec(line); found; found = re.ExecNext())
            ++count;
    return count;
}

long SearchPcre(const Pattern& p)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.expression), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL | (p.caseless ? PCRE2_CASELESS : 0), &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    long count = 0;
    for (const std::string& line : Lines()) {
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
    benchmark::Shutdown();
    return 0;
}
