#pragma once
// What the binary and the text reader of form files share: the value tags and object
// flags of the binary object stream and the text form of numbers.

#include <cstdint>
#include <string>

#include "platform/runtime/System.h"

namespace QvDfmFormat {

inline constexpr char Signature[] = "TPF0";
inline constexpr char Eol[] = "\r\n";

enum TValueType : Byte {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
    vaDouble,
};

// Object flags: a byte 0xF0 | flags before the class name.
enum : Byte { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
inline constexpr Byte FlagsPrefix = 0xF0;

// A class name's length byte must not look like the flags prefix.
inline constexpr std::size_t MaxClassNameLength = 0xEF;

// Bytes of the 80-bit floating point value.
inline constexpr int ExtendedSize = 10;

// "A".."Z", "a".."z", "_" start a name; digits may follow.
bool IsNameStart(unsigned c);
bool IsNameChar(unsigned c);
// A name, or with allowDots names joined by "." ("Font.Name").
bool IsName(const std::string& s, bool allowDots);

// The words that begin and end objects in text ("object", "inherited", "inline",
// "end", in any case); a property cannot have one of them as its name.
bool IsObjectKeyword(const std::string& s);

// Shortest texts that read back as the same value; every one holds a "." or an exponent
// so that it reads back as a floating-point value.
std::string FloatText(float value);
std::string FloatText(double value);
std::string FloatText(long double value);
// A currency value (ten-thousandths) as a decimal: "-12.5".
std::string CurrencyText(std::int64_t value);

}  // namespace QvDfmFormat
