// The matcher's walk over the node chain and its backtracking (see QvRegexMatcher.h).
#include "qvedit/search/QvRegexMatcher.h"

#include <algorithm>
#include <cstring>

using namespace QvRegexProgram;

namespace {

bool IsGreedyRepeat(int op) { return op == opStar || op == opPlus || op == opBraces; }

}  // namespace

TRegexMatcher::TRegexMatcher(TRegex& re)
    : re_(re),
      prog_(re.program_.data()),
      in_(reinterpret_cast<const unsigned char*>(re.Searched().data())),
      len_(static_cast<std::ptrdiff_t>(re.Searched().size())),
      startp_(re.startp_),
      endp_(re.endp_),
      headRoundStart_(re.headRoundStart_),
      trail_(re.trail_),
      stack_(re.backtrack_),
      steps_(re.stepsUsed_),
      checkpoint_(re.NextCheckpoint())
{
    headRoundStart_.resize(static_cast<std::size_t>(re.loopHeadCount_));
}

// Where the literal every match contains last begins in the input, -1 when nowhere;
// found once per input.
std::ptrdiff_t TRegexMatcher::LastMustStart()
{
    if (re_.mustLastStart_ != -2)
        return re_.mustLastStart_;
    const auto* must = prog_ + re_.mustOffset_;
    const auto n = static_cast<std::ptrdiff_t>(re_.mustLength_);
    std::ptrdiff_t found = -1;
    if (re_.mustCaseless_) {
        const unsigned char first = must[0];
        const unsigned char other = re_.invertTable_[first];
        for (std::ptrdiff_t p = len_ - n; p >= 0; --p) {
            if ((in_[p] == first || in_[p] == other) && CompareCI(in_ + p, must, n)) {
                found = p;
                break;
            }
        }
    } else {
        for (std::ptrdiff_t end = len_ - n + 1; end > 0;) {
            const void* hit = memrchr(in_, must[0], static_cast<std::size_t>(end));
            if (hit == nullptr)
                break;
            const std::ptrdiff_t p = static_cast<const unsigned char*>(hit) - in_;
            if (std::memcmp(in_ + p, must, static_cast<std::size_t>(n)) == 0) {
                found = p;
                break;
            }
            end = p;
        }
    }
    const std::ptrdiff_t looked = len_ - n + 1 - std::max<std::ptrdiff_t>(found, 0);
    re_.bytesScanned_ += static_cast<long>(std::max<std::ptrdiff_t>(looked, 0));
    re_.mustLastStart_ = found;
    return found;
}

// Tries the positions from `start` on, using what the compiler learnt about the program.
bool TRegexMatcher::Search(std::ptrdiff_t start)
{
    if (re_.anchored_)
        return MayBeginAt(start) && TryAt(start);
    const std::ptrdiff_t last = len_ - std::max(re_.prefixLength_, 1);
    if (re_.prefixLength_ > 0)
        return SearchPrefix(start, last);
    if (re_.firstChars_[0] >= 0)
        return SearchFirstChars(start, last);
    const TSetOfREChar& first = re_.firstCharSet_;
    for (std::ptrdiff_t p = start; p <= last; ++p) {
        if (first[in_[p]]) {
            re_.bytesScanned_ += static_cast<long>(p - start + 1);
            start = p + 1;
            if (!MayBeginAt(p))
                return false;
            if (TryAt(p))
                return true;
        }
    }
    re_.bytesScanned_ += static_cast<long>(std::max<std::ptrdiff_t>(last + 1 - start, 0));
    return false;
}

// False when no match can begin at `at` or after it: the literal every match contains
// does not occur there (its last place is looked up once per input, when first needed).
bool TRegexMatcher::MayBeginAt(std::ptrdiff_t at)
{
    return re_.mustLength_ == 0 || re_.mustOffset_ == re_.prefixOffset_ || LastMustStart() >= at;
}

// Every match begins with the prefix literal: tries only where it stands.
bool TRegexMatcher::SearchPrefix(std::ptrdiff_t start, std::ptrdiff_t last)
{
    const auto* prefix = prog_ + re_.prefixOffset_;
    const auto n = static_cast<std::size_t>(re_.prefixLength_);
    for (std::ptrdiff_t p = start; p <= last; ++p) {
        p = Find(prefix[0], p, last);
        if (p > last)
            return false;
        Step(static_cast<std::ptrdiff_t>(n));
        if (std::memcmp(in_ + p, prefix, n) != 0)
            continue;
        if (!MayBeginAt(p))
            return false;
        if (TryAt(p))
            return true;
    }
    return false;
}

// A match begins with one of one or two characters: tries only where they stand, the
// next place of each found with memchr (see NextFirstChar).
bool TRegexMatcher::SearchFirstChars(std::ptrdiff_t start, std::ptrdiff_t last)
{
    std::ptrdiff_t nextA = start - 1;
    std::ptrdiff_t nextB = re_.firstChars_[1] >= 0 ? start - 1 : last + 1;
    for (std::ptrdiff_t p = start; p <= last; ++p) {
        if (nextA < p)
            nextA = NextFirstChar(0, p, last);
        if (nextB < p)
            nextB = NextFirstChar(1, p, last);
        p = std::min(nextA, nextB);
        if (p > last || !MayBeginAt(p))
            return false;
        if (TryAt(p))
            return true;
    }
    return false;
}

// The first place of `c` from `from` to `last`, or last + 1.
std::ptrdiff_t TRegexMatcher::Find(int c, std::ptrdiff_t from, std::ptrdiff_t last)
{
    const void* hit = std::memchr(in_ + from, c, static_cast<std::size_t>(last + 1 - from));
    const std::ptrdiff_t found = hit == nullptr ? last + 1 : static_cast<const unsigned char*>(hit) - in_;
    re_.bytesScanned_ += static_cast<long>(std::min(found, last) + 1 - from);
    return found;
}

// The first place of first character `which` from `from` to `last`, or last + 1. A
// character that is rare or absent would otherwise be looked for up to its next place or
// the input's end by every search, and the searches of a line of many matches would take
// work in the square of its length: what was found is kept for the input, so a later
// search from a place up to it takes it as it is, and one from before it looks only up to
// where the earlier look began.
std::ptrdiff_t TRegexMatcher::NextFirstChar(int which, std::ptrdiff_t from, std::ptrdiff_t last)
{
    const int c = re_.firstChars_[which];
    std::ptrdiff_t& knownFrom = re_.firstCharFrom_[which];
    std::ptrdiff_t& at = re_.firstCharAt_[which];
    if (knownFrom < 0 || from > at) {
        at = Find(c, from, len_ - 1);
        knownFrom = from;
    } else if (from < knownFrom) {
        const std::ptrdiff_t before = Find(c, from, knownFrom - 1);
        if (before < knownFrom)
            at = before;
        knownFrom = from;
    }
    return at > last ? last + 1 : at;
}

// One try at a position (clears the groups first); on success records the whole match.
bool TRegexMatcher::TryAt(std::ptrdiff_t at)
{
    for (int i = 0; i < re_.groupCount_; ++i) {
        startp_[i] = -1;
        endp_[i] = -1;
    }
    pos_ = at;
    loopIndex_ = 0;
    std::fill(headRoundStart_.begin(), headRoundStart_.end(), -1);
    trail_.clear();
    stack_.clear();
    int scan = 1;
    while (!Walk(scan))
        if (!Backtrack(scan))
            return false;
    startp_[0] = at;
    endp_[0] = pos_;
    return true;
}

void TRegexMatcher::Push(TRegexBacktrack::TKind kind, int node)
{
    Push(TRegexBacktrack{kind, node, trail_.size(), pos_, 0, 0, 0});
}

void TRegexMatcher::Push(const TRegexBacktrack& entry)
{
    if (stack_.size() >= MaxBacktrackEntries)
        re_.Error(reeBacktrackStackExceeded);
    stack_.push_back(entry);
}

// Follows the chain from `scan` until END (true) or a node that fails (false).
bool TRegexMatcher::Walk(int scan)
{
    while (scan != 0) {
        Step();
        const int op = prog_[scan];
        const int next = NextNode(prog_, scan);
        const std::uint8_t* operand = prog_ + scan + NodeSize;
        switch (op) {
        case opEnd:
            return true;
        case opBack:
        case opNothing:
        case opComment:
            break;
        case opBol:
            if (pos_ != 0)
                return false;
            break;
        case opEol:
            if (pos_ != len_)
                return false;
            break;
        case opBolML:
            if (!AtLineStart())
                return false;
            break;
        case opEolML:
            if (!AtLineEnd())
                return false;
            break;
        case opAnyML:
            if (pos_ >= len_ || AtLineBreak())
                return false;
            ++pos_;
            break;
        case opExactly:
        case opExactlyCI: {
            // An empty literal stands for a NUL, which never matches: the input holds none.
            if (operand[0] == 0)
                return false;
            const auto n = static_cast<std::ptrdiff_t>(std::strlen(reinterpret_cast<const char*>(operand)));
            if (n > len_ - pos_)
                return false;
            Step(n);
            if (op == opExactly ? std::memcmp(in_ + pos_, operand, static_cast<std::size_t>(n)) != 0
                                : !CompareCI(in_ + pos_, operand, n))
                return false;
            pos_ += n;
            break;
        }
        case opAny:
        case opAnyDigit:
        case opNotDigit:
        case opAnyOfTinySet:
        case opAnyButTinySet:
        case opAnyOfFullSet:
            if (pos_ >= len_ || !MatchesOne(scan, in_[pos_]))
                return false;
            ++pos_;
            break;
        case opBound:
        case opNotBound:
            if ((IsWordAt(pos_ - 1) != IsWordAt(pos_)) != (op == opBound))
                return false;
            break;
        case opBSubExp:
        case opBSubExpCI:
            if (!MatchBackRef(scan))
                return false;
            break;
        case opBranch: {
            if (next == 0 || prog_[next] != opBranch) {
                scan = Operand(scan);  // no choice
                continue;
            }
            const int slot = re_.loopHeadSlot_[static_cast<std::size_t>(scan)];
            if (slot >= 0) {
                // A loop round that consumed nothing ends the loop.
                std::ptrdiff_t& roundStart = headRoundStart_[static_cast<std::size_t>(slot)];
                if (roundStart == pos_) {
                    scan = Operand(next);
                    continue;
                }
                Set(roundStart, pos_);
            }
            const int alternative = slot >= 0 ? scan : FirstViable(scan);
            if (alternative == 0)
                return false;
            const int after = NextNode(prog_, alternative);
            if (after != 0 && prog_[after] == opBranch)
                Push(TRegexBacktrack::bkAlternative, after);
            scan = Operand(alternative);
            continue;
        }
        case opStar:
        case opPlus:
        case opBraces:
        case opStarNG:
        case opPlusNG:
        case opBracesNG:
            if (!StartRepeat(scan))
                return false;
            continue;
        case opLoopEntry:
            if (loopIndex_ >= MaxLoopStack)
                re_.Error(reeLoopStackExceeded);
            Set(loopIndex_, loopIndex_ + 1);
            Set(loopCount_[loopIndex_ - 1], 0);
            Set(loopRoundStart_[loopIndex_ - 1], pos_);
            break;
        case opLoop:
        case opLoopNG:
            StartLoop(scan);
            continue;
        default:
            if (IsOpen(op)) {
                Set(startp_[op - opOpen], pos_);
                break;
            }
            if (IsClose(op)) {
                Set(endp_[op - opClose], pos_);
                break;
            }
            re_.Error(reeMatchPrimMemoryCorruption);
        }
        scan = next;
    }
    re_.Error(reeMatchPrimCorruptedPointers);
    return false;
}

// The first alternative of the chain from `branch` that may match here: one that begins
// with a literal whose first character is not the next one fails at once and is passed
// over. 0 when none is left.
int TRegexMatcher::FirstViable(int branch)
{
    for (int alternative = branch; alternative != 0 && prog_[alternative] == opBranch;
         alternative = NextNode(prog_, alternative)) {
        const int first = Operand(alternative);
        if (prog_[first] != opExactly || (pos_ < len_ && in_[pos_] == prog_[Operand(first)]))
            return alternative;
        Step();
    }
    return 0;
}

// Resumes the most recent choice point: undoes what was done since it was pushed and sets
// `scan` where the walk goes on. False when no choice is left.
bool TRegexMatcher::Backtrack(int& scan)
{
    while (!stack_.empty()) {
        Step();
        TRegexBacktrack& entry = stack_.back();
        Undo(entry.mark);
        pos_ = entry.pos;
        const int node = entry.node;
        switch (entry.kind) {
        case TRegexBacktrack::bkAlternative: {
            const int alternative = FirstViable(node);
            if (alternative == 0) {
                stack_.pop_back();
                break;
            }
            const int following = NextNode(prog_, alternative);
            if (following != 0 && prog_[following] == opBranch)
                entry.node = following;  // the entry stays for the alternative after this one
            else
                stack_.pop_back();
            scan = Operand(alternative);
            return true;
        }
        case TRegexBacktrack::bkRepeat:
            if (NextRepeatTry(entry)) {
                const bool more = IsGreedyRepeat(prog_[node]) ? entry.count >= entry.last : entry.count <= entry.last;
                if (!more)
                    stack_.pop_back();
                scan = NextNode(prog_, node);
                return true;
            }
            stack_.pop_back();
            break;
        case TRegexBacktrack::bkLoopExit:
            stack_.pop_back();
            Set(loopIndex_, loopIndex_ - 1);
            scan = NextNode(prog_, node);
            return true;
        case TRegexBacktrack::bkLoopRound: {
            stack_.pop_back();
            const std::ptrdiff_t level = loopIndex_ - 1;
            Set(loopCount_[level], loopCount_[level] + 1);
            Set(loopRoundStart_[level], pos_);
            scan = node + ReadInt(prog_ + node + NodeSize + 8);
            return true;
        }
        }
    }
    return false;
}

// A repeat of a one-character node (or of a back-reference, in whole repetitions): counts
// how many operands follow, then tries the rest after the most (greedy) or the fewest.
bool TRegexMatcher::StartRepeat(int& scan)
{
    const int op = prog_[scan];
    const bool braces = op == opBraces || op == opBracesNG;
    const int operand = braces ? scan + BracesHeaderSize : Operand(scan);
    std::ptrdiff_t min = (op == opPlus || op == opPlusNG) ? 1 : 0;
    std::ptrdiff_t max = MaxRepeat;
    if (braces) {
        min = ReadInt(prog_ + scan + NodeSize);
        max = ReadInt(prog_ + scan + NodeSize + 4);
    }
    const std::ptrdiff_t start = pos_;
    std::ptrdiff_t unit = 1;
    const std::ptrdiff_t count = RegRepeat(operand, max, unit);
    if (count < min)
        return false;
    if (unit == 0) {
        // An empty group text repeats without moving: the rest is tried once.
        scan = NextNode(prog_, scan);
        return true;
    }
    if (re_.possessive_[static_cast<std::size_t>(scan)]) {
        // No shorter try could succeed: take all and leave no choice.
        pos_ = start + count;
        scan = NextNode(prog_, scan);
        return true;
    }
    const bool greedy = IsGreedyRepeat(op);
    TRegexBacktrack entry{TRegexBacktrack::bkRepeat, scan, trail_.size(), start,
                          greedy ? count : min, greedy ? min : count, unit};
    if (!NextRepeatTry(entry)) {
        pos_ = start;
        return false;
    }
    if (greedy ? entry.count >= entry.last : entry.count <= entry.last)
        Push(entry);
    scan = NextNode(prog_, scan);
    return true;
}

// Places the position after the next number of operands worth trying: when the repeat is
// followed by a literal, only where that literal's first character stands.
bool TRegexMatcher::NextRepeatTry(TRegexBacktrack& entry)
{
    const bool greedy = IsGreedyRepeat(prog_[entry.node]);
    const int next = NextNode(prog_, entry.node);
    const int lookahead = (next != 0 && prog_[next] == opExactly) ? prog_[Operand(next)] : -1;
    std::ptrdiff_t skipped = 0;
    while (greedy ? entry.count >= entry.last : entry.count <= entry.last) {
        const std::ptrdiff_t p = entry.pos + entry.count * entry.unit;
        entry.count += greedy ? -1 : 1;
        if (lookahead >= 0 && (p >= len_ || in_[p] != lookahead)) {
            ++skipped;
            continue;
        }
        Step(skipped);
        pos_ = p;
        return true;
    }
    Step(skipped);
    return false;
}

// LOOP and LOOPNG, the end of a counted loop of a complex operand: sets `scan` to the body
// for another round or to what follows the loop, leaving the other way as a choice.
void TRegexMatcher::StartLoop(int& scan)
{
    if (loopIndex_ == 0)
        re_.Error(reeLoopWithoutEntry);
    const std::ptrdiff_t level = loopIndex_ - 1;
    const std::uint8_t* operand = prog_ + scan + NodeSize;
    const std::ptrdiff_t min = ReadInt(operand);
    const std::ptrdiff_t max = ReadInt(operand + 4);
    const int body = scan + ReadInt(operand + 8);
    const int next = NextNode(prog_, scan);
    std::ptrdiff_t& count = loopCount_[level];
    std::ptrdiff_t& roundStart = loopRoundStart_[level];

    if (count < min) {
        Set(count, count + 1);
        Set(roundStart, pos_);
        scan = body;
        return;
    }
    // A round that consumed nothing ends the loop.
    const bool mayRepeat = count < max && !(count > 0 && roundStart == pos_);
    if (prog_[scan] == opLoop && mayRepeat) {
        Push(TRegexBacktrack::bkLoopExit, scan);
        Set(count, count + 1);
        Set(roundStart, pos_);
        scan = body;
        return;
    }
    if (mayRepeat)
        Push(TRegexBacktrack::bkLoopRound, scan);
    Set(loopIndex_, loopIndex_ - 1);
    scan = next;
}

// Searches the input from the 1-based offset.
bool TRegex::ExecPrim(int offset)
{
    IsProgrammOk();
    if (!hasInput_)
        Error(reeNoInputStringSpecified);
    if (offset < 1)
        Error(reeOffsetMustBeGreaterThen0);
    if (offset > static_cast<int>(Searched().size()) + 1)
        return false;
    const TGroups saved = SaveGroups();
    TRegexMatcher matcher(*this);
    try {
        const bool found = matcher.Search(offset - 1);
        stepsUsed_ = matcher.Steps();
        EndRun(stepsUsed_, true);
        return found;
    } catch (const ERegex&) {
        // The groups are left as they were before the call, never half made.
        stepsUsed_ = matcher.Steps();
        EndRun(stepsUsed_, false);
        RestoreGroups(saved);
        throw;
    }
}
