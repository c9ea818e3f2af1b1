#include "qvedit/highlighters/QvDfmTextLexer.h"

#include "qvedit/highlighters/QvDfmConvert.h"
#include "qvedit/highlighters/QvDfmStreamFormat.h"

using namespace QvDfmFormat;

namespace {

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

int HexValue(unsigned c)
{
    if (IsDigit(c))
        return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    return -1;
}

int DecimalValue(unsigned c)
{
    return IsDigit(c) ? static_cast<int>(c - '0') : -1;
}

constexpr std::uint32_t MaxCharCode = 0xFFFF;  // a code must fit one UTF-16 unit

}  // namespace

void TDfmTextLexer::Error(const std::string& message) const
{
    throw EParserError(message + " on line " + std::to_string(tokenLine_));
}

void TDfmTextLexer::SkipBlanks()
{
    while (!AtEnd() && At(pos_) >= 1 && At(pos_) <= 32) {
        // CR LF, LF and a lone CR each end a line.
        if (At(pos_) == '\n' || (At(pos_) == '\r' && At(pos_ + 1) != '\n'))
            ++line_;
        ++pos_;
    }
}

const TToken& TDfmTextLexer::Next()
{
    SkipBlanks();
    token_ = TToken{};
    tokenLine_ = line_;
    if (AtEnd())
        return token_;
    const unsigned c = At(pos_);
    if (IsNameStart(c))
        ScanName();
    else if (IsDigit(c) || (c == '-' && IsDigit(At(pos_ + 1))))
        ScanNumber();
    else if (c == '$')
        ScanHexInteger();
    else if (c == '\'' || c == '#')
        ScanString();
    else {
        token_.Type = TTokenType::Char;
        token_.Text = std::string(1, static_cast<char>(c));
        ++pos_;
    }
    return token_;
}

// A name and any further names joined to it by dots ("Font.Name").
void TDfmTextLexer::ScanName()
{
    const std::size_t start = pos_;
    for (;;) {
        while (IsNameChar(At(pos_)))
            ++pos_;
        if (At(pos_) != '.' || !IsNameStart(At(pos_ + 1)))
            break;
        ++pos_;
    }
    token_.Type = TTokenType::Name;
    token_.Text = in_.substr(start, pos_ - start);
}

// ["-"] digits, then for a floating-point number a "." with digits and/or an exponent,
// and an optional suffix: "s" single, "c" currency, "d" date.
void TDfmTextLexer::ScanNumber()
{
    const std::size_t start = pos_;
    if (At(pos_) == '-')
        ++pos_;
    while (IsDigit(At(pos_)))
        ++pos_;
    bool isFloat = false;
    if (At(pos_) == '.') {
        isFloat = true;
        ++pos_;
        while (IsDigit(At(pos_)))
            ++pos_;
    }
    if (At(pos_) == 'e' || At(pos_) == 'E') {
        isFloat = true;
        ++pos_;
        if (At(pos_) == '+' || At(pos_) == '-')
            ++pos_;
        if (!IsDigit(At(pos_)))
            Error("Invalid floating point number");
        while (IsDigit(At(pos_)))
            ++pos_;
    }
    token_.Text = in_.substr(start, pos_ - start);
    if (!isFloat) {
        token_.Type = TTokenType::Integer;
        try {
            std::size_t used = 0;
            token_.Integer = std::stoll(token_.Text, &used, 10);
        } catch (const std::exception&) {
            Error("Integer out of range: " + token_.Text);
        }
        return;
    }
    token_.Type = TTokenType::Float;
    const unsigned suffix = At(pos_) | 0x20;  // lower case for letters
    if (suffix == 's' || suffix == 'c' || suffix == 'd') {
        token_.FloatSuffix = static_cast<char>(suffix);
        ++pos_;
    }
}

// "$" and up to sixteen hexadecimal digits, taken as the 64-bit pattern they spell.
void TDfmTextLexer::ScanHexInteger()
{
    const std::size_t start = pos_++;
    std::uint64_t value = 0;
    int digits = 0;
    for (int d; (d = HexValue(At(pos_))) >= 0; ++pos_, ++digits) {
        if (digits == 16)
            Error("Integer out of range");
        value = value << 4 | static_cast<unsigned>(d);
    }
    if (digits == 0)
        Error("Number expected");
    token_.Type = TTokenType::Integer;
    token_.Text = in_.substr(start, pos_ - start);
    token_.Integer = static_cast<std::int64_t>(value);
}

// Quoted parts ("''" is a quote) and character codes (#n or #$hex) written together.
void TDfmTextLexer::ScanString()
{
    token_.Type = TTokenType::String;
    for (;;) {
        if (At(pos_) == '\'') {
            ++pos_;
            for (;;) {
                const unsigned c = At(pos_);
                if (AtEnd() || c == '\n' || c == '\r')
                    Error("Unterminated string");
                ++pos_;
                if (c == '\'') {
                    if (At(pos_) != '\'')
                        break;
                    ++pos_;
                }
                token_.Chars.push_back({c, true});
            }
        } else if (At(pos_) == '#') {
            ++pos_;
            const bool hex = At(pos_) == '$';
            pos_ += hex ? 1 : 0;
            std::uint32_t code = 0;
            int digits = 0;
            for (int d; (d = hex ? HexValue(At(pos_)) : DecimalValue(At(pos_))) >= 0; ++pos_, ++digits) {
                code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
                if (code > MaxCharCode)
                    Error("Invalid character code");
            }
            if (digits == 0)
                Error("Invalid character code");
            token_.Chars.push_back({code, false});
        } else {
            return;
        }
    }
}

std::string TDfmTextLexer::ReadBinary()
{
    std::string bytes;
    int high = -1;
    for (;;) {
        SkipBlanks();
        if (AtEnd())
            Error("Invalid binary value");
        const unsigned c = At(pos_++);
        if (c == '}')
            break;
        const int d = HexValue(c);
        if (d < 0)
            Error("Invalid binary value");
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high << 4 | d);
            high = -1;
        }
    }
    if (high >= 0)
        Error("Invalid binary value");
    return bytes;
}
