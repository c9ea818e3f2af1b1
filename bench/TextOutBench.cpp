// Cell-exact text output against Qt's own text drawing, in the same run: a screen of 50
// lines of 100 bytes onto a 1000x800 image, each line on a filled background. Our side
// draws every byte in its cell through ExtTextOutA with a distance array (as the editor
// paints); the reference fills the line and calls QPainter::drawText once per line.
#include "platform/graphics/GraphicsQt.h"
#include "platform/runtime/CodePages.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 50;
constexpr int kColumns = 100;
constexpr int kLineHeight = 16;

std::vector<std::string> ScreenText()
{
    const std::string source =
        "<?php function quorvel_render($items, $depth = 0) { foreach ($items as $key => $value) "
        "{ echo str_repeat(\"\\t\", $depth) . htmlspecialchars($key) . ': ' . $value . \"\\n\"; } "
        "return count($items); } // end of sample ?> ";
    std::vector<std::string> lines;
    for (int i = 0; i < kLines; ++i) {
        std::string line;
        while (static_cast<int>(line.size()) < kColumns)
            line += source.substr(static_cast<std::size_t>(i * 7) % source.size());
        line.resize(kColumns);
        lines.push_back(line);
    }
    return lines;
}

LOGFONTA EditorFont()
{
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = ANSI_CHARSET;
    std::strcpy(lf.lfFaceName, "Courier New");
    return lf;
}

void BM_ExtTextOutCells(benchmark::State& state)
{
    const std::vector<std::string> lines = ScreenText();
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    TDeviceContext dc(&image, TDeviceCaps{});
    const LOGFONTA lf = EditorFont();
    HFONT font = CreateFontIndirectA(&lf);
    SelectObject(&dc, font);
    SetBkColor(&dc, 0xFFF8F0);
    TEXTMETRICA tm{};
    GetTextMetricsA(&dc, &tm);
    const std::vector<int> dx(kColumns, tm.tmAveCharWidth);
    for (auto _ : state) {
        for (int i = 0; i < kLines; ++i) {
            const TRect r = Rect(0, i * kLineHeight, 1000, (i + 1) * kLineHeight);
            ExtTextOutA(&dc, 0, r.Top, ETO_OPAQUE | ETO_CLIPPED, &r, lines[i].data(), kColumns,
                        dx.data());
        }
        dc.EndPainting();  // flushes the frame, like the end of a paint event
        benchmark::DoNotOptimize(image.constBits());
    }
    SelectObject(&dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

void BM_QPainterDrawText(benchmark::State& state)
{
    const std::vector<std::string> lines = ScreenText();
    std::vector<QString> texts;
    for (const std::string& line : lines)
        texts.push_back(QString::fromLatin1(line.data(), static_cast<int>(line.size())));
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const LOGFONTA lf = EditorFont();
    TGdiFontData data(lf);  // the very face and size ExtTextOutA draws with
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(data.Font());
        painter.setPen(Qt::black);
        for (int i = 0; i < kLines; ++i) {
            painter.fillRect(QRect(0, i * kLineHeight, 1000, kLineHeight), QColor(0xF0, 0xF8, 0xFF));
            painter.drawText(QPointF(0, i * kLineHeight + data.Ascent()), texts[i]);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_ExtTextOutCells)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QPainterDrawText)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // One figure per benchmark: the single run's, or the mean over repetitions.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    SetAnsiCodePage(1252);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto ours = reporter.times.find("BM_ExtTextOutCells");
    const auto reference = reporter.times.find("BM_QPainterDrawText");
    if (ours != reporter.times.end() && reference != reporter.times.end() && reference->second > 0)
        std::printf("ExtTextOutA cells / QPainter::drawText per line: %.2f\n",
                    ours->second / reference->second);
    return 0;
}
