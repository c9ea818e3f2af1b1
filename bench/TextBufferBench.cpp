// Loading and saving a 100 MB file of real PHP lines through the text buffer, beside
// `wc -l` reading and `cp` writing the same file in the same run. Prints MB/s of each,
// the ratios, and the buffer's memory per line beyond the text itself.
#include "BenchCorpus.h"

#include "qvedit/core/QvEditTextBuffer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t TargetBytes = 100u * 1024u * 1024u;
const std::string SourceFile = "/tmp/qv-textbuffer-bench.php";
const std::string CopyTarget = "/tmp/qv-textbuffer-bench-cp.php";
const std::string SaveTarget = "/tmp/qv-textbuffer-bench-save.php";

void MakeSourceFile()
{
    MakeCorpusFile(SourceFile, TargetBytes);
}

double MegaBytes()
{
    return static_cast<double>(fs::file_size(SourceFile)) / (1024.0 * 1024.0);
}

void RunShell(benchmark::State& state, const std::string& command)
{
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError(("failed: " + command).c_str());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(SourceFile)));
}

void BM_WcLines(benchmark::State& state)
{
    RunShell(state, "wc -l < " + SourceFile + " > /dev/null");
}

// The buffer is made and freed outside the timed part: loading is measured.
void BM_Load(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TQvEditStringList>();
        state.ResumeTiming();
        list->LoadFromFile(SourceFile);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(SourceFile)));
}

// Reading the whole file into freshly allocated memory: the part of loading that no
// way of splitting lines can avoid.
void BM_ReadIntoMemory(benchmark::State& state)
{
    for (auto _ : state) {
        std::ifstream in(SourceFile, std::ios::binary);
        auto size = static_cast<std::size_t>(fs::file_size(SourceFile));
        std::unique_ptr<char[]> bytes(new char[size]);
        in.read(bytes.get(), static_cast<std::streamsize>(size));
        benchmark::DoNotOptimize(bytes.get());
        state.PauseTiming();
        bytes.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(SourceFile)));
}

void BM_Copy(benchmark::State& state)
{
    RunShell(state, "cp " + SourceFile + " " + CopyTarget);
}

void BM_Save(benchmark::State& state)
{
    TQvEditStringList list;
    list.LoadFromFile(SourceFile);
    for (auto _ : state)
        list.SaveToFile(SaveTarget);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(SourceFile)));
}

BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadIntoMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Keeps the real time per iteration of every benchmark for the ratios.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

std::size_t HeapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes the loaded buffer holds per line beyond the bytes of the lines' text.
void ReportMemoryPerLine()
{
    std::size_t before = HeapInUse();
    TQvEditStringList list;
    list.LoadFromFile(SourceFile);
    std::size_t after = HeapInUse();
    std::size_t textBytes = 0;
    for (int i = 0; i < list.Count(); ++i)
        textBytes += list.Strings(i).size();
    double perLine = (static_cast<double>(after) - static_cast<double>(before) -
                      static_cast<double>(textBytes)) /
                     list.Count();
    std::printf("lines: %d, text bytes: %zu, heap for the buffer: %zu bytes\n", list.Count(),
                textBytes, after - before);
    std::printf("memory per line beyond the text: %.1f bytes (aim: at most 48)\n", perLine);
}

}  // namespace

int main(int argc, char** argv)
{
    MakeSourceFile();
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Benchmark names carry their options ("BM_Load/min_time:2.000/real_time").
    auto seconds = [&](const std::string& name) {
        for (const auto& [key, value] : reporter.seconds)
            if (key.rfind(name + "/", 0) == 0 || key == name)
                return value;
        return 0.0;
    };
    double mb = MegaBytes();
    std::printf("\nfile: %s, %.1f MB\n", SourceFile.c_str(), mb);
    std::printf("wc -l: %.0f MB/s, load: %.0f MB/s, load takes %.2f x wc -l (aim: at most 5)\n",
                mb / seconds("BM_WcLines"), mb / seconds("BM_Load"),
                seconds("BM_Load") / seconds("BM_WcLines"));
    std::printf("reading the file into fresh memory alone: %.0f MB/s, %.2f x wc -l\n",
                mb / seconds("BM_ReadIntoMemory"),
                seconds("BM_ReadIntoMemory") / seconds("BM_WcLines"));
    std::printf("cp: %.0f MB/s, save: %.0f MB/s, save takes %.2f x cp (aim: at most 3)\n",
                mb / seconds("BM_Copy"), mb / seconds("BM_Save"),
                seconds("BM_Save") / seconds("BM_Copy"));
    ReportMemoryPerLine();
    std::remove(CopyTarget.c_str());
    std::remove(SaveTarget.c_str());
    benchmark::Shutdown();
    return 0;
}
