#pragma once
// The style-sheet highlighter: property names, units and font descriptors as keywords,
// other words as identifiers, numbers and hexadecimal colours, strings in single quotes,
// and comments that may span lines.

#include <array>
#include <span>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

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

class TQvCssHighlighter
    : public TQvCodeHighlighter<TQvCssHighlighter, QvCSS::TtkTokenKind> {
public:
    explicit TQvCssHighlighter(TComponent* AOwner);

    void Next() override;
    // Word characters with "-".
    TQvIdentChars GetIdentChars() const override;

    // The keyword table (186 words over 256 slots), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
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


    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
