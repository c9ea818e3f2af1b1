// Random editing as a user does it, through the editor's commands: typing and composed
// input (in insert and overwrite mode), deleting, Enter, Tab, pasting blocks of each
// selection mode and plain text, cutting, block indent and unindent, case changes, line
// deletions, dragging a selection to another place, caret moves (also past line ends) and
// selections in the three modes. Shared by the undo property test and the command-stream
// fuzz target; Pick(n) gives a number below n.
#pragma once

#include "platform/window/Clipboard.h"
#include "qvedit/editor/QvEdit.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace editscript {

// Texts a paste or a replacement brings in: every kind of line end, blanks, tabs, a
// character above 127, an empty last line.
inline const char* const Snippets[] = {
    "x", "ab", "one\r\ntwo", "a\nb\nc", "p\rq", "  ind\r\n\tent", "\r\n", "tail\n", "\xE9t\xE9",
    "w1 w2\r\n\r\nw3",
};

inline const char Typed[] = {'a', 'Z', ' ', '0', '\xE9', '(', 'q'};

inline void PutOnClipboard(const std::string& Text, int Mode)
{
    TClipboard* clipboard = Clipboard();
    clipboard->Open();
    try {
        clipboard->Clear();
        clipboard->SetAsText(Text);
        if (Mode >= 0) {
            std::string block(1, static_cast<char>(Mode));
            block.append(Text).push_back('\0');
            clipboard->SetBuffer(QvEditClipboardFormat(), block);
        }
    } catch (...) {
        clipboard->Close();
        throw;
    }
    clipboard->Close();
}

// A character of the text, the end of a line, or one of Beyond columns after it, chosen
// at random.
template <class TPick>
TPoint PickPoint(TCustomQvEdit& E, TPick& Pick, std::uint32_t Beyond = 0)
{
    const Integer count = std::max(E.GetLines()->Count(), 1);
    const Integer y = static_cast<Integer>(Pick(static_cast<std::uint32_t>(count))) + 1;
    const auto length = static_cast<std::uint32_t>(E.GetLines()->Get(y - 1).size());
    return TPoint{static_cast<Integer>(Pick(length + 1 + Beyond)) + 1, y};
}

// Columns a caret or a selection end may go past the end of a line.
inline constexpr std::uint32_t PastLineEnd = 3;

// One operation; returns its name for failure messages. With OnSelection, one of those
// that act on a selection in any mode.
template <class TPick>
const char* ApplyEditOp(TCustomQvEdit& E, TPick& Pick, bool OnSelection = false)
{
    const auto snippet = [&] { return std::string(Snippets[Pick(std::size(Snippets))]); };
    static const int selectionOps[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 14};
    switch (OnSelection ? selectionOps[Pick(std::size(selectionOps))] : static_cast<int>(Pick(17))) {
    case 0:
        E.CommandProcessor(ecChar, Typed[Pick(std::size(Typed))], nullptr);
        return "type";
    case 1: {
        static const char* const composed[] = {"\xE9", "ab", "Z q"};
        E.CommandProcessor(ecImeStr, '\0', const_cast<char*>(composed[Pick(std::size(composed))]));
        return "compose";
    }
    case 2:
        E.CommandProcessor(Pick(2) == 0 ? ecDeleteChar : ecDeleteLastChar, '\0', nullptr);
        return "delete";
    case 3:
        E.CommandProcessor(ecLineBreak, '\r', nullptr);
        return "enter";
    case 4:
        E.CommandProcessor(Pick(2) == 0 ? ecTab : ecShiftTab, '\t', nullptr);
        return "tab";
    case 5: {
        // One pick after the other: the order of a call's arguments differs by compiler,
        // and a fuzz input must replay the same session in the tests.
        const std::string text = snippet();
        PutOnClipboard(text, static_cast<int>(Pick(3)));
        E.CommandProcessor(ecPaste, '\0', nullptr);
        return "paste block";
    }
    case 6:
        PutOnClipboard(snippet(), -1);
        E.CommandProcessor(ecPaste, '\0', nullptr);
        return "paste text";
    case 7:
        E.CommandProcessor(ecCut, '\0', nullptr);
        return "cut";
    case 8:
        E.CommandProcessor(Pick(2) == 0 ? ecBlockIndent : ecBlockUnindent, '\0', nullptr);
        return "indent";
    case 9: {
        static const TQvEditorCommand cases[] = {ecUpperCase, ecLowerCase, ecToggleCase, ecTitleCase,
                                                 ecUpperCaseBlock, ecLowerCaseBlock, ecToggleCaseBlock};
        E.CommandProcessor(cases[Pick(std::size(cases))], '\0', nullptr);
        return "case";
    }
    case 10:
        E.CommandProcessor(ecDeleteLine, '\0', nullptr);
        return "delete line";
    case 11: {
        static const TQvEditorCommand deletes[] = {ecDeleteWord, ecDeleteLastWord, ecDeleteEOL, ecDeleteBOL};
        E.CommandProcessor(deletes[Pick(std::size(deletes))], '\0', nullptr);
        return "delete word";
    }
    case 12: {
        TPoint p = PickPoint(E, Pick, PastLineEnd);
        E.CommandProcessor(ecGotoXY, '\0', &p);
        return "move";
    }
    case 13: {
        // A mode, a selection in it (or, now and then, only the caret: typing and Tab act
        // at the caret in the mode), something done with it; then the mode is normal again,
        // with a selection that is still there kept as it is.
        static const TQvEditorCommand modes[] = {ecNormalSelect, ecLineSelect, ecColumnSelect};
        const TQvEditorCommand mode = modes[Pick(std::size(modes))];
        E.CommandProcessor(mode, '\0', nullptr);
        const std::uint32_t beyond = mode == ecColumnSelect ? PastLineEnd : 0;
        TPoint anchor = PickPoint(E, Pick, beyond);
        E.CommandProcessor(ecGotoXY, '\0', &anchor);
        if (Pick(4) != 0) {
            TPoint end = PickPoint(E, Pick, beyond);
            E.CommandProcessor(ecSelGotoXY, '\0', &end);
        }
        ApplyEditOp(E, Pick, true);
        E.CommandProcessor(ecNormalSelect, '\0', nullptr);
        return "select and edit";
    }
    case 15: {
        TPoint anchor = PickPoint(E, Pick);
        E.CommandProcessor(ecGotoXY, '\0', &anchor);
        TPoint end = PickPoint(E, Pick);
        E.CommandProcessor(ecSelGotoXY, '\0', &end);
        const TPoint drop = E.RowColumnToPixels(E.LogicalToPhysicalPos(PickPoint(E, Pick, PastLineEnd)));
        E.DragDrop(&E, drop.X + 1, drop.Y + 1);
        return "drag";
    }
    case 16:
        E.CommandProcessor(ecToggleMode, '\0', nullptr);
        return E.GetInsertMode() ? "insert mode" : "overwrite mode";
    default:
        E.SetSelTextExternal(snippet());
        return "set text";
    }
}

// One editor doing every operation, undo and redo of a session.
struct TOneEditor {
    TCustomQvEdit& E;
    template <class TPick>
    TCustomQvEdit& Next(TPick&)
    {
        return E;
    }
    // Room for what more editors do between two operations; one does nothing more.
    template <class TPick>
    std::string Between(TPick&, std::ostringstream&, std::set<std::string>&, bool)
    {
        return std::string();
    }
    std::string Check() const { return std::string(); }
};

// Steps operations on the text, each by the editor the session gives next, with a save
// (Modified := False) before the operation numbered SaveAt (or after the last); then
// everything is undone and redone, twice. Gives "" when each time undoing everything gave
// the starting text back byte for byte and redoing everything the edited text, every
// single undo and redo step gave a text the session had had, and the editor was
// unmodified exactly once each way, at the saved text; else what went wrong, with every
// step's text. The session's Between may do more between operations (undo and redo
// included; the texts it makes go into Had, and it names what went wrong; it is told
// whether the save is behind, so that it does not discard the saved state); its Check
// names what is wrong after each operation and each step of the final walks.
template <class TPick, class TSession>
std::string RunSessionWith(TSession& S, TPick& Pick, std::uint32_t Steps, std::uint32_t SaveAt)
{
    const std::string start = S.Next(Pick).QvGetText();
    std::ostringstream trace;
    trace << "start \"" << start << "\":";
    std::string saved = start;
    std::set<std::string> had{start};
    std::string failure;
    for (std::uint32_t step = 0; step <= Steps && failure.empty(); ++step) {
        if (step == SaveAt) {
            TCustomQvEdit& e = S.Next(Pick);
            e.SetModified(false);
            saved = e.QvGetText();
            trace << " save";
        }
        if (step < Steps) {
            TCustomQvEdit& e = S.Next(Pick);
            trace << ' ' << ApplyEditOp(e, Pick);
            had.insert(e.QvGetText());
            trace << " \"" << e.QvGetText() << '"';
            failure = S.Between(Pick, trace, had, step >= SaveAt);
            if (failure.empty())
                failure = S.Check();
        }
    }
    // What was undone on the way and not done anew is redone first: the edited text is
    // where redo ends.
    for (int guard = 0; failure.empty() && S.Next(Pick).GetCanRedo() && guard < 10000; ++guard) {
        TCustomQvEdit& e = S.Next(Pick);
        e.Redo();
        trace << " redo \"" << e.QvGetText() << '"';
        if (!had.contains(e.QvGetText()))
            failure = " a step gave a text the session never had";
    }
    const std::string end = S.Next(Pick).QvGetText();

    // Walks one way to the end of the list: every step lands on a text the session had;
    // counts the unmodified states on the way.
    const auto walk = [&](bool Undoing) -> std::string {
        int unmodified = 0;
        for (int guard = 0;; ++guard) {
            TCustomQvEdit& e = S.Next(Pick);
            if (!had.contains(e.QvGetText()))
                return " a step gave a text the session never had";
            if (const std::string wrong = S.Check(); !wrong.empty())
                return wrong;
            if (!e.GetModified()) {
                ++unmodified;
                if (e.QvGetText() != saved)
                    return " unmodified away from the saved point";
            }
            if (!(Undoing ? e.GetCanUndo() : e.GetCanRedo()) || guard > 10000)
                break;
            Undoing ? e.Undo() : e.Redo();
            trace << (Undoing ? " undo \"" : " redo \"") << e.QvGetText() << '"'
                  << (e.GetModified() ? "" : " (unmodified)");
        }
        if (unmodified != 1)
            return " unmodified " + std::to_string(unmodified) + " times";
        return std::string();
    };
    for (int cycle = 1; cycle <= 2 && failure.empty(); ++cycle) {
        const std::string which = cycle == 1 ? "" : " (second time)";
        failure = walk(true);
        if (failure.empty() && S.Next(Pick).QvGetText() != start)
            failure = " undo did not give the start back" + which;
        if (failure.empty())
            failure = walk(false);
        if (failure.empty() && S.Next(Pick).QvGetText() != end)
            failure = " redo did not give the edited text back" + which;
    }
    return failure.empty() ? failure : trace.str() + ":" + failure;
}

// A session of one editor (see RunSessionWith).
template <class TPick>
std::string RunSession(TCustomQvEdit& E, TPick& Pick, std::uint32_t Steps, std::uint32_t SaveAt)
{
    TOneEditor one{E};
    return RunSessionWith(one, Pick, Steps, SaveAt);
}

// Numbers below N from a seed, for sessions that replay the same from the same seed.
class TRandom {
public:
    explicit TRandom(unsigned Seed) : gen_(Seed) {}
    std::uint32_t operator()(std::uint32_t N)
    {
        return N == 0 ? 0 : std::uniform_int_distribution<std::uint32_t>(0, N - 1)(gen_);
    }

private:
    std::mt19937 gen_;
};

// Every option on or off by chance, a tab width from 1 to 8, tabs taken by the editor or
// not, a line width limit or none; gives the options that are on, for failure messages.
inline std::string SetRandomOptions(TCustomQvEdit& E, TRandom& Pick)
{
    TQvEditorOptions options;
    for (int option = eoAltSetsColumnMode; option <= eoHighlightCurrentLine; ++option)
        if (Pick(2) == 0)
            options.Include(static_cast<TQvEditorOption>(option));
    E.SetOptions(options);
    E.SetTabWidth(static_cast<Integer>(Pick(8)) + 1);
    E.SetWantTabs(Pick(2) == 0);
    E.SetMaxLineWidth(Pick(2) == 0 ? 1024 : 100000);
    std::string on;
    for (int option = eoAltSetsColumnMode; option <= eoHighlightCurrentLine; ++option)
        if (options.Contains(static_cast<TQvEditorOption>(option)))
            on += " " + std::to_string(option);
    return "options" + on + ", tab width " + std::to_string(E.GetTabWidth());
}

// Lines of letters, blanks, tabs and brackets; a line may end in blanks or tabs, as a
// loaded file's may.
inline std::string RandomText(TRandom& Pick)
{
    static const char chars[] = "ab xy\tAB(z";
    std::string text;
    const std::uint32_t lines = Pick(6) + 1;
    for (std::uint32_t i = 0; i < lines; ++i) {
        for (std::uint32_t n = Pick(12); n > 0; --n)
            text += chars[Pick(sizeof chars - 1)];
        if (i + 1 < lines)
            text += "\r\n";
    }
    return text;
}

// Count sessions of 1 to MaxSteps operations from Seed on E as it is set up, each on a
// random text; gives "" or the first session that broke a rule, with its number.
inline std::string RunRandomSessions(TCustomQvEdit& E, unsigned Seed, int Count, std::uint32_t MaxSteps)
{
    TRandom pick(Seed);
    for (int session = 0; session < Count; ++session) {
        E.ClearAll();
        E.SetSelectionMode(smNormal);
        E.SetInsertMode(true);
        E.QvSetText(RandomText(pick));
        const std::uint32_t steps = pick(MaxSteps) + 1;
        const std::string failure = RunSession(E, pick, steps, pick(steps + 1));
        if (!failure.empty())
            return "seed " + std::to_string(Seed) + ", session " + std::to_string(session) + ": " + failure;
    }
    return std::string();
}

}  // namespace editscript
