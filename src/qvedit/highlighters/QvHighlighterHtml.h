#pragma once
// The HTML highlighter: plain text between tags, tags with their attributes and values,
// comments and character entities. Tag words are recognised in any letter case; an
// entity is recognised in text only when it stands complete with its ";".

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "qvedit/highlighters/QvLanguageHighlighter.h"

namespace QvHTML {

// Token kinds; the ordinals are reported by GetTokenKind.
enum TtkTokenKind : Byte {
    tkAmpersand,
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkSpace,
    tkSymbol,
    tkText,
    tkUndefKey,
    tkValue,
};

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsAmpersand,         // an entity token is next
    rsComment,           // inside "<!--"
    rsKey,               // after "<": the tag word is next
    rsParam,             // inside a tag after its word
    rsText,              // outside tags; the start value
    rsUnKnown,           // never entered by the scanner
    rsValue,             // after "=" inside a tag
    rsQuoteValue,        // inside a value in single quotes
    rsDoubleQuoteValue,  // inside a value in double quotes
};

// The named entities recognised in text, each "&" + name + ";", tried in this order.
inline constexpr int EscapeAmpCount = 249;
extern const std::array<const char*, EscapeAmpCount> EscapeAmps;

// The tag words: the tags, their closing words and "!DOCTYPE".
std::span<const char* const> TagWordList();

}  // namespace QvHTML

// Recognises tag words. A word is a run of letters, "!" and "/" followed by a run of
// digits; its hash is the sum of the letters' values (1..26 in either case), "/" 122 and
// "!" 123, plus the numeric value of each digit. A hash of SlotCount or more is an
// identifier; a word hashing below that is a key when it equals a tag word (letters in
// any case, digits matching any digit), else an undefined key.
class TQvHtmlTagTable {
public:
    static constexpr Integer SlotCount = 244;

    TQvHtmlTagTable();

    // The kind of the word at `word` (NUL-terminated); wordLength gets its length.
    Byte IdentKind(const char* word, Integer& wordLength) const;
    // The hash of the word at `word`, summed in 64 bits so no word overflows it.
    static std::int64_t KeyHash(const char* word, Integer& wordLength);

    Integer WordCount() const { return wordCount_; }
    Integer OccupiedSlots() const;

private:
    static bool KeyComp(const char* word, Integer wordLength, const char* keyword);

    std::array<std::vector<const char*>, SlotCount> slots_;
    Integer wordCount_ = 0;
};

class TQvHTMLHighlighter
    : public TQvLanguageHighlighter<TQvHTMLHighlighter, QvHTML::TtkTokenKind> {
public:
    explicit TQvHTMLHighlighter(TComponent* AOwner);

    void Next() override;

    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }
    TQvHighlighterAttributes* TextAttri() const { return textAttri_; }
    TQvHighlighterAttributes* UndefKeyAttri() const { return undefKeyAttri_; }
    TQvHighlighterAttributes* ValueAttri() const { return valueAttri_; }
    TQvHighlighterAttributes* AndAttri() const { return andAttri_; }

    // The tag-word table (198 words over 244 slots), shared by all instances.
    static const TQvHtmlTagTable& TagWords();

protected:
    void DoSetLine(std::string_view NewValue, Integer LineNumber) override;
    // The entity found ahead, which the next token may be.
    std::uint32_t ExtraState() const override { return static_cast<std::uint32_t>(entityIndex_ + 1); }
    void SetExtraState(std::uint32_t Value) override;

private:
    // Scanning operations by first character.
    void SpaceProc();  // like the shared one, but a TAB always starts a new token
    void IdentProc();
    void StringProc();
    void AmpersandProc();
    void BraceOpenProc();
    void BraceCloseProc();
    void EqualProc();

    // Continuations by range.
    void TextProc();
    void CommentProc();

    void ScanValue();
    bool SkipCharacterReference(Integer& position) const;
    Integer EntityAt(Integer position) const;
    bool EntityStandsAt(Integer index, Integer position) const;

    TQvHighlighterAttributes* commentAttri_;
    TQvHighlighterAttributes* identifierAttri_;
    TQvHighlighterAttributes* keyAttri_;
    TQvHighlighterAttributes* spaceAttri_;
    TQvHighlighterAttributes* symbolAttri_;
    TQvHighlighterAttributes* textAttri_;
    TQvHighlighterAttributes* undefKeyAttri_;
    TQvHighlighterAttributes* valueAttri_;
    TQvHighlighterAttributes* andAttri_;

    // The index in EscapeAmps of the entity found ahead in text; -1 when none is pending.
    Integer entityIndex_ = -1;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
