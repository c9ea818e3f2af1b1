// Command execution: the entry that runs one command under the paint lock and hands it to
// its group, and the commands of no group of their own: clipboard, undo and redo, block
// indent, case changes, bookmarks and context help.
#include "qvedit/editor/QvEdit.h"

namespace {

bool IsCaseCommand(TQvEditorCommand Command)
{
    return (Command >= ecUpperCase && Command <= ecTitleCase) ||
           (Command >= ecUpperCaseBlock && Command <= ecToggleCaseBlock);
}

}  // namespace

void TCustomQvEdit::ExecuteCommand(TQvEditorCommand Command, char AChar, void* Data)
{
    // The caret, scroll-bar and status updates of a command show once, at its end.
    TQvPaintLockScope lock(*this);
    if (ExecuteMoveCommand(Command, Data))
        return;
    if (ExecuteEditCommand(Command, AChar, Data))
        return;
    ExecuteOtherCommand(Command, Data);
}

void TCustomQvEdit::ExecuteOtherCommand(TQvEditorCommand Command, void* Data)
{
    if (Command >= ecGotoMarker0 && Command <= ecGotoMarker9) {
        if (bookMarkOptions_->GetEnableKeys())
            GotoBookMark(Command - ecGotoMarker0);
        return;
    }
    if (Command >= ecSetMarker0 && Command <= ecSetMarker9) {
        if (bookMarkOptions_->GetEnableKeys())
            DoSetMarker(Command - ecSetMarker0, Data);
        return;
    }
    if (Command == ecCopy) {
        CopyToClipboard();
        return;
    }
    if (Command == ecContextHelp) {
        if (OnContextHelp)
            OnContextHelp(this, GetWordAtCursor());
        return;
    }
    // The rest change the text.
    if (GetReadOnly())
        return;
    switch (Command) {
    case ecCut:
        if (GetSelAvail())
            CutToClipboard();
        break;
    case ecPaste:
        PasteFromClipboard();
        break;
    case ecUndo:
        Undo();
        break;
    case ecRedo:
        Redo();
        break;
    case ecBlockIndent:
        DoBlockIndent();
        break;
    case ecBlockUnindent:
        DoBlockUnindent();
        break;
    default:
        if (IsCaseCommand(Command))
            DoCaseChange(Command);
        break;
    }
}

// The same key on the bookmark's own line takes the bookmark away; on another line it
// moves the bookmark there.
void TCustomQvEdit::DoSetMarker(Integer Number, const void* Data)
{
    const TPoint point = Data != nullptr ? *static_cast<const TPoint*>(Data) : GetCaretXY();
    if (!IsBookmark(Number)) {
        SetBookMark(Number, point.X, point.Y);
        return;
    }
    Integer x = 0;
    Integer y = 0;
    GetBookMark(Number, x, y);
    ClearBookMark(Number);
    if (y != point.Y)
        SetBookMark(Number, point.X, point.Y);
}
