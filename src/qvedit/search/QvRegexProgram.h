// The layout of a compiled regular-expression program, shared by the compiler, the
// optimiser, the dump and the matcher. Private to the engine.
//
// Byte 0 is the check value; the first node starts at byte 1. Every node is an opcode
// byte, a 4-byte little-endian signed offset to the following node (relative to the
// node's first byte, 0 = none) and the operand:
//   EXACTLY, EXACTLY/CI        the literal characters and a zero byte
//   ANYOFTINYSET, ANYBUTTINYSET 3 characters, ascending, padded with the highest
//   ANYOFFULLSET               a 32-byte bit set
//   BSUBEXP, BSUBEXP/CI        the group number (1 byte)
//   BRACES, BRACESNG           minimum and maximum (4 bytes each), then the repeated node
//   LOOP, LOOPNG               minimum, maximum, offset back to the loop body (4 bytes each)
#pragma once

#include <cstdint>
#include <cstring>

namespace QvRegexProgram {

enum TOpcode : std::uint8_t {
    opEnd = 0,
    opBol = 1,
    opEol = 2,
    opAny = 3,
    opAnyOf = 4,
    opAnyBut = 5,
    opBranch = 6,
    opBack = 7,
    opExactly = 8,
    opNothing = 9,
    opStar = 10,
    opPlus = 11,
    opAnyDigit = 12,
    opNotDigit = 13,
    opAnyLetter = 14,
    opNotLetter = 15,
    opAnySpace = 16,
    opNotSpace = 17,
    opBraces = 18,
    opComment = 19,
    opExactlyCI = 20,
    opAnyOfCI = 21,
    opAnyButCI = 22,
    opLoopEntry = 23,
    opLoop = 24,
    opAnyOfTinySet = 25,
    opAnyButTinySet = 26,
    opAnyOfFullSet = 27,
    opBSubExp = 28,
    opBSubExpCI = 29,
    opStarNG = 30,
    opPlusNG = 31,
    opBracesNG = 32,
    opLoopNG = 33,
    opBolML = 34,
    opEolML = 35,
    opAnyML = 36,
    opBound = 37,
    opNotBound = 38,
    opOpen = 39,   // OPEN+n opens group n (1..14)
    opClose = 54,  // CLOSE+n closes group n
    opLast = 68,
};

constexpr std::uint8_t ProgramMagic = 216;
constexpr int NodeSize = 5;                 // opcode and next offset
constexpr int BracesHeaderSize = NodeSize + 8;
constexpr int LoopNodeSize = NodeSize + 12;
constexpr int TinySetSize = 3;
constexpr int FullSetSize = 32;
constexpr int MaxLoopStack = 10;
constexpr std::int32_t MaxBracesArg = 2147483646;  // '{n,}' and the non-greedy '*', '+'
constexpr std::int32_t MaxRepeat = 2147483647;     // STAR and PLUS

inline std::int32_t ReadInt(const std::uint8_t* p)
{
    const std::uint32_t v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                            (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

inline void WriteInt(std::uint8_t* p, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

// The node after `node`, or 0 when there is none.
inline int NextNode(const std::uint8_t* prog, int node)
{
    const std::int32_t offset = ReadInt(prog + node + 1);
    return offset == 0 ? 0 : node + offset;
}

inline int Operand(int node) { return node + NodeSize; }

inline bool FullSetHas(const std::uint8_t* bits, int ch) { return (bits[ch >> 3] >> (ch & 7)) & 1; }

inline bool IsOpen(int op) { return op > opOpen && op < opClose; }
inline bool IsClose(int op) { return op > opClose && op <= opLast; }

// The length of a node including its operand; the node a BRACES repeats is a node of its own.
inline int NodeLength(const std::uint8_t* prog, int node)
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

}  // namespace QvRegexProgram
