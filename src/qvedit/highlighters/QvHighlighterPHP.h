#pragma once
// The PHP highlighter: keywords, variables, numbers, strings with variables expanded
// inside double quotes, three forms of comment, and operators. The whole line is taken
// as PHP; embedding in a page is the multi-language highlighter's affair.

#include <array>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

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

class TQvPHPHighlighter
    : public TQvCodeHighlighter<TQvPHPHighlighter, QvPHP::TtkTokenKind> {
public:
    explicit TQvPHPHighlighter(TComponent* AOwner);

    void Next() override;

    TQvHighlighterAttributes* InvalidSymbolAttri() const { return invalidSymbolAttri_; }
    TQvHighlighterAttributes* VariableAttri() const { return variableAttri_; }

    // The keyword table (55 words over 207 slots), shared by all instances.
    static const TQvKeywordTable& Keywords();

protected:
    // The range alone: tokens that cannot change it are passed over without being made.
    void DoScanLine(std::string_view NewValue, Integer LineNumber) override;

private:
    // Scanning operations by first character.
    void NumberProc();
    void VariableProc();
    void String39Proc();
    void String34Proc();
    void PoundProc();
    void SlashProc();
    void AtSymbolProc();

    // Continuations of constructs that span tokens or lines.
    void StringProc();
    void AnsiCProc();
    void VarExpansionProc();

    bool IsEscaped(Integer position) const;
    void SkipWord(Integer& position) const;
    void SkipBracedExpansion();
    void ScanExpansionSuffixes();

    TQvHighlighterAttributes* invalidSymbolAttri_;
    TQvHighlighterAttributes* variableAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
