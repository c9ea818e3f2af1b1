// The editor's options, its font and character extent, the gutter width, the property
// setters that do more than store, ReadOnly, attaching and detaching the highlighter and
// the free notifications of the components it refers to.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/DragDrop.h"
#include "platform/graphics/Gdi.h"

#include <algorithm>
#include <limits>

namespace {

// Index of the bold/italic combination of a style: none 0, italic 1, bold 2, both 3.
int StyleCombination(TFontStyles Style)
{
    return (Style.Contains(fsBold) ? 2 : 0) + (Style.Contains(fsItalic) ? 1 : 0);
}

constexpr TFontStyles CombinationStyles[4] = {TFontStyles(), TFontStyles(fsItalic),
                                              TFontStyles(fsBold), fsBold | fsItalic};

bool IsFixedPitch(TFont* AFont)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, AFont->GetHandle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmAveCharWidth == metrics.tmMaxCharWidth;
}

}  // namespace

// ---- Options ---------------------------------------------------------------------------------

void TCustomQvEdit::SetOptions(TQvEditorOptions Value)
{
    if (Value == options_)
        return;
    const TQvEditorOptions changed = (Value - options_) + (options_ - Value);
    if (!options_.Contains(eoScrollPastEol))
        SetLeftChar(leftChar_);
    if (!options_.Contains(eoScrollPastEof))
        SetTopLine(topLine_);
    options_ = Value;
    if (changed.Contains(eoGroupUndo))
        TellUndoListsOfGrouping();
    if (!options_.Contains(eoScrollPastEol))
        InternalSetCaretX(caretX_);
    if (changed.Contains(eoDropFiles) && !HasState(csDesigning) && HandleAllocated())
        DragAcceptFiles(Handle(), options_.Contains(eoDropFiles) ? TRUE : FALSE);
    if (options_.Contains(eoShowSpecialChars) != showSpecialChars_) {
        showSpecialChars_ = options_.Contains(eoShowSpecialChars);
        Invalidate();
    } else if (changed.Contains(eoHighlightCurrentLine)) {
        InvalidateLine(caretY_);
    }
    if (!(changed * QvEditScrollOptions).Empty())
        UpdateScrollBars();
}

// The lists count steps, and replay walks them, as grouping says: the lists in use (shared
// with the buffer's other editors) and the editor's own, which it goes back to.
void TCustomQvEdit::TellUndoListsOfGrouping()
{
    const bool group = options_.Contains(eoGroupUndo);
    for (TQvEditUndoList* list : {undoList_, redoList_, ownUndoList_.get(), ownRedoList_.get()})
        if (list != nullptr)
            list->SetGroupUndo(group);
}

void TCustomQvEdit::SetOptionFlag(TQvEditorOption Flag, bool Value)
{
    TQvEditorOptions options = options_;
    if (Value)
        options.Include(Flag);
    else
        options.Exclude(Flag);
    SetOptions(options);
}

// ---- Font and extents ------------------------------------------------------------------------

void TCustomQvEdit::SetFont(TFont* Value)
{
    if (IsFixedPitch(Value)) {
        Font()->Assign(Value);
    } else {
        fontTemplate_->SetColor(Value->GetColor());
        fontTemplate_->SetPitch(fpFixed);
        fontTemplate_->SetSize(Value->GetSize());
        fontTemplate_->SetStyle(Value->GetStyle());
        fontTemplate_->SetName(Value->GetName());
        Font()->Assign(fontTemplate_.get());
    }
    if (gutter_->GetShowLineNumbers())
        GutterChanged(this);
}

void TCustomQvEdit::QvFontChanged(TObject* Sender)
{
    FontChanged(Sender);
    RecalcCharExtent();
    SizeOrFontChanged(true);
}

void TCustomQvEdit::RecalcCharExtent()
{
    bool used[4] = {};
    if (highlighter_ != nullptr && highlighter_->GetAttribCount() > 0) {
        for (Integer i = 0; i < highlighter_->GetAttribCount(); ++i)
            used[StyleCombination(highlighter_->GetAttribute(i)->GetStyle())] = true;
    } else {
        used[StyleCombination(Font()->GetStyle())] = true;
    }
    lineHeight_ = 0;
    charWidth_ = 0;
    textDrawer_->SetBaseFont(Font());
    for (int i = 0; i < 4; ++i) {
        if (!used[i])
            continue;
        textDrawer_->SetBaseStyle(CombinationStyles[i]);
        lineHeight_ = std::max(lineHeight_, textDrawer_->GetCharHeight());
        charWidth_ = std::max(charWidth_, textDrawer_->GetCharWidth());
    }
    // A negative spacing may not bring the line height to 0 or below: every pixel row
    // computation divides by it.
    lineHeight_ = std::max(lineHeight_ + extraLineSpacing_, 1);
}

void TCustomQvEdit::RecalcCharsInWindow()
{
    if (charWidth_ != 0)
        charsInWindow_ = std::max(ClientWidth() - gutterWidth_ - 2, 0) / charWidth_;
}

void TCustomQvEdit::SizeOrFontChanged(bool FontChanged)
{
    if (!HandleAllocated() || charWidth_ == 0)
        return;
    RecalcCharsInWindow();
    linesInWindow_ = ClientHeight() / lineHeight_;
    if (FontChanged) {
        if (gutter_->GetShowLineNumbers())
            GutterChanged(this);
        else
            UpdateScrollBars();
        InitializeCaret();
        stateFlags_.Exclude(sfCaretChanged);
        Invalidate();
    } else {
        UpdateScrollBars();
    }
    stateFlags_.Exclude(sfScrollbarChanged);
    if (!options_.Contains(eoScrollPastEol))
        SetLeftChar(leftChar_);
    if (!options_.Contains(eoScrollPastEof))
        SetTopLine(topLine_);
}

// ---- Gutter ----------------------------------------------------------------------------------

void TCustomQvEdit::GutterChanged(TObject*)
{
    if (HasState(csLoading))
        return;
    if (gutter_->GetShowLineNumbers() && gutter_->GetAutoSize())
        gutter_->AutoSizeDigitCount(lines_->GetCount());
    const Integer width = gutter_->RealGutterWidth(charWidth_);
    if (width == gutterWidth_)
        InvalidateGutter();
    else
        SetGutterWidth(width);
}

void TCustomQvEdit::SetGutterWidth(Integer Value)
{
    Value = std::max(Value, 0);
    if (gutterWidth_ == Value)
        return;
    gutterWidth_ = Value;
    UpdateTextOffset();
    if (HandleAllocated()) {
        RecalcCharsInWindow();
        UpdateScrollBars();
        Invalidate();
    }
}

void TCustomQvEdit::UpdateTextOffset()
{
    // Far right columns put column 1 beyond what an integer holds; it saturates.
    const Int64 offset = Int64{gutterWidth_} + 2 - (Int64{leftChar_} - 1) * charWidth_;
    textOffset_ = static_cast<Integer>(std::clamp<Int64>(
        offset, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

void TCustomQvEdit::SetGutter(TQvGutter* Value)
{
    gutter_->Assign(Value);
}

// ---- Setters ---------------------------------------------------------------------------------

void TCustomQvEdit::SetExtraLineSpacing(Integer Value)
{
    extraLineSpacing_ = Value;
    RecalcCharExtent();
    SizeOrFontChanged(true);
}

void TCustomQvEdit::SetTabWidth(Integer Value)
{
    Value = std::clamp(Value, 1, 256);
    if (Value == tabWidth_)
        return;
    tabWidth_ = Value;
    lines_->SetTabWidth(Value);
    Invalidate();
}

void TCustomQvEdit::SetMaxLineWidth(Integer Value)
{
    Value = std::clamp(Value, 1, 0x7FFFFFFE);
    if (Value == maxLineWidth_)
        return;
    maxLineWidth_ = Value;
    if (options_.Contains(eoScrollPastEol))
        UpdateScrollBars();
}

Integer TCustomQvEdit::GetMaxUndo() const
{
    return undoList_->GetMaxUndoActions();
}

void TCustomQvEdit::SetMaxUndo(Integer Value)
{
    if (Value < 0)
        return;
    undoList_->SetMaxUndoActions(Value);
    redoList_->SetMaxUndoActions(Value);
}

void TCustomQvEdit::SetRightEdge(Integer Value)
{
    if (Value == rightEdge_)
        return;
    rightEdge_ = Value;
    Invalidate();
}

void TCustomQvEdit::SetRightEdgeColor(TColor Value)
{
    if (Value == rightEdgeColor_)
        return;
    rightEdgeColor_ = Value;
    if (!HandleAllocated())
        return;
    const Int64 x = Int64{rightEdge_} * charWidth_ + textOffset_;
    if (x < -1 || x > ClientWidth())
        return;
    const TRect strip = Rect(static_cast<Integer>(x) - 1, 0, static_cast<Integer>(x) + 2, ClientHeight());
    TWinControl::InvalidateRect(&strip, false);
}

void TCustomQvEdit::SetActiveLineColor(TColor Value)
{
    if (Value == activeLineColor_)
        return;
    activeLineColor_ = Value;
    if (options_.Contains(eoHighlightCurrentLine))
        InvalidateLine(caretY_);
}

void TCustomQvEdit::SetScrollBars(TScrollStyle Value)
{
    if (Value == scrollBars_)
        return;
    scrollBars_ = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomQvEdit::SetBorderStyle(TBorderStyle Value)
{
    if (Value == borderStyle_)
        return;
    borderStyle_ = Value;
    RecreateWnd();
}

void TCustomQvEdit::SetHideSelection(bool Value)
{
    if (Value == hideSelection_)
        return;
    hideSelection_ = Value;
    Invalidate();
}

void TCustomQvEdit::SetInsertMode(bool Value)
{
    if (Value == insertMode_)
        return;
    insertMode_ = Value;
    if (!HasState(csDesigning))
        InitializeCaret();
    StatusChanged({scInsertMode});
}

void TCustomQvEdit::SetLines(TStrings* Value)
{
    lines_->Assign(Value);
}

bool TCustomQvEdit::GetReadOnly() const
{
    return readOnly_;
}

void TCustomQvEdit::SetReadOnly(bool Value)
{
    if (Value == readOnly_)
        return;
    readOnly_ = Value;
    StatusChanged({scReadOnly});
}

void TCustomQvEdit::SetName(const std::string& NewName)
{
    const bool takeText =
        HasState(csDesigning) && !HasState(csLoading) && QvGetText() == Name();
    TCustomControl::SetName(NewName);
    if (takeText)
        QvSetText(NewName);
}

void TCustomQvEdit::SelectedColorsChanged(TObject*)
{
    Invalidate();
}

void TCustomQvEdit::BookMarkOptionsChanged(TObject*)
{
    InvalidateGutter();
}

// ---- Highlighter and free notification ---------------------------------------------------------

void TCustomQvEdit::SetHighlighter(TQvCustomHighlighter* Value)
{
    if (Value == highlighter_)
        return;
    const TNotifyEvent attrChanged(this, &TCustomQvEdit::HighlighterAttrChanged);
    if (highlighter_ != nullptr) {
        highlighter_->UnhookAttrChangeEvent(attrChanged);
        highlighter_->RemoveFreeNotification(this);
    }
    if (Value != nullptr) {
        Value->HookAttrChangeEvent(attrChanged);
        Value->FreeNotification(this);
    }
    highlighter_ = Value;
    // No highlighter, no ranges to scan.
    if (Value == nullptr)
        ForgetUnscannedLines();
    if (!HasState(csDestroying))
        HighlighterAttrChanged(highlighter_);
}

void TCustomQvEdit::HighlighterAttrChanged(TObject* Sender)
{
    RecalcCharExtent();
    if (dynamic_cast<TQvCustomHighlighter*>(Sender) != nullptr) {
        lines_->BeginUpdate();
        try {
            ListScanRanges(this);
        } catch (...) {
            lines_->EndUpdate();
            throw;
        }
        lines_->EndUpdate();
    } else {
        Invalidate();
    }
    SizeOrFontChanged(true);
}

void TCustomQvEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent == nullptr)
        return;
    if (AComponent == searchEngine_)
        SetSearchEngine(nullptr);
    if (AComponent == highlighter_)
        SetHighlighter(nullptr);
    if (AComponent == chainedEditor_ || AComponent == bufferOwner_)
        RemoveLinesPointer();
}
