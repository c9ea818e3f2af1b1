#include "qvedit/core/QvHighlighterCheckpoints.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint64_t Prime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t Prime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t Prime3 = 0x165667B19E3779F9ULL;

std::uint64_t Rotl(std::uint64_t X, int R)
{
    return (X << R) | (X >> (64 - R));
}

std::uint64_t Round(std::uint64_t Acc, std::uint64_t Word)
{
    return Rotl(Acc + Word * Prime2, 31) * Prime1;
}

std::uint64_t Word(const char* P)
{
    std::uint64_t w;
    std::memcpy(&w, P, sizeof w);
    return w;
}

// A 64-bit hash of the bytes in four independent lanes, fast enough to check a line of
// many megabytes in a few milliseconds; the length takes part.
std::uint64_t HashBytes(std::string_view Bytes)
{
    const char* p = Bytes.data();
    std::size_t n = Bytes.size();
    std::uint64_t a = Prime1 + Prime2, b = Prime2, c = 0, d = 0 - Prime1;
    while (n >= 32) {
        a = Round(a, Word(p));
        b = Round(b, Word(p + 8));
        c = Round(c, Word(p + 16));
        d = Round(d, Word(p + 24));
        p += 32;
        n -= 32;
    }
    std::uint64_t h = Rotl(a, 1) + Rotl(b, 7) + Rotl(c, 12) + Rotl(d, 18) + Bytes.size() * Prime3;
    for (; n >= 8; p += 8, n -= 8)
        h = Rotl(h ^ Round(0, Word(p)), 27) * Prime1 + Prime3;
    for (; n > 0; ++p, --n)
        h = Rotl(h ^ (static_cast<unsigned char>(*p) * Prime3), 11) * Prime1;
    h ^= h >> 33;
    h *= Prime2;
    h ^= h >> 29;
    h *= Prime3;
    return h ^ (h >> 32);
}

bool SpacesOnly(std::string_view Token)
{
    return Token.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

// ---- TQvLineCheckpoints ------------------------------------------------------------------

void TQvLineCheckpoints::Restart(const TQvCustomHighlighter* H, TQvHighlighterRange StartRange)
{
    highlighter_ = H;
    startRange_ = StartRange;
    points_.clear();
    scanner_ = nullptr;
}

// The bytes of point Index: from the point before it (the line's start for the first) to
// LookAhead past Pos, as far as the line goes.
std::uint64_t TQvLineCheckpoints::HashFrom(std::size_t Index, Integer Pos)
{
    const std::size_t from = Index > 0 ? static_cast<std::size_t>(points_[Index - 1].State.Pos) : 0;
    const std::size_t to = std::min(static_cast<std::size_t>(Pos) + LookAhead, text_.size());
    bytesHashed_ += to - from;
    return HashBytes(text_.substr(from, to - from));
}

Integer TQvLineCheckpoints::Begin(TQvCustomHighlighter& H, std::string_view Text, Integer LineNumber,
                                  Integer Before, std::uint64_t Stamp)
{
    // A highlighter that cannot resume gets no checkpoints: the scan goes on untold.
    scanner_ = H.CanResume() ? &H : nullptr;
    text_ = Text;
    stamp_ = Stamp;
    pending_ = false;
    cursor_ = -1;
    if (scanner_ != nullptr) {
        for (std::size_t i = 0; i < points_.size() && points_[i].State.Pos <= Before; ++i) {
            TPoint& point = points_[i];
            const bool holds =
                point.Stamp == Stamp ||
                (static_cast<std::size_t>(point.State.Pos) <= Text.size() &&
                 (i == 0 || point.State.Pos > points_[i - 1].State.Pos) && HashFrom(i, point.State.Pos) == point.Hash);
            if (!holds) {
                points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(i), points_.end());
                break;
            }
            point.Stamp = Stamp;
            cursor_ = static_cast<std::ptrdiff_t>(i);
        }
    }
    if (cursor_ < 0) {
        H.SetLine(Text, LineNumber);
        nextDue_ = Interval;
        return 0;
    }
    const TQvHighlighterState& state = points_[static_cast<std::size_t>(cursor_)].State;
    H.ResumeLine(Text, LineNumber, state);
    nextDue_ = state.Pos + Interval;
    return state.Pos;
}

// A checkpoint is made after the first token that reaches the due position and is followed
// by one that is not blanks only: a paint may start afresh at such a token.
void TQvLineCheckpoints::Passed()
{
    if (scanner_ == nullptr)
        return;
    const Integer pos = scanner_->GetTokenPos();
    const std::string_view token = scanner_->GetTokenView();
    if (pending_) {
        pending_ = false;
        if (pos == pendingState_.Pos && !SpacesOnly(token))
            Commit(pendingState_);
    }
    if (!pending_ && pos + static_cast<Integer>(token.size()) >= nextDue_) {
        pendingState_ = scanner_->GetState();
        pending_ = pendingState_.Pos == pos + static_cast<Integer>(token.size());
    }
}

// The point after the one passed last: the one there already when it is the same (the
// points after it hold as they did), else the new one in place of all after the cursor.
void TQvLineCheckpoints::Commit(const TQvHighlighterState& State)
{
    const auto next = static_cast<std::size_t>(cursor_ + 1);
    const std::uint64_t hash = HashFrom(next, State.Pos);
    if (next < points_.size() && points_[next].State == State) {
        points_[next].Hash = hash;
        points_[next].Stamp = stamp_;
    } else {
        points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(next), points_.end());
        points_.push_back(TPoint{State, hash, stamp_});
    }
    cursor_ = static_cast<std::ptrdiff_t>(next);
    nextDue_ = State.Pos + Interval;
}

// ---- TQvLineCheckpointsKept --------------------------------------------------------------

TQvLineCheckpoints& TQvLineCheckpointsKept::For(const void* Lines, Integer Index, bool Expanded,
                                                const TQvCustomHighlighter* H, TQvHighlighterRange StartRange)
{
    ++uses_;
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TEntry& e) {
        return e.Lines == Lines && e.Index == Index && e.Expanded == Expanded;
    });
    if (it == entries_.end()) {
        if (entries_.size() >= MaxLines) {
            auto oldest = std::min_element(entries_.begin(), entries_.end(),
                                           [](const TEntry& a, const TEntry& b) { return a.LastUse < b.LastUse; });
            droppedBytesHashed_ += oldest->Points.BytesHashed();
            entries_.erase(oldest);
        }
        entries_.push_back(TEntry{Lines, Index, Expanded, 0, {}});
        it = entries_.end() - 1;
        it->Points.Restart(H, StartRange);
    } else if (!it->Points.MadeFrom(H, StartRange)) {
        it->Points.Restart(H, StartRange);
    }
    it->LastUse = uses_;
    return it->Points;
}

void TQvLineCheckpointsKept::Clear()
{
    droppedBytesHashed_ = BytesHashed();
    entries_.clear();
}

std::uint64_t TQvLineCheckpointsKept::BytesHashed() const
{
    std::uint64_t bytes = droppedBytesHashed_;
    for (const TEntry& e : entries_)
        bytes += e.Points.BytesHashed();
    return bytes;
}
