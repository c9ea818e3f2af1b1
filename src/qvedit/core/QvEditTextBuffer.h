// The editor's text buffer: a string list whose lines each carry the highlighter range
// reached at the end of the line, a cached tab-expanded length and flags. It reads and
// writes text files in three line-end styles and can wrap long lines at a fixed width.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/System.h"
#include "qvedit/core/QvEditMiscProcs.h"
#include "qvedit/core/QvEditTextBufferBlocks.h"
#include "qvedit/core/QvEditTypes.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

QV_DECLARE_EXCEPTION(EQvEditStringList, Exception);

// The range of a line whose end state is not known yet.
constexpr Integer NoRange = -1;

enum TQvEditStringFlag : Byte {
    sfHasTabs,                // the line is known to hold a TAB
    sfHasNoTabs,              // known to hold none: the expanded text is the text itself
    sfExpandedLengthUnknown,  // ExpandedLength must be recomputed
    sfWrapped,                // a continuation made by word wrap
    sfTrimPending             // the editor trims its trailing blanks when its change ends
};
using TQvEditStringFlags = TSet<TQvEditStringFlag, 8>;

enum TQvEditFileFormat : Byte {
    sffDos,   // lines end in CR LF
    sffUnix,  // LF
    sffMac    // CR
};

// The text of one line, without any line-end character, in 15 bytes: a 4-byte length
// (its top bit set when the bytes are allocated for this line), then either up to 11 bytes
// in place or a pointer. A pointer that is not owned borrows from a block of text that the
// list keeps while any line borrows from it. The bytes behind a pointer, owned or borrowed,
// are followed by a NUL, so that a reader that stops at one (a highlighter) can read a long
// line in place. The owning list allocates and releases; the object itself is trivially
// copyable so that the records can be moved as bytes.
class TQvLineText {
public:
    static constexpr std::uint32_t MaxInline = 11;
    static constexpr std::uint32_t MaxLength = 0x7FFFFFFF;

    std::string_view View() const
    {
        std::uint32_t n = Length();
        return {n <= MaxInline ? raw_ + 4 : Pointer(), n};
    }
    std::uint32_t Length() const { return Info() & MaxLength; }
    bool Owned() const { return (Info() & ~MaxLength) != 0; }
    // Whether the bytes are behind a pointer, followed by a NUL.
    bool Pointed() const { return Length() > MaxInline; }
    // Whether the bytes are borrowed from a block of the list.
    bool Borrowed() const { return Info() > MaxInline && !Owned(); }
    const char* BorrowedBytes() const { return Pointer(); }

    // Sets a copy of s, in place or allocated for this line. The old text is the list's to
    // release afterwards (s may point into it).
    void Assign(std::string_view s);
    // Refers to bytes the list keeps alive (short texts are copied in place). At least
    // MaxInline bytes from p must be readable, whatever n is: a fixed-size copy is the
    // fastest way to the short text. A longer text must be followed by a NUL.
    void Borrow(const char* p, std::uint32_t n)
    {
        if (n <= MaxInline)
            std::memcpy(raw_ + 4, p, MaxInline);
        else
            SetPointer(p);
        SetInfo(n);
    }
    // Frees the bytes allocated for this line, if it has any.
    void FreeOwned() const
    {
        if (Owned())
            delete[] Pointer();
    }
    void SetEmpty() { SetInfo(0); }

private:
    static constexpr std::uint32_t OwnedBit = 0x80000000u;

    std::uint32_t Info() const
    {
        std::uint32_t info;
        std::memcpy(&info, raw_, sizeof info);
        return info;
    }
    void SetInfo(std::uint32_t info) { std::memcpy(raw_, &info, sizeof info); }
    const char* Pointer() const
    {
        const char* p;
        std::memcpy(&p, raw_ + 4, sizeof p);
        return p;
    }
    void SetPointer(const char* p) { std::memcpy(raw_ + 4, &p, sizeof p); }

    char raw_[15];
};

static_assert(TQvTextBlocks::Padding > TQvLineText::MaxInline, "a short line is copied out of its block whole");

// One line of the buffer. Records are kept in one contiguous array.
struct TQvEditStringRec {
    TObject* Object;  // stored with the line, not owned
    TQvLineText Text;
    TQvEditStringFlags Flags;
    Integer Range;           // highlighter range at the end of the line
    Integer ExpandedLength;  // length after tab expansion; -1 when unknown
};

// S is the line's text read in place where it can be: valid until the list next changes.
using TStringListInsertedEvent = TEvent<void(Integer Index, std::string_view S)>;
using TStringListIndexEvent = TEvent<void(Integer Index)>;

class TQvEditStringList : public TStrings {
public:
    TQvEditStringList();
    ~TQvEditStringList() override;

    // Reading operations return empty values outside 0 .. Count - 1; the changing ones
    // raise EQvEditStringList "Invalid stringlist index %d".
    std::string Get(int Index) const override;
    // The text of a line read in place, without a copy: valid until the list next changes.
    std::string_view GetView(Integer Index) const
    {
        return Index >= 0 && Index < count_ ? Rec(Index).Text.View() : std::string_view();
    }
    // The text of a line followed by a NUL, for a reader that stops at one (a
    // highlighter): read in place unless it is short enough to be held in its record,
    // when it is copied to Scratch (without an allocation). Valid until the list or
    // Scratch next changes.
    std::string_view GetTerminatedView(Integer Index, std::string& Scratch) const
    {
        if (Index >= 0 && Index < count_ && Rec(Index).Text.Pointed())
            return Rec(Index).Text.View();
        Scratch.assign(GetView(Index));
        return Scratch;
    }
    int GetCount() const override { return count_; }
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Put(int Index, const std::string& S) override;

    // 0 outside the list. Reading a line whose range is marked stale asks OnRangesWanted
    // to bring the ranges up to date through that line first.
    Integer GetRange(Integer Index) const
    {
        if (Index >= staleRangesFrom_ && Index < count_ && OnRangesWanted)
            OnRangesWanted(Index);
        return StoredRange(Index);
    }
    // The range as stored, stale or not, and a range stored with no notice (a range is no
    // change of the text): for the one who rescans.
    Integer StoredRange(Integer Index) const { return Index >= 0 && Index < count_ ? Rec(Index).Range : 0; }
    void StoreRange(Integer Index, Integer ARange)
    {
        CheckIndex(Index, count_ - 1);
        Rec(Index).Range = ARange;
    }
    // The ranges from line Index on may be out of date: whoever changed the lines (or gave
    // them a new highlighter) rescans them when one is read (through OnRangesWanted), not
    // before. NoStaleRanges clears the mark.
    static constexpr Integer NoStaleRanges = 0x7FFFFFFF;
    void SetStaleRangesFrom(Integer Index) { staleRangesFrom_ = Index; }
    Integer GetStaleRangesFrom() const { return staleRangesFrom_; }
    // No flags outside the list. A line InsertLines made has none until it is put.
    TQvEditStringFlags GetFlags(Integer Index) const
    {
        return Index >= 0 && Index < count_ ? Rec(Index).Flags : TQvEditStringFlags();
    }
    void PutRange(Integer Index, Integer ARange);
    // Marks a line (inside the list) whose trailing blanks its editor trims when its change
    // ends, or takes the mark off. The mark moves with the line; it is no change of the
    // text and nobody is told.
    void SetTrimPending(Integer Index, bool Pending);
    std::string GetExpandedString(Integer Index);
    Integer GetExpandedStringLength(Integer Index);
    Integer GetLengthOfLongestLine();
    // Searches of every line for the longest, over the list's life.
    std::size_t LongestLineSearches() const { return longestLineSearches_; }

    int Add(const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    // Swaps two lines' records; both are told of through OnPutted.
    void Exchange(int Index1, int Index2) override;
    // Removes Count lines from Index on (fewer at the end of the list), one OnDeleted.
    void DeleteLines(Integer Index, Integer NumLines);
    // Inserts NumLines empty lines with range 0 before Index, one OnAdded.
    void InsertLines(Integer Index, Integer NumLines);
    // Stores the lines of Text (the pieces between its CR LF, lone CR and lone LF breaks)
    // in the lines from Index on, Head joined to the first and Tail to the last, each as
    // Put stores it and tells OnPutted. Head and Tail are not split: a line-break character
    // in them stays in its line. Raises, having stored nothing, when the lines would go past
    // the last line or one would be too long. Returns how many lines it stored. Many lines
    // are not given an allocation each: they borrow from one copy of the three.
    Integer PutLines(Integer Index, std::string_view Head, std::string_view Text, std::string_view Tail);
    void InsertStrings(Integer Index, TStrings* NewStrings);
    // Appends the lines (and their objects) of Strings with one OnAdded.
    void AddStrings(TStrings* Strings) override;
    int GetCapacity() const override { return capacity_; }
    // Makes the pages of a large piece of fresh memory present in one call, which costs
    // about two thirds of faulting them in one by one as they are first written.
    static void PrefaultMemory(void* P, std::size_t Bytes);
    // The bytes PrefaultMemory has asked to have made present, over the process's life.
    static std::size_t BytesPrefaulted();
    // A capacity below Count raises EQvEditStringList.
    void SetCapacity(int NewCapacity) override;
    // Records moved in memory to open or close room among the lines, over the list's life
    // (growing the array is not counted): what a run of insertions and deletions costs
    // beyond the lines it makes and removes.
    std::size_t RecordsMoved() const { return recordsMoved_; }
    // Records read one by one to give back the texts of lines removed, over the list's
    // life: when most lines go, what they held is found from the lines that stay instead.
    std::size_t RecordsReleased() const { return recordsReleased_; }
    // The blocks of text that lines borrow from (a loaded file, lines put in bulk): each
    // goes with the last line that borrows from it.
    std::size_t TextBlockCount() const { return blocks_.Count(); }
    // A number no list has had before, taken anew by every change of the lines (their text,
    // ranges or objects, lines added, removed or loaded) and of the tab width: what a reader
    // kept about the lines holds while it stays the same.
    std::uint64_t ChangeStamp() const { return changeStamp_; }

    Integer GetTabWidth() const { return tabWidth_; }
    void SetTabWidth(Integer Value);
    TQvEditFileFormat GetFileFormat() const { return fileFormat_; }
    void SetFileFormat(TQvEditFileFormat Value) { fileFormat_ = Value; }
    // A file's last line is written with a line end, and a line end at the very end of a
    // loaded file makes no empty last line.
    bool GetFinalLineBreak() const { return finalLineBreak_; }
    void SetFinalLineBreak(bool Value) { finalLineBreak_ = Value; }

    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    Integer GetWrapWidth() const { return wrapWidth_; }
    bool IsLineWraped(Integer Index) const;
    // Rewraps the group of lines holding Index; returns the group's first line.
    Integer ReWrapLine(Integer Index);

    // Loading reads the whole stream first: when reading fails the old lines stay as they
    // were. A failure while the lines are being made (a handler raising, memory) leaves
    // the list empty rather than holding part of the file.
    void LoadFromFile(const std::string& FileName) override;
    void LoadFromStream(TStream* Stream) override;
    // Both write every line in FileFormat; continuation lines of word wrap are joined to
    // the line they continue. Files are written through the safe writer, each megabyte on
    // a thread of its own while the next is made; a stream is written on this thread.
    void SaveToFile(const std::string& FileName) override;
    void SaveToStream(TStream* Stream) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;
    TStringListInsertedEvent OnAdded;
    TNotifyEvent OnCleared;
    TStringListIndexEvent OnDeleted;
    TStringListInsertedEvent OnInserted;
    TStringListInsertedEvent OnPutted;
    TStringListIndexEvent OnRangesWanted;  // the line whose range is read

protected:
    void SetUpdateState(bool Updating) override;

private:
    // The records are one array whose unused capacity is a gap at gapStart_: the lines
    // before it sit at their index, the lines from gapStart_ on after the gap. Lines are
    // inserted and deleted where the gap is, and the gap moves there first, so that a run
    // of changes walking through the text moves each record a bounded number of times
    // however many lines it adds or removes.
    TQvEditStringRec& Rec(Integer Index) { return records_[Index < gapStart_ ? Index : Index + capacity_ - count_]; }
    const TQvEditStringRec& Rec(Integer Index) const
    {
        return records_[Index < gapStart_ ? Index : Index + capacity_ - count_];
    }
    void MoveGap(Integer Index);
    // Makes room for NumLines records at Index and returns the first (not initialised).
    TQvEditStringRec* OpenRecords(Integer Index, Integer NumLines);
    template <class Body>
    void Updating(Body&& body);
    void TakeChangeStamp();
    void CheckIndex(Integer Index, Integer Limit) const;
    // Grows the array without touching the new memory: whoever writes the new records makes
    // their pages present.
    void Grow(Integer Needed = 1);
    void ReallocRecords(Integer NewCapacity);
    // One record with its own copy of Text, nil object and NoRange.
    void InsertRecord(Integer Index, std::string_view Text, bool Wrapped);
    void RemoveRecords(Integer Index, Integer NumLines);
    bool ReleaseByLinesStaying(Integer Index, Integer NumLines);
    // Gives a text's bytes back: frees them, or returns them to their block.
    void ReleaseText(const TQvLineText& Text)
    {
        if (Text.Owned()) {
            Text.FreeOwned();
            --ownedTexts_;
        } else if (Text.Borrowed()) {
            blocks_.Returned(Text.BorrowedBytes());
        }
    }
    void ReleaseTexts(const TQvEditStringRec* First, const TQvEditStringRec* Last);
    // Sets a copy of S as Text, which holds nothing to release.
    void OwnText(TQvLineText& Text, std::string_view S)
    {
        Text.Assign(S);
        ownedTexts_ += Text.Owned() ? 1 : 0;
    }
    // Sets a copy of S as Text and releases the old text.
    void AssignText(TQvLineText& Text, std::string_view S);
    // Marks line Index as changed, as Put does, and tells OnPutted.
    void Putted(Integer Index, std::string_view S);
    void PutBorrowed(Integer Index, std::string_view Text);
    void InsertItem(Integer Index, const std::string& S);
    void AppendLoadedRecord(const char* P, std::size_t N);
    void AddLoadedLine(std::string_view Line);
    std::size_t SplitLoaded(char* Text, std::size_t C, std::size_t Ready, std::size_t N,
                            bool& SawCR, bool& SawLF, std::size_t& Borrowed);
    std::size_t ReserveForText(std::size_t Split, std::size_t N, std::size_t MostLines);
    void TakeLoadedLines(TQvEditStringList& Loaded, const char* Block, std::size_t Borrowed);
    void ReleaseAll();
    // Drops the lines without releasing their texts: the lines of a list that borrow
    // from a block it does not keep.
    void ForgetLines()
    {
        count_ = 0;
        gapStart_ = 0;
    }
    void ExpandString(Integer Index, std::string* Expanded);
    std::string_view WrapString(std::string_view& Rest) const;
    void WrapLine(Integer Index);
    void DoWrapLines(Integer First, Integer Last);
    void DoUnWrapLines(Integer First, Integer Last);
    // Hands the bytes of the file the lines make to Sink, in order, in chunks of a
    // megabyte; Behind, all but the last on a thread of their own while the next is made.
    void WriteText(const TSafeWriteSink& Sink, bool Behind) const;


    bool wordWrap_ = false;
    Integer wrapWidth_ = 80;
    TQvEditStringRec* records_ = nullptr;
    Integer count_ = 0;
    Integer capacity_ = 0;
    Integer gapStart_ = 0;
    // The records the array last grew by, 0 once it is sized to its lines.
    Integer lastGrowth_ = 0;
    std::size_t recordsMoved_ = 0;
    std::size_t recordsReleased_ = 0;
    std::uint64_t changeStamp_ = 0;
    TQvEditFileFormat fileFormat_ = sffDos;
    bool finalLineBreak_ = true;
    TConvertTabsProcEx convertTabsProc_ = nullptr;
    Integer indexOfLongestLine_ = -1;
    Integer tabWidth_ = 8;
    // The blocks borrowed line texts point into, and the number of texts allocated for
    // their lines.
    TQvTextBlocks blocks_;
    std::size_t ownedTexts_ = 0;
    Integer staleRangesFrom_ = NoStaleRanges;
    std::size_t longestLineSearches_ = 0;
};

// Runs body inside an update bracket that is closed also when body raises.
template <class Body>
void TQvEditStringList::Updating(Body&& body)
{
    BeginUpdate();
    // Before and after: a listener told in the middle may read the lines.
    TakeChangeStamp();
    try {
        body();
    } catch (...) {
        TakeChangeStamp();
        EndUpdate();
        throw;
    }
    TakeChangeStamp();
    EndUpdate();
}
