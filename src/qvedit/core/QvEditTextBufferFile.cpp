// Saving the text buffer: the line-end style seen when loading is written after every
// line.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/WriteBehind.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace {

std::string_view LineEnd(TQvEditFileFormat format)
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

// The chunks a text is gathered in to be written: a megabyte each, small enough to stay in
// the processor's cache between the copy in and the system's copy out. Written behind, a
// full chunk is written on a thread of its own while the next is filled, and the last one
// (so the whole of a small text) by Finish on the calling thread; otherwise each is
// written on the calling thread as it is full.
class TQvEditFileChunks {
public:
    static constexpr std::size_t Bytes = std::size_t{1} << 20;
    // Room past a full chunk, for moves of a fixed size that may go past what they fill.
    static constexpr std::size_t Slack = 16;

    TQvEditFileChunks(const TSafeWriteSink& sink, bool behind) : sink_(sink)
    {
        if (behind)
            behind_.emplace(sink);
        buffers_[0].reset(new char[Bytes + Slack]);
    }

    char* Start() const { return buffers_[current_].get(); }
    // Hands the chunk filled up to End over to be written, when it holds anything, and
    // returns the start of the next one.
    char* Hand(char* End)
    {
        if (End == Start())
            return End;
        const auto count = static_cast<std::size_t>(End - Start());
        if (!behind_) {
            sink_(Start(), count);
            return Start();
        }
        behind_->Hand(Start(), count);
        current_ ^= 1;
        if (!buffers_[current_])
            buffers_[current_].reset(new char[Bytes + Slack]);
        return Start();
    }
    // Has Text written from where it lies, after what was handed before.
    void HandWhole(std::string_view Text)
    {
        if (behind_)
            behind_->Hand(Text.data(), Text.size());
        else
            sink_(Text.data(), Text.size());
    }
    // Writes the chunk filled up to End after all that was handed before.
    void Finish(char* End)
    {
        if (behind_)
            behind_->Wait();
        if (End != Start())
            sink_(Start(), static_cast<std::size_t>(End - Start()));
    }

private:
    const TSafeWriteSink& sink_;
    std::optional<TWriteBehind> behind_;
    std::unique_ptr<char[]> buffers_[2];
    std::size_t current_ = 0;
};

}  // namespace

// ---- Saving -----------------------------------------------------------------------------

// A line end goes before every line but the first and a word-wrap continuation (which goes
// on its logical line), and after the last line when the file has a final line break.
// The loop keeps what it needs in locals, where the copies cannot change them: a line end
// and a short line are copied with moves of a fixed size, which cost no call.
void TQvEditStringList::WriteText(const TSafeWriteSink& Sink, bool Behind) const
{
    const std::string_view end = LineEnd(fileFormat_);
    const char lineEnd[2] = {end.front(), end.back()};
    const bool wrap = wordWrap_;
    const TQvEditStringRec* const spans[2][2] = {
        {records_, records_ + gapStart_}, {records_ + gapStart_ + (capacity_ - count_), records_ + capacity_}};
    TQvEditFileChunks chunks(Sink, Behind);
    char* out = chunks.Start();
    char* limit = out + TQvEditFileChunks::Bytes;
    std::size_t endBefore = 0;  // none before the first line
    for (const auto& span : spans) {
        for (const TQvEditStringRec* rec = span[0]; rec != span[1]; ++rec) {
            const std::string_view text = rec->Text.View();
            const std::size_t n = text.size();
            if (n + sizeof lineEnd > static_cast<std::size_t>(limit - out)) {
                out = chunks.Hand(out);
                limit = out + TQvEditFileChunks::Bytes;
            }
            std::memcpy(out, lineEnd, sizeof lineEnd);
            out += wrap && rec->Flags.Contains(sfWrapped) ? 0 : endBefore;
            endBefore = end.size();
            if (n <= TQvLineText::MaxInline) {
                // A short text is held in its record, which has room for the longest.
                std::memcpy(out, text.data(), TQvLineText::MaxInline);
                out += n;
            } else if (n <= TQvEditFileChunks::Bytes) {
                std::memcpy(out, text.data(), n);
                out += n;
            } else {
                out = chunks.Hand(out);
                limit = out + TQvEditFileChunks::Bytes;
                chunks.HandWhole(text);
            }
        }
    }
    if (count_ > 0 && finalLineBreak_) {
        if (end.size() > static_cast<std::size_t>(limit - out))
            out = chunks.Hand(out);
        std::memcpy(out, end.data(), end.size());
        out += end.size();
    }
    chunks.Finish(out);
}

void TQvEditStringList::SaveToStream(TStream* Stream)
{
    WriteText([Stream](const void* Data, std::size_t Count) { Stream->WriteBuffer(Data, static_cast<Int64>(Count)); },
              false);
}

void TQvEditStringList::SaveToFile(const std::string& FileName)
{
    SafeWriteFile(FileName, [this](const TSafeWriteSink& sink) { WriteText(sink, true); });
}
