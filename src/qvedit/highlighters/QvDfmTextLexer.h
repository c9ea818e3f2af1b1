#pragma once
// The tokens of the text form of form files: names (joined by dots), integers,
// floating-point numbers with an optional type suffix, strings made of quoted parts and
// character codes, and single characters.

#include <cstdint>
#include <string>
#include <vector>

namespace QvDfmFormat {

enum class TTokenType { EndOfFile, Name, Integer, Float, String, Char };

// A character of a string: a byte written between quotes, or a code written as #n.
struct TStringChar {
    std::uint32_t Code;
    bool Literal;
};

struct TToken {
    TTokenType Type = TTokenType::EndOfFile;
    std::string Text;                  // names, numbers (without suffix), characters
    std::int64_t Integer = 0;
    char FloatSuffix = 0;              // 's', 'c', 'd' (lower case) or 0
    std::vector<TStringChar> Chars;    // strings
};

class TDfmTextLexer {
public:
    explicit TDfmTextLexer(const std::string& input) : in_(input) {}

    // Moves to the next token; malformed tokens raise EParserError.
    const TToken& Next();
    const TToken& Current() const { return token_; }
    int Line() const { return tokenLine_; }

    // After a "{" token: the bytes written as hexadecimal digit pairs up to "}".
    std::string ReadBinary();

    [[noreturn]] void Error(const std::string& message) const;

private:
    unsigned At(std::size_t i) const
    {
        return i < in_.size() ? static_cast<unsigned char>(in_[i]) : 0;
    }
    bool AtEnd() const { return pos_ >= in_.size(); }
    void SkipBlanks();
    void ScanName();
    void ScanNumber();
    void ScanHexInteger();
    void ScanString();

    const std::string& in_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int tokenLine_ = 1;
    TToken token_;
};

}  // namespace QvDfmFormat
