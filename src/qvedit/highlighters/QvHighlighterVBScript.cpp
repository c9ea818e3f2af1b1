#include "qvedit/highlighters/QvHighlighterVBScript.h"

#include "platform/runtime/CodePages.h"

using namespace QvVBScript;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();
constexpr TQvValueTable LetterValueTable = MakeLetterValueTable();

constexpr Integer KeywordSlotCount = 134;

constexpr TQvKeyword KeywordList[] = {
    {"And", tkKey}, {"As", tkKey}, {"Boolean", tkKey}, {"ByRef", tkKey}, {"Byte", tkKey},
    {"ByVal", tkKey}, {"Call", tkKey}, {"Case", tkKey}, {"Class", tkKey}, {"Const", tkKey},
    {"Currency", tkKey}, {"Debug", tkKey}, {"Dim", tkKey}, {"Do", tkKey}, {"Double", tkKey},
    {"Each", tkKey}, {"Else", tkKey}, {"ElseIf", tkKey}, {"Empty", tkKey}, {"End", tkKey},
    {"EndIf", tkKey}, {"Enum", tkKey}, {"Eqv", tkKey}, {"Erase", tkKey}, {"Error", tkKey},
    {"Event", tkKey}, {"Exit", tkKey}, {"Explicit", tkKey}, {"False", tkKey},
    {"For", tkKey}, {"Function", tkKey}, {"Get", tkKey}, {"GoTo", tkKey}, {"If", tkKey},
    {"Imp", tkKey}, {"Implements", tkKey}, {"In", tkKey}, {"Integer", tkKey}, {"Is", tkKey},
    {"Let", tkKey}, {"Like", tkKey}, {"Long", tkKey}, {"Loop", tkKey}, {"LSet", tkKey},
    {"Me", tkKey}, {"Mod", tkKey}, {"New", tkKey}, {"Next", tkKey}, {"Not", tkKey},
    {"Nothing", tkKey}, {"Null", tkKey}, {"On", tkKey}, {"Option", tkKey},
    {"Optional", tkKey}, {"Or", tkKey}, {"ParamArray", tkKey}, {"Preserve", tkKey},
    {"Private", tkKey}, {"property", tkKey}, {"Public", tkKey}, {"RaiseEvent", tkKey},
    {"Randomize", tkKey}, {"ReDim", tkKey}, {"Rem", tkKey}, {"Resume", tkKey},
    {"RSet", tkKey}, {"Select", tkKey}, {"Set", tkKey}, {"Shared", tkKey},
    {"Single", tkKey}, {"Static", tkKey}, {"Stop", tkKey}, {"Sub", tkKey}, {"Then", tkKey},
    {"To", tkKey}, {"True", tkKey}, {"Type", tkKey}, {"TypeOf", tkKey}, {"Until", tkKey},
    {"Variant", tkKey}, {"Wend", tkKey}, {"While", tkKey}, {"With", tkKey}, {"Xor", tkKey},
};

const char SampleSource[] =
    "' Syntax highlighting\r\n"
    "function printNumber()\r\n"
    "  number = 12345\r\n"
    "  document.write(\"The number is \" + number)\r\n"
    "  for i = 0 to 10\r\n"
    "    x = x + 1.0\r\n"
    "  next\r\n"
    "end function";

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvVBScriptHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvVBScriptHighlighter::Info = {
    QVS_LangVBSScript, QVS_FilterVBScript, SampleSource};

// Characters of no token show as identifiers, so the shared operations' unknown kind is
// the identifier kind.
TQvVBScriptHighlighter::TQvVBScriptHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkIdentifier, tkSymbol}, 1, 0)
{
    CreateCodeAttributes(QVS_AttrReservedWord);
    FinishLanguage();
}

const TQvKeywordTable& TQvVBScriptHighlighter::Keywords()
{
    static const TQvKeywordTable table(KeywordSlotCount,
                                       TQvKeywordHashing{IdentCharTable, LetterValueTable, true},
                                       KeywordList, tkIdentifier);
    return table;
}

TQvVBScriptHighlighter::TProcTable TQvVBScriptHighlighter::MakeMethodTables()
{
    TProcTable table = WordProcTable(&TQvVBScriptHighlighter::UnknownProc);
    table['\''] = &TQvVBScriptHighlighter::ApostropheProc;
    table['"'] = &TQvVBScriptHighlighter::StringProc;
    table['#'] = &TQvVBScriptHighlighter::DateProc;
    table['<'] = &TQvVBScriptHighlighter::LowerProc;
    table['>'] = &TQvVBScriptHighlighter::GreaterProc;
    for (char c : {'&', '(', ')', '*', '+', ',', '-', '.', '/', ':', ';', '=', '^', '{', '}'})
        table[static_cast<unsigned char>(c)] = &TQvVBScriptHighlighter::SymbolProc;
    return table;
}

void TQvVBScriptHighlighter::Next()
{
    tokenPos_ = run_;
    Dispatch();
}

// ---- Words and numbers ----------------------------------------------------------------

void TQvVBScriptHighlighter::IdentProc()
{
    Integer wordLength = 0;
    tokenKind_ = Keywords().IdentKind(line_ + run_, wordLength);
    run_ += wordLength;
    while (IdentCharTable[At(run_)])
        ++run_;
}

// Digits, dots and exponent letters; a sign after the exponent is a symbol of its own.
void TQvVBScriptHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    for (unsigned c = At(run_); (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'e';
         c = At(run_))
        ++run_;
}

// ---- Comments, strings and dates ------------------------------------------------------

void TQvVBScriptHighlighter::ApostropheProc()
{
    tokenKind_ = tkComment;
    while (!AtLineEnd(run_))
        ++run_;
}

void TQvVBScriptHighlighter::ScanToCloser(unsigned closer)
{
    do
        ++run_;
    while (!AtLineEnd(run_) && At(run_) != closer);
    if (At(run_) == closer)
        ++run_;
}

// There is no escape inside a string: a doubled quote closes it and opens the next one.
// Three quotes open a string whose first character is the one after them.
void TQvVBScriptHighlighter::StringProc()
{
    tokenKind_ = tkString;
    if (At(run_ + 1) == '"' && At(run_ + 2) == '"')
        run_ += 2;
    ScanToCloser('"');
}

void TQvVBScriptHighlighter::DateProc()
{
    tokenKind_ = tkString;
    ScanToCloser('#');
}

// ---- Symbols --------------------------------------------------------------------------

void TQvVBScriptHighlighter::LowerProc()
{
    const unsigned next = At(run_ + 1);
    SymbolOfLength(next == '=' || next == '>' ? 2 : 1);
}

void TQvVBScriptHighlighter::GreaterProc()
{
    SymbolOfLength(At(run_ + 1) == '=' ? 2 : 1);
}

// A character of no token shows as an identifier: one character, or a double-byte
// character whole (never the NUL behind a lead byte).
void TQvVBScriptHighlighter::UnknownProc()
{
    tokenKind_ = tkIdentifier;
    run_ += IsDBCSLeadByte(static_cast<Byte>(At(run_))) && At(run_ + 1) != 0 ? 2 : 1;
}
