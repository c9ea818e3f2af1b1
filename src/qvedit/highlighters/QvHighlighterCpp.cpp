#include "qvedit/highlighters/QvHighlighterCpp.h"

#include <memory>
#include <vector>

#include "platform/files/Registry.h"
#include "platform/runtime/SysUtils.h"

using namespace QvCpp;

namespace {

constexpr TQvCharTable IdentCharTable = MakeWordCharTable();

// The keyword hash values: capitals 1..26, small letters 2..27, everything else 0.
constexpr TQvValueTable MakeCppLetterValueTable()
{
    TQvValueTable table{};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = c - 'A' + 1;
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = c - 'a' + 2;
    return table;
}
constexpr TQvValueTable LetterValueTable = MakeCppLetterValueTable();

constexpr Integer KeywordSlotCount = 207;

constexpr TQvKeyword KeywordList[] = {
    {"asm", tkKey},          {"auto", tkKey},         {"bool", tkKey},
    {"break", tkKey},        {"case", tkKey},         {"catch", tkKey},
    {"char", tkKey},         {"class", tkKey},        {"const", tkKey},
    {"const_cast", tkKey},   {"continue", tkKey},     {"default", tkKey},
    {"delete", tkKey},       {"do", tkKey},           {"double", tkKey},
    {"dynamic_cast", tkKey}, {"else", tkKey},         {"enum", tkKey},
    {"explicit", tkKey},     {"extern", tkKey},       {"false", tkKey},
    {"float", tkKey},        {"for", tkKey},          {"friend", tkKey},
    {"goto", tkKey},         {"if", tkKey},           {"inline", tkKey},
    {"int", tkKey},          {"long", tkKey},         {"mutable", tkKey},
    {"namespace", tkKey},    {"new", tkKey},          {"operator", tkKey},
    {"private", tkKey},      {"protected", tkKey},    {"public", tkKey},
    {"register", tkKey},     {"reinterpret_cast", tkKey}, {"return", tkKey},
    {"short", tkKey},        {"signed", tkKey},       {"sizeof", tkKey},
    {"static", tkKey},       {"static_cast", tkKey},  {"struct", tkKey},
    {"switch", tkKey},       {"template", tkKey},     {"this", tkKey},
    {"throw", tkKey},        {"true", tkKey},         {"try", tkKey},
    {"typedef", tkKey},      {"typeid", tkKey},       {"typename", tkKey},
    {"union", tkKey},        {"unsigned", tkKey},     {"using", tkKey},
    {"virtual", tkKey},      {"void", tkKey},         {"volatile", tkKey},
    {"wchar_t", tkKey},      {"while", tkKey},
    // Compiler extensions.
    {"__asm", tkKey},        {"__automated", tkKey},  {"__cdecl", tkKey},
    {"__classid", tkKey},    {"__closure", tkKey},    {"__declspec", tkKey},
    {"__dispid", tkKey},     {"__except", tkKey},     {"__export", tkKey},
    {"__fastcall", tkKey},   {"__finally", tkKey},    {"__import", tkKey},
    {"__int16", tkKey},      {"__int32", tkKey},      {"__int64", tkKey},
    {"__int8", tkKey},       {"__pascal", tkKey},     {"__property", tkKey},
    {"__published", tkKey},  {"__rtti", tkKey},       {"__stdcall", tkKey},
    {"__thread", tkKey},     {"__try", tkKey},        {"_asm", tkKey},
    {"_cdecl", tkKey},       {"_export", tkKey},      {"_fastcall", tkKey},
    {"_import", tkKey},      {"_pascal", tkKey},      {"_stdcall", tkKey},
    {"cdecl", tkKey},        {"pascal", tkKey},
};

const char SampleSource[] =
    "// Syntax Highlighting\r\n"
    "void __fastcall TForm1::Button1Click(TObject *Sender)\r\n"
    "{\r\n"
    "  int number = 123456;\r\n"
    "  char c = 'a';\r\n"
    "  char *str = \"String\";\r\n"
    "  for (int i = 0; i <= number; i++)\r\n"
    "  {\r\n"
    "    number -= 0xff;\r\n"
    "    number += 023;\r\n"
    "    float f = 1.0;\r\n"
    "    @; /* illegal character */\r\n"
    "  }\r\n"
    "#ifdef USE_ASM\r\n"
    "  asm\r\n"
    "  {\r\n"
    "    ASM MOV AX, 0x1234\r\n"
    "    ASM MOV BX, AX\r\n"
    "  }\r\n"
    "#endif\r\n"
    "}";

// True for the words that open an asm statement.
bool IsAsmWord(const char* word, Integer length)
{
    const std::string_view text(word, static_cast<std::size_t>(length));
    return text == "asm" || text == "_asm" || text == "__asm";
}

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvCppHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvCppHighlighter::Info = {QVS_LangCPP, QVS_FilterCPP, SampleSource};

TQvCppHighlighter::TQvCppHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsMultiLineDirective + 1,
                         rsUnknown)
{
    asmAttri_ = CreateAttribute(QVS_AttrAssembler, {}, {tkAsm});
    commentAttri_ = CreateAttribute(QVS_AttrComment, fsItalic, {tkComment});
    identifierAttri_ = CreateAttribute(QVS_AttrIdentifier, {}, {tkIdentifier});
    invalidAttri_ = CreateAttribute(QVS_AttrIllegalChar, {}, {tkUnknown});
    keyAttri_ = CreateAttribute(QVS_AttrReservedWord, fsBold, {tkKey});
    numberAttri_ = CreateAttribute(QVS_AttrNumber, {}, {tkNumber});
    charAttri_ = CreateAttribute(QVS_AttrCharacter, {}, {tkChar});
    floatAttri_ = CreateAttribute(QVS_AttrFloat, {}, {tkFloat});
    hexAttri_ = CreateAttribute(QVS_AttrHexadecimal, {}, {tkHex});
    octalAttri_ = CreateAttribute(QVS_AttrOctal, {}, {tkOctal});
    spaceAttri_ = CreateAttribute(QVS_AttrSpace, {}, {tkSpace});
    spaceAttri_->SetForeground(clWindow);
    stringAttri_ = CreateAttribute(QVS_AttrString, {}, {tkString});
    symbolAttri_ = CreateAttribute(QVS_AttrSymbol, {}, {tkSymbol});
    direcAttri_ = CreateAttribute(QVS_AttrPreprocessor, {}, {tkDirective});
    SetCodeRoleAttributes();
    FinishLanguage();
}

TQvHighlighterCapabilities TQvCppHighlighter::Capabilities()
{
    TQvHighlighterCapabilities capabilities = TQvCustomHighlighter::Capabilities();
    capabilities.Include(hcUserSettings);
    return capabilities;
}

const TQvKeywordTable& TQvCppHighlighter::Keywords()
{
    static const TQvKeywordTable table(KeywordSlotCount,
                                       TQvKeywordHashing{IdentCharTable, LetterValueTable, false},
                                       KeywordList, tkIdentifier);
    return table;
}

TtkTokenKind TQvCppHighlighter::GetTokenID() const
{
    const auto kind = static_cast<TtkTokenKind>(tokenKind_);
    const bool inAsm = range_ == rsAsm || range_ == rsAsmBlock;
    if (inAsm && !asmStart_ && kind != tkComment && kind != tkSpace && kind != tkNull)
        return tkAsm;
    return kind;
}

TQvCppHighlighter::TProcTable TQvCppHighlighter::MakeMethodTables()
{
    using H = TQvCppHighlighter;
    TProcTable table = WordProcTable(&H::UnknownProc);
    const std::pair<char, TProcTableProc> symbols[] = {
        {'!', &H::NotSymbolProc},   {'"', &H::StringProc},      {'#', &H::DirectiveProc},
        {'%', &H::ModSymbolProc},   {'&', &H::AndSymbolProc},   {'\'', &H::AsciiCharProc},
        {'(', &H::RoundOpenProc},   {')', &H::RoundCloseProc},  {'*', &H::StarProc},
        {'+', &H::PlusProc},        {',', &H::CommaProc},       {'-', &H::MinusProc},
        {'.', &H::PointProc},       {'/', &H::SlashProc},       {':', &H::ColonProc},
        {';', &H::SemiColonProc},   {'<', &H::LowerProc},       {'=', &H::EqualProc},
        {'>', &H::GreaterProc},     {'?', &H::QuestionProc},    {'@', &H::AtSymbolProc},
        {'[', &H::SquareOpenProc},  {']', &H::SquareCloseProc}, {'^', &H::XOrSymbolProc},
        {'{', &H::BraceOpenProc},   {'|', &H::OrSymbolProc},    {'}', &H::BraceCloseProc},
        {'~', &H::TildeProc},
    };
    for (const auto& [c, proc] : symbols)
        table[static_cast<unsigned char>(c)] = proc;
    return table;
}

void TQvCppHighlighter::Next()
{
    asmStart_ = false;
    tokenPos_ = run_;
    switch (range_) {
    case rsAnsiC:
    case rsAnsiCAsm:
    case rsAnsiCAsmBlock:
    case rsDirectiveComment:
        AnsiCProc();
        break;
    case rsMultiLineString:
        StringEndProc();
        break;
    case rsMultiLineDirective:
        DirectiveEndProc();
        break;
    default:
        range_ = rsUnknown;
        Dispatch();
        break;
    }
}

bool TQvCppHighlighter::DispatchLineEnd()
{
    if (!AtLineEnd(run_))
        return false;
    Dispatch();
    return true;
}

void TQvCppHighlighter::IdentProc()
{
    Integer wordLength = 0;
    tokenKind_ = Keywords().IdentKind(line_ + run_, wordLength);
    if (tokenKind_ == tkKey && IsAsmWord(line_ + run_, wordLength)) {
        range_ = rsAsm;
        asmStart_ = true;
    }
    run_ += wordLength;
    while (IdentCharTable[At(run_)])
        ++run_;
}

// ---- Import of the IDE's colours ------------------------------------------------------

namespace {

const char IdeMachineKey[] = "\\SOFTWARE\\Norvane\\CppStudio";

// True for a version that keeps its colours in the old layout.
bool IsOldLayout(const std::string& version)
{
    return !version.empty() && version[0] == '1';
}

}  // namespace

void TQvCppHighlighter::EnumUserSettings(TStrings* Settings)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (reg.OpenKeyReadOnly(IdeMachineKey)) {
        reg.GetKeyNames(Settings);
        reg.CloseKey();
    }
}

bool TQvCppHighlighter::UseUserSettings(Integer SettingIndex)
{
    TStringList versions;
    EnumUserSettings(&versions);
    if (SettingIndex < 0 || SettingIndex >= versions.Count())
        return false;
    return UseUserSettingsOfVersion(versions.Strings(SettingIndex));
}

bool TQvCppHighlighter::UseUserSettingsOfVersion(const std::string& version)
{
    const bool oldLayout = IsOldLayout(version);
    const std::pair<TQvHighlighterAttributes*, std::string> entries[] = {
        {asmAttri_, oldLayout ? "Plain text" : "Assembler"},
        {commentAttri_, "Comment"},
        {identifierAttri_, "Identifier"},
        {invalidAttri_, "Illegal Char"},
        {keyAttri_, "Reserved word"},
        {numberAttri_, "Integer"},
        {floatAttri_, "Float"},
        {hexAttri_, "Hex"},
        {octalAttri_, "Octal"},
        {spaceAttri_, "Whitespace"},
        {stringAttri_, "String"},
        {charAttri_, "Character"},
        {symbolAttri_, "Symbol"},
        {direcAttri_, "Preprocessor"},
    };
    std::vector<std::unique_ptr<TQvHighlighterAttributes>> copies;
    for (const auto& [attribute, entry] : entries) {
        copies.push_back(std::make_unique<TQvHighlighterAttributes>(attribute->GetName()));
        copies.back()->AssignColorAndStyle(attribute);
    }
    const std::string key = oldLayout
                                ? "\\SOFTWARE\\Norvane\\CppStudio\\" + version + "\\Highlight"
                                : "\\Software\\Norvane\\CppStudio\\" + version +
                                      "\\Editor\\Highlight";
    for (const auto& [attribute, entry] : entries) {
        const std::string name = oldLayout ? StringReplace(entry, " ", "_", rfReplaceAll) : entry;
        if (!attribute->LoadFromIdeRegistry(HKEY_CURRENT_USER, key, name, oldLayout)) {
            for (std::size_t i = 0; i < std::size(entries); ++i)
                entries[i].first->AssignColorAndStyle(copies[i].get());
            return false;
        }
    }
    return true;
}
