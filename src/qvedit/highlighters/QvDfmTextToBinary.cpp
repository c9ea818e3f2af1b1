// Parses the text form of a form file and writes the binary object stream.

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

#include "platform/runtime/CodePages.h"
#include "qvedit/highlighters/QvDfmConvert.h"
#include "qvedit/highlighters/QvDfmStreamFormat.h"
#include "qvedit/highlighters/QvDfmTextLexer.h"

using namespace QvDfmFormat;

namespace {

bool SameText(const std::string& a, const char* lower)
{
    std::size_t i = 0;
    for (; i < a.size() && lower[i] != 0; ++i) {
        const auto c = static_cast<unsigned char>(a[i]);
        if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != static_cast<unsigned char>(lower[i]))
            return false;
    }
    return i == a.size() && lower[i] == 0;
}

// Floating-point text is read in the C locale whatever the process's locale is.
locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

class TTextToBinary {
public:
    explicit TTextToBinary(const std::string& input) : lexer_(input) {}

    std::string Convert()
    {
        out_ = Signature;
        lexer_.Next();
        ConvertObject(0);
        if (Token().Type != TTokenType::EndOfFile)
            lexer_.Error("End of file expected");
        return std::move(out_);
    }

private:
    const TToken& Token() const { return lexer_.Current(); }
    bool IsChar(char c) const { return Token().Type == TTokenType::Char && Token().Text[0] == c; }
    bool IsWord(const char* lower) const
    {
        return Token().Type == TTokenType::Name && SameText(Token().Text, lower);
    }
    void CheckChar(char c)
    {
        if (!IsChar(c))
            lexer_.Error(std::string("'") + c + "' expected");
    }
    std::string TakeName(bool allowDots)
    {
        if (Token().Type != TTokenType::Name || (!allowDots && Token().Text.find('.') != std::string::npos))
            lexer_.Error("Identifier expected");
        std::string name = Token().Text;
        lexer_.Next();
        return name;
    }
    std::int64_t TakeInteger()
    {
        if (Token().Type != TTokenType::Integer)
            lexer_.Error("Integer expected");
        const std::int64_t value = Token().Integer;
        lexer_.Next();
        return value;
    }
    void CheckDepth(int depth) const
    {
        if (depth > DfmMaxNesting)
            lexer_.Error("Form data nested too deeply");
    }

    // ---- Writing ----

    void WriteByte(unsigned b) { out_ += static_cast<char>(b); }
    void WriteLE(std::uint64_t value, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            out_ += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    void WriteShortString(const std::string& s)
    {
        if (s.size() > 255)
            lexer_.Error("Name too long");
        WriteByte(static_cast<unsigned>(s.size()));
        out_ += s;
    }
    void WriteLength(std::size_t n)
    {
        if (n > std::numeric_limits<std::uint32_t>::max())
            lexer_.Error("Value too long");
        WriteLE(n, 4);
    }
    // In the fewest bytes that hold it.
    void WriteInteger(std::int64_t v)
    {
        const auto bits = static_cast<std::uint64_t>(v);
        if (v >= -128 && v <= 127) {
            WriteByte(vaInt8);
            WriteLE(bits, 1);
        } else if (v >= -32768 && v <= 32767) {
            WriteByte(vaInt16);
            WriteLE(bits, 2);
        } else if (v >= std::numeric_limits<std::int32_t>::min() &&
                   v <= std::numeric_limits<std::int32_t>::max()) {
            WriteByte(vaInt32);
            WriteLE(bits, 4);
        } else {
            WriteByte(vaInt64);
            WriteLE(bits, 8);
        }
    }
    template <typename T>
    void WriteRaw(const T& value, std::size_t size)
    {
        out_.append(reinterpret_cast<const char*>(&value), size);
    }

    // ---- The tree ----

    void ConvertObject(int depth)
    {
        CheckDepth(depth);
        unsigned flags = 0;
        if (IsWord("inherited"))
            flags = ffInherited;
        else if (IsWord("inline"))
            flags = ffInline;
        else if (!IsWord("object"))
            lexer_.Error("'object' expected");
        lexer_.Next();
        std::string objectName;
        std::string className = TakeName(true);
        if (IsChar(':')) {
            if (className.find('.') != std::string::npos)
                lexer_.Error("Identifier expected");
            lexer_.Next();
            objectName = className;
            className = TakeName(true);
        }
        std::int64_t childPos = 0;
        if (IsChar('[')) {
            lexer_.Next();
            childPos = TakeInteger();
            if (childPos < std::numeric_limits<std::int32_t>::min() ||
                childPos > std::numeric_limits<std::int32_t>::max())
                lexer_.Error("Integer out of range");
            CheckChar(']');
            lexer_.Next();
            flags |= ffChildPos;
        }
        if (flags != 0) {
            WriteByte(FlagsPrefix | flags);
            if (flags & ffChildPos)
                WriteInteger(childPos);
        }
        if (className.size() > MaxClassNameLength)
            lexer_.Error("Name too long");
        WriteShortString(className);
        WriteShortString(objectName);
        while (!IsWord("end") && !IsWord("object") && !IsWord("inherited") && !IsWord("inline"))
            ConvertProperty(depth);
        WriteByte(vaNull);
        while (!IsWord("end"))
            ConvertObject(depth + 1);
        WriteByte(vaNull);
        lexer_.Next();
    }

    void ConvertProperty(int depth)
    {
        WriteShortString(TakeName(true));
        CheckChar('=');
        lexer_.Next();
        ConvertValue(depth);
    }

    void ConvertValue(int depth)
    {
        CheckDepth(depth);
        switch (Token().Type) {
        case TTokenType::Integer:
            WriteInteger(Token().Integer);
            lexer_.Next();
            return;
        case TTokenType::Float:
            ConvertFloat();
            lexer_.Next();
            return;
        case TTokenType::String:
            ConvertString();
            return;
        case TTokenType::Name:
            if (IsWord("false")) {
                WriteByte(vaFalse);
            } else if (IsWord("true")) {
                WriteByte(vaTrue);
            } else if (IsWord("nil")) {
                WriteByte(vaNil);
            } else {
                WriteByte(vaIdent);
                WriteShortString(Token().Text);
            }
            lexer_.Next();
            return;
        default:
            break;
        }
        if (IsChar('['))
            ConvertSet();
        else if (IsChar('('))
            ConvertList(depth);
        else if (IsChar('{'))
            ConvertBinary();
        else if (IsChar('<'))
            ConvertCollection(depth);
        else
            lexer_.Error("Invalid property value");
    }

    void ConvertFloat();
    void ConvertString();

    void ConvertSet()
    {
        WriteByte(vaSet);
        lexer_.Next();
        if (!IsChar(']')) {
            for (;;) {
                WriteShortString(TakeName(false));
                if (IsChar(']'))
                    break;
                CheckChar(',');
                lexer_.Next();
            }
        }
        WriteByte(0);
        lexer_.Next();
    }

    void ConvertList(int depth)
    {
        WriteByte(vaList);
        lexer_.Next();
        while (!IsChar(')'))
            ConvertValue(depth + 1);
        WriteByte(vaNull);
        lexer_.Next();
    }

    void ConvertBinary()
    {
        const std::string bytes = lexer_.ReadBinary();
        WriteByte(vaBinary);
        WriteLength(bytes.size());
        out_ += bytes;
        lexer_.Next();
    }

    void ConvertCollection(int depth)
    {
        WriteByte(vaCollection);
        lexer_.Next();
        while (!IsChar('>')) {
            if (!IsWord("item"))
                lexer_.Error("'item' expected");
            lexer_.Next();
            if (IsChar('[')) {
                lexer_.Next();
                const std::int64_t order = TakeInteger();
                if (order < std::numeric_limits<std::int32_t>::min() ||
                    order > std::numeric_limits<std::int32_t>::max())
                    lexer_.Error("Integer out of range");
                WriteInteger(order);
                CheckChar(']');
                lexer_.Next();
            }
            WriteByte(vaList);
            while (!IsWord("end"))
                ConvertProperty(depth + 1);
            WriteByte(vaNull);
            lexer_.Next();
        }
        WriteByte(vaNull);
        lexer_.Next();
    }

    TDfmTextLexer lexer_;
    std::string out_;
};

// An exact decimal in ten-thousandths: no rounding through binary floating point.
bool ParseCurrency(const std::string& text, std::int64_t& result)
{
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    i += negative ? 1 : 0;
    std::uint64_t mantissa = 0;
    int scale = 4;  // the power of ten to apply to the mantissa
    bool seenPoint = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            seenPoint = true;
            continue;
        }
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (mantissa > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return false;
        mantissa = mantissa * 10 + digit;
        scale -= seenPoint ? 1 : 0;
    }
    if (i < text.size()) {
        const long exponent = std::strtol(text.c_str() + i + 1, nullptr, 10);
        if (exponent > 40 || exponent < -40)
            return mantissa == 0 || exponent < 0 ? (result = 0, true) : false;
        scale += static_cast<int>(exponent);
    }
    for (; scale > 0; --scale) {
        if (mantissa > std::numeric_limits<std::uint64_t>::max() / 10)
            return false;
        mantissa *= 10;
    }
    for (; scale < 0; ++scale)  // rounds half away from zero
        mantissa = mantissa / 10 + (scale == -1 && mantissa % 10 >= 5 ? 1 : 0);
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (mantissa > limit)
        return false;
    result = negative ? static_cast<std::int64_t>(0 - mantissa) : static_cast<std::int64_t>(mantissa);
    return true;
}

void TTextToBinary::ConvertFloat()
{
    const char* text = Token().Text.c_str();
    switch (Token().FloatSuffix) {
    case 's': {
        const float value = strtof_l(text, nullptr, CLocale());
        if (!std::isfinite(value))
            lexer_.Error("Invalid floating point number");
        WriteByte(vaSingle);
        WriteRaw(value, 4);
        return;
    }
    case 'd': {
        const double value = strtod_l(text, nullptr, CLocale());
        if (!std::isfinite(value))
            lexer_.Error("Invalid floating point number");
        WriteByte(vaDate);
        WriteRaw(value, 8);
        return;
    }
    case 'c': {
        std::int64_t value = 0;
        if (!ParseCurrency(Token().Text, value))
            lexer_.Error("Invalid floating point number");
        WriteByte(vaCurrency);
        WriteLE(static_cast<std::uint64_t>(value), 8);
        return;
    }
    default: {
        const long double value = strtold_l(text, nullptr, CLocale());
        if (!std::isfinite(value))
            lexer_.Error("Invalid floating point number");
        WriteByte(vaExtended);
        WriteRaw(value, ExtendedSize);
        return;
    }
    }
}

// Parts joined by "+" make one string. A code of 128 or more written as #n makes it a
// wide string of UTF-16 units (the quoted bytes then go through the code page); else
// it is a string of bytes.
void TTextToBinary::ConvertString()
{
    std::vector<TStringChar> chars;
    for (;;) {
        if (Token().Type != TTokenType::String)
            lexer_.Error("String expected");
        chars.insert(chars.end(), Token().Chars.begin(), Token().Chars.end());
        lexer_.Next();
        if (!IsChar('+'))
            break;
        lexer_.Next();
    }
    bool wide = false;
    for (const TStringChar& c : chars)
        wide = wide || (!c.Literal && c.Code >= 128);
    if (wide) {
        WriteByte(vaWString);
        WriteLength(chars.size());
        for (const TStringChar& c : chars) {
            const auto byte = static_cast<unsigned char>(c.Code);
            WriteLE(c.Literal ? static_cast<std::uint32_t>(CodePageToUnicode(GetACP(), byte)) : c.Code, 2);
        }
        return;
    }
    std::string bytes;
    bytes.reserve(chars.size());
    for (const TStringChar& c : chars)
        bytes += static_cast<char>(c.Code);
    if (bytes.size() <= 255) {
        WriteByte(vaString);
        WriteByte(static_cast<unsigned>(bytes.size()));
    } else {
        WriteByte(vaLString);
        WriteLength(bytes.size());
    }
    out_ += bytes;
}

}  // namespace

std::string ObjectTextToBinary(const std::string& Input)
{
    return TTextToBinary(Input).Convert();
}
