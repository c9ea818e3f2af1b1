// Loading the text buffer: lines end at CR, LF or NUL (CR LF once, and a NUL right after
// a CR or LF belongs to that end); the line-end style seen is remembered for saving.
//
// A large file is read on a thread of its own in chunks while this thread splits the
// lines already read, into a list of their own: the list itself changes only once the
// whole file is read, so a failed read keeps the old lines.
//
// A text that needs more memory than the system can give is refused before the memory is
// taken: its size is weighed before its block is taken, and the records of its lines
// before the list grows for them.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/Streams.h"
#include "qvedit/core/QvEditLineEnds.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// Reads Size bytes of a stream into Block: a text of more than one chunk on a thread of
// its own, chunk by chunk, a smaller one at once on this thread.
class TQvTextReader {
public:
    static constexpr std::size_t Chunk = std::size_t{4} << 20;

    TQvTextReader(TStream* Stream, char* Block, std::size_t Size)
        : stream_(Stream), block_(Block), size_(Size)
    {
        if (Size <= Chunk)
            Read();
        else
            thread_ = std::thread([this] { Read(); });
    }
    TQvTextReader(const TQvTextReader&) = delete;
    TQvTextReader& operator=(const TQvTextReader&) = delete;
    // Stops the reading after the chunk under way, when the split gives up early.
    ~TQvTextReader()
    {
        stop_.store(true);
        if (thread_.joinable())
            thread_.join();
        if (prefaulter_.joinable())
            prefaulter_.join();
    }

    // Has the pages of Bytes of memory at P made present beside the reading, on a thread
    // of its own, until StopPrefault. Once only.
    void PrefaultAlso(void* P, std::size_t Bytes)
    {
        {
            std::lock_guard<std::mutex> lock(prefaultMutex_);
            prefaultAt_ = static_cast<char*>(P);
            prefaultLeft_ = Bytes;
        }
        prefaulter_ = std::thread([this] {
            while (!stop_.load() && PrefaultPart(PrefaultStep)) {
            }
        });
    }
    // Returns once nothing more is made present: the memory may move or go.
    void StopPrefault()
    {
        std::lock_guard<std::mutex> lock(prefaultMutex_);
        prefaultLeft_ = 0;
    }

    // Waits until more than Known bytes are read and returns how many are; raises what
    // the read raised.
    std::size_t Ready(std::size_t Known)
    {
        std::size_t done;
        while ((done = done_.load(std::memory_order_acquire)) == Known)
            done_.wait(Known, std::memory_order_acquire);
        if (done == Failed)
            std::rethrow_exception(error_);
        return done;
    }

private:
    static constexpr std::size_t Failed = std::numeric_limits<std::size_t>::max();
    // What the prefaulting thread makes present at a time: StopPrefault waits for no more.
    static constexpr std::size_t PrefaultStep = std::size_t{2} << 20;

    void Read() noexcept
    {
        try {
            for (std::size_t done = 0; done < size_ && !stop_.load();) {
                std::size_t chunk = std::min(Chunk, size_ - done);
                TQvEditStringList::PrefaultMemory(block_ + done, chunk);
                stream_->ReadBuffer(block_ + done, static_cast<Int64>(chunk));
                done += chunk;
                Publish(done);
            }
        } catch (...) {
            error_ = std::current_exception();
            Publish(Failed);
        }
    }
    // Makes up to Bytes more of the memory asked for present; false when none is left.
    bool PrefaultPart(std::size_t Bytes)
    {
        std::lock_guard<std::mutex> lock(prefaultMutex_);
        std::size_t part = std::min(Bytes, prefaultLeft_);
        TQvEditStringList::PrefaultMemory(prefaultAt_, part);
        prefaultAt_ += part;
        prefaultLeft_ -= part;
        return prefaultLeft_ > 0;
    }
    void Publish(std::size_t Done)
    {
        done_.store(Done, std::memory_order_release);
        done_.notify_all();
    }

    TStream* stream_;
    char* block_;
    std::size_t size_;
    std::exception_ptr error_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::mutex prefaultMutex_;
    char* prefaultAt_ = nullptr;
    std::size_t prefaultLeft_ = 0;
    std::thread prefaulter_;
    std::thread thread_;  // last: started once everything else is set
};

// What one load may take: the memory the system can give when it starts.
class TLoadBudget {
public:
    TLoadBudget(TStream* Stream, std::size_t Size) : stream_(Stream), size_(Size), available_(FileCalls().AvailableMemory())
    {
        if (Size > available_)
            Refuse("it needs more memory");
    }

    // How many records the lines may have beside the text's block.
    std::uint64_t MostRecords() const { return (available_ - size_) / sizeof(TQvEditStringRec); }

    // Before the records grow from Capacity by a step of the list's own: they are copied
    // to the larger array, so both count.
    void Growing(std::size_t Lines, std::size_t Capacity) const
    {
        // A step of the list's own is at most a quarter.
        const std::uint64_t step = Capacity <= 64 ? 16 : Capacity / 4;
        if (2 * static_cast<std::uint64_t>(Capacity) + step > MostRecords())
            Refuse("its text and the records of the " + std::to_string(Lines) +
                   " lines read so far need more memory");
    }

private:
    [[noreturn]] void Refuse(const std::string& Why) const
    {
        const auto* file = dynamic_cast<const TFileStream*>(stream_);
        const std::string what = file != nullptr ? "file \"" + file->FileName() + "\"" : "the text";
        throw EOutOfResources("Cannot open " + what + " of " + std::to_string(size_) + " bytes: " + Why +
                              " than the " + std::to_string(available_) + " bytes available");
    }

    const TStream* stream_;
    std::size_t size_;
    std::uint64_t available_;
};

}  // namespace

// Appends a record for a line of loaded text; its bytes stay in the loaded block, which
// has at least MaxInline readable bytes after every line, and which this list keeps.
void TQvEditStringList::AppendLoadedRecord(const char* P, std::size_t N)
{
    if (N > TQvLineText::MaxLength)
        throw EOutOfResources("Text line too long");
    if (count_ == capacity_)
        Grow();
    if (gapStart_ != count_)
        MoveGap(count_);
    TQvEditStringRec& rec = records_[count_];
    rec.Object = nullptr;
    rec.Text.Borrow(P, static_cast<std::uint32_t>(N));
    rec.Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
    rec.Range = NoRange;
    rec.ExpandedLength = -1;
    ++count_;
    ++gapStart_;
    if (rec.Text.Borrowed())
        blocks_.Borrowed(P);
}

// Appends a line of loaded text as a line added to the list: word wrap cuts it, and a
// listener hears of it, reading it in place.
void TQvEditStringList::AddLoadedLine(std::string_view Line)
{
    if (wordWrap_) {
        Add(std::string(Line));
        return;
    }
    AppendLoadedRecord(Line.data(), Line.size());
    // A listener may have asked for the longest line already; the new one may be longer.
    indexOfLongestLine_ = -1;
    if (OnAdded)
        OnAdded(count_ - 1, Line);
}

// Adds the lines of Text from C on whose ends lie before Ready, with the two bytes that
// may follow an end; all of them once Ready is N. Stops early when the records are full.
// Returns where the next line starts. Borrowed counts the lines that borrow their bytes
// from Text, which this list does not keep. The first byte of each line's end becomes a
// NUL once the end is read, so that every line is followed by one.
std::size_t TQvEditStringList::SplitLoaded(char* Text, std::size_t C, std::size_t Ready,
                                           std::size_t N, bool& SawCR, bool& SawLF,
                                           std::size_t& Borrowed)
{
    const std::size_t limit = Ready == N ? N : Ready - std::min<std::size_t>(Ready, 2);
    // The records are filled here, one after another at the end of the list, rather than
    // through AppendLoadedRecord: this loop runs once for every line of a file.
    MoveGap(count_);
    TQvEditStringRec* rec = records_ + count_;
    TQvEditStringRec* const full = records_ + capacity_;
    while (C < limit && rec != full) {
        std::size_t end = FindLineEnd(Text, C, limit);
        if (end == limit && limit < N)
            break;
        if (end - C > TQvLineText::MaxLength)
            throw EOutOfResources("Text line too long");
        rec->Object = nullptr;
        rec->Text.Borrow(Text + C, static_cast<std::uint32_t>(end - C));
        Borrowed += end - C > TQvLineText::MaxInline;
        rec->Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
        rec->Range = NoRange;
        rec->ExpandedLength = -1;
        ++rec;
        C = end;
        if (C < N && Text[C] == '\r') {
            ++C;
            SawCR = true;
        }
        if (C < N && Text[C] == '\n') {
            ++C;
            SawLF = true;
        }
        if (C < N && Text[C] == '\0')
            ++C;
        Text[end] = '\0';
    }
    count_ = static_cast<Integer>(rec - records_);
    gapStart_ = count_;
    return C;
}

// Gives the records room for the lines of a text of N bytes as dense as its first Split
// bytes, with an eighth to spare. Returns the bytes of the new records, 0 when the text
// looks too large to guess or would need more than MostLines records: the list then
// grows as the lines come.
std::size_t TQvEditStringList::ReserveForText(std::size_t Split, std::size_t N, std::size_t MostLines)
{
    double lines = count_ + static_cast<double>(N - Split) * count_ / static_cast<double>(Split) * 1.125 + 64;
    if (lines >= std::numeric_limits<Integer>::max() / 2 || lines > static_cast<double>(MostLines))
        return 0;
    ReallocRecords(Max(capacity_, static_cast<Integer>(lines)));
    return static_cast<std::size_t>(capacity_ - count_) * sizeof(TQvEditStringRec);
}

void TQvEditStringList::LoadFromFile(const std::string& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    if (stream.SizeIsKnown()) {
        LoadFromStream(&stream);
        return;
    }
    // A file in /proc or /sys: what it holds is known once it is read to its end.
    TStringStream whole(stream.ReadToEnd());
    LoadFromStream(&whole);
}

void TQvEditStringList::LoadFromStream(TStream* Stream)
{
    bool sawCR = false;
    bool sawLF = false;
    Updating([&] {
        Stream->SetPosition(0);
        Int64 size = Stream->Size();
        if (size < 0 || static_cast<std::uint64_t>(size) >= std::numeric_limits<std::size_t>::max())
            throw EReadError("Stream read error");
        auto n = static_cast<std::size_t>(size);
        const TLoadBudget budget(Stream, n);
        std::unique_ptr<char[]> block = TQvTextBlocks::NewBlock(n);
        char* text = block.get();
        // Whether the text ends with a line end, seen before the split puts a NUL there.
        bool endsWithBreak = false;
        // The lines are split into a list of their own, which borrows from the block in
        // this frame without keeping it: it forgets them, whatever happens, instead of
        // giving back what it never held.
        TQvEditStringList loaded;
        struct TForget {
            TQvEditStringList& List;
            ~TForget() { List.ForgetLines(); }
        } forget{loaded};
        std::size_t borrowed = 0;
        {
            TQvTextReader reader(Stream, block.get(), n);
            std::size_t c = 0;
            std::size_t ready = 0;
            bool reserved = false;
            for (;;) {
                c = loaded.SplitLoaded(text, c, ready, n, sawCR, sawLF, borrowed);
                if (c < n && loaded.count_ == loaded.capacity_) {
                    reader.StopPrefault();
                    budget.Growing(static_cast<std::size_t>(loaded.count_), static_cast<std::size_t>(loaded.capacity_));
                    loaded.Grow();
                    // The split fills the new records with the lines that follow, as many
                    // as the bytes left can make.
                    const std::size_t room = static_cast<std::size_t>(loaded.capacity_ - loaded.count_);
                    PrefaultMemory(loaded.records_ + loaded.count_,
                                   std::min(room, n - c + 1) * sizeof(TQvEditStringRec));
                    continue;
                }
                if (ready == n)
                    break;
                // The lines of the first chunk tell how many records the whole text
                // needs; their pages are made present beside the reading.
                if (!reserved && c > 0) {
                    reserved = true;
                    // A guess the memory cannot hold is not reserved: the lines that
                    // come weigh themselves as the list grows.
                    const auto most = static_cast<std::size_t>(
                        std::min<std::uint64_t>(budget.MostRecords(), std::numeric_limits<std::size_t>::max()));
                    std::size_t bytes = loaded.ReserveForText(c, n, most / 2);
                    reader.PrefaultAlso(loaded.records_ + loaded.count_, bytes);
                }
                ready = reader.Ready(ready);
                if (ready == n)
                    endsWithBreak = text[n - 1] == '\r' || text[n - 1] == '\n';
            }
        }
        if (!finalLineBreak_ && endsWithBreak)
            loaded.AppendLoadedRecord(text + n, 0);
        Clear();
        // The list keeps the block from here on, with a hold of this frame's until the
        // lines are in: a listener that empties the list meanwhile does not free it, and
        // it goes with the hold when no line borrows from it (the lines are short, or a
        // listener took them).
        const char* kept = blocks_.Keep(std::move(block), n);
        const TQvBlockHold hold(blocks_, kept);
        try {
            indexOfLongestLine_ = -1;
            TakeLoadedLines(loaded, kept, borrowed);
            // Records to spare, from the guess after the first chunk or from growing in
            // steps, go.
            if (capacity_ > count_)
                ReallocRecords(count_);
        } catch (...) {
            Clear();
            ReleaseAll();
            throw;
        }
    });
    if (sawCR && !sawLF)
        fileFormat_ = sffMac;
    else if (sawLF && !sawCR)
        fileFormat_ = sffUnix;
    else
        fileFormat_ = sffDos;
}

// Takes over the records of Loaded as they are when this list is empty and nobody listens
// for added lines; otherwise adds the lines one by one, so that a listener sees each and
// word wrap cuts them. Their bytes are in Block, which this list keeps; Borrowed of
// Loaded's lines borrow from it.
void TQvEditStringList::TakeLoadedLines(TQvEditStringList& Loaded, const char* Block, std::size_t Borrowed)
{
    if (count_ == 0 && !wordWrap_ && !OnAdded) {
        std::free(records_);
        records_ = std::exchange(Loaded.records_, nullptr);
        count_ = std::exchange(Loaded.count_, 0);
        capacity_ = std::exchange(Loaded.capacity_, 0);
        gapStart_ = std::exchange(Loaded.gapStart_, 0);
        blocks_.Borrowed(Block, Borrowed);
        return;
    }
    // Room for every line at once, its memory made present in one call, rather than the
    // array grown and copied a quarter at a time while the lines come.
    if (!wordWrap_ && capacity_ - count_ < Loaded.count_ &&
        Loaded.count_ <= std::numeric_limits<Integer>::max() - count_) {
        const Integer old = capacity_;
        ReallocRecords(count_ + Loaded.count_);
        PrefaultMemory(records_ + old, static_cast<std::size_t>(capacity_ - old) * sizeof(TQvEditStringRec));
    }
    for (Integer i = 0; i < Loaded.count_; ++i)
        AddLoadedLine(Loaded.Rec(i).Text.View());
    // Every text Loaded holds is borrowed from the block this list keeps: none is released.
    Loaded.ForgetLines();
}
