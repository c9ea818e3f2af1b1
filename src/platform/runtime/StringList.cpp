// The string list that stores its own lines: sorting, duplicates and change events.
#include <utility>

#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"

namespace {

constexpr const char* kIndexError = "List index out of bounds (%d)";
constexpr const char* kSortedError = "Operation not allowed on sorted list";
constexpr const char* kDuplicateError = "String list does not allow duplicates";
constexpr const char* kCapacityError = "List capacity out of bounds (%d)";

}  // namespace

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error(kIndexError, Index);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const
{
    return caseSensitive_ ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

int TStringList::Add(const std::string& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const std::string& S, TObject* AObject)
{
    int index = GetCount();
    if (sorted_ && Find(S, index)) {
        if (duplicates_ == dupIgnore)
            return index;
        if (duplicates_ == dupError)
            Error(kDuplicateError, 0);
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S)
{
    if (sorted_)
        Error(kSortedError, 0);
    if (Index < 0 || Index > GetCount())
        Error(kIndexError, Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject)
{
    Changing();
    items_.insert(items_.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    items_.erase(items_.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    Changing();
    items_.clear();
    items_.shrink_to_fit();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(items_[Index1], items_[Index2]);
    Changed();
}

int TStringList::IndexOf(const std::string& S) const
{
    if (sorted_) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CompareStrings(items_[i].Text, S) == 0)
            return i;
    }
    return -1;
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    bool found = false;
    int low = 0;
    int high = GetCount() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int compared = CompareStrings(items_[middle].Text, S);
        if (compared < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (compared == 0) {
                found = true;
                // With duplicates kept, the search goes on to the first equal item.
                if (duplicates_ != dupAccept)
                    low = middle;
            }
        }
    }
    Index = low;
    return found;
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return items_[Index].Text;
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return items_[Index].Object;
}

void TStringList::Put(int Index, const std::string& S)
{
    if (sorted_)
        Error(kSortedError, 0);
    CheckIndex(Index);
    Changing();
    items_[Index].Text = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    items_[Index].Object = AObject;
    Changed();
}

void TStringList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < 0 || NewCapacity < GetCount())
        Error(kCapacityError, NewCapacity);
    if (NewCapacity > GetCapacity()) {
        items_.reserve(static_cast<std::size_t>(NewCapacity));
    } else if (NewCapacity < GetCapacity()) {
        std::vector<Item> smaller;
        smaller.reserve(static_cast<std::size_t>(NewCapacity));
        for (Item& item : items_)
            smaller.push_back(std::move(item));
        items_.swap(smaller);
    }
}

void TStringList::SetSorted(bool Value)
{
    if (Value == sorted_)
        return;
    if (Value)
        Sort();
    sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == caseSensitive_)
        return;
    caseSensitive_ = Value;
    // The order changes with the comparison; Find relies on it.
    if (sorted_)
        Sort();
}

void TStringList::Sort()
{
    SortBy([](TStringList* List, int Index1, int Index2) {
        return List->CompareStrings(List->items_[Index1].Text, List->items_[Index2].Text);
    });
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
    if (!sorted_)
        SortBy(Compare);
}

void TStringList::SortBy(TStringListSortCompare Compare)
{
    if (GetCount() < 2)
        return;
    Changing();
    QuickSort(0, GetCount() - 1, Compare);
    Changed();
}

// Hoare partitioning around the middle item, recursing into the smaller part so the
// depth stays logarithmic; the scans are bounded, so a comparison that is not a
// consistent order cannot run them off the ends.
void TStringList::QuickSort(int L, int R, TStringListSortCompare Compare)
{
    while (L < R) {
        int i = L;
        int j = R;
        int pivot = L + (R - L) / 2;
        while (i <= j) {
            while (i < R && Compare(this, i, pivot) < 0)
                ++i;
            while (j > L && Compare(this, j, pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(items_[i], items_[j]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        }
        if (j - L < R - i) {
            if (L < j)
                QuickSort(L, j, Compare);
            L = i;
        } else {
            if (i < R)
                QuickSort(i, R, Compare);
            R = j;
        }
    }
}
