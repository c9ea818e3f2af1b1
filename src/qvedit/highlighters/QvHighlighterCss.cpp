#include "qvedit/highlighters/QvHighlighterCss.h"

using namespace QvCSS;

namespace {

// Word characters: "-", digits, letters and "_".
constexpr TQvCharTable MakeCssIdentCharTable()
{
    TQvCharTable table = MakeWordCharTable();
    table['-'] = true;
    return table;
}

// Letters 1..26 in either case, "_" 31, "-" -19, digits and all else 0. Digits adding
// nothing makes any digit match any other in a keyword.
constexpr TQvValueTable MakeCssValueTable()
{
    TQvValueTable table = MakeLetterValueTable();
    table['-'] = -19;
    return table;
}

constexpr TQvCharTable IdentCharTable = MakeCssIdentCharTable();
constexpr TQvValueTable LetterValueTable = MakeCssValueTable();

// Keywords hash to 16..250; every other hash finds an empty slot.
constexpr Integer KeywordSlotCount = 256;

const char SampleSource[] =
    "/* Syntax highlighting */\r\n"
    "body\r\n"
    "{\r\n"
    "  font-family: \"Arial\";\r\n"
    "  font-size: 12pt;\r\n"
    "}";

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

bool IsLetterOrDigit(unsigned c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHexDigit(unsigned c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvCssHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvCssHighlighter::Info = {QVS_LangCSS, QVS_FilterCSS, SampleSource};

TQvCssHighlighter::TQvCssHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsCStyle + 1, rsUnknown)
{
    CreateCodeAttributes(QVS_AttrKey);
    FinishLanguage();
}

TQvIdentChars TQvCssHighlighter::GetIdentChars() const
{
    TQvIdentChars chars = WordAndUpperLetterChars();
    chars.Include('-');
    return chars;
}

const TQvKeywordTable& TQvCssHighlighter::Keywords()
{
    static const TQvKeywordTable table(KeywordSlotCount,
                                       TQvKeywordHashing{IdentCharTable, LetterValueTable, true},
                                       KeywordList(), tkIdentifier);
    return table;
}

TQvCssHighlighter::TProcTable TQvCssHighlighter::MakeMethodTables()
{
    TProcTable table = WordProcTable(&TQvCssHighlighter::UnknownProc);
    table['#'] = &TQvCssHighlighter::IntegerProc;
    table['$'] = &TQvCssHighlighter::IntegerProc;
    table['\''] = &TQvCssHighlighter::StringProc;
    table['('] = &TQvCssHighlighter::RoundOpenProc;
    table[')'] = &TQvCssHighlighter::RoundOpenProc;
    table['-'] = &TQvCssHighlighter::DashProc;
    table['/'] = &TQvCssHighlighter::SlashProc;
    table['{'] = &TQvCssHighlighter::AsciiCharProc;
    table['}'] = &TQvCssHighlighter::AsciiCharProc;
    return table;
}

void TQvCssHighlighter::Next()
{
    tokenPos_ = run_;
    if (range_ == rsCStyle)
        CStyleCommentProc();
    else
        Dispatch();
}

// ---- Words and numbers ----------------------------------------------------------------

void TQvCssHighlighter::IdentProc()
{
    Integer wordLength = 0;
    tokenKind_ = Keywords().IdentKind(line_ + run_, wordLength);
    run_ += wordLength;
    while (IdentCharTable[At(run_)])
        ++run_;
}

void TQvCssHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    for (;;) {
        const unsigned c = At(run_);
        if (c == '.') {
            if (At(run_ + 1) == '.')
                return;
        } else if (c == 'e') {
            // "em" and "ex" are units after the number.
            if (At(run_ + 1) == 'x' || At(run_ + 1) == 'm')
                return;
        } else if (!IsDigit(c) && c != 'E') {
            return;
        }
        ++run_;
    }
}

void TQvCssHighlighter::IntegerProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    while (IsHexDigit(At(run_)))
        ++run_;
}

// A "-" after a blank that starts a number ("-2", "-.5") is taken as the number's sign;
// any other "-" that does not continue a word stands alone.
void TQvCssHighlighter::DashProc()
{
    tokenKind_ = tkIdentifier;
    ++run_;
    if (tokenPos_ == 0 || At(tokenPos_ - 1) != ' ')
        return;
    if (IsLetterOrDigit(At(run_))) {
        tokenKind_ = tkNumber;
    } else if (At(run_) == '.' && IsLetterOrDigit(At(run_ + 1))) {
        tokenKind_ = tkNumber;
        ++run_;
    }
}

// ---- Strings and symbols --------------------------------------------------------------

void TQvCssHighlighter::StringProc()
{
    tokenKind_ = tkString;
    if (At(run_ + 1) == '\'' && At(run_ + 2) == '\'')
        run_ += 2;
    do {
        if (AtLineEnd(run_))
            return;
        ++run_;
    } while (At(run_) != '\'');
    ++run_;  // the closing quote
}

void TQvCssHighlighter::RoundOpenProc()
{
    tokenKind_ = tkSymbol;
    ++run_;
}

void TQvCssHighlighter::AsciiCharProc()
{
    tokenKind_ = tkString;
    ++run_;
    while (IsDigit(At(run_)))
        ++run_;
}

// ---- Comments -------------------------------------------------------------------------

void TQvCssHighlighter::SlashProc()
{
    if (At(run_ + 1) != '*') {
        tokenKind_ = tkSymbol;
        ++run_;
        return;
    }
    tokenKind_ = tkComment;
    range_ = rsCStyle;
    run_ += 2;
    if (!AtLineEnd(run_))
        ScanCommentBody();
}

void TQvCssHighlighter::CStyleCommentProc()
{
    if (At(run_) == 0) {
        NullProc();
        return;
    }
    tokenKind_ = tkComment;
    ScanCommentBody();
}

// Takes comment characters from a non-NUL position up to and including "*/" (the
// comment ends) or up to the line's end. The first character is taken even when it is
// a line break, so the token is never empty.
void TQvCssHighlighter::ScanCommentBody()
{
    do {
        if (At(run_) == '*' && At(run_ + 1) == '/') {
            run_ += 2;
            range_ = rsUnknown;
            return;
        }
        ++run_;
    } while (!AtLineEnd(run_));
}
