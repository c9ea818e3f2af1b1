#pragma once
// The C and C++ highlighter: keywords (compiler extensions included, letter case
// significant), numbers told apart as decimal, octal, hexadecimal and floating point with
// their suffixes, character and string literals, comments, preprocessor lines with
// backslash continuation, and operators, each of which also carries an extended id.
// It can import the editor colours of an installed C++ IDE from the registry.

#include <array>
#include <string>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

namespace QvCpp {

// Token kinds; the ordinals are reported by GetTokenKind.
enum TtkTokenKind : Byte {
    tkAsm,
    tkComment,
    tkDirective,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown,
    tkChar,
    tkFloat,
    tkHex,
    tkOctal,
};

// Extended ids of operator tokens.
enum TxtkTokenKind : Byte {
    xtkAdd,
    xtkAddAssign,
    xtkAnd,
    xtkAndAssign,
    xtkArrow,
    xtkAssign,
    xtkBitComplement,
    xtkBraceClose,
    xtkBraceOpen,
    xtkColon,
    xtkComma,
    xtkDecrement,
    xtkDivide,
    xtkDivideAssign,
    xtkEllipse,
    xtkGreaterThan,
    xtkGreaterThanEqual,
    xtkIncOr,
    xtkIncOrAssign,
    xtkIncrement,
    xtkLessThan,
    xtkLessThanEqual,
    xtkLogAnd,
    xtkLogComplement,
    xtkLogEqual,
    xtkLogOr,
    xtkMod,
    xtkModAssign,
    xtkMultiplyAssign,
    xtkNotEqual,
    xtkPoint,
    xtkQuestion,
    xtkRoundClose,
    xtkRoundOpen,
    xtkScopeResolution,
    xtkSemiColon,
    xtkShiftLeft,
    xtkShiftLeftAssign,
    xtkShiftRight,
    xtkShiftRightAssign,
    xtkSquareClose,
    xtkSquareOpen,
    xtkStar,
    xtkSubtract,
    xtkSubtractAssign,
    xtkXor,
    xtkXorAssign,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsUnknown,             // neutral and start value
    rsAnsiC,               // inside a block comment
    rsAnsiCAsm,            // inside a block comment opened in an asm statement
    rsAnsiCAsmBlock,       // inside a block comment opened in an asm block
    rsAsm,                 // after the word asm
    rsAsmBlock,            // inside an asm block
    rsDirective,           // never entered
    rsDirectiveComment,    // inside a block comment of a preprocessor line
    rsString34,            // never entered
    rsString39,            // never entered
    rsMultiLineString,     // a string continued by a final backslash
    rsMultiLineDirective,  // a preprocessor line continued on the next line
};

}  // namespace QvCpp

class TQvCppHighlighter
    : public TQvCodeHighlighter<TQvCppHighlighter, QvCpp::TtkTokenKind> {
public:
    explicit TQvCppHighlighter(TComponent* AOwner);

    static TQvHighlighterCapabilities Capabilities();

    void Next() override;
    Integer GetTokenKind() const override { return GetTokenID(); }
    // The token kind; tkAsm for a token inside an asm statement or block.
    QvCpp::TtkTokenKind GetTokenID() const;
    // The extended id of the last operator token scanned.
    QvCpp::TxtkTokenKind GetExtTokenID() const { return extTokenID_; }

    // The installed versions of the IDE (names of the subkeys of its machine key); the
    // list is left as it is when the IDE is not installed.
    void EnumUserSettings(TStrings* Settings) override;
    // Reads the colours of the SettingIndex-th installed version into the attributes.
    // False when there is no such version or an entry cannot be read; the attributes are
    // then as they were.
    bool UseUserSettings(Integer SettingIndex) override;

    TQvHighlighterAttributes* AsmAttri() const { return asmAttri_; }
    TQvHighlighterAttributes* InvalidAttri() const { return invalidAttri_; }
    TQvHighlighterAttributes* CharAttri() const { return charAttri_; }
    TQvHighlighterAttributes* FloatAttri() const { return floatAttri_; }
    TQvHighlighterAttributes* HexAttri() const { return hexAttri_; }
    TQvHighlighterAttributes* OctalAttri() const { return octalAttri_; }
    TQvHighlighterAttributes* DirecAttri() const { return direcAttri_; }

    // The keyword table (94 words over 207 slots), shared by all instances.
    static const TQvKeywordTable& Keywords();

private:
    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void PointProc();
    void AsciiCharProc();
    void StringProc();
    void DirectiveProc();
    void SlashProc();
    void AtSymbolProc();
    void NotSymbolProc();
    void ModSymbolProc();
    void AndSymbolProc();
    void OrSymbolProc();
    void XOrSymbolProc();
    void StarProc();
    void PlusProc();
    void MinusProc();
    void EqualProc();
    void LowerProc();
    void GreaterProc();
    void ColonProc();
    void CommaProc();
    void SemiColonProc();
    void QuestionProc();
    void TildeProc();
    void RoundOpenProc();
    void RoundCloseProc();
    void SquareOpenProc();
    void SquareCloseProc();
    void BraceOpenProc();
    void BraceCloseProc();

    // Continuations of constructs that span lines.
    void AnsiCProc();
    void StringEndProc();
    void DirectiveEndProc();

    void Operator(Integer length, QvCpp::TxtkTokenKind id);
    void ScanNumber(Integer first);
    void ScanStringBody();
    void ScanDirectiveBody();
    // The character at `index`, or 0 before the start of the line.
    unsigned CharAt(Integer index) const { return index < 0 ? 0 : At(index); }
    bool OccursBetween(Integer from, Integer to, unsigned upper) const;
    // Runs the dispatch entry of a line end met where a continuation was expected.
    bool DispatchLineEnd();

    bool UseUserSettingsOfVersion(const std::string& version);

    bool asmStart_ = false;
    QvCpp::TxtkTokenKind extTokenID_ = QvCpp::xtkAdd;

    TQvHighlighterAttributes* asmAttri_;
    TQvHighlighterAttributes* invalidAttri_;
    TQvHighlighterAttributes* charAttri_;
    TQvHighlighterAttributes* floatAttri_;
    TQvHighlighterAttributes* hexAttri_;
    TQvHighlighterAttributes* octalAttri_;
    TQvHighlighterAttributes* direcAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
