// Viewing a 100 MB file of real PHP lines in a 1,000 x 800 pixel editor with the PHP
// highlighter (ours as the program runs it: the main window's editing options and the
// highlighter the program gives a .php file), ours beside the Qt port of the open editing component in the same run, both
// in the same fixed-pitch font and painted synchronously in real windows (every paint
// draws into the window's backing image and is sent to the X server):
//   open     as each program opens a file: ours loads without a highlighter, scans the
//            ranges of every line when the PHP highlighter is set, and paints; the peer,
//            its lexer attached when the window was made, reads, sets its text and paints,
//            styling in that paint only what it shows;
//   page     page down and its repaint: 1,000 pages, 5 in a row from each of 200 places
//            spread evenly over the file (the view is moved there and painted untimed
//            first: the peer styles the text up to each place then, and the time of those
//            moves is printed apart), and 200 in a row from the top;
//   repaint  one full repaint of a screen of highlighted PHP in the middle of the file: each
//            editor's whole view (ours: its client widget; the peer: its viewport).
// Also prints the memory the line ranges take per line. The peer's lexer is its PHP
// lexer started in PHP mode, as our highlighter takes every line as PHP; the peer takes
// the text as 8-bit bytes (setUtf8(false)), as ours does.
#include "EditorBenchSupport.h"
#include "ProgramConfiguration.h"
#include "platform/window/ControlsQt.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"

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
    double Scan = 0;   // highlighter ranges (ours; the peer styles within its paint)
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
        ApplyEditingSettings(*editor_);
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
        TQvCustomHighlighter* highlighter = program_.ForFile(SourceFile);
        auto start = TClock::now();
        editor_->GetLines()->LoadFromFile(SourceFile);
        times.Load = MsSince(start);
        const std::size_t heapBefore = HeapInUse();
        start = TClock::now();
        editor_->SetHighlighter(highlighter);
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
    void RepaintAll() override { editor_->Window()->Client()->repaint(); }
    int Paints() const override { return paints_; }

private:
    void Painted(TObject*, TCanvas*) { ++paints_; }

    TProgramConfiguration program_;  // its highlighters outlive the form, which is freed first
    TForm* form_ = nullptr;
    TQvEdit* editor_ = nullptr;
    int paints_ = 0;
    double scanHeap_ = 0;
};

// ---- The peer --------------------------------------------------------------------------------

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
        // Like ours: one face and size for every style, keywords in bold. The lexer is
        // attached before there is text, as a program using the peer sets up its editor.
        const QFont font(FontName, FontSize);
        QFont bold = font;
        bold.setBold(true);
        lexer_.setDefaultFont(font);
        lexer_.setFont(font);
        lexer_.setFont(bold, QsciLexerHTML::PHPKeyword);
        editor_.setLexer(&lexer_);
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
        editor_.viewport()->repaint();
        times.Paint = MsSince(start);
        return times;
    }
    // How far from the top the peer's lexer has styled the text, in bytes, of its length.
    void PrintStyled(const char* When) const
    {
        std::printf("  peer %s: styled %ld of %ld bytes\n", When,
                    editor_.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED),
                    editor_.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
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

// Opens the file in a fresh window, which is kept for the other figures; adds the times to
// Opens.
template <class View>
void MeasureOpen(const char* Name, std::unique_ptr<View>& Kept, std::vector<TOpenTimes>& Opens)
{
    Kept.reset();
    Kept = std::make_unique<View>();
    Opens.push_back(Kept->Open());
    const TOpenTimes& t = Opens.back();
    std::printf("  %s open %zu: %.0f ms (load %.0f, range scan %.0f, first paint %.1f)\n", Name,
                Opens.size(), t.Total(), t.Load, t.Scan, t.Paint);
}

TOpenTimes MedianOpen(std::vector<TOpenTimes> Opens)
{
    std::sort(Opens.begin(), Opens.end(),
              [](const TOpenTimes& a, const TOpenTimes& b) { return a.Total() < b.Total(); });
    return Opens[Opens.size() / 2];
}

struct TPageTimes {
    double MeanMs = 0;
    double MedianMs = 0;
    double MovesMs = 0;  // moving to the places, untimed in the figures above
    // The program's page down moves half a page and the peer's a whole one: per line moved
    // the two sides' work compares like with like.
    double MsPerHundredLines = 0;
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
    double moves = 0;
    const int paintsBefore = View.Paints();
    for (int i = 0; i < Places; ++i) {
        const auto moveStart = TClock::now();
        View.JumpTo(static_cast<int>(1 + span * i / Places));
        moves += MsSince(moveStart);
        const int top = View.TopLine();
        for (int k = 0; k < Pages; ++k) {
            const auto start = TClock::now();
            View.PageDown();
            times.push_back(MsSince(start));
        }
        moved += View.TopLine() - top;
    }
    std::printf("  %s: %d lines a page, %zu pages moved %d lines in all, %d paints; moving to "
                "the %d places took %.0f ms in all\n",
                Name, page, times.size(), moved, View.Paints() - paintsBefore, Places, moves);
    const double all = Mean(times) * static_cast<double>(times.size());
    return TPageTimes{Mean(times), Median(times), moves, moved > 0 ? all * 100 / moved : 0};
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
    Application->Initialize();
    if (!BenchPhpFileReady())
        return 1;
    RunPeerWithoutAccessibilityUpdates();
    // "ours" or "peer" as the argument measures that side alone (for profiling).
    const std::string only = argc > 1 ? argv[1] : "";
    const bool doOurs = only != "peer";
    const bool doPeer = only != "ours";

    // The sides take turns, so that both meet the same load of a shared machine.
    std::printf("open (median of %d):\n", Opens);
    std::unique_ptr<TOurView> ours;
    std::unique_ptr<TPeerView> peer;
    std::vector<TOpenTimes> ourOpens;
    std::vector<TOpenTimes> peerOpens;
    for (int i = 0; i < Opens; ++i) {
        if (doOurs)
            MeasureOpen<TOurView>("ours", ours, ourOpens);
        if (doPeer) {
            MeasureOpen<TPeerView>("peer", peer, peerOpens);
            peer->PrintStyled("after the open");
        }
    }
    const TOpenTimes ourOpen = doOurs ? MedianOpen(ourOpens) : TOpenTimes{};
    const TOpenTimes peerOpen = doPeer ? MedianOpen(peerOpens) : TOpenTimes{};

    std::printf("page down, %d pages in a row from each of %d places over the file:\n",
                PagesPerPlace, Places);
    TPageTimes ourPages;
    TPageTimes peerPages;
    if (doOurs)
        ourPages = MeasurePages("ours", *ours, Places, PagesPerPlace);
    if (doPeer) {
        peerPages = MeasurePages("peer", *peer, Places, PagesPerPlace);
        peer->PrintStyled("after them");
    }
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
    PrintRatio("page down over the file, time per 100 lines moved", ourPages.MsPerHundredLines,
               peerPages.MsPerHundredLines, "ms");
    PrintRatio("page down from the top, time per page (median)", ourTopPages.MedianMs,
               peerTopPages.MedianMs, "ms");
    PrintRatio("moving to the places over the file, in all (the peer styling up to each)",
               ourPages.MovesMs, peerPages.MovesMs, "ms");
    PrintRatio("full repaint", ourRepaint, peerRepaint, "ms");
    return 0;
}
