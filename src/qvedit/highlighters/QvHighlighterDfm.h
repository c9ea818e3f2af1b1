#pragma once
// The form-file highlighter: the text form of form files (object trees of forms and
// their components). Colours the words object, inherited, inline and end, identifiers,
// numbers, strings, character codes, symbols and comments in braces, which may span
// lines. The unit also converts a form file between its binary resource form and text.

#include <array>
#include <string>

#include "platform/runtime/Classes.h"
#include "qvedit/highlighters/QvHighlighterBase.h"

namespace QvDfm {

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
    rsANil,     // never entered
    rsComment,  // inside braces
    rsUnKnown,  // the start value
};

}  // namespace QvDfm

class TQvDfmHighlighter : public TQvHighlighterBase {
public:
    explicit TQvDfmHighlighter(TComponent* AOwner);

    static std::string LanguageName();
    static TQvHighlighterCapabilities Capabilities();
    TQvHighlighterClass ClassType() const override;

    void Next() override;
    QvDfm::TtkTokenKind GetTokenID() const
    {
        return static_cast<QvDfm::TtkTokenKind>(tokenKind_);
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

private:
    using TProcTableProc = void (TQvDfmHighlighter::*)();
    static const std::array<TProcTableProc, 256>& ProcTable();
    static std::array<TProcTableProc, 256> MakeMethodTables();

    // Scanning operations by first character.
    void AltProc();         // an identifier
    void EndProc();         // "end", else an identifier
    void InheritedProc();   // "inherited" or "inline", else an identifier
    void ObjectProc();      // "object", else an identifier
    void NumberProc();
    void IntegerProc();     // "$" and hexadecimal digits
    void AsciiCharProc();   // "#" and decimal digits
    void StringProc();
    void BraceOpenProc();
    void BraceCloseProc();  // "}" outside a comment

    // Takes a comment up to and including "}" or up to the line's end. openedHere: the
    // token starts with the "{" that opens it, so the search for "}" starts after it.
    void CommentProc(bool openedHere);
    // A keyword token when `word` (lower case) stands here as a whole word.
    bool KeyWordAt(const char* word);

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* numberAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* stringAttri_;
    TQvHighlighterAttributes* symbolAttri_;
};

// Reads a form file in either form into Strings as text. WasText tells whether the file
// was already text (it then passes through unchanged). Returns 0; a missing file or
// content that is neither form raises an exception, and Strings is then left empty.
Integer LoadDFMFile2Strings(const std::string& FileName, TStrings* Strings, bool& WasText);

// Converts the text form in Strings to the binary resource form and writes it to
// FileName. Returns 0; text that does not parse, or a failed write, raises an
// exception and leaves an existing file as it was.
Integer SaveStrings2DFMFile(TStrings* Strings, const std::string& FileName);
