// Drag and drop: controls dragged onto other controls of the program, and files dropped
// on a window from the desktop.
//
// In-process drag. Every control can be dragged and be dropped on (TControl's BeginDrag,
// DragOver, DragDrop, EndDrag). BeginDrag starts a drag of a control; from then on the
// drag holds the mouse: the control loses the capture (WM_CAPTURECHANGED) and gets no
// MouseUp. Once the mouse has moved Threshold pixels (at once when Immediate), every
// move asks the control under the mouse with DragOver: dsDragEnter when the mouse comes
// onto it, dsDragMove while it stays, dsDragLeave when it goes or the drag ends. The
// mouse shows the target's DragCursor while it accepts, crNoDrop otherwise. Releasing
// the button over a target whose last DragOver accepted calls its DragDrop; otherwise
// (or on Escape, or EndDrag(false)) the source gets DragCanceled. Either way the source
// gets OnEndDrag last. Coordinates are in the client area of the control they are given
// to. This header holds the vocabulary; the calls are members of TControl (Controls.h).
//
// Files from the desktop. A window that accepts files (DragAcceptFiles) gets WM_DROPFILES
// with a drop handle: DragQueryFile gives the count and each full name, DragQueryPoint
// the drop point, DragFinish releases it. A handle is valid until DragFinish or until the
// message handler returns, whichever comes first.
#pragma once

#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"
#include "platform/window/WinApi.h"

#include <string>
#include <vector>

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragMode { dmManual, dmAutomatic };

// Sender and Source are the controls themselves.
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;

// ---- Files dropped from the desktop ------------------------------------------------------

class TControl;
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
// Drops files on Control as the desktop does: WM_DROPFILES with a handle holding Names (in
// order) and the client point Point, released when the message returns.
void DropFilesOn(TControl* Control, std::vector<std::string> Names, TPoint Point);
