#include "qvedit/highlighters/QvHighlighterJScript.h"

#include "platform/runtime/CodePages.h"

using namespace QvJScript;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();
constexpr TQvValueTable LetterValueTable = MakeLetterValueTable();

constexpr Integer KeywordSlotCount = 253;

const char SampleSource[] =
    "// Syntax highlighting\r\n"
    "function printNumber()\r\n"
    "{\r\n"
    "  var number = 1234;\r\n"
    "  var x;\r\n"
    "  document.write(\"The number is \" + number);\r\n"
    "  for (var i = 0; i <= number; i++)\r\n"
    "  {\r\n"
    "    x++;\r\n"
    "    x--;\r\n"
    "    x += 1.0;\r\n"
    "  }\r\n"
    "  i += @; // illegal character\r\n"
    "}\r\n"
    "body.onLoad = printNumber;";

bool IsHexDigit(unsigned c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvJScriptHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvJScriptHighlighter::Info = {
    QVS_LangJScript, QVS_FilterJScript, SampleSource};

TQvJScriptHighlighter::TQvJScriptHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsANSI + 1, rsUnknown)
{
    commentAttri_ = CreateAttribute(QVS_AttrComment, fsItalic, {tkComment});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, {}, {tkIdentifier});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    nonReservedKeyAttri_ = CreateAttribute(QVS_AttrNonReservedKeyword, {}, {tkNonReservedKey});
    eventAttri_ = CreateAttribute(QVS_AttrEvent, {}, {tkEvent});
    numberAttri_ = CreateAttribute(QVS_AttrNumber, {}, {tkNumber});
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    stringAttri_ = CreateAttribute(QVS_AttrString, {}, {tkString});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol});
    SetCodeRoleAttributes();
    FinishLanguage();
}

const TQvKeywordTable& TQvJScriptHighlighter::Keywords()
{
    static const TQvKeywordTable table(KeywordSlotCount,
                                       TQvKeywordHashing{IdentCharTable, LetterValueTable, false},
                                       KeywordList(), tkIdentifier);
    return table;
}

TQvJScriptHighlighter::TProcTable TQvJScriptHighlighter::MakeMethodTables()
{
    TProcTable table = WordProcTable(&TQvJScriptHighlighter::UnknownProc);
    table['"'] = &TQvJScriptHighlighter::StringProc;
    table['\''] = &TQvJScriptHighlighter::StringProc;
    table['/'] = &TQvJScriptHighlighter::SlashProc;
    table['%'] = &TQvJScriptHighlighter::AssignmentSymbolProc;
    table['*'] = &TQvJScriptHighlighter::AssignmentSymbolProc;
    table['&'] = &TQvJScriptHighlighter::AndSymbolProc;
    table['|'] = &TQvJScriptHighlighter::OrSymbolProc;
    table['+'] = &TQvJScriptHighlighter::PlusSymbolProc;
    table['-'] = &TQvJScriptHighlighter::MinusSymbolProc;
    table['.'] = &TQvJScriptHighlighter::PointProc;
    for (char c : {'!', '(', ')', ',', ':', ';', '<', '=', '>', '?', '[', ']', '{', '}', '~'})
        table[static_cast<unsigned char>(c)] = &TQvJScriptHighlighter::SymbolProc;
    return table;
}

void TQvJScriptHighlighter::Next()
{
    tokenPos_ = run_;
    if (range_ == rsANSI)
        CommentProc();
    else
        Dispatch();
}

// ---- Words and numbers ----------------------------------------------------------------

// Digits and dots; a hexadecimal number "0x" or "0X" also takes the letters A..F. An
// exponent letter ends a decimal number, as does a dot that another dot follows.
void TQvJScriptHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    const bool leadingZero = At(run_) == '0';
    bool hexadecimal = false;
    ++run_;
    for (;;) {
        const unsigned c = At(run_);
        if (c >= '0' && c <= '9') {
            ++run_;
        } else if (c == '.') {
            if (At(run_ + 1) == '.')
                return;
            ++run_;
        } else if (c == 'x' || c == 'X') {
            if (!leadingZero || run_ != tokenPos_ + 1 || !IsHexDigit(At(run_ + 1)))
                return;
            hexadecimal = true;
            ++run_;
        } else if (hexadecimal && IsHexDigit(c)) {
            ++run_;
        } else {
            return;
        }
    }
}

// ---- Strings --------------------------------------------------------------------------

// A string ends with the line or at the next quote of its own kind that no backslash
// precedes. Three quotes open a string whose first character is the one after them.
void TQvJScriptHighlighter::StringProc()
{
    tokenKind_ = tkString;
    const unsigned quote = At(run_);
    if (At(run_ + 1) == quote && At(run_ + 2) == quote)
        run_ += 2;
    do
        ++run_;
    while (!AtLineEnd(run_) && !(At(run_) == quote && At(run_ - 1) != '\\'));
    if (At(run_) != 0)
        ++run_;
}

// ---- Symbols --------------------------------------------------------------------------

void TQvJScriptHighlighter::PointProc()
{
    SymbolOfLength(At(run_ + 1) == '.' && At(run_ + 2) == '.' ? 3 : 1);
}

// A character of no token: one character, or a double-byte character whole (never the
// NUL behind a lead byte).
void TQvJScriptHighlighter::UnknownProc()
{
    tokenKind_ = tkUnknown;
    run_ += IsDBCSLeadByte(static_cast<Byte>(At(run_))) && At(run_ + 1) != 0 ? 2 : 1;
}

// ---- Comments -------------------------------------------------------------------------

void TQvJScriptHighlighter::SlashProc()
{
    SlashCommentProc(true, rsANSI, rsUnknown);
}

// A line inside a "/*" comment. A line break at its start belongs to the comment: taking
// at least one character keeps every token from being empty.
void TQvJScriptHighlighter::CommentProc()
{
    if (At(run_) == 0) {
        NullProc();
        return;
    }
    tokenKind_ = tkComment;
    if (AtLineEnd(run_))
        ++run_;
    ScanBlockCommentBody(rsUnknown);
}
