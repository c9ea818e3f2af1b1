// Single-byte code pages: the system's ANSI code page, byte <-> Unicode tables, upper and
// lower case of bytes, and the font character sets that select a code page.
//
// The tables are built from the C library's iconv the first time a code page is used.
// A byte that the code page leaves undefined maps to U+FFFD (and nothing maps back to it).
#pragma once

#include "platform/runtime/System.h"

#include <bitset>
#include <string>
#include <string_view>

// ---- The ANSI code page ------------------------------------------------------------------

// The ANSI code page: chosen at first use from the locale's language (LC_ALL, LC_CTYPE,
// LANG in that order), or the one set with SetAnsiCodePage.
Cardinal GetACP();
// Makes cp the ANSI code page (tests, and callers that know better). A code page without
// tables raises EConvertError and leaves the current one in place. Tables already handed
// out stay valid.
void SetAnsiCodePage(Cardinal cp);
// The code page Windows picks for a locale name such as "ru_RU.UTF-8" (1252 by default).
Cardinal CodePageForLocale(std::string_view localeName);
// True for the single-byte code pages that have tables: 437, 866, 874, 1250..1258,
// 10000 (Mac Roman), 20866 (KOI8-R), 28591 (ISO-8859-1), 28595 (ISO-8859-5).
bool IsCodePageSupported(Cardinal cp);

// ---- Conversion ------------------------------------------------------------------------------

// The Unicode character of a byte; U+FFFD for an undefined byte. Unsupported code pages
// raise EConvertError.
char32_t CodePageToUnicode(Cardinal cp, unsigned char byte);
// All 256 characters of a code page at once, for loops over many bytes.
using TUnicodeTable = char32_t[256];
const TUnicodeTable& CodePageUnicodeTable(Cardinal cp);
// The byte for a character, or 'fallback' when the code page has none.
unsigned char UnicodeToCodePage(Cardinal cp, char32_t ch, unsigned char fallback = '?');

// Bytes of code page cp to UTF-8; undefined bytes become U+FFFD.
std::string AnsiToUtf8(std::string_view bytes, Cardinal cp = GetACP());
// UTF-8 to bytes of code page cp; unmappable characters and malformed UTF-8 sequences
// become '?'.
std::string Utf8ToAnsi(std::string_view utf8, Cardinal cp = GetACP());
// True when bytes is well-formed UTF-8 (no stray, truncated or overlong sequence, no
// surrogate, nothing past U+10FFFF); plain ASCII is.
bool IsValidUtf8(std::string_view bytes);

// ---- Case in the ANSI code page ----------------------------------------------------------
// A byte changes case only when the other case of its character exists in the same code
// page; otherwise it stays as it is.

using TCaseTable = unsigned char[256];

// The 256-byte case tables of the current ANSI code page; they live as long as the
// program. Fold with table[static_cast<unsigned char>(c)].
const TCaseTable& AnsiUpperTable();
const TCaseTable& AnsiLowerTable();
// The same for any supported code page.
const TCaseTable& CodePageUpperTable(Cardinal cp);
const TCaseTable& CodePageLowerTable(Cardinal cp);

char CharUpperA(char ch);
char CharLowerA(char ch);
// Convert length bytes in place; return length.
DWORD CharUpperBuffA(char* buffer, DWORD length);
DWORD CharLowerBuffA(char* buffer, DWORD length);
bool IsCharAlphaA(char ch);
bool IsCharAlphaNumericA(char ch);
bool IsCharUpperA(char ch);
bool IsCharLowerA(char ch);

// ---- Font character sets -------------------------------------------------------------------

constexpr Byte ANSI_CHARSET = 0;
constexpr Byte DEFAULT_CHARSET = 1;
constexpr Byte SYMBOL_CHARSET = 2;
constexpr Byte MAC_CHARSET = 77;
constexpr Byte SHIFTJIS_CHARSET = 128;
constexpr Byte HANGEUL_CHARSET = 129;
constexpr Byte JOHAB_CHARSET = 130;
constexpr Byte GB2312_CHARSET = 134;
constexpr Byte CHINESEBIG5_CHARSET = 136;
constexpr Byte GREEK_CHARSET = 161;
constexpr Byte TURKISH_CHARSET = 162;
constexpr Byte VIETNAMESE_CHARSET = 163;
constexpr Byte HEBREW_CHARSET = 177;
constexpr Byte ARABIC_CHARSET = 178;
constexpr Byte BALTIC_CHARSET = 186;
constexpr Byte RUSSIAN_CHARSET = 204;
constexpr Byte THAI_CHARSET = 222;
constexpr Byte EASTEUROPE_CHARSET = 238;
constexpr Byte OEM_CHARSET = 255;

// The code page whose bytes a font of this character set draws: ANSI_CHARSET 1252, the
// national sets their Windows code page, MAC_CHARSET 10000, OEM_CHARSET 866 when the ANSI
// code page is 1251 and 437 otherwise. DEFAULT_CHARSET, SYMBOL_CHARSET, the double-byte
// sets (whose lead-byte set is empty here) and unknown values give the ANSI code page.
// The result always has tables.
Cardinal CharsetToCodePage(Byte charset);

// ---- Double-byte code pages ---------------------------------------------------------------

// No double-byte code page is used: no byte is a lead byte.
inline bool IsDBCSLeadByte(Byte) { return false; }
using TLeadBytes = std::bitset<256>;
inline TLeadBytes LeadBytes() { return {}; }
