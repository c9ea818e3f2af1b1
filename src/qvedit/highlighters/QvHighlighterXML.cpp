#include "qvedit/highlighters/QvHighlighterXML.h"

#include <string_view>

#include "platform/graphics/Colors.h"

using namespace QvXML;

namespace {

// The characters of element and attribute names.
constexpr TQvCharTable MakeNameCharTable()
{
    TQvCharTable table{};
    for (int c = 0; c < 256; ++c)
        table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '-' || c == '.' || c == ':' || c == '_';
    return table;
}

constexpr TQvCharTable NameCharTable = MakeNameCharTable();

const char SampleSource[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<!DOCTYPE root [\r\n"
    "  ]>\r\n"
    "<!-- Comment -->\r\n"
    "<root version=\"&test;\">\r\n"
    "  <![CDATA[ **CDATA section** ]]>\r\n"
    "</root>";

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvXMLHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvXMLHighlighter::Info = {QVS_LangXML, QVS_FilterXML, SampleSource};

// XML has no unknown kind; the base's unknown operation is never dispatched to.
TQvXMLHighlighter::TQvXMLHighlighter(TComponent* AOwner)
    : TQvLanguageHighlighter(AOwner, {tkNull, tkSpace, tkText, tkSymbol},
                             rsDocTypeSquareBraces + 1, rsText)
{
    elementAttri_ = CreateAttribute(QVS_AttrElementName, fsBold, {tkElement});
    textAttri_ = CreateAttribute(QVS_AttrText, fsBold, {tkText});
    spaceAttri_ = CreateAttribute(QVS_AttrWhitespace, {}, {tkSpace});
    entityRefAttri_ = CreateAttribute(
        QVS_AttrEntityReference, fsBold,
        {tkEntityRef, tkAposEntityRef, tkQuoteEntityRef, tknsAposEntityRef, tknsQuoteEntityRef});
    processingInstructionAttri_ =
        CreateAttribute(QVS_AttrProcessingInstr, {}, {tkProcessingInstruction});
    cdataAttri_ = CreateAttribute(QVS_AttrCDATASection, fsItalic, {tkCDATA});
    commentAttri_ = CreateAttribute(QVS_AttrComment, {fsBold, fsItalic}, {tkComment});
    docTypeAttri_ = CreateAttribute(QVS_AttrDOCTYPESection, fsItalic, {tkDocType});
    attributeAttri_ = CreateAttribute(QVS_AttrAttributeName, {}, {tkAttribute});
    namespaceAttributeAttri_ = CreateAttribute(QVS_AttrNamespaceAttrName, {}, {tknsAttribute});
    attributeValueAttri_ =
        CreateAttribute(QVS_AttrAttributeValue, fsBold, {tkAposAttrValue, tkQuoteAttrValue});
    namespaceAttributeValueAttri_ = CreateAttribute(QVS_AttrNamespaceAttrValue, fsBold,
                                                    {tknsAposAttrValue, tknsQuoteAttrValue});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol, tkEqual, tknsEqual});

    // Set before FinishAttributes, so that they count as the defaults.
    elementAttri_->SetForeground(clMaroon);
    textAttri_->SetForeground(clBlack);
    entityRefAttri_->SetForeground(clBlue);
    processingInstructionAttri_->SetForeground(clBlue);
    cdataAttri_->SetForeground(clOlive);
    commentAttri_->SetForeground(clGray);
    commentAttri_->SetBackground(clSilver);
    docTypeAttri_->SetForeground(clBlue);
    attributeAttri_->SetForeground(clMaroon);
    namespaceAttributeAttri_->SetForeground(clRed);
    attributeValueAttri_->SetForeground(clNavy);
    namespaceAttributeValueAttri_->SetForeground(clRed);
    symbolAttri_->SetForeground(clBlue);

    SetRoleAttributes(
        {commentAttri_, attributeAttri_, elementAttri_, nullptr, spaceAttri_, symbolAttri_});
    FinishLanguage();
}

TQvIdentChars TQvXMLHighlighter::GetIdentChars() const
{
    TQvIdentChars chars = WordAndUpperLetterChars();
    chars.Include('-');
    chars.Include('.');
    return chars;
}

TQvXMLHighlighter::TProcTable TQvXMLHighlighter::MakeMethodTables()
{
    TProcTable table =
        BasicProcTable(&TQvXMLHighlighter::IdentProc, &TQvXMLHighlighter::SpaceRunProc);
    table['<'] = &TQvXMLHighlighter::LessThanProc;
    table['>'] = &TQvXMLHighlighter::GreaterThanProc;
    return table;
}

void TQvXMLHighlighter::Next()
{
    tokenPos_ = run_;
    switch (range_) {
    case rsCDATA:
        CDATAProc();
        break;
    case rsComment:
        CommentProc();
        break;
    case rsProcessingInstruction:
        ProcessingInstructionProc();
        break;
    case rsText:
        TextProc();
        break;
    case rsDocType:
    case rsDocTypeSquareBraces:
        DocTypeProc();
        break;
    default:
        Dispatch();
        break;
    }
}

// True when `text` stands at `position`. Stops at the first difference, so it never
// reads past the line's NUL.
bool TQvXMLHighlighter::NextTokenIs(Integer position, const char* text) const
{
    for (; *text != 0; ++text, ++position)
        if (At(position) != static_cast<unsigned char>(*text))
            return false;
    return true;
}

// ---- Operations by first character ----------------------------------------------------

void TQvXMLHighlighter::SpaceRunProc()
{
    tokenKind_ = tkSpace;
    ++run_;
    for (;;) {
        const unsigned c = At(run_);
        if (c > 32 || c == 0 || c == '\t' || c == '\n' || c == '\r')
            return;
        ++run_;
    }
}

void TQvXMLHighlighter::LessThanProc()
{
    ++run_;
    if (At(run_) == '/')
        ++run_;
    if (At(run_) == '!') {
        if (NextTokenIs(run_ + 1, "--")) {
            tokenKind_ = tkSymbol;
            range_ = rsComment;
            run_ += 3;
        } else if (NextTokenIs(run_ + 1, "DOCTYPE")) {
            tokenKind_ = tkDocType;
            range_ = rsDocType;
            run_ += 8;
        } else if (NextTokenIs(run_ + 1, "[CDATA[")) {
            tokenKind_ = tkCDATA;
            range_ = rsCDATA;
            run_ += 8;
        } else {
            tokenKind_ = tkSymbol;
            range_ = rsElement;
            ++run_;
        }
    } else if (At(run_) == '?') {
        tokenKind_ = tkProcessingInstruction;
        range_ = rsProcessingInstruction;
        ++run_;
    } else {
        tokenKind_ = tkSymbol;
        range_ = rsElement;
    }
}

void TQvXMLHighlighter::GreaterThanProc()
{
    tokenKind_ = tkSymbol;
    range_ = rsText;
    ++run_;
}

void TQvXMLHighlighter::IdentProc()
{
    switch (range_) {
    case rsElement:
        ElementProc();
        break;
    case rsAttribute:
        AttributeProc();
        break;
    case rsEqual:
    case rsnsEqual:
        EqualProc();
        break;
    case rsQuoteAttrValue:
    case rsnsQuoteAttrValue:
        AttributeValueProc('"');
        break;
    case rsAposAttrValue:
    case rsnsAposAttrValue:
        AttributeValueProc('\'');
        break;
    case rsEntityRef:
        EntityRefProc(tkEntityRef, rsText);
        break;
    case rsQuoteEntityRef:
        EntityRefProc(tkQuoteEntityRef, rsQuoteAttrValue);
        break;
    case rsnsQuoteEntityRef:
        EntityRefProc(tknsQuoteEntityRef, rsnsQuoteAttrValue);
        break;
    case rsAPosEntityRef:
        EntityRefProc(tkAposEntityRef, rsAposAttrValue);
        break;
    case rsnsAPosEntityRef:
        EntityRefProc(tknsAposEntityRef, rsnsAposAttrValue);
        break;
    default:
        // The ranges Next handles itself never dispatch here; text is the safe reading.
        range_ = rsText;
        TextProc();
        break;
    }
}

// ---- Tags ------------------------------------------------------------------------------

// The element name after "<" or "</"; empty when no name character follows.
void TQvXMLHighlighter::ElementProc()
{
    tokenKind_ = tkElement;
    const unsigned c = At(run_);
    if (c == '/' || NameCharTable[c]) {
        ++run_;
        while (NameCharTable[At(run_)])
            ++run_;
    }
    range_ = rsAttribute;
}

void TQvXMLHighlighter::AttributeProc()
{
    const unsigned c = At(run_);
    if (c == '"' || c == '\'') {
        // The closing quote of a value.
        tokenKind_ = tkSymbol;
        ++run_;
        return;
    }
    while (NameCharTable[At(run_)])
        ++run_;
    const std::string_view name(line_ + tokenPos_, static_cast<std::size_t>(run_ - tokenPos_));
    if (name.find("xmlns") != std::string_view::npos) {
        tokenKind_ = tknsAttribute;
        range_ = rsnsEqual;
    } else {
        tokenKind_ = tkAttribute;
        range_ = rsEqual;
    }
}

// The "=", the blanks around it and the opening quote are one token; without a quote
// the rest of the line joins it.
void TQvXMLHighlighter::EqualProc()
{
    const bool ns = range_ == rsnsEqual;
    tokenKind_ = ns ? tknsEqual : tkEqual;
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        ++run_;
        if (c == '/') {
            tokenKind_ = tkSymbol;
            range_ = rsElement;
            return;
        }
        if (c == '"') {
            range_ = ns ? rsnsQuoteAttrValue : rsQuoteAttrValue;
            return;
        }
        if (c == '\'') {
            range_ = ns ? rsnsAposAttrValue : rsAposAttrValue;
            return;
        }
    }
}

// A value up to its closing quote, an entity reference or the end of the line (the value
// then goes on on the next line).
void TQvXMLHighlighter::AttributeValueProc(unsigned quote)
{
    const bool ns = range_ == rsnsQuoteAttrValue || range_ == rsnsAposAttrValue;
    const bool doubleQuote = quote == '"';
    if (doubleQuote)
        tokenKind_ = ns ? tknsQuoteAttrValue : tkQuoteAttrValue;
    else
        tokenKind_ = ns ? tknsAposAttrValue : tkAposAttrValue;
    while (!AtLineEnd(run_) && At(run_) != quote && At(run_) != '&')
        ++run_;
    if (At(run_) == '&') {
        if (doubleQuote)
            range_ = ns ? rsnsQuoteEntityRef : rsQuoteEntityRef;
        else
            range_ = ns ? rsnsAPosEntityRef : rsAPosEntityRef;
    } else if (At(run_) == quote) {
        range_ = rsAttribute;
    }
}

void TQvXMLHighlighter::EntityRefProc(Byte kind, Byte rangeAfter)
{
    tokenKind_ = kind;
    while (At(run_) > 32 && At(run_) != ';')
        ++run_;
    if (At(run_) == ';')
        ++run_;
    range_ = rangeAfter;
}

// ---- Text and the constructs that span lines -------------------------------------------

void TQvXMLHighlighter::TextProc()
{
    const unsigned first = At(run_);
    if (first < 32 || first == '<') {
        Dispatch();
        return;
    }
    tokenKind_ = tkText;
    while (At(run_) >= 32 && At(run_) != '&' && At(run_) != '<')
        ++run_;
    if (At(run_) == '&')
        range_ = rsEntityRef;
}

// The comment text; its "-->" is a token of its own.
void TQvXMLHighlighter::CommentProc()
{
    if (NextTokenIs(run_, "-->")) {
        tokenKind_ = tkSymbol;
        range_ = rsText;
        run_ += 3;
        return;
    }
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = tkComment;
    while (!AtLineEnd(run_) && !NextTokenIs(run_, "-->"))
        ++run_;
}

// Takes the construct up to and including a '>' right after `before`, or to the end of
// the line. A '>' in the first column has nothing before it on the line and closes
// nothing.
void TQvXMLHighlighter::ScanUntilClosingGreater(unsigned before, Byte kind)
{
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = kind;
    while (!AtLineEnd(run_)) {
        const Integer position = run_++;
        if (At(position) == '>' && position > 0 && At(position - 1) == before) {
            range_ = rsText;
            return;
        }
    }
}

void TQvXMLHighlighter::ProcessingInstructionProc()
{
    ScanUntilClosingGreater('?', tkProcessingInstruction);
}

void TQvXMLHighlighter::CDATAProc()
{
    ScanUntilClosingGreater(']', tkCDATA);
}

// The declaration up to its '>', which leaves the range in the tag's attributes; an
// internal subset in square brackets may span lines.
void TQvXMLHighlighter::DocTypeProc()
{
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = tkDocType;
    bool inBraces = range_ == rsDocTypeSquareBraces;
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        ++run_;
        if (inBraces) {
            if (c == ']') {
                range_ = rsDocType;
                return;
            }
        } else if (c == '>') {
            range_ = rsAttribute;
            return;
        } else if (c == '[') {
            inBraces = true;
        }
    }
    if (inBraces)
        range_ = rsDocTypeSquareBraces;
}
