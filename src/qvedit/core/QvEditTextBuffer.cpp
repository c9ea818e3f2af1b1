// The text buffer's line records and line operations. Word wrap is in
// QvEditTextBufferWrap.cpp, loading in QvEditTextBufferLoad.cpp, saving in
// QvEditTextBufferFile.cpp.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditLineEnds.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <type_traits>

static_assert(sizeof(TQvEditStringRec) == 32, "a line record should stay 32 bytes");
static_assert(std::is_trivially_copyable_v<TQvEditStringRec>, "records are moved as bytes");

// ---- TQvLineText ---------------------------------------------------------------------

namespace {

void CheckLineLength(std::size_t n)
{
    if (n > TQvLineText::MaxLength)
        throw EOutOfResources(Format("Text line too long (%u bytes)", {n}));
}

}  // namespace

void TQvLineText::Assign(std::string_view s)
{
    CheckLineLength(s.size());
    auto n = static_cast<std::uint32_t>(s.size());
    if (n <= MaxInline) {
        std::memmove(raw_ + 4, s.data(), n);
        SetInfo(n);
    } else {
        char* p = new char[n + 1];
        std::memcpy(p, s.data(), n);
        p[n] = '\0';
        SetPointer(p);
        SetInfo(n | OwnedBit);
    }
}

// ---- Construction and records ----------------------------------------------------------

void TQvEditStringList::TakeChangeStamp()
{
    static std::atomic<std::uint64_t> last{0};
    changeStamp_ = ++last;
}

TQvEditStringList::TQvEditStringList()
{
    TakeChangeStamp();
    convertTabsProc_ = GetBestConvertTabsProcEx(tabWidth_);
}

TQvEditStringList::~TQvEditStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    OnRangesWanted = nullptr;
    ReleaseAll();
    std::free(records_);
}

// Every block goes but one a loading holds, without a look at the lines borrowing from it;
// the lines are read only for texts allocated for them, when there are any.
void TQvEditStringList::ReleaseAll()
{
    if (ownedTexts_ > 0) {
        const Integer gap = capacity_ - count_;
        const auto freeOwned = [&](const TQvEditStringRec* First, const TQvEditStringRec* Last) {
            recordsReleased_ += static_cast<std::size_t>(Last - First);
            for (; First != Last; ++First)
                First->Text.FreeOwned();
        };
        freeOwned(records_, records_ + gapStart_);
        freeOwned(records_ + gapStart_ + gap, records_ + count_ + gap);
        ownedTexts_ = 0;
    }
    blocks_.Recount(std::vector<std::size_t>(blocks_.Count()));
    ForgetLines();
}

void TQvEditStringList::ReleaseTexts(const TQvEditStringRec* First, const TQvEditStringRec* Last)
{
    recordsReleased_ += static_cast<std::size_t>(Last - First);
    for (; First != Last; ++First)
        ReleaseText(First->Text);
}

void TQvEditStringList::AssignText(TQvLineText& Text, std::string_view S)
{
    const TQvLineText old = Text;
    OwnText(Text, S);
    ReleaseText(old);
}

void TQvEditStringList::CheckIndex(Integer Index, Integer Limit) const
{
    if (Index < 0 || Index > Limit)
        throw EQvEditStringList(Format("Invalid stringlist index %d", {Index}));
}

namespace {

std::atomic<std::size_t> bytesPrefaulted{0};

}  // namespace

std::size_t TQvEditStringList::BytesPrefaulted()
{
    return bytesPrefaulted.load();
}

void TQvEditStringList::PrefaultMemory(void* P, std::size_t Bytes)
{
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t MinBytes = 1 << 20;
    if (Bytes < MinBytes)
        return;
    bytesPrefaulted += Bytes;
    // The range is widened to whole pages. Pages around it that belong to someone else
    // are only made present, never written. A kernel without this advice faults the
    // pages in when they are written, as it would anyway.
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    auto first = reinterpret_cast<std::uintptr_t>(P) & ~(page - 1);
    auto last = reinterpret_cast<std::uintptr_t>(P) + Bytes;
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)P;
    (void)Bytes;
#endif
}

void TQvEditStringList::MoveGap(Integer Index)
{
    const Integer gap = capacity_ - count_;
    if (gap > 0 && Index < gapStart_) {
        std::memmove(static_cast<void*>(records_ + Index + gap), records_ + Index,
                     static_cast<std::size_t>(gapStart_ - Index) * sizeof(TQvEditStringRec));
        recordsMoved_ += static_cast<std::size_t>(gapStart_ - Index);
    } else if (gap > 0 && Index > gapStart_) {
        std::memmove(static_cast<void*>(records_ + gapStart_), records_ + gapStart_ + gap,
                     static_cast<std::size_t>(Index - gapStart_) * sizeof(TQvEditStringRec));
        recordsMoved_ += static_cast<std::size_t>(Index - gapStart_);
    }
    gapStart_ = Index;
}

TQvEditStringRec* TQvEditStringList::OpenRecords(Integer Index, Integer NumLines)
{
    const bool grown = capacity_ - count_ < NumLines;
    if (grown)
        Grow(NumLines);
    MoveGap(Index);
    // The records about to be written may lie in fresh memory: only they are made present,
    // not the rest of the room grown, which stays untouched until lines come to it.
    if (grown)
        PrefaultMemory(records_ + Index, static_cast<std::size_t>(NumLines) * sizeof(TQvEditStringRec));
    gapStart_ += NumLines;
    count_ += NumLines;
    return records_ + Index;
}

// A smaller array takes the lines from before the gap and then those after it; a larger
// one keeps the gap where it is, grown by the new records.
void TQvEditStringList::ReallocRecords(Integer NewCapacity)
{
    if (NewCapacity < capacity_)
        MoveGap(count_);
    if (NewCapacity == count_)
        lastGrowth_ = 0;
    const Integer tail = count_ - gapStart_;
    const Integer oldCapacity = capacity_;
    if (NewCapacity == 0) {
        std::free(records_);
        records_ = nullptr;
    } else {
        void* p = std::realloc(records_, static_cast<std::size_t>(NewCapacity) *
                                             sizeof(TQvEditStringRec));
        if (p == nullptr)
            throw std::bad_alloc();
        records_ = static_cast<TQvEditStringRec*>(p);
    }
    capacity_ = NewCapacity;
    if (tail > 0 && NewCapacity > oldCapacity) {
        std::memmove(static_cast<void*>(records_ + NewCapacity - tail), records_ + oldCapacity - tail,
                     static_cast<std::size_t>(tail) * sizeof(TQvEditStringRec));
        recordsMoved_ += static_cast<std::size_t>(tail);
    }
}

namespace {

// The least room a large array grows by: a megabyte of records.
constexpr Integer MinGrowth = (1 << 20) / static_cast<Integer>(sizeof(TQvEditStringRec));

}  // namespace

// Grows by 16 records up to 64. A larger array grows by MinGrowth once it was sized to its
// lines (a load), then by twice its last growth, up to a quarter of it: a few lines added
// to a large text take room for few, and a long run of lines added still grows the array
// a bounded number of times. At least to Needed free records.
void TQvEditStringList::Grow(Integer Needed)
{
    Int64 delta = 16;
    if (capacity_ > 64)
        delta = std::min<Int64>(capacity_ / 4, std::max<Int64>(MinGrowth, Int64{2} * lastGrowth_));
    delta = std::max<Int64>(delta, Int64{Needed} - (capacity_ - count_));
    if (capacity_ > std::numeric_limits<Integer>::max() - delta)
        throw EOutOfResources("Too many lines");
    ReallocRecords(capacity_ + static_cast<Integer>(delta));
    lastGrowth_ = static_cast<Integer>(delta);
}

void TQvEditStringList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < count_)
        throw EQvEditStringList(Format("Invalid stringlist capacity %d", {NewCapacity}));
    if (NewCapacity != capacity_)
        ReallocRecords(NewCapacity);
}

void TQvEditStringList::SetUpdateState(bool Updating)
{
    if (Updating) {
        if (OnChanging)
            OnChanging(this);
    } else if (OnChange) {
        OnChange(this);
    }
}

// ---- Reading ----------------------------------------------------------------------------

std::string TQvEditStringList::Get(int Index) const
{
    if (Index < 0 || Index >= count_)
        return {};
    return std::string(Rec(Index).Text.View());
}

TObject* TQvEditStringList::GetObject(int Index) const
{
    if (Index < 0 || Index >= count_)
        return nullptr;
    return Rec(Index).Object;
}

bool TQvEditStringList::IsLineWraped(Integer Index) const
{
    return Index >= 0 && Index < count_ && Rec(Index).Flags.Contains(sfWrapped);
}

// ---- Tab expansion cache ------------------------------------------------------------------

void TQvEditStringList::ExpandString(Integer Index, std::string* Expanded)
{
    TQvEditStringRec& rec = Rec(Index);
    std::string_view text = rec.Text.View();
    bool hasTabs = false;
    if (text.find('\t') == std::string_view::npos) {
        rec.ExpandedLength = static_cast<Integer>(text.size());
        if (Expanded != nullptr)
            Expanded->assign(text);
    } else {
        std::string result = convertTabsProc_(std::string(text), tabWidth_, hasTabs);
        rec.ExpandedLength = static_cast<Integer>(result.size());
        if (Expanded != nullptr)
            *Expanded = std::move(result);
    }
    rec.Flags -= TQvEditStringFlags{sfExpandedLengthUnknown, sfHasTabs, sfHasNoTabs};
    rec.Flags.Include(hasTabs ? sfHasTabs : sfHasNoTabs);
}

std::string TQvEditStringList::GetExpandedString(Integer Index)
{
    if (Index < 0 || Index >= count_)
        return {};
    if (Rec(Index).Flags.Contains(sfHasNoTabs))
        return std::string(Rec(Index).Text.View());
    std::string expanded;
    ExpandString(Index, &expanded);
    return expanded;
}

Integer TQvEditStringList::GetExpandedStringLength(Integer Index)
{
    if (Index < 0 || Index >= count_)
        return 0;
    if (Rec(Index).Flags.Contains(sfExpandedLengthUnknown))
        ExpandString(Index, nullptr);
    return Rec(Index).ExpandedLength;
}

Integer TQvEditStringList::GetLengthOfLongestLine()
{
    if (indexOfLongestLine_ < 0 || indexOfLongestLine_ >= count_) {
        ++longestLineSearches_;
        indexOfLongestLine_ = -1;
        Integer longest = -1;
        for (Integer i = 0; i < count_; ++i) {
            Integer length = GetExpandedStringLength(i);
            if (length > longest) {
                longest = length;
                indexOfLongestLine_ = i;
            }
        }
    }
    return indexOfLongestLine_ >= 0 ? GetExpandedStringLength(indexOfLongestLine_) : 0;
}

void TQvEditStringList::SetTabWidth(Integer Value)
{
    if (Value == tabWidth_)
        return;
    TakeChangeStamp();
    tabWidth_ = Value;
    convertTabsProc_ = GetBestConvertTabsProcEx(Value);
    indexOfLongestLine_ = -1;
    for (Integer i = 0; i < count_; ++i) {
        Rec(i).ExpandedLength = -1;
        Rec(i).Flags.Exclude(sfHasNoTabs).Include(sfExpandedLengthUnknown);
    }
}

// ---- Changing ---------------------------------------------------------------------------

void TQvEditStringList::InsertRecord(Integer Index, std::string_view Text, bool Wrapped)
{
    if (count_ == capacity_)
        Grow();
    TQvLineText text;
    text.SetEmpty();
    OwnText(text, Text);
    TQvEditStringFlags flags{sfExpandedLengthUnknown};
    if (Wrapped)
        flags.Include(sfWrapped);
    *OpenRecords(Index, 1) = TQvEditStringRec{nullptr, text, flags, NoRange, -1};
    indexOfLongestLine_ = -1;
}

// The records go into the gap. The gap moves to the nearer end of the lines removed, or
// stays where it is among them: no record removed is moved, only those between the gap
// and the lines.
void TQvEditStringList::RemoveRecords(Integer Index, Integer NumLines)
{
    MoveGap(std::clamp(gapStart_, Index, Index + NumLines));
    if (!ReleaseByLinesStaying(Index, NumLines)) {
        const Integer gap = capacity_ - count_;
        ReleaseTexts(records_ + Index, records_ + gapStart_);
        ReleaseTexts(records_ + gapStart_ + gap, records_ + Index + NumLines + gap);
    }
    gapStart_ = Index;
    count_ -= NumLines;
    indexOfLongestLine_ = -1;
}

// When most lines go, what they hold is found from the lines that stay: without a text
// allocated for its line among those removed, each block keeps the lines that stay
// borrowing from it, and no record removed is read (a walk over millions of records takes
// longer than the rest of the deletion). False, having changed nothing, when fewer lines
// go than stay or when those that go have texts of their own, which are freed one by one.
// The gap lies at or among the lines removed.
bool TQvEditStringList::ReleaseByLinesStaying(Integer Index, Integer NumLines)
{
    const Integer staying = count_ - NumLines;
    if (staying >= NumLines)
        return false;
    std::size_t owned = 0;
    std::vector<std::size_t> borrowing(blocks_.Count());
    const auto count = [&](const TQvEditStringRec* First, const TQvEditStringRec* Last) {
        for (; First != Last; ++First) {
            if (First->Text.Owned())
                ++owned;
            else if (First->Text.Borrowed())
                ++borrowing[blocks_.IndexOf(First->Text.BorrowedBytes())];
        }
    };
    const Integer gap = capacity_ - count_;
    count(records_, records_ + Index);
    count(records_ + Index + NumLines + gap, records_ + count_ + gap);
    if (owned != ownedTexts_)
        return false;
    blocks_.Recount(borrowing);
    return true;
}

void TQvEditStringList::InsertItem(Integer Index, const std::string& S)
{
    Updating([&] {
        std::string_view rest = S;
        Integer p = Index;
        do {
            InsertRecord(p, WrapString(rest), p != Index);
            ++p;
        } while (!rest.empty());
    });
}

int TQvEditStringList::Add(const std::string& S)
{
    Integer index = count_;
    Updating([&] {
        InsertItem(index, S);
        if (OnAdded)
            OnAdded(index, S);
    });
    return index;
}

void TQvEditStringList::Insert(int Index, const std::string& S)
{
    CheckIndex(Index, count_);
    Updating([&] {
        InsertItem(Index, S);
        if (OnInserted)
            OnInserted(Index, S);
    });
}

void TQvEditStringList::Put(int Index, const std::string& S)
{
    if ((count_ == 0 && Index == 0) || Index == count_) {
        Add(S);
        return;
    }
    CheckIndex(Index, count_ - 1);
    Updating([&] {
        AssignText(Rec(Index).Text, S);
        Putted(Index, S);
    });
}

void TQvEditStringList::Putted(Integer Index, std::string_view S)
{
    Rec(Index).Flags.Include(sfExpandedLengthUnknown).Exclude(sfHasTabs).Exclude(sfHasNoTabs);
    indexOfLongestLine_ = -1;
    if (OnPutted)
        OnPutted(Index, S);
}

namespace {

// Below this many lines, or bytes, a text put in gives each line an allocation of its own:
// a block costs an allocation and a place in the list's blocks, and holds all its bytes
// while any of its lines lives.
constexpr Integer BulkLines = 64;
constexpr std::size_t BulkBytes = 4096;

}  // namespace

Integer TQvEditStringList::PutLines(Integer Index, std::string_view Head, std::string_view Text,
                                    std::string_view Tail)
{
    const std::size_t breaks = CountLineBreaks(Text);
    if (breaks >= static_cast<std::size_t>(std::numeric_limits<Integer>::max()))
        throw EOutOfResources("Too many lines");
    const auto n = static_cast<Integer>(breaks) + 1;
    CheckIndex(Index, count_ - n);
    // A short text is joined in a string, a long one in the block its lines may borrow from.
    const std::size_t size = Head.size() + Text.size() + Tail.size();
    std::string shortText;
    std::unique_ptr<char[]> block;
    char* blockBytes = nullptr;
    std::string_view joined;
    if (size < BulkBytes) {
        shortText.reserve(size);
        joined = shortText.append(Head).append(Text).append(Tail);
    } else {
        block = TQvTextBlocks::NewBlock(size);
        blockBytes = block.get();
        char* at = blockBytes;
        for (const std::string_view part : {Head, Text, Tail})
            at = std::copy(part.begin(), part.end(), at);
        joined = std::string_view(block.get(), size);
    }
    // The lines in the joined text: the first from its start, the last to its end.
    const auto eachLine = [&](auto&& Store) {
        const char* const begin = joined.data();
        const char* const end = begin + joined.size();
        bool first = true;
        for (TQvTextLines pieces(joined.substr(Head.size(), Text.size())); !pieces.AtEnd();) {
            const std::string_view piece = pieces.Next();
            const char* from = first ? begin : piece.data();
            const char* to = pieces.AtEnd() ? end : piece.data() + piece.size();
            first = false;
            Store(std::string_view(from, static_cast<std::size_t>(to - from)));
        }
    };
    // Every line is at most as long as the whole: only a longer whole is looked at first,
    // so that no line is stored when one of them cannot be.
    if (size > TQvLineText::MaxLength)
        eachLine([](std::string_view Line) { CheckLineLength(Line.size()); });
    Updating([&] {
        if (!block || n < BulkLines) {
            std::string scratch;
            eachLine([&](std::string_view Line) {
                const Integer at = Index++;
                Put(at, scratch.assign(Line));
            });
            return;
        }
        // The block goes when the hold does, when no line borrows from it (all short).
        const TQvBlockHold hold(blocks_, blocks_.Keep(std::move(block), size));
        eachLine([&](std::string_view Line) {
            // The line's end, read by now, becomes the NUL after its text (the last line
            // has the block's padding).
            blockBytes[Line.data() + Line.size() - blockBytes] = '\0';
            PutBorrowed(Index++, Line);
        });
    });
    return n;
}

// A listener may have taken lines away meanwhile: the index is checked as Put checks it.
void TQvEditStringList::PutBorrowed(Integer Index, std::string_view Text)
{
    CheckIndex(Index, count_ - 1);
    if (Text.size() > TQvLineText::MaxLength)
        throw EOutOfResources("Text line too long");
    TQvLineText& text = Rec(Index).Text;
    const TQvLineText old = text;
    text.Borrow(Text.data(), static_cast<std::uint32_t>(Text.size()));
    if (text.Borrowed())
        blocks_.Borrowed(Text.data());
    ReleaseText(old);
    Putted(Index, Text);
}

void TQvEditStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, count_ - 1);
    Updating([&] { Rec(Index).Object = AObject; });
}

void TQvEditStringList::PutRange(Integer Index, Integer ARange)
{
    CheckIndex(Index, count_ - 1);
    Updating([&] { Rec(Index).Range = ARange; });
}

void TQvEditStringList::SetTrimPending(Integer Index, bool Pending)
{
    CheckIndex(Index, count_ - 1);
    if (Pending)
        Rec(Index).Flags.Include(sfTrimPending);
    else
        Rec(Index).Flags.Exclude(sfTrimPending);
}

void TQvEditStringList::Delete(int Index)
{
    CheckIndex(Index, count_ - 1);
    Updating([&] {
        RemoveRecords(Index, 1);
        if (OnDeleted)
            OnDeleted(Index);
    });
}

void TQvEditStringList::DeleteLines(Integer Index, Integer NumLines)
{
    if (NumLines <= 0)
        return;
    CheckIndex(Index, count_);
    TakeChangeStamp();
    RemoveRecords(Index, Min(NumLines, count_ - Index));
    TakeChangeStamp();
    if (OnDeleted)
        OnDeleted(Index);
}

void TQvEditStringList::InsertLines(Integer Index, Integer NumLines)
{
    CheckIndex(Index, count_);
    if (NumLines <= 0)
        return;
    if (NumLines > std::numeric_limits<Integer>::max() - count_)
        throw EOutOfResources("Too many lines");
    Updating([&] {
        // All zero: empty text, no object, range 0, expanded length 0, no flags.
        std::memset(static_cast<void*>(OpenRecords(Index, NumLines)), 0,
                    static_cast<std::size_t>(NumLines) * sizeof(TQvEditStringRec));
        indexOfLongestLine_ = -1;
        if (OnAdded)
            OnAdded(Index, {});
    });
}

void TQvEditStringList::InsertStrings(Integer Index, TStrings* NewStrings)
{
    if (NewStrings == nullptr || NewStrings->Count() == 0)
        return;
    Integer n = NewStrings->Count();
    Updating([&] {
        InsertLines(Index, n);
        for (Integer k = 0; k < n; ++k)
            Put(Index + k, NewStrings->Strings(k));
    });
}

void TQvEditStringList::AddStrings(TStrings* Strings)
{
    if (Strings == nullptr || Strings->Count() == 0)
        return;
    Integer n = Strings->Count();
    if (n > std::numeric_limits<Integer>::max() - 16 - count_)
        throw EOutOfResources("Too many lines");
    indexOfLongestLine_ = -1;
    Updating([&] {
        Integer first = count_;
        if (capacity_ < count_ + n)
            ReallocRecords((count_ + n + 15) / 16 * 16);
        MoveGap(count_);
        for (Integer k = 0; k < n; ++k) {
            TQvEditStringRec& rec = records_[count_];
            rec.Text.SetEmpty();
            OwnText(rec.Text, Strings->Strings(k));
            rec.Object = Strings->Objects(k);
            rec.Range = NoRange;
            rec.ExpandedLength = -1;
            rec.Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
            ++count_;
            ++gapStart_;
        }
        if (OnAdded)
            OnAdded(first, {});
    });
}

// Each line takes the other's record whole (text, object, flags, range); both places hold
// another text now, and listeners hear of them as of lines put, so that what follows from
// the text there (the ranges below, the paint) is done again.
void TQvEditStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1, count_ - 1);
    CheckIndex(Index2, count_ - 1);
    if (Index1 == Index2)
        return;
    Updating([&] {
        std::swap(Rec(Index1), Rec(Index2));
        if (indexOfLongestLine_ == Index1)
            indexOfLongestLine_ = Index2;
        else if (indexOfLongestLine_ == Index2)
            indexOfLongestLine_ = Index1;
        // A listener may take lines away meanwhile.
        for (const Integer index : {Index1, Index2})
            if (OnPutted && index < count_)
                OnPutted(index, GetView(index));
    });
}

// Listeners hear of every clear, also of a list that had no lines: a new text (a load, a
// text set whole) takes the place of the old one even when the old one was empty, and what
// was recorded for the old one must not outlive it.
void TQvEditStringList::Clear()
{
    if (count_ > 0) {
        Updating([&] {
            ReleaseAll();
            ReallocRecords(0);
            if (OnCleared)
                OnCleared(this);
        });
    } else if (OnCleared) {
        OnCleared(this);
    }
    indexOfLongestLine_ = -1;
}
