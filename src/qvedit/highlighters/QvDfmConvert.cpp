#include "qvedit/highlighters/QvDfmConvert.h"

#include <charconv>
#include <cstring>

#include "qvedit/highlighters/QvDfmStreamFormat.h"

using namespace QvDfmFormat;

namespace {

// The resource header: type 0xFF and ordinal 10 (application data), the name in upper
// case with a NUL, memory flags 0x1030 and the size of the data that follows.
constexpr Byte ResourceTypeMark = 0xFF;
constexpr Byte ResourceType = 10;
constexpr std::size_t MaxResourceName = 63;

unsigned At(const std::string& s, std::size_t i)
{
    return static_cast<unsigned char>(s[i]);
}

bool StartsWithSignature(const std::string& input)
{
    return input.compare(0, 4, Signature) == 0;
}

// The offset of the object stream after the resource header.
std::size_t SkipResourceHeader(const std::string& input)
{
    if (input.size() < 3 || At(input, 0) != ResourceTypeMark || At(input, 1) != ResourceType ||
        At(input, 2) != 0)
        throw EReadError("Invalid stream format");
    const std::size_t nul = input.find('\0', 3);
    if (nul == std::string::npos || nul + 7 > input.size())
        throw EReadError("Invalid stream format");
    return nul + 7;  // the NUL, the memory flags and the size
}

std::string ResourceHeader(const std::string& className, std::size_t dataSize)
{
    std::string name = className.substr(0, MaxResourceName);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - ('a' - 'A'));
    std::string header;
    header += static_cast<char>(ResourceTypeMark);
    header += static_cast<char>(ResourceType);
    header += '\0';
    header += name;
    header += '\0';
    header += '\x30';
    header += '\x10';
    for (int i = 0; i < 4; ++i)
        header += static_cast<char>((dataSize >> (8 * i)) & 0xFF);
    return header;
}

// The class name of the top object of an object stream our text reader made.
std::string TopClassName(const std::string& binary)
{
    std::size_t pos = 4;
    const auto need = [&](std::size_t n) {
        if (n > binary.size() - pos)
            throw EReadError("Stream read error");
    };
    need(1);
    if ((At(binary, pos) & 0xF0) == FlagsPrefix) {
        const bool childPos = (At(binary, pos) & ffChildPos) != 0;
        ++pos;
        if (childPos) {
            need(1);
            const unsigned type = At(binary, pos++);
            const std::size_t size = type == vaInt8 ? 1 : type == vaInt16 ? 2 : type == vaInt32 ? 4 : 8;
            need(size);
            pos += size;
        }
    }
    need(1);
    const std::size_t length = At(binary, pos++);
    need(length);
    return binary.substr(pos, length);
}

template <typename T>
std::string ShortestText(T value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

}  // namespace

// ---- Shared text rules ----------------------------------------------------------------

bool QvDfmFormat::IsNameStart(unsigned c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool QvDfmFormat::IsNameChar(unsigned c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool QvDfmFormat::IsName(const std::string& s, bool allowDots)
{
    bool partStart = true;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned c = At(s, i);
        if (c == '.' && allowDots && !partStart) {
            partStart = true;
        } else if (partStart ? IsNameStart(c) : IsNameChar(c)) {
            partStart = false;
        } else {
            return false;
        }
    }
    return !partStart;
}

bool QvDfmFormat::IsObjectKeyword(const std::string& s)
{
    std::string lower = s;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return lower == "object" || lower == "inherited" || lower == "inline" || lower == "end";
}

std::string QvDfmFormat::FloatText(float value)
{
    return ShortestText(value);
}

std::string QvDfmFormat::FloatText(double value)
{
    return ShortestText(value);
}

std::string QvDfmFormat::FloatText(long double value)
{
    return ShortestText(value);
}

std::string QvDfmFormat::CurrencyText(std::int64_t value)
{
    // The magnitude in unsigned arithmetic, so the most negative value works too.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (fraction.size() > 1 && fraction.back() == '0')
        fraction.pop_back();
    return (value < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

// ---- Whole files ----------------------------------------------------------------------

TStreamOriginalFormat TestStreamFormat(const std::string& Input)
{
    if (Input.empty())
        return sofUnknown;
    if (At(Input, 0) == ResourceTypeMark || StartsWithSignature(Input))
        return sofBinary;
    switch (Input[0]) {
    case 'o': case 'O': case 'i': case 'I': case ' ': case '\r': case '\n': case '\t':
    case '\v':
        return sofText;
    default:
        return sofUnknown;
    }
}

std::string ObjectResourceToText(const std::string& Input, TStreamOriginalFormat& Format)
{
    Format = TestStreamFormat(Input);
    switch (Format) {
    case sofText:
        return Input;
    case sofBinary:
        return ObjectBinaryToText(StartsWithSignature(Input) ? Input
                                                             : Input.substr(SkipResourceHeader(Input)));
    default:
        throw EReadError("Invalid stream format");
    }
}

std::string ObjectTextToResource(const std::string& Input)
{
    const std::string binary = ObjectTextToBinary(Input);
    return ResourceHeader(TopClassName(binary), binary.size()) + binary;
}
