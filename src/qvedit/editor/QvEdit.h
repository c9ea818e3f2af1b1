// The editor control: a window control that shows the lines of a text buffer with a
// gutter on the left, draws them through a highlighter, keeps a caret and a selection in
// three modes, turns keys into editor commands, keeps undo and redo lists, bookmarks and
// plug-ins. TQvEdit is the control as forms use it.
//
// The class is declared once, here; its operations are defined over several sources,
// one concern each. Every section below is headed by the source that implements it:
//
//   QvEditCreate.cpp          construction and destruction, the window hooks, the paint
//                             lock (BeginUpdate/EndUpdate) and the status notices
//   QvEditOptions.cpp         options, font and character extent, gutter width, property
//                             setters, ReadOnly, highlighter attach and detach, free
//                             notification
//   QvEditShareLines.cpp      one buffer shown by two editors, key-binding differences,
//                             trailing-blank trimming at the end of a change
//   QvEditPendingTrims.h/.cpp the lines a change is to trim, marked in the buffer
//   QvEditPaint.cpp           the paint pass, the gutter, paint events, invalidation
//   QvEditViewBatch.cpp       batches of changes that invalidate and scroll once, at their
//                             end
//   QvEditPaintText.cpp       the text area: token runs, selection, special lines, glyphs,
//   QvEditPainter.h             the right edge (per-paint state lives in the painter)
//   QvEditScroll.cpp          scroll bars (16-bit scaling), TopLine and LeftChar, keeping
//                             the caret in view, the wheel, thumb tracking and its hint
//   QvEditMessages.cpp        window-message handlers, focus (commands 700/701), input
//                             method, cut/copy/paste messages, dialog codes
//   QvEditCoords.h/.cpp       coordinates: characters, display columns, pixels, flat
//                             indexes; word bounds (free functions testable without a
//                             window, and their member forms)
//   QvEditCaret.cpp           the caret: placing, clamping, shape, showing
//   QvEditSelection.cpp       the selection, caret moves by characters, lines and words
//   QvEditMarks.h/.cpp        marks, the mark list and the plug-in base
//   QvEditBookmarks.cpp       the ten bookmarks
//   QvEditLineNotify.cpp      the buffer's line notices and the highlighter range rescan
//   QvEditTextChange.cpp      the one text-changing primitive, selected text, Text, LineText
//   QvEditIndentCase.cpp      block indent and unindent, case change, SelText with undo,
//                             Modified, undo brackets
//   QvEditClipboard.cpp       cut, copy and paste
//   QvEditUndoRedo.cpp        undo and redo replay, word wrap
//   QvEditWorkingLine.h/.cpp  the working copy of the one line an undo or redo step changes
//   QvEditCommandProcessor.cpp  key input, handler chains, the command processor and its
//                             hooks, focus controls, the key map
//   QvEditExecMove.cpp        command execution: caret movement and scrolling commands
//   QvEditExecEdit.cpp        command execution: typing, line breaks, tabs
//   QvEditExecDelete.cpp      command execution: the deleting commands
//   QvEditExecOther.cpp       command execution: the command switch, clipboard, undo,
//                             bookmarks, modes, case and help commands
//   QvEditMouse.cpp           mouse presses, moves, double clicks, auto-scroll, gutter
//                             clicks, the mouse cursor
//   QvEditDragDrop.cpp        dragging text between and within editors, dropped files
//   QvEditSearchReplace.cpp   the search-and-replace driver and bracket matching
//
// Positions: a character position has X a 1-based character index (length + 1 after the
// last character) and Y a 1-based line; a display position has X the 1-based column after
// tab expansion; pixel positions are client coordinates; a flat index (SelStart,
// SelLength) is 0-based and counts each line end as two characters.
//
// Deferred work: every multi-step change of caret, selection or view runs between
// IncPaintLock and DecPaintLock (or inside a TQvPaintLockScope). The scroll-bar update,
// the caret update and the status event wait for the outermost unlock.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/window/Controls.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/Messages.h"
#include "platform/runtime/System.h"
#include "platform/window/Timer.h"
#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditKbdHandler.h"
#include "qvedit/core/QvEditKeyCmds.h"
#include "qvedit/core/QvEditMiscClasses.h"
#include "qvedit/core/QvEditTextBuffer.h"
#include "qvedit/core/QvEditTypes.h"
#include "qvedit/core/QvEditUndoList.h"
#include "qvedit/core/QvHighlighterCheckpoints.h"
#include "qvedit/core/QvTextDrawer.h"
#include "qvedit/editor/QvEditCoords.h"
#include "qvedit/editor/QvEditDefs.h"
#include "qvedit/editor/QvEditPendingTrims.h"
#include "qvedit/editor/QvEditWorkingLine.h"

#include <array>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TQvEditMark;
class TQvEditMarkList;
class TQvEditPlugin;
class TQvEditTextPainter;
struct TQvEditLineTokens;

// A registered command hook and the data it was registered with.
struct THookedCommandHandlerEntry {
    THookedCommandEvent Event;
    void* Data = nullptr;
};

class TCustomQvEdit : public TCustomControl {
    friend class TQvEditMark;
    friend class TQvEditMarkList;
    friend class TQvEditPlugin;
    friend class TQvEditTextPainter;
    friend class TQvPaintLockScope;

    // =====================================================================================
    // QvEditCreate.cpp: construction, destruction, window hooks, paint lock, status
    // =====================================================================================
public:
    explicit TCustomQvEdit(TComponent* AOwner);
    ~TCustomQvEdit() override;

    // Nesting counter; the outermost DecPaintLock (with a window) updates the scroll
    // bars, then the caret, then reports the pending status changes, then paints what
    // PaintChanges left for it.
    void IncPaintLock();
    void DecPaintLock();
    void BeginUpdate() { IncPaintLock(); }
    void EndUpdate() { DecPaintLock(); }
    bool PaintLocked() const { return paintLock_ > 0; }
    // Paints what is invalid now, or at the end of the paint lock when it holds.
    void PaintChanges();

    // Adds Changes to the pending set; without a paint lock reports the whole set now.
    void StatusChanged(TQvStatusChanges AChanges);
    TQvStatusChanges GetPendingStatusChanges() const { return statusChanges_; }

    // Lines and bytes the highlighter scanned to store the ranges lines end in, over the
    // editor's life: what changes cost in range rescans.
    std::size_t RangeLinesScanned() const { return rangeLinesScanned_; }
    std::size_t RangeBytesScanned() const { return rangeBytesScanned_; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;

    // Slot 19. Calls OnStatusChange with the pending set (not the argument) and empties
    // it after; without a handler the set stays pending.
    virtual void DoOnStatusChange(TQvStatusChanges Changes);

private:
    // The lock of a change left by an exception goes back; the outermost still brings the
    // ranges up to date, of this editor and of the others on the buffer that waited for it.
    void DecPaintLockAfterException() noexcept;

    // =====================================================================================
    // QvEditOptions.cpp: options, font and extents, gutter width, setters, highlighter
    // =====================================================================================
public:
    TQvEditorOptions GetOptions() const { return options_; }
    void SetOptions(TQvEditorOptions Value);
    void SetOptionFlag(TQvEditorOption Flag, bool Value);

    // The control's font. A proportional font is turned into a fixed-pitch one of the
    // same face, size, style and colour.
    TFont* GetFont() const { return Font(); }
    void SetFont(TFont* Value);

    Integer GetCharWidth() const { return charWidth_; }
    // Never below 1, whatever ExtraLineSpacing is.
    Integer GetLineHeight() const { return lineHeight_; }
    Integer GetCharsInWindow() const { return charsInWindow_; }
    Integer GetLinesInWindow() const { return linesInWindow_; }
    Integer GetGutterWidth() const { return gutterWidth_; }
    // Client x of column 1: GutterWidth + 2 - (LeftChar - 1) * CharWidth.
    Integer GetTextOffset() const { return textOffset_; }

    Integer GetExtraLineSpacing() const { return extraLineSpacing_; }
    void SetExtraLineSpacing(Integer Value);
    Integer GetTabWidth() const { return tabWidth_; }
    void SetTabWidth(Integer Value);  // clamped to 1..256
    Integer GetMaxLineWidth() const { return maxLineWidth_; }
    void SetMaxLineWidth(Integer Value);  // clamped to 1..0x7FFFFFFE
    Integer GetMaxUndo() const;
    void SetMaxUndo(Integer Value);  // negative values are ignored
    Integer GetRightEdge() const { return rightEdge_; }
    void SetRightEdge(Integer Value);
    TColor GetRightEdgeColor() const { return rightEdgeColor_; }
    void SetRightEdgeColor(TColor Value);
    TColor GetActiveLineColor() const { return activeLineColor_; }
    void SetActiveLineColor(TColor Value);
    TColor GetScrollHintColor() const { return scrollHintColor_; }
    void SetScrollHintColor(TColor Value) { scrollHintColor_ = Value; }
    TScrollHintFormat GetScrollHintFormat() const { return scrollHintFormat_; }
    void SetScrollHintFormat(TScrollHintFormat Value) { scrollHintFormat_ = Value; }
    TScrollStyle GetScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool Value);
    bool GetInsertMode() const { return insertMode_; }
    void SetInsertMode(bool Value);
    bool GetWantReturns() const { return wantReturns_; }
    void SetWantReturns(bool Value) { wantReturns_ = Value; }
    bool GetWantTabs() const { return wantTabs_; }
    void SetWantTabs(bool Value) { wantTabs_ = Value; }

    // The buffer shown: the own one, or another editor's while it is shared.
    TQvEditStringList* GetLines() const { return lines_; }
    // Copies Value into the buffer; the buffer object stays.
    void SetLines(TStrings* Value);
    TQvEditUndoList* GetUndoList() const { return undoList_; }
    TQvEditUndoList* GetRedoList() const { return redoList_; }
    TQvGutter* GetGutter() const { return gutter_.get(); }
    void SetGutter(TQvGutter* Value);  // copies the settings
    TQvSelectedColor* GetSelectedColor() const { return selectedColor_.get(); }
    TQvBookMarkOpt* GetBookMarkOptions() const { return bookMarkOptions_.get(); }
    TQvEditMarkList* GetMarks() const { return marks_.get(); }

    TQvCustomHighlighter* GetHighlighter() const { return highlighter_; }
    // Attaching rescans the ranges of every line; detaching only repaints.
    void SetHighlighter(TQvCustomHighlighter* Value);

    // Slots 1 and 8.
    virtual bool GetReadOnly() const;
    virtual void SetReadOnly(bool Value);

    // While designing, a control whose text equals its old name takes the new name.
    void SetName(const std::string& NewName) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void QvFontChanged(TObject* Sender);
    // Measures LineHeight and CharWidth over the style combinations in use.
    void RecalcCharExtent();
    void SizeOrFontChanged(bool FontChanged);
    void GutterChanged(TObject* Sender);
    void SetGutterWidth(Integer Value);
    void HighlighterAttrChanged(TObject* Sender);
    void SelectedColorsChanged(TObject* Sender);
    void BookMarkOptionsChanged(TObject* Sender);

private:
    // CharsInWindow for the current client width, gutter and CharWidth.
    void RecalcCharsInWindow();
    // The text offset for the current gutter width, LeftChar and CharWidth.
    void UpdateTextOffset();

    // =====================================================================================
    // QvEditShareLines.cpp: a shared buffer, key-binding differences, trailing blanks
    // =====================================================================================
public:
    // Shows Editor's buffer (and uses its undo and redo lists) until RemoveLinesPointer,
    // Editor's destruction, the destruction of the editor that owns that buffer, or this
    // editor's. Ignores nullptr, this editor, and an editor that shows this editor's own
    // buffer (the buffer would hear itself).
    void SetLinesPointer(TCustomQvEdit* Editor);
    void RemoveLinesPointer();

    // The difference of the key map from Base, as form resources store it: the bindings
    // of this editor that Base lacks, and those of Base that this editor lacks (bindings
    // are equal when both shortcuts and the command are).
    void GetAddedKeystrokes(const TQvEditKeyStrokes& Base, TQvEditKeyStrokes& Added) const;
    void GetRemovedKeystrokes(const TQvEditKeyStrokes& Base, TQvEditKeyStrokes& Removed) const;
    // Applies stored differences: appends copies of Added; deletes the binding found by
    // the shortcut pair of each item of Removed when its command is the same.
    void ReadAddedKeystrokes(const TQvEditKeyStrokes& Added);
    void ReadRemovedKeystrokes(const TQvEditKeyStrokes& Removed);

    // S without its trailing tabs and blanks.
    static std::string TrimTrailingBlanks(const std::string& S);

protected:
    // Notes that line Index (0-based) loses its trailing blanks when the change ends.
    void TrimWhenChangeEnds(Integer Index);
    // At the end of a change (no paint lock, no undo block left open): trims the noted
    // lines and records the blanks each lost with the change's own number, after its
    // other records, so that undo gives them back first and redo takes them last.
    void TrimPendingLines();
    // Keeps the noted lines' numbers in step with lines inserted or deleted at Index.
    void ShiftPendingTrims(Integer Index);
    const TQvPendingTrims& PendingTrims() const { return pendingTrims_; }

private:
    void HookTextBuffer(TQvEditStringList* Buffer, TQvEditUndoList* Undo, TQvEditUndoList* Redo);
    void DropFreeNotice(TCustomQvEdit* Editor);
    void UnhookTextBuffer();
    // The editor that hooked the shared buffer right after this one (its saved handlers
    // are this editor's chain handlers); nullptr when this one hooked last.
    TCustomQvEdit* NextSharer();
    void LinesHookChanged();
    // Caret, selection and view moved into the buffer shown now; what is inside stays.
    void KeepPositionsInText();
    // After lines went: keeps the positions inside the text once this editor is in no
    // change of its own (the editor that deletes places its caret itself).
    void KeepPositionsAfterLinesWent();
    // Lines made while this editor is in no change of its own are not its edit's first.
    void ForgetEmptyStartUnlessEditing();
    // Runs Action on every editor that shows this editor's buffer, this one included.
    template <class TAction>
    void ForEachEditorOnTheBuffer(TAction&& Action) const;
    // Whether an editor that shows this editor's buffer is re-applying a redo record.
    bool RedoingIntoTheseLists() const;
    // Calls a handler saved from the shared buffer, unless it is the owner's own handler
    // and the owner shows another buffer now.
    template <class TEvent, class... TArgs>
    void CallSaved(const TEvent& Saved, TArgs&&... Args) const;
    // The shared buffer's notices: the saved handler first, then this editor's own
    // handler (not the one its own buffer has now: another editor may share that one).
    void ChainListAdded(Integer Index, std::string_view S);
    void ChainListCleared(TObject* Sender);
    void ChainListDeleted(Integer Index);
    void ChainListInserted(Integer Index, std::string_view S);
    void ChainListPutted(Integer Index, std::string_view S);
    void ChainLinesChanging(TObject* Sender);
    void ChainLinesChanged(TObject* Sender);
    void ChainUndoRedoAdded(TObject* Sender);

    // =====================================================================================
    // QvEditPaint.cpp: the paint pass, the gutter, paint events, invalidation
    // =====================================================================================
public:
    // All of these do nothing while the control is invisible or has no window; while
    // the buffer is in a batch (sfLinesChanging) the line forms collect their rectangle,
    // and inside a view batch everything waits for the batch's end.
    void InvalidateRect(const TRect& ARect, bool Erase);
    using TWinControl::InvalidateRect;
    // The line with the gutter; nothing outside the window or beyond the text.
    void InvalidateLine(Integer Line);
    // The text area of the lines; (-1, -1) is the whole text area.
    void InvalidateLines(Integer FirstLine, Integer LastLine);
    // The gutter strip of the lines; (-1, -1) is the whole gutter.
    void InvalidateGutterLines(Integer FirstLine, Integer LastLine);
    void InvalidateGutter() { InvalidateGutterLines(-1, -1); }

protected:
    void Paint() override;
    // Slots 3 and 4.
    virtual void PaintGutter(const TRect& AClip, Integer FirstLine, Integer LastLine);
    virtual void PaintTextLines(TRect AClip, Integer FirstLine, Integer LastLine,
                                Integer FirstCol, Integer LastCol);
    // Slots 12, 13, 14 and 18.
    virtual void DoOnPaint();
    // With Lock, ttBefore raises and ttAfter lowers the transient depth; the event fires
    // only at depth 0, so only the outermost pair around a command reaches it.
    virtual void DoOnPaintTransientEx(TTransientType TransientType, bool Lock);
    virtual void DoOnPaintTransient(TTransientType TransientType);
    virtual bool DoOnSpecialLineColors(Integer Line, TColor& Foreground, TColor& Background);
    void PluginsAfterPaint(TCanvas* ACanvas, const TRect& AClip, Integer FirstLine, Integer LastLine);

    // Every invalidation and scroll of the client area by the editor ends here.
    virtual void InvalidateClient(const TRect& ARect);
    virtual void ScrollClient(int DX, int DY, const TRect* Area);

private:
    // Paints the gutter and the text lines within Clip.
    void PaintArea(const TRect& Clip);
    void PaintGutterNumbers(const TRect& AClip, Integer FirstLine, Integer LastLine);
    // Draws the visible marks of the lines, bookmarks first or last; Offsets holds one x
    // offset per line from TopLine on.
    void PaintGutterMarks(Integer FirstLine, Integer LastLine, std::vector<Integer>& Offsets);
    void PaintGutterMark(TQvEditMark* Mark, bool FirstPass, Integer& Offset);
    // Adds ARect to the rectangle collected during a buffer batch, or invalidates it.
    void InvalidateOrCollect(const TRect& ARect);
    // The strip from Left to Right over the lines, clamped to the window.
    // Right < 0: the client width.
    void InvalidateLineStrip(Integer Left, Integer Right, Integer FirstLine, Integer LastLine);

    // =====================================================================================
    // QvEditViewBatch.cpp: batches of changes (a replace all, an undo step)
    // =====================================================================================
public:
    // Until the outermost batch ends (it holds the paint lock too) the view neither scrolls
    // nor invalidates: the lines invalidated are collected, and bringing the caret into view
    // is noted. The end brings the caret into view once and invalidates once.
    void BeginViewBatch();
    void EndViewBatch();
    bool InViewBatch() const { return viewBatch_.Depth > 0; }

private:
    friend class TQvViewBatchScope;
    struct TViewBatch {
        Integer Depth = 0;
        bool ShowCaret = false;    // the caret is to be brought into view at the end
        bool CentreCaret = false;  // and centred when outside the window
        bool Everything = false;   // the whole client area is invalid (the view moved)
        Integer FirstLine = 1;     // the invalid lines, 1-based; none while First > Last
        Integer LastLine = 0;
        Integer Left = 0;          // and their pixel columns
        Integer Right = 0;
        bool CaretXStale = false;  // the caret's remembered display column is taken at the end
    };
    // Adds a client rectangle (in the view as it is now) to the batch's invalid lines.
    void CollectInvalid(const TRect& ARect);
    // Ends the outermost batch by an exception: the whole area is invalidated, the caret
    // is left where it is, and the paint lock goes back without its deferred updates but
    // the ranges' (see DecPaintLockAfterException).
    void AbandonViewBatch();
    void FlushViewBatch();
    TViewBatch viewBatch_;

    // =====================================================================================
    // QvEditPaintText.cpp (with QvEditPainter.h): the text area
    // =====================================================================================
    // PaintTextLines above hands the work to a TQvEditTextPainter.
public:
    // The work of painting text over the editor's life, which tests read to see that a
    // paint costs what it shows: bytes of line text copied or tab-expanded, bytes the
    // highlighter tokenised, and lines painted.
    struct TPaintWork {
        std::uint64_t BytesCopied = 0;
        std::uint64_t BytesTokenised = 0;
        std::uint64_t LinesPainted = 0;
    };
    const TPaintWork& GetPaintWork() const { return paintWork_; }

private:
    TPaintWork paintWork_;
    // The tokens of long lines about the columns painted last, kept while the buffer and
    // the highlighter are unchanged (the painter owns the type; shared_ptr lets this header
    // hold it without knowing it).
    std::shared_ptr<std::vector<TQvEditLineTokens>> longLineTokens_;

    // =====================================================================================
    // QvEditScroll.cpp: scroll bars, TopLine and LeftChar, wheel, thumb hint
    // =====================================================================================
public:
    // Both clamp any value (negative, zero, huge, past the end) to the view's bounds.
    Integer GetLeftChar() const { return leftChar_; }
    void SetLeftChar(Integer Value);
    Integer GetTopLine() const { return topLine_; }
    void SetTopLine(Integer Value);
    void UpdateScrollBars();
    // Scrolls the caret into view (EnsureCursorPosVisible is the form without centring).
    void EnsureCursorPosVisible();
    // With ForceToMiddle a caret outside the window is centred.
    void EnsureCursorPosVisibleEx(bool ForceToMiddle);

protected:
    void WMHScroll(TWMScroll& Message) override;
    void WMVScroll(TWMScroll& Message) override;
    void WMMouseWheel(TWMMouseWheel& Message) override;

    // The scroll hint's text for the current view.
    std::string ScrollHintText() const;

private:
    void ApplyScrollBars();
    void ShowScrollHint();
    void HideScrollHint();
    // The horizontal scroll range: MaxLineWidth with eoScrollPastEol (the widest column
    // while the view is beyond it), else the longest line's length, at least 1.
    Integer HorzScrollRange();
    // The farthest column the caret can take with eoScrollPastEol: MaxLineWidth, or the
    // end of a longer line.
    Integer WidestColumn();

    bool updatingScrollBars_ = false;
    bool scrollBarsAgain_ = false;  // a resize asked for the bars while they were updated

    // =====================================================================================
    // QvEditMessages.cpp: window messages, focus, input method
    // =====================================================================================
public:
    // Focuses the last control of the focus-control list instead, while there is one.
    void SetFocus() override;

protected:
    void WndProc(TMessage& Message) override;
    void WMSize(TWMSize& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
    void WMCancelMode(TWMCancelMode& Message) override;
    void WMGetDlgCode(TWMGetDlgCode& Message) override;
    void WMImeComposition(TWMImeComposition& Message) override;
    void WMImeNotify(TWMImeNotify& Message) override;
    void WMCut(TWMCut& Message) override;
    void WMCopy(TWMCopy& Message) override;
    void WMPaste(TWMPaste& Message) override;

    // =====================================================================================
    // QvEditCoords.cpp: coordinate conversions (member forms of QvEditCoords.h)
    // =====================================================================================
public:
    TPoint LogicalToPhysicalPos(const TPoint& P) const;
    TPoint PhysicalToLogicalPos(const TPoint& P) const;
    TPoint RowColumnToPixels(const TPoint& RowCol) const;  // RowCol is a display position
    TPoint PixelsToRowColumn(const TPoint& Pixels) const;  // gives a character position
    Integer CaretXPix() const;
    Integer CaretYPix() const;
    TPoint GetDisplayXY() const;
    Integer DisplayX() const;
    Integer DisplayY() const;
    Integer RowColToCharIndex(const TPoint& RowCol) const;
    TPoint CharIndexToRowCol(Integer Index) const;
    // The character position under the mouse when it is over the control.
    bool GetPositionOfMouse(TPoint& aPos) const;

private:
    TQvViewMetrics ViewMetrics() const;

    // =====================================================================================
    // QvEditCaret.cpp: the caret
    // =====================================================================================
public:
    Integer GetCaretX() const { return caretX_; }
    void SetCaretX(Integer Value);
    Integer GetCaretY() const { return caretY_; }
    void SetCaretY(Integer Value);
    TPoint GetCaretXY() const { return TPoint{caretX_, caretY_}; }
    // Slot 6: moves the caret and clears the selection.
    virtual void SetCaretXY(const TPoint& Value);
    // Slot 5: moves the caret and leaves the selection alone.
    virtual void InternalSetCaretXY(const TPoint& Value);
    void InternalSetCaretX(Integer Value);
    void InternalSetCaretY(Integer Value);

    TQvEditCaretType GetInsertCaret() const { return insertCaret_; }
    void SetInsertCaret(TQvEditCaretType Value);
    TQvEditCaretType GetOverwriteCaret() const { return overwriteCaret_; }
    void SetOverwriteCaret(TQvEditCaretType Value);
    bool GetAlwaysShowCaret() const { return alwaysShowCaret_; }
    void SetAlwaysShowCaret(bool Value);

    void UpdateCaret();

protected:
    // Slot 7: clamps, stores, reports, and keeps the caret in view when asked.
    virtual void SetCaretXYEx(bool CallEnsureCursorPosVisible, TPoint Value);
    void ComputeCaret(Integer X, Integer Y);
    void UpdateLastCaretX();
    void InitializeCaret();
    void ShowCaret();
    void HideCaret();

private:
    // Both selection points become the caret; a selection there was is repainted.
    void CollapseSelectionToCaret();

    // =====================================================================================
    // QvEditSelection.cpp: selection, caret moves, words
    // =====================================================================================
public:
    TPoint GetBlockBegin() const;  // the earlier of the two selection points
    void SetBlockBegin(TPoint Value);
    TPoint GetBlockEnd() const;  // the later one
    void SetBlockEnd(TPoint Value);
    bool GetSelAvail() const;
    bool GetSelTabBlock() const;
    bool GetSelTabLine() const;
    TQvSelectionMode GetSelectionMode() const { return selectionMode_; }
    void SetSelectionMode(TQvSelectionMode Value);
    void SelectAll();
    void SetCaretAndSelection(const TPoint& ptCaret, const TPoint& ptBefore, const TPoint& ptAfter);
    bool IsPointInSelection(const TPoint& Value) const;

    Integer GetSelStart() const;
    void SetSelStart(Integer Value);
    Integer GetSelEnd() const;
    void SetSelEnd(Integer Value);
    Integer GetSelLength() const;
    void SetSelLength(Integer Value);

    // Slots 25 to 32: word positions from the caret or from XY.
    virtual TPoint NextWordPos();
    virtual TPoint NextWordPosEx(const TPoint& XY);
    virtual TPoint WordStart();
    virtual TPoint WordStartEx(const TPoint& XY);
    virtual TPoint WordEnd();
    virtual TPoint WordEndEx(const TPoint& XY);
    virtual TPoint PrevWordPos();
    virtual TPoint PrevWordPosEx(const TPoint& XY);

    std::string GetWordAtRowCol(const TPoint& XY) const;
    std::string GetWordAtMouse() const;
    std::string GetWordAtCursor();  // the WordAtCursor property
    void SetWordBlock(TPoint Value);
    void SetSelWord();

    // The identifier characters of the highlighter, or bytes 33..255 without one.
    TQvIdentChars IdentChars() const;
    Integer LeftSpaces(const std::string& Line) const;
    Integer LeftSpacesEx(const std::string& Line, bool WantTabs) const;
    std::string GetLeftSpacing(Integer CharCount, bool WantTabs) const;

protected:
    void MoveCaretAndSelection(const TPoint& ptBefore, const TPoint& ptAfter, bool SelectionCommand);
    void MoveCaretHorz(Integer DX, bool SelectionCommand);
    void MoveCaretVert(Integer DY, bool SelectionCommand);
    // Moves From and To right off the second byte of a double-byte character in S.
    void MBCSGetSelRangeInLineWhenColumnSelectionMode(const std::string& S, Integer& ColFrom,
                                                      Integer& ColTo) const;

private:
    // Value clamped to the columns and lines a selection point may take.
    TPoint ClampSelectionPoint(TPoint Value) const;
    // Value clamped to the columns and lines the caret may take.
    TPoint ClampCaretPoint(TPoint Value) const;

    // =====================================================================================
    // QvEditBookmarks.cpp: bookmarks (the marks themselves are in QvEditMarks.h)
    // =====================================================================================
public:
    void SetBookMark(Integer BookMark, Integer X, Integer Y);
    void ClearBookMark(Integer BookMark);
    void GotoBookMark(Integer BookMark);
    bool GetBookMark(Integer BookMark, Integer& X, Integer& Y) const;
    bool IsBookmark(Integer BookMark) const;
    void GotoLineAndCenter(Integer Line);

protected:
    // Slots 15 and 9.
    virtual void DoOnPlaceMark(TQvEditMark*& Mark);
    virtual void DoOnClearBookmark(TQvEditMark*& Mark);
    void MarkListChange(TObject* Sender);

    // =====================================================================================
    // QvEditLineNotify.cpp: line notices and range rescan (Index is 0-based)
    // =====================================================================================
protected:
    // Rescans ranges from line Index on until a stored range agrees, or up to the first
    // line an editor on the buffer has not scanned yet; returns the index of the last line
    // scanned.
    Integer ScanFrom(Integer Index);
    void ListAdded(Integer Index, std::string_view S);
    void ListInserted(Integer Index, std::string_view S);
    void ListDeleted(Integer Index);
    void ListPutted(Integer Index, std::string_view S);
    void ListCleared(TObject* Sender);
    void LinesChanging(TObject* Sender);
    void LinesChanged(TObject* Sender);
    void ListScanRanges(TObject* Sender);

private:
    // ScanFrom that does not stop on a line up to Through, even where the range agrees.
    Integer ScanRanges(Integer Index, Integer Through);
    // The changed lines' span grows by a notice at Index; see QvEditLineNotify.cpp.
    void NoteRangeChange(Integer Index);
    void NotePutRun(Integer Index, Integer Added);
    void ForgetRangeChanges();
    // The end of a change: the span is rescanned now or when a range after it is read.
    void RangeChangesEnded();
    void RangeChangesEndedUnlessChanging();
    // Rescans the span now; the lines whose range it changed are repainted unless told not.
    void RescanRangeChanges(bool InvalidateScanned = true);
    // Rescans the runs of lines put (each through its last line, then on until a stored
    // range agrees) up to Last; answers the last line scanned.
    Integer ScanPutRuns(std::vector<std::pair<Integer, Integer>>& Runs, Integer Last);
    // Whether a span can wait: the buffer asks its owner, which rescans for every editor
    // on it, when a range is read.
    bool RangesCanWait() const;
    // The buffer's stale mark: from the first line of the spans that wait and of the lines
    // not scanned yet, of all the editors on it (none when nothing waits).
    void MarkWaitingRangesStale();
    // The buffer's handler, on its owner: the editors on it whose spans wait or whose
    // unscanned lines start at or before line Wanted scan through it.
    void RangesWanted(Integer Wanted);
    // The first line an editor on the buffer has not scanned with its highlighter yet.
    Integer FirstUnscannedLine() const;
    // Scans this editor's unscanned lines through line Through and moves its mark past it.
    void ScanUnscannedLines(Integer Through);
    void ForgetUnscannedLines();
    // Scans the rest of the unscanned lines: before the editor shows another buffer.
    void ScanAllUnscannedLines();
    // Whether another editor on this buffer holds its paint lock (is making a change).
    bool AnotherEditorIsChanging() const;
    // The other editors on the buffer that waited for this one's change catch up.
    void ChangeEndedForTheOthers();
    // With eoAutoSizeMaxLineWidth, MaxLineWidth grows to the expanded length of the line.
    void GrowMaxLineWidthFor(Integer Index);
    // Text and gutter from Line (1-based) down need painting; in a batch, once it ends.
    void InvalidateLinesFrom(Integer Line);

    // =====================================================================================
    // QvEditTextChange.cpp: the text primitive, selected text, Text, LineText
    // =====================================================================================
public:
    std::string GetSelText() const;
    // The Text property: lines joined by CR LF; setting records no undo.
    std::string QvGetText() const;
    void QvSetText(const std::string& Value);
    std::string GetLineText() const;
    // The caret's line read in place, valid until the buffer changes; empty past the end.
    std::string_view GetLineView() const;
    void SetLineText(const std::string& Value);
    void ClearAll();
    void Clear() { ClearAll(); }
    void ClearSelection();
    // Inserts Text as a column block at BB (BB..BE selected first); leaves smColumn.
    void InsertBlock(const TPoint& BB, const TPoint& BE, const char* ChangeStr);

protected:
    // The one primitive every text change goes through: deletes the selection (in the
    // editor's mode) and inserts Value (up to its first NUL) in PasteMode.
    void SetSelTextPrimitive(TQvSelectionMode PasteMode, const char* Value);
    void SetSelTextPrimitiveEx(TQvSelectionMode PasteMode, const char* Value, bool AddToUndoList);
    void SetSelText(const std::string& Value);
    // Stores Text as line Index. With eoTrimTrailingSpaces its trailing blanks go when the
    // change ends (TrimPendingLines), so that the change's records see them as it made them.
    void TrimmedSetLine(Integer Index, const std::string& Text);
    // The same for the lines of Text (split at CR LF, a lone CR or a lone LF) from Index on,
    // Head joined to the first and Tail to the last, as the buffer's PutLines stores them.
    void TrimmedSetLines(Integer Index, std::string_view Head, std::string_view Text, std::string_view Tail);
    // Splits line Line (0-based; Count for a line appended first) with the lines of Text:
    // Count new lines open after it (before it with LinesBefore), and Text's lines are
    // stored from Line on, Head joined to the first and Tail to the last. All or nothing:
    // when storing fails, the lines are left as they were.
    void InsertTextLines(Integer Line, Integer Count, bool LinesBefore, std::string_view Head,
                         std::string_view Text, std::string_view Tail);
    void InsertBlockEx(const TPoint& BB, const TPoint& BE, const char* ChangeStr, bool AddToUndoList);
    // Marks follow inserted and deleted lines (1-based); plug-ins are told.
    void DoLinesInserted(Integer FirstLine, Integer Count);
    void DoLinesDeleted(Integer FirstLine, Integer Count);

    // The lines of Text: pieces between line ends (CR LF, a lone CR or a lone LF); a text
    // ending with a line end has an empty last piece.
    static std::vector<std::string_view> SplitTextLines(std::string_view Text);

    // The stored selection ends as an undo record of their deletion takes them.
    std::pair<TPoint, TPoint> StoredSelectionForUndo() const;
    // Puts the earlier stored selection end first, the ends as they are: a selection past
    // the line ends stays what the deletion takes, also when its record holds less.
    void OrderStoredSelection();
    // Where the primitive puts text inserted at At in the editor's mode: in line mode at
    // column 1 of At's line.
    TPoint InsertionStart(TPoint At) const;
    // Records the coming deletion of the selection as Reason (the ends as
    // StoredSelectionForUndo gives them, the selected text, the editor's mode), for a
    // replacement inside an undo block, and returns where the text put in its place begins.
    TPoint RecordSelectionDeletion(TQvChangeReason Reason);

private:
    std::string SelectedText(bool PadColumns) const;
    // The stream from From to To (on a later line), lines joined by CR LF.
    std::string SelectedStream(TPoint From, TPoint To) const;
    void DeleteSelectedBlock(TPoint& BB, const TPoint& BE);
    void InsertTextByMode(TQvSelectionMode PasteMode, std::string_view Text, bool AddToUndoList);
    // Each returns the number of lines it added to the buffer.
    Integer InsertNormal(std::string_view Text, bool AddToUndoList);
    Integer InsertColumn(std::string_view Text, bool AddToUndoList);
    Integer InsertLine(std::string_view Text);

    // =====================================================================================
    // QvEditIndentCase.cpp: indent, case, SelText with undo, Modified, undo brackets
    // =====================================================================================
public:
    // The SelText setter: replaces the selection inside one undo block.
    void SetSelTextExternal(const std::string& Value);
    bool GetModified() const { return modified_; }
    void SetModified(bool Value);
    void BeginUndoBlock();
    void EndUndoBlock();
    void LockUndo();
    void UnlockUndo();
    void ClearUndo();

protected:
    // SetSelTextExternal with InsertReason for the record of the insertion.
    void ReplaceSelectionRecorded(const std::string& Value, TQvChangeReason InsertReason);
    void DoBlockIndent();
    void DoBlockUnindent();
    void DoCaseChange(TQvEditorCommand Cmd);
    void UpdateModifiedStatus();

    // Runs Body inside BeginUndoBlock/EndUndoBlock; the block is closed also when it raises.
    template <class Body>
    void InUndoBlock(Body&& body)
    {
        BeginUndoBlock();
        try {
            body();
        } catch (...) {
            EndUndoBlock();
            throw;
        }
        EndUndoBlock();
    }

    // =====================================================================================
    // QvEditClipboard.cpp: cut, copy and paste
    // =====================================================================================
public:
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool GetCanPaste() const;

protected:
    void DoCopyToClipboard(const std::string& SText);

private:
    void PasteText(TQvSelectionMode PasteMode, const std::string& Text);

    // =====================================================================================
    // QvEditUndoRedo.cpp: undo and redo replay, word wrap
    // =====================================================================================
public:
    void Undo();
    void Redo();
    bool GetCanUndo() const;
    bool GetCanRedo() const;
    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);

protected:
    void UndoItem();
    void RedoItem();
    // The OnAdded handler of both lists.
    void UndoRedoAdded(TObject* Sender);
    // Tells the undo lists whether consecutive changes of one reason undo together.
    void TellUndoListsOfGrouping();
    // Whether a step's records that change one line in the stream mode go to one working
    // copy of it (on by default; off, each record changes the buffer as it is replayed,
    // which is what the working line must give).
    void SetStepOnWorkingLine(bool Value) { stepOnWorkingLine_ = Value; }

private:
    class TReplayFrame;
    class TReplayStep;
    // The working line (QvEditWorkingLine.h): whether the record on top goes to it, the
    // record replayed there, and the line put with what the records owe the lists.
    bool TakesWorkingLine(const TQvEditUndoItem& Item, bool Undoing) const;
    void StartWorkingLine(const TQvEditUndoItem& Item, TPoint FirstChange);
    void UndoOnWorkingLine();
    void RedoOnWorkingLine();
    void PutWorkingLine();
    void ApplyRedo(TQvEditUndoItem& Item);
    void ReplaySelection(const TQvEditUndoItem& Item, TQvEditUndoList& Mirror);
    void UndoLineBreak(const TQvEditUndoItem& Item);
    void RedoUnindent(const TQvEditUndoItem& Item);
    void RedoLineBreak(const TQvEditUndoItem& Item);
    // crTrailingBlanks: puts the trimmed blanks back at the line's end, or takes them away.
    void ReplayTrailingBlanks(const TQvEditUndoItem& Item, bool Undoing);
    void SelectForRedo(const TQvEditUndoItem& Item, TPoint Begin, TPoint End);
    void TakeFirstLineAway(Integer RedoCountBefore);

    // =====================================================================================
    // QvEditCommandProcessor.cpp: key input, handler chains, command processor, hooks
    // =====================================================================================
public:
    // Slot 20: events, hooks, execution of codes 1..1000, hooks again, OnCommandProcessed.
    virtual void CommandProcessor(TQvEditorCommand Command, char AChar, void* Data);

    void RegisterCommandHandler(const THookedCommandEvent& AHandlerProc, void* AHandlerData);
    void UnregisterCommandHandler(const THookedCommandEvent& AHandlerProc);
    Integer GetHookedCommandHandlersCount() const;

    void AddKeyDownHandler(const TKeyEvent& aHandler);
    void RemoveKeyDownHandler(const TKeyEvent& aHandler);
    void AddKeyUpHandler(const TKeyEvent& aHandler);
    void RemoveKeyUpHandler(const TKeyEvent& aHandler);
    void AddKeyPressHandler(const TKeyPressEvent& aHandler);
    void RemoveKeyPressHandler(const TKeyPressEvent& aHandler);
    void AddMouseDownHandler(const TMouseEvent& aHandler);
    void RemoveMouseDownHandler(const TMouseEvent& aHandler);

    void AddFocusControl(TWinControl* aControl);
    void RemoveFocusControl(TWinControl* aControl);

    void AddKey(TQvEditorCommand Command, Word Key1, TShiftState SS1, Word Key2, TShiftState SS2);
    TQvEditKeyStrokes* GetKeystrokes() const { return keystrokes_.get(); }
    // nullptr clears the map; anything else is copied.
    void SetKeystrokes(TQvEditKeyStrokes* Value);
    // Slot 33.
    virtual void SetDefaultKeystrokes();

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    TQvEditorCommand TranslateKeyCode(Word Code, TShiftState Shift, void*& Data);
    // Slots 2, 16 and 10.
    virtual void NotifyHookedCommandHandlers(bool AfterProcessing, TQvEditorCommand& Command,
                                             char& AChar, void* Data);
    virtual void DoOnProcessCommand(TQvEditorCommand& Command, char& AChar, void* Data);
    virtual void DoOnCommandProcessed(TQvEditorCommand Command, char AChar, void* Data);
    // Index of the hook with that handler; -1 when none.
    Integer FindHookedCmdEvent(const THookedCommandEvent& AHandlerProc) const;

private:
    bool HasImeCharsToSkip();

    // =====================================================================================
    // QvEditExecMove.cpp, QvEditExecEdit.cpp, QvEditExecDelete.cpp, QvEditExecOther.cpp:
    // command execution
    // =====================================================================================
protected:
    // Slot 24: runs one command (codes 1..1000) under the paint lock.
    virtual void ExecuteCommand(TQvEditorCommand Command, char AChar, void* Data);
    void DoHomeKey(bool Selection);
    void DoTabKey();
    void DoShiftTabKey();

private:
    // Each runs the command when it is of its group and tells whether it was.
    bool ExecuteMoveCommand(TQvEditorCommand Command, void* Data);
    bool ExecuteViewCommand(TQvEditorCommand Command);
    bool ExecuteEditCommand(TQvEditorCommand Command, char AChar, void* Data);
    bool ExecuteTypingCommand(TQvEditorCommand Command, char AChar, void* Data);
    void ExecuteOtherCommand(TQvEditorCommand Command, void* Data);

    void MoveCaretTo(const TPoint& Target, bool Selection);
    void DoPageMove(bool Down, bool Selection);
    void DoScrollLine(Integer Delta);
    void TypeChar(char AChar);
    void TypeCharOverSelection(char AChar);
    void InsertImeText(const char* Text);
    void DoLineBreak(bool MoveCaret);
    void DoDeleteLastChar();
    void DoDeleteChar();
    void DoDeleteToWordEndOrEol(TQvEditorCommand Command);
    void DoDeleteToWordStartOrBol(TQvEditorCommand Command);
    void DoDeleteLine();
    void DoSetMarker(Integer Number, const void* Data);
    // Deletes the selection with its undo record; ByDirection records a selection made
    // backwards as crDeleteAfterCursor.
    void DeleteSelectionForCommand(bool ByDirection);
    // Replaces the span From..To of the text (as a normal selection, whatever the mode)
    // by Text without undo records; returns the text it replaced.
    std::string ReplaceSpan(const TPoint& From, const TPoint& To, const std::string& Text);
    // Records the deletion of From..End forward of the caret; with the caret in the virtual
    // space after the line (From before it), also the blanks that filled From..Caret, so
    // that undo takes them away before it puts the text back.
    void RecordDeleteAfterCaret(const TPoint& From, const TPoint& End, const std::string& Deleted);
    // Moves the view right when the caret reached the window's right edge.
    void ScrollToTypedCaret();
    // The smart-tab target in the nearest line above that reaches the caret's display
    // column: its display distance from the caret, 0 when there is none.
    Integer SmartTabDistance() const;

    // Runs Body with Option switched on; only the bit changes, without the option
    // setter's side effects, and it is restored also when Body raises.
    template <class Body>
    void WithOptionOn(TQvEditorOption Option, Body&& body)
    {
        const TQvEditorOptions saved = options_;
        options_.Include(Option);
        try {
            body();
        } catch (...) {
            options_ = saved;
            throw;
        }
        options_ = saved;
    }

    // =====================================================================================
    // QvEditMouse.cpp: mouse, auto-scroll, gutter clicks, cursor
    // =====================================================================================
protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void WMSetCursor(TWMSetCursor& Message) override;
    void WMCaptureChanged(TWMCaptureChanged& Message) override;
    // Slot 11.
    virtual void DoOnGutterClick(TMouseButton Button, Integer X, Integer Y);
    void ComputeScroll(Integer X, Integer Y);
    void ScrollTimerHandler(TObject* Sender);

    // =====================================================================================
    // QvEditDragDrop.cpp: text drag and drop, dropped files
    // =====================================================================================
public:
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;

protected:
    void DragCanceled() override;
    void WMDropFiles(TWMDropFiles& Message) override;

private:
    // Deletes the selection for a move within this editor (one deletion record) and
    // returns DropPoint as it stands once the selection is gone.
    TPoint MoveSelectionAway(TPoint DropPoint, const std::string& Text);
    // Inserts Text at DropPoint (past the line end if need be), recorded as every
    // replacement of the selection is.
    void InsertDroppedText(const TPoint& DropPoint, const std::string& Text, bool SameEditor);
    // Runs Body with both undo lists locked; they are unlocked also when it raises.
    template <class Body>
    void WithUndoLocked(Body&& body)
    {
        LockUndo();
        try {
            body();
        } catch (...) {
            UnlockUndo();
            throw;
        }
        UnlockUndo();
    }

    // =====================================================================================
    // QvEditSearchReplace.cpp: search-and-replace driver, bracket matching
    // =====================================================================================
public:
    // The number of matches found (and processed).
    Integer SearchReplace(const std::string& ASearch, const std::string& AReplace,
                          TQvSearchOptions AOptions);
    TQvEditSearchCustom* GetSearchEngine() const { return searchEngine_; }
    void SetSearchEngine(TQvEditSearchCustom* Value);
    // Slots 21, 22 and 23; (0, 0) when there is no matching bracket.
    virtual void FindMatchingBracket();
    virtual TPoint GetMatchingBracket();
    virtual TPoint GetMatchingBracketEx(const TPoint& APoint, bool AdjustForTabs);
    bool GetHighlighterAttriAtRowCol(const TPoint& XY, std::string& Token,
                                     TQvHighlighterAttributes*& Attri);
    bool GetHighlighterAttriAtRowColEx(const TPoint& XY, std::string& Token, Integer& TokenType,
                                       Integer& Start, TQvHighlighterAttributes*& Attri);

protected:
    // Slot 17: raCancel when OnReplaceText is not assigned.
    virtual TQvReplaceAction DoOnReplaceText(const std::string& ASearch, const std::string& AReplace,
                                             Integer Line, Integer Column);

private:
    // The part of the text a search covers, and the filter of its matches by mode.
    struct TSearchRange {
        TPoint Start;
        TPoint End;
        TQvSelectionMode Mode = smNormal;
        // Starts (or, backward, ends) at the caret.
        bool FromCaret = false;
        bool Contains(Integer Line, Integer Found, Integer Len) const;
    };
    // One call of SearchReplace: what it was told, and what it holds until it ends.
    struct TSearchRun {
        bool Backward = false;
        bool Prompt = false;
        bool Replace = false;
        bool ReplaceAll = false;
        TSearchRange Range;
        TQvSelectionMode UserMode = smNormal;
        TQvSearchOptions Options;  // as the engine was given them
        std::string Pattern;       // as the engine has it
        bool Batched = false;      // a view batch is open (replacing all)
        bool UndoBlockOpen = false;
        Integer Result = 0;
    };
    // The matches of the line a search last gave its engine, and what they came from. A
    // find takes them again while none of it has changed instead of searching the line
    // anew: going through a long line of many matches one find at a time then searches
    // the line once, not once a match.
    struct TLineMatches {
        const TQvEditSearchCustom* Engine = nullptr;
        const TQvEditStringList* Lines = nullptr;
        std::uint64_t Stamp = 0;  // the lines' change stamp
        Integer Line = 0;
        std::string Pattern;
        TQvSearchOptions Options;
        std::vector<Integer> Found;
        std::vector<Integer> Length;
    };
    TSearchRange SearchRangeFor(TQvSearchOptions AOptions) const;
    // The matches of the 1-based Line: kept ones for a find, else the engine's FindAll.
    const TLineMatches& MatchesOfLine(const TSearchRun& Run, Integer Line);
    void RunSearch(TSearchRun& Run, const std::string& ASearch, const std::string& AReplace);
    void SelectSearchMatch(Integer Line, Integer Found, Integer Len, bool Backward);
    // Replaces every match of the line just searched that lies in the range; returns the
    // line the search goes on from (the last line of a replacement with line breaks).
    Integer ReplaceMatchesOfLine(TSearchRun& Run, Integer Line, const std::string& AReplace);
    // True while the caret stands where the last find left it and has not moved since.
    bool CaretWhereTheLastFindLeftIt() const;
    void OpenSearchUndoBlock(TSearchRun& Run);
    // Gives back the user's selection mode, ends the view batch and the undo block.
    void EndSearchRun(TSearchRun& Run);
    // Sets the highlighter on the 1-based Line with the range stored for the line above.
    void StartHighlighterAt(Integer Line, const std::string& Text);
    // Per character of Text, whether it lies in a string or comment token.
    std::vector<bool> StringOrCommentColumns(Integer Line, const std::string& Text);

    // =====================================================================================
    // Events (assigned by the application)
    // =====================================================================================
public:
    TNotifyEvent OnChange;
    TPlaceMarkEvent OnClearBookmark;
    TProcessCommandEvent OnCommandProcessed;
    TDropFilesEvent OnDropFiles;
    TGutterClickEvent OnGutterClick;
    TPaintEvent OnPaint;
    TPlaceMarkEvent OnPlaceBookmark;
    TProcessCommandEvent OnProcessCommand;
    TProcessCommandEvent OnProcessUserCommand;
    TReplaceTextEvent OnReplaceText;
    TSpecialLineColorsEvent OnSpecialLineColors;
    TContextHelpEvent OnContextHelp;
    TPaintTransient OnPaintTransient;
    TScrollEvent OnScroll;
    TLineNumberEvent OnLineNumber;
    TGutterGetTextEvent OnGutterGetText;
    TGutterPaintEvent OnGutterPaint;
    TStatusChangeEvent OnStatusChange;

    // =====================================================================================
    // State, in the order of the control's description; every unit reads and writes it
    // =====================================================================================
protected:
    TPoint blockBegin_{1, 1};  // the anchor: where the selection was started
    TPoint blockEnd_{1, 1};    // the moving end
    Integer caretX_ = 1;
    Integer lastCaretX_ = 1;  // display column remembered for vertical moves
    Integer caretY_ = 1;
    Cardinal caretMoves_ = 0;  // counts the caret's moves, and new texts
    Integer charsInWindow_ = 0;
    Integer charWidth_ = 0;
    std::unique_ptr<TFont> fontTemplate_;  // forces a fixed pitch
    Integer imeCount_ = 0;              // IME characters still to arrive as key presses
    bool mbcsStepAside_ = false;        // a vertical move stepped off a trail byte
    bool insertMode_ = true;
    TQvEditStringList* lines_ = nullptr;  // the buffer in use
    std::unique_ptr<TQvEditStringList> ownLines_;
    std::unique_ptr<TQvEditUndoList> ownUndoList_;
    std::unique_ptr<TQvEditUndoList> ownRedoList_;
    Integer linesInWindow_ = 0;
    Integer leftChar_ = 1;
    Integer maxLineWidth_ = 1024;
    Integer paintLock_ = 0;
    // The lines changed since the last range rescan (0-based, -1 when none) and the line
    // count at the last notice; a buffer batch that ended while another editor changed the
    // buffer; the scan counters.
    Integer rangesFirst_ = -1;
    Integer rangesLast_ = -1;
    Integer rangesLineCount_ = 0;
    bool rangesWaiting_ = false;  // the span waits for a reader (the buffer marks it stale)
    // The lines from this one on were not scanned with the highlighter yet (NoStaleRanges:
    // none); the buffer marks them stale.
    Integer rangesUnscannedFrom_ = TQvEditStringList::NoStaleRanges;
    // The runs of lines put in the span (first and last, 0-based), kept while the change
    // only puts lines: the rescan passes over the lines between them where a range agrees.
    std::vector<std::pair<Integer, Integer>> rangesPut_;
    bool rangesOnlyPut_ = true;
    bool linesChangedLater_ = false;
    std::size_t rangeLinesScanned_ = 0;
    std::size_t rangeBytesScanned_ = 0;

    // ---- Highlighter checkpoints along long lines (QvEditLineNotify.cpp, QvEditPaintText.cpp)
    // Lines at least this long keep the highlighter's state at intervals along them.
    static constexpr std::size_t CheckpointedLine = 16 * 1024;
    // Scans line Index for the range it ends in, from the range set in the highlighter:
    // a long line from its last checkpoint that holds.
    void ScanLineForRange(std::string_view Line, Integer Index);
    TQvLineCheckpointsKept lineCheckpoints_;
    // The line an undo or redo step changes, while the step goes on (QvEditUndoRedo.cpp).
    TQvWorkingLine workingLine_;
    bool stepReplaying_ = false;
    bool stepOnWorkingLine_ = true;
    // Lines to lose their trailing blanks when the change ends, the line count they were
    // counted against; whether the undo list recorded since the first was noted, and the
    // number of the undo block open then (0 for none).
    TQvPendingTrims pendingTrims_;
    Integer pendingTrimsLineCount_ = 0;
    bool pendingTrimsRecorded_ = false;
    Integer pendingTrimsBlockNumber_ = 0;
    bool editStartedEmpty_ = false;  // the buffer had no line when the outermost paint lock began
    bool readOnly_ = false;
    Integer rightEdge_ = 80;
    TColor rightEdgeColor_ = clSilver;
    TColor scrollHintColor_ = clInfoBk;
    TScrollHintFormat scrollHintFormat_ = shfTopLineOnly;
    TScrollStyle scrollBars_ = ssBoth;
    Integer lineHeight_ = 0;
    Integer textOffset_ = 0;
    Integer topLine_ = 1;
    TQvCustomHighlighter* highlighter_ = nullptr;  // not owned
    std::unique_ptr<TQvSelectedColor> selectedColor_;
    TColor activeLineColor_ = clWindow;
    TQvEditUndoList* undoList_ = nullptr;  // the lists in use
    TQvEditUndoList* redoList_ = nullptr;
    std::array<TQvEditMark*, 10> bookMarks_{};  // owned by the mark list
    Integer mouseDownX_ = 0;
    Integer mouseDownY_ = 0;
    std::unique_ptr<TQvBookMarkOpt> bookMarkOptions_;
    TBorderStyle borderStyle_ = bsSingle;
    bool hideSelection_ = false;
    Integer mouseWheelAccumulator_ = 0;
    TQvEditCaretType overwriteCaret_ = ctBlock;
    TQvEditCaretType insertCaret_ = ctVerticalLine;
    TPoint caretOffset_;
    std::unique_ptr<TQvEditKeyStrokes> keystrokes_;
    bool modified_ = false;
    std::unique_ptr<TQvEditMarkList> marks_;
    Integer extraLineSpacing_ = 0;
    TQvSelectionMode selectionMode_ = smNormal;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    std::unique_ptr<TQvGutter> gutter_;
    Integer tabWidth_ = 8;
    std::unique_ptr<TQvTextDrawer> textDrawer_;
    TRect invalidateRect_;  // collected while sfLinesChanging is set
    Integer invalidFromLine_ = 0;  // 1-based, the batch's first line to repaint; 0: none
    TQvStateFlags stateFlags_;
    TQvEditorOptions options_ = QvEditDefaultOptions;
    TQvStatusChanges statusChanges_;  // pending, not yet reported
    Word lastKey_ = 0;                // first stroke of a two-stroke binding
    TShiftState lastShiftState_ = 0;
    TQvEditSearchCustom* searchEngine_ = nullptr;  // not owned
    TPoint lastFindCaret_{0, 0};        // where the last find left the caret; (0, 0): none
    Cardinal lastFindCaretMoves_ = 0;   // caretMoves_ then
    TLineMatches lineMatches_;
    std::vector<THookedCommandHandlerEntry> hookedCommandHandlers_;
    std::unique_ptr<TQvEditKbdHandler> kbdHandler_;
    std::vector<TWinControl*> focusList_;  // the controls are not owned
    std::vector<TQvEditPlugin*> plugins_;  // freed with the editor when still attached
    TTimer* scrollTimer_ = nullptr;  // owned as a component of the control
    Integer scrollDeltaX_ = 0;
    Integer scrollDeltaY_ = 0;
    bool wordWrap_ = false;
    bool showSpecialChars_ = false;     // eoShowSpecialChars as of the last options change
    bool saveAltSetsColumnMode_ = false;  // eoAltSetsColumnMode was on when wrap went on
    Integer paintTransientLock_ = 0;
    // The shared buffer's and undo lists' own handlers, called before this editor's; an
    // editor that lets go of the buffer hands them to the editor that hooked after it.
    struct TSavedBufferHandlers {
        TStringListInsertedEvent OnAdded;
        TNotifyEvent OnCleared;
        TStringListIndexEvent OnDeleted;
        TStringListInsertedEvent OnInserted;
        TStringListInsertedEvent OnPutted;
        TNotifyEvent OnChanging;
        TNotifyEvent OnChange;
        TNotifyEvent UndoAdded;
        TNotifyEvent RedoAdded;
    };
    TSavedBufferHandlers saved_;
    TCustomQvEdit* chainedEditor_ = nullptr;  // whose buffer is shown
    // While sharing: the editor whose own buffer is shown (the chained editor, or the
    // editor the chained editor shares with). An owner lists the editors that show its
    // own buffer, in the order they hooked it.
    TCustomQvEdit* bufferOwner_ = nullptr;
    std::vector<TCustomQvEdit*> sharers_;
    bool linesWent_ = false;  // lines were deleted since the positions were last kept
    Integer gutterWidth_ = 0;
    std::unique_ptr<TQvInternalImage> internalBookmarkImage_;
    bool alwaysShowCaret_ = false;
};

template <class TAction>
void TCustomQvEdit::ForEachEditorOnTheBuffer(TAction&& Action) const
{
    // The owner shows its own buffer unless it shares another editor's meanwhile.
    TCustomQvEdit& owner = bufferOwner_ != nullptr ? *bufferOwner_ : const_cast<TCustomQvEdit&>(*this);
    if (owner.lines_ == lines_)
        Action(owner);
    for (TCustomQvEdit* e : owner.sharers_)
        Action(*e);
}

// Holds the paint lock of an editor for a scope. When the scope ends normally the
// outermost unlock runs the deferred updates; when it ends by an exception the count goes
// back and only the ranges are brought up to date, so the exception passes unchanged.
class TQvPaintLockScope {
public:
    explicit TQvPaintLockScope(TCustomQvEdit& AEditor)
        : editor_(AEditor), exceptions_(std::uncaught_exceptions())
    {
        editor_.IncPaintLock();
    }
    ~TQvPaintLockScope() noexcept(false);
    TQvPaintLockScope(const TQvPaintLockScope&) = delete;
    TQvPaintLockScope& operator=(const TQvPaintLockScope&) = delete;

private:
    TCustomQvEdit& editor_;
    int exceptions_;
};

// Holds a view batch of an editor for a scope; an exception abandons it (see
// AbandonViewBatch).
class TQvViewBatchScope {
public:
    explicit TQvViewBatchScope(TCustomQvEdit& AEditor)
        : editor_(AEditor), exceptions_(std::uncaught_exceptions())
    {
        editor_.BeginViewBatch();
    }
    ~TQvViewBatchScope() noexcept(false);
    TQvViewBatchScope(const TQvViewBatchScope&) = delete;
    TQvViewBatchScope& operator=(const TQvViewBatchScope&) = delete;

private:
    TCustomQvEdit& editor_;
    int exceptions_;
};

// The editor as forms use it; it adds no behaviour.
class TQvEdit : public TCustomQvEdit {
public:
    explicit TQvEdit(TComponent* AOwner) : TCustomQvEdit(AOwner) {}
};
