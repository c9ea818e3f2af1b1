#include "qvedit/core/QvEditTextBufferBlocks.h"

#include "platform/runtime/Exceptions.h"

#include <algorithm>
#include <cstring>

std::unique_ptr<char[]> TQvTextBlocks::NewBlock(std::size_t Size)
{
    std::unique_ptr<char[]> block(new char[Size + Padding]);
    std::memset(block.get() + Size, 0, Padding);
    return block;
}

const char* TQvTextBlocks::Keep(std::unique_ptr<char[]> Block, std::size_t Size)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(Block.get());
    const auto at = std::upper_bound(blocks_.begin(), blocks_.end(), begin,
                                     [](std::uintptr_t p, const TBlock& b) { return p < b.Begin; });
    const char* kept = Block.get();
    blocks_.insert(at, TBlock{begin, begin + Size, 0, 1, std::move(Block)});
    last_ = blocks_.size();
    return kept;
}

void TQvTextBlocks::Recount(const std::vector<std::size_t>& Lines)
{
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        blocks_[i].Lines = Lines[i];
    std::erase_if(blocks_, [](const TBlock& b) { return b.Lines == 0 && b.Holds == 0; });
    last_ = blocks_.size();
}

std::size_t TQvTextBlocks::Find(std::uintptr_t P) const
{
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), P,
                                        [](std::uintptr_t p, const TBlock& b) { return p < b.Begin; });
    if (after == blocks_.begin() || P > (after - 1)->End)
        throw EAssertionFailed("A line borrows text from no block of its list");
    return static_cast<std::size_t>(after - 1 - blocks_.begin());
}

void TQvTextBlocks::Free(std::size_t Index)
{
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(Index));
    last_ = blocks_.size();
}
