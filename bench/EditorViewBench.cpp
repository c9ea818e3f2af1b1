// Viewing a 100 MB file of real PHP lines in a 1,000 x 800 pixel editor with the PHP
// highlighter, ours beside the Qt port of the open editing component in the same run, both
// in the same fixed-pitch font and painted synchronously in real windows (every paint
// draws into the window's backing image and is sent to the X server):
//   open     load + full range scan + first paint, against the peer's read + set-text +
//            lexer + first paint (the peer's styling of the whole file alone is timed
//            after each open but the last, and printed beside them);
//   page     page down and its repaint: 1,000 pages, 5 in a row from each of 200 places
//            spread evenly over the file (the view is moved there and painted untimed
//            first), and 200 in a row from the top;
//   repaint  one full repaint of a screen of highlighted PHP in the middle of the file.
// Also prints the memory the line ranges take per line. The peer's lexer is its PHP
// lexer started in PHP mode, as our highlighter takes every line as PHP.
#include "EditorBenchSupport.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QEvent>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 800;
constexpr int FontSize = 10;
const char* const FontName = "DejaVu Sans Mono";
constexpr int Opens = 3;
// Page down: PagesPerPlace pages in a row from each of Places places over the file, and
// TopPages in a row from the top.
constexpr int Places = 200;
constexpr int PagesPerPlace = 5;
constexpr int TopPages = 200;
constexpr int Repaints = 200;
const std::string& SourceFile = BenchPhpFile;

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

double Mean(const std::vector<double>& Values)
{
    return std::accumulate(Values.begin(), Values.end(), 0.0) / static_cast<double>(Values.size());
}

std::size_t HeapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The phases of opening the file, in milliseconds.
struct TOpenTimes {
    double Load = 0;   // reading the file into the buffer
    double Scan = 0;   // highlighter ranges (ours) or attaching the lexer (the peer)
    double Paint = 0;  // the first paint
    double Total() const { return Load + Scan + Paint; }
};

// One side of the comparison: an editor window with the file open in it.
class TView {
public:
    virtual ~TView() = default;
    virtual int Lines() const = 0;  // the file's lines as our buffer counts them
    virtual int LinesOnPage() const = 0;
    virtual int TopLine() const = 0;    // 1-based
    virtual void JumpTo(int Line) = 0;  // 1-based, painted
    virtual void PageDown() = 0;        // painted
    virtual void RepaintAll() = 0;
    virtual int Paints() const = 0;
};

// ---- Ours ------------------------------------------------------------------------------------

class TOurView : public TView {
public:
    TOurView()
    {
        form_ = new TForm(nullptr);
        form_->SetBounds(0, 0, WindowWidth + 40, WindowHeight + 40);
        editor_ = new TQvEdit(form_);
        TFont font;
        font.SetName(FontName);
        font.SetSize(FontSize);
        editor_->SetFont(&font);
        editor_->SetBounds(0, 0, WindowWidth, WindowHeight);
        editor_->SetParent(form_);
        editor_->OnPaint = TPaintEvent(this, &TOurView::Painted);
        form_->Show();
        WaitUntilShown();
    }
    ~TOurView() override
    {
        delete form_;
    }

    TOpenTimes Open()
    {
        TOpenTimes times;
        auto start = TClock::now();
        editor_->GetLines()->LoadFromFile(SourceFile);
        times.Load = MsSince(start);
        const std::size_t heapBefore = HeapInUse();
        start = TClock::now();
        editor_->SetHighlighter(&highlighter_);
        times.Scan = MsSince(start);
        scanHeap_ = static_cast<double>(HeapInUse()) - static_cast<double>(heapBefore);
        start = TClock::now();
        editor_->Update();
        times.Paint = MsSince(start);
        return times;
    }
    // Heap bytes the range scan of the last Open allocated.
    double ScanHeap() const { return scanHeap_; }

    int Lines() const override { return editor_->GetLines()->Count(); }
    int LinesOnPage() const override { return editor_->GetLinesInWindow(); }
    int TopLine() const override { return editor_->GetTopLine(); }
    void JumpTo(int Line) override
    {
        editor_->SetCaretXY(TPoint{1, Line});
        editor_->SetTopLine(Line);
        editor_->Update();
    }
    void PageDown() override
    {
        editor_->CommandProcessor(ecPageDown, '\0', nullptr);
        editor_->Update();
    }
    void RepaintAll() override { editor_->Repaint(); }
    int Paints() const override { return paints_; }

private:
    void Painted(TObject*, TCanvas*) { ++paints_; }

    TQvPHPHighlighter highlighter_{nullptr};  // outlives the form, which is freed first
    TForm* form_ = nullptr;
    TQvEdit* editor_ = nullptr;
    int paints_ = 0;
    double scanHeap_ = 0;
};

// ---- The peer --------------------------------------------------------------------------------

// The peer's PHP lexer in PHP mode from the first line on, with the PHP styles, colours and
// keywords of its page lexer (both lexers number their styles alike).
class TPeerPhpLexer : public QsciLexerHTML {
public:
    using QsciLexerHTML::QsciLexerHTML;
    const char* lexer() const override { return "phpscript"; }
};

class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(Watched, Event);
    }
};

class TPeerView : public TView {
public:
    TPeerView()
    {
        KeepFromAccessibilityUpdates(editor_);
        editor_.setUtf8(false);
        editor_.setFont(QFont(FontName, FontSize));
        editor_.resize(WindowWidth, WindowHeight);
        editor_.viewport()->installEventFilter(&counter_);
        editor_.show();
        WaitUntilShown();
    }

    TOpenTimes Open()
    {
        TOpenTimes times;
        auto start = TClock::now();
        QFile file(QString::fromStdString(SourceFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::cerr << "cannot read " << SourceFile << "\n";
            std::exit(1);
        }
        const QByteArray bytes = file.readAll();
        editor_.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
        times.Load = MsSince(start);
        start = TClock::now();
        // Like ours: one face and size for every style, keywords in bold.
        const QFont font(FontName, FontSize);
        QFont bold = font;
        bold.setBold(true);
        lexer_.setDefaultFont(font);
        lexer_.setFont(font);
        lexer_.setFont(bold, QsciLexerHTML::PHPKeyword);
        editor_.setLexer(&lexer_);
        times.Scan = MsSince(start);
        start = TClock::now();
        editor_.viewport()->repaint();
        times.Paint = MsSince(start);
        return times;
    }
    // Styles the whole file at once, as our range scan covers it; returns milliseconds.
    double StyleAll()
    {
        const auto start = TClock::now();
        editor_.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        return MsSince(start);
    }

    // A file ending with a line end shows one more, empty, line in the peer.
    int Lines() const override
    {
        return editor_.lines() - (editor_.lineLength(editor_.lines() - 1) == 0 ? 1 : 0);
    }
    int LinesOnPage() const override
    {
        return static_cast<int>(editor_.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    }
    int TopLine() const override { return editor_.firstVisibleLine() + 1; }
    void JumpTo(int Line) override
    {
        editor_.setCursorPosition(Line - 1, 0);
        editor_.setFirstVisibleLine(Line - 1);
        editor_.viewport()->repaint();
    }
    void PageDown() override
    {
        editor_.SendScintilla(QsciScintillaBase::SCI_PAGEDOWN);
        editor_.viewport()->repaint();
    }
    void RepaintAll() override { editor_.viewport()->repaint(); }
    int Paints() const override { return counter_.Paints; }

private:
    // Both outlive the editor that uses them.
    TPaintCounter counter_;
    TPeerPhpLexer lexer_;
    QsciScintilla editor_;
};

// ---- Measuring -------------------------------------------------------------------------------

// Opens the file Opens times in fresh windows; returns the open with the median total and
// keeps the last window for the other figures. AfterOpen runs on every window but the kept
// one.
template <class View>
TOpenTimes MeasureOpens(const char* Name, std::unique_ptr<View>& Kept,
                        const std::function<void(View&)>& AfterOpen)
{
    std::vector<TOpenTimes> opens;
    for (int i = 0; i < Opens; ++i) {
        Kept.reset();
        Kept = std::make_unique<View>();
        opens.push_back(Kept->Open());
        const TOpenTimes& t = opens.back();
        std::printf("  %s open %d: %.0f ms (load %.0f, scan/lexer %.0f, first paint %.1f)\n", Name,
                    i + 1, t.Total(), t.Load, t.Scan, t.Paint);
        if (AfterOpen && i + 1 < Opens)
            AfterOpen(*Kept);
    }
    std::sort(opens.begin(), opens.end(),
              [](const TOpenTimes& a, const TOpenTimes& b) { return a.Total() < b.Total(); });
    return opens[opens.size() / 2];
}

struct TPageTimes {
    double MeanMs = 0;
    double MedianMs = 0;
};

// Times Pages page downs in a row from each of Places places spread evenly over the file
// (one place: the top). The view is moved to each place and painted untimed.
TPageTimes MeasurePages(const char* Name, TView& View, int Places, int Pages)
{
    const int page = View.LinesOnPage();
    const long long span = std::max(View.Lines() - (Pages + 1) * page, 1);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(Places) * Pages);
    int moved = 0;
    const int paintsBefore = View.Paints();
    for (int i = 0; i < Places; ++i) {
        View.JumpTo(static_cast<int>(1 + span * i / Places));
        const int top = View.TopLine();
        for (int k = 0; k < Pages; ++k) {
            const auto start = TClock::now();
            View.PageDown();
            times.push_back(MsSince(start));
        }
        moved += View.TopLine() - top;
    }
    std::printf("  %s: %d lines a page, %zu pages moved %d lines in all, %d paints\n", Name,
                page, times.size(), moved, View.Paints() - paintsBefore);
    return TPageTimes{Mean(times), Median(times)};
}

double MeasureRepaint(const char* Name, TView& View)
{
    View.JumpTo(View.Lines() / 2);
    std::vector<double> times;
    const int paintsBefore = View.Paints();
    for (int i = 0; i < Repaints; ++i) {
        const auto start = TClock::now();
        View.RepaintAll();
        times.push_back(MsSince(start));
    }
    std::printf("  %s: %d repaints from line %d, %d paints\n", Name, Repaints, View.TopLine(),
                View.Paints() - paintsBefore);
    return Median(times);
}

void PrintRatio(const char* What, double Ours, double Peer, const char* Unit)
{
    std::printf("%s: ours %.3f %s, peer %.3f %s, ratio (ours / peer) %.2f (aim: at most 1)\n", What,
                Ours, Unit, Peer, Unit, Ours / Peer);
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows while the figures are taken
    TBenchDisplay display;
    QApplication app(argc, argv);
    if (!BenchPhpFileReady())
        return 1;
    RunPeerWithoutAccessibilityUpdates();
    // "ours" or "peer" as the argument measures that side alone (for profiling).
    const std::string only = argc > 1 ? argv[1] : "";
    const bool doOurs = only != "peer";
    const bool doPeer = only != "ours";

    std::printf("open (median of %d):\n", Opens);
    std::unique_ptr<TOurView> ours;
    std::unique_ptr<TPeerView> peer;
    TOpenTimes ourOpen;
    TOpenTimes peerOpen;
    if (doOurs)
        ourOpen = MeasureOpens<TOurView>("ours", ours, {});
    if (doPeer)
        peerOpen = MeasureOpens<TPeerView>("peer", peer, [](TPeerView& view) {
            std::printf("  peer styling the whole file at once after that open: %.0f ms\n",
                        view.StyleAll());
        });

    std::printf("page down, %d pages in a row from each of %d places over the file:\n",
                PagesPerPlace, Places);
    TPageTimes ourPages;
    TPageTimes peerPages;
    if (doOurs)
        ourPages = MeasurePages("ours", *ours, Places, PagesPerPlace);
    if (doPeer)
        peerPages = MeasurePages("peer", *peer, Places, PagesPerPlace);
    std::printf("page down, %d pages in a row from the top:\n", TopPages);
    TPageTimes ourTopPages;
    TPageTimes peerTopPages;
    if (doOurs)
        ourTopPages = MeasurePages("ours", *ours, 1, TopPages);
    if (doPeer)
        peerTopPages = MeasurePages("peer", *peer, 1, TopPages);

    std::printf("full repaint of one screen (median of %d):\n", Repaints);
    double ourRepaint = 0;
    double peerRepaint = 0;
    if (doOurs)
        ourRepaint = MeasureRepaint("ours", *ours);
    if (doPeer)
        peerRepaint = MeasureRepaint("peer", *peer);

    if (doOurs) {
        const int lines = ours->Lines();
        std::printf("ranges: %zu bytes per line in each line's record; the scan of %d lines "
                    "allocated %.0f bytes (%.2f per line)\n",
                    sizeof(TQvEditStringRec::Range), lines, ours->ScanHeap(),
                    ours->ScanHeap() / lines);
    }
    if (!doOurs || !doPeer)
        return 0;
    std::printf("\n");
    PrintRatio("open", ourOpen.Total(), peerOpen.Total(), "ms");
    PrintRatio("page down over the file, time per page (mean)", ourPages.MeanMs, peerPages.MeanMs,
               "ms");
    PrintRatio("page down over the file, time per page (median)", ourPages.MedianMs,
               peerPages.MedianMs, "ms");
    PrintRatio("page down from the top, time per page (median)", ourTopPages.MedianMs,
               peerTopPages.MedianMs, "ms");
    PrintRatio("full repaint", ourRepaint, peerRepaint, "ms");
    return 0;
}
