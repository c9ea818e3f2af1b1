// The editor control's construction and destruction, its window hooks, the paint lock
// and the status notices.
#include "qvedit/editor/QvEdit.h"

#include "platform/window/Clipboard.h"
#include "platform/runtime/CodePages.h"
#include "platform/window/DragDrop.h"
#include "qvedit/editor/QvEditMarks.h"

UINT QvEditClipboardFormat()
{
    static const UINT format = RegisterClipboardFormat("QvEdit Control Block Type");
    return format;
}

namespace {
// Registered at start-up, so that the number is the same whenever it is first asked for.
[[maybe_unused]] const UINT clipboardFormatAtStartUp = QvEditClipboardFormat();
}  // namespace

TCustomQvEdit::TCustomQvEdit(TComponent* AOwner) : TCustomControl(AOwner)
{
    ownLines_ = std::make_unique<TQvEditStringList>();
    lines_ = ownLines_.get();
    lines_->OnAdded = TStringListInsertedEvent(this, &TCustomQvEdit::ListAdded);
    lines_->OnChange = TNotifyEvent(this, &TCustomQvEdit::LinesChanged);
    lines_->OnChanging = TNotifyEvent(this, &TCustomQvEdit::LinesChanging);
    lines_->OnCleared = TNotifyEvent(this, &TCustomQvEdit::ListCleared);
    lines_->OnDeleted = TStringListIndexEvent(this, &TCustomQvEdit::ListDeleted);
    lines_->OnInserted = TStringListInsertedEvent(this, &TCustomQvEdit::ListInserted);
    lines_->OnPutted = TStringListInsertedEvent(this, &TCustomQvEdit::ListPutted);
    lines_->OnRangesWanted = TStringListIndexEvent(this, &TCustomQvEdit::RangesWanted);

    fontTemplate_ = std::make_unique<TFont>();
    ownUndoList_ = std::make_unique<TQvEditUndoList>();
    ownUndoList_->OnAdded = TNotifyEvent(this, &TCustomQvEdit::UndoRedoAdded);
    ownRedoList_ = std::make_unique<TQvEditUndoList>();
    ownRedoList_->OnAdded = TNotifyEvent(this, &TCustomQvEdit::UndoRedoAdded);
    undoList_ = ownUndoList_.get();
    redoList_ = ownRedoList_.get();
    TellUndoListsOfGrouping();

    activeLineColor_ = clWindow;

    selectedColor_ = std::make_unique<TQvSelectedColor>();
    selectedColor_->OnChange = TNotifyEvent(this, &TCustomQvEdit::SelectedColorsChanged);
    bookMarkOptions_ = std::make_unique<TQvBookMarkOpt>(this);
    bookMarkOptions_->OnChange = TNotifyEvent(this, &TCustomQvEdit::BookMarkOptionsChanged);
    rightEdge_ = 80;

    gutter_ = std::make_unique<TQvGutter>();
    gutter_->OnChange = TNotifyEvent(this, &TCustomQvEdit::GutterChanged);
    gutterWidth_ = gutter_->GetWidth();
    textOffset_ = gutterWidth_ + 2;

    SetControlStyle(ControlStyle() | csOpaque | csSetCaption);
    SetHeight(150);
    SetWidth(200);
    SetCursor(crIBeam);
    SetColor(clWindow);

    fontTemplate_->SetName("Courier New");
    fontTemplate_->SetSize(10);
    fontTemplate_->SetCharset(DEFAULT_CHARSET);
    wordWrap_ = false;
    showSpecialChars_ = false;

    textDrawer_ = std::make_unique<TQvTextDrawer>(TFontStyles{fsBold}, fontTemplate_.get());
    Font()->Assign(fontTemplate_.get());
    Font()->OnChange = TNotifyEvent(this, &TCustomQvEdit::QvFontChanged);

    SetParentFont(false);
    SetParentColor(false);
    SetTabStop(true);
    insertMode_ = true;
    maxLineWidth_ = 1024;
    scrollBars_ = ssBoth;
    borderStyle_ = bsSingle;
    insertCaret_ = ctVerticalLine;
    overwriteCaret_ = ctBlock;
    selectionMode_ = smNormal;

    kbdHandler_ = std::make_unique<TQvEditKbdHandler>();
    keystrokes_ = std::make_unique<TQvEditKeyStrokes>(this);
    marks_ = std::make_unique<TQvEditMarkList>(this);
    marks_->OnChange = TNotifyEvent(this, &TCustomQvEdit::MarkListChange);
    SetDefaultKeystrokes();

    rightEdgeColor_ = clSilver;
    imeCount_ = 0;
    wantReturns_ = true;
    wantTabs_ = false;
    tabWidth_ = 8;
    leftChar_ = 1;
    topLine_ = 1;
    caretX_ = 1;
    lastCaretX_ = 1;
    caretY_ = 1;
    blockBegin_ = TPoint{1, 1};
    blockEnd_ = blockBegin_;

    options_ = QvEditDefaultOptions;

    scrollTimer_ = new TTimer(this);
    scrollTimer_->SetEnabled(false);
    scrollTimer_->SetInterval(100);
    scrollTimer_->OnTimer = TNotifyEvent(this, &TCustomQvEdit::ScrollTimerHandler);

    scrollHintColor_ = clInfoBk;
    scrollHintFormat_ = shfTopLineOnly;
    saveAltSetsColumnMode_ = false;
    chainedEditor_ = nullptr;

    QvFontChanged(Font());
}

TCustomQvEdit::~TCustomQvEdit()
{
    // Others learn of the end (a chained editor lets go of this buffer) and the owned
    // components (the scroll timer) go, while everything here is still whole.
    BeforeDestruction();
    SetHighlighter(nullptr);
    if (chainedEditor_ != nullptr || lines_ != ownLines_.get())
        RemoveLinesPointer();

    hookedCommandHandlers_.clear();
    while (!plugins_.empty())
        delete plugins_.back();  // each plug-in takes itself off the list

    marks_.reset();
    bookMarkOptions_.reset();
    keystrokes_.reset();
    kbdHandler_.reset();
    focusList_.clear();
    selectedColor_.reset();
    ownUndoList_.reset();
    ownRedoList_.reset();
    undoList_ = nullptr;
    redoList_ = nullptr;
    gutter_.reset();
    textDrawer_.reset();
    internalBookmarkImage_.reset();
    Font()->OnChange = nullptr;
    fontTemplate_.reset();
    lines_ = nullptr;
    ownLines_.reset();
}

// ---- Window ----------------------------------------------------------------------------------

void TCustomQvEdit::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    // A single border is drawn as the sunken client edge.
    if (borderStyle_ == bsSingle) {
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomQvEdit::CreateWnd()
{
    TCustomControl::CreateWnd();
    if (options_.Contains(eoDropFiles) && !HasState(csDesigning))
        DragAcceptFiles(Handle(), TRUE);
    // The old window took its caret with it. A window made again while the control keeps
    // the focus gets no focus message, so the caret is made here.
    if (Focused())
        InitializeCaret();
}

void TCustomQvEdit::DestroyWnd()
{
    if (options_.Contains(eoDropFiles) && !HasState(csDesigning) && HandleAllocated())
        DragAcceptFiles(Handle(), FALSE);
    TCustomControl::DestroyWnd();
}

void TCustomQvEdit::Loaded()
{
    TCustomControl::Loaded();
    GutterChanged(this);
    UpdateScrollBars();
}

// ---- Paint lock and status notices ----------------------------------------------------------

void TCustomQvEdit::IncPaintLock()
{
    // Every edit runs under the lock: whether the buffer had a line when it began tells
    // whether the edit made the first line (see UndoRedoAdded).
    if (paintLock_++ == 0)
        editStartedEmpty_ = lines_ != nullptr && lines_->Count() == 0;
}

void TCustomQvEdit::DecPaintLock()
{
    if (paintLock_ <= 0)
        return;
    // The end of a change: the lines it stored lose their trailing blanks now.
    if (paintLock_ == 1 && undoList_->BlockCount() == 0)
        TrimPendingLines();
    // The ranges of the lines the change touched are rescanned once, at its end.
    if (paintLock_ == 1)
        RangeChangesEnded();
    --paintLock_;
    if (paintLock_ == 0) {
        KeepPositionsAfterLinesWent();
        ChangeEndedForTheOthers();
    }
    if (paintLock_ > 0 || !HandleAllocated())
        return;
    if (stateFlags_.Contains(sfScrollbarChanged))
        UpdateScrollBars();
    if (stateFlags_.Contains(sfCaretChanged))
        UpdateCaret();
    if (!statusChanges_.Empty())
        DoOnStatusChange(statusChanges_);
    if (stateFlags_.Contains(sfPaintChanged)) {
        stateFlags_.Exclude(sfPaintChanged);
        Update();
    }
}

void TCustomQvEdit::PaintChanges()
{
    // A paint under the lock would show the caret hidden and the scroll bars behind, and
    // the lock's end would paint the caret's cell again: the paint waits for that end.
    if (PaintLocked())
        stateFlags_.Include(sfPaintChanged);
    else
        Update();
}

// A change that failed half-way keeps its blanks rather than record them apart, and tells
// no status; but the lines it changed so far are the text now, and no reader (a paint,
// printing, a highlighter query) may meet the ranges of the text before it. A rescan that
// raises in turn gives way to the exception already on its way.
void TCustomQvEdit::DecPaintLockAfterException() noexcept
{
    if (paintLock_ <= 0)
        return;
    if (paintLock_ == 1) {
        try {
            RangeChangesEnded();
        } catch (...) {
        }
    }
    if (--paintLock_ > 0)
        return;
    pendingTrims_.clear();
    try {
        ChangeEndedForTheOthers();
    } catch (...) {
    }
}

TQvPaintLockScope::~TQvPaintLockScope() noexcept(false)
{
    if (std::uncaught_exceptions() > exceptions_)
        editor_.DecPaintLockAfterException();
    else
        editor_.DecPaintLock();
}

void TCustomQvEdit::StatusChanged(TQvStatusChanges AChanges)
{
    statusChanges_ += AChanges;
    if (paintLock_ == 0)
        DoOnStatusChange(statusChanges_);
}

void TCustomQvEdit::DoOnStatusChange(TQvStatusChanges)
{
    if (!OnStatusChange)
        return;
    OnStatusChange(this, statusChanges_);
    statusChanges_ = TQvStatusChanges();
}
