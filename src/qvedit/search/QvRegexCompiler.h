// The regular-expression compiler: a recursive-descent parser that emits the program
// nodes of QvRegexProgram.h. Private to the engine.
#pragma once

#include "qvedit/search/QvRegex.h"
#include "qvedit/search/QvRegexProgram.h"

#include <cstdint>
#include <string>
#include <vector>

class TRegexCompiler {
public:
    // Flags an atom, a piece or a branch reports.
    enum : int {
        flagHasWidth = 1,  // cannot match the empty string
        flagSimple = 2,    // matches exactly one character
    };

    explicit TRegexCompiler(TRegex& owner);
    // Compiles the owner's expression into `program`. Errors are raised through the owner.
    void Run(std::vector<std::uint8_t>& program);

private:
    // Structure
    int ParseReg(bool paren, int& flags);
    int ParseBranch(int& flags);
    int ParsePiece(int& flags);
    bool ParseBraces(int& min, int& max);
    void EmitQuantifier(int operand, int atomFlags, char op, int min, int max, bool nonGreedy);

    // Atoms (QvRegexAtoms.cpp)
    int ParseAtom(int& flags);
    int ParseEscapeAtom(int& flags);
    int ParseGroupOrModifiers(int& flags);
    int ParseLiteralRun(int& flags);
    int ParseSet();
    unsigned char ParseEscapedChar(char c);
    unsigned char ParseHexCode();
    void AddRange(TSetOfREChar& set, unsigned char lo, unsigned char hi);
    int EmitSet(TSetOfREChar members, bool negated);

    // Emission
    int EmitNode(int op);
    void EmitByte(std::uint8_t b);
    void EmitInt(std::int32_t v);
    void InsertOperator(int op, int at, int extraBytes);
    void SetInt(int at, std::int32_t v);
    void Tail(int p, int val);
    void OpTail(int p, int val);

    // Input
    bool AtEnd() const { return pos_ >= static_cast<int>(expr_.size()); }
    char Peek(int ahead = 0) const;
    bool Extended() const { return (mods_ & rmX) != 0; }
    bool IgnoreCase() const { return (mods_ & rmI) != 0; }
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void SkipBlanksAndComments();
    bool AtQuantifier();
    [[noreturn]] void Fail(int code);

    TRegex& re_;
    const std::string& expr_;
    std::vector<std::uint8_t>* out_ = nullptr;
    int pos_ = 0;
    int mods_ = 0;
    int nextGroup_ = 1;
};
