// The matcher's tests of single nodes: one-character nodes, counted runs of them,
// back-references and the line anchors.
#include "qvedit/search/QvRegexMatcher.h"

#include <cstring>

using namespace QvRegexProgram;

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TRegexMatcher::MatchesOne(int node, unsigned char c) const
{
    const std::uint8_t* operand = prog_ + node + NodeSize;
    switch (prog_[node]) {
    case opAny:
        return true;
    case opExactly:
        return operand[0] != 0 && c == operand[0];
    case opExactlyCI:
        return operand[0] != 0 && (c == operand[0] || c == re_.invertTable_[operand[0]]);
    case opAnyDigit:
        return IsDigit(c);
    case opNotDigit:
        return !IsDigit(c);
    case opAnyOfTinySet:
        return c == operand[0] || c == operand[1] || c == operand[2];
    case opAnyButTinySet:
        return c != operand[0] && c != operand[1] && c != operand[2];
    case opAnyOfFullSet:
        return FullSetHas(operand, c);
    default:
        return false;
    }
}

// How many times in a row the one-character node matches from the position (at most
// max). For a back-reference, whole repetitions of the group's text, `unit` its length:
// 0 when the text is empty (the count is then max, or 0 when the group took no part).
std::ptrdiff_t TRegexMatcher::RegRepeat(int node, std::ptrdiff_t max, std::ptrdiff_t& unit)
{
    unit = 1;
    const int op = prog_[node];
    if (op == opBSubExp || op == opBSubExpCI) {
        std::ptrdiff_t start = 0;
        std::ptrdiff_t n = 0;
        if (!BackRefText(prog_[Operand(node)], start, n)) {
            unit = 0;
            return 0;
        }
        unit = n;
        if (n == 0)
            return max;
        // Every repetition compared counts its bytes.
        std::ptrdiff_t count = 0;
        std::ptrdiff_t p = pos_;
        while (count < max && n <= len_ - p) {
            Step(n);
            if (!SameText(op == opBSubExpCI, p, start, n))
                break;
            ++count;
            p += n;
        }
        return count;
    }
    const std::ptrdiff_t left = len_ - pos_;
    const std::ptrdiff_t limit = max < left ? max : left;
    switch (op) {
    case opAny:
        return limit;
    case opAnyOfFullSet: {
        // The commonest repeat ('\w+', '[^"]*') has a loop of its own.
        const std::uint8_t* bits = prog_ + Operand(node);
        const unsigned char* at = in_ + pos_;
        std::ptrdiff_t count = 0;
        while (count < limit && FullSetHas(bits, at[count]))
            ++count;
        Step(count);
        return count;
    }
    case opExactly:
    case opExactlyCI:
    case opAnyDigit:
    case opNotDigit:
    case opAnyOfTinySet:
    case opAnyButTinySet: {
        std::ptrdiff_t count = 0;
        while (count < limit && MatchesOne(node, in_[pos_ + count]))
            ++count;
        Step(count);
        return count;
    }
    default:
        re_.Error(reeRegRepeatCalledInappropriately);
        return 0;
    }
}

// The n characters at `at` equal those at `from` (in either case when `caseless`).
bool TRegexMatcher::SameText(bool caseless, std::ptrdiff_t at, std::ptrdiff_t from, std::ptrdiff_t n) const
{
    if (!caseless)
        return std::memcmp(in_ + at, in_ + from, static_cast<std::size_t>(n)) == 0;
    return CompareCI(in_ + at, in_ + from, n);
}

bool TRegexMatcher::CompareCI(const unsigned char* a, const unsigned char* b, std::ptrdiff_t n) const
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (a[i] != b[i] && a[i] != re_.invertTable_[b[i]])
            return false;
    return true;
}

// The text of a group for a back-reference: only a group with a start and an end not
// before it counts.
bool TRegexMatcher::BackRefText(int group, std::ptrdiff_t& start, std::ptrdiff_t& length) const
{
    if (group <= 0 || group >= TRegex::NSUBEXP)
        return false;
    if (startp_[group] < 0 || endp_[group] < startp_[group])
        return false;
    start = startp_[group];
    length = endp_[group] - startp_[group];
    return true;
}

bool TRegexMatcher::MatchBackRef(int node)
{
    std::ptrdiff_t start = 0;
    std::ptrdiff_t n = 0;
    if (!BackRefText(prog_[Operand(node)], start, n) || n > len_ - pos_)
        return false;
    Step(n);
    if (!SameText(prog_[node] == opBSubExpCI, pos_, start, n))
        return false;
    pos_ += n;
    return true;
}

// '^' in multi-line mode: at the input start or after a line separator, but not between
// the two characters of the paired separator.
bool TRegexMatcher::AtLineStart() const
{
    if (pos_ == 0)
        return true;
    const unsigned char prev = in_[pos_ - 1];
    if (re_.pairAssigned_) {
        const auto head = static_cast<unsigned char>(re_.pairHead_);
        const auto tail = static_cast<unsigned char>(re_.pairTail_);
        if (pos_ >= 2 && in_[pos_ - 2] == head && prev == tail)
            return true;
        if (prev == head && pos_ < len_ && in_[pos_] == tail)
            return false;
    }
    return re_.lineSeparatorSet_.test(prev);
}

// '$' in multi-line mode: at the input end or before a line separator, but not between
// the two characters of the paired separator.
bool TRegexMatcher::AtLineEnd() const
{
    if (pos_ == len_)
        return true;
    const unsigned char c = in_[pos_];
    if (re_.pairAssigned_) {
        const auto head = static_cast<unsigned char>(re_.pairHead_);
        const auto tail = static_cast<unsigned char>(re_.pairTail_);
        if (pos_ > 0 && in_[pos_ - 1] == head && c == tail)
            return false;
        if (c == head && pos_ + 1 < len_ && in_[pos_ + 1] == tail)
            return true;
    }
    return re_.lineSeparatorSet_.test(c);
}

// The dot without s stops at a line separator and at the head of a complete paired
// separator.
bool TRegexMatcher::AtLineBreak() const
{
    const unsigned char c = in_[pos_];
    if (re_.lineSeparatorSet_.test(c))
        return true;
    return re_.pairAssigned_ && c == static_cast<unsigned char>(re_.pairHead_) && pos_ + 1 < len_ &&
           in_[pos_ + 1] == static_cast<unsigned char>(re_.pairTail_);
}
