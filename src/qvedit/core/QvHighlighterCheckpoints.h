#pragma once
// Checkpoints along a long line: the highlighter's state every Interval bytes, so that a
// scan of the line's end, or of columns far into it, goes on from the last checkpoint before
// them rather than from the line's start.
//
// A checkpoint holds while the bytes it was made from are unchanged, whoever changed the
// line and whatever notice told of it: each keeps a hash of the bytes from the checkpoint
// before it (the line's start for the first) to LookAhead bytes past its own position (a
// token's end may depend on the characters after it), and is used only when the line's
// bytes there hash alike, its predecessors' too. A number the caller gives that stays the
// same while the text does spares the hashing of what was checked under it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qvedit/core/QvEditHighlighter.h"

// The checkpoints of one line's text, made by one highlighter from one start state.
class TQvLineCheckpoints {
public:
    // Close enough that the paint after a key at the end of a line, which goes on from the
    // last one before the columns it shows, tokenises little more than it shows; a state is
    // small, and the hashes cover each byte once whatever the interval.
    static constexpr Integer Interval = 8 * 1024;
    static constexpr Integer LookAhead = 256;

    // Whether they were made by the highlighter from the range the line starts in.
    bool MadeFrom(const TQvCustomHighlighter* H, TQvHighlighterRange StartRange) const
    {
        return highlighter_ == H && startRange_ == StartRange;
    }
    // Forgets them all, for a scan by the highlighter from StartRange.
    void Restart(const TQvCustomHighlighter* H, TQvHighlighterRange StartRange);

    // Sets Text in the highlighter, whose range is set to the line's start range already:
    // at the last checkpoint at or before position Before that holds, or at the line's
    // start. Checkpoints found not to hold are dropped with those after them. Stamp is a
    // number that stays the same while the text does. Returns the position the scan goes
    // on from. Text must live until the scan ends.
    Integer Begin(TQvCustomHighlighter& H, std::string_view Text, Integer LineNumber, Integer Before,
                  std::uint64_t Stamp);
    // Tells of the highlighter's current token as the scan from Begin goes on: where one is
    // due, a checkpoint is made after it.
    void Passed();

    std::size_t Count() const { return points_.size(); }
    // Bytes of line text hashed to check or make checkpoints, over their life.
    std::uint64_t BytesHashed() const { return bytesHashed_; }

private:
    struct TPoint {
        TQvHighlighterState State;
        std::uint64_t Hash;   // of the bytes from the point before to LookAhead past State.Pos
        std::uint64_t Stamp;  // the stamp under which the hash last agreed
    };
    std::uint64_t HashFrom(std::size_t Index, Integer Pos);
    void Commit(const TQvHighlighterState& State);

    const TQvCustomHighlighter* highlighter_ = nullptr;
    TQvHighlighterRange startRange_ = 0;
    std::vector<TPoint> points_;
    std::uint64_t bytesHashed_ = 0;

    // The scan under way.
    TQvCustomHighlighter* scanner_ = nullptr;
    std::string_view text_;
    std::uint64_t stamp_ = 0;
    std::ptrdiff_t cursor_ = -1;  // the point the scan has last passed; -1: the line's start
    Integer nextDue_ = 0;
    bool pending_ = false;
    TQvHighlighterState pendingState_;
};

// The checkpoints of the few long lines an editor scanned last, each kept by the buffer, the
// line's index and whether its tabs were expanded.
class TQvLineCheckpointsKept {
public:
    // The line's checkpoints, restarted when they were made by another highlighter or from
    // another start range.
    TQvLineCheckpoints& For(const void* Lines, Integer Index, bool Expanded, const TQvCustomHighlighter* H,
                            TQvHighlighterRange StartRange);
    void Clear();
    // Bytes hashed by the checkpoints kept now and those dropped before.
    std::uint64_t BytesHashed() const;

private:
    static constexpr std::size_t MaxLines = 16;
    struct TEntry {
        const void* Lines;
        Integer Index;
        bool Expanded;
        std::uint64_t LastUse;
        TQvLineCheckpoints Points;
    };
    std::vector<TEntry> entries_;
    std::uint64_t uses_ = 0;
    std::uint64_t droppedBytesHashed_ = 0;
};
