#pragma once
// The JavaScript highlighter: reserved words, the names of the browser object model and
// the built-in objects as non-reserved keywords, event-handler names, numbers (with
// hexadecimal), strings, comments and operators. Keywords match only in the case they
// are listed in. Only "/*" comments carry over to the next line.

#include <span>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

namespace QvJScript {

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
    tkNonReservedKey,
    tkEvent,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsUnknown,  // start value
    rsANSI,     // inside a "/*" comment
};

// The 399 keywords with their kinds (QvHighlighterJScriptKeywords.cpp).
std::span<const TQvKeyword> KeywordList();

}  // namespace QvJScript

class TQvJScriptHighlighter
    : public TQvCodeHighlighter<TQvJScriptHighlighter, QvJScript::TtkTokenKind> {
public:
    explicit TQvJScriptHighlighter(TComponent* AOwner);

    void Next() override;

    TQvHighlighterAttributes* NonReservedKeyAttri() const { return nonReservedKeyAttri_; }
    TQvHighlighterAttributes* EventAttri() const { return eventAttri_; }

    // The keyword table (399 words over 253 slots, case-sensitive), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    // Scanning operations by first character.
    void NumberProc();
    void StringProc();
    void SlashProc();
    void PointProc();
    void UnknownProc();

    // Continuation of a "/*" comment on a following line.
    void CommentProc();


    TQvHighlighterAttributes* nonReservedKeyAttri_;
    TQvHighlighterAttributes* eventAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
