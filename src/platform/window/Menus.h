// Menus: items with a caption, a shortcut, a click handler and enabled/checked state,
// arranged in a tree under a main menu (the form's menu bar) or a pop-up menu. A
// form offers every key to its menus before the focused control sees it: a key that
// is the shortcut of an enabled, visible item clicks the item and goes no further.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/window/Keys.h"

#include <memory>
#include <string>
#include <vector>

class TMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // UTF-8; "-" makes a separator, '&' marks the accelerator letter.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    bool Checked() const { return checked_; }
    void SetChecked(bool Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    // The default item of a menu is shown in bold; making an item the default takes the
    // mark from its siblings.
    bool Default() const { return default_; }
    void SetDefault(bool Value);

    // Sub-items. An item belongs to one parent at a time; Add and Insert take it out
    // of its old one. The items are not freed by their parent: their owner frees them.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const;  // bad index raises EListError
    TMenuItem* Parent() const { return parent_; }
    int IndexOf(const TMenuItem* Item) const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    bool IsLine() const { return caption_ == "-"; }

    // The item, here or below, with this shortcut that is enabled and visible along
    // its whole path; nullptr when none.
    TMenuItem* FindShortCut(TShortCut Value);

    // Runs OnClick (when assigned).
    virtual void Click();

    TNotifyEvent OnClick;

    // Lives as long as the item: lets a shown menu find out whether its item still does.
    std::weak_ptr<const bool> Liveness() const { return alive_; }

private:
    friend class TMenu;
    void Changed();

    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item
    std::vector<TMenuItem*> items_;
    std::string caption_;
    TShortCut shortCut_ = scNone;
    bool enabled_ = true;
    bool checked_ = false;
    bool visible_ = true;
    bool default_ = false;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The invisible root whose sub-items are the menu's entries.
    TMenuItem* Items() const { return items_.get(); }

    // Clicks the item with this shortcut and returns true; false when none takes it.
    bool IsShortCut(TShortCut Value);

    // Between BeginUpdate and EndUpdate changes of the items are collected; the last
    // EndUpdate reports them once.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // Called when an item below changed (platform use: the menu bar rebuilds).
    virtual void MenuChanged() {}

private:
    friend class TMenuItem;
    void ItemsChanged();

    std::unique_ptr<TMenuItem> items_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

// Holds a menu's changes back for as long as it lives.
class TMenuUpdate {
public:
    explicit TMenuUpdate(TMenu* Menu) : menu_(Menu) { menu_->BeginUpdate(); }
    ~TMenuUpdate() { menu_->EndUpdate(); }
    TMenuUpdate(const TMenuUpdate&) = delete;
    TMenuUpdate& operator=(const TMenuUpdate&) = delete;

private:
    TMenu* menu_;
};

class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    void MenuChanged() override;
    TNotifyEvent OnChange;  // the form listens to rebuild its menu bar
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Opens the menu at screen position (X, Y) after OnPopup; it stays open until an
    // item is chosen or the user clicks elsewhere (the call does not wait).
    virtual void Popup(int X, int Y);
    // The control whose context menu opened it last.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* Value);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool Value) { autoPopup_ = Value; }

    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* popupComponent_ = nullptr;
    bool autoPopup_ = true;
};
