// The backtracking matcher. Private to the engine.
//
// The matcher does not recurse. It walks the node chain; at every choice point
// (alternatives, repeats, loop rounds) it pushes an entry on a backtrack stack, and when a
// walk fails it resumes the most recent entry. Every change a walk makes to the groups
// and the loop state is written to a trail first, so resuming an entry undoes exactly
// what was done since it was pushed. Two bounds keep a search safe: the size of the
// backtrack stack, and the step budget of the operation the search belongs to.
#pragma once

#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexProgram.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// One choice point that can still be taken.
struct TRegexBacktrack {
    enum TKind : std::uint8_t {
        bkAlternative,  // try the alternative at `node`
        bkRepeat,       // try the repeat at `node` with `count` operands next
        bkLoopExit,     // leave the greedy loop at `node`
        bkLoopRound,    // run one more round of the non-greedy loop at `node`
    };
    TKind kind;
    int node;
    std::size_t mark;     // trail length when the entry was pushed
    std::ptrdiff_t pos;   // input position to go back to
    std::ptrdiff_t count; // bkRepeat: the next number of operands to try
    std::ptrdiff_t last;  // bkRepeat: the last number to try
    std::ptrdiff_t unit;  // bkRepeat: characters per operand
};

class TRegexMatcher {
public:
    // Choice points open at once (about 48 bytes each), and changes kept to undo (16 bytes
    // each): room for loops over a million characters.
    static constexpr std::size_t MaxBacktrackEntries = 2'000'000;
    static constexpr std::size_t MaxTrailEntries = 8'000'000;

    explicit TRegexMatcher(TRegex& re);
    bool Search(std::ptrdiff_t start);
    // The operation's steps used so far, this search's included.
    long Steps() const { return steps_; }

private:
    std::ptrdiff_t LastMustStart();
    bool MayBeginAt(std::ptrdiff_t at);
    int FirstViable(int branch);
    bool SearchPrefix(std::ptrdiff_t start, std::ptrdiff_t last);
    bool SearchFirstChars(std::ptrdiff_t start, std::ptrdiff_t last);
    std::ptrdiff_t Find(int c, std::ptrdiff_t from, std::ptrdiff_t last);
    std::ptrdiff_t NextFirstChar(int which, std::ptrdiff_t from, std::ptrdiff_t last);
    bool TryAt(std::ptrdiff_t at);
    bool Walk(int scan);
    bool Backtrack(int& scan);
    bool StartRepeat(int& scan);
    bool NextRepeatTry(TRegexBacktrack& entry);
    void StartLoop(int& scan);
    void Push(TRegexBacktrack::TKind kind, int node);
    void Push(const TRegexBacktrack& entry);

    // One-character tests (QvRegexMatchNodes.cpp)
    bool MatchesOne(int node, unsigned char c) const;
    std::ptrdiff_t RegRepeat(int node, std::ptrdiff_t max, std::ptrdiff_t& unit);
    bool CompareCI(const unsigned char* a, const unsigned char* b, std::ptrdiff_t n) const;
    bool SameText(bool caseless, std::ptrdiff_t at, std::ptrdiff_t from, std::ptrdiff_t n) const;
    bool BackRefText(int group, std::ptrdiff_t& start, std::ptrdiff_t& length) const;
    bool MatchBackRef(int node);
    bool AtLineStart() const;
    bool AtLineEnd() const;
    bool AtLineBreak() const;
    bool IsWordAt(std::ptrdiff_t at) const { return at >= 0 && at < len_ && re_.wordSet_.test(in_[at]); }

    // Changes a group or loop slot, keeping its old value on the trail while a choice
    // point is open to go back to (with none, nothing will ever be undone). The trail is
    // bounded like the backtrack stack.
    void Set(std::ptrdiff_t& slot, std::ptrdiff_t value)
    {
        if (!stack_.empty()) {
            if (trail_.size() >= MaxTrailEntries)
                re_.Error(reeBacktrackStackExceeded);
            trail_.emplace_back(&slot, slot);
        }
        slot = value;
    }
    void Undo(std::size_t mark)
    {
        while (trail_.size() > mark) {
            *trail_.back().first = trail_.back().second;
            trail_.pop_back();
        }
    }
    // Counts work against the bounds: a node visited, a choice resumed, a character
    // examined by a repeat or compared by a back-reference. Called before the work.
    void Step(std::ptrdiff_t units = 1)
    {
        steps_ += static_cast<long>(units);
        if (steps_ >= checkpoint_) {
            re_.Checkpoint(steps_);
            re_.stepsUsed_ = steps_;
            checkpoint_ = re_.NextCheckpoint();
        }
    }

    TRegex& re_;
    const std::uint8_t* prog_;
    const unsigned char* in_;
    std::ptrdiff_t len_;
    std::ptrdiff_t pos_ = 0;
    std::ptrdiff_t* startp_;
    std::ptrdiff_t* endp_;
    std::ptrdiff_t loopIndex_ = 0;  // open loop levels
    std::ptrdiff_t loopCount_[QvRegexProgram::MaxLoopStack] = {};
    std::ptrdiff_t loopRoundStart_[QvRegexProgram::MaxLoopStack] = {};
    std::vector<std::ptrdiff_t>& headRoundStart_;  // per BRANCH loop head
    std::vector<std::pair<std::ptrdiff_t*, std::ptrdiff_t>>& trail_;
    std::vector<TRegexBacktrack>& stack_;
    long steps_;
    long checkpoint_;  // the step count at which the bounds are looked at next
};
