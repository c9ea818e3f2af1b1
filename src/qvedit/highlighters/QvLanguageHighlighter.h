#pragma once
// The members every language highlighter class answers the same way, written once.
//
// A language class derives from TQvLanguageHighlighter<itself, its token-kind enumeration>
// (or TQvCodeHighlighter for the attribute set most programming languages share), makes
// the template its friend and declares
//   static const TQvLanguageInfo Info;    its name, filter and sample
//   static TProcTable MakeMethodTables();  its dispatch table
// The template answers ClassType, LanguageName, Capabilities, GetTokenID, GetIdentChars
// and GetSampleSource from these, keeps the dispatch table and runs it. A language with
// other answers (more capabilities, other identifier characters, a sample per dialect)
// declares its own member of the same name.

#include <array>
#include <string>

#include "qvedit/highlighters/QvHighlighterBase.h"

// What a language says about itself.
struct TQvLanguageInfo {
    TQvResStringId Name;       // the language's name
    TQvResStringId Filter;     // the default file filter
    const char* SampleSource;  // the sample text; nil where the class picks its own
};

template <class TLanguage, class TTokenKind>
class TQvLanguageHighlighter : public TQvHighlighterBase {
public:
    static std::string LanguageName() { return LoadResString(TLanguage::Info.Name); }
    static TQvHighlighterCapabilities Capabilities()
    {
        return TQvCustomHighlighter::Capabilities();
    }
    TQvHighlighterClass ClassType() const override { return HighlighterClassOf<TLanguage>(); }

    TTokenKind GetTokenID() const { return static_cast<TTokenKind>(tokenKind_); }
    TQvIdentChars GetIdentChars() const override { return WordAndUpperLetterChars(); }
    std::string GetSampleSource() const override { return TLanguage::Info.SampleSource; }

protected:
    using TLanguageBase = TQvLanguageHighlighter;
    using TProcTableProc = void (TLanguage::*)();
    using TProcTable = std::array<TProcTableProc, 256>;

    using TQvHighlighterBase::TQvHighlighterBase;

    // Makes the attributes' values their defaults and sets the language's file filter:
    // the last step of a language's constructor.
    void FinishLanguage()
    {
        FinishAttributes();
        SetDefaultFilter(LoadResString(TLanguage::Info.Filter));
    }

    // A dispatch table with `other` for every character, `space` for codes 1..32 and the
    // line-end operations for NUL, LF and CR.
    static TProcTable BasicProcTable(TProcTableProc other,
                                     TProcTableProc space = &TLanguage::SpaceProc)
    {
        TProcTable table;
        table.fill(other);
        for (int c = 1; c <= 32; ++c)
            table[c] = space;
        table[0] = &TLanguage::NullProc;
        table['\n'] = &TLanguage::LFProc;
        table['\r'] = &TLanguage::CRProc;
        return table;
    }

    // BasicProcTable(other), with digits starting numbers (NumberProc) and the other
    // ASCII word characters, letters and '_', starting words (IdentProc).
    static TProcTable WordProcTable(TProcTableProc other)
    {
        TProcTable table = BasicProcTable(other);
        static constexpr TQvCharTable wordChars = MakeWordCharTable();
        for (int c = 0; c < 128; ++c) {
            if (c >= '0' && c <= '9')
                table[c] = &TLanguage::NumberProc;
            else if (wordChars[c])
                table[c] = &TLanguage::IdentProc;
        }
        return table;
    }

    // Runs the dispatch table's operation for the character at the position.
    void Dispatch() { (static_cast<TLanguage*>(this)->*ProcTable()[At(run_)])(); }

    // A word: the kind the language's keyword table gives it, then the word characters
    // after those the hash took.
    void IdentProc()
    {
        static constexpr TQvCharTable wordChars = MakeWordCharTable();
        Integer wordLength = 0;
        tokenKind_ = TLanguage::Keywords().IdentKind(line_ + run_, wordLength);
        run_ += wordLength;
        while (wordChars[At(run_)])
            ++run_;
    }

    // '/' of the C-like languages: "//" a comment to the end of the line where the
    // language has them, "/*" a comment that commentRange carries to later lines until
    // its "*/" sets closedRange, "/=" and "/" symbols.
    void SlashCommentProc(bool lineComments, Byte commentRange, Byte closedRange)
    {
        switch (At(run_ + 1)) {
        case '/':
            if (!lineComments)
                break;
            tokenKind_ = TTokenKind::tkComment;
            ScanToLineEnd();
            return;
        case '*':
            tokenKind_ = TTokenKind::tkComment;
            range_ = commentRange;
            run_ += 2;
            ScanBlockCommentBody(closedRange);
            return;
        case '=':
            SymbolOfLength(2);
            return;
        default:
            break;
        }
        SymbolOfLength(1);
    }

private:
    // Built once and shared by all instances of the language.
    static const TProcTable& ProcTable()
    {
        static const TProcTable table = TLanguage::MakeMethodTables();
        return table;
    }
};

// The attributes of the kinds most programming languages share. A language with further
// attributes creates them all in the order it lists them and names the roles with
// SetCodeRoleAttributes; one without takes CreateCodeAttributes.
template <class TLanguage, class TTokenKind>
class TQvCodeHighlighter : public TQvLanguageHighlighter<TLanguage, TTokenKind> {
public:
    TQvHighlighterAttributes* CommentAttri() const { return commentAttri_; }
    TQvHighlighterAttributes* IdentifierAttri() const { return identifierAttri_; }
    TQvHighlighterAttributes* KeyAttri() const { return keyAttri_; }
    TQvHighlighterAttributes* NumberAttri() const { return numberAttri_; }
    TQvHighlighterAttributes* SpaceAttri() const { return spaceAttri_; }
    TQvHighlighterAttributes* StringAttri() const { return stringAttri_; }
    TQvHighlighterAttributes* SymbolAttri() const { return symbolAttri_; }

protected:
    using TQvLanguageHighlighter<TLanguage, TTokenKind>::TQvLanguageHighlighter;

    // Creates the shared attributes in their usual order and gives them their roles, for
    // a language with no attributes of its own: comments italic, keys bold and named
    // keyName, characters of no token shown as identifiers.
    void CreateCodeAttributes(TQvResStringId keyName)
    {
        using K = TTokenKind;
        commentAttri_ = this->CreateAttribute(QVS_AttrComment, fsItalic, {K::tkComment});
        identifierAttri_ =
            this->CreateAttribute(QVS_AttrIdentifier, {}, {K::tkIdentifier, K::tkUnknown});
        keyAttri_ = this->CreateAttribute(keyName, fsBold, {K::tkKey});
        numberAttri_ = this->CreateAttribute(QVS_AttrNumber, {}, {K::tkNumber});
        spaceAttri_ = this->CreateAttribute(QVS_AttrSpace, {}, {K::tkSpace});
        stringAttri_ = this->CreateAttribute(QVS_AttrString, {}, {K::tkString});
        symbolAttri_ = this->CreateAttribute(QVS_AttrSymbol, {}, {K::tkSymbol});
        SetCodeRoleAttributes();
    }

    // The shared attributes take the roles comment, identifier, key, string, space and
    // symbol.
    void SetCodeRoleAttributes()
    {
        this->SetRoleAttributes(
            {commentAttri_, identifierAttri_, keyAttri_, stringAttri_, spaceAttri_, symbolAttri_});
    }

    TQvHighlighterAttributes* commentAttri_ = nullptr;
    TQvHighlighterAttributes* identifierAttri_ = nullptr;
    TQvHighlighterAttributes* keyAttri_ = nullptr;
    TQvHighlighterAttributes* numberAttri_ = nullptr;
    TQvHighlighterAttributes* spaceAttri_ = nullptr;
    TQvHighlighterAttributes* stringAttri_ = nullptr;
    TQvHighlighterAttributes* symbolAttri_ = nullptr;
};
