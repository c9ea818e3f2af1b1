// The structure of an expression: alternatives, sequences and quantified pieces, and the
// emission of program nodes.
#include "qvedit/search/QvRegexCompiler.h"

using namespace QvRegexProgram;

TRegexCompiler::TRegexCompiler(TRegex& owner) : re_(owner), expr_(owner.expression_) {}

void TRegexCompiler::Run(std::vector<std::uint8_t>& program)
{
    program.clear();
    out_ = &program;
    pos_ = 0;
    mods_ = re_.modifiers_;
    nextGroup_ = 1;
    EmitByte(ProgramMagic);
    int flags = 0;
    ParseReg(false, flags);
    re_.groupCount_ = nextGroup_;
}

char TRegexCompiler::Peek(int ahead) const
{
    const std::size_t at = static_cast<std::size_t>(pos_ + ahead);
    return at < expr_.size() ? expr_[at] : '\0';
}

void TRegexCompiler::Fail(int code)
{
    re_.compilerErrorPos_ = pos_;
    re_.Error(code);
    throw ERegex(re_.ErrorMsg(code), code, pos_);  // only if an override of Error returns
}

// ---- Structure --------------------------------------------------------------------------

// An expression or a parenthesised group: branches separated by "|".
int TRegexCompiler::ParseReg(bool paren, int& flags)
{
    const int savedMods = mods_;
    flags = flagHasWidth;
    int ret = 0;
    int group = 0;
    if (paren) {
        if (nextGroup_ >= TRegex::NSUBEXP)
            Fail(reeCompParseRegTooManyBrackets);
        group = nextGroup_++;
        ret = EmitNode(opOpen + group);
    }

    // The chain of branches grows at its last node, kept here, so that a long chain of
    // alternatives compiles in linear time.
    int branchFlags = 0;
    int last = ParseBranch(branchFlags);
    if (ret != 0)
        Tail(ret, last);
    else
        ret = last;
    if (!(branchFlags & flagHasWidth))
        flags &= ~flagHasWidth;
    while (!AtEnd() && Peek() == '|') {
        ++pos_;
        const int br = ParseBranch(branchFlags);
        Tail(last, br);
        last = br;
        if (!(branchFlags & flagHasWidth))
            flags &= ~flagHasWidth;
        }

    const int ender = EmitNode(paren ? opClose + group : opEnd);
    Tail(last, ender);
    for (int br2 = ret; br2 != 0; br2 = NextNode(out_->data(), br2))
        OpTail(br2, ender);

    if (paren) {
        if (AtEnd() || Peek() != ')')
            Fail(reeCompParseRegUnmatchedBrackets);
        ++pos_;
    } else if (!AtEnd()) {
        Fail(Peek() == ')' ? reeCompParseRegUnmatchedBrackets2 : reeCompParseRegJunkOnEnd);
    }
    mods_ = savedMods;
    return ret;
}

// One alternative: a BRANCH node followed by its pieces (NOTHING when there are none).
int TRegexCompiler::ParseBranch(int& flags)
{
    flags = 0;
    const int ret = EmitNode(opBranch);
    int chain = 0;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
        int pieceFlags = 0;
        const int latest = ParsePiece(pieceFlags);
        flags |= pieceFlags & flagHasWidth;
        if (chain != 0)
            Tail(chain, latest);
        chain = latest;
    }
    if (chain == 0)
        EmitNode(opNothing);
    return ret;
}

// With extended syntax, blanks and comments between an atom and its quantifier do not
// separate them: 'a *' repeats the a.
bool TRegexCompiler::AtQuantifier()
{
    if (Extended())
        SkipBlanksAndComments();
    if (AtEnd())
        return false;
    const char c = Peek();
    return c == '*' || c == '+' || c == '?' || c == '{';
}

// An atom and its quantifier.
int TRegexCompiler::ParsePiece(int& flags)
{
    int atomFlags = 0;
    const int ret = ParseAtom(atomFlags);
    if (!AtQuantifier()) {
        flags = atomFlags;
        return ret;
    }
    const char op = Peek();
    if (!(atomFlags & flagHasWidth) && op != '?')
        Fail(reePlusStarOperandCouldBeEmpty);

    int min = 0;
    int max = MaxBracesArg;
    switch (op) {
    case '*':
        ++pos_;
        flags = 0;
        break;
    case '+':
        ++pos_;
        min = 1;
        flags = flagHasWidth;
        break;
    case '?':
        ++pos_;
        max = 1;
        flags = 0;
        break;
    default:  // '{': an ordinary character unless it forms a quantifier
        if (!ParseBraces(min, max)) {
            flags = atomFlags;
            return ret;
        }
        flags = max > 0 ? flagHasWidth : 0;
        break;
    }
    bool nonGreedy = false;
    if (!AtEnd() && Peek() == '?') {
        nonGreedy = true;
        ++pos_;
    }
    if (!(mods_ & rmG))
        nonGreedy = true;
    EmitQuantifier(ret, atomFlags, op, min, max, nonGreedy);

    if (AtQuantifier()) {
        const int save = pos_;
        int min2 = 0;
        int max2 = 0;
        if (Peek() != '{' || ParseBraces(min2, max2)) {
            pos_ = save;
            Fail(reeNestedSQP);
        }
        pos_ = save;  // a '{' that forms no quantifier starts the next literal
    }
    return ret;
}

// '{n}', '{n,}' or '{n,m}' at the parse position. Returns false, consuming nothing, when
// the text forms no quantifier.
bool TRegexCompiler::ParseBraces(int& min, int& max)
{
    const int start = pos_;
    int p = pos_ + 1;
    auto digitsAt = [&](int from) {
        int q = from;
        while (q < static_cast<int>(expr_.size()) && expr_[q] >= '0' && expr_[q] <= '9')
            ++q;
        return q - from;
    };
    const int minDigits = digitsAt(p);
    if (minDigits == 0)
        return false;
    const int minStart = p;
    p += minDigits;
    int maxStart = -1;
    int maxDigits = 0;
    bool comma = false;
    if (p < static_cast<int>(expr_.size()) && expr_[p] == ',') {
        comma = true;
        ++p;
        maxStart = p;
        maxDigits = digitsAt(p);
        p += maxDigits;
    }
    if (p >= static_cast<int>(expr_.size()) || expr_[p] != '}')
        return false;
    pos_ = p + 1;
    if (minDigits > 8 || maxDigits > 8) {
        pos_ = start + 1 + minDigits + (comma ? 1 : 0) + maxDigits;
        Fail(reeBRACESArgTooBig);
    }
    min = std::stoi(expr_.substr(minStart, minDigits));
    if (!comma)
        max = min;
    else if (maxDigits == 0)
        max = MaxBracesArg;
    else
        max = std::stoi(expr_.substr(maxStart, maxDigits));
    if (min > max)
        Fail(reeBracesMinParamGreaterMax);
    return true;
}

void TRegexCompiler::EmitQuantifier(int operand, int atomFlags, char op, int min, int max,
                                    bool nonGreedy)
{
    if (op == '?' && !nonGreedy) {
        // Either the operand or nothing.
        InsertOperator(opBranch, operand, 0);
        Tail(operand, EmitNode(opBranch));
        const int nothing = EmitNode(opNothing);
        Tail(operand, nothing);
        OpTail(operand, nothing);
        return;
    }
    if (atomFlags & flagSimple) {
        if (op == '*')
            InsertOperator(nonGreedy ? opStarNG : opStar, operand, 0);
        else if (op == '+')
            InsertOperator(nonGreedy ? opPlusNG : opPlus, operand, 0);
        else {
            InsertOperator(nonGreedy ? opBracesNG : opBraces, operand, 8);
            SetInt(operand + NodeSize, min);
            SetInt(operand + NodeSize + 4, max);
        }
        return;
    }
    if (!nonGreedy && op == '*') {
        // Either the operand and back to this choice, or nothing.
        InsertOperator(opBranch, operand, 0);
        OpTail(operand, EmitNode(opBack));
        OpTail(operand, operand);
        Tail(operand, EmitNode(opBranch));
        Tail(operand, EmitNode(opNothing));
        return;
    }
    if (!nonGreedy && op == '+') {
        // The operand, then either back to it or nothing.
        const int next = EmitNode(opBranch);
        Tail(operand, next);
        Tail(EmitNode(opBack), operand);
        Tail(next, EmitNode(opBranch));
        Tail(operand, EmitNode(opNothing));
        return;
    }
    // A counted loop: LOOPENTRY in front of the body, LOOP behind it.
    InsertOperator(opLoopEntry, operand, 0);
    const int body = operand + NodeSize;
    const int loop = EmitNode(nonGreedy ? opLoopNG : opLoop);
    EmitInt(min);
    EmitInt(max);
    EmitInt(body - loop);
    Tail(operand, loop);
    Tail(body, loop);
}

// ---- Emission ---------------------------------------------------------------------------

int TRegexCompiler::EmitNode(int op)
{
    const int at = static_cast<int>(out_->size());
    out_->push_back(static_cast<std::uint8_t>(op));
    out_->insert(out_->end(), 4, 0);
    return at;
}

void TRegexCompiler::EmitByte(std::uint8_t b) { out_->push_back(b); }

void TRegexCompiler::EmitInt(std::int32_t v)
{
    const std::size_t at = out_->size();
    out_->insert(out_->end(), 4, 0);
    WriteInt(out_->data() + at, v);
}

void TRegexCompiler::SetInt(int at, std::int32_t v) { WriteInt(out_->data() + at, v); }

// Makes room for a node in front of the operand that starts at `at` (the operand is the
// last thing emitted, so nothing points into it from outside).
void TRegexCompiler::InsertOperator(int op, int at, int extraBytes)
{
    std::uint8_t node[NodeSize + 8] = {static_cast<std::uint8_t>(op)};
    out_->insert(out_->begin() + at, node, node + NodeSize + extraBytes);
}

// Sets the next offset of the last node of the chain that starts at p.
void TRegexCompiler::Tail(int p, int val)
{
    const std::uint8_t* prog = out_->data();
    int scan = p;
    for (int next = NextNode(prog, scan); next != 0; next = NextNode(prog, scan))
        scan = next;
    SetInt(scan + 1, val - scan);
}

// Tail on the operand chain of a BRANCH node; nothing for other nodes.
void TRegexCompiler::OpTail(int p, int val)
{
    if ((*out_)[p] != opBranch)
        return;
    Tail(Operand(p), val);
}
