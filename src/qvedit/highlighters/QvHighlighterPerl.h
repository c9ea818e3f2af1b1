#pragma once
// The Perl highlighter: built-in functions and control words, named special variables,
// word operators and pragmas, punctuation variables, numbers, strings, comments and
// operators. Every construct ends with its line, so no range is carried between lines.

#include <array>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

namespace QvPerl {

// Token kinds; the ordinals are reported by GetTokenKind.
enum TtkTokenKind : Byte {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkOperator,
    tkPragma,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown,
    tkVariable,
};

}  // namespace QvPerl

class TQvPerlHighlighter : public TQvHighlighterBase {
public:
    explicit TQvPerlHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvPerl::TtkTokenKind GetTokenID() const
    {
        return static_cast<QvPerl::TtkTokenKind>(tokenKind_);
    }
    TQvIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override;

    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* InvalidAttri() const { return invalidAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* NumberAttri() const { return numberAttri_; }
    TQvHighlighterAttributes* OperatorAttri() const { return operatorAttri_; }
    TQvHighlighterAttributes* PragmaAttri() const { return pragmaAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* StringAttri() const { return stringAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }
    TQvHighlighterAttributes* VariableAttri() const { return variableAttri_; }

    // The word table (282 words over 2168 slots, hashed by the sum of the character
    // codes), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    using TProcTableProc = void (TQvPerlHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void CommentProc();
    void StringInterpProc();
    void StringLiteralProc();
    void NotSymbolProc();
    void EqualProc();
    void ColonProc();
    void PlusProc();
    void MinusProc();
    void DoubledSymbolProc();   // '&', '|', '*', '<', '>': doubled, then '='; or '='

    void WordProc();
    bool IsEscapedQuote(Integer position) const;

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* invalidAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* operatorAttri_;
    TQvHighlighterAttributes* pragmaAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
    TQvHighlighterAttributes* variableAttri_;
};
