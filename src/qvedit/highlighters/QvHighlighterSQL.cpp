#include "qvedit/highlighters/QvHighlighterSQL.h"

#include <cstdint>
#include <memory>

#include "platform/runtime/CodePages.h"

using namespace QvSQL;

namespace {

// Identifier characters of the scanner and the hash: letters, digits, "_", "#", "$";
// the MS SQL dialects add "@".
constexpr TQvCharTable MakeIdentTable(bool withAt)
{
    TQvCharTable table{};
    for (int c = 0; c < 256; ++c)
        table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '#' || c == '$' || (withAt && c == '@');
    return table;
}

// Hash values: a/A 2 .. z/Z 27, "_" 1, "@" 28 in the MS SQL dialects, everything else 0.
constexpr TQvValueTable MakeHashTable(bool withAt)
{
    TQvValueTable table{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 'a' && c <= 'z')
            table[c] = c - 'a' + 2;
        else if (c >= 'A' && c <= 'Z')
            table[c] = c - 'A' + 2;
        else if (c == '_')
            table[c] = 1;
        else if (withAt && c == '@')
            table[c] = 28;
    }
    return table;
}

constexpr TQvCharTable DefaultIdentTable = MakeIdentTable(false);
constexpr TQvValueTable DefaultHashTable = MakeHashTable(false);
constexpr TQvCharTable MSSQLIdentTable = MakeIdentTable(true);
constexpr TQvValueTable MSSQLHashTable = MakeHashTable(true);

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameUpperCased(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    return true;
}

// One short program per dialect, in the order of TSQLDialect.
const char* const SampleSources[] = {
    // sqlStandard
    "-- ansi sql sample source\r\n"
    "select name, salary from employee\r\n"
    "where salary > 1000 and name like 'A%'\r\n"
    "order by name;",
    // sqlInterbase6
    "/* Interbase sample source */\r\n"
    "SET TERM !! ;\r\n"
    "CREATE PROCEDURE GET_EMP_PROJ (EMP_NO SMALLINT)\r\n"
    "RETURNS (PROJ_ID CHAR(5)) AS\r\n"
    "BEGIN\r\n"
    "  FOR SELECT PROJ_ID FROM EMPLOYEE_PROJECT WHERE EMP_NO = :EMP_NO\r\n"
    "    INTO :PROJ_ID DO SUSPEND;\r\n"
    "END !!\r\n"
    "SET TERM ; !!",
    // sqlMSSQL7
    "/* SQL Server 7 example source */\r\n"
    "DECLARE @Count INT\r\n"
    "SELECT @Count = COUNT(*) FROM Orders WHERE OrderDate > GETDATE() - 30\r\n"
    "IF @@ERROR <> 0 PRINT 'Query failed'",
    // sqlMySQL
    "/* MySQL sample source*/\r\n"
    "# list the newest articles\r\n"
    "SELECT id, title, DATE_FORMAT(created, '%Y-%m-%d') FROM articles\r\n"
    "WHERE title <> 'It\\'s new' ORDER BY created DESC LIMIT 10;",
    // sqlOracle
    "PROMPT Oracle sample source\r\n"
    "REM count the orders of each customer\r\n"
    "DECLARE\r\n"
    "  total NUMBER := 0;\r\n"
    "BEGIN\r\n"
    "  SELECT COUNT(*) INTO total FROM orders WHERE customer_id = :cid;\r\n"
    "  DBMS_OUTPUT.PUT_LINE('Orders: ' || TO_CHAR(total));\r\n"
    "EXCEPTION\r\n"
    "  WHEN NO_DATA_FOUND THEN NULL;\r\n"
    "END;\r\n"
    "/",
    // sqlSybase
    "/* SyBase example source */\r\n"
    "declare @Integer int\r\n"
    "select @Integer = 1000\r\n"
    "select title, price from titles where price > @Integer\r\n"
    "go",
    // sqlIngres
    "/* Ingres example source */\r\n"
    "CREATE TABLE parts (part_no INTEGER NOT NULL, name VARCHAR(40));\r\n"
    "SELECT part_no, UPPERCASE(name) FROM parts WHERE part_no > 100;\r\n"
    "COMMIT;",
    // sqlMSSQL2K
    "/* SQL Server2000 example source */\r\n"
    "DECLARE @Total money\r\n"
    "SELECT @Total = SUM(UnitPrice * Quantity) FROM [Order Details]\r\n"
    "SELECT @Total AS Total, SCOPE_IDENTITY() AS LastId, @@ROWCOUNT AS Rows",
};

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvSQLHighlighter>()), true);

}  // namespace

// No single sample: GetSampleSource picks the dialect's.
const TQvLanguageInfo TQvSQLHighlighter::Info = {QVS_LangSQL, QVS_FilterSQL, nullptr};

TQvSQLHighlighter::TQvSQLHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsString + 1, rsUnknown),
      identTable_(&DefaultIdentTable),
      hashTable_(&DefaultHashTable)
{
    tableNames_.OnChange = TNotifyEvent(this, &TQvSQLHighlighter::TableNamesChanged);
    commentAttri_ = CreateAttribute(QVS_AttrComment, fsItalic, {tkComment});
    dataTypeAttri_ = CreateAttribute(QVS_AttrDataType, fsBold, {tkDatatype});
    defaultPackageAttri_ = CreateAttribute(QVS_AttrDefaultPackage, fsBold, {tkDefaultPackage});
    exceptionAttri_ = CreateAttribute(QVS_AttrException, fsItalic, {tkException});
    functionAttri_ = CreateAttribute(QVS_AttrFunction, fsBold, {tkFunction});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, {}, {tkIdentifier, tkUnknown});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    numberAttri_ = CreateAttribute(QVS_AttrNumber, {}, {tkNumber});
    plsqlAttri_ = CreateAttribute(QVS_AttrPLSQL, fsBold, {tkPLSQL});
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    sqlPlusAttri_ = CreateAttribute(QVS_AttrSQLPlus, fsBold, {tkSQLPlus});
    stringAttri_ = CreateAttribute(QVS_AttrString, {}, {tkString});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol});
    tableNameAttri_ = CreateAttribute(QVS_AttrTableName, {}, {tkTableName});
    variableAttri_ = CreateAttribute(QVS_AttrVariable, {}, {tkVariable});
    SetCodeRoleAttributes();
    FinishLanguage();
    SetSQLDialect(sqlSybase);
}

TQvSQLHighlighter::~TQvSQLHighlighter()
{
    // The list's own destruction must not call back into a half-destroyed highlighter.
    tableNames_.OnChange = nullptr;
}

TQvIdentChars TQvSQLHighlighter::GetIdentChars() const
{
    TQvIdentChars chars = WordAndUpperLetterChars();
    if (IsMSSQL())
        chars.Include('@');
    if (dialect_ == sqlOracle) {
        chars.Include('#');
        chars.Include('$');
    }
    return chars;
}

std::string TQvSQLHighlighter::GetSampleSource() const
{
    return SampleSources[dialect_];
}

bool TQvSQLHighlighter::IsMSSQL() const
{
    return dialect_ == sqlMSSQL7 || dialect_ == sqlMSSQL2K;
}

void TQvSQLHighlighter::SetSQLDialect(TSQLDialect Value)
{
    if (Value == dialect_ || Value > sqlMSSQL2K)
        return;
    dialect_ = Value;
    InitializeKeywordLists();
}

void TQvSQLHighlighter::SetTableNames(TStrings* Value)
{
    tableNames_.Assign(Value);
}

void TQvSQLHighlighter::TableNamesChanged(TObject* /*Sender*/)
{
    InitializeKeywordLists();
}

void TQvSQLHighlighter::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TQvSQLHighlighter*>(Source))
        SetSQLDialect(source->GetSQLDialect());
    TQvHighlighterBase::Assign(Source);
}

bool TQvSQLHighlighter::IsKeyword(const std::string& AKeyword)
{
    Integer wordLength = 0;
    const TtkTokenKind kind = IdentKind(AKeyword.c_str(), wordLength);
    if (wordLength != static_cast<Integer>(AKeyword.size()))
        return false;
    switch (kind) {
    case tkDatatype:
    case tkDefaultPackage:
    case tkException:
    case tkFunction:
    case tkKey:
    case tkPLSQL:
        return true;
    default:
        return false;
    }
}

// ---- The keyword list -----------------------------------------------------------------

Integer TQvSQLHighlighter::KeyHash(const char* word, Integer& wordLength) const
{
    // Unsigned, so that long words wrap instead of overflowing; only the low byte counts.
    std::uint32_t hash = 0;
    Integer length = 0;
    for (;;) {
        const auto c = static_cast<unsigned char>(word[length]);
        if (!(*identTable_)[c])
            break;
        hash = 2 * hash + static_cast<std::uint32_t>((*hashTable_)[c]);
        ++length;
    }
    wordLength = length;
    return static_cast<Integer>(hash & 255);
}

TtkTokenKind TQvSQLHighlighter::IdentKind(const char* word, Integer& wordLength) const
{
    const Integer hash = KeyHash(word, wordLength);
    // A chain is sorted by length, so the walk stops at the first longer entry. Letters
    // match in either case; digits, "#", "$" and "@" all count as equal.
    for (TQvHashEntry* entry = keywords_.Get(hash); entry != nullptr && entry->KeyLen() <= wordLength;
         entry = entry->Next()) {
        if (entry->KeyLen() != wordLength)
            continue;
        const std::string& keyword = entry->Keyword();
        Integer i = 0;
        while (i < wordLength &&
               DefaultHashTable[static_cast<unsigned char>(word[i])] ==
                   DefaultHashTable[static_cast<unsigned char>(keyword[static_cast<std::size_t>(i)])])
            ++i;
        if (i == wordLength)
            return static_cast<TtkTokenKind>(entry->Kind());
    }
    return tkIdentifier;
}

// A word containing a character outside the identifier table ("end-exec") is hashed up
// to that character but stored whole, so a scanned word never matches it.
void TQvSQLHighlighter::DoAddKeyword(const std::string& keyword, Integer kind)
{
    Integer wordLength = 0;
    const Integer hash = KeyHash(keyword.c_str(), wordLength);
    keywords_.Put(hash, std::make_unique<TQvHashEntry>(keyword, kind));
}

bool TQvSQLHighlighter::IsInKeywordList(const std::string& word) const
{
    Integer wordLength = 0;
    for (TQvHashEntry* entry = keywords_.Get(KeyHash(word.c_str(), wordLength)); entry != nullptr;
         entry = entry->Next())
        if (SameUpperCased(entry->Keyword(), word))
            return true;
    return false;
}

void TQvSQLHighlighter::InitializeKeywordLists()
{
    keywords_.Clear();
    if (IsMSSQL()) {
        identTable_ = &MSSQLIdentTable;
        hashTable_ = &MSSQLHashTable;
    } else {
        identTable_ = &DefaultIdentTable;
        hashTable_ = &DefaultHashTable;
    }
    TQvIdentChars wordChars = GetIdentChars();
    if (dialect_ == sqlStandard)
        wordChars.Include('-');
    const TQvEnumerateKeywordEvent addKeyword(this, &TQvSQLHighlighter::DoAddKeyword);
    for (const TQvSQLKeywordText& text : SQLKeywordTexts(dialect_))
        EnumerateKeywords(text.Kind, text.Words, wordChars, addKeyword);
    for (int i = 0; i < tableNames_.Count(); ++i) {
        const std::string name = tableNames_.Strings(i);
        if (!IsInKeywordList(name))
            DoAddKeyword(name, tkTableName);
    }
    DefHighlightChange(this);
}

// ---- The scanner ----------------------------------------------------------------------

TQvSQLHighlighter::TProcTable TQvSQLHighlighter::MakeMethodTables()
{
    TProcTable table = WordProcTable(&TQvSQLHighlighter::SQLUnknownProc);
    for (char c : {'!', '%', '*', '^'})
        table[static_cast<unsigned char>(c)] = &TQvSQLHighlighter::AssignmentSymbolProc;
    for (char c : {'(', ')', ',', '.', ';', '?', '[', ']', '{', '}', '~'})
        table[static_cast<unsigned char>(c)] = &TQvSQLHighlighter::SymbolProc;
    table['&'] = &TQvSQLHighlighter::AndSymbolProc;
    table['|'] = &TQvSQLHighlighter::OrSymbolProc;
    table['+'] = &TQvSQLHighlighter::PlusSymbolProc;
    table['='] = &TQvSQLHighlighter::EqualOrGreaterSymbolProc;
    table['>'] = &TQvSQLHighlighter::EqualOrGreaterSymbolProc;
    table['<'] = &TQvSQLHighlighter::LessSymbolProc;
    table['-'] = &TQvSQLHighlighter::MinusProc;
    table['/'] = &TQvSQLHighlighter::SlashProc;
    table['"'] = &TQvSQLHighlighter::DoubleQuoteProc;
    table['\''] = &TQvSQLHighlighter::SingleQuoteProc;
    table['@'] = &TQvSQLHighlighter::AtSymbolProc;
    table[':'] = &TQvSQLHighlighter::ColonProc;
    table['#'] = &TQvSQLHighlighter::PoundProc;
    return table;
}

void TQvSQLHighlighter::Next()
{
    tokenPos_ = run_;
    switch (range_) {
    case rsComment:
        CommentContinuation();
        break;
    case rsString:
        StringContinuation();
        break;
    default:
        Dispatch();
        break;
    }
}

void TQvSQLHighlighter::IdentProc()
{
    Integer wordLength = 0;
    tokenKind_ = IdentKind(line_ + run_, wordLength);
    run_ += wordLength;
    // The Oracle "REM" words comment out the rest of the line.
    if (tokenKind_ == tkComment)
        ScanToLineEnd();
}

void TQvSQLHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    for (;;) {
        const unsigned c = At(run_);
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-'))
            break;
        if (c == '.' && At(run_ + 1) == '.')
            break;
        ++run_;
    }
}

void TQvSQLHighlighter::VariableProc()
{
    tokenKind_ = tkVariable;
    ++run_;
    while ((*identTable_)[At(run_)])
        ++run_;
}

void TQvSQLHighlighter::AtSymbolProc()
{
    if (IsMSSQL() && At(run_ + 1) == '@')
        IdentProc();  // "@@ERROR" and the like are words
    else if (dialect_ == sqlMySQL || dialect_ == sqlOracle)
        SymbolOfLength(1);
    else
        VariableProc();
}

void TQvSQLHighlighter::ColonProc()
{
    if (dialect_ == sqlOracle || dialect_ == sqlIngres)
        VariableProc();
    else
        SymbolOfLength(1);
}

void TQvSQLHighlighter::PoundProc()
{
    if (dialect_ == sqlMySQL && run_ == 0) {
        // An empty comment token opens the comment range; the comment continuation then
        // takes the "#" line as a whole and closes the range again.
        tokenKind_ = tkComment;
        range_ = rsComment;
    } else {
        SQLUnknownProc();
    }
}

void TQvSQLHighlighter::SQLUnknownProc()
{
    tokenKind_ = tkUnknown;
    // A lead byte takes its trail byte along, but never the end of the line.
    const bool leadByte = IsDBCSLeadByte(static_cast<Byte>(At(run_)));
    ++run_;
    if (leadByte && !AtLineEnd(run_))
        ++run_;
}

// ---- Symbols --------------------------------------------------------------------------

void TQvSQLHighlighter::MinusProc()
{
    if (At(run_ + 1) == '-') {
        tokenKind_ = tkComment;
        ScanToLineEnd();
    } else {
        SymbolOfLength(1);
    }
}

// ---- Comments -------------------------------------------------------------------------

void TQvSQLHighlighter::SlashProc()
{
    SlashCommentProc(false, rsComment, rsUnknown);
}

void TQvSQLHighlighter::CommentContinuation()
{
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = tkComment;
    if (dialect_ == sqlMySQL && run_ == 0 && At(run_) == '#') {
        // A MySQL "#" line ends the open comment.
        range_ = rsUnknown;
        ScanToLineEnd();
        return;
    }
    ScanBlockCommentBody(rsUnknown);
}

// ---- Strings --------------------------------------------------------------------------

// A double-quoted string never spans lines: it ends at a quote that is not doubled, or
// at the end of the line. A backslash before a quote keeps the quote inside.
void TQvSQLHighlighter::DoubleQuoteProc()
{
    tokenKind_ = tkString;
    ++run_;
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        if ((c == '\\' || c == '"') && At(run_ + 1) == '"') {
            run_ += 2;
            continue;
        }
        ++run_;
        if (c == '"')
            return;
    }
}

void TQvSQLHighlighter::SingleQuoteProc()
{
    tokenKind_ = tkString;
    range_ = rsString;
    ++run_;
    ScanStringBody();
}

// Scans a single-quoted string up to and including its closing quote (the range becomes
// neutral) or to the end of the line (the range stays). In MySQL a backslash escapes the
// character after it, so "\'" stays inside and "\\'" closes.
void TQvSQLHighlighter::ScanStringBody()
{
    while (!AtLineEnd(run_)) {
        const unsigned c = At(run_);
        ++run_;
        if (c == '\'') {
            range_ = rsUnknown;
            return;
        }
        if (c == '\\' && dialect_ == sqlMySQL && !AtLineEnd(run_))
            ++run_;
    }
}

void TQvSQLHighlighter::StringContinuation()
{
    if (AtLineEnd(run_)) {
        Dispatch();
        return;
    }
    tokenKind_ = tkString;
    ScanStringBody();
}
