// ComCtrls: page controls with their tab sheets, tool bars with their buttons, and the
// up-down control. They host native widgets as described at the top of StdCtrls.h.
#pragma once

#include "platform/window/Controls.h"

#include <string>
#include <vector>

class TPageControl;
class TEdit;

// ---- TPageControl, TTabSheet ------------------------------------------------------------

// One page of a page control: a sheet placed on the page control (SetPageControl, or
// SetParent to it) becomes its last page and gets a tab.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);

    TPageControl* PageControl() const;
    void SetPageControl(TPageControl* Value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // The position among the pages, -1 when on none.
    int PageIndex() const;

private:
    std::string caption_;
};

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

// Shows one page at a time with a row of tabs. OnChange fires when the user picks another
// tab, never when ActivePage is set from code.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition Value);

    TNotifyEvent OnChange;

    // Platform use: a page's caption changed.
    void PageCaptionChanged(TTabSheet* Page);

protected:
    void ControlListChanged(TControl* Control, bool Inserted) override;
    void WMSize(TWMSize& Message) override;

private:
    void ShowPage(int Index);
    void LayoutPages();

    std::vector<TTabSheet*> pages_;
    TTabPosition tabPosition_ = tpTop;
    int active_ = -1;
};

// ---- TToolBar, TToolButton --------------------------------------------------------------

enum TToolButtonStyle { tbsButton, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar, or a gap (tbsSeparator) or line (tbsDivider) between groups.
// Its caption shows when the tool bar's ShowCaptions is on; its Hint is its tooltip.
class TToolButton : public TWinControl {
public:
    explicit TToolButton(TComponent* AOwner);

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle Value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);

    using TWinControl::Click;
    // Platform use: the tool bar's ShowCaptions changed.
    void UpdateCaption();

private:
    std::string caption_;
    TToolButtonStyle style_ = tbsButton;
};

// Places its controls left to right in the order they were placed on it, each as high
// as ButtonHeight; tool buttons are ButtonWidth wide (separators and dividers 8).
class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);

    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int Value);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int Value);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool Value);

    // Places the controls again (after one of them was shown, hidden or resized).
    void Arrange();

protected:
    void ControlListChanged(TControl* Control, bool Inserted) override;
    void WMSize(TWMSize& Message) override;

private:
    int buttonHeight_ = 22;
    int buttonWidth_ = 23;
    bool showCaptions_ = false;
    bool arranging_ = false;
};

// ---- TUpDown ------------------------------------------------------------------------------

// Two arrow buttons that step Position between Min and Max (stopping at the ends unless
// Wrap). With an associated edit box, the box shows Position, and Position reads the
// number typed there (clamped to Min..Max; the last position when it is no number).
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* AOwner);

    TEdit* Associate() const { return associate_; }
    void SetAssociate(TEdit* Value);
    int Min() const { return min_; }
    void SetMin(int Value);
    int Max() const { return max_; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    int Increment() const { return increment_; }
    void SetIncrement(int Value) { increment_ = Value; }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool Value) { wrap_ = Value; }

    // One step up (Delta 1) or down (-1), as the arrow buttons do.
    void Step(int Delta);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ShowPosition();

    TEdit* associate_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
    bool wrap_ = false;
};
