#include "qvedit/highlighters/QvHighlighterPHP.h"

using namespace QvPHP;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();
constexpr TQvValueTable LetterValueTable = MakeLetterValueTable();

constexpr Integer KeywordSlotCount = 207;

constexpr TQvKeyword KeywordList[] = {
    {"and", tkKey},         {"array", tkKey},        {"break", tkKey},
    {"case", tkKey},        {"cfunction", tkKey},    {"class", tkKey},
    {"const", tkKey},       {"continue", tkKey},     {"default", tkKey},
    {"die", tkKey},         {"do", tkKey},           {"double", tkKey},
    {"echo", tkKey},        {"else", tkKey},         {"elseif", tkKey},
    {"empty", tkKey},       {"endfor", tkKey},       {"endif", tkKey},
    {"endswitch", tkKey},   {"endwhile", tkKey},     {"eval", tkKey},
    {"exit", tkKey},        {"extends", tkKey},      {"false", tkKey},
    {"float", tkKey},       {"for", tkKey},          {"function", tkKey},
    {"global", tkKey},      {"highlight_file", tkKey}, {"highlight_string", tkKey},
    {"if", tkKey},          {"include", tkKey},      {"int", tkKey},
    {"integer", tkKey},     {"isset", tkKey},        {"list", tkKey},
    {"new", tkKey},         {"object", tkKey},       {"old_function", tkKey},
    {"or", tkKey},          {"print", tkKey},        {"real", tkKey},
    {"require", tkKey},     {"return", tkKey},       {"show_source", tkKey},
    {"static", tkKey},      {"string", tkKey},       {"switch", tkKey},
    {"true", tkKey},        {"unset", tkKey},        {"var", tkKey},
    {"while", tkKey},       {"xor", tkKey},          {"__FILE__", tkKey},
    {"__LINE__", tkKey},
};

const char SampleSource[] =
    "// Syntax highlighting\r\n"
    "function printNumber()\r\n"
    "{\r\n"
    "  $number = 1234;\r\n"
    "  print \"The number is $number\";\r\n"
    "  for ($i = 0; $i <= $number; $i++)\r\n"
    "  {\r\n"
    "    $x++;\r\n"
    "    $x--;\r\n"
    "    $x += 1.0;\r\n"
    "  }\r\n"
    "  $number += @; // illegal character\r\n"
    "}";

// Characters a number token takes after its first digit.
bool IsNumberChar(unsigned c)
{
    switch (c) {
    case '-': case '.':
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9':
    case 'A': case 'B': case 'C': case 'D': case 'E': case 'F': case 'L': case 'X':
    case 'a': case 'b': case 'c': case 'd': case 'e': case 'f': case 'l': case 'x':
        return true;
    default:
        return false;
    }
}

// The characters that start a token able to change the range or end the line, outside
// strings and comments: quotes, '#', '/' and the NUL at the end. Every other token (words,
// numbers, variables, blanks, line ends, operators) takes none of these, so the range scan
// passes straight over them to the next one.
constexpr TQvCharTable RangeStartTable = MakeStopTable({'\'', '"', '#', '/'});

// Where the scan of a string's text stops: the line's end, the closing quote and, in a
// double-quoted string, a '$' that may start a variable expansion.
constexpr TQvCharTable String39Stops = MakeStopTable({'\n', '\r', '\''});
constexpr TQvCharTable String34Stops = MakeStopTable({'\n', '\r', '"', '$'});

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvPHPHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvPHPHighlighter::Info = {QVS_LangPHP, QVS_FilterPHP, SampleSource};

TQvPHPHighlighter::TQvPHPHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsVarExpansion + 1, rsUnKnown)
{
    commentAttri_ = CreateAttribute(QVS_AttrComment, fsItalic, {tkComment});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, {}, {tkIdentifier, tkUnknown});
    invalidSymbolAttri_ = CreateAttribute(QVS_AttrInvalidSymbol, {}, {tkInvalidSymbol});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    numberAttri_ = CreateAttribute(QVS_AttrNumber, {}, {tkNumber});
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    stringAttri_ = CreateAttribute(QVS_AttrString, {}, {tkString});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol});
    variableAttri_ = CreateAttribute(QVS_AttrVariable, {}, {tkVariable});
    SetCodeRoleAttributes();
    FinishLanguage();
}

const TQvKeywordTable& TQvPHPHighlighter::Keywords()
{
    static const TQvKeywordTable table(KeywordSlotCount,
                                       TQvKeywordHashing{IdentCharTable, LetterValueTable, true},
                                       KeywordList, tkIdentifier);
    return table;
}

TQvPHPHighlighter::TProcTable TQvPHPHighlighter::MakeMethodTables()
{
    TProcTable table = WordProcTable(&TQvPHPHighlighter::UnknownProc);
    table['$'] = &TQvPHPHighlighter::VariableProc;
    table['\''] = &TQvPHPHighlighter::String39Proc;
    table['"'] = &TQvPHPHighlighter::String34Proc;
    table['#'] = &TQvPHPHighlighter::PoundProc;
    table['/'] = &TQvPHPHighlighter::SlashProc;
    table['@'] = &TQvPHPHighlighter::AtSymbolProc;
    for (char c : {'!', '%', '*', '^'})
        table[static_cast<unsigned char>(c)] = &TQvPHPHighlighter::AssignmentSymbolProc;
    table['&'] = &TQvPHPHighlighter::AndSymbolProc;
    table['|'] = &TQvPHPHighlighter::OrSymbolProc;
    table['+'] = &TQvPHPHighlighter::PlusSymbolProc;
    table['-'] = &TQvPHPHighlighter::MinusSymbolProc;
    table['='] = &TQvPHPHighlighter::EqualOrGreaterSymbolProc;
    table['>'] = &TQvPHPHighlighter::EqualOrGreaterSymbolProc;
    table['<'] = &TQvPHPHighlighter::LessSymbolProc;
    for (char c : {'(', ')', '[', ']', '{', '}', ',', '.', ':', ';', '?', '~'})
        table[static_cast<unsigned char>(c)] = &TQvPHPHighlighter::SymbolProc;
    return table;
}

void TQvPHPHighlighter::Next()
{
    tokenPos_ = run_;
    switch (range_) {
    case rsString39:
    case rsString34:
        StringProc();
        break;
    case rsComment:
        AnsiCProc();
        break;
    case rsVarExpansion:
        VarExpansionProc();
        break;
    default:
        range_ = rsUnKnown;
        Dispatch();
        break;
    }
}

void TQvPHPHighlighter::DoScanLine(std::string_view NewValue, Integer LineNumber)
{
    StartLine(NewValue, LineNumber);
    do {
        if (range_ == rsUnKnown) {
            run_ = SkipTo(run_, RangeStartTable);
            tokenPos_ = run_;
            Dispatch();
        } else {
            TQvPHPHighlighter::Next();
        }
    } while (tokenKind_ != tkNull);
}

// ---- Words, numbers, variables --------------------------------------------------------

void TQvPHPHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    while (IsNumberChar(At(run_))) {
        if (At(run_) == '.' && At(run_ + 1) == '.')
            break;
        ++run_;
    }
}

void TQvPHPHighlighter::VariableProc()
{
    tokenKind_ = tkVariable;
    ++run_;
    SkipWord(run_);
}

void TQvPHPHighlighter::SkipWord(Integer& position) const
{
    while (IdentCharTable[At(position)])
        ++position;
}

// ---- Symbols --------------------------------------------------------------------------

void TQvPHPHighlighter::AtSymbolProc()
{
    tokenKind_ = tkInvalidSymbol;
    ++run_;
}

// ---- Comments -------------------------------------------------------------------------

void TQvPHPHighlighter::PoundProc()
{
    tokenKind_ = tkComment;
    ScanToLineEnd();
}

void TQvPHPHighlighter::SlashProc()
{
    SlashCommentProc(true, rsComment, rsUnKnown);
}

void TQvPHPHighlighter::AnsiCProc()
{
    switch (At(run_)) {
    case 0:
        NullProc();
        return;
    case '\n':
        LFProc();
        return;
    case '\r':
        CRProc();
        return;
    default:
        tokenKind_ = tkComment;
        ScanBlockCommentBody(rsUnKnown);
        return;
    }
}

// ---- Strings and variable expansion ---------------------------------------------------

void TQvPHPHighlighter::String39Proc()
{
    range_ = rsString39;
    ++run_;
    StringProc();
}

void TQvPHPHighlighter::String34Proc()
{
    range_ = rsString34;
    ++run_;
    StringProc();
}

// True when an odd run of backslashes stands right before `position`. The first
// character of the line is never counted.
bool TQvPHPHighlighter::IsEscaped(Integer position) const
{
    Integer count = 0;
    for (Integer i = position - 1; i >= 1 && At(i) == '\\'; --i)
        ++count;
    return count % 2 == 1;
}

void TQvPHPHighlighter::StringProc()
{
    if (AtLineEnd(run_) && tokenPos_ == run_) {
        // Nothing of the string on this line yet: the line end is its own token.
        Dispatch();
        return;
    }
    tokenKind_ = tkString;
    const unsigned quote = range_ == rsString39 ? '\'' : '"';
    const TQvCharTable& stops = range_ == rsString39 ? String39Stops : String34Stops;
    for (;;) {
        run_ = SkipTo(run_, stops);
        if (AtLineEnd(run_))
            break;
        const unsigned c = At(run_);
        if (c == quote && !IsEscaped(run_))
            break;
        if (range_ == rsString34 && c == '$' &&
            (At(run_ + 1) == '{' || IdentCharTable[At(run_ + 1)])) {
            if (run_ > 1 && run_ > tokenPos_ && At(run_ - 1) == '{')
                --run_;
            if (!IsEscaped(run_)) {
                range_ = rsVarExpansion;
                return;
            }
            run_ += At(run_) == '{' ? 2 : 1;
            continue;
        }
        ++run_;
    }
    if (At(run_) == quote)
        range_ = rsUnKnown;
    if (At(run_) != 0)
        ++run_;
}

// Takes a "{...}" expansion body after its opening two characters, up to and including
// the brace that closes it, counting nested braces; the line's end ends it too.
void TQvPHPHighlighter::SkipBracedExpansion()
{
    Integer depth = 1;
    while (At(run_) != 0) {
        const unsigned c = At(run_);
        ++run_;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return;
        }
    }
}

// After "$name": array keys ("['key']", "[word]") and member accesses ("->word"), each
// taken only when complete and with every bracket it opened closed.
void TQvPHPHighlighter::ScanExpansionSuffixes()
{
    Integer position = run_;
    Integer openBrackets = 0;
    for (;;) {
        if (At(position) == '[' && At(position + 1) == '\'') {
            Integer quote = position + 2;
            while (At(quote) != '\'' && At(quote) != 0)
                ++quote;
            if (At(quote) != '\'' || At(quote + 1) != ']')
                return;
            position = quote + 2;
            run_ = position;
            continue;
        }
        if (At(position) == '[' && IdentCharTable[At(position + 1)]) {
            ++openBrackets;
            ++position;
        } else if (At(position) == '-' && At(position + 1) == '>' &&
                   IdentCharTable[At(position + 2)]) {
            position += 2;
        } else {
            return;
        }
        SkipWord(position);
        while (openBrackets > 0 && At(position) == ']') {
            --openBrackets;
            ++position;
        }
        if (openBrackets == 0)
            run_ = position;
    }
}

void TQvPHPHighlighter::VarExpansionProc()
{
    range_ = rsString34;
    tokenKind_ = tkVariable;
    const unsigned first = At(run_);
    const unsigned second = first == 0 ? 0 : At(run_ + 1);
    if ((first == '{' && second == '$') || (first == '$' && second == '{')) {
        run_ += 2;
        SkipBracedExpansion();
    } else if (first == '$' && IdentCharTable[second]) {
        ++run_;
        SkipWord(run_);
        ScanExpansionSuffixes();
    }
}
