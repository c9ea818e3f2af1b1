#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "GoldenDriver.h"
#include "HighlighterTestSupport.h"
#include "platform/files/Registry.h"
#include "qvedit/highlighters/QvHighlighterCpp.h"

using namespace QvCpp;

namespace {

const std::map<std::string, int> CppKindNames = {
    {"tkAsm", tkAsm},         {"tkComment", tkComment}, {"tkDirective", tkDirective},
    {"tkIdentifier", tkIdentifier}, {"tkKey", tkKey},   {"tkNull", tkNull},
    {"tkNumber", tkNumber},   {"tkSpace", tkSpace},     {"tkString", tkString},
    {"tkSymbol", tkSymbol},   {"tkUnknown", tkUnknown}, {"tkChar", tkChar},
    {"tkFloat", tkFloat},     {"tkHex", tkHex},         {"tkOctal", tkOctal},
};

// The keywords as the language defines them, kept apart from the implementation's list.
const char* const CppKeywords[] = {
    "asm", "auto", "bool", "break", "case", "catch", "char", "class", "const", "const_cast",
    "continue", "default", "delete", "do", "double", "dynamic_cast", "else", "enum",
    "explicit", "extern", "false", "float", "for", "friend", "goto", "if", "inline", "int",
    "long", "mutable", "namespace", "new", "operator", "private", "protected", "public",
    "register", "reinterpret_cast", "return", "short", "signed", "sizeof", "static",
    "static_cast", "struct", "switch", "template", "this", "throw", "true", "try", "typedef",
    "typeid", "typename", "union", "unsigned", "using", "virtual", "void", "volatile",
    "wchar_t", "while", "__asm", "__automated", "__cdecl", "__classid", "__closure",
    "__declspec", "__dispid", "__except", "__export", "__fastcall", "__finally", "__import",
    "__int16", "__int32", "__int64", "__int8", "__pascal", "__property", "__published",
    "__rtti", "__stdcall", "__thread", "__try", "_asm", "_cdecl", "_export", "_fastcall",
    "_import", "_pascal", "_stdcall", "cdecl", "pascal"};

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/qv-cpp-highlighter-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace

TEST(CppHighlighter, GoldenTokenStreams)
{
    TQvCppHighlighter highlighter(nullptr);
    RunGoldenFile(highlighter, "cpp.golden", CppKindNames);
}

TEST(CppHighlighter, KeywordsMatchExactlyInTheirOwnCase)
{
    TQvCppHighlighter h(nullptr);
    for (const char* keyword : CppKeywords) {
        EXPECT_EQ(KindOfWholeLine(h, keyword), tkKey) << keyword;
        std::string flipped = keyword;
        for (char& c : flipped)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        EXPECT_EQ(KindOfWholeLine(h, flipped), tkIdentifier) << flipped;
        EXPECT_EQ(KindOfWholeLine(h, std::string(keyword) + "_"), tkIdentifier) << keyword;
    }
}

TEST(CppHighlighter, KeywordTableMatchesTheLanguage)
{
    const TQvKeywordTable& table = TQvCppHighlighter::Keywords();
    EXPECT_EQ(std::size(CppKeywords), 94u);
    EXPECT_EQ(table.WordCount(), 94);
    EXPECT_EQ(table.SlotCount(), 207);
    EXPECT_EQ(table.OccupiedSlots(), 54);
    // Small letters count one more than capitals: "if" is 10 + 7, "IF" 9 + 6.
    Integer length = 0;
    EXPECT_EQ(table.KeyHash("if", length), 17);
    EXPECT_EQ(table.KeyHash("IF", length), 15);
    EXPECT_EQ(table.KeyHash("__int64 x", length), 10 + 15 + 21);
    EXPECT_EQ(length, 7);
    EXPECT_EQ(table.KeyHash("reinterpret_cast", length), 206);
}

TEST(CppHighlighter, OperatorsCarryTheirExtendedIds)
{
    const std::pair<const char*, TxtkTokenKind> operators[] = {
        {"+", xtkAdd},        {"+=", xtkAddAssign},      {"&", xtkAnd},
        {"&=", xtkAndAssign}, {"->", xtkArrow},          {"=", xtkAssign},
        {"~", xtkBitComplement}, {"}", xtkBraceClose},   {"{", xtkBraceOpen},
        {":", xtkColon},      {",", xtkComma},           {"--", xtkDecrement},
        {"/", xtkDivide},     {"/=", xtkDivideAssign},   {"...", xtkEllipse},
        {">", xtkGreaterThan}, {">=", xtkGreaterThanEqual}, {"|", xtkIncOr},
        {"|=", xtkIncOrAssign}, {"++", xtkIncrement},    {"<", xtkLessThan},
        {"<=", xtkLessThanEqual}, {"&&", xtkLogAnd},     {"!", xtkLogComplement},
        {"==", xtkLogEqual},  {"||", xtkLogOr},          {"%", xtkMod},
        {"%=", xtkModAssign}, {"*=", xtkMultiplyAssign}, {"!=", xtkNotEqual},
        {".", xtkPoint},      {"?", xtkQuestion},        {")", xtkRoundClose},
        {"(", xtkRoundOpen},  {"::", xtkScopeResolution}, {";", xtkSemiColon},
        {"<<", xtkShiftLeft}, {"<<=", xtkShiftLeftAssign}, {">>", xtkShiftRight},
        {">>=", xtkShiftRightAssign}, {"]", xtkSquareClose}, {"[", xtkSquareOpen},
        {"*", xtkStar},       {"-", xtkSubtract},        {"-=", xtkSubtractAssign},
        {"^", xtkXor},        {"^=", xtkXorAssign},
    };
    EXPECT_EQ(std::size(operators), 47u);
    TQvCppHighlighter h(nullptr);
    for (const auto& [text, id] : operators) {
        EXPECT_EQ(KindOfWholeLine(h, text), tkSymbol) << text;
        EXPECT_EQ(h.GetExtTokenID(), id) << text;
    }
}

TEST(CppHighlighter, ExtendedIdKeepsTheLastOperator)
{
    TQvCppHighlighter h(nullptr);
    const std::string line = "a -> b 12 \"s\" // c";
    h.ResetRange();
    h.SetLine(line, 0);
    h.Next();
    h.Next();
    ASSERT_EQ(h.GetToken(), "->");
    while (!h.GetEol()) {
        EXPECT_EQ(h.GetExtTokenID(), xtkArrow) << h.GetToken();
        h.Next();
    }
    EXPECT_EQ(h.GetExtTokenID(), xtkArrow);
}

TEST(CppHighlighter, TokenAttributesFollowTheKinds)
{
    TQvCppHighlighter h(nullptr);
    const std::pair<const char*, TQvHighlighterAttributes*> firstTokens[] = {
        {"// c", h.CommentAttri()},  {"#if", h.DirecAttri()},   {"x", h.IdentifierAttri()},
        {"int", h.KeyAttri()},       {"12", h.NumberAttri()},   {" ", h.SpaceAttri()},
        {"\"s\"", h.StringAttri()},  {"+", h.SymbolAttri()},    {"@", h.InvalidAttri()},
        {"'c'", h.CharAttri()},      {"1.5", h.FloatAttri()},   {"0x1", h.HexAttri()},
        {"07", h.OctalAttri()},      {"asm", h.KeyAttri()},
    };
    for (const auto& [text, attribute] : firstTokens) {
        const std::string line = text;
        h.ResetRange();
        h.SetLine(line, 0);
        EXPECT_EQ(h.GetTokenAttribute(), attribute) << text;
    }
    const std::string empty;
    h.SetLine(empty, 0);
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
}

TEST(CppHighlighter, InterfaceValues)
{
    TQvCppHighlighter h(nullptr);
    EXPECT_EQ(h.GetLanguageName(), "C++");
    EXPECT_EQ(h.GetDefaultFilter(), "C++ Files (*.c,*.cpp,*.h,*.hpp)|*.c;*.cpp;*.h;*.hpp");
    EXPECT_TRUE(h.GetCapabilities() == (TQvHighlighterCapabilities{hcUserSettings, hcRegistry}));
    ExpectCodeRoleAttributes(h);
    EXPECT_TRUE(h.CommentAttri()->GetStyle() == TFontStyles(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->GetStyle() == TFontStyles(fsBold));
    // The space colour is a default, so it is not stored.
    EXPECT_EQ(h.SpaceAttri()->GetForeground(), clWindow);
    EXPECT_EQ(h.SpaceAttri()->GetForegroundDefault(), clWindow);
    EXPECT_FALSE(h.SpaceAttri()->IsForegroundStored());

    ASSERT_EQ(h.GetAttribCount(), 14);
    std::vector<std::string> names;
    for (Integer i = 0; i < h.GetAttribCount(); ++i)
        names.push_back(h.GetAttribute(i)->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Assembler", "Character", "Comment", "Float", "Hexadecimal",
                         "Identifier", "Illegal Char", "Number", "Octal", "Preprocessor",
                         "Reserved Word", "Space", "String", "Symbol"}));

    const TQvIdentChars chars = h.GetIdentChars();
    EXPECT_TRUE(chars.Contains('_'));
    EXPECT_TRUE(chars.Contains(static_cast<char>(214)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(215)));
    EXPECT_FALSE(chars.Contains(static_cast<char>(247)));
    EXPECT_FALSE(chars.Contains('$'));
}

TEST(CppHighlighter, SampleSourceShowsTheLanguage)
{
    TQvCppHighlighter h(nullptr);
    TStringList lines;
    const std::string sample = h.GetSampleSource();
    lines.SetText(sample);
    ASSERT_EQ(lines.Count(), 21);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\n'), 20);
    EXPECT_EQ(std::count(sample.begin(), sample.end(), '\r'), 20);
    std::set<int> kinds;
    h.ResetRange();
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = lines.Strings(i);
        h.SetLine(line, i);
        for (; !h.GetEol(); h.Next())
            kinds.insert(h.GetTokenKind());
        h.SetRange(h.GetRange());
    }
    EXPECT_EQ(kinds, (std::set<int>{tkComment, tkDirective, tkIdentifier, tkKey, tkNumber,
                                    tkSpace, tkString, tkSymbol, tkUnknown, tkChar, tkFloat,
                                    tkHex, tkOctal}));
}

// ---- Import of the IDE's colours ------------------------------------------------------

namespace {

const TColor Palette[16] = {clBlack, clMaroon, clGreen,  clOlive,   clNavy, clPurple,
                            clTeal,  clSilver, clGray,   clRed,     clLime, clYellow,
                            clBlue,  clFuchsia, clAqua,  clWhite};

// The entries in the order they are read, with the attribute each one sets.
std::vector<std::pair<std::string, TQvHighlighterAttributes*>> IdeEntries(TQvCppHighlighter& h,
                                                                          bool oldLayout)
{
    return {{oldLayout ? "Plain text" : "Assembler", h.AsmAttri()},
            {"Comment", h.CommentAttri()},     {"Identifier", h.IdentifierAttri()},
            {"Illegal Char", h.InvalidAttri()}, {"Reserved word", h.KeyAttri()},
            {"Integer", h.NumberAttri()},       {"Float", h.FloatAttri()},
            {"Hex", h.HexAttri()},              {"Octal", h.OctalAttri()},
            {"Whitespace", h.SpaceAttri()},     {"String", h.StringAttri()},
            {"Character", h.CharAttri()},       {"Symbol", h.SymbolAttri()},
            {"Preprocessor", h.DirecAttri()}};
}

void AddVersion(const std::string& version)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Norvane\\CppStudio\\" + version, true));
}

// Writes the new-layout entries of a version: entry i has foreground palette index
// i + 1, background index 0 and bold type. `skip` leaves one entry out.
void WriteNewLayout(TQvCppHighlighter& h, const std::string& version, const std::string& skip)
{
    TRegistry reg;
    const auto entries = IdeEntries(h, false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].first == skip)
            continue;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Norvane\\CppStudio\\" + version +
                                    "\\Editor\\Highlight\\" + entries[i].first,
                                true));
        reg.WriteInteger("Foreground Color", static_cast<Integer>(i + 1));
        reg.WriteInteger("Background Color", 0);
        reg.WriteString("Bold", "True");
        reg.WriteString("Italic", "False");
        reg.WriteString("Underline", "False");
        reg.WriteString("Default Foreground", "False");
        reg.WriteString("Default Background", "False");
    }
}

// The attributes' colours and styles, to compare before and after.
std::vector<std::string> Snapshot(TQvCppHighlighter& h)
{
    std::vector<std::string> values;
    for (Integer i = 0; i < h.GetAttribCount(); ++i) {
        TQvHighlighterAttributes* a = h.GetAttribute(i);
        values.push_back(std::to_string(a->GetForeground()) + "/" +
                         std::to_string(a->GetBackground()) + "/" +
                         std::to_string(a->GetStyleFromInt()));
    }
    return values;
}

}  // namespace

TEST(CppHighlighterIde, WithoutTheIdeNothingIsListedOrRead)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    TQvCppHighlighter h(nullptr);
    TStringList list;
    list.Add("kept");
    h.EnumUserSettings(&list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), "kept");
    EXPECT_FALSE(h.UseUserSettings(0));
    SetRegistryFileForTests("");
}

TEST(CppHighlighterIde, ReadsEveryEntryOfANewLayoutVersion)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    TQvCppHighlighter h(nullptr);
    AddVersion("4.0");
    AddVersion("5.0");
    WriteNewLayout(h, "5.0", "");
    TStringList list;
    h.EnumUserSettings(&list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(1), "5.0");

    EXPECT_FALSE(h.UseUserSettings(0));  // 4.0 has no colours
    EXPECT_FALSE(h.UseUserSettings(2));
    EXPECT_FALSE(h.UseUserSettings(-1));
    ASSERT_TRUE(h.UseUserSettings(1));
    const auto entries = IdeEntries(h, false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].second->GetForeground(), Palette[i + 1]) << entries[i].first;
        EXPECT_EQ(entries[i].second->GetBackground(), clBlack) << entries[i].first;
        EXPECT_TRUE(entries[i].second->GetStyle() == TFontStyles(fsBold)) << entries[i].first;
    }
    SetRegistryFileForTests("");
}

TEST(CppHighlighterIde, OldLayoutVersionsUseUnderscoredNames)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    TQvCppHighlighter h(nullptr);
    AddVersion("1.0");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Norvane\\CppStudio\\1.0\\Highlight", true));
        for (const auto& entry : IdeEntries(h, true)) {
            std::string name = entry.first;
            std::replace(name.begin(), name.end(), ' ', '_');
            reg.WriteString(name, "0,0,I,0,1,12,0");
        }
    }
    ASSERT_TRUE(h.UseUserSettings(0));
    for (const auto& [name, attribute] : IdeEntries(h, true)) {
        EXPECT_EQ(attribute->GetForeground(), clBlue) << name;
        EXPECT_EQ(attribute->GetBackground(), clWindow) << name;
        EXPECT_TRUE(attribute->GetStyle() == TFontStyles(fsItalic)) << name;
    }
    SetRegistryFileForTests("");
}

TEST(CppHighlighterIde, AFailedEntryRestoresEveryAttribute)
{
    TempFolder folder;
    SetRegistryFileForTests(folder.File("registry.ini"));
    TQvCppHighlighter h(nullptr);
    AddVersion("5.0");
    AddVersion("6.0");
    // 5.0 lacks its fifth entry; the four before it are read first.
    WriteNewLayout(h, "5.0", "Reserved word");
    // 6.0 is complete but one colour is outside the palette.
    WriteNewLayout(h, "6.0", "");
    {
        TRegistry reg;
        ASSERT_TRUE(
            reg.OpenKey("\\Software\\Norvane\\CppStudio\\6.0\\Editor\\Highlight\\Hex", false));
        reg.WriteInteger("Foreground Color", 16);
    }
    const std::vector<std::string> before = Snapshot(h);
    EXPECT_FALSE(h.UseUserSettings(0));
    EXPECT_EQ(Snapshot(h), before);
    EXPECT_FALSE(h.UseUserSettings(1));
    EXPECT_EQ(Snapshot(h), before);
    SetRegistryFileForTests("");
}
