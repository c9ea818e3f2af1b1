#include "qvedit/highlighters/QvHighlighterDfm.h"

#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "qvedit/highlighters/QvDfmConvert.h"

using namespace QvDfm;

namespace {

constexpr TQvCharTable WordCharTable = MakeWordCharTable();

const char SampleSource[] =
    "{ Form Definitions }\r\n"
    "object TestForm: TTestForm\r\n"
    "  Left = 273\r\n"
    "  Top = 103\r\n"
    "  Caption = 'Editor sample source'\r\n"
    "end";

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(unsigned c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

unsigned AsciiLower(unsigned c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The unit's start-up: the class joins the list of placeable highlighters.
[[maybe_unused]] const bool Registered =
    (RegisterPlaceableHighlighter(HighlighterClassOf<TQvDfmHighlighter>()), true);

}  // namespace

const TQvLanguageInfo TQvDfmHighlighter::Info = {QVS_LangDfm, QVS_FilterDFM, SampleSource};

TQvDfmHighlighter::TQvDfmHighlighter(TComponent* AOwner)
    : TQvCodeHighlighter(AOwner, {tkNull, tkSpace, tkUnknown, tkSymbol}, rsUnKnown + 1, rsUnKnown)
{
    CreateCodeAttributes(QVS_AttrKey);
    FinishLanguage();
}

TQvDfmHighlighter::TProcTable TQvDfmHighlighter::MakeMethodTables()
{
    TProcTable table = BasicProcTable(&TQvDfmHighlighter::UnknownProc);
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[c] = &TQvDfmHighlighter::AltProc;
        table[c + ('a' - 'A')] = &TQvDfmHighlighter::AltProc;
    }
    table['_'] = &TQvDfmHighlighter::AltProc;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = &TQvDfmHighlighter::NumberProc;
    for (unsigned char c : {'(', ')', ',', '.', '/', '<', '=', '>', '[', ']'})
        table[c] = &TQvDfmHighlighter::SymbolProc;
    table['#'] = &TQvDfmHighlighter::AsciiCharProc;
    table['$'] = &TQvDfmHighlighter::IntegerProc;
    table['\''] = &TQvDfmHighlighter::StringProc;
    table['E'] = table['e'] = &TQvDfmHighlighter::EndProc;
    table['I'] = table['i'] = &TQvDfmHighlighter::InheritedProc;
    table['O'] = table['o'] = &TQvDfmHighlighter::ObjectProc;
    table['{'] = &TQvDfmHighlighter::BraceOpenProc;
    table['}'] = &TQvDfmHighlighter::BraceCloseProc;
    return table;
}

void TQvDfmHighlighter::Next()
{
    tokenPos_ = run_;
    if (range_ != rsComment) {
        Dispatch();
        return;
    }
    // A line break inside a comment is a blank of its own; taking it as an empty
    // comment token would never move on.
    switch (At(run_)) {
    case 0: NullProc(); break;
    case '\n': LFProc(); break;
    case '\r': CRProc(); break;
    default: CommentProc(false); break;
    }
}

// ---- Words ----------------------------------------------------------------------------

void TQvDfmHighlighter::AltProc()
{
    tokenKind_ = tkIdentifier;
    ++run_;
    while (WordCharTable[At(run_)])
        ++run_;
}

bool TQvDfmHighlighter::KeyWordAt(const char* word)
{
    Integer i = 0;
    for (; word[i] != 0; ++i)
        if (AsciiLower(At(run_ + i)) != static_cast<unsigned char>(word[i]))
            return false;  // stops at the line's NUL at the latest
    if (WordCharTable[At(run_ + i)])
        return false;
    tokenKind_ = tkKey;
    run_ += i;
    return true;
}

void TQvDfmHighlighter::EndProc()
{
    if (!KeyWordAt("end"))
        AltProc();
}

void TQvDfmHighlighter::InheritedProc()
{
    if (!KeyWordAt("inherited") && !KeyWordAt("inline"))
        AltProc();
}

void TQvDfmHighlighter::ObjectProc()
{
    if (!KeyWordAt("object"))
        AltProc();
}

// ---- Numbers and strings --------------------------------------------------------------

// Digits, "E" and "e"; a "." is taken and ends the number unless another "." follows.
void TQvDfmHighlighter::NumberProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    for (;;) {
        const unsigned c = At(run_);
        if (IsDigit(c) || c == 'E' || c == 'e') {
            ++run_;
        } else {
            if (c == '.' && At(run_ + 1) != '.')
                ++run_;
            return;
        }
    }
}

void TQvDfmHighlighter::IntegerProc()
{
    tokenKind_ = tkNumber;
    ++run_;
    while (IsHexDigit(At(run_)))
        ++run_;
}

void TQvDfmHighlighter::AsciiCharProc()
{
    tokenKind_ = tkString;
    ++run_;
    while (IsDigit(At(run_)))
        ++run_;
}

// Up to a quote not followed by another (taken) or the line's end; "''" is a quote
// inside the string.
void TQvDfmHighlighter::StringProc()
{
    tokenKind_ = tkString;
    ++run_;
    while (!AtLineEnd(run_)) {
        if (At(run_) == '\'') {
            if (At(run_ + 1) != '\'') {
                ++run_;
                return;
            }
            ++run_;
        }
        ++run_;
    }
}

// ---- Comments -------------------------------------------------------------------------

void TQvDfmHighlighter::BraceOpenProc()
{
    range_ = rsComment;
    CommentProc(true);
}

void TQvDfmHighlighter::CommentProc(bool openedHere)
{
    tokenKind_ = tkComment;
    if (openedHere)
        ++run_;
    while (!AtLineEnd(run_)) {
        if (At(run_) == '}') {
            ++run_;
            range_ = rsUnKnown;
            return;
        }
        ++run_;
    }
}

void TQvDfmHighlighter::BraceCloseProc()
{
    tokenKind_ = tkIdentifier;
    range_ = rsUnKnown;
    ++run_;
}

// ---- Conversion of whole files --------------------------------------------------------

Integer LoadDFMFile2Strings(const std::string& FileName, TStrings* Strings, bool& WasText)
{
    WasText = false;
    Strings->Clear();
    const std::string content = ReadFileBytes(FileName);
    TStreamOriginalFormat format = sofUnknown;
    TStringStream text(ObjectResourceToText(content, format));
    WasText = format == sofText;
    text.SetPosition(0);
    Strings->LoadFromStream(&text);
    return 0;
}

Integer SaveStrings2DFMFile(TStrings* Strings, const std::string& FileName)
{
    TStringStream text;
    Strings->SaveToStream(&text);
    // Converted in memory first, so text that does not parse leaves the file untouched.
    SafeWriteFile(FileName, ObjectTextToResource(text.DataString()));
    return 0;
}
