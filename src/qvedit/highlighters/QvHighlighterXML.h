#pragma once
// The XML highlighter: element names, attribute names and values (namespace declarations
// apart), entity references, comments, processing instructions, CDATA sections and the
// DOCTYPE declaration.
//
// It has no keywords. It is a state machine whose state is the range: almost every step
// is chosen by the range rather than by the character, and the range carries every
// construct, tags and attribute values included, from one line to the next.

#include <array>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

namespace QvXML {

// Token kinds; the ordinals are reported by GetTokenKind. The ns kinds belong to a
// namespace declaration (an attribute whose name contains "xmlns").
enum TtkTokenKind : Byte {
    tkAposAttrValue,
    tkAposEntityRef,
    tkAttribute,
    tkCDATA,
    tkComment,
    tkElement,
    tkEntityRef,
    tkEqual,
    tkNull,
    tkProcessingInstruction,
    tkQuoteAttrValue,
    tkQuoteEntityRef,
    tkSpace,
    tkSymbol,
    tkText,
    tknsAposAttrValue,
    tknsAposEntityRef,
    tknsAttribute,
    tknsEqual,
    tknsQuoteAttrValue,
    tknsQuoteEntityRef,
    tkDocType,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsAposAttrValue,
    rsAPosEntityRef,
    rsAttribute,
    rsCDATA,
    rsComment,
    rsElement,
    rsEntityRef,
    rsEqual,
    rsProcessingInstruction,
    rsQuoteAttrValue,
    rsQuoteEntityRef,
    rsText,  // start value
    rsnsAposAttrValue,
    rsnsAPosEntityRef,
    rsnsEqual,
    rsnsQuoteAttrValue,
    rsnsQuoteEntityRef,
    rsDocType,
    rsDocTypeSquareBraces,
};

}  // namespace QvXML

class TQvXMLHighlighter
    : public TQvLanguageHighlighter<TQvXMLHighlighter, QvXML::TtkTokenKind> {
public:
    explicit TQvXMLHighlighter(TComponent* AOwner);

    void Next() override;
    TQvIdentChars GetIdentChars() const override;

    // Stored with the component; scanning does not depend on it.
    bool GetWantBracesParsed() const { return wantBracesParsed_; }
    void SetWantBracesParsed(bool Value) { wantBracesParsed_ = Value; }

    TQvHighlighterAttributes* ElementAttri() const { return elementAttri_; }
    TQvHighlighterAttributes* TextAttri() const { return textAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* EntityRefAttri() const { return entityRefAttri_; }
    TQvHighlighterAttributes* ProcessingInstructionAttri() const { return processingInstructionAttri_; }
    TQvHighlighterAttributes* CDATAAttri() const { return cdataAttri_; }
    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* DocTypeAttri() const { return docTypeAttri_; }
    TQvHighlighterAttributes* AttributeAttri() const { return attributeAttri_; }
    TQvHighlighterAttributes* NamespaceAttributeAttri() const { return namespaceAttributeAttri_; }
    TQvHighlighterAttributes* AttributeValueAttri() const { return attributeValueAttri_; }
    TQvHighlighterAttributes* NamespaceAttributeValueAttri() const
    {
        return namespaceAttributeValueAttri_;
    }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }

private:
    // Operations by first character.
    void SpaceRunProc();  // a tab always starts a new space token
    void LessThanProc();
    void GreaterThanProc();
    void IdentProc();  // chooses by the range

    // Operations by range.
    void ElementProc();
    void AttributeProc();
    void EqualProc();
    void AttributeValueProc(unsigned quote);
    void EntityRefProc(Byte kind, Byte rangeAfter);
    void TextProc();
    void CommentProc();
    void ProcessingInstructionProc();
    void CDATAProc();
    void DocTypeProc();

    bool NextTokenIs(Integer position, const char* text) const;
    void ScanUntilClosingGreater(unsigned before, Byte kind);

    bool wantBracesParsed_ = true;

    TQvHighlighterAttributes* elementAttri_;
    TQvHighlighterAttributes* textAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* entityRefAttri_;
    TQvHighlighterAttributes* processingInstructionAttri_;
    TQvHighlighterAttributes* cdataAttri_;
    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* docTypeAttri_;
    TQvHighlighterAttributes* attributeAttri_;
    TQvHighlighterAttributes* namespaceAttributeAttri_;
    TQvHighlighterAttributes* attributeValueAttri_;
    TQvHighlighterAttributes* namespaceAttributeValueAttri_;
    TQvHighlighterAttributes* symbolAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
