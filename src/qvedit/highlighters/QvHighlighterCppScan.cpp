// The scanning operations of the C++ highlighter: operators, numbers, literals,
// comments and preprocessor lines.

#include "qvedit/highlighters/QvHighlighterCpp.h"

using namespace QvCpp;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(unsigned c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsLetterOrUnderscore(unsigned c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Either case of the capital `upper`.
bool IsLetter(unsigned c, unsigned upper)
{
    return c == upper || c == upper + ('a' - 'A');
}

// The characters a number examines after its first one.
bool IsNumberChar(unsigned c)
{
    return IsHexDigit(c) || c == '+' || c == '-' || c == '.' || IsLetter(c, 'L') ||
           IsLetter(c, 'U') || IsLetter(c, 'X');
}

// What the number scanner does with the character it examines.
enum class TNumberStep {
    Take,        // takes it and goes on
    TakeAndEnd,  // takes it; the token ends
    Stop,        // the token ends before it; the character there is checked
    End,         // the token ends before it as it is
};

}  // namespace

// ---- Operators ------------------------------------------------------------------------

void TQvCppHighlighter::Operator(Integer length, TxtkTokenKind id)
{
    tokenKind_ = tkSymbol;
    extTokenID_ = id;
    run_ += length;
}

void TQvCppHighlighter::PlusProc()
{
    switch (At(run_ + 1)) {
    case '+': Operator(2, xtkIncrement); break;
    case '=': Operator(2, xtkAddAssign); break;
    default: Operator(1, xtkAdd); break;
    }
}

void TQvCppHighlighter::MinusProc()
{
    switch (At(run_ + 1)) {
    case '-': Operator(2, xtkDecrement); break;
    case '=': Operator(2, xtkSubtractAssign); break;
    case '>': Operator(2, xtkArrow); break;
    default: Operator(1, xtkSubtract); break;
    }
}

void TQvCppHighlighter::StarProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkMultiplyAssign);
    else
        Operator(1, xtkStar);
}

void TQvCppHighlighter::ModSymbolProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkModAssign);
    else
        Operator(1, xtkMod);
}

void TQvCppHighlighter::AndSymbolProc()
{
    switch (At(run_ + 1)) {
    case '&': Operator(2, xtkLogAnd); break;
    case '=': Operator(2, xtkAndAssign); break;
    default: Operator(1, xtkAnd); break;
    }
}

void TQvCppHighlighter::OrSymbolProc()
{
    switch (At(run_ + 1)) {
    case '=': Operator(2, xtkIncOrAssign); break;
    case '|': Operator(2, xtkLogOr); break;
    default: Operator(1, xtkIncOr); break;
    }
}

void TQvCppHighlighter::XOrSymbolProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkXorAssign);
    else
        Operator(1, xtkXor);
}

void TQvCppHighlighter::NotSymbolProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkNotEqual);
    else
        Operator(1, xtkLogComplement);
}

void TQvCppHighlighter::EqualProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkLogEqual);
    else
        Operator(1, xtkAssign);
}

void TQvCppHighlighter::LowerProc()
{
    if (At(run_ + 1) == '<' && At(run_ + 2) == '=')
        Operator(3, xtkShiftLeftAssign);
    else if (At(run_ + 1) == '<')
        Operator(2, xtkShiftLeft);
    else if (At(run_ + 1) == '=')
        Operator(2, xtkLessThanEqual);
    else
        Operator(1, xtkLessThan);
}

void TQvCppHighlighter::GreaterProc()
{
    if (At(run_ + 1) == '=')
        Operator(2, xtkGreaterThanEqual);
    else if (At(run_ + 1) == '>' && At(run_ + 2) == '=')
        Operator(3, xtkShiftRightAssign);
    else if (At(run_ + 1) == '>')
        Operator(2, xtkShiftRight);
    else
        Operator(1, xtkGreaterThan);
}

void TQvCppHighlighter::ColonProc()
{
    if (At(run_ + 1) == ':')
        Operator(2, xtkScopeResolution);
    else
        Operator(1, xtkColon);
}

void TQvCppHighlighter::PointProc()
{
    if (At(run_ + 1) == '.' && At(run_ + 2) == '.') {
        Operator(3, xtkEllipse);
    } else if (IsDigit(At(run_ + 1))) {
        // The "." is examined as the decimal point of a number whose first character
        // is the one before it.
        ScanNumber(run_ - 1);
    } else {
        Operator(1, xtkPoint);
    }
}

void TQvCppHighlighter::CommaProc() { Operator(1, xtkComma); }
void TQvCppHighlighter::SemiColonProc() { Operator(1, xtkSemiColon); }
void TQvCppHighlighter::QuestionProc() { Operator(1, xtkQuestion); }
void TQvCppHighlighter::TildeProc() { Operator(1, xtkBitComplement); }
void TQvCppHighlighter::RoundOpenProc() { Operator(1, xtkRoundOpen); }
void TQvCppHighlighter::RoundCloseProc() { Operator(1, xtkRoundClose); }
void TQvCppHighlighter::SquareOpenProc() { Operator(1, xtkSquareOpen); }
void TQvCppHighlighter::SquareCloseProc() { Operator(1, xtkSquareClose); }
void TQvCppHighlighter::BraceOpenProc() { Operator(1, xtkBraceOpen); }
void TQvCppHighlighter::BraceCloseProc() { Operator(1, xtkBraceClose); }

void TQvCppHighlighter::AtSymbolProc()
{
    tokenKind_ = tkUnknown;
    ++run_;
}

// ---- Numbers --------------------------------------------------------------------------

void TQvCppHighlighter::NumberProc()
{
    ++run_;
    ScanNumber(run_ - 1);
}

// True when a character equal to `upper` in either case stands in [from, to].
bool TQvCppHighlighter::OccursBetween(Integer from, Integer to, unsigned upper) const
{
    for (Integer i = from < 0 ? 0 : from; i <= to; ++i)
        if (IsLetter(At(i), upper))
            return true;
    return false;
}

// Scans the rest of a number whose first character is at `first` (-1 when it would
// stand before the line), from the position on.
void TQvCppHighlighter::ScanNumber(Integer first)
{
    tokenKind_ = tkNumber;
    const unsigned start = CharAt(first);
    auto examine = [&](unsigned c) -> TNumberStep {
        const unsigned before = CharAt(run_ - 1);
        const unsigned after = At(run_ + 1);
        const bool second = run_ == first + 1;
        const bool isFloat = tokenKind_ == tkFloat;
        const bool isHex = tokenKind_ == tkHex;
        if (c == '.') {
            if (after == '.')
                return TNumberStep::Stop;
            if (isHex) {
                tokenKind_ = tkUnknown;
                return TNumberStep::End;
            }
            tokenKind_ = tkFloat;
            return TNumberStep::Take;
        }
        if (c == '+' || c == '-') {
            if (!isFloat || !IsLetter(before, 'E'))
                return TNumberStep::End;
            if (!IsDigit(after) && after != '+' && after != '-') {
                tokenKind_ = tkUnknown;
                return TNumberStep::TakeAndEnd;
            }
            return TNumberStep::Take;
        }
        if (c >= '0' && c <= '7') {
            if (second && start == '0')
                tokenKind_ = tkOctal;
            return TNumberStep::Take;
        }
        if (c == '8' || c == '9') {
            if (start == '0' && !isHex && !isFloat)
                tokenKind_ = tkUnknown;
            return TNumberStep::Take;
        }
        if (IsLetter(c, 'E')) {
            if (isHex)
                return TNumberStep::Take;
            if (!IsDigit(before))
                return TNumberStep::Stop;
            if (OccursBetween(first, run_ - 1, 'E')) {
                tokenKind_ = tkUnknown;
                return TNumberStep::End;
            }
            if (!IsDigit(after) && after != '+' && after != '-')
                return TNumberStep::Stop;
            tokenKind_ = tkFloat;
            return TNumberStep::Take;
        }
        if (IsLetter(c, 'F')) {
            if (isHex)
                return TNumberStep::Take;
            if (OccursBetween(first, run_ - 1, 'F')) {
                tokenKind_ = tkUnknown;
                return TNumberStep::End;
            }
            if (isFloat && IsLetter(before, 'L'))
                return TNumberStep::Stop;
            tokenKind_ = tkFloat;
            return TNumberStep::Take;
        }
        if (IsHexDigit(c))  // the letters A to D in either case
            return isHex ? TNumberStep::Take : TNumberStep::Stop;
        if (IsLetter(c, 'L')) {
            if (OccursBetween(first, run_ - 1, 'L')) {
                tokenKind_ = tkUnknown;
                return TNumberStep::End;
            }
            if (isFloat && IsLetter(before, 'F'))
                return TNumberStep::Stop;
            return TNumberStep::Take;
        }
        if (IsLetter(c, 'U')) {
            if (isFloat)
                return TNumberStep::Stop;
            if (OccursBetween(first, run_ - 1, 'U')) {
                tokenKind_ = tkUnknown;
                return TNumberStep::End;
            }
            return TNumberStep::Take;
        }
        // "X" or "x".
        if (second && start == '0' && IsHexDigit(after)) {
            tokenKind_ = tkHex;
            return TNumberStep::Take;
        }
        if (!IdentCharTable[after] && IsLetter(CharAt(first + 1), 'X')) {
            ++run_;
            tokenKind_ = tkUnknown;
        }
        return TNumberStep::Stop;
    };

    while (IsNumberChar(At(run_))) {
        switch (examine(At(run_))) {
        case TNumberStep::Take:
            ++run_;
            continue;
        case TNumberStep::TakeAndEnd:
            ++run_;
            return;
        case TNumberStep::End:
            return;
        case TNumberStep::Stop:
            break;
        }
        break;
    }
    // A letter right after the number makes it invalid.
    if (IsLetterOrUnderscore(At(run_)))
        tokenKind_ = tkUnknown;
}

// ---- Character and string literals ----------------------------------------------------

void TQvCppHighlighter::AsciiCharProc()
{
    tokenKind_ = tkChar;
    ++run_;
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        if (c == '\\' && (At(run_ + 1) == '\'' || At(run_ + 1) == '\\')) {
            run_ += 2;
            continue;
        }
        ++run_;
        if (c == '\'')
            return;
    }
}

void TQvCppHighlighter::StringProc()
{
    tokenKind_ = tkString;
    ++run_;
    ScanStringBody();
}

void TQvCppHighlighter::StringEndProc()
{
    if (DispatchLineEnd())
        return;
    tokenKind_ = tkString;
    range_ = rsUnknown;
    ScanStringBody();
}

// Takes string characters up to and including the closing quote, or to the line end; a
// backslash ending the line continues the string on the next.
void TQvCppHighlighter::ScanStringBody()
{
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        if (c == '\\') {
            if (At(run_ + 1) == '"' || At(run_ + 1) == '\\') {
                run_ += 2;
                continue;
            }
            if (AtLineEnd(run_ + 1)) {
                ++run_;
                range_ = rsMultiLineString;
                return;
            }
        }
        ++run_;
        if (c == '"')
            return;
    }
}

// ---- Comments -------------------------------------------------------------------------

void TQvCppHighlighter::SlashProc()
{
    switch (At(run_ + 1)) {
    case '*':
        tokenKind_ = tkComment;
        range_ = rsAnsiC;
        run_ += 2;
        while (At(run_) != 0) {
            if (At(run_) == '*' && At(run_ + 1) == '/') {
                run_ += 2;
                range_ = rsUnknown;
                return;
            }
            ++run_;
        }
        break;
    case '/':
        tokenKind_ = tkComment;
        ScanToLineEnd();
        break;
    case '=':
        Operator(2, xtkDivideAssign);
        break;
    default:
        Operator(1, xtkDivide);
        break;
    }
}

void TQvCppHighlighter::AnsiCProc()
{
    if (DispatchLineEnd())
        return;
    tokenKind_ = tkComment;
    while (At(run_) != 0) {
        if (At(run_) == '*' && At(run_ + 1) == '/') {
            run_ += 2;
            switch (range_) {
            case rsAnsiCAsm: range_ = rsAsm; break;
            case rsAnsiCAsmBlock: range_ = rsAsmBlock; break;
            case rsDirectiveComment:
                range_ = AtLineEnd(run_) ? rsUnknown : rsMultiLineDirective;
                break;
            default: range_ = rsUnknown; break;
            }
            return;
        }
        ++run_;
    }
}

// ---- Preprocessor lines ---------------------------------------------------------------

void TQvCppHighlighter::DirectiveProc()
{
    for (Integer i = 0; i < run_; ++i) {
        if (At(i) > 32) {
            // Text before the "#": not a preprocessor line.
            tokenKind_ = tkUnknown;
            ++run_;
            return;
        }
    }
    tokenKind_ = tkDirective;
    ++run_;
    ScanDirectiveBody();
}

void TQvCppHighlighter::DirectiveEndProc()
{
    if (DispatchLineEnd())
        return;
    tokenKind_ = tkDirective;
    range_ = rsUnknown;
    ScanDirectiveBody();
}

// Takes directive characters to the line end, stopping before a comment (a block comment
// continues the directive after it) and after a backslash that ends the line.
void TQvCppHighlighter::ScanDirectiveBody()
{
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        if (c == '/' && At(run_ + 1) == '/')
            return;
        if (c == '/' && At(run_ + 1) == '*') {
            range_ = rsDirectiveComment;
            return;
        }
        ++run_;
        if (c == '\\' && AtLineEnd(run_)) {
            range_ = rsMultiLineDirective;
            return;
        }
    }
}
