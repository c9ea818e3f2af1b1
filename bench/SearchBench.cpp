// Searching and replacing through the editor's driver on a 100 MB file of real PHP lines,
// beside PCRE2 (no JIT) counting on the same lines and the Qt port of the open editing
// component (its find-first/find-next loop, and its replace loop in one undo action), in
// the same run, in real windows. Prints each time and the ratios; then replace-all and its
// undo at 10k, 100k and 1M matches beside the peer, and how an expression that is costly on
// every line ends. Ours as the program runs it (the main window's editing options, the
// highlighter the program gives a .php file), the peer with its PHP lexer attached before
// its text; every search and replace all runs in any case, as the find dialog's default,
// and with Match case.
#include "EditorBenchSupport.h"
#include "OurBenchEditor.h"
#include "ProgramConfiguration.h"

#include "platform/forms/Forms.h"
#include "platform/graphics/Graphics.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/search/QvEditRegexSearch.h"
#include "qvedit/search/QvEditSearch.h"
#include "qvedit/search/QvRegex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

namespace {

const std::string CommonWord = "return";
const std::string Expression = "function\\s+\\w+";

double Seconds(const std::function<void()>& Body)
{
    const auto start = std::chrono::steady_clock::now();
    Body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The two ways every search runs: any case (the find dialog's default) and Match case.
struct TCase {
    const char* Name;
    bool MatchCase;
};
constexpr TCase Cases[] = {{"any case", false}, {"Match case", true}};

TQvSearchOptions WithCase(TQvSearchOptions Options, bool MatchCase)
{
    if (MatchCase)
        Options.Include(ssoMatchCase);
    return Options;
}

// An editor on a form, loaded with the file, as the program configures it.
class TOurs {
    TProgramConfiguration program_;  // first: its highlighters outlive the editor
    TOurBenchEditor window_;         // Editor is its editor

public:
    TOurs() : window_([](TQvEdit& E) { ApplyEditingSettings(E); }), Editor(window_.Editor)
    {
        Editor->GetLines()->LoadFromFile(BenchPhpFile);
        Editor->SetHighlighter(program_.ForFile(BenchPhpFile));
        std::printf("ours: the program's options, %s highlighter\n", Editor->GetHighlighter()->GetLanguageName().c_str());
        Plain = std::make_unique<TQvEditSearch>(nullptr);
        Regex = std::make_unique<TQvEditRegexSearch>(nullptr);
    }
    ~TOurs()
    {
        Editor->SetSearchEngine(nullptr);
    }

    // Finds one match after another from the top, as "find next" does.
    int CountAll(TQvEditSearchCustom* Engine, const std::string& Pattern, bool MatchCase)
    {
        Editor->SetSearchEngine(Engine);
        Editor->SetCaretXY(TPoint{1, 1});
        int count = 0;
        while (Editor->SearchReplace(Pattern, "", WithCase({}, MatchCase)) == 1)
            ++count;
        return count;
    }

    TQvEdit* Editor;
    std::unique_ptr<TQvEditSearch> Plain;
    std::unique_ptr<TQvEditRegexSearch> Regex;

};

int Pcre2Count(const std::string& Pattern, TQvEditStringList* Lines, bool MatchCase)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Pattern.c_str()), PCRE2_ZERO_TERMINATED,
                                     MatchCase ? 0u : PCRE2_CASELESS, &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    int count = 0;
    for (int i = 0; i < Lines->Count(); ++i) {
        const std::string line = Lines->Get(i);
        PCRE2_SIZE at = 0;
        while (at <= line.size() &&
               pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), at, 0, data, nullptr) > 0) {
            ++count;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
            at = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
        }
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    return count;
}

class TPeer {
public:
    TPeer()
    {
        QFile file(QString::fromStdString(BenchPhpFile));
        if (!file.open(QIODevice::ReadOnly)) {
            std::cerr << "cannot read " << BenchPhpFile << "\n";
            std::exit(1);
        }
        const QByteArray bytes = file.readAll();
        KeepFromAccessibilityUpdates(Editor);
        Editor.setUtf8(false);
        const QFont font("DejaVu Sans Mono", 10);
        lexer_.setDefaultFont(font);
        lexer_.setFont(font);
        Editor.setLexer(&lexer_);
        Editor.setFont(font);
        std::printf("peer: its PHP lexer attached before its text\n");
        Editor.resize(800, 600);
        Editor.show();
        WaitUntilShown();
        Editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
    }

    int CountAll(const std::string& Pattern, bool Regex, bool MatchCase)
    {
        int count = 0;
        bool found = Editor.findFirst(QString::fromStdString(Pattern), Regex, MatchCase, false, false, true, 0, 0,
                                      true, false, Regex);
        while (found) {
            ++count;
            found = Editor.findNext();
        }
        return count;
    }

    // Stops after Limit seconds (the peer's replacements grow slow on a big file); the
    // count tells how far it came.
    int ReplaceAll(const std::string& Pattern, const std::string& Replacement, bool MatchCase, double Limit)
    {
        const auto start = std::chrono::steady_clock::now();
        int count = 0;
        Editor.beginUndoAction();
        bool found = Editor.findFirst(QString::fromStdString(Pattern), false, MatchCase, false, false, true, 0, 0);
        while (found) {
            Editor.replace(QString::fromStdString(Replacement));
            ++count;
            if (count % 1000 == 0 &&
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > Limit)
                break;
            found = Editor.findNext();
        }
        Editor.endUndoAction();
        return count;
    }

    // Replaces the first Count matches of Text from the top in one undo action, through the
    // peer's fastest way (search and replace in a target range, which neither selects nor
    // scrolls to each match), as a replace-all over a selection ending after them does;
    // stops after Limit seconds. Returns how many it replaced.
    int ReplaceFirst(const std::string& Text, const std::string& Replacement, int Count, bool MatchCase,
                     double Limit)
    {
        using Base = QsciScintillaBase;
        const auto start = std::chrono::steady_clock::now();
        const auto textLength = static_cast<long>(Text.size());
        const auto replacementLength = static_cast<long>(Replacement.size());
        Editor.SendScintilla(Base::SCI_SETSEARCHFLAGS,
                             static_cast<unsigned long>(MatchCase ? Base::SCFIND_MATCHCASE : 0));
        long from = 0;
        long to = Editor.SendScintilla(Base::SCI_GETLENGTH);
        int replaced = 0;
        Editor.beginUndoAction();
        while (replaced < Count) {
            Editor.SendScintilla(Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
            const long at = Editor.SendScintilla(Base::SCI_SEARCHINTARGET, static_cast<unsigned long>(textLength),
                                                 Text.c_str());
            if (at < 0)
                break;
            Editor.SendScintilla(Base::SCI_REPLACETARGET, static_cast<unsigned long>(replacementLength),
                                 Replacement.c_str());
            from = at + replacementLength;
            to += replacementLength - textLength;
            ++replaced;
            if (replaced % 1000 == 0 &&
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > Limit)
                break;
        }
        Editor.endUndoAction();
        return replaced;
    }

private:
    TPeerPhpLexer lexer_;  // first: outlives the editor

public:
    QsciScintilla Editor;
};

void Report(const char* What, int Count, double Ours, double Reference, const char* ReferenceName)
{
    std::printf("%-44s %8d matches  ours %7.2f s  %s %7.2f s  ratio %5.2f\n", What, Count, Ours, ReferenceName,
                Reference, Ours / Reference);
}

// Counts every match of Pattern through the driver, with PCRE2 over the same lines and
// with the peer's find loop.
void CompareCounts(const std::string& What, TOurs& Ours, TQvEditSearchCustom* Engine, TPeer& Peer,
                   const std::string& Pattern, bool Regex, bool MatchCase)
{
    int count = 0;
    int reference = 0;
    int peerCount = 0;
    const double ours = Seconds([&] { count = Ours.CountAll(Engine, Pattern, MatchCase); });
    const double pcre = Seconds([&] { reference = Pcre2Count(Pattern, Ours.Editor->GetLines(), MatchCase); });
    const double peer = Seconds([&] { peerCount = Peer.CountAll(Pattern, Regex, MatchCase); });
    Report(What.c_str(), count, ours, pcre, "PCRE2");
    Report("", count, ours, peer, "peer ");
    if (count != reference || count != peerCount)
        std::printf("  counts differ: PCRE2 %d, peer %d\n", reference, peerCount);
}

// The line from which the first Matches occurrences of Text lie above.
int LineWithMatches(TQvEditStringList* Lines, const std::string& Text, int Matches)
{
    int count = 0;
    for (int i = 0; i < Lines->Count(); ++i) {
        const std::string line = Lines->Get(i);
        for (std::size_t at = line.find(Text); at != std::string::npos; at = line.find(Text, at + Text.size()))
            ++count;
        if (count >= Matches)
            return i + 1;
    }
    return Lines->Count();
}

// Paints what is waiting and handles the events queued meanwhile: the window answers again.
void AnswerAgain(TControl* Ours, QWidget* Peer)
{
    if (Ours != nullptr)
        Ours->Update();
    if (Peer != nullptr)
        Peer->repaint();
    QApplication::processEvents();
}

// Replace-all of "$" by "##" over a selection from the top to just after the line where the
// target's matches are reached, its undo and its redo (then undone again, untimed), each
// until the window answers again; beside the peer replacing as many from the top in one
// undo action. A size is left out when the
// one before it took longer than ten seconds (ten times the matches would take minutes).
void ScalingOfReplaceAll(TOurs& Ours, TPeer& Peer, bool MatchCase)
{
    constexpr double Limit = 10;
    TQvEdit* editor = Ours.Editor;
    editor->SetSearchEngine(Ours.Plain.get());
    const int peerLength = Peer.Editor.length();
    bool oursTooSlow = false;
    bool peerTooSlow = false;
    std::printf("replace all of \"$\" by \"##\" (%s), then undo and redo, each until the window is painted "
                "again:\n",
                MatchCase ? "Match case" : "any case");
    for (int target : {10'000, 100'000, 1'000'000}) {
        const int last = LineWithMatches(editor->GetLines(), "$", target);
        editor->ClearUndo();
        editor->SetCaretAndSelection(TPoint{1, last + 1}, TPoint{1, 1}, TPoint{1, last + 1});
        AnswerAgain(editor, nullptr);
        int count = 0;
        double replace = 0;
        double undo = 0;
        double redo = 0;
        if (!oursTooSlow) {
            replace = Seconds([&] {
                count = editor->SearchReplace("$", "##", WithCase({ssoReplaceAll, ssoSelectedOnly}, MatchCase));
                AnswerAgain(editor, nullptr);
            });
            undo = Seconds([&] {
                editor->Undo();
                AnswerAgain(editor, nullptr);
            });
            redo = Seconds([&] {
                editor->Redo();
                AnswerAgain(editor, nullptr);
            });
            editor->Undo();
            oursTooSlow = replace > Limit || undo > Limit || redo > Limit;
        }
        Peer.Editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        Peer.Editor.setCursorPosition(0, 0);
        AnswerAgain(nullptr, Peer.Editor.viewport());
        int peerCount = 0;
        double peerReplace = 0;
        double peerUndo = 0;
        double peerRedo = 0;
        bool peerRestored = true;
        if (!peerTooSlow) {
            peerReplace = Seconds([&] {
                peerCount = Peer.ReplaceFirst("$", "##", count > 0 ? count : target, MatchCase, 6 * Limit);
                AnswerAgain(nullptr, Peer.Editor.viewport());
            });
            const bool grown = Peer.Editor.length() == peerLength + peerCount;
            peerUndo = Seconds([&] {
                Peer.Editor.undo();
                AnswerAgain(nullptr, Peer.Editor.viewport());
            });
            const bool undone = Peer.Editor.length() == peerLength;
            peerRedo = Seconds([&] {
                Peer.Editor.redo();
                AnswerAgain(nullptr, Peer.Editor.viewport());
            });
            const bool redone = Peer.Editor.length() == peerLength + peerCount;
            Peer.Editor.undo();
            peerRestored = grown && undone && redone && Peer.Editor.length() == peerLength;
            peerTooSlow = peerReplace > Limit || peerUndo > Limit || peerRedo > Limit;
        }
        std::printf("  %7d matches in %7d lines: ", target, last);
        if (count > 0)
            std::printf("ours %7.2f s (%.2f us a match), undo %7.2f s, redo %7.2f s; ", replace,
                        replace * 1e6 / count, undo, redo);
        else
            std::printf("ours left out (the size before took over %.0f s); ", Limit);
        if (peerCount > 0)
            std::printf("peer %7.2f s, undo %7.2f s, redo %7.2f s%s", peerReplace, peerUndo, peerRedo,
                        peerRestored ? "" : " (PEER TEXT NOT AS EXPECTED)");
        else
            std::printf("peer left out");
        if (count > 0 && peerCount == count)
            std::printf("; ratios %.2f, undo %.2f, redo %.2f", replace / peerReplace, undo / peerUndo,
                        redo / peerRedo);
        else if (count > 0 && peerCount > 0)
            std::printf(" (the peer stopped after %.0f s, at %d of the %d matches)", 6 * Limit, peerCount, count);
        std::printf("\n");
    }
}

// The steps one search of Expression over Text takes alone; past the bound of one search,
// the steps at which it ended.
long StepsOfOneSearch(const std::string& Expression, const std::string& Text)
{
    TRegex re;
    re.SetExpression(Expression);
    try {
        (void)re.Replace(Text, "-", true);
    } catch (const ERegex&) {
    }
    return re.StepsUsed();
}

// Puts before every line of the file a head with a match and then a run of XCount x that
// costs the expression many steps, within the bound of one search; times a replace-all
// until it ends with the engine's error, counts the lines it had replaced by then, and
// times the undo of them.
void CostlyOnEveryLine(TQvEdit* Editor, const std::string& Original, int XCount, bool MatchCase)
{
    const std::string expression = "(x+x+)+y";
    const std::string head = "xxy " + std::string(static_cast<std::size_t>(XCount), 'x') + "!y ";
    const long cost = StepsOfOneSearch(expression, head);
    std::string text;
    text.reserve(Original.size() * 2);
    for (std::size_t at = 0; at < Original.size();) {
        const std::size_t end = std::min(Original.find("\r\n", at), Original.size());
        text += head;
        text.append(Original, at, end + 2 - at);
        at = end + 2;
    }
    Editor->GetLines()->SetText(text);
    Editor->ClearUndo();
    Editor->SetCaretXY(TPoint{1, 1});
    int code = 0;
    const double seconds = Seconds([&] {
        try {
            Editor->SearchReplace(expression, "-", WithCase({ssoReplaceAll, ssoEntireScope}, MatchCase));
        } catch (const ERegex& e) {
            code = e.ErrorCode();
        }
    });
    int replaced = 0;
    while (replaced < Editor->GetLines()->Count() && Editor->GetLines()->Get(replaced).rfind("- ", 0) == 0)
        ++replaced;
    const double undo = Seconds([&] { Editor->Undo(); });
    const bool restored = Editor->GetLines()->GetText() == text && !Editor->GetCanUndo();
    std::printf("costly on every line (%d x, %ld steps a line), replace all (%s) over "
                "%d lines: error %d after %.2f s, %d lines replaced; undo %.2f s, %s\n",
                XCount, cost, MatchCase ? "Match case" : "any case", Editor->GetLines()->Count(),
                code, seconds, replaced, undo, restored ? "text restored" : "TEXT NOT RESTORED");
}

void CostlyExpression(TOurs& Ours)
{
    TQvEdit* editor = Ours.Editor;
    editor->SetSearchEngine(Ours.Regex.get());
    editor->SetCaretXY(TPoint{1, 1});
    // Exponential on any long run of word characters: the first such line ends it.
    int code = 0;
    const double hostile = Seconds([&] {
        try {
            editor->SearchReplace("(\\w+\\s?)+@@", "x", {ssoReplaceAll, ssoEntireScope});
        } catch (const ERegex& e) {
            code = e.ErrorCode();
        }
    });
    std::printf("hostile expression, replace all: ended with error %d after %.2f s\n", code, hostile);

    // Costly on every line: a run of 18 x, and a run of 24 x (about a quarter of a second
    // a line).
    const std::string original = editor->GetLines()->GetText();
    for (int xCount : {18, 24})
        for (const TCase& c : Cases)
            CostlyOnEveryLine(editor, original, xCount, c.MatchCase);
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TBenchDisplay display;
    QApplication app(argc, argv);
    Application->Initialize();
    if (!BenchPhpFileReady())
        return 1;
    RunPeerWithoutAccessibilityUpdates();
    TOurs ours;
    TPeer peer;
    std::printf("%d lines\n", ours.Editor->GetLines()->Count());
    // "replace-all" as the argument measures only replace-all and its undo at the three sizes.
    if (argc > 1 && std::string(argv[1]) == "replace-all") {
        for (const TCase& c : Cases)
            ScalingOfReplaceAll(ours, peer, c.MatchCase);
        return 0;
    }

    for (const TCase& c : Cases) {
        CompareCounts(std::string("count a word through the driver, ") + c.Name, ours, ours.Plain.get(), peer,
                      CommonWord, false, c.MatchCase);
        CompareCounts(std::string("count an expression, ") + c.Name, ours, ours.Regex.get(), peer, Expression,
                      true, c.MatchCase);
    }

    for (const TCase& c : Cases) {
        int count = 0;
        int reference = 0;
        ours.Editor->SetSearchEngine(ours.Plain.get());
        ours.Editor->ClearUndo();
        const double oursReplace = Seconds([&] {
            count = ours.Editor->SearchReplace(CommonWord, "yield",
                                               WithCase({ssoReplaceAll, ssoEntireScope}, c.MatchCase));
        });
        const double peerReplace = Seconds([&] { reference = peer.ReplaceAll(CommonWord, "yield", c.MatchCase, 60); });
        const std::string what = std::string("replace all of a word (") + c.Name + "), one undo step";
        std::printf("%-44s %8d matches  ours %7.2f s (%.2f us a match)\n", what.c_str(), count, oursReplace,
                    oursReplace * 1e6 / count);
        std::printf("%-44s %8d matches  peer %7.2f s (%.2f us a match)\n", "", reference, peerReplace,
                    peerReplace * 1e6 / reference);
        const double oursUndo = Seconds([&] { ours.Editor->Undo(); });
        peer.Editor.undo();
        std::printf("  undo of it: %.2f s\n", oursUndo);
    }

    for (const TCase& c : Cases)
        ScalingOfReplaceAll(ours, peer, c.MatchCase);
    CostlyExpression(ours);
    return 0;
}
