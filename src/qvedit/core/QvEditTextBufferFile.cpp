// Saving the text buffer: the line-end style seen when loading is written after every
// line.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"

#include <cstring>
#include <vector>

namespace {

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

// ---- Saving -----------------------------------------------------------------------------

// Calls sink(text, isLast) for every logical line: a line with the word-wrap continuation
// lines that follow it joined on.
template <class Sink>
void TQvEditStringList::ForEachLogicalLine(Sink&& sink) const
{
    std::string joined;
    Integer i = 0;
    while (i < count_) {
        std::string_view line = Rec(i).Text.View();
        Integer next = i + 1;
        if (wordWrap_ && next < count_ && Rec(next).Flags.Contains(sfWrapped)) {
            joined.assign(line);
            for (; next < count_ && Rec(next).Flags.Contains(sfWrapped); ++next)
                joined += Rec(next).Text.View();
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
        total += Rec(i).Text.Length() + lineEnd.size();
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
