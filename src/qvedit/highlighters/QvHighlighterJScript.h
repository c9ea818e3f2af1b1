#pragma once
// The JavaScript highlighter: reserved words, the names of the browser object model and
// the built-in objects as non-reserved keywords, event-handler names, numbers (with
// hexadecimal), strings, comments and operators. Keywords match only in the case they
// are listed in. Only "/*" comments carry over to the next line.

#include <array>
#include <span>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

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

class TQvJScriptHighlighter : public TQvHighlighterBase {
public:
    explicit TQvJScriptHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvJScript::TtkTokenKind GetTokenID() const
    {
        return static_cast<QvJScript::TtkTokenKind>(tokenKind_);
    }
    TQvIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override;

    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* NonReservedKeyAttri() const { return nonReservedKeyAttri_; }
    TQvHighlighterAttributes* EventAttri() const { return eventAttri_; }
    TQvHighlighterAttributes* NumberAttri() const { return numberAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* StringAttri() const { return stringAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }

    // The keyword table (399 words over 253 slots, case-sensitive), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    using TProcTableProc = void (TQvJScriptHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void StringProc();
    void SlashProc();
    void PlusProc();
    void MinusProc();
    void PointProc();
    void UnknownProc();

    // Continuation of a "/*" comment on a following line.
    void CommentProc();

    void ScanCommentBody();

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* nonReservedKeyAttri_;
    TQvHighlighterAttributes* eventAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
};
