// What the compiler learns about a program to speed up searching: the characters a match
// can begin with, a start character, the anchored flag, a literal every match must
// contain, and the repeats that never need to give characters back.
#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexCompiler.h"
#include "qvedit/search/QvRegexProgram.h"

#include <algorithm>
#include <cstring>

using namespace QvRegexProgram;

// Adds the characters that the one-character node at `node` can match.
static void AddSimpleFirstChars(const std::uint8_t* prog, int node, TSetOfREChar& set,
                                const unsigned char* invert)
{
    const std::uint8_t* operand = prog + node + NodeSize;
    switch (prog[node]) {
    case opAny:
    case opAnyML:
    case opBSubExp:
    case opBSubExpCI:
        set.set();
        break;
    case opExactly:
        set.set(operand[0]);
        break;
    case opExactlyCI:
        set.set(operand[0]);
        set.set(invert[operand[0]]);
        break;
    case opAnyDigit:
        for (int ch = '0'; ch <= '9'; ++ch)
            set.set(ch);
        break;
    case opNotDigit:
        for (int ch = 0; ch < 256; ++ch)
            if (ch < '0' || ch > '9')
                set.set(ch);
        break;
    case opAnyOfTinySet:
        for (int i = 0; i < TinySetSize; ++i)
            set.set(operand[i]);
        break;
    case opAnyButTinySet:
        for (int ch = 0; ch < 256; ++ch)
            if (ch != operand[0] && ch != operand[1] && ch != operand[2])
                set.set(ch);
        break;
    case opAnyOfFullSet:
        for (int ch = 0; ch < 256; ++ch)
            if (FullSetHas(operand, ch))
                set.set(ch);
        break;
    default:
        break;
    }
}

namespace {

bool IsRepeat(int op)
{
    return op == opStar || op == opPlus || op == opBraces || op == opStarNG || op == opPlusNG || op == opBracesNG;
}

int RepeatOperand(const std::uint8_t* prog, int node)
{
    return (prog[node] == opBraces || prog[node] == opBracesNG) ? node + BracesHeaderSize : Operand(node);
}

bool IsBackReference(int op) { return op == opBSubExp || op == opBSubExpCI; }

// Adds the nodes the matcher may go on to from `node` (the node a repeat repeats belongs
// to the repeat). Every path the matcher can take follows these edges.
void AddSuccessors(const std::uint8_t* prog, int node, std::vector<int>& pending)
{
    const int op = prog[node];
    const int next = NextNode(prog, node);
    switch (op) {
    case opEnd:
        return;
    case opBranch:
        if (next != 0 && prog[next] == opBranch) {
            for (int br = node; br != 0 && prog[br] == opBranch; br = NextNode(prog, br))
                pending.push_back(Operand(br));
        } else {
            pending.push_back(Operand(node));
        }
        return;
    case opLoopEntry:
        // Its next node is its LOOP, which runs the body first while below the minimum.
        if (next != 0 && (prog[next] == opLoop || prog[next] == opLoopNG) && ReadInt(prog + next + NodeSize) > 0)
            pending.push_back(next + ReadInt(prog + next + NodeSize + 8));
        else
            pending.push_back(next);
        return;
    case opLoop:
    case opLoopNG:
        pending.push_back(node + ReadInt(prog + node + NodeSize + 8));
        pending.push_back(next);
        return;
    default:
        pending.push_back(next);
        return;
    }
}

}  // namespace

// A walk over the program's nodes that visits each node once. The marks are reused from
// walk to walk, so that many short walks over a long program cost only what they visit.
class TRegexProgramWalk {
public:
    explicit TRegexProgramWalk(const std::vector<std::uint8_t>& program) : mark_(program.size(), 0) {}
    void Start(int from)
    {
        ++generation_;
        visited_ = 0;
        pending_.assign(1, from);
    }
    // The next node not yet visited, or 0 when none is left.
    int Next()
    {
        while (!pending_.empty()) {
            const int node = pending_.back();
            pending_.pop_back();
            if (node == 0 || mark_[static_cast<std::size_t>(node)] == generation_)
                continue;
            mark_[static_cast<std::size_t>(node)] = generation_;
            ++visited_;
            return node;
        }
        return 0;
    }
    std::vector<int>& Pending() { return pending_; }
    int Visited() const { return visited_; }

private:
    std::vector<unsigned> mark_;
    unsigned generation_ = 0;
    std::vector<int> pending_;
    int visited_ = 0;
};

// Collects into `set` every character the matcher can consume first when it goes on
// from `from`; true when it can also reach END without consuming one, or when the walk
// gives up after `limit` nodes. '$' lets nothing be consumed after it. Multi-line '$'
// passes only before a line separator: with `lineEndChars` the separators are added for
// it, otherwise the walk goes on past it (where an empty match ends, none is tried).
bool TRegex::CollectFirstChars(TRegexProgramWalk& walk, int from, TSetOfREChar& set, int limit,
                               bool lineEndChars) const
{
    const std::uint8_t* prog = program_.data();
    bool reachesEnd = false;
    walk.Start(from);
    for (int scan = walk.Next(); scan != 0; scan = walk.Next()) {
        if (walk.Visited() > limit)
            return true;
        const int op = prog[scan];
        switch (op) {
        case opEnd:
            reachesEnd = true;
            continue;
        case opEol:
            continue;
        case opEolML:
            if (!lineEndChars)
                break;
            set |= lineSeparatorSet_;
            if (pairAssigned_)
                set.set(static_cast<unsigned char>(pairHead_));
            continue;
        case opAny: case opAnyML: case opExactly: case opExactlyCI: case opAnyDigit: case opNotDigit:
        case opAnyOfTinySet: case opAnyButTinySet: case opAnyOfFullSet:
            AddSimpleFirstChars(prog, scan, set, invertTable_);
            continue;
        case opBSubExp:
        case opBSubExpCI:  // the group's text may be empty
            set.set();
            break;
        case opBol: case opBolML: case opBound: case opNotBound: case opNothing: case opComment:
        case opBack: case opBranch: case opLoopEntry: case opLoop: case opLoopNG:
            break;
        default:
            if (IsRepeat(op)) {
                const int operand = RepeatOperand(prog, scan);
                AddSimpleFirstChars(prog, operand, set, invertTable_);
                const bool needsOne = op == opPlus || op == opPlusNG ||
                                      ((op == opBraces || op == opBracesNG) && ReadInt(prog + scan + NodeSize) > 0);
                if (needsOne && !IsBackReference(prog[operand]))
                    continue;
            } else if (!IsOpen(op) && !IsClose(op)) {
                set.set();  // no other node exists
                return true;
            }
            break;
        }
        AddSuccessors(prog, scan, walk.Pending());
    }
    return reachesEnd;
}

// The characters a match can begin with. A match that consumes nothing is never tried,
// so the walk's reaching END adds nothing.
void TRegex::FillFirstCharSet()
{
    firstCharSet_.reset();
    TRegexProgramWalk walk(program_);
    CollectFirstChars(walk, 1, firstCharSet_, static_cast<int>(program_.size()), false);
    firstChars_[0] = firstChars_[1] = -1;
    if (firstCharSet_.count() <= 2) {
        int found = 0;
        for (int ch = 0; ch < 256; ++ch)
            if (firstCharSet_.test(ch))
                firstChars_[found++] = ch;
    }
}

// True when every way from the first node to END passes through `node`.
static bool OnEveryPath(const std::uint8_t* prog, TRegexProgramWalk& walk, int node)
{
    walk.Start(1);
    for (int scan = walk.Next(); scan != 0; scan = walk.Next()) {
        if (scan == node)
            continue;
        if (prog[scan] == opEnd)
            return false;
        AddSuccessors(prog, scan, walk.Pending());
    }
    return true;
}

// With a single top-level alternative, its first node may anchor the program, and a
// literal before which nothing moves is one every match begins with. Of the literals every
// match must contain, the longest (the later of two as long) lets a search skip input
// that lacks it; a caseless literal serves as well, found without regard to case.
void TRegex::FindStartAndMustLiteral()
{
    prefixOffset_ = 0;
    prefixLength_ = 0;
    anchored_ = false;
    mustOffset_ = 0;
    mustLength_ = 0;
    mustCaseless_ = false;
    const std::uint8_t* prog = program_.data();
    const int next = NextNode(prog, 1);
    if (next != 0 && prog[next] == opEnd) {
        int first = Operand(1);
        anchored_ = prog[first] == opBol;
        while (prog[first] == opBound || prog[first] == opNotBound || prog[first] == opComment ||
               prog[first] == opNothing || IsOpen(prog[first]))
            first = NextNode(prog, first);
        if (prog[first] == opExactly && prog[Operand(first)] != 0) {
            prefixOffset_ = Operand(first);
            prefixLength_ = static_cast<int>(std::strlen(reinterpret_cast<const char*>(prog + prefixOffset_)));
        }
    }

    struct Candidate {
        int node;
        int length;
    };
    std::vector<Candidate> candidates;
    const int size = static_cast<int>(program_.size());
    for (int s = 1; s < size; s += NodeLength(prog, s)) {
        if (prog[s] != opExactly && prog[s] != opExactlyCI)
            continue;
        const auto length = static_cast<int>(std::strlen(reinterpret_cast<const char*>(prog + Operand(s))));
        if (length > 0)
            candidates.push_back({s, length});
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.length != b.length ? a.length > b.length : a.node > b.node;
    });
    constexpr std::size_t MaxCandidates = 8;  // each costs a walk over the program
    if (candidates.size() > MaxCandidates)
        candidates.resize(MaxCandidates);
    TRegexProgramWalk walk(program_);
    for (const Candidate& c : candidates) {
        if (OnEveryPath(prog, walk, c.node)) {
            mustOffset_ = Operand(c.node);
            mustLength_ = c.length;
            mustCaseless_ = prog[c.node] == opExactlyCI;
            return;
        }
    }
}

// True when the walk from `node` reaches END whatever the input: only group marks and
// empty nodes lie between.
static bool EndsAt(const std::uint8_t* prog, int node)
{
    while (node != 0 && (IsOpen(prog[node]) || IsClose(prog[node]) || prog[node] == opNothing ||
                         prog[node] == opComment))
        node = NextNode(prog, node);
    return node != 0 && prog[node] == opEnd;
}

// Marks the repeats of one character that need not give back what they consumed: what
// follows can neither match without consuming nor begin with a character the repeat
// takes, so every shorter try would fail. Greedy or lazy, such a repeat takes all it can
// at once and leaves no choice point. So does a greedy repeat after which the match
// ends: its first try succeeds.
void TRegex::FindPossessiveRepeats()
{
    constexpr int WalkLimit = 1'000;  // nodes looked at after one repeat
    const std::uint8_t* prog = program_.data();
    const int size = static_cast<int>(program_.size());
    possessive_.assign(program_.size(), false);
    TRegexProgramWalk walk(program_);
    for (int s = 1; s < size; s += NodeLength(prog, s)) {
        if (!IsRepeat(prog[s]) || IsBackReference(prog[RepeatOperand(prog, s)]))
            continue;
        TSetOfREChar repeated;
        AddSimpleFirstChars(prog, RepeatOperand(prog, s), repeated, invertTable_);
        TSetOfREChar following;
        const int next = NextNode(prog, s);
        const bool greedy = prog[s] == opStar || prog[s] == opPlus || prog[s] == opBraces;
        if ((greedy && EndsAt(prog, next)) ||
            (!CollectFirstChars(walk, next, following, WalkLimit, true) && (repeated & following).none()))
            possessive_[static_cast<std::size_t>(s)] = true;
    }
}

// Marks the BRANCH nodes that head a loop of a complex operand ('(ab)*', '(ab)+'): the
// matcher remembers where each such loop last began a round, so that a round that
// consumed nothing ends the loop instead of repeating forever.
void TRegex::FindLoopHeads()
{
    const std::uint8_t* prog = program_.data();
    const int size = static_cast<int>(program_.size());
    loopHeadSlot_.assign(program_.size(), -1);
    loopHeadCount_ = 0;
    int previous = 0;
    for (int s = 1; s < size; previous = s, s += NodeLength(prog, s)) {
        if (prog[s] != opBack)
            continue;
        // '+' puts BACK as the operand of its loop's BRANCH; '*' jumps back to its BRANCH.
        const bool plusForm = previous != 0 && prog[previous] == opBranch && previous + NodeSize == s;
        const int head = plusForm ? previous : NextNode(prog, s);
        if (head > 0 && head < size && prog[head] == opBranch && loopHeadSlot_[head] < 0)
            loopHeadSlot_[head] = loopHeadCount_++;
    }
}

