// Components: ownership, state and free notification.
#include "platform/runtime/Classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    BeforeDestruction();
}

void TComponent::BeforeDestruction()
{
    if (destroyingDone_)
        return;
    destroyingDone_ = true;
    state_ |= csDestroying;

    // Each link is dropped before its notification, so a handler that does not pass
    // the call on to the base cannot make this loop forever.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->DropFreeNotify(this);
        other->Notification(this, opRemove);
    }
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
    DestroyComponents();
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return components_[Index];
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->owner_ == this)
        return;
    if (AComponent->owner_ != nullptr)
        AComponent->owner_->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->owner_ != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent* last = components_.back();
        Remove(last);
        delete last;
    }
}

void TComponent::Insert(TComponent* AComponent)
{
    components_.push_back(AComponent);
    AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    const auto it = std::find(components_.begin(), components_.end(), AComponent);
    if (it != components_.end())
        components_.erase(it);
    AComponent->owner_ = nullptr;
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    if (AName.empty())
        return nullptr;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (TComponent* component : components_) {
        const std::string& name = component->name_;
        if (name.size() == AName.size() &&
            std::equal(name.begin(), name.end(), AName.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return component;
    }
    return nullptr;
}

void TComponent::SetName(const std::string& NewName)
{
    name_ = NewName;
}

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        state_ |= csDesigning;
    else
        state_ &= ~static_cast<unsigned>(csDesigning);
}

void TComponent::EndLoading()
{
    state_ &= ~static_cast<unsigned>(csReading);
    Loaded();
}

void TComponent::Loaded()
{
    state_ &= ~static_cast<unsigned>(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent != nullptr)
        RemoveFreeNotification(AComponent);
    // Handlers may remove components from the list, so walk it by index from the end.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i < ComponentCount())
            components_[i]->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    AddFreeNotify(AComponent);
    AComponent->AddFreeNotify(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr)
        return;
    DropFreeNotify(AComponent);
    AComponent->DropFreeNotify(this);
}

void TComponent::AddFreeNotify(TComponent* AComponent)
{
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end())
        freeNotifies_.push_back(AComponent);
}

void TComponent::DropFreeNotify(TComponent* AComponent)
{
    const auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent);
    if (it != freeNotifies_.end())
        freeNotifies_.erase(it);
}
