#pragma once
// The VBScript highlighter: keywords in any case, apostrophe comments, double-quoted
// strings, date literals between '#' characters, numbers and operators. Every construct
// ends with its line, so the highlighter carries no range.

#include <array>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

namespace QvVBScript {

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

}  // namespace QvVBScript

class TQvVBScriptHighlighter
    : public TQvCodeHighlighter<TQvVBScriptHighlighter, QvVBScript::TtkTokenKind> {
public:
    explicit TQvVBScriptHighlighter(TComponent* AOwner);

    void Next() override;

    // The keyword table (84 words over 134 slots, any case), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void ApostropheProc();
    void StringProc();
    void DateProc();
    void LowerProc();
    void GreaterProc();
    void UnknownProc();

    // Takes characters up to and including `closer`, or up to the end of the line.
    void ScanToCloser(unsigned closer);


    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
