#pragma once
// The style-sheet highlighter: property names, units and font descriptors as keywords,
// other words as identifiers, numbers and hexadecimal colours, strings in single quotes,
// and comments that may span lines.

#include <array>
#include <span>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

namespace QvCSS {

// Token kinds; the ordinals are reported by GetTokenKind.
enum TtkTokenKind : Byte {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsUnknown,  // the start value
    rsCStyle,   // inside a "/*" comment
};

// The keywords: units, font descriptors and property names.
std::span<const TQvKeyword> KeywordList();

}  // namespace QvCSS

class TQvCssHighlighter : public TQvHighlighterBase {
public:
    explicit TQvCssHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvCSS::TtkTokenKind GetTokenID() const
    {
        return static_cast<QvCSS::TtkTokenKind>(tokenKind_);
    }
    TQvIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override;

    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* NumberAttri() const { return numberAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* StringAttri() const { return stringAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }

    // The keyword table (186 words over 256 slots), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    using TProcTableProc = void (TQvCssHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void IntegerProc();    // "#" or "$" and hexadecimal digits
    void DashProc();
    void StringProc();
    void SlashProc();
    void RoundOpenProc();  // "(" or ")"
    void AsciiCharProc();  // "{" or "}" and decimal digits

    // Continuation of a comment.
    void CStyleCommentProc();
    void ScanCommentBody();

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
};
