#pragma once
// The form-file highlighter: the text form of form files (object trees of forms and
// their components). Colours the words object, inherited, inline and end, identifiers,
// numbers, strings, character codes, symbols and comments in braces, which may span
// lines. The unit also converts a form file between its binary resource form and text.

#include <array>
#include <string>

#include "platform/runtime/Classes.h"
#include "qvedit/highlighters/QvLanguageHighlighter.h"

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

class TQvDfmHighlighter
    : public TQvCodeHighlighter<TQvDfmHighlighter, QvDfm::TtkTokenKind> {
public:
    explicit TQvDfmHighlighter(TComponent* AOwner);

    void Next() override;

private:
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


    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};

// Reads a form file in either form into Strings as text. WasText tells whether the file
// was already text (it then passes through unchanged). Returns 0; a missing file or
// content that is neither form raises an exception, and Strings is then left empty.
Integer LoadDFMFile2Strings(const std::string& FileName, TStrings* Strings, bool& WasText);

// Converts the text form in Strings to the binary resource form and writes it to
// FileName. Returns 0; text that does not parse, or a failed write, raises an
// exception and leaves an existing file as it was.
Integer SaveStrings2DFMFile(TStrings* Strings, const std::string& FileName);
