#pragma once
// Named message strings of the editor library.
//
// Every user-visible or name-like text of the library lives in one string table, keyed
// by a 16-bit identifier, so that it can be translated without touching code. Callers
// hold the identifier and read the text at the moment of use with LoadResString (never
// cache it): attribute names, file-dialog filters, language names, the scroll hint and
// the keystroke map's duplicate error.

#include <cstdint>
#include <string>

using TQvResStringId = std::uint16_t;

// Attribute names (they also name registry subkeys and INI sections).
inline constexpr TQvResStringId QVS_AttrAssembler = 1;
inline constexpr TQvResStringId QVS_AttrAttributeName = 2;
inline constexpr TQvResStringId QVS_AttrAttributeValue = 3;
inline constexpr TQvResStringId QVS_AttrCDATASection = 4;
inline constexpr TQvResStringId QVS_AttrCharacter = 5;
inline constexpr TQvResStringId QVS_AttrComment = 6;
inline constexpr TQvResStringId QVS_AttrDOCTYPESection = 7;
inline constexpr TQvResStringId QVS_AttrDataType = 8;
inline constexpr TQvResStringId QVS_AttrDefaultPackage = 9;
inline constexpr TQvResStringId QVS_AttrElementName = 10;
inline constexpr TQvResStringId QVS_AttrEntityReference = 11;
inline constexpr TQvResStringId QVS_AttrEscapeAmpersand = 12;
inline constexpr TQvResStringId QVS_AttrEvent = 13;
inline constexpr TQvResStringId QVS_AttrException = 14;
inline constexpr TQvResStringId QVS_AttrFloat = 15;
inline constexpr TQvResStringId QVS_AttrFunction = 16;
inline constexpr TQvResStringId QVS_AttrHexadecimal = 17;
inline constexpr TQvResStringId QVS_AttrIdentifier = 18;
inline constexpr TQvResStringId QVS_AttrIllegalChar = 19;
inline constexpr TQvResStringId QVS_AttrInvalidSymbol = 20;
inline constexpr TQvResStringId QVS_AttrKey = 21;
inline constexpr TQvResStringId QVS_AttrMarker = 22;
inline constexpr TQvResStringId QVS_AttrNamespaceAttrName = 23;
inline constexpr TQvResStringId QVS_AttrNamespaceAttrValue = 24;
inline constexpr TQvResStringId QVS_AttrNonReservedKeyword = 25;
inline constexpr TQvResStringId QVS_AttrNumber = 26;
inline constexpr TQvResStringId QVS_AttrOctal = 27;
inline constexpr TQvResStringId QVS_AttrOperator = 28;
inline constexpr TQvResStringId QVS_AttrPLSQL = 29;
inline constexpr TQvResStringId QVS_AttrPragma = 30;
inline constexpr TQvResStringId QVS_AttrPreprocessor = 31;
inline constexpr TQvResStringId QVS_AttrProcessingInstr = 32;
inline constexpr TQvResStringId QVS_AttrReservedWord = 33;
inline constexpr TQvResStringId QVS_AttrSQLPlus = 34;
inline constexpr TQvResStringId QVS_AttrSpace = 35;
inline constexpr TQvResStringId QVS_AttrString = 36;
inline constexpr TQvResStringId QVS_AttrSymbol = 37;
inline constexpr TQvResStringId QVS_AttrTableName = 38;
inline constexpr TQvResStringId QVS_AttrText = 39;
inline constexpr TQvResStringId QVS_AttrUnknownWord = 40;
inline constexpr TQvResStringId QVS_AttrValue = 41;
inline constexpr TQvResStringId QVS_AttrVariable = 42;
inline constexpr TQvResStringId QVS_AttrWhitespace = 43;

// File-dialog filters: description, a vertical bar, then the patterns.
inline constexpr TQvResStringId QVS_FilterCPP = 101;
inline constexpr TQvResStringId QVS_FilterCSS = 102;
inline constexpr TQvResStringId QVS_FilterDFM = 103;
inline constexpr TQvResStringId QVS_FilterHTML = 104;
inline constexpr TQvResStringId QVS_FilterJScript = 105;
inline constexpr TQvResStringId QVS_FilterPHP = 106;
inline constexpr TQvResStringId QVS_FilterPerl = 107;
inline constexpr TQvResStringId QVS_FilterSQL = 108;
inline constexpr TQvResStringId QVS_FilterVBScript = 109;
inline constexpr TQvResStringId QVS_FilterXML = 110;

// Language names.
inline constexpr TQvResStringId QVS_LangCPP = 201;
inline constexpr TQvResStringId QVS_LangCSS = 202;
inline constexpr TQvResStringId QVS_LangDfm = 203;
inline constexpr TQvResStringId QVS_LangGeneralMulti = 204;
inline constexpr TQvResStringId QVS_LangHTML = 205;
inline constexpr TQvResStringId QVS_LangJScript = 206;
inline constexpr TQvResStringId QVS_LangPHP = 207;
inline constexpr TQvResStringId QVS_LangPerl = 208;
inline constexpr TQvResStringId QVS_LangSQL = 209;
inline constexpr TQvResStringId QVS_LangVBSScript = 210;
inline constexpr TQvResStringId QVS_LangXML = 211;

// Other texts.
inline constexpr TQvResStringId QVS_EDuplicateShortcut = 301;
inline constexpr TQvResStringId QVS_ScrollInfoFmt = 302;     // first and last visible line
inline constexpr TQvResStringId QVS_ScrollInfoFmtTop = 303;  // top line

// The text of a string-table entry; an identifier that is not in the table gives "".
std::string LoadResString(TQvResStringId id);
