#include "qvedit/highlighters/QvHighlighterPerl.h"

using namespace QvPerl;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();

const char SampleSource[] =
    "#!/bin/perl\r\n"
    "require \"cgi-lib.pl\";\r\n"
    "use sigtrap;\r\n"
    "do 'envars.pl';\r\n"
    "$_ = $password1;\r\n"
    "sub WriteBack {\r\n"
    "        while ($_ ne \"fred\")    {\r\n"
    "                sleep 5;\r\n"
    "        }\r\n"
    "}";

// The character after "$" of a two-character punctuation or digit variable.
bool IsPunctuationVariableChar(unsigned c)
{
    return (c >= 33 && c <= 43) || (c >= 45 && c <= 64) || (c >= 91 && c <= 93) || c == '_' ||
           c == '`' || c == '|' || c == '~';
}

// The letter of a control-character variable ("$^W").
bool IsControlVariableLetter(unsigned c)
{
    switch (c) {
    case 'A': case 'D': case 'F': case 'I': case 'L': case 'P': case 'T': case 'W': case 'X':
        return true;
    default:
        return false;
    }
}

bool IsNumberChar(unsigned c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') ||
           c == '-' || c == '.' || c == 'X' || c == '_' || c == 'x';
}

bool IsLetterOrUnderscore(unsigned c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvPerlHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvPerlHighlighter::Info = {QVS_LangPerl, QVS_FilterPerl, SampleSource};

TQvPerlHighlighter::TQvPerlHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, 1, 0)
{
    commentAttri_ = CreateAttribute(QVS_AttrComment, fsItalic, {tkComment});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, {}, {tkIdentifier});
    invalidAttri_ = CreateAttribute(QVS_AttrIllegalChar, {}, {tkUnknown});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    numberAttri_ = CreateAttribute(QVS_AttrNumber, {}, {tkNumber});
    operatorAttri_ = CreateAttribute(QVS_AttrOperator, {}, {tkOperator});
    pragmaAttri_ = CreateAttribute(QVS_AttrPragma, fsBold, {tkPragma});
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    spaceAttri_->SetForeground(clWindow);
    stringAttri_ = CreateAttribute(QVS_AttrString, {}, {tkString});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol});
    variableAttri_ = CreateAttribute(QVS_AttrVariable, fsBold, {tkVariable});
    SetCodeRoleAttributes();
    FinishLanguage();
}

TQvIdentChars TQvPerlHighlighter::GetIdentChars() const
{
    TQvIdentChars chars = WordAndUpperLetterChars();
    chars.Include('$');
    chars.Include('%');
    chars.Include('@');
    return chars;
}

TQvPerlHighlighter::TProcTable TQvPerlHighlighter::MakeMethodTables()
{
    using H = TQvPerlHighlighter;
    TProcTable table = WordProcTable(&H::UnknownProc);
    for (char c : {'$', '%', '@'})
        table[static_cast<unsigned char>(c)] = &H::IdentProc;
    table['.'] = &H::NumberProc;
    table['#'] = &H::CommentProc;
    table['"'] = &H::StringInterpProc;
    table['\''] = &H::StringLiteralProc;
    table['!'] = &H::NotSymbolProc;
    table['^'] = &H::AssignmentSymbolProc;
    table['/'] = &H::AssignmentSymbolProc;
    table['='] = &H::EqualProc;
    table[':'] = &H::ColonProc;
    table['+'] = &H::PlusSymbolProc;
    table['-'] = &H::MinusSymbolProc;
    for (char c : {'&', '|', '*', '<', '>'})
        table[static_cast<unsigned char>(c)] = &H::DoubledSymbolProc;
    for (char c : {'(', ')', ',', ';', '?', '[', '\\', ']', '{', '}', '~'})
        table[static_cast<unsigned char>(c)] = &H::SymbolProc;
    return table;
}

void TQvPerlHighlighter::Next()
{
    tokenPos_ = run_;
    Dispatch();
}

// ---- Words and variables --------------------------------------------------------------

void TQvPerlHighlighter::IdentProc()
{
    const unsigned first = At(run_);
    const unsigned next = At(run_ + 1);
    if (first == '$') {
        if (next == '^' && IsControlVariableLetter(At(run_ + 2))) {
            tokenKind_ = tkVariable;
            run_ += 3;
            return;
        }
        if (next == '^' && AtLineEnd(run_ + 2)) {
            tokenKind_ = tkVariable;
            run_ += 2;
            return;
        }
        if (IsPunctuationVariableChar(next)) {
            tokenKind_ = tkVariable;
            run_ += 2;
            return;
        }
    } else if (first == '%' || first == 'x') {
        // The modulo and repetition operators.
        if (AtLineEnd(run_ + 1)) {
            SymbolOfLength(1);
            return;
        }
        if (next == '=') {
            SymbolOfLength(2);
            return;
        }
    }
    WordProc();
}

void TQvPerlHighlighter::WordProc()
{
    Integer wordLength = 0;
    tokenKind_ = Keywords().IdentKind(line_ + run_, wordLength);
    run_ += wordLength;
    while (IdentCharTable[At(run_)])
        ++run_;
}

// ---- Numbers --------------------------------------------------------------------------

void TQvPerlHighlighter::NumberProc()
{
    if (At(run_) == '.') {
        const unsigned next = At(run_ + 1);
        if (next == '.') {
            SymbolOfLength(At(run_ + 2) == '.' ? 3 : 2);
            return;
        }
        if (next == '=') {
            SymbolOfLength(2);
            return;
        }
        if (IsLetterOrUnderscore(next)) {
            SymbolOfLength(1);
            return;
        }
    }
    tokenKind_ = tkNumber;
    ++run_;
    while (IsNumberChar(At(run_))) {
        const unsigned c = At(run_);
        if (c == '.' && At(run_ + 1) == '.')
            break;
        // A '-' belongs to a number only as the sign of an exponent.
        if (c == '-' && !(run_ - 2 >= tokenPos_ && (At(run_ - 1) == 'e' || At(run_ - 1) == 'E') &&
                          At(run_ - 2) >= '0' && At(run_ - 2) <= '9'))
            break;
        ++run_;
    }
}

// ---- Comments and strings -------------------------------------------------------------

void TQvPerlHighlighter::CommentProc()
{
    tokenKind_ = tkComment;
    while (!AtLineEnd(run_))
        ++run_;
}

// True when the quote at `position` follows an odd run of backslashes. The first
// character of the line is never counted.
bool TQvPerlHighlighter::IsEscapedQuote(Integer position) const
{
    Integer count = 0;
    for (Integer i = position - 1; i >= 1 && At(i) == '\\'; --i)
        ++count;
    return count % 2 == 1;
}

void TQvPerlHighlighter::StringInterpProc()
{
    tokenKind_ = tkString;
    if (At(run_ + 1) == '"' && At(run_ + 2) == '"')
        run_ += 2;
    do {
        if (AtLineEnd(run_))
            break;
        if (At(run_) == '\\' && At(run_ + 1) == '"' && IsEscapedQuote(run_ + 1))
            ++run_;
        ++run_;
    } while (At(run_) != '"');
    if (At(run_) == '"')
        ++run_;
}

void TQvPerlHighlighter::StringLiteralProc()
{
    tokenKind_ = tkString;
    ++run_;
    while (!AtLineEnd(run_)) {
        const bool closing = At(run_) == '\'';
        ++run_;
        if (closing)
            return;
    }
}

// ---- Operators ------------------------------------------------------------------------

void TQvPerlHighlighter::NotSymbolProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '=' || next == '~' ? 2 : 1);
}

void TQvPerlHighlighter::EqualProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '=' || next == '>' || next == '~' ? 2 : 1);
}

void TQvPerlHighlighter::ColonProc()
{
    SymbolOfLength(At(run_ + 1) == ':' ? 2 : 1);
}

void TQvPerlHighlighter::DoubledSymbolProc()
{
    const unsigned c = At(run_);
    if (At(run_ + 1) == c)
        SymbolOfLength(At(run_ + 2) == '=' ? 3 : 2);
    else
        SymbolOfLength(At(run_ + 1) == '=' ? 2 : 1);
}
