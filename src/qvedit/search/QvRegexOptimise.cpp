// What the compiler learns about a program to speed up searching: the characters a match
// can begin with, a start character, the anchored flag and a literal every match must
// contain. Also the debug listing of a program.
#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexCompiler.h"
#include "qvedit/search/QvRegexProgram.h"

#include "platform/runtime/SysUtils.h"

#include <algorithm>
#include <cstring>

using namespace QvRegexProgram;

namespace {

const char* const OpNames[] = {
    "END", "BOL", "EOL", "ANY", "ANYOF", "ANYBUT", "BRANCH", "BACK", "EXACTLY", "NOTHING",
    "STAR", "PLUS", "ANYDIGIT", "NOTDIGIT", "ANYLETTER", "NOTLETTER", "ANYSPACE", "NOTSPACE",
    "BRACES", "COMMENT", "EXACTLY/CI", "ANYOF/CI", "ANYBUT/CI", "LOOPENTRY", "LOOP",
    "ANYOFTINYSET", "ANYBUTTINYSET", "ANYOFFULLSET", "BSUBEXP", "BSUBEXP/CI", "STARNG",
    "PLUSNG", "BRACESNG", "LOOPNG", "BOLML", "EOLML", "ANYML", "BOUND", "NOTBOUND",
};

bool FullSetHas(const std::uint8_t* bits, int ch) { return (bits[ch >> 3] >> (ch & 7)) & 1; }

// The length of a node including its operand; the node a BRACES repeats is a node of its own.
int NodeLength(const std::uint8_t* prog, int node)
{
    switch (prog[node]) {
    case opExactly:
    case opExactlyCI:
        return NodeSize + static_cast<int>(std::strlen(reinterpret_cast<const char*>(prog + node + NodeSize))) + 1;
    case opAnyOfTinySet:
    case opAnyButTinySet:
        return NodeSize + TinySetSize;
    case opAnyOfFullSet:
        return NodeSize + FullSetSize;
    case opBSubExp:
    case opBSubExpCI:
        return NodeSize + 1;
    case opBraces:
    case opBracesNG:
        return BracesHeaderSize;
    case opLoop:
    case opLoopNG:
        return LoopNodeSize;
    default:
        return NodeSize;
    }
}

std::string CharForDump(int ch)
{
    if (ch < 32)
        return "#" + std::to_string(ch);
    return std::string(1, static_cast<char>(ch));
}

}  // namespace

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

// True when the walk from `from` can reach `target` without consuming a character.
static bool CanPassWithoutConsuming(const std::uint8_t* prog, int from, int target)
{
    std::vector<int> pending{from};
    std::vector<int> visited;
    while (!pending.empty()) {
        const int scan = pending.back();
        pending.pop_back();
        if (scan == target)
            return true;
        if (scan == 0 || std::find(visited.begin(), visited.end(), scan) != visited.end())
            continue;
        visited.push_back(scan);
        const int op = prog[scan];
        const int next = NextNode(prog, scan);
        switch (op) {
        case opBol: case opEol: case opBolML: case opEolML: case opBound: case opNotBound:
        case opNothing: case opComment: case opBack: case opLoopEntry: case opBSubExp:
        case opBSubExpCI: case opStar: case opStarNG:
            pending.push_back(next);
            break;
        case opBranch:
            if (next != 0 && prog[next] == opBranch) {
                for (int br = scan; br != 0 && prog[br] == opBranch; br = NextNode(prog, br))
                    pending.push_back(Operand(br));
            } else {
                pending.push_back(Operand(scan));
            }
            break;
        case opPlus:
        case opPlusNG: {
            const int operandOp = prog[Operand(scan)];
            if (operandOp == opBSubExp || operandOp == opBSubExpCI)
                pending.push_back(next);
            break;
        }
        case opBraces:
        case opBracesNG: {
            const int operandOp = prog[scan + BracesHeaderSize];
            if (ReadInt(prog + scan + NodeSize) <= 0 || operandOp == opBSubExp || operandOp == opBSubExpCI)
                pending.push_back(next);
            break;
        }
        case opLoop:
        case opLoopNG:
            if (ReadInt(prog + scan + NodeSize) <= 0 ||
                CanPassWithoutConsuming(prog, scan + ReadInt(prog + scan + NodeSize + 8), scan))
                pending.push_back(next);
            break;
        default:
            if (IsOpen(op) || IsClose(op))
                pending.push_back(next);
            break;
        }
    }
    return false;
}

// Walks the program from its first node and collects every character a match can begin
// with. The walk is a search over nodes with a visited mark, so loops back through BACK
// or a LOOP body end, and long programs cannot deepen the stack.
void TRegex::FillFirstCharSet()
{
    firstCharSet_.reset();
    const std::uint8_t* prog = program_.data();
    std::vector<bool> visited(program_.size(), false);
    std::vector<int> pending{1};
    while (!pending.empty()) {
        int scan = pending.back();
        pending.pop_back();
        while (scan != 0 && !visited[static_cast<std::size_t>(scan)]) {
            visited[static_cast<std::size_t>(scan)] = true;
            const int op = prog[scan];
            const int next = NextNode(prog, scan);
            bool goOn = false;
            switch (op) {
            case opEnd:
                break;
            case opBol: case opEol: case opBack: case opNothing: case opComment:
            case opBolML: case opEolML: case opBound: case opNotBound: case opLoopEntry:
                goOn = true;
                break;
            case opBranch:
                if (next != 0 && prog[next] == opBranch) {
                    for (int br = scan; br != 0 && prog[br] == opBranch; br = NextNode(prog, br))
                        pending.push_back(Operand(br));
                } else {
                    pending.push_back(Operand(scan));
                }
                break;
            case opStar:
            case opStarNG:
                AddSimpleFirstChars(prog, Operand(scan), firstCharSet_, invertTable_);
                goOn = true;
                break;
            case opPlus:
            case opPlusNG:
                AddSimpleFirstChars(prog, Operand(scan), firstCharSet_, invertTable_);
                break;
            case opBraces:
            case opBracesNG:
                AddSimpleFirstChars(prog, scan + BracesHeaderSize, firstCharSet_, invertTable_);
                goOn = ReadInt(prog + scan + NodeSize) <= 0;
                break;
            case opLoop:
            case opLoopNG: {
                // A body that can match empty lets a match begin after the loop too,
                // whatever the loop's minimum.
                const int body = scan + ReadInt(prog + scan + NodeSize + 8);
                pending.push_back(body);
                goOn = ReadInt(prog + scan + NodeSize) <= 0 || CanPassWithoutConsuming(prog, body, scan);
                break;
            }
            case opAny: case opAnyML: case opBSubExp: case opBSubExpCI: case opExactly:
            case opExactlyCI: case opAnyDigit: case opNotDigit: case opAnyOfTinySet:
            case opAnyButTinySet: case opAnyOfFullSet:
                AddSimpleFirstChars(prog, scan, firstCharSet_, invertTable_);
                break;
            default:
                if (IsOpen(op) || IsClose(op)) {
                    goOn = true;
                    break;
                }
                Error(reeMatchPrimMemoryCorruption);
                return;
            }
            scan = goOn ? next : 0;
        }
    }
    firstCharOnly_ = -1;
    if (firstCharSet_.count() == 1)
        for (int ch = 0; ch < 256; ++ch)
            if (firstCharSet_.test(ch))
                firstCharOnly_ = ch;
}

// With a single top-level alternative, its first node may give a start character or
// anchor the program; when it starts with a repeat, the longest top-level literal is one
// every match must contain.
void TRegex::FindStartAndMustLiteral(int flags)
{
    startChar_ = -1;
    anchored_ = false;
    mustOffset_ = 0;
    mustLength_ = 0;
    const std::uint8_t* prog = program_.data();
    const int first = 1;
    const int next = NextNode(prog, first);
    if (next == 0 || prog[next] != opEnd)
        return;
    int scan = Operand(first);
    if (prog[scan] == opExactly)
        startChar_ = prog[Operand(scan)];
    else if (prog[scan] == opBol)
        anchored_ = true;
    if (!(flags & TRegexCompiler::flagSpStart))
        return;
    for (; scan != 0; scan = NextNode(prog, scan)) {
        if (prog[scan] != opExactly)
            continue;
        const int len = static_cast<int>(std::strlen(reinterpret_cast<const char*>(prog + Operand(scan))));
        if (len > 0 && len >= mustLength_) {
            mustOffset_ = Operand(scan);
            mustLength_ = len;
        }
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

std::string TRegex::DumpOp(int op)
{
    if (op >= 0 && op < opOpen)
        return OpNames[op];
    if (op >= opOpen && op < opClose)
        return Format("OPEN[%d]", {op - opOpen});
    if (op >= opClose && op <= opLast)
        return Format("CLOSE[%d]", {op - opClose});
    Error(reeDumpCorruptedOpcode);
    return {};
}

std::string TRegex::Dump()
{
    IsProgrammOk();
    const std::uint8_t* prog = program_.data();
    const int size = static_cast<int>(program_.size());
    std::string result;
    for (int s = 1; s < size; s += NodeLength(prog, s)) {
        const int op = prog[s];
        result += Format("%2d%s", {s, DumpOp(op)});
        const int next = NextNode(prog, s);
        result += next == 0 ? std::string(" (0)") : Format(" (%d) ", {next});
        const std::uint8_t* operand = prog + s + NodeSize;
        switch (op) {
        case opExactly:
        case opExactlyCI:
            result += reinterpret_cast<const char*>(operand);
            break;
        case opAnyOfTinySet:
        case opAnyButTinySet:
            for (int i = 0; i < TinySetSize; ++i)
                result += CharForDump(operand[i]);
            break;
        case opAnyOfFullSet:
            for (int ch = 0; ch < 256; ++ch)
                if (FullSetHas(operand, ch))
                    result += CharForDump(ch);
            break;
        case opBSubExp:
        case opBSubExpCI:
            result += " \\" + std::to_string(operand[0]);
            break;
        case opBraces:
        case opBracesNG:
            result += Format("{%d,%d}", {ReadInt(operand), ReadInt(operand + 4)});
            break;
        case opLoop:
        case opLoopNG:
            result += Format(" -> (%d) {%d,%d}",
                             {s + ReadInt(operand + 8), ReadInt(operand), ReadInt(operand + 4)});
            break;
        default:
            break;
        }
        result += "\r\n";
    }
    if (startChar_ >= 0)
        result += "start " + CharForDump(startChar_) + " ";
    if (anchored_)
        result += "anchored ";
    if (mustLength_ > 0)
        result += "must have " + std::string(reinterpret_cast<const char*>(prog + mustOffset_), mustLength_);
    result += "\r\nFirstCharSet:";
    for (int ch = 0; ch < 256; ++ch)
        if (firstCharSet_.test(ch))
            result += CharForDump(ch);
    result += "\r\n";
    return result;
}
