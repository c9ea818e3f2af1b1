// Menus: the item tree, shortcut lookup, and the Qt menus that show it (rebuilt from
// the tree whenever it changes, so they never hold on to a stale item).
#include "platform/window/Menus.h"

#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

// ---- TMenuItem ----------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    BeforeDestruction();
    for (TMenuItem* item : items_)
        item->parent_ = nullptr;
    items_.clear();
    if (parent_ != nullptr)
        parent_->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value)
{
    if (caption_ != Value) {
        caption_ = Value;
        Changed();
    }
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (shortCut_ != Value) {
        shortCut_ = Value;
        Changed();
    }
}

void TMenuItem::SetEnabled(bool Value)
{
    if (enabled_ != Value) {
        enabled_ = Value;
        Changed();
    }
}

void TMenuItem::SetChecked(bool Value)
{
    if (checked_ != Value) {
        checked_ = Value;
        Changed();
    }
}

void TMenuItem::SetVisible(bool Value)
{
    if (visible_ != Value) {
        visible_ = Value;
        Changed();
    }
}

void TMenuItem::SetDefault(bool Value)
{
    if (default_ == Value)
        return;
    if (Value && parent_ != nullptr)
        for (TMenuItem* sibling : parent_->items_)
            sibling->default_ = false;
    default_ = Value;
    Changed();
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<std::size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    const auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item == nullptr)
        return;
    for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
        if (p == Item)
            throw EInvalidOperation("A menu item cannot contain itself");
    if (Item->parent_ != nullptr)
        Item->parent_->Remove(Item);
    if (Index < 0 || Index > Count())
        throw EListError("Menu index out of bounds (" + std::to_string(Index) + ")");
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    items_.erase(items_.begin() + Index);
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::Clear()
{
    while (!items_.empty())
        Delete(Count() - 1);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Value)
{
    if (Value == scNone)
        return nullptr;
    for (TMenuItem* item : items_) {
        if (!item->enabled_ || !item->visible_)
            continue;
        if (item->shortCut_ == Value)
            return item;
        if (TMenuItem* found = item->FindShortCut(Value))
            return found;
    }
    return nullptr;
}

void TMenuItem::Click()
{
    if (enabled_ && OnClick)
        OnClick(this);
}

void TMenuItem::Changed()
{
    TMenuItem* root = this;
    while (root->parent_ != nullptr)
        root = root->parent_;
    if (root->menu_ != nullptr && !root->menu_->HasState(csDestroying))
        root->menu_->ItemsChanged();
}

// ---- TMenu ----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(std::make_unique<TMenuItem>(nullptr))
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    BeforeDestruction();
    items_.reset();
}

void TMenu::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        MenuChanged();
    }
}

void TMenu::ItemsChanged()
{
    if (updateCount_ > 0)
        changedInUpdate_ = true;
    else
        MenuChanged();
}

bool TMenu::IsShortCut(TShortCut Value)
{
    TMenuItem* item = items_->FindShortCut(Value);
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}

void TMainMenu::MenuChanged()
{
    if (OnChange)
        OnChange(this);
}

// ---- TPopupMenu -----------------------------------------------------------------------------

namespace {

QString ItemText(const TMenuItem* item)
{
    QString text = QString::fromUtf8(item->Caption());
    if (item->ShortCut() != scNone)
        text += QLatin1Char('\t') + QString::fromUtf8(ShortCutToText(item->ShortCut()));
    return text;
}

// Adds the visible sub-items of parent to a menu or menu bar.
void FillMenu(QWidget* target, TMenuItem* parent)
{
    auto* menu = qobject_cast<QMenu*>(target);
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine()) {
            if (menu != nullptr)
                menu->addSeparator();
            continue;
        }
        auto* action = new QAction(ItemText(item), target);
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        if (menu != nullptr && item->Default())
            menu->setDefaultAction(action);
        if (item->Count() > 0) {
            auto* sub = new QMenu(target);
            FillMenu(sub, item);
            action->setMenu(sub);
        } else {
            QObject::connect(action, &QAction::triggered, action, [item, alive = item->Liveness()] {
                if (!alive.expired())
                    CallGuarded(item, [&] { item->Click(); });
            });
        }
        target->addAction(action);
    }
}

}  // namespace

QMenuBar* BuildMenuBar(TMenu* menu)
{
    auto* bar = new QMenuBar;
    FillMenu(bar, menu->Items());
    return bar;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu()
{
    BeforeDestruction();
}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (popupComponent_ == Value)
        return;
    if (popupComponent_ != nullptr)
        popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupComponent_)
        popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    auto* menu = new QMenu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    FillMenu(menu, Items());
    if (menu->actions().isEmpty()) {
        delete menu;
        return;
    }
    menu->popup(QPoint(X, Y));
}
