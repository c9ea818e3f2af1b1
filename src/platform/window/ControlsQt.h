// Platform-internal: the Qt widgets behind a control. Included only by platform sources
// and platform tests.
//
// A control is a frame widget (its bounds; it draws the border and holds the scroll
// bars and a form's menu bar) around a client widget (the client area: painting,
// mouse, keys, focus, input method). Child controls live in the parent's client widget.
#pragma once

#include "platform/window/Controls.h"
#include "platform/window/ScrollBars.h"

#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <string>

// How many times the process has pushed a control's font and colours to its hosted widget.
int HostedLookPushCount();

class QFont;
class QKeyEvent;
class QMenuBar;
class QScrollBar;
class TControlWindow;

class QvClientWidget final : public QWidget {
public:
    QvClientWidget(TControlWindow* window, QWidget* parent);

    TControlWindow* OwnerWindow() const { return window_; }
    // Moves the focus to the next (previous) control in the tab order.
    bool MoveFocus(bool next) { return QWidget::focusNextPrevChild(next); }
    // Where the input method composes, and with which font.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    friend class QvHostFilter;
    TControlWindow* window_;
};

class QvFrameWidget final : public QWidget {
public:
    explicit QvFrameWidget(TControlWindow* window);

    TControlWindow* OwnerWindow() const { return window_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // The edges of a sizing frame under pos (Qt::Edges), none when pos is not on it.
    Qt::Edges FrameEdgesAt(const QPoint& pos) const;

    TControlWindow* window_;
    Qt::Edges resizing_;          // the edges being dragged
    QPoint resizeStart_;          // where the drag began, in screen coordinates
    QRect resizeStartGeometry_;   // the window's geometry then
};

// The widgets of one control and the window state kept beside them.
class TControlWindow {
public:
    explicit TControlWindow(TControl* control);
    ~TControlWindow();
    TControlWindow(const TControlWindow&) = delete;
    TControlWindow& operator=(const TControlWindow&) = delete;

    // nullptr once the control started dying: no event reaches it any more.
    TControl* Control() const { return control_; }
    TWinControl* WinControl() const;
    void Detach() { control_ = nullptr; }

    QvFrameWidget* Frame() const { return frame_; }
    QvClientWidget* Client() const { return client_; }
    // The window's own scroll bar, made at its first use (most controls never show one):
    // it takes the bar's state then.
    QScrollBar* Bar(int bar);
    TScrollBarState& BarState(int bar) { return bar == SB_HORZ ? hState_ : vState_; }

    // The border: 0, 1 (WS_BORDER, a line), 2 (WS_EX_CLIENTEDGE, sunken) or wider (a
    // raised frame) pixels.
    int BorderWidth() const { return border_; }
    void SetBorder(int width);
    // Whether dragging the border of a window without parent resizes it.
    bool SizingFrame() const { return sizingFrame_; }
    void SetSizingFrame(bool value);
    void SetMenuBar(QMenuBar* bar);
    QMenuBar* MenuBar() const { return menuBar_; }

    // The client area in frame coordinates, from the bounds, border, bars and menu bar.
    QRect ClientGeometry() const;
    // Places client, bars and menu bar; sends WM_SIZE when the client size changed.
    void Layout();
    // Pushes a bar's state to its widget (without sending scroll messages).
    void ShowBarState(int bar);
    // The next Layout sends WM_SIZE whatever the size (a new window learns its size).
    void ResetSizeNotice() { lastClientSize_ = QSize(-1, -1); }

    // A native widget as the client area (the standard controls): it fills the client
    // widget, takes the focus in its place, follows the control's font, colours and
    // cursor, and sees each key only after the control's own key messages (see
    // RouteHostedKey). The window owns it; hosting a second widget is an error.
    void HostWidget(QWidget* widget);
    QWidget* Hosted() const { return hosted_; }
    // A part of the hosted widget that takes the focus itself (an editable combo box's
    // edit line) gets the same key route. A widget whose focus goes to a proxy leaves
    // keys and focus to that proxy.
    void WatchHostedPart(QWidget* part);
    // Gives the hosted widget the control's font, colours (window = Color) and cursor. The
    // cursor goes at once; the font and colours wait while the widget is not seen (it or a
    // parent hidden), since a control made with one font and then given its parent's or its
    // own would otherwise push each in turn, and a hidden page's controls need none before
    // the page is shown. They go when the widget is shown, or earlier through
    // PushHostedLook by whatever reads the widget's look first.
    void ApplyHostedLook();
    // Pushes font and colours that wait (nothing when none does).
    void PushHostedLook();
    // The hosted widget's focus policy for the control's TabStop (none when the widget
    // never takes the focus).
    void ApplyHostedTabStop(bool tabStop);

    // Expires with this object: a handler that ran the control's code checks it before
    // touching the window again (the code may have freed the control).
    std::weak_ptr<char> Liveness() const { return liveness_; }

    // Painting requested but not done yet (what Update paints now).
    QRegion Pending;
    // Set while the frame's geometry is being set from the control's bounds.
    bool SettingGeometry = false;

private:
    void ConnectBar(QScrollBar* bar, int kind);

    std::shared_ptr<char> liveness_ = std::make_shared<char>();
    TControl* control_;
    QvFrameWidget* frame_;
    QvClientWidget* client_;
    QScrollBar* hBar_ = nullptr;
    QScrollBar* vBar_ = nullptr;
    QWidget* corner_ = nullptr;  // between the two bars, made with them
    QMenuBar* menuBar_ = nullptr;
    QWidget* hosted_ = nullptr;
    bool hostedLookPending_ = false;
    TScrollBarState hState_;
    TScrollBarState vState_;
    int border_ = 0;
    bool sizingFrame_ = false;
    QSize lastClientSize_{-1, -1};
};

// True while a scroll bar is telling its control about a user action: a bar must not be
// deleted under itself then.
bool InsideScrollBarAction();

// The control behind a widget (the client or frame of a control), or nullptr.
TControl* ControlOfWidget(const QWidget* widget);

// ---- Keys (Keys.cpp) ----------------------------------------------------------------------

// A key event read the classic way.
struct TKeyInput {
    Word Key = 0;              // virtual key; 0 when the key has none
    TShiftState Shift = 0;     // Shift, Ctrl, Alt (AltGr counts as neither Ctrl nor Alt)
    bool SystemKey = false;    // Alt without Ctrl: WM_SYSKEYDOWN / WM_SYSCHAR
    std::string Chars;         // the characters the key types, as ANSI bytes
};

TKeyInput ReadKeyEvent(const QKeyEvent& e);
// The printable characters of text as ANSI bytes; characters the code page lacks are
// left out.
std::string PrintableAnsi(const QString& text);
// Records the modifiers, mouse buttons and key states that GetKeyState answers.
void NoteKeyboardModifiers(Qt::KeyboardModifiers modifiers);
void NoteMouseButtons(Qt::MouseButtons buttons);
void NoteKeyState(Word key, bool down);

// A key press for a hosted widget, taken the classic way: menu shortcuts, Tab (unless
// the control wants it), WM_KEYDOWN (with the form's key preview), the dialog keys Enter
// and Escape, then WM_CHAR. True when the classic route took the key, so the widget must
// not see it: a shortcut or Tab moved on, or a handler zeroed the key or its character.
bool RouteHostedKey(TWinControl* control, QKeyEvent* e);

// ---- Caret (Caret.cpp) ----------------------------------------------------------------

// Around the paint event of a client widget: changes to the caret meanwhile ask for no
// paint of their own; at the end, where the caret showed before and shows now is painted
// again if it changed, outside the region just painted.
void BeginCaretPaint();
void EndCaretPaint(const QWidget* client, const QRegion& painted);
// Draws the caret over what the control just painted, when it is the caret's window.
void PaintCaretOverlay(TWinControl* control, QPainter& painter);
// The caret's rectangle in client coordinates of control, or an empty one.
QRect CaretRectOf(const TWinControl* control);
// The control's window is going away: its caret goes with it.
void WindowDestroyed(const TWinControl* control);
// The committed input-method text while WM_IME_COMPOSITION is handled.
void SetImeResult(const std::string* ansiText);
const std::string* CurrentImeResult();
// Where the input method composes for control, in client coordinates.
QRect ImeCursorRect(const TWinControl* control);
// The font set for control's composition; false when none was set.
bool ImeFont(const TWinControl* control, QFont& font);

// ---- Drag (DragDrop.cpp) ---------------------------------------------------------------

// Every control is known to the drag from its construction to its destruction, so that
// a drag never calls a control that is gone.
void DragControlCreated(TControl* control);
void DragControlDestroyed(TControl* control);

// ---- Cursors (ControlsMouse.cpp) ------------------------------------------------------

Qt::CursorShape QtCursorShape(TCursor cursor);

// ---- Menus (Menus.cpp) ----------------------------------------------------------------

class TMenu;
// A menu bar showing the menu's entries; choosing an item clicks it.
QMenuBar* BuildMenuBar(TMenu* menu);
