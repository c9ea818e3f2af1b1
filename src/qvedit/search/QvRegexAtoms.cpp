// Atoms of an expression: anchors, the dot, escapes, groups and inline modifiers, sets
// and literal runs.
#include "qvedit/search/QvRegexCompiler.h"

using namespace QvRegexProgram;

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsMetaChar(char c)
{
    switch (c) {
    case '^': case '$': case '.': case '[': case '(': case ')': case '|':
    case '?': case '+': case '*': case '\\': case '{':
        return true;
    default:
        return false;
    }
}

bool IsClassLetter(char c)
{
    return c == 'd' || c == 'D' || c == 's' || c == 'S' || c == 'w' || c == 'W';
}

bool IsQuantifierChar(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

void AddChars(TSetOfREChar& set, const std::string& chars)
{
    for (char c : chars)
        set.set(static_cast<unsigned char>(c));
}

// The Russian letters of code page 1251: 'а'-'я' plus 'ё', 'А'-'Я' plus 'Ё'.
constexpr unsigned char RusLowerFirst = 0xE0, RusLowerLast = 0xFF, RusLowerYo = 0xB8;
constexpr unsigned char RusUpperFirst = 0xC0, RusUpperLast = 0xDF, RusUpperYo = 0xA8;

}  // namespace

void TRegexCompiler::SkipBlanksAndComments()
{
    while (!AtEnd()) {
        const char c = Peek();
        if (IsBlank(c)) {
            ++pos_;
        } else if (c == '#') {
            while (!AtEnd() && Peek() != '\r' && Peek() != '\n')
                ++pos_;
            while (!AtEnd() && (Peek() == '\r' || Peek() == '\n'))
                ++pos_;
        } else {
            break;
        }
    }
}

int TRegexCompiler::ParseAtom(int& flags)
{
    flags = 0;
    if (AtEnd())
        Fail(reeInternalUrp);
    if (Extended() && (IsBlank(Peek()) || Peek() == '#')) {
        SkipBlanksAndComments();
        return EmitNode(opComment);
    }
    const bool lineMode = (mods_ & rmM) && (!re_.lineSeparators_.empty() || re_.pairAssigned_);
    switch (Peek()) {
    case '^':
        ++pos_;
        return EmitNode(lineMode ? opBolML : opBol);
    case '$':
        ++pos_;
        return EmitNode(lineMode ? opEolML : opEol);
    case '.':
        ++pos_;
        if (mods_ & rmS) {
            flags = flagHasWidth | flagSimple;
            return EmitNode(opAny);
        }
        flags = flagHasWidth;
        return EmitNode(opAnyML);
    case '[':
        ++pos_;
        flags = flagHasWidth | flagSimple;
        return ParseSet();
    case '(':
        ++pos_;
        return ParseGroupOrModifiers(flags);
    case '|':
    case ')':
        Fail(reeInternalUrp);
    case '?':
    case '+':
    case '*':
        Fail(reeQPSBFollowsNothing);
    case '\\':
        ++pos_;
        return ParseEscapeAtom(flags);
    default:
        return ParseLiteralRun(flags);
    }
}

int TRegexCompiler::ParseGroupOrModifiers(int& flags)
{
    if (AtEnd() || Peek() != '?') {
        int groupFlags = 0;
        const int ret = ParseReg(true, groupFlags);
        flags |= groupFlags & flagHasWidth;
        return ret;
    }
    ++pos_;
    if (!AtEnd() && Peek() == '#') {
        const std::size_t close = expr_.find(')', static_cast<std::size_t>(pos_));
        if (close == std::string::npos) {
            pos_ = static_cast<int>(expr_.size());
            Fail(reeUnclosedComment);
        }
        pos_ = static_cast<int>(close) + 1;
        return EmitNode(opComment);
    }
    const std::size_t close = expr_.find(')', static_cast<std::size_t>(pos_));
    if (close == std::string::npos) {
        pos_ = static_cast<int>(expr_.size());
        Fail(reeUnrecognizedModifier);
    }
    const std::string letters = expr_.substr(static_cast<std::size_t>(pos_), close - pos_);
    if (!TRegex::ParseModifiersStr(letters, mods_))
        Fail(reeUnrecognizedModifier);
    pos_ = static_cast<int>(close) + 1;
    return EmitNode(opComment);
}

int TRegexCompiler::ParseEscapeAtom(int& flags)
{
    if (AtEnd())
        Fail(reeTrailingBackSlash);
    const char c = expr_[pos_++];
    TSetOfREChar set;
    switch (c) {
    case 'w':
    case 'W':
        flags = flagHasWidth | flagSimple;
        AddChars(set, re_.wordChars_);
        return EmitSet(set, c == 'W');
    case 's':
    case 'S':
        flags = flagHasWidth | flagSimple;
        AddChars(set, re_.spaceChars_);
        return EmitSet(set, c == 'S');
    case 'd':
        flags = flagHasWidth | flagSimple;
        return EmitNode(opAnyDigit);
    case 'D':
        flags = flagHasWidth | flagSimple;
        return EmitNode(opNotDigit);
    case 'b':
        return EmitNode(opBound);
    case 'B':
        return EmitNode(opNotBound);
    case 'A':
        return EmitNode(opBol);
    case 'Z':
        return EmitNode(opEol);
    default:
        break;
    }
    if (c >= '1' && c <= '9') {
        flags = flagHasWidth | flagSimple;
        const int ret = EmitNode(IgnoreCase() ? opBSubExpCI : opBSubExp);
        EmitByte(static_cast<std::uint8_t>(c - '0'));
        return ret;
    }
    flags = flagHasWidth | flagSimple;
    const unsigned char ch = ParseEscapedChar(c);
    const int ret = EmitNode(IgnoreCase() ? opExactlyCI : opExactly);
    // A NUL has no place in a zero-terminated literal: it leaves the literal empty, and
    // the matcher lets an empty literal match nothing (the input never holds a NUL).
    if (ch != 0)
        EmitByte(ch);
    EmitByte(0);
    return ret;
}

// The character an escape stands for; `c` is the character after "\", already consumed.
unsigned char TRegexCompiler::ParseEscapedChar(char c)
{
    switch (c) {
    case 'a': return 7;
    case 'e': return 27;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'x': return ParseHexCode();
    default: return static_cast<unsigned char>(c);
    }
}

// '\xHH' (exactly two digits) or '\x{H...}' (at most 255), after the "x".
unsigned char TRegexCompiler::ParseHexCode()
{
    if (AtEnd())
        Fail(reeNoHexCodeAfterBSlashX);
    if (Peek() == '{') {
        ++pos_;
        int value = 0;
        for (;;) {
            if (AtEnd())
                Fail(reeNoHexCodeAfterBSlashX);
            const char c = Peek();
            if (c == '}') {
                ++pos_;
                return static_cast<unsigned char>(value);
            }
            const int digit = HexDigitValue(c);
            if (digit < 0)
                Fail(reeBadHexDigit);
            if (value > 15)
                Fail(reeHexCodeAfterBSlashXTooBig);
            value = value * 16 + digit;
            ++pos_;
        }
    }
    int value = 0;
    for (int i = 0; i < 2; ++i) {
        if (AtEnd())
            Fail(reeNoHexCodeAfterBSlashX);
        const int digit = HexDigitValue(Peek());
        if (digit < 0)
            Fail(reeBadHexDigit);
        value = value * 16 + digit;
        ++pos_;
    }
    return static_cast<unsigned char>(value);
}

// A run of ordinary characters. When more than one character is followed by a
// quantifier, the last one is left for an atom of its own so that the quantifier applies
// to it alone. With extended syntax blanks are dropped and "#" ends the run.
int TRegexCompiler::ParseLiteralRun(int& flags)
{
    std::string run;
    int lastCharPos = pos_;
    bool first = true;
    while (!AtEnd()) {
        const char c = Peek();
        if (Extended() && IsBlank(c)) {
            ++pos_;
            continue;
        }
        if (Extended() && c == '#')
            break;
        if (IsMetaChar(c) && !(first && c == '{'))
            break;
        lastCharPos = pos_;
        run.push_back(c);
        ++pos_;
        first = false;
    }
    if (run.size() > 1) {
        const int afterRun = pos_;
        if (Extended())
            SkipBlanksAndComments();
        const bool quantified = !AtEnd() && IsQuantifierChar(Peek());
        pos_ = afterRun;
        if (quantified) {
            run.pop_back();
            pos_ = lastCharPos;
        }
    }
    if (run.empty())
        Fail(reeRarseAtomInternalDisaster);
    flags = flagHasWidth | (run.size() == 1 ? flagSimple : 0);
    const int ret = EmitNode(IgnoreCase() ? opExactlyCI : opExactly);
    for (char c : run)
        EmitByte(static_cast<std::uint8_t>(c));
    EmitByte(0);
    return ret;
}

// A bracket expression, after the "[".
int TRegexCompiler::ParseSet()
{
    TSetOfREChar members;
    bool negated = false;
    if (!AtEnd() && Peek() == '^') {
        negated = true;
        ++pos_;
    }
    bool first = true;
    int rangeStart = -1;  // the member before, when it can start a range
    for (;;) {
        if (AtEnd())
            Fail(reeUnmatchedSqBrackets);
        const char c = Peek();
        if (c == ']' && !first) {
            ++pos_;
            break;
        }
        first = false;
        if (c == '-' && rangeStart >= 0 && pos_ + 1 < static_cast<int>(expr_.size()) &&
            Peek(1) != ']') {
            // A class escape cannot end a range: the "-" is then a member.
            const bool classEnd = Peek(1) == '\\' && IsClassLetter(Peek(2));
            if (!classEnd) {
                pos_ += 1;
                unsigned char hi;
                if (Peek() == '\\') {
                    ++pos_;
                    if (AtEnd())
                        Fail(reeParseAtomTrailingBackSlash);
                    hi = ParseEscapedChar(expr_[pos_++]);
                } else {
                    hi = static_cast<unsigned char>(expr_[pos_++]);
                }
                AddRange(members, static_cast<unsigned char>(rangeStart), hi);
                rangeStart = -1;
                continue;
            }
        }
        if (c == '\\') {
            ++pos_;
            if (AtEnd())
                Fail(reeParseAtomTrailingBackSlash);
            const char e = expr_[pos_++];
            if (e == 'd') {
                AddChars(members, "0123456789");
                rangeStart = -1;
            } else if (e == 's') {
                AddChars(members, re_.spaceChars_);
                rangeStart = -1;
            } else if (e == 'w') {
                AddChars(members, re_.wordChars_);
                rangeStart = -1;
            } else {
                const unsigned char ch = ParseEscapedChar(e);
                members.set(ch);
                rangeStart = ch;
            }
            continue;
        }
        ++pos_;
        members.set(static_cast<unsigned char>(c));
        rangeStart = static_cast<unsigned char>(c);
    }
    if (IgnoreCase()) {
        const TSetOfREChar plain = members;
        for (int ch = 0; ch < 256; ++ch)
            if (plain.test(ch))
                members.set(re_.invertTable_[ch]);
    }
    return EmitSet(members, negated);
}

void TRegexCompiler::AddRange(TSetOfREChar& set, unsigned char lo, unsigned char hi)
{
    if (mods_ & rmR) {
        const bool lower = lo == RusLowerFirst && hi == RusLowerLast;
        const bool upper = lo == RusUpperFirst && hi == RusUpperLast;
        const bool both = lo == RusLowerFirst && hi == RusUpperLast;
        if (lower || both) {
            for (int ch = RusLowerFirst; ch <= RusLowerLast; ++ch)
                set.set(ch);
            set.set(RusLowerYo);
        }
        if (upper || both) {
            for (int ch = RusUpperFirst; ch <= RusUpperLast; ++ch)
                set.set(ch);
            set.set(RusUpperYo);
        }
        if (lower || upper || both)
            return;
    }
    if (lo > hi)
        Fail(reeInvalidRange);
    for (int ch = lo; ch <= hi; ++ch)
        set.set(ch);
}

// The smallest node for a set: up to three members listed, otherwise a 256-bit set (a
// negated one stored as its complement).
int TRegexCompiler::EmitSet(TSetOfREChar members, bool negated)
{
    const std::size_t count = members.count();
    if (count >= 1 && count <= TinySetSize) {
        const int ret = EmitNode(negated ? opAnyButTinySet : opAnyOfTinySet);
        std::uint8_t chars[TinySetSize];
        int n = 0;
        for (int ch = 0; ch < 256; ++ch)
            if (members.test(ch))
                chars[n++] = static_cast<std::uint8_t>(ch);
        for (int i = n; i < TinySetSize; ++i)
            chars[i] = chars[n - 1];
        for (std::uint8_t ch : chars)
            EmitByte(ch);
        return ret;
    }
    if (negated)
        members.flip();
    const int ret = EmitNode(opAnyOfFullSet);
    for (int byte = 0; byte < FullSetSize; ++byte) {
        std::uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (members.test(byte * 8 + bit))
                bits |= static_cast<std::uint8_t>(1u << bit);
        EmitByte(bits);
    }
    return ret;
}
