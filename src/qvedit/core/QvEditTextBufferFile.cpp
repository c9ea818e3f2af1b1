// Loading and saving the text buffer: lines end at CR, LF or NUL (CR LF once); the line-end
// style seen is written back after every line.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/SafeWrite.h"
#include "platform/Streams.h"

#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace {

bool IsLineEndByte(unsigned char c)
{
    return c == '\0' || c == '\n' || c == '\r';
}

constexpr std::uint64_t EveryByte = 0x0101010101010101ull;

// Flags the bytes of the word that are 0. The lowest flag is always a zero byte (higher
// ones may be false), which is all that finding the first one needs.
std::uint64_t ZeroBytes(std::uint64_t x)
{
    return (x - EveryByte) & ~x & (EveryByte * 0x80);
}

// Index of the first NUL, LF or CR at or after `from`, or `size` when none; eight bytes
// at a time.
std::size_t FindLineEnd(const char* buffer, std::size_t from, std::size_t size)
{
    std::size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, buffer + i, sizeof word);
            std::uint64_t found = ZeroBytes(word) | ZeroBytes(word ^ (EveryByte * '\n')) |
                                  ZeroBytes(word ^ (EveryByte * '\r'));
            if (found != 0)
                return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
        }
    }
    for (; i < size; ++i)
        if (IsLineEndByte(static_cast<unsigned char>(buffer[i])))
            return i;
    return size;
}

// Memory for the whole text of a file, with NULs after it: one ends the text for the
// split, and the rest let a short line be copied as a fixed number of bytes.
std::unique_ptr<char[]> NewTextBlock(std::size_t n)
{
    std::unique_ptr<char[]> block(new char[n + TQvLineText::MaxInline + 1]);
    TQvEditStringList::PrefaultMemory(block.get(), n);
    std::memset(block.get() + n, 0, TQvLineText::MaxInline + 1);
    return block;
}

std::string LineEnd(TQvEditFileFormat format)
{
    switch (format) {
    case sffUnix:
        return "\n";
    case sffMac:
        return "\r";
    case sffDos:
        break;
    }
    return "\r\n";
}

// Collects output in a 16 KB buffer and hands it to the sink when full and on Flush.
class TQvEditFileWriter {
public:
    TQvEditFileWriter(const TSafeWriteSink& sink, TQvEditFileFormat format)
        : sink_(sink), lineEnd_(LineEnd(format)), buffer_(16384)
    {
    }

    void Write(std::string_view s)
    {
        MakeRoom(s.size());
        Append(s);
    }
    void WriteLine(std::string_view s)
    {
        MakeRoom(s.size() + lineEnd_.size());
        Append(s);
        Append(lineEnd_);
    }
    void Flush()
    {
        if (fill_ > 0)
            sink_(buffer_.data(), fill_);
        fill_ = 0;
    }

private:
    void MakeRoom(std::size_t n)
    {
        if (fill_ + n <= buffer_.size())
            return;
        Flush();
        if (n > buffer_.size())
            buffer_.resize(n);
    }
    void Append(std::string_view s)
    {
        std::memcpy(buffer_.data() + fill_, s.data(), s.size());
        fill_ += s.size();
    }

    const TSafeWriteSink& sink_;
    std::string lineEnd_;
    std::vector<char> buffer_;
    std::size_t fill_ = 0;
};

}  // namespace

// ---- Loading ----------------------------------------------------------------------------

// Appends a line of loaded text; its bytes stay in the loaded block, which has at least
// MaxInline readable bytes after every line.
void TQvEditStringList::AddLoadedLine(const char* P, std::size_t N)
{
    if (wordWrap_) {
        Add(std::string(P, N));
        return;
    }
    if (N > TQvLineText::MaxLength)
        throw EOutOfResources("Text line too long");
    if (count_ == capacity_)
        Grow();
    TQvEditStringRec& rec = records_[count_];
    rec.Object = nullptr;
    rec.Text.Borrow(P, static_cast<std::uint32_t>(N));
    rec.Flags = TQvEditStringFlags{sfExpandedLengthUnknown};
    rec.Range = NoRange;
    rec.ExpandedLength = -1;
    ++count_;
    // A listener may have asked for the longest line already; the new one may be longer.
    indexOfLongestLine_ = -1;
    if (OnAdded)
        OnAdded(count_ - 1, std::string(P, N));
}

void TQvEditStringList::LoadFromFile(const std::string& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(&stream);
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
        // The whole text is read before anything changes: a failed read keeps the old lines.
        std::unique_ptr<char[]> block = NewTextBlock(n);
        if (n > 0)
            Stream->ReadBuffer(block.get(), size);
        Clear();
        // The block stays in this frame until the split is done: a listener that empties
        // the list meanwhile releases the list's blocks, and must not release this one.
        const char* text = block.get();
        try {
            indexOfLongestLine_ = -1;
            std::size_t c = 0;
            while (c < n) {
                std::size_t end = FindLineEnd(text, c, n);
                AddLoadedLine(text + c, end - c);
                c = end;
                if (c < n && text[c] == '\r') {
                    ++c;
                    sawCR = true;
                }
                if (c < n && text[c] == '\n') {
                    ++c;
                    sawLF = true;
                }
                if (c < n && text[c] == '\0')
                    ++c;
            }
            if (!finalLineBreak_ && n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n'))
                AddLoadedLine(text + n, 0);
            // The records grew in steps while the lines were counted; the spare ones go.
            if (capacity_ > count_)
                ReallocRecords(count_);
            if (count_ > 0)
                textBlocks_.push_back(std::move(block));
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

// ---- Saving -----------------------------------------------------------------------------

// Calls sink(text, isLast) for every logical line: a line with the word-wrap continuation
// lines that follow it joined on.
template <class Sink>
void TQvEditStringList::ForEachLogicalLine(Sink&& sink) const
{
    std::string joined;
    Integer i = 0;
    while (i < count_) {
        std::string_view line = records_[i].Text.View();
        Integer next = i + 1;
        if (wordWrap_ && next < count_ && records_[next].Flags.Contains(sfWrapped)) {
            joined.assign(line);
            for (; next < count_ && records_[next].Flags.Contains(sfWrapped); ++next)
                joined += records_[next].Text.View();
            line = joined;
        }
        sink(line, next >= count_);
        i = next;
    }
}

void TQvEditStringList::SaveToStream(TStream* Stream)
{
    std::string lineEnd = LineEnd(fileFormat_);
    std::size_t total = 0;
    for (Integer i = 0; i < count_; ++i)
        total += records_[i].Text.Length() + lineEnd.size();
    std::string text;
    text.reserve(total);
    ForEachLogicalLine([&](std::string_view line, bool last) {
        text += line;
        if (!last || finalLineBreak_)
            text += lineEnd;
    });
    if (!text.empty())
        Stream->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

void TQvEditStringList::SaveToFile(const std::string& FileName)
{
    SafeWriteFile(FileName, [this](const TSafeWriteSink& sink) {
        TQvEditFileWriter writer(sink, fileFormat_);
        ForEachLogicalLine([&](std::string_view line, bool last) {
            if (last && !finalLineBreak_)
                writer.Write(line);
            else
                writer.WriteLine(line);
        });
        writer.Flush();
    });
}
