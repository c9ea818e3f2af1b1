// StdCtrls: the standard controls — label, button, check box, radio button, edit box,
// memo, list box, combo box, group box and scroll bar.
//
// How a control hosts a native widget. Every window control is a frame widget around a
// client widget (ControlsQt.h). A standard control creates its native Qt widget in its
// constructor and hands it to its window:
//
//     auto* edit = new QLineEdit;
//     Window()->HostWidget(edit);   // platform code only (ControlsQt.h)
//
// From then on the widget fills the client area (it follows every resize), takes the
// focus in the control's place (Focused, SetFocus and TabStop work on it), follows the
// control's Font, Color and Cursor, and sees each key press only after the classic key
// route: menu shortcuts, Tab (unless the control answers WM_GETDLGCODE with
// DLGC_WANTTAB), WM_KEYDOWN with OnKeyDown and the form's key preview, Enter and Escape
// for the form's default and cancel buttons (unless the control wants all keys), then
// WM_CHAR with OnKeyPress. A key or character a handler zeroes never reaches the widget.
// A part that takes the focus itself (an editable combo box's edit line) joins the same
// route through Window()->WatchHostedPart(part).
// Mouse presses the widget ignores (labels, panels, pictures) go on to the client
// widget and arrive as the classic mouse messages, so OnClick and OnMouseDown work
// there. Child controls are placed on the client widget above the hosted one. The
// widget's signals are connected to the control's methods, each call guarded so an
// exception reaches the application's handler. Captions (of every control, as of forms
// and menu items) are UTF-8; the text of edit boxes, memos and list and combo box rows is
// the user's, in ANSI bytes (CodePages.h). StdCtrlsQt.h has the helpers (HostedAs,
// QAnsi/AnsiOf for the ANSI texts, ConnectGuarded).
// A widget's items are a TStrings descendant that reads and writes the widget itself
// (StdLists.cpp). A container that places its children itself overrides
// TWinControl::ControlListChanged.
#pragma once

#include "platform/window/Controls.h"

#include <algorithm>
#include <memory>
#include <string>

class QObject;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TComboBoxStyle { csDropDown, csDropDownList };

// ---- TLabel -----------------------------------------------------------------------------

// Plain text: an ampersand is shown as it stands, never as a mnemonic.
class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* AOwner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // While AutoSize is on (the default), the label takes the size of its text.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    // A transparent label shows its parent through the background.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool Value);

protected:
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;

private:
    void AdjustSize();

    std::string caption_;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
};

// ---- TButton ----------------------------------------------------------------------------

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // Enter in a standard control of the form that does not want it clicks the default
    // button; Escape clicks the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool Value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool Value) { cancel_ = Value; }
    // Clicking sets the form's ModalResult to this (when not mrNone), which ends a modal
    // showing, then runs OnClick.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int Value) { modalResult_ = Value; }

    void Click() override;
    bool TakeDialogKey(Word Key, bool Focused) override;

private:
    std::string caption_;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

// ---- TCheckBox, TRadioButton ------------------------------------------------------------

// Check boxes and radio buttons with the parent's colour show the parent's background
// as it is drawn (a group box's shaded inside), as the desktop's own do.
//
// Checked changes, by the user or from code, run OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const;
    void SetChecked(bool Value);

protected:
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;

private:
    std::string caption_;
};

// Checking one radio button unchecks the other radio buttons of the same parent.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const;
    void SetChecked(bool Value);

protected:
    void WMEraseBkgnd(TWMEraseBkgnd& Message) override;

private:
    void UncheckSiblings();

    std::string caption_;
};

// ---- TEdit --------------------------------------------------------------------------------

// One line of text. OnChange follows every change of Text, typed or set.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    std::string Text() const;
    void SetText(const std::string& Value);
    // 0: no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    // The selection, by character (0-based start).
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();

    TNotifyEvent OnChange;

private:
    int maxLength_ = 0;
};

// ---- TMemo --------------------------------------------------------------------------------

// Several lines. Text joins the lines with CR LF; Lines reads and writes them one by
// one. Enter types a line break, Tab moves the focus.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    TStrings* Lines() const;
    std::string Text() const;
    void SetText(const std::string& Value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);

    TNotifyEvent OnChange;

protected:
    void WMGetDlgCode(TWMGetDlgCode& Message) override;

private:
    void ApplyScrolling();

    std::unique_ptr<TStrings> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
};

// ---- TListBox -----------------------------------------------------------------------------

// OnClick follows a change of the selected row by the user (never by ItemIndex set
// from code); OnDblClick a double click on a row.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;

    TStrings* Items() const;
    // The selected row, -1 when none.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // A sorted list keeps its rows in case-insensitive order; Add returns the position.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);

private:
    std::unique_ptr<TStrings> items_;
    bool sorted_ = false;
};

// ---- TComboBox ----------------------------------------------------------------------------

// csDropDown: an edit box with a list; csDropDownList: a list only. OnSelect fires when
// the user chooses an entry, never when ItemIndex or Text is set from code; OnChange
// fires when the user types.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const;
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // The edit box's text, or the selected entry's for a list. Setting it on a list
    // selects the entry with that text (none when there is none).
    std::string Text() const;
    void SetText(const std::string& Value);
    // Entries shown at once when the list drops down.
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int Value);

    TNotifyEvent OnSelect;
    TNotifyEvent OnChange;

    // Makes the edit line of an edit box that does not have it yet (see the constructor);
    // every operation that reads or changes the box, and its first showing, call it.
    void MakeEditLine() const;

private:
    std::unique_ptr<TStrings> items_;
    TComboBoxStyle style_ = csDropDown;
    mutable bool editLinePending_ = false;
    QObject* editLineOnShow_ = nullptr;  // a child of the widget that watches for its showing
    int dropDownCount_ = 8;
};

// ---- TGroupBox ----------------------------------------------------------------------------

// A captioned frame around child controls, placed from its top-left corner.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);

private:
    std::string caption_;
};

// ---- TScrollBar ---------------------------------------------------------------------------

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollBarEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// A scroll bar of its own. Position runs from Min to Max; PageSize is the thumb's share
// of the range. A user action reaches OnScroll first (which may change the position
// asked for), then the position is taken; OnChange follows every change of Position.
// The bar never takes the focus.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return min_; }
    void SetMin(int Value) { SetParams(position_, Value, std::max(Value, max_)); }
    int Max() const { return max_; }
    void SetMax(int Value) { SetParams(position_, std::min(min_, Value), Value); }
    int Position() const { return position_; }
    void SetPosition(int Value) { SetParams(Value, min_, max_); }
    // Min and Max (swapped when reversed) and the position within them, at once.
    void SetParams(int APosition, int AMin, int AMax);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int Value);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int Value);
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int Value);

    TScrollBarEvent OnScroll;
    TNotifyEvent OnChange;

private:
    void UserScrolled(TScrollCode Code, int Pos);

    TScrollBarKind kind_ = sbHorizontal;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int pageSize_ = 0;
    int smallChange_ = 1;
    int largeChange_ = 1;
};
