// Drag and drop: controls dragged onto other controls of the program, and files dropped
// on a window from the desktop.
//
// In-process drag. A control takes part by deriving from TDragDropSite beside its control
// class (class TMyEdit : public TCustomControl, public TDragDropSite). BeginDrag starts a
// drag of that control; from then on the drag holds the mouse: the control loses the
// capture (WM_CAPTURECHANGED) and gets no MouseUp. Once the mouse has moved Threshold
// pixels (at once when Immediate), every move asks the site under the mouse with
// DragOver: dsDragEnter when the mouse comes onto it, dsDragMove while it stays,
// dsDragLeave when it goes or the drag ends. The mouse shows the target's DragCursor
// while it accepts, crNoDrop otherwise. Releasing the button over a target whose last
// DragOver accepted calls its DragDrop; otherwise (or on Escape, or EndDrag(false)) the
// source gets DragCanceled. Either way the source gets OnEndDrag last. Coordinates are in
// the client area of the control they are given to.
//
// Files from the desktop. A window that accepts files (DragAcceptFiles) gets WM_DROPFILES
// with a drop handle: DragQueryFile gives the count and each full name, DragQueryPoint
// the drop point, DragFinish releases it. A handle is valid until DragFinish or until the
// message handler returns, whichever comes first.
#pragma once

#include "platform/System.h"
#include "platform/Types.h"
#include "platform/WinApi.h"

#include <string>

class TControl;
class TDragManager;  // the drag in progress (DragDrop.cpp)

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMode { dmManual, dmAutomatic };

using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;

// A control's part in in-process drag and drop. Sender and Source in the events are the
// controls themselves.
class TDragDropSite {
public:
    explicit TDragDropSite(TControl* Control);
    virtual ~TDragDropSite();
    TDragDropSite(const TDragDropSite&) = delete;
    TDragDropSite& operator=(const TDragDropSite&) = delete;

    TControl* SiteControl() const { return control_; }

    // Starts dragging this control from the mouse's position: at once when Immediate,
    // otherwise once the mouse has moved Threshold pixels in either direction (a negative
    // Threshold means the system's drag distance). Ends a drag already in progress first.
    void BeginDrag(bool Immediate, int Threshold = -1);
    // True from BeginDrag until the drag ends, while this control is dragged.
    bool Dragging() const;
    // Ends the drag of this control: with Drop, dropped where the mouse is when the target
    // there accepts; otherwise cancelled.
    void EndDrag(bool Drop);

    // dmAutomatic: a left press on the control begins a drag (after the system's drag
    // distance) instead of reaching the control.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode Value);
    // The cursor shown while this control accepts what is dragged over it.
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor Value) { dragCursor_ = Value; }

    // The target's part: Accept starts as whether OnDragOver is assigned; the base calls
    // OnDragOver. A descendant may call it, then decide.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    // The drop on this target; the base calls OnDragDrop.
    virtual void DragDrop(TObject* Source, int X, int Y);

    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TNotifyEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

protected:
    // The source's part: the drag started (the base calls OnStartDrag), it ended without a
    // drop (the base does nothing), and it ended (the base calls OnEndDrag): Target is the
    // control that took the drop, with X, Y in its client area, or nullptr, with X, Y in
    // the source's.
    virtual void DoStartDrag();
    virtual void DragCanceled();
    virtual void DoEndDrag(TObject* Target, int X, int Y);

private:
    friend class TDragManager;

    TControl* control_;
    TDragMode dragMode_ = dmManual;
    TCursor dragCursor_ = crDrag;
};

// ---- Files dropped from the desktop ------------------------------------------------------

struct HDROP__;
using HDROP = HDROP__*;

// Lets the window Wnd receive WM_DROPFILES for files dropped on it (or stops it).
void DragAcceptFiles(HWND Wnd, BOOL Accept);
// With File = 0xFFFFFFFF: the number of files. Otherwise the full name of file number File
// (bytes as the file system has them) goes to *Name when Name is given, and its length is
// returned; 0 for a number out of range or a handle that is not alive.
UINT DragQueryFile(HDROP Drop, UINT File, std::string* Name);
// The drop point in client coordinates of the window; TRUE when it lies in the client area.
BOOL DragQueryPoint(HDROP Drop, TPoint* Point);
// Releases the handle; a handle that is not alive is ignored.
void DragFinish(HDROP Drop);
