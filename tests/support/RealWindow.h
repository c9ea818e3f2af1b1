// Helpers for tests that run in a real X window (see XServer.h): letting the event loop
// run, giving a window the focus where no window manager does, keys through the X server,
// recording a control's paints, and comparing what the X server shows of a control with
// what a fresh paint of it gives.
#pragma once

#include "platform/runtime/Types.h"

#include <functional>
#include <memory>
#include <string>

class TWinControl;

namespace QvTest {

// Runs the event loop for Milliseconds.
void Idle(int Milliseconds);
// Runs the event loop until Done holds (true) or Milliseconds passed (false). The default
// bound is for what must happen: it ends as soon as it does, and is long enough that a
// busy machine only makes it come later.
bool IdleUntil(const std::function<bool()>& Done, int Milliseconds = 60000);
// Milliseconds on the wall clock since some fixed moment.
long long NowMs();

// Gives the X input focus to the top-level window of Control, as a window manager would,
// and waits until Qt takes it for the active window; false when that did not happen.
bool FocusWindowOf(TWinControl& Control);

// Pixels of Control's client area that differ between the X server's screen and a fresh
// paint of it (the caret included as it stands now); -1 when the two cannot be compared.
int StaleClientPixels(TWinControl& Control);

// Sends keys through the X server to the focused window (xdotool key / type syntax).
bool XKeys(const std::string& Keys);
bool XType(const std::string& Text);

// Records the paint events of Control's client area while it lives.
class TPaintRecorder {
public:
    explicit TPaintRecorder(TWinControl& Control);
    ~TPaintRecorder();
    TPaintRecorder(const TPaintRecorder&) = delete;
    TPaintRecorder& operator=(const TPaintRecorder&) = delete;

    int Count() const;
    // How many of them painted anything outside Allowed (client coordinates).
    int PaintsOutside(const TRect& Allowed) const;

private:
    class TFilter;
    std::unique_ptr<TFilter> filter_;
};

// The caret's rectangle in Control's client area; empty when the caret is elsewhere.
TRect CaretRect(TWinControl& Control);

// While it lives the caret does not blink (it shows all the time), so that the screen
// can be compared with a fresh paint at any moment.
class TSteadyCaret {
public:
    TSteadyCaret();
    ~TSteadyCaret();
    TSteadyCaret(const TSteadyCaret&) = delete;
    TSteadyCaret& operator=(const TSteadyCaret&) = delete;

private:
    int savedFlashTime_;
};

}  // namespace QvTest
