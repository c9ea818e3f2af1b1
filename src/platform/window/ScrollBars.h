// The scroll bars of a window control, with the window system's rules: a bar shows
// while its page is smaller than its range; otherwise it hides, or with
// SIF_DISABLENOSCROLL stays shown but disabled. A bar never moves by itself: the user's
// actions arrive as WM_HSCROLL/WM_VSCROLL (SB_* codes, the thumb position in 16 bits)
// and the bar shows whatever position the program sets. Showing or hiding a bar changes
// the client area, which sends WM_SIZE.
#pragma once

#include "platform/window/WinApi.h"

// Bar is SB_HORZ or SB_VERT (SB_BOTH where noted). The calls return 0/FALSE for a
// window that is not a live window control.

// Applies the fields that Info->fMask names; returns the bar's position afterwards.
int SetScrollInfo(HWND Window, int Bar, const SCROLLINFO* Info, BOOL Redraw);
// Fills the fields that Info->fMask names.
BOOL GetScrollInfo(HWND Window, int Bar, SCROLLINFO* Info);
// Whether the bar is shown and whether it is enabled.
BOOL GetScrollBarState(HWND Window, int Bar, BOOL* Visible, BOOL* Enabled);
// Returns the previous position.
int SetScrollPos(HWND Window, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Window, int Bar);
BOOL SetScrollRange(HWND Window, int Bar, int MinPos, int MaxPos, BOOL Redraw);
// SB_HORZ, SB_VERT or SB_BOTH.
BOOL ShowScrollBar(HWND Window, int Bar, BOOL Show);
// ESB_ENABLE_BOTH enables the bar; any ESB_DISABLE_* disables it (the arrows are not
// told apart). SB_HORZ, SB_VERT or SB_BOTH.
BOOL EnableScrollBar(HWND Window, UINT Bar, UINT Arrows);

// The state of one bar, and the rules that change it (kept apart from any window so
// that they are plain to read and to test).
struct TScrollBarState {
    int Min = 0;
    int Max = 100;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Visible = false;
    bool Enabled = true;

    // The highest position the thumb can take: Max - Page + 1 (never below Min).
    int MaxPos() const;
    // Whether the page leaves something to scroll.
    bool CanScroll() const;
    // Applies Info as SetScrollInfo does; returns the position afterwards.
    int Apply(const SCROLLINFO& Info);
};
