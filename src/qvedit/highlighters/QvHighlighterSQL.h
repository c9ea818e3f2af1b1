#pragma once
// The SQL highlighter: one tokenizer for eight SQL dialects.
//
// Unlike the other language highlighters its keywords are not compiled in: they are
// loaded at run time from the chosen dialect's keyword texts into a keyword hash list,
// together with the user's table names. The list is rebuilt whenever the dialect or the
// table names change. Dialects differ in their word characters ("@" in the MS SQL ones),
// in what "@" and ":" start, in MySQL's "#" comments and backslash escapes, and in the
// Oracle "REM" lines.

#include <array>
#include <string>

#include "platform/runtime/Classes.h"
#include "qvedit/highlighters/QvLanguageHighlighter.h"
#include "qvedit/highlighters/QvHighlighterHashEntries.h"
#include "qvedit/highlighters/QvHighlighterSQLKeywords.h"

namespace QvSQL {

// Ranges; the ordinals are stored with each line.
enum TRangeState : Byte {
    rsUnknown,  // neutral and start value
    rsComment,  // inside a "/*" comment
    rsString,   // inside a single-quoted string
};

}  // namespace QvSQL

class TQvSQLHighlighter
    : public TQvCodeHighlighter<TQvSQLHighlighter, QvSQL::TtkTokenKind> {
public:
    explicit TQvSQLHighlighter(TComponent* AOwner);
    ~TQvSQLHighlighter() override;

    void Next() override;
    TQvIdentChars GetIdentChars() const override;
    // The sample of the current dialect.
    std::string GetSampleSource() const override;
    // True for a word of a keyword kind (data type, default package, exception,
    // function, reserved word, PL/SQL word); table names and comment words are not.
    bool IsKeyword(const std::string& AKeyword) override;
    // Copies SQLDialect from another SQL highlighter, then what every highlighter copies.
    void Assign(TPersistent* Source) override;

    QvSQL::TSQLDialect GetSQLDialect() const { return dialect_; }
    // A different dialect is stored and the keyword list rebuilt; a value outside the
    // enumeration is ignored.
    void SetSQLDialect(QvSQL::TSQLDialect Value);
    // The user's table names. Every change of the list rebuilds the keyword list; a name
    // equal to a keyword or to an earlier name is left out of it.
    TStrings* GetTableNames() { return &tableNames_; }
    void SetTableNames(TStrings* Value);

    // The hash of the word at `word` (NUL-terminated) with the dialect's character
    // tables, and the number of characters it covers.
    Integer KeyHash(const char* word, Integer& wordLength) const;
    // The kind of the word at `word`: the kind of the keyword list entry it matches,
    // else tkIdentifier. wordLength gets the number of characters the word covers.
    QvSQL::TtkTokenKind IdentKind(const char* word, Integer& wordLength) const;
    const TQvHashEntryList& GetKeywords() const { return keywords_; }

    TQvHighlighterAttributes* DataTypeAttri() const { return dataTypeAttri_; }
    TQvHighlighterAttributes* DefaultPackageAttri() const { return defaultPackageAttri_; }
    TQvHighlighterAttributes* ExceptionAttri() const { return exceptionAttri_; }
    TQvHighlighterAttributes* FunctionAttri() const { return functionAttri_; }
    TQvHighlighterAttributes* PLSQLAttri() const { return plsqlAttri_; }
    TQvHighlighterAttributes* SQLPlusAttri() const { return sqlPlusAttri_; }
    TQvHighlighterAttributes* TableNameAttri() const { return tableNameAttri_; }
    TQvHighlighterAttributes* VariableAttri() const { return variableAttri_; }

private:
    // Building the keyword list.
    void InitializeKeywordLists();
    void DoAddKeyword(const std::string& keyword, Integer kind);
    bool IsInKeywordList(const std::string& word) const;
    void TableNamesChanged(TObject* Sender);
    bool IsMSSQL() const;

    // Scanning operations by first character.
    void IdentProc();
    void NumberProc();
    void VariableProc();
    void AtSymbolProc();
    void ColonProc();
    void PoundProc();
    void MinusProc();
    void SlashProc();
    void DoubleQuoteProc();
    void SingleQuoteProc();
    void SQLUnknownProc();

    // Continuations of constructs that span lines.
    void CommentContinuation();
    void StringContinuation();

    void ScanStringBody();

    TQvHashEntryList keywords_;
    TStringList tableNames_;
    QvSQL::TSQLDialect dialect_ = QvSQL::sqlStandard;
    const TQvCharTable* identTable_;
    const TQvValueTable* hashTable_;

    TQvHighlighterAttributes* dataTypeAttri_;
    TQvHighlighterAttributes* defaultPackageAttri_;
    TQvHighlighterAttributes* exceptionAttri_;
    TQvHighlighterAttributes* functionAttri_;
    TQvHighlighterAttributes* plsqlAttri_;
    TQvHighlighterAttributes* sqlPlusAttri_;
    TQvHighlighterAttributes* tableNameAttri_;
    TQvHighlighterAttributes* variableAttri_;

    // What the shared skeleton reads.
    friend TLanguageBase;
    static const TQvLanguageInfo Info;
    static TProcTable MakeMethodTables();
};
