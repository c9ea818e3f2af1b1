// Replace all through the editor's driver, with the main window's editing options, in a real
// window, each until the window is painted again:
// - lines of 10 bytes, the expression "[a-z]" by "X" (nine matches a line), beside PCRE2
//   substituting the same lines (the engine's work alone);
// - lines of 5 bytes with the PHP highlighter attached, "foo" by "bar", through the
//   expression engine beside the plain engine;
// - one long line, "a" by "b" (a match every 5 bytes), through the expression engine (also
//   with the replacement written "\b", so that each is made from its match) beside the plain
//   engine, with Match case and in any case;
// - lines "a x b", "x" replaced by a line break (CR LF), then undone and redone, beside the
//   same change without a line break ("x" by "Y ").
// Each at 10,000, 100,000 and 1,000,000 lines (the long line at 1, 10 and 50 MB); a size is
// left out after one that took over 10 s. Every result is checked: the text replaced,
// the count, and the text back after undo and again after redo.
// Arguments: "lines", "highlighted", "long" or "breaks" runs one case only.
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"

#include "app/EditorSettings.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"
#include "qvedit/search/QvRegex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr double Limit = 10;  // seconds; a size after one that took longer is left out
const int LineCounts[] = {10'000, 100'000, 1'000'000};

double Seconds(const std::function<void()>& Body)
{
    const auto start = std::chrono::steady_clock::now();
    Body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Lines(const std::string& Line, int Count)
{
    std::string text;
    text.reserve((Line.size() + 2) * static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i)
        text += i + 1 < Count ? Line + "\r\n" : Line;
    return text;
}

std::string Repeat(const std::string& Unit, std::size_t Bytes)
{
    std::string text;
    text.reserve(Bytes);
    while (text.size() < Bytes)
        text += Unit;
    return text;
}

// An editor on a shown form, edited as the main window's is.
class TOurs {
    TOurBenchEditor window_;  // first: Editor is its editor

public:
    TOurs() : window_([](TQvEdit& E) { ApplyEditingSettings(E); }), Editor(window_.Editor)
    {
        Plain = std::make_unique<TQvEditSearch>(nullptr);
        Regex = std::make_unique<TQvEditRegexSearch>(nullptr);
        Php = std::make_unique<TQvPHPHighlighter>(nullptr);
    }
    ~TOurs()
    {
        Editor->SetSearchEngine(nullptr);
        Editor->SetHighlighter(nullptr);
    }

    void Load(const std::string& Text)
    {
        Editor->GetLines()->SetText(Text);
        Editor->ClearUndo();
        Editor->SetCaretXY(TPoint{1, 1});
        Painted();
    }
    std::string Text() const { return Editor->QvGetText(); }
    // Paints what is waiting and handles the events queued meanwhile.
    void Painted()
    {
        Editor->Update();
        QApplication::processEvents();
    }

    TQvEdit* Editor;
    std::unique_ptr<TQvEditSearch> Plain;
    std::unique_ptr<TQvEditRegexSearch> Regex;
    std::unique_ptr<TQvPHPHighlighter> Php;

};

// One replace all over the whole text, until painted: its time, its count, and the error
// that ended it, if one did.
struct TRun {
    double Seconds = 0;
    int Count = 0;
    std::string Error;
    bool Right = false;  // the text is the expected one
};

TRun ReplaceAll(TOurs& Ours, TQvEditSearchCustom* Engine, const std::string& Search, const std::string& Replace,
                const std::string& Expected, bool MatchCase = true)
{
    TRun run;
    Ours.Editor->SetSearchEngine(Engine);
    TQvSearchOptions options{ssoReplaceAll, ssoEntireScope};
    if (MatchCase)
        options.Include(ssoMatchCase);
    run.Seconds = Seconds([&] {
        try {
            run.Count = Ours.Editor->SearchReplace(Search, Replace, options);
        } catch (const Exception& e) {
            run.Error = e.Message();
        }
        Ours.Painted();
    });
    run.Right = run.Error.empty() && Ours.Text() == Expected;
    return run;
}

std::string Outcome(const TRun& Run)
{
    if (!Run.Error.empty())
        return "ENDED WITH \"" + Run.Error + "\"";
    return Run.Right ? "text right" : "TEXT WRONG";
}

// PCRE2 (no JIT) substituting every match of Pattern in each line of Text, lines apart.
double Pcre2Substitution(const std::string& Pattern, const std::string& Replacement, const std::string& Text)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Pattern.c_str()), PCRE2_ZERO_TERMINATED, 0,
                                     &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    std::string out;
    std::size_t total = 0;
    const double seconds = Seconds([&] {
        for (std::size_t at = 0; at <= Text.size();) {
            std::size_t end = Text.find("\r\n", at);
            if (end == std::string::npos)
                end = Text.size();
            out.resize((end - at) * 2 + 16);
            PCRE2_SIZE length = out.size();
            pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR>(Text.data() + at), end - at, 0,
                             PCRE2_SUBSTITUTE_GLOBAL, data, nullptr, reinterpret_cast<PCRE2_SPTR>(Replacement.c_str()),
                             Replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
            total += length;
            at = end + 2;
        }
    });
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return total > 0 ? seconds : -1;
}

// Lines of 10 bytes, nine letters replaced in each.
void TenByteLines(TOurs& Ours)
{
    std::printf("lines \"foo efghij\", expression [a-z] by X, whole text:\n");
    for (int count : LineCounts) {
        const std::string text = Lines("foo efghij", count);
        Ours.Load(text);
        const TRun run = ReplaceAll(Ours, Ours.Regex.get(), "[a-z]", "X", Lines("XXX XXXXXX", count));
        const double pcre = Pcre2Substitution("[a-z]", "X", text);
        std::printf("  %8d lines: ours %7.2f s, %d replaced, %s; PCRE2 substituting the lines %6.2f s; ratio %.1f\n",
                    count, run.Seconds, run.Count, Outcome(run).c_str(), pcre, run.Seconds / pcre);
        if (run.Seconds > Limit)
            break;
    }
}

// Lines of 5 bytes with the PHP highlighter: the expression engine beside the plain one.
void HighlightedLines(TOurs& Ours)
{
    std::printf("lines \"foo x\", PHP highlighter, foo by bar, whole text:\n");
    Ours.Editor->SetHighlighter(Ours.Php.get());
    for (int count : LineCounts) {
        const std::string text = Lines("foo x", count);
        const std::string expected = Lines("bar x", count);
        Ours.Load(text);
        const TRun regex = ReplaceAll(Ours, Ours.Regex.get(), "foo", "bar", expected);
        Ours.Load(text);
        const TRun plain = ReplaceAll(Ours, Ours.Plain.get(), "foo", "bar", expected);
        std::printf("  %8d lines: expression %7.2f s, %s; plain %7.2f s, %s; ratio %.2f\n", count, regex.Seconds,
                    Outcome(regex).c_str(), plain.Seconds, Outcome(plain).c_str(), regex.Seconds / plain.Seconds);
        if (regex.Seconds > Limit || plain.Seconds > Limit)
            break;
    }
    Ours.Editor->SetHighlighter(nullptr);
}

// One long line with a match every 5 bytes: the expression engine beside the plain one,
// with Match case and without it (the find dialog's default).
void LongLine(TOurs& Ours)
{
    std::printf("one line of \"a bcd\" repeated, a by b:\n");
    for (std::size_t megabytes : {1, 10, 50}) {
        const std::string text = Repeat("a bcd", megabytes * 1'000'000);
        std::string expected = text;
        for (std::size_t i = 0; i < expected.size(); i += 5)
            expected[i] = 'b';
        bool tooLong = false;
        for (const bool matchCase : {true, false}) {
            Ours.Load(text);
            const TRun regex = ReplaceAll(Ours, Ours.Regex.get(), "a", "b", expected, matchCase);
            // The same replacement written as an escape: each is made from its match again.
            Ours.Load(text);
            const TRun substituted = ReplaceAll(Ours, Ours.Regex.get(), "a", "\\b", expected, matchCase);
            Ours.Load(text);
            const TRun plain = ReplaceAll(Ours, Ours.Plain.get(), "a", "b", expected, matchCase);
            std::printf("  %3zu MB, %8d matches, %s: expression %7.2f s, %s; by \"\\b\" %7.2f s, %s; "
                        "plain %7.2f s, %s; ratios %.2f, %.2f\n",
                        megabytes, plain.Count, matchCase ? "match case" : "any case  ", regex.Seconds,
                        Outcome(regex).c_str(), substituted.Seconds, Outcome(substituted).c_str(), plain.Seconds,
                        Outcome(plain).c_str(), regex.Seconds / plain.Seconds, substituted.Seconds / plain.Seconds);
            tooLong = tooLong || regex.Seconds > Limit || substituted.Seconds > Limit || plain.Seconds > Limit;
        }
        if (tooLong)
            break;
    }
}

// Replace all, undo and redo, each until painted and checked.
struct TCycle {
    TRun Replace;
    double Undo = 0;
    double Redo = 0;
    bool UndoRight = false;
    bool RedoRight = false;
};

TCycle ReplaceUndoRedo(TOurs& Ours, const std::string& Text, const std::string& Replacement,
                       const std::string& Expected)
{
    TCycle cycle;
    Ours.Load(Text);
    cycle.Replace = ReplaceAll(Ours, Ours.Plain.get(), "x", Replacement, Expected);
    cycle.Undo = Seconds([&] {
        Ours.Editor->Undo();
        Ours.Painted();
    });
    cycle.UndoRight = Ours.Text() == Text && !Ours.Editor->GetCanUndo();
    cycle.Redo = Seconds([&] {
        Ours.Editor->Redo();
        Ours.Painted();
    });
    cycle.RedoRight = Ours.Text() == Expected;
    return cycle;
}

void Print(const char* What, const TCycle& Cycle)
{
    std::printf("%s replace %7.2f s (%s), undo %7.2f s (%s), redo %7.2f s (%s)", What, Cycle.Replace.Seconds,
                Outcome(Cycle.Replace).c_str(), Cycle.Undo, Cycle.UndoRight ? "text back" : "TEXT NOT BACK",
                Cycle.Redo, Cycle.RedoRight ? "text right" : "TEXT WRONG");
}

// Lines "a x b": the x replaced by a line break, beside the same change without one.
void LineBreaks(TOurs& Ours)
{
    std::printf("lines \"a x b\", x by a line break (CR LF), then undo and redo; beside x by \"Y \":\n");
    for (int count : LineCounts) {
        const std::string text = Lines("a x b", count);
        // The blank left before the line break is trimmed by the editing options.
        const TCycle breaks = ReplaceUndoRedo(Ours, text, "\r\n", Lines("a\r\n b", count));
        const TCycle plain = ReplaceUndoRedo(Ours, text, "Y ", Lines("a Y  b", count));
        std::printf("  %8d lines:", count);
        Print(" line break", breaks);
        std::printf("\n  %8d lines:", count);
        Print(" \"Y \"      ", plain);
        std::printf("\n                ratios: replace %.1f, undo %.1f, redo %.1f\n",
                    breaks.Replace.Seconds / plain.Replace.Seconds, breaks.Undo / plain.Undo,
                    breaks.Redo / plain.Redo);
        if (breaks.Replace.Seconds > Limit || breaks.Undo > Limit || breaks.Redo > Limit)
            break;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TBenchDisplay display;
    QApplication app(argc, argv);
    TOurs ours;
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "lines")
        TenByteLines(ours);
    if (only.empty() || only == "highlighted")
        HighlightedLines(ours);
    if (only.empty() || only == "long")
        LongLine(ours);
    if (only.empty() || only == "breaks")
        LineBreaks(ours);
    return 0;
}
