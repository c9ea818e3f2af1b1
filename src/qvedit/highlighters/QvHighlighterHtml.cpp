#include "qvedit/highlighters/QvHighlighterHtml.h"

#include <cstring>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"

using namespace QvHTML;

namespace {

// Letters 1..26 in either case, "/" 122, "!" 123, everything else (digits too) 0.
constexpr TQvValueTable MakeHtmlHashTable()
{
    TQvValueTable table{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 'A' && c <= 'Z')
            table[c] = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            table[c] = c - 'a' + 1;
    }
    table['/'] = 122;
    table['!'] = 123;
    return table;
}

constexpr TQvValueTable LetterValueTable = MakeHtmlHashTable();

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(unsigned c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The characters of the first run of a tag word.
bool IsWordHead(unsigned c)
{
    return LetterValueTable[c] != 0;
}

const char SampleSource[] =
    "<!-- Syntax highlighting -->\r\n"
    "\r\n"
    "<html>\r\n"
    "<body bgcolor=\"red\">\r\n"
    "  <form name=\"frmLogin\" action=\"doSomething.asp\">\r\n"
    "    <input name=\"user\" value='any\r\n"
    "      value'>\r\n"
    "  </form>\r\n"
    "  <invalid>Sample HTML code &copy; 2001</invalid>\r\n"
    "</body>\r\n"
    "</html>";

constexpr TColor KeyColor = 0x00FF0080;
constexpr TColor UndefKeyColor = 0x000000FF;
constexpr TColor ValueColor = 0x00FF8000;
constexpr TColor AmpersandColor = 0x0000FF00;

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvHTMLHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvHTMLHighlighter::Info = {QVS_LangHTML, QVS_FilterHTML, SampleSource};

// ---------------------------------------------------------------------------------------
// TQvHtmlTagTable

TQvHtmlTagTable::TQvHtmlTagTable()
{
    for (const char* word : TagWordList()) {
        Integer length = 0;
        const std::int64_t hash = KeyHash(word, length);
        if (hash >= SlotCount || length != static_cast<Integer>(std::strlen(word)))
            throw Exception(Format("Tag word \"%s\" does not fit the keyword table", {word}));
        slots_[static_cast<std::size_t>(hash)].push_back(word);
        ++wordCount_;
    }
}

std::int64_t TQvHtmlTagTable::KeyHash(const char* word, Integer& wordLength)
{
    std::int64_t hash = 0;
    Integer length = 0;
    while (IsWordHead(static_cast<unsigned char>(word[length])))
        hash += LetterValueTable[static_cast<unsigned char>(word[length++])];
    while (IsDigit(static_cast<unsigned char>(word[length])))
        hash += word[length++] - '0';
    wordLength = length;
    return hash;
}

bool TQvHtmlTagTable::KeyComp(const char* word, Integer wordLength, const char* keyword)
{
    for (Integer i = 0; i < wordLength; ++i) {
        const auto a = static_cast<unsigned char>(word[i]);
        const auto b = static_cast<unsigned char>(keyword[i]);
        // The keyword's NUL has value 0 like a digit, so test it first.
        if (b == 0 || LetterValueTable[a] != LetterValueTable[b])
            return false;
    }
    return keyword[wordLength] == 0;
}

Byte TQvHtmlTagTable::IdentKind(const char* word, Integer& wordLength) const
{
    const std::int64_t hash = KeyHash(word, wordLength);
    if (hash >= SlotCount)
        return tkIdentifier;
    for (const char* keyword : slots_[static_cast<std::size_t>(hash)])
        if (KeyComp(word, wordLength, keyword))
            return tkKey;
    return tkUndefKey;
}

Integer TQvHtmlTagTable::OccupiedSlots() const
{
    Integer occupied = 0;
    for (const auto& slot : slots_)
        if (!slot.empty())
            ++occupied;
    return occupied;
}

// ---------------------------------------------------------------------------------------
// TQvHTMLHighlighter

TQvHTMLHighlighter::TQvHTMLHighlighter(TComponent* AOwner)
    : TQvLanguageHighlighter(AOwner, {tkNull, tkSpace, tkIdentifier, tkSymbol},
                             rsDoubleQuoteValue + 1, rsText)
{
    commentAttri_ = CreateAttribute(QVS_AttrComment, {}, {tkComment});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, fsBold, {tkIdentifier});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    keyAttri_->SetForeground(KeyColor);
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, fsBold, {tkSymbol});
    textAttri_ = CreateAttribute(QVS_AttrText, {}, {tkText});
    undefKeyAttri_ = CreateAttribute(QVS_AttrUnknownWord, fsBold, {tkUndefKey});
    undefKeyAttri_->SetForeground(UndefKeyColor);
    valueAttri_ = CreateAttribute(QVS_AttrValue, {}, {tkValue});
    valueAttri_->SetForeground(ValueColor);
    andAttri_ = CreateAttribute(QVS_AttrEscapeAmpersand, fsBold, {tkAmpersand});
    andAttri_->SetForeground(AmpersandColor);
    // HTML has no string role.
    SetRoleAttributes(
        {commentAttri_, identifierAttri_, keyAttri_, nullptr, spaceAttri_, symbolAttri_});
    FinishLanguage();
}

const TQvHtmlTagTable& TQvHTMLHighlighter::TagWords()
{
    static const TQvHtmlTagTable table;
    return table;
}

TQvHTMLHighlighter::TProcTable TQvHTMLHighlighter::MakeMethodTables()
{
    TProcTable table = BasicProcTable(&TQvHTMLHighlighter::IdentProc);
    table['"'] = &TQvHTMLHighlighter::StringProc;
    table['\''] = &TQvHTMLHighlighter::StringProc;
    table['&'] = &TQvHTMLHighlighter::AmpersandProc;
    table['<'] = &TQvHTMLHighlighter::BraceOpenProc;
    table['='] = &TQvHTMLHighlighter::EqualProc;
    table['>'] = &TQvHTMLHighlighter::BraceCloseProc;
    return table;
}

void TQvHTMLHighlighter::DoSetLine(std::string_view NewValue, Integer LineNumber)
{
    // An entity found ahead belongs to the line it was found in.
    entityIndex_ = -1;
    TQvHighlighterBase::DoSetLine(NewValue, LineNumber);
}

void TQvHTMLHighlighter::SetExtraState(std::uint32_t Value)
{
    entityIndex_ = Value >= 1 && Value <= EscapeAmpCount ? static_cast<Integer>(Value) - 1 : -1;
}

void TQvHTMLHighlighter::Next()
{
    tokenPos_ = run_;
    switch (range_) {
    case rsComment:
        CommentProc();
        break;
    case rsText:
        TextProc();
        break;
    case rsQuoteValue:
    case rsDoubleQuoteValue:
        if (AtLineEnd(run_))
            Dispatch();
        else
            StringProc();
        break;
    default:
        Dispatch();
        break;
    }
}

// ---- Blanks, symbols, words -----------------------------------------------------------

void TQvHTMLHighlighter::SpaceProc()
{
    tokenKind_ = tkSpace;
    do
        ++run_;
    while (At(run_) >= 1 && At(run_) <= 32 && At(run_) != '\t' && At(run_) != '\n' &&
           At(run_) != '\r');
}

void TQvHTMLHighlighter::BraceOpenProc()
{
    ++run_;
    if (At(run_) == '!' && At(run_ + 1) == '-' && At(run_ + 2) == '-') {
        run_ += 3;
        tokenKind_ = tkComment;
        range_ = rsComment;
    } else {
        tokenKind_ = tkSymbol;
        range_ = rsKey;
    }
}

void TQvHTMLHighlighter::BraceCloseProc()
{
    tokenKind_ = tkSymbol;
    range_ = rsText;
    ++run_;
}

void TQvHTMLHighlighter::EqualProc()
{
    tokenKind_ = tkSymbol;
    range_ = rsValue;
    ++run_;
}

void TQvHTMLHighlighter::IdentProc()
{
    switch (range_) {
    case rsKey: {
        range_ = rsParam;
        Integer wordLength = 0;
        tokenKind_ = TagWords().IdentKind(line_ + run_, wordLength);
        run_ += wordLength;
        break;
    }
    case rsValue:
        range_ = rsParam;
        tokenKind_ = tkValue;
        do
            ++run_;
        while (At(run_) > 32 && At(run_) != '>');
        break;
    default:
        tokenKind_ = tkIdentifier;
        do
            ++run_;
        while (At(run_) > 32 && At(run_) != '"' && At(run_) != '=' && At(run_) != '>');
        break;
    }
}

// ---- Values ---------------------------------------------------------------------------

void TQvHTMLHighlighter::StringProc()
{
    switch (range_) {
    case rsQuoteValue:
    case rsDoubleQuoteValue:
        break;
    case rsValue:
        range_ = At(run_) == '"' ? rsDoubleQuoteValue : rsQuoteValue;
        ++run_;
        break;
    default:
        IdentProc();
        return;
    }
    tokenKind_ = tkValue;
    ScanValue();
}

// Takes a quoted value up to the line's end (the value goes on in the next line) or up to
// and including its closing quote.
void TQvHTMLHighlighter::ScanValue()
{
    const unsigned quote = range_ == rsDoubleQuoteValue ? '"' : '\'';
    while (!AtLineEnd(run_)) {
        if (At(run_) == quote) {
            ++run_;
            range_ = rsParam;
            return;
        }
        ++run_;
    }
}

// ---- Comments -------------------------------------------------------------------------

void TQvHTMLHighlighter::CommentProc()
{
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = tkComment;
    while (!AtLineEnd(run_)) {
        // The "--" must stand on this line before the ">".
        const bool closes = At(run_) == '>' && run_ >= 2 && At(run_ - 1) == '-' &&
                            At(run_ - 2) == '-';
        ++run_;
        if (closes) {
            range_ = rsText;
            return;
        }
    }
}

// ---- Text and entities ----------------------------------------------------------------

// Skips "&#" and the digits of a numeric character reference at `position`: "x" or "X"
// and hexadecimal digits, or decimal digits. True when a ";" follows them.
bool TQvHTMLHighlighter::SkipCharacterReference(Integer& position) const
{
    position += 2;
    if (At(position) == 'x' || At(position) == 'X') {
        ++position;
        while (IsHexDigit(At(position)))
            ++position;
    } else {
        while (IsDigit(At(position)))
            ++position;
    }
    return At(position) == ';';
}

// True when the whole text of entity `index` stands at `position`, letter case counting.
// The comparison stops at the first difference, so it never passes the line's end.
bool TQvHTMLHighlighter::EntityStandsAt(Integer index, Integer position) const
{
    const char* entity = EscapeAmps[static_cast<std::size_t>(index)];
    for (Integer i = 0; entity[i] != 0; ++i)
        if (At(position + i) != static_cast<unsigned char>(entity[i]))
            return false;
    return true;
}

// The index of the first entity whose text stands at `position`; -1 when none does.
Integer TQvHTMLHighlighter::EntityAt(Integer position) const
{
    for (Integer index = 0; index < EscapeAmpCount; ++index)
        if (EntityStandsAt(index, position))
            return index;
    return -1;
}

void TQvHTMLHighlighter::TextProc()
{
    if (At(run_) < 32 || At(run_) == '<') {
        Dispatch();
        return;
    }
    tokenKind_ = tkText;
    while (At(run_) >= 32 && At(run_) != '<') {
        if (At(run_) != '&') {
            ++run_;
            continue;
        }
        if (At(run_ + 1) == '#') {
            entityIndex_ = -1;
            Integer end = run_;
            if (SkipCharacterReference(end)) {
                range_ = rsAmpersand;  // the reference is the next token
            } else {
                run_ = end;  // an unfinished reference stays text and ends the token
            }
            return;
        }
        entityIndex_ = EntityAt(run_);
        if (entityIndex_ >= 0) {
            range_ = rsAmpersand;
            return;
        }
        ++run_;
    }
}

void TQvHTMLHighlighter::AmpersandProc()
{
    switch (range_) {
    case rsAmpersand:
        if (entityIndex_ >= 0 && EntityStandsAt(entityIndex_, run_)) {
            const char* entity = EscapeAmps[static_cast<std::size_t>(entityIndex_)];
            tokenKind_ = tkAmpersand;
            run_ += static_cast<Integer>(std::strlen(entity));
        } else if (At(run_ + 1) == '#') {
            const bool complete = SkipCharacterReference(run_);
            if (complete)
                ++run_;
            tokenKind_ = complete ? tkAmpersand : tkText;
        } else {
            // Nothing recognised ahead (only a range set from outside leads here): the
            // "&" is text.
            tokenKind_ = tkText;
            ++run_;
        }
        entityIndex_ = -1;
        range_ = rsText;
        break;
    case rsKey:
        tokenKind_ = tkText;
        range_ = rsText;
        ++run_;
        break;
    default:
        IdentProc();
        break;
    }
}
