// Single steps of thousands of undo records, as a user makes them: a replace all, a column
// paste and a block indent over many lines, and a run of typing. Each undoes in one step however many records
// it has; shared by the undo tests with the editor's defaults, with the main window's
// options and by the main window's undo property test.
#pragma once

#include "EditScript.h"

#include "qvedit/search/QvEditSearch.h"

#include <string>

namespace largesteps {

// Lines like a script's, each with two lower-case x and an upper-case X, as many as Lines,
// without a line end after the last.
inline std::string ScriptText(int Lines)
{
    std::string text;
    for (int i = 0; i < Lines; ++i) {
        if (i > 0)
            text += "\r\n";
        text += "  $x = fix($X, " + std::to_string(i) + ");";
    }
    return text;
}

// Replaces every "x" by "#", matching case, through E's search engine (all of the text,
// from the top); gives the number of replacements.
inline Integer ReplaceAll(TCustomQvEdit& E)
{
    TPoint top{1, 1};
    E.CommandProcessor(ecGotoXY, '\0', &top);
    return E.SearchReplace("x", "#", TQvSearchOptions{ssoReplaceAll, ssoEntireScope, ssoMatchCase});
}

// Pastes a column of Lines rows ("|c|" each) at the top left of the text.
inline void ColumnPaste(TCustomQvEdit& E, int Lines)
{
    std::string column;
    for (int i = 0; i < Lines; ++i)
        column += i + 1 < Lines ? "|c|\r\n" : "|c|";
    editscript::PutOnClipboard(column, smColumn);
    TPoint top{1, 1};
    E.CommandProcessor(ecGotoXY, '\0', &top);
    E.CommandProcessor(ecPaste, '\0', nullptr);
}

// Types Count letters in a row at the start of the text, with no caret move between them.
inline void TypeRun(TCustomQvEdit& E, int Count)
{
    TPoint top{1, 1};
    E.CommandProcessor(ecGotoXY, '\0', &top);
    for (int i = 0; i < Count; ++i)
        E.CommandProcessor(ecChar, static_cast<char>('a' + i % 26), nullptr);
}

// Selects the first Lines lines whole and indents them.
inline void BlockIndent(TCustomQvEdit& E, int Lines)
{
    E.CommandProcessor(ecNormalSelect, '\0', nullptr);
    TPoint top{1, 1};
    E.CommandProcessor(ecGotoXY, '\0', &top);
    TPoint end{1, Lines + 1};
    E.CommandProcessor(ecSelGotoXY, '\0', &end);
    E.CommandProcessor(ecBlockIndent, '\0', nullptr);
}

}  // namespace largesteps
