// The editor control's vocabulary: its option set, its internal state flags, the caret
// shapes, the scroll-hint formats, the transient-paint moments and the event types it
// raises. The status-change set, the selection modes, the replace answers and the
// editor's error class are shared with the core and live in QvEditTypes.h.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/graphics/Colors.h"
#include "platform/window/Controls.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/System.h"
#include "platform/window/WinApi.h"
#include "qvedit/core/QvEditKeyCmds.h"
#include "qvedit/core/QvEditTypes.h"

#include <string>

class TQvEditMark;

// ---- Options --------------------------------------------------------------------------------

// Member n is bit n of the 32-bit option value.
enum TQvEditorOption : Byte {
    eoAltSetsColumnMode,     // Alt held at a mouse press selects a column block
    eoAutoIndent,            // a new line starts under the first non-blank of the line above
    eoAutoSizeMaxLineWidth,  // MaxLineWidth grows with the view instead of limiting the caret
    eoDisableScrollArrows,   // the arrows of a bar that cannot move that way are disabled
    eoDragDropEditing,       // the selection can be dragged with the mouse
    eoDropFiles,             // files dropped from the desktop reach OnDropFiles
    eoEnhanceHomeKey,        // Home goes to the first non-blank first, then to column 1
    eoGroupUndo,             // consecutive changes of one kind undo together
    eoHalfPageScroll,        // page moves and Ctrl+wheel go half a page
    eoHideShowScrollbars,    // a bar with nothing to scroll is hidden, not disabled
    eoKeepCaretX,            // vertical moves keep the caret's display column
    eoNoCaret,               // the caret is never shown
    eoNoSelection,           // nothing can be selected
    eoRightMouseMovesCursor, // a right click places the caret
    eoScrollByOneLess,       // page moves keep one line (column) of the old page in view
    eoScrollHintFollows,     // the scroll hint moves along with the thumb
    eoScrollPastEof,         // the last line can scroll to the top of the window
    eoScrollPastEol,         // the caret and the view go beyond the end of a line
    eoShowScrollHint,        // the top line is shown in a hint while the thumb is dragged
    eoShowSpecialChars,      // tabs, blanks and line ends are drawn as glyphs
    eoSmartTabDelete,        // Backspace in leading blanks goes back to the indent above
    eoSmartTabs,             // Tab goes to the next word start of the line above
    eoSpecialLineDefaultFg,  // special lines keep the tokens' foreground colours
    eoTabIndent,             // Tab and Shift+Tab indent and unindent a selected block
    eoTabsToSpaces,          // Tab inserts blanks
    eoTrimTrailingSpaces,    // lines are stored without trailing blanks and tabs
    eoHighlightCurrentLine   // the caret line is painted in ActiveLineColor
};
using TQvEditorOptions = TSet<TQvEditorOption, 32>;

// What a new editor starts with: eoAutoIndent, eoDragDropEditing, eoGroupUndo,
// eoScrollPastEol, eoShowScrollHint, eoSmartTabDelete, eoSmartTabs, eoTabsToSpaces and
// eoTrimTrailingSpaces.
inline constexpr TQvEditorOptions QvEditDefaultOptions = TQvEditorOptions::FromBits(0x03360092);

// The options whose change alters what the scroll bars show.
inline constexpr TQvEditorOptions QvEditScrollOptions = TQvEditorOptions::FromBits(0x00030208);

// ---- Internal state --------------------------------------------------------------------------

enum TQvStateFlag : Byte {
    sfCaretChanged,         // the caret's update waits for the end of the paint lock
    sfScrollbarChanged,     // the scroll bars' update waits for the end of the paint lock
    sfPaintChanged,         // a paint asked for under the paint lock waits for its end
    sfLinesChanging,        // the buffer is in a batch: invalid lines are collected
    sfIgnoreNextChar,       // the character of a key that became a command is not typed
    sfCaretVisible,         // the system caret is shown
    sfDblClicked,           // from a double click to the release of the button
    sfPossibleGutterClick,  // a press in the gutter that may end as a gutter click
    sfWaitForDragging,      // a press on the selection that may become a drag
    sfInsideRedo            // a redo record is being re-applied
};
using TQvStateFlags = TSet<TQvStateFlag, 16>;

// ---- Caret, scroll hint and transient painting ---------------------------------------------

enum TQvEditCaretType : Byte { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };

// The scroll hint shows "Top Line: %d", or "%d - %d" with the first and last visible line.
enum TScrollHintFormat : Byte { shfTopLineOnly, shfTopToBottom };

// Before a change of the caret or the text (ttBefore) and after it (ttAfter), so that
// transient decorations (a matching bracket) can be taken away and drawn again.
enum TTransientType : Byte { ttBefore, ttAfter };

// The command codes run through CommandProcessor when the editor gains and loses the
// focus. They have no names and the editor's own command execution ignores them; command
// events and hooks see them.
inline constexpr TQvEditorCommand QvEditFocusGainedCommand = 700;
inline constexpr TQvEditorCommand QvEditFocusLostCommand = 701;

// The private clipboard format "QvEdit Control Block Type": one selection-mode byte, the
// text, a NUL. Registered once for the whole run.
UINT QvEditClipboardFormat();

// ---- Events ------------------------------------------------------------------------------------
// Sender is always the editor. A Data pointer of a command is typed by the command:
// TPoint* for ecGotoXY, ecSelGotoXY and ecSetMarker0..9, const char* (NUL-terminated) for
// ecImeStr, otherwise nullptr.

using TPlaceMarkEvent = TEvent<void(TObject* Sender, TQvEditMark*& Mark)>;
using TProcessCommandEvent =
    TEvent<void(TObject* Sender, TQvEditorCommand& Command, char& AChar, void* Data)>;
using TDropFilesEvent = TEvent<void(TObject* Sender, int X, int Y, TStrings* AFiles)>;
using TGutterClickEvent =
    TEvent<void(TObject* Sender, TMouseButton Button, int X, int Y, int Line, TQvEditMark* Mark)>;
using TPaintEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas)>;
using TReplaceTextEvent =
    TEvent<void(TObject* Sender, const std::string& ASearch, const std::string& AReplace,
                int Line, int Column, TQvReplaceAction& Action)>;
using TSpecialLineColorsEvent =
    TEvent<void(TObject* Sender, int Line, bool& Special, TColor& FG, TColor& BG)>;
using TContextHelpEvent = TEvent<void(TObject* Sender, const std::string& Word)>;
using TPaintTransient = TEvent<void(TObject* Sender, TCanvas* Canvas, TTransientType TransientType)>;
using TScrollEvent = TEvent<void(TObject* Sender, TScrollBarKind ScrollBar)>;
using TLineNumberEvent = TEvent<void(TObject* Sender, int& LineNo)>;
using TGutterGetTextEvent = TEvent<void(TObject* Sender, int aLine, std::string& aText)>;
using TGutterPaintEvent = TEvent<void(TObject* Sender, int aLine, int X, int Y)>;
using TStatusChangeEvent = TEvent<void(TObject* Sender, TQvStatusChanges Changes)>;

// A command hook: called before (AfterProcessing false) and after each command; setting
// Handled before the command turns it into ecNone. HandlerData is what the hook was
// registered with.
using THookedCommandEvent =
    TEvent<void(TObject* Sender, bool AfterProcessing, bool& Handled, TQvEditorCommand& Command,
                char& AChar, void* Data, void* HandlerData)>;
