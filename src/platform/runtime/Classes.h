// Base objects: components with owners and free notification, the
// pointer list, string lists and collections.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/System.h"

class TStream;

// ---------------------------------------------------------------------------------------
// Pointer list

using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
public:
    TList() = default;
    ~TList() override = default;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item);  // index the item had, or -1
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Clear();
    void Sort(TListSortCompare Compare);

    int Count() const { return static_cast<int>(items_.size()); }
    int GetCapacity() const { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int NewCapacity);  // below Count raises EListError
    void* Get(int Index) const;
    void Put(int Index, void* Item);
    void* Items(int Index) const { return Get(Index); }
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }

private:
    void CheckIndex(int Index) const;
    std::vector<void*> items_;
};

// ---------------------------------------------------------------------------------------
// Components

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csDestroying = 1u << 2,
    csDesigning = 1u << 3,
};
using TComponentState = unsigned;  // a set of TComponentStateFlag

enum TOperation { opInsert, opRemove };

// A component may have an owner, which frees it, and owns the components created with
// it as owner; the owner frees them in reverse order of insertion.
//
// Destruction. Other components are told about a dying component (Notification with
// opRemove) while the dying object is still whole, so a handler may still look at it.
// Since a C++ destructor of a base runs after the derived members are gone, the dying
// sequence lives in BeforeDestruction(): it sets csDestroying, notifies every component
// that asked for free notification and the owner, and frees the owned components. A
// class that owns members others may look at calls BeforeDestruction() first thing in
// its destructor; the call is idempotent, and ~TComponent calls it for classes that
// need nothing earlier.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int Index) const;  // bad index raises EListError
    // Takes AComponent over from its previous owner, if any.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();  // frees the owned components, the last first
    // The owned component with this name (ASCII letters of any case); nullptr when none.
    TComponent* FindComponent(const std::string& AName) const;

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& NewName);
    long Tag() const { return tag_; }
    void SetTag(long Value) { tag_ = Value; }

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentStateFlag Flag) const { return (state_ & Flag) != 0; }
    void SetDesigning(bool Value);
    void BeginLoading() { state_ |= csLoading | csReading; }
    // Ends the reading phase and calls Loaded, which ends the loading phase.
    void EndLoading();

    // AComponent will receive Notification(this, opRemove) when this one dies, and the
    // other way round; both requests are dropped when either dies first.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

protected:
    virtual void Loaded();  // clears csLoading
    // Called when AComponent is inserted into or removed from this component's owned
    // list, and on removal of a component that asked for (or was asked for) free
    // notification. The base forwards it to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void BeforeDestruction();

private:
    void AddFreeNotify(TComponent* AComponent);
    void DropFreeNotify(TComponent* AComponent);
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    long tag_ = 0;
    TComponentState state_ = 0;
    bool destroyingDone_ = false;
};

// ---------------------------------------------------------------------------------------
// String lists

// TStrings keeps no lines of its own: a descendant stores them and overrides the
// protected hooks (Get, GetCount, Put, Insert, Delete, Clear, ...). Everything else is
// built on those hooks.
class TStrings : public TPersistent {
public:
    TStrings() = default;
    ~TStrings() override = default;

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void AddStrings(TStrings* Strings);
    void Assign(TPersistent* Source) override;
    bool Equals(TStrings* Strings) const;

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
    // Room reserved for lines; the base stores none and reports the count.
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int /*NewCapacity*/) {}

    virtual int IndexOf(const std::string& S) const;  // case-insensitive here
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(TObject* AObject) const;

    // "name=value" lines. SetValues to "" deletes the line; to a new name adds one.
    std::string Names(int Index) const;
    std::string Values(const std::string& Name) const;
    void SetValues(const std::string& Name, const std::string& Value);

    // Every line followed by CR LF. SetText splits at CR LF, LF or CR; a line end at
    // the very end of the text does not start another line.
    virtual std::string GetText() const;
    virtual void SetText(const std::string& Value);
    // Items separated by commas; an item holding a blank, a comma, a quote or a control
    // character is written in double quotes with inner quotes doubled. Reading splits
    // at commas and at blanks outside quotes.
    std::string GetCommaText() const;
    void SetCommaText(const std::string& Value);

    // Counted; SetUpdateState is told on the first Begin and the last End.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    virtual void LoadFromFile(const std::string& FileName);
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToFile(const std::string& FileName);  // through the safe writer
    virtual void SaveToStream(TStream* Stream);

protected:
    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;  // none stored here: nullptr
    virtual void Put(int Index, const std::string& S);
    virtual void PutObject(int Index, TObject* AObject);  // ignored here
    virtual void SetUpdateState(bool /*Updating*/) {}
    [[noreturn]] void Error(const std::string& Format, int Data) const;  // EStringListError

private:
    int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;
    int GetCapacity() const override { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int NewCapacity) override;  // below Count raises

    // Binary search of a sorted list: true when found; Index gets the position found or
    // the one where S would be inserted.
    virtual bool Find(const std::string& S, int& Index) const;
    virtual void Sort();  // by CompareStrings
    // Orders an unsorted list by Compare; a sorted list keeps its order.
    virtual void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates Value) { duplicates_ = Value; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool Value);
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(items_.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct Item {
        std::string Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int Index) const;
    void SortBy(TStringListSortCompare Compare);
    void QuickSort(int L, int R, TStringListSortCompare Compare);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------------------
// Collections

class TCollection;

// An item of a collection. Created with a collection, it adds itself at the end;
// deleting it removes it from its collection.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return collection_; }
    void SetCollection(TCollection* Value);
    int ID() const { return id_; }
    int Index() const;
    virtual void SetIndex(int Value);  // moves the item within its collection
    virtual std::string GetDisplayName() const { return {}; }

protected:
    // Tells the collection that this item changed (AllItems: every item may have).
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// Makes one item of the collection's class; the item adds itself to Collection.
using TCollectionItemClass = TCollectionItem* (*)(TCollection* Collection);

template <class T>
TCollectionItem* CollectionItemClass(TCollection* Collection)
{
    return new T(Collection);
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass, TPersistent* AOwner = nullptr);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int Index) const;  // bad index raises EListError
    TCollectionItem* FindItemID(int ID) const;
    void Assign(TPersistent* Source) override;

    TPersistent* Owner() const { return owner_; }
    TCollectionItemClass ItemClass() const { return itemClass_; }

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    // Called after a change while no update is open: Item is the item that changed, or
    // nullptr when the list itself (or more than one item) changed.
    virtual void Update(TCollectionItem* /*Item*/) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);
    void ItemChanged(TCollectionItem* Item);

    TCollectionItemClass itemClass_;
    TPersistent* owner_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};
