// Cut, copy and paste. Beside plain text the editor writes a private block that also
// carries the selection mode, so that a column or line selection is pasted back as one.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/Clipboard.h"

#include <algorithm>

namespace {

const char* const CopyFailed = "Clipboard copy operation failed";
const char* const PasteFailed = "Clipboard paste operation failed.";

// The private block's selection mode and text when the block is sound: a mode byte that
// names a selection mode, then the text, ended by a NUL inside the block. Another program
// may have put anything there; a block that is not sound (or holds no text) is not used.
bool ReadPrivateBlock(const std::string& Block, TQvSelectionMode& Mode, std::string& Text)
{
    if (Block.empty() || static_cast<unsigned char>(Block[0]) > smColumn)
        return false;
    const std::size_t nul = Block.find('\0', 1);
    if (nul == std::string::npos || nul == 1)
        return false;
    Mode = static_cast<TQvSelectionMode>(Block[0]);
    Text = Block.substr(1, nul - 1);
    return true;
}

}  // namespace

bool TCustomQvEdit::GetCanPaste() const
{
    if (GetReadOnly())
        return false;
    try {
        return Clipboard()->HasFormat(CF_TEXT) || Clipboard()->HasFormat(QvEditClipboardFormat());
    } catch (const EClipboardException&) {
        return false;
    }
}

void TCustomQvEdit::DoCopyToClipboard(const std::string& SText)
{
    if (SText.empty())
        return;
    std::string block(1, static_cast<char>(selectionMode_));
    block.append(SText).push_back('\0');
    TClipboard* clipboard = Clipboard();
    try {
        clipboard->Open();
        try {
            clipboard->Clear();
            clipboard->SetBuffer(CF_TEXT, SText);
            clipboard->SetBuffer(QvEditClipboardFormat(), block);
        } catch (...) {
            clipboard->Close();
            throw;
        }
        clipboard->Close();
    } catch (const EClipboardException&) {
        throw EQvEditError(CopyFailed);
    }
}

void TCustomQvEdit::CopyToClipboard()
{
    if (!GetSelAvail())
        return;
    // Short rows of a column block are padded in the copy.
    const std::string text = SelectedText(true);
    DoCopyToClipboard(text);
}

void TCustomQvEdit::CutToClipboard()
{
    if (GetReadOnly() || !GetSelAvail())
        return;
    // The clipboard gets the block as the selected text reads; the undo record its rows
    // as they are in the lines.
    DoCopyToClipboard(GetSelText());
    const std::string text = SelectedText(false);
    const auto [storedBegin, storedEnd] = StoredSelectionForUndo();
    LockUndo();
    try {
        SetSelTextExternal(std::string());
    } catch (...) {
        UnlockUndo();
        throw;
    }
    UnlockUndo();
    undoList_->AddChange(crDelete, storedBegin, storedEnd, text, selectionMode_);
}

void TCustomQvEdit::PasteFromClipboard()
{
    if (GetReadOnly())
        return;
    DoOnPaintTransient(ttBefore);
    InUndoBlock([&] {
        TClipboard* clipboard = Clipboard();
        TQvSelectionMode mode = selectionMode_;
        std::string text;
        bool found = false;
        try {
            if (clipboard->HasFormat(QvEditClipboardFormat()))
                found = ReadPrivateBlock(clipboard->GetBuffer(QvEditClipboardFormat()), mode, text);
            if (!found && clipboard->HasFormat(CF_TEXT)) {
                mode = selectionMode_;
                text = clipboard->AsText();
                found = true;
            }
        } catch (const EClipboardException&) {
            throw EQvEditError(PasteFailed);
        }
        if (found)
            PasteText(mode, text);
    });
    if (options_.Contains(eoHideShowScrollbars)) {
        const Integer savedLock = paintLock_;
        paintLock_ = 0;
        try {
            UpdateScrollBars();
        } catch (...) {
            paintLock_ = savedLock;
            throw;
        }
        paintLock_ = savedLock;
    }
    EnsureCursorPosVisible();
    StatusChanged(TQvStatusChanges{scSelection});
    DoOnPaintTransient(ttAfter);
}

// One paste inside the caller's undo block, bracketed by crPasteBegin and crPasteEnd: the
// selection goes (in the editor's mode) and Text comes in PasteMode.
void TCustomQvEdit::PasteText(TQvSelectionMode PasteMode, const std::string& Text)
{
    undoList_->AddChange(crPasteBegin, GetBlockBegin(), GetBlockEnd(), std::string(), smNormal);
    TPoint start = GetCaretXY();
    if (GetSelAvail()) {
        // Where the deletion leaves the caret, the insertion starts: column 1 after whole
        // lines. A column block goes first, so that the caret it leaves is known: its left
        // column, or the end of a shorter line when the caret may not go past line ends.
        start = RecordSelectionDeletion(crDelete);
        OrderStoredSelection();
        if (selectionMode_ == smColumn) {
            SetSelTextPrimitive(PasteMode, "");
            start = GetCaretXY();
        }
    }
    SetSelTextPrimitive(PasteMode, Text.c_str());
    const TPoint end = GetCaretXY();
    if (!Text.empty()) {
        switch (PasteMode) {
        case smNormal:
            undoList_->AddChange(crPaste, start, end, std::string(), smNormal);
            break;
        case smLine:
            // Whole lines (the text ended with a line end) are recorded as lines; else as
            // the stream from column 1 of the first line to the caret.
            if (end.X == 1)
                undoList_->AddChange(crPaste, TPoint{1, start.Y}, TPoint{charsInWindow_, end.Y - 1},
                                     std::string(), smLine);
            else
                undoList_->AddChange(crPaste, TPoint{1, start.Y}, end, std::string(), smNormal);
            break;
        case smColumn:
            break;  // column insertion recorded each row itself
        }
    }
    undoList_->AddChange(crPasteEnd, GetBlockBegin(), GetBlockEnd(), std::string(), smNormal);
}
