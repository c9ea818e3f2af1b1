// Conversion of Cyrillic text between the Windows code page 1251 and KOI8-R, the DOS code
// page 866 and ISO-8859-5, one byte at a time.
//
// Every character that both code pages hold keeps its identity (all 66 letters with Ё
// and ё, and signs such as №, «, » where the other page has them). A character the
// target page lacks, or a byte the source page leaves undefined, is not lost: it takes one
// of the target's bytes that no character of the source page converts to (the source's
// such bytes in ascending order onto the target's in ascending order), so it shows as some
// other sign of the target page and the reverse conversion gives it back. Each conversion
// is thus one-to-one on the bytes 128 to 255 and its reverse is its inverse: converting
// there and back, in either order, gives every byte back. Bytes below 128 never change,
// and the text keeps its length.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Recode {

// The encoding kinds of CodeString and EncodeString.
constexpr int ekNone = 0;   // copy unchanged
constexpr int ekKoi8R = 1;  // KOI8-R
constexpr int ekDos = 2;    // code page 866
constexpr int ekIso = 3;    // ISO-8859-5

unsigned char WinKoiChar(unsigned char c);
unsigned char KoiWinChar(unsigned char c);
unsigned char WinDosChar(unsigned char c);
unsigned char DosWinChar(unsigned char c);
unsigned char WinIsoChar(unsigned char c);
unsigned char IsoWinChar(unsigned char c);

// Text of code page 1251 converted to the encoding Kind. A Kind other than 0 to 3 shows
// the message box "CodeString: Неправильное значение вида кодировки" and gives no
// result; an empty text gives an empty result whatever the Kind.
std::optional<std::string> CodeString(int Kind, std::string_view Text);
// Text of the encoding Kind converted back to code page 1251; an invalid Kind shows
// "EncodeString: Неправильное значение вида кодировки" and gives no result.
std::optional<std::string> EncodeString(int Kind, std::string_view Text);

}  // namespace Recode
