#pragma once
// The VBScript highlighter: keywords in any case, apostrophe comments, double-quoted
// strings, date literals between '#' characters, numbers and operators. Every construct
// ends with its line, so the highlighter carries no range.

#include <array>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

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

class TQvVBScriptHighlighter : public TQvHighlighterBase {
public:
    explicit TQvVBScriptHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvVBScript::TtkTokenKind GetTokenID() const
    {
        return static_cast<QvVBScript::TtkTokenKind>(tokenKind_);
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

    // The keyword table (84 words over 134 slots, any case), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    using TProcTableProc = void (TQvVBScriptHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

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

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
};
