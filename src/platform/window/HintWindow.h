// THintWindow: a small window with a line or a few lines of text, shown on top of the
// others without taking the focus or activating itself (the scroll hint, tool tips).
#pragma once

#include "platform/window/Controls.h"

#include <string>

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;

    // The size the window needs for Hint (UTF-8), its lines broken at blanks to fit
    // MaxWidth pixels of text: a rectangle at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& Hint);
    // Shows Hint in Rect (screen coordinates, moved inside the screen when it sticks out),
    // without activation; a visible hint moves and changes its text.
    virtual void ActivateHint(const TRect& Rect, const std::string& Hint);
    // Hides the window and gives its window back; the next ActivateHint makes a new one.
    void ReleaseHandle();

    const std::string& Caption() const { return caption_; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    std::string caption_;
};
