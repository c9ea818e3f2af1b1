// The one line an undo or redo step changes record after record, held as one working copy
// while the step goes on and put into the buffer once at its end: undoing a hundred
// deletions at the start of a 20 MB line passes over the line at most three times (the
// copy in, the gap closed, the buffer's copy), not twice for each deletion. It replays what the editor's operations do to the line, the caret and the
// selection (a stream selection on that line, the caret and the selection clamped as the
// editor clamps them while it replays), and keeps the records the step owes the two lists
// until the line is put.
#pragma once

#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditUndoList.h"
#include "qvedit/core/QvGapText.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TQvWorkingLine {
public:
    // What the caret is clamped by (the editor's maximum line width), and whether the
    // selection collapses to the caret when the buffer's batch of each change ends (the
    // editor does that with a window).
    struct TLimits {
        Integer MaxLineWidth = 0;
        bool CollapseAfterChange = false;
    };
    // A record the step owes a list, given to it once the line is put: the mirror of an
    // undone record for the redo list, or the record of a redone change for the undo list
    // (with the block number it was made under).
    struct TOwed {
        std::unique_ptr<TQvEditUndoItem> Mirror;
        TQvChangeReason Reason = crNothing;
        TPoint Start;
        TPoint End;
        std::string Text;
        Integer BlockNumber = 0;
    };

    bool Holds() const { return line_ > 0; }
    Integer Line() const { return line_; }
    // Takes a copy of the 1-based line Line, Text, with room for changes at FirstChange;
    // Caret is where the editor's caret is.
    void Start(Integer Line, std::string_view Text, std::size_t FirstChange, const TLimits& Limits, TPoint Caret);
    // Makes room for a record's text and the record it owes, before the record is taken.
    void Reserve(std::size_t Bytes);

    // What the editor's operations do in normal selection mode, every point on the line.
    void SetCaretAndSelection(TPoint Caret, TPoint Begin, TPoint End);
    void SetCaret(TPoint Caret);
    std::string SelectedText() const;
    // Deletes the selection, then inserts Text at the caret (after blanks up to a caret past
    // the line's end), the caret after it: the text primitive. Returns whether a selection
    // went.
    bool ReplaceSelection(std::string_view Text);
    // A record asks for the caret to be brought into view; so does every move of the caret
    // but the one after inserted text.
    void WantCaretInView() { caretInView_ = true; }
    bool CaretWantedInView() const { return caretInView_; }
    void Owe(TOwed Record) { owed_.push_back(std::move(Record)); }

    TPoint Caret() const { return caret_; }
    TPoint SelectionBegin() const { return begin_; }
    TPoint SelectionEnd() const { return end_; }
    // The line's text and the records owed; the working line holds nothing afterwards.
    std::string TakeText();
    std::vector<TOwed> TakeOwed();
    void Clear();

private:
    TPoint ClampCaret(TPoint P) const;
    TPoint ClampSelection(TPoint P) const;
    void MoveCaret(TPoint P);

    Integer line_ = 0;
    TQvGapText text_;
    TLimits limits_;
    TPoint caret_;
    TPoint begin_;
    TPoint end_;
    bool caretInView_ = false;
    std::vector<TOwed> owed_;
};
