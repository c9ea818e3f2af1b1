#pragma once
// The PHP highlighter: keywords, variables, numbers, strings with variables expanded
// inside double quotes, three forms of comment, and operators. The whole line is taken
// as PHP; embedding in a page is the multi-language highlighter's affair.

#include <array>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

namespace QvPHP {

// Token kinds; the ordinals are reported by GetTokenKind.
enum TtkTokenKind : Byte {
    tkComment,
    tkIdentifier,
    tkInvalidSymbol,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown,
    tkVariable,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsUnKnown,       // neutral and start value
    rsString39,      // inside a single-quoted string
    rsString34,      // inside a double-quoted string
    rsComment,       // inside a "/*" comment
    rsVarExpansion,  // a variable expansion inside a double-quoted string starts here
};

}  // namespace QvPHP

class TQvPHPHighlighter : public TQvHighlighterBase {
public:
    explicit TQvPHPHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvPHP::TtkTokenKind GetTokenID() const { return static_cast<QvPHP::TtkTokenKind>(tokenKind_); }
    TQvIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override;

    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* InvalidSymbolAttri() const { return invalidSymbolAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* NumberAttri() const { return numberAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* StringAttri() const { return stringAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }
    TQvHighlighterAttributes* VariableAttri() const { return variableAttri_; }

    // The keyword table (55 words over 207 slots), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    using TProcTableProc = void (TQvPHPHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void VariableProc();
    void String39Proc();
    void String34Proc();
    void PoundProc();
    void SlashProc();
    void AtSymbolProc();
    void PlusProc();
    void MinusProc();
    void EqualProc();
    void GreaterProc();
    void LessProc();

    // Continuations of constructs that span tokens or lines.
    void StringProc();
    void AnsiCProc();
    void VarExpansionProc();

    void ScanToLineEnd();
    void ScanCommentBody();
    bool IsEscaped(Integer position) const;
    void SkipWord(Integer& position) const;
    void SkipBracedExpansion();
    void ScanExpansionSuffixes();

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* invalidSymbolAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
    TQvHighlighterAttributes* variableAttri_;
};
