// A text with a gap at the place it was last changed: a run of changes at nearby places
// moves only the bytes between them, however long the text, so that many small changes to
// one long line cost about one copy of it in and one out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TQvGapText {
public:
    // Holds a copy of Text with a gap of at least Room bytes at Pos.
    void Assign(std::string_view Text, std::size_t Pos, std::size_t Room);
    std::size_t Size() const { return bytes_.size() - gapSize_; }
    // Count bytes from Pos (both clamped to the text).
    std::string Substr(std::size_t Pos, std::size_t Count) const;
    // Removes Count bytes at Pos (clamped to the text).
    void Erase(std::size_t Pos, std::size_t Count);
    // Inserts Text, after Blanks blanks, at Pos (at most the size).
    void Insert(std::size_t Pos, std::size_t Blanks, std::string_view Text);
    // Makes room for Count more bytes, so that inserting them allocates nothing.
    void Reserve(std::size_t Count);
    // The text, the gap closed; empty afterwards.
    std::string Take();
    // Bytes moved to bring the gap where the changes were, over the object's life.
    std::uint64_t BytesMoved() const { return bytesMoved_; }

private:
    void MoveGap(std::size_t Pos);

    std::string bytes_;  // the text before the gap, the gap, the text after it
    std::size_t gapStart_ = 0;
    std::size_t gapSize_ = 0;
    std::uint64_t bytesMoved_ = 0;
};
