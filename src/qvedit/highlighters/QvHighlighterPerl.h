#pragma once
// The Perl highlighter: built-in functions and control words, named special variables,
// word operators and pragmas, punctuation variables, numbers, strings, comments and
// operators. Every construct ends with its line, so no range is carried between lines.

#include <array>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

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

class TQvPerlHighlighter
    : public TQvCodeHighlighter<TQvPerlHighlighter, QvPerl::TtkTokenKind> {
public:
    explicit TQvPerlHighlighter(TComponent* AOwner);

    void Next() override;
    TQvIdentChars GetIdentChars() const override;

    TQvHighlighterAttributes* InvalidAttri() const { return invalidAttri_; }
    TQvHighlighterAttributes* OperatorAttri() const { return operatorAttri_; }
    TQvHighlighterAttributes* PragmaAttri() const { return pragmaAttri_; }
    TQvHighlighterAttributes* VariableAttri() const { return variableAttri_; }

    // The word table (282 words over 2168 slots, hashed by the sum of the character
    // codes), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void CommentProc();
    void StringInterpProc();
    void StringLiteralProc();
    void NotSymbolProc();
    void EqualProc();
    void ColonProc();
    void DoubledSymbolProc();   // '&', '|', '*', '<', '>': doubled, then '='; or '='

    void WordProc();
    bool IsEscapedQuote(Integer position) const;

    TQvHighlighterAttributes* invalidAttri_;
    TQvHighlighterAttributes* operatorAttri_;
    TQvHighlighterAttributes* pragmaAttri_;
    TQvHighlighterAttributes* variableAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
