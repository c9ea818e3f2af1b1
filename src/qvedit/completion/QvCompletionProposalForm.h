// The completion list window: a pop-up under the caret that shows a completion list (or a
// hint, or a parameter list), narrows the list as the user types, and handles the list's
// keys, mouse and scroll bar while it is open. It never changes the editor's text itself:
// it sends editor commands through its editor link and calls its owner's validate and
// cancel handlers. It paints through off-screen bitmaps, so typing does not flicker.
//
// A list (ctCode) takes the keyboard while it is open and gives it back when it closes; a
// press outside it cancels it. Hints and parameter lists show without taking the focus.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/window/PopupWindow.h"
#include "qvedit/completion/QvCompletionEditorLink.h"
#include "qvedit/completion/QvCompletionFormat.h"

#include <bitset>
#include <memory>
#include <string>
#include <vector>

// Only a pointer to the scroll bar is kept here, so this header stays usable beside the
// editor's, whose scroll event shares its name with the scroll bar's.
class TScrollBar;

enum QvCompletionType { ctCode, ctHint, ctParams };

using TQvBaseCompletionProposalPaintItem =
    TEvent<void(TObject* Sender, int Index, TCanvas& TargetCanvas, const TRect& ItemRect, bool& CustomDraw)>;
using TQvBaseCompletionProposalMeasureItem =
    TEvent<void(TObject* Sender, int Index, TCanvas& TargetCanvas, int& ItemWidth)>;
using TCompletionChange = TEvent<void(TObject* Sender, int AIndex)>;
using TValidateEvent = TEvent<void(TObject* Sender, TShiftState Shift, char EndToken)>;
using TCompletionParameter = TEvent<void(TObject* Sender, int CurrentIndex, int& Level, int& IndexToDisplay,
                                         char& Key, std::string& DisplayString)>;

class TQvBaseCompletionProposalForm : public TCustomPopupWindow {
public:
    explicit TQvBaseCompletionProposalForm(TComponent* AOwner);
    ~TQvBaseCompletionProposalForm() override;

    // Shows the window at its bounds: a list takes the keyboard and becomes the editor's
    // focus control; a hint or parameter list shows without activation.
    void Activate();
    // A list stops being the editor's focus control; the window hides.
    void Deactivate();
    // Sets the size for the kind and the items and moves the window to (X, Y) on the
    // screen, below the caret line. Where it would pass the screen's right edge it opens
    // left of X; where it would pass the bottom it opens above the caret line, whose
    // height is LineHeight.
    void Place(int X, int Y, int LineHeight);

    // ---- Lists and filtering ---------------------------------------------------------
    // The text typed so far. Setting it narrows the list (a list only): with
    // LimitToMatchedText the shown rows become the matching ones and the first is
    // selected; without, the first matching row is selected (row 0 when none matches).
    const std::string& CurrentString() const { return currentString_; }
    void SetCurrentString(const std::string& Value);
    // All display texts, and their insertion texts (parallel to ItemList).
    TStrings* ItemList() const { return itemList_.get(); }
    void SetItemList(TStrings* Value);
    TStrings* InsertList() const { return insertList_.get(); }
    void SetInsertList(TStrings* Value);
    // The rows shown now, each with the index of its row in ItemList.
    TStrings* AssignedList() const { return assignedList_.get(); }
    // Shows every row of ItemList again.
    void ResetAssignedList();
    // The ItemList index of a shown row; -1 when there is no such row.
    int LogicalToPhysicalIndex(int Index) const;
    // Whether a row text begins with CurrentString under the comparison options.
    bool MatchesCurrentString(const std::string& Row) const;

    // ---- Selection -------------------------------------------------------------------
    int Position() const { return position_; }
    // Selects a shown row and scrolls it into view; nothing happens past the last row or
    // for the row already selected. A negative row counts as row 0.
    void SetPosition(int Value);
    // Moves the selection by Delta rows, stopping at the first and the last.
    void MoveLine(int Delta);

    // ---- Look ------------------------------------------------------------------------
    // Rows that fit (at least 1): set by the owner before showing, by sizing afterwards.
    int NbLinesInWindow() const { return nbLinesInWindow_; }
    void SetNbLinesInWindow(int Value);
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value);
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(TFont* Value);
    // The item font is the control's Font.
    bool Resizeable() const { return resizeable_; }
    void SetResizeable(bool Value);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int Value);
    int Margin() const { return margin_; }
    void SetMargin(int Value) { margin_ = Value; }
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value) { images_ = Value; }
    TProposalColumns* Columns() const { return columns_.get(); }
    void SetColumns(TProposalColumns* Value);
    QvCompletionType DisplayKind() const { return displayKind_; }
    void SetDisplayKind(QvCompletionType Value);
    QvCompletionType DefaultKind() const { return defaultKind_; }
    void SetDefaultKind(QvCompletionType Value) { defaultKind_ = Value; }
    // The item height used: ItemHeight when at least 1, else the item font's height.
    int EffectiveItemHeight() const;
    // The title font's height + 4, or 0 without a title.
    int TitleHeight() const;
    TScrollBar* Scroll() const { return scroll_; }

    TColor ClSelect = clHighlight;
    TColor ClSelectedText = clHighlightText;
    TColor ClTitleBackground = clBtnFace;
    TColor ClBackground = clWindow;

    // ---- Options (copied from the owner's) ----------------------------------------
    bool AnsiStrings = true;         // compare by the locale, else byte-wise
    bool CaseSensitive = false;
    bool LimitToMatchedText = false;
    bool UsePrettyText = false;       // paint rows as formatted text, match them stripped
    bool TitleIsCentered = true;
    bool UseInsertList = false;       // match rows by their insertion text
    bool CompleteWithTab = false;
    bool CompleteWithEnter = false;

    // ---- The owner's data --------------------------------------------------------------
    TQvCompletionEditorLink* CurrentEditor = nullptr;
    // Characters that end a token: typed into the list, they complete the selected row
    // first. The owner fills it before each opening.
    std::bitset<256> EndOfToken;
    std::string EndOfTokenChr;
    std::string TriggerChars;
    // The parameter shown in bold in a parameter list.
    int CurrentIndex = 0;

    // OnKeyPress (the control's own) gets every character typed into the list after the
    // list took it; the owner types it into the editor.
    TQvBaseCompletionProposalPaintItem OnPaintItem;
    TQvBaseCompletionProposalMeasureItem OnMeasureItem;
    TCompletionChange OnChange;      // Sender: the owner; the ItemList index
    TValidateEvent OnValidate;
    TNotifyEvent OnCancel;
    TCompletionParameter OnParameterToken;
    // After showing, and after hiding (when the owner keeps Width and NbLinesInWindow,
    // so a list the user resized keeps its size).
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    void SetVisible(bool Value) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void WMMouseWheel(TWMMouseWheel& Message) override;
    void WMGetDlgCode(TWMGetDlgCode& Message) override;
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;
    void Dismissed() override;

private:
    // Whether ItemList row i matches the typed text (by its insert row when asked).
    bool RowMatches(int I) const;
    void RebuildAssignedList();
    void AdjustScrollBar();
    // Moves the bar to show Top first, without taking it for the user's move.
    void ScrollTo(int Top);
    void ItemListChanged(TObject* Sender);
    void ScrollBarChanged(TObject* Sender);
    int LastRow() const { return assignedList_->Count() - 1; }
    int TextHeightOf(TFont* font) const;
    void SendToEditor(TQvEditorCommand Command, char AChar = 0);
    void Cancel();
    void Validate(TShiftState Shift, char EndToken);
    // Drops the last character of the filter; true when there was one.
    bool DropLastFilterCharacter();
    // Sizes for the hint and parameter kinds.
    int HintWidth();
    // Painting (QvCompletionProposalPaint.cpp).
    void PaintList();
    void PaintHintOrParams();
    void PaintTitle(int Width);
    bool PaintItemByEvent(int Row, TCanvas& Canvas, const TRect& ItemRect);

    std::string currentString_;
    std::unique_ptr<TStringList> itemList_;
    std::unique_ptr<TStringList> insertList_;
    std::unique_ptr<TStringList> assignedList_;
    std::vector<int> assignedIndex_;
    int position_ = 0;
    int nbLinesInWindow_ = 8;
    TScrollBar* scroll_;
    std::unique_ptr<TBitmap> itemBitmap_;
    std::unique_ptr<TBitmap> titleBitmap_;
    std::unique_ptr<TBitmap> measureBitmap_;  // measures fonts and hints, never shown
    std::string title_;
    std::unique_ptr<TFont> titleFont_;
    bool resizeable_ = true;
    int itemHeight_ = 0;
    int margin_ = 2;
    TImageList* images_ = nullptr;
    std::unique_ptr<TProposalColumns> columns_;
    QvCompletionType displayKind_ = ctCode;
    QvCompletionType defaultKind_ = ctCode;
    int wheelRemainder_ = 0;
    bool savedAlwaysShowCaret_ = false;
    bool adjustingScroll_ = false;
};
