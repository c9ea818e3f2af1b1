// Reads a binary object stream and writes its text form.

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "qvedit/highlighters/QvDfmConvert.h"
#include "qvedit/highlighters/QvDfmStreamFormat.h"

using namespace QvDfmFormat;

namespace {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the 80-bit floating point values need an x87 long double");

constexpr std::size_t StringLineLength = 64;  // characters of a string per text line
constexpr std::size_t BinaryBytesPerLine = 32;

[[noreturn]] void InvalidFormat()
{
    throw EReadError("Invalid stream format");
}

class TBinaryToText {
public:
    explicit TBinaryToText(const std::string& input) : in_(input) {}

    std::string Convert()
    {
        if (in_.compare(0, 4, Signature) != 0)
            InvalidFormat();
        pos_ = 4;
        ConvertObject(0, 0);
        return std::move(out_);
    }

private:
    // ---- Reading ----

    void Need(std::size_t count) const
    {
        if (count > in_.size() - pos_)
            throw EReadError("Stream read error");
    }
    unsigned Peek() const
    {
        Need(1);
        return static_cast<unsigned char>(in_[pos_]);
    }
    unsigned ReadByte()
    {
        const unsigned b = Peek();
        ++pos_;
        return b;
    }
    std::uint64_t ReadLE(std::size_t size)
    {
        Need(size);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in_[pos_ + i])) << (8 * i);
        pos_ += size;
        return value;
    }
    std::string ReadBytes(std::uint64_t count)
    {
        Need(count > in_.size() ? in_.size() + 1 : static_cast<std::size_t>(count));
        std::string bytes = in_.substr(pos_, static_cast<std::size_t>(count));
        pos_ += bytes.size();
        return bytes;
    }
    std::string ReadShortString() { return ReadBytes(ReadByte()); }
    std::string ReadName(bool allowDots)
    {
        std::string name = ReadShortString();
        if (!IsName(name, allowDots))
            InvalidFormat();
        return name;
    }
    void ReadListEnd()
    {
        if (ReadByte() != vaNull)
            InvalidFormat();
    }
    std::int64_t ReadInteger()
    {
        switch (ReadByte()) {
        case vaInt8: return static_cast<std::int8_t>(ReadLE(1));
        case vaInt16: return static_cast<std::int16_t>(ReadLE(2));
        case vaInt32: return static_cast<std::int32_t>(ReadLE(4));
        default: InvalidFormat();
        }
    }
    long double ReadExtended()
    {
        const std::uint64_t mantissa = ReadLE(8);
        const auto signExponent = static_cast<unsigned>(ReadLE(2));
        const unsigned exponent = signExponent & 0x7FFF;
        const bool integerBit = (mantissa >> 63) != 0;
        // Infinities, NaNs and the encodings without a valid integer bit have no text.
        if (exponent == 0x7FFF || (exponent != 0) != integerBit)
            InvalidFormat();
        unsigned char bytes[sizeof(long double)] = {};
        std::memcpy(bytes, &mantissa, 8);
        bytes[8] = static_cast<unsigned char>(signExponent & 0xFF);
        bytes[9] = static_cast<unsigned char>(signExponent >> 8);
        long double value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    template <typename T, typename Bits>
    T ReadFloat()
    {
        const auto bits = static_cast<Bits>(ReadLE(sizeof(Bits)));
        T value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            InvalidFormat();
        return value;
    }
    std::size_t ReadLength() { return static_cast<std::size_t>(ReadLE(4)); }

    // ---- Writing ----

    void Write(const std::string& s) { out_ += s; }
    void NewLine(int level)
    {
        out_ += Eol;
        out_.append(static_cast<std::size_t>(level) * 2, ' ');
    }
    void Indent(int level) { out_.append(static_cast<std::size_t>(level) * 2, ' '); }

    // Codes from 32 up to literalLimit in quotes (a quote doubled), every other code as
    // #n; long strings continue on the next line after " +".
    void WriteString(const std::vector<std::uint32_t>& codes, std::uint32_t literalLimit,
                     int level)
    {
        if (codes.empty()) {
            Write("''");
            return;
        }
        bool quoted = false;
        const auto setQuoted = [&](bool value) {
            if (quoted != value)
                Write("'");
            quoted = value;
        };
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (i > 0 && i % StringLineLength == 0) {
                setQuoted(false);
                Write(" +");
                NewLine(level);
            }
            const std::uint32_t c = codes[i];
            if (c >= 32 && c < literalLimit) {
                setQuoted(true);
                Write(c == '\'' ? "''" : std::string(1, static_cast<char>(c)));
            } else {
                setQuoted(false);
                Write("#" + std::to_string(c));
            }
        }
        setQuoted(false);
    }
    // Bytes of the code page: every byte from 32 up stands for itself.
    void WriteAnsiString(const std::string& s, int level)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
        WriteString(std::vector<std::uint32_t>(bytes, bytes + s.size()), 256, level);
    }
    void WriteWideString(const std::vector<std::uint32_t>& units, int level)
    {
        WriteString(units, 127, level);
    }
    std::vector<std::uint32_t> ReadWideString()
    {
        const std::size_t count = ReadLength();
        Need(count > in_.size() / 2 ? in_.size() + 1 : count * 2);
        std::vector<std::uint32_t> units(count);
        for (auto& u : units)
            u = static_cast<std::uint32_t>(ReadLE(2));
        return units;
    }
    std::vector<std::uint32_t> ReadUtf8String()
    {
        return Utf8ToUtf16(ReadBytes(ReadLength()));
    }
    static std::vector<std::uint32_t> Utf8ToUtf16(const std::string& s);

    void WriteBinary(const std::string& bytes, int level)
    {
        static const char Hex[] = "0123456789ABCDEF";
        Write("{");
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i % BinaryBytesPerLine == 0)
                NewLine(level + 1);
            const auto b = static_cast<unsigned char>(bytes[i]);
            out_ += Hex[b >> 4];
            out_ += Hex[b & 15];
        }
        Write("}");
    }

    // ---- The tree ----

    void CheckDepth(int depth) const
    {
        if (depth > DfmMaxNesting)
            throw EReadError("Form data nested too deeply");
    }

    void ConvertObject(int level, int depth)
    {
        CheckDepth(depth);
        unsigned flags = 0;
        std::int64_t childPos = 0;
        if ((Peek() & 0xF0) == FlagsPrefix) {
            flags = ReadByte() & 0x0F;
            if (flags & ffChildPos)
                childPos = ReadInteger();
        }
        const std::string className = ReadName(true);
        if (className.size() > MaxClassNameLength)
            InvalidFormat();
        const std::string objectName = ReadShortString();
        if (!objectName.empty() && !IsName(objectName, false))
            InvalidFormat();
        Indent(level);
        Write(flags & ffInherited ? "inherited " : flags & ffInline ? "inline " : "object ");
        if (!objectName.empty())
            Write(objectName + ": ");
        Write(className);
        if (flags & ffChildPos)
            Write(" [" + std::to_string(childPos) + "]");
        Write(Eol);
        while (Peek() != vaNull)
            ConvertProperty(level + 1, depth);
        ReadListEnd();
        while (Peek() != vaNull)
            ConvertObject(level + 1, depth + 1);
        ReadListEnd();
        Indent(level);
        Write("end");
        Write(Eol);
    }

    void ConvertProperty(int level, int depth)
    {
        const std::string name = ReadName(true);
        if (IsObjectKeyword(name))
            InvalidFormat();
        Indent(level);
        Write(name + " = ");
        ConvertValue(level, depth);
        Write(Eol);
    }

    void ConvertValue(int level, int depth)
    {
        CheckDepth(depth);
        switch (ReadByte()) {
        case vaList:
            Write("(");
            while (Peek() != vaNull) {
                NewLine(level + 1);
                ConvertValue(level + 1, depth + 1);
            }
            ReadListEnd();
            Write(")");
            break;
        case vaInt8: Write(std::to_string(static_cast<std::int8_t>(ReadLE(1)))); break;
        case vaInt16: Write(std::to_string(static_cast<std::int16_t>(ReadLE(2)))); break;
        case vaInt32: Write(std::to_string(static_cast<std::int32_t>(ReadLE(4)))); break;
        case vaInt64: Write(std::to_string(static_cast<std::int64_t>(ReadLE(8)))); break;
        case vaExtended: Write(FloatText(ReadExtended())); break;
        case vaDouble: Write(FloatText(ReadFloat<double, std::uint64_t>())); break;
        case vaSingle: Write(FloatText(ReadFloat<float, std::uint32_t>()) + "s"); break;
        case vaDate: Write(FloatText(ReadFloat<double, std::uint64_t>()) + "d"); break;
        case vaCurrency: Write(CurrencyText(static_cast<std::int64_t>(ReadLE(8))) + "c"); break;
        case vaString: WriteAnsiString(ReadShortString(), level + 1); break;
        case vaLString: WriteAnsiString(ReadBytes(ReadLength()), level + 1); break;
        case vaWString: WriteWideString(ReadWideString(), level + 1); break;
        case vaUTF8String: WriteWideString(ReadUtf8String(), level + 1); break;
        case vaIdent: Write(ReadName(true)); break;
        case vaFalse: Write("False"); break;
        case vaTrue: Write("True"); break;
        case vaNil: Write("nil"); break;
        case vaBinary: WriteBinary(ReadBytes(ReadLength()), level); break;
        case vaSet: ConvertSet(); break;
        case vaCollection: ConvertCollection(level, depth); break;
        default: InvalidFormat();
        }
    }

    void ConvertSet()
    {
        Write("[");
        for (bool first = true;; first = false) {
            const std::string element = ReadShortString();
            if (element.empty())
                break;
            if (!IsName(element, false))
                InvalidFormat();
            if (!first)
                Write(", ");
            Write(element);
        }
        Write("]");
    }

    void ConvertCollection(int level, int depth)
    {
        Write("<");
        while (Peek() != vaNull) {
            NewLine(level + 1);
            Write("item");
            const unsigned next = Peek();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                Write(" [" + std::to_string(ReadInteger()) + "]");
            Write(Eol);
            if (ReadByte() != vaList)
                InvalidFormat();
            while (Peek() != vaNull)
                ConvertProperty(level + 2, depth + 1);
            ReadListEnd();
            Indent(level + 1);
            Write("end");
        }
        ReadListEnd();
        Write(">");
    }

    const std::string& in_;
    std::size_t pos_ = 0;
    std::string out_;
};

// Invalid UTF-8 has no text form; it is refused rather than altered.
std::vector<std::uint32_t> TBinaryToText::Utf8ToUtf16(const std::string& s)
{
    std::vector<std::uint32_t> units;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1
                        : lead >= 0xE0 && lead < 0xF0 ? 2 : lead >= 0xF0 && lead < 0xF5 ? 3 : -1;
        if (extra < 0 || static_cast<std::size_t>(extra) >= s.size() - i)
            InvalidFormat();
        std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                InvalidFormat();
            code = (code << 6) | (c & 0x3F);
        }
        static const std::uint32_t Least[] = {0, 0x80, 0x800, 0x10000};
        const bool surrogate = code >= 0xD800 && code < 0xE000;
        if (code < Least[static_cast<std::size_t>(extra)] || code > 0x10FFFF || surrogate)
            InvalidFormat();
        if (code >= 0x10000) {
            units.push_back(0xD800 + ((code - 0x10000) >> 10));
            units.push_back(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units.push_back(code);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return units;
}

}  // namespace

std::string ObjectBinaryToText(const std::string& Input)
{
    return TBinaryToText(Input).Convert();
}
