#include "qvedit/core/QvGapText.h"

#include <algorithm>
#include <cstring>

void TQvGapText::Assign(std::string_view Text, std::size_t Pos, std::size_t Room)
{
    Pos = std::min(Pos, Text.size());
    std::string bytes;
    bytes.resize(Text.size() + Room);
    std::memcpy(bytes.data(), Text.data(), Pos);
    std::memcpy(bytes.data() + Pos + Room, Text.data() + Pos, Text.size() - Pos);
    bytes_ = std::move(bytes);
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

void TQvGapText::Erase(std::size_t Pos, std::size_t Count)
{
    Pos = std::min(Pos, Size());
    Count = std::min(Count, Size() - Pos);
    if (Count == 0)
        return;
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
    std::string bytes;
    bytes.resize(Size() + room);
    const std::size_t after = bytes_.size() - gapStart_ - gapSize_;
    std::memcpy(bytes.data(), bytes_.data(), gapStart_);
    std::memcpy(bytes.data() + gapStart_ + room, bytes_.data() + gapStart_ + gapSize_, after);
    bytes_ = std::move(bytes);
    gapSize_ = room;
}

void TQvGapText::Insert(std::size_t Pos, std::size_t Blanks, std::string_view Text)
{
    Pos = std::min(Pos, Size());
    Reserve(Blanks + Text.size());
    MoveGap(Pos);
    char* p = bytes_.data() + gapStart_;
    std::memset(p, ' ', Blanks);
    std::memcpy(p + Blanks, Text.data(), Text.size());
    gapStart_ += Blanks + Text.size();
    gapSize_ -= Blanks + Text.size();
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
