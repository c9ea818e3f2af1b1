#include "qvedit/core/QvGapText.h"

#include <algorithm>
#include <cstring>

namespace {

// Before, a gap of Room bytes, After: each byte written once.
std::string WithGap(std::string_view Before, std::size_t Room, std::string_view After)
{
    std::string bytes;
    bytes.reserve(Before.size() + Room + After.size());
    bytes.append(Before).append(Room, ' ').append(After);
    return bytes;
}

}  // namespace

void TQvGapText::Assign(std::string_view Text, std::size_t Pos, std::size_t Room)
{
    Pos = std::min(Pos, Text.size());
    bytes_ = WithGap(Text.substr(0, Pos), Room, Text.substr(Pos));
    gapStart_ = Pos;
    gapSize_ = Room;
}

std::string TQvGapText::Substr(std::size_t Pos, std::size_t Count) const
{
    Pos = std::min(Pos, Size());
    Count = std::min(Count, Size() - Pos);
    std::string result;
    result.reserve(Count);
    if (Pos < gapStart_)
        result.append(bytes_, Pos, std::min(Count, gapStart_ - Pos));
    const std::size_t after = std::max(Pos, gapStart_);
    if (after < Pos + Count)
        result.append(bytes_, after + gapSize_, Pos + Count - after);
    return result;
}

void TQvGapText::MoveGap(std::size_t Pos)
{
    char* p = bytes_.data();
    if (Pos < gapStart_) {
        std::memmove(p + Pos + gapSize_, p + Pos, gapStart_ - Pos);
        bytesMoved_ += gapStart_ - Pos;
    } else if (Pos > gapStart_) {
        std::memmove(p + gapStart_, p + gapStart_ + gapSize_, Pos - gapStart_);
        bytesMoved_ += Pos - gapStart_;
    }
    gapStart_ = Pos;
}

// Bytes just before the gap (a run of Backspaces) go without a move, as do bytes just after
// it (a run of Deletes).
void TQvGapText::Erase(std::size_t Pos, std::size_t Count)
{
    Pos = std::min(Pos, Size());
    Count = std::min(Count, Size() - Pos);
    if (Count == 0)
        return;
    if (Pos + Count == gapStart_)
        gapStart_ = Pos;
    else
        MoveGap(Pos);
    gapSize_ += Count;
}

void TQvGapText::Reserve(std::size_t Count)
{
    if (Count <= gapSize_)
        return;
    // The gap grows with the text, so that growing it again and again costs a bounded
    // number of copies.
    const std::size_t room = std::max(Count, Size() / 8 + 4096);
    const std::string_view bytes = bytes_;
    bytes_ = WithGap(bytes.substr(0, gapStart_), room, bytes.substr(gapStart_ + gapSize_));
    gapSize_ = room;
}

// The text goes at the gap's end, the gap staying where it went in: texts inserted one
// before the other at one place (the undo of a run of Deletes) move nothing, and one after
// the other (typing) move only the text inserted last.
void TQvGapText::Insert(std::size_t Pos, std::size_t Blanks, std::string_view Text)
{
    Pos = std::min(Pos, Size());
    Reserve(Blanks + Text.size());
    MoveGap(Pos);
    gapSize_ -= Blanks + Text.size();
    char* p = bytes_.data() + gapStart_ + gapSize_;
    std::memset(p, ' ', Blanks);
    std::memcpy(p + Blanks, Text.data(), Text.size());
}

std::string TQvGapText::Take()
{
    bytes_.erase(gapStart_, gapSize_);
    std::string text = std::move(bytes_);
    bytes_.clear();
    gapStart_ = 0;
    gapSize_ = 0;
    return text;
}
