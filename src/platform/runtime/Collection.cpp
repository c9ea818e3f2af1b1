// Collections of items of one class.
#include <algorithm>

#include "platform/runtime/Classes.h"

namespace {

[[noreturn]] void IndexError(int Index)
{
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

}  // namespace

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == collection_)
        return;
    if (collection_ != nullptr)
        collection_->RemoveItem(this);
    if (Value != nullptr)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (collection_ == nullptr)
        return -1;
    const auto& items = collection_->items_;
    const auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    if (collection_ != nullptr && Value != Index())
        collection_->MoveItem(this, Value);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (collection_ != nullptr)
        collection_->ItemChanged(AllItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemClass ItemClass, TPersistent* AOwner)
    : itemClass_(ItemClass), owner_(AOwner)
{
}

TCollection::~TCollection()
{
    ++updateCount_;  // no Update while the items go
    while (!items_.empty())
        delete items_.back();
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = itemClass_(this);
    if (item->Collection() != this)
        item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        IndexError(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    delete Items(Index);
}

void TCollection::Clear()
{
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return items_[Index];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [ID](const TCollectionItem* item) { return item->ID() == ID; });
    return it == items_.end() ? nullptr : *it;
}

void TCollection::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        if (source == this)
            return;
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* item : source->items_)
                Add()->Assign(item);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::BeginUpdate()
{
    ++updateCount_;
}

void TCollection::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        Changed();
}

void TCollection::Changed()
{
    if (updateCount_ == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    items_.push_back(Item);
    Item->collection_ = this;
    Item->id_ = nextId_++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    const auto it = std::find(items_.begin(), items_.end(), Item);
    if (it != items_.end())
        items_.erase(it);
    Item->collection_ = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex)
{
    if (NewIndex < 0 || NewIndex >= Count())
        IndexError(NewIndex);
    const int current = Item->Index();
    items_.erase(items_.begin() + current);
    items_.insert(items_.begin() + NewIndex, Item);
    Item->Changed(true);
}

void TCollection::ItemChanged(TCollectionItem* Item)
{
    if (updateCount_ == 0)
        Update(Item);
}
