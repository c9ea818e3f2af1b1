// The debug listing of a compiled program.
#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexProgram.h"

#include "platform/runtime/SysUtils.h"

using namespace QvRegexProgram;

namespace {

const char* const OpNames[] = {
    "END", "BOL", "EOL", "ANY", "ANYOF", "ANYBUT", "BRANCH", "BACK", "EXACTLY", "NOTHING",
    "STAR", "PLUS", "ANYDIGIT", "NOTDIGIT", "ANYLETTER", "NOTLETTER", "ANYSPACE", "NOTSPACE",
    "BRACES", "COMMENT", "EXACTLY/CI", "ANYOF/CI", "ANYBUT/CI", "LOOPENTRY", "LOOP",
    "ANYOFTINYSET", "ANYBUTTINYSET", "ANYOFFULLSET", "BSUBEXP", "BSUBEXP/CI", "STARNG",
    "PLUSNG", "BRACESNG", "LOOPNG", "BOLML", "EOLML", "ANYML", "BOUND", "NOTBOUND",
};

std::string CharForDump(int ch)
{
    if (ch < 32)
        return "#" + std::to_string(ch);
    return std::string(1, static_cast<char>(ch));
}

}  // namespace

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
        if (possessive_[static_cast<std::size_t>(s)])
            result += " possessive";
        result += "\r\n";
    }
    if (prefixLength_ > 0)
        result += "start " + std::string(reinterpret_cast<const char*>(prog + prefixOffset_), prefixLength_) + " ";
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
