// Blocks of text that the text buffer's lines borrow from instead of holding allocations
// of their own: a loaded file, a text inserted in bulk. A block counts the lines borrowing
// from it and goes with the last of them, so that a run of lines comes into the buffer and
// leaves it with one allocation and one free, not one a line, and no block outlives its
// lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TQvTextBlocks {
public:
    // NULs after the text of a block: a short line is copied out of its block as a fixed
    // number of bytes, and a split of the text stops at the first.
    static constexpr std::size_t Padding = 12;

    // Memory for a text of Size bytes with Padding NULs after it.
    static std::unique_ptr<char[]> NewBlock(std::size_t Size);

    TQvTextBlocks() = default;
    TQvTextBlocks(const TQvTextBlocks&) = delete;
    TQvTextBlocks& operator=(const TQvTextBlocks&) = delete;

    // Keeps Block, which holds Size bytes of text, with a hold for the keeper: the lines
    // are given their bytes while it holds it, and it lets go (LetGo) once they are in, so
    // that a block no line borrows from goes then.
    const char* Keep(std::unique_ptr<char[]> Block, std::size_t Size);
    void LetGo(const char* Block)
    {
        TBlock& b = At(Block);
        --b.Holds;
        FreeIfUnused(b);
    }
    // Lines more lines borrow the bytes at P, in a kept block.
    void Borrowed(const char* P, std::size_t Lines = 1) { At(P).Lines += Lines; }
    // A line that borrowed the bytes at P has gone or been given other bytes; its block goes
    // with the last of its lines.
    void Returned(const char* P)
    {
        TBlock& b = At(P);
        --b.Lines;
        FreeIfUnused(b);
    }
    // The place among the blocks of the one holding P.
    std::size_t IndexOf(const char* P)
    {
        At(P);
        return last_;
    }
    // The lines borrowing from each block, counted anew in the order of the blocks; the
    // blocks no line borrows from go, unless held.
    void Recount(const std::vector<std::size_t>& Lines);
    std::size_t Count() const { return blocks_.size(); }

private:
    struct TBlock {
        std::uintptr_t Begin;
        std::uintptr_t End;  // after the text (a line of it is never empty)
        std::size_t Lines;
        std::size_t Holds;
        std::unique_ptr<char[]> Memory;
    };

    TBlock& At(const char* P)
    {
        const auto p = reinterpret_cast<std::uintptr_t>(P);
        if (last_ >= blocks_.size() || p < blocks_[last_].Begin || p > blocks_[last_].End)
            last_ = Find(p);
        return blocks_[last_];
    }
    // The block holding P; raises EAssertionFailed when there is none.
    std::size_t Find(std::uintptr_t P) const;
    // B is the block looked at last.
    void FreeIfUnused(const TBlock& B)
    {
        if (B.Lines == 0 && B.Holds == 0)
            Free(last_);
    }
    void Free(std::size_t Index);

    std::vector<TBlock> blocks_;  // in the order of their addresses
    // The block looked at last: lines next to each other mostly borrow from one block.
    std::size_t last_ = 0;
};

// The hold of whoever kept a block, given back at the end of its scope, also when an
// exception passes.
class TQvBlockHold {
public:
    TQvBlockHold(TQvTextBlocks& Blocks, const char* Block) : blocks_(Blocks), block_(Block) {}
    ~TQvBlockHold() { blocks_.LetGo(block_); }
    TQvBlockHold(const TQvBlockHold&) = delete;
    TQvBlockHold& operator=(const TQvBlockHold&) = delete;

private:
    TQvTextBlocks& blocks_;
    const char* block_;
};
