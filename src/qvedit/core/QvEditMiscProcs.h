// Free functions shared by the editor control, the text buffer and the print engine:
// integer and point helpers, tab expansion, character index <-> display column, scanning
// a line for characters of a set, finding a line end, and the escaping of the header and
// footer text form.
#pragma once

#include "platform/graphics/Gdi.h"
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"
#include "qvedit/core/QvEditTypes.h"

#include <string>
#include <vector>

Integer Max(Integer a, Integer b);
Integer Min(Integer a, Integer b);
// x clamped to lo..hi; lo wins when lo > hi.
Integer MinMax(Integer x, Integer lo, Integer hi);
void SwapInt(Integer& a, Integer& b);

// The later (earlier) of two points in line-then-column order; p1 when they are equal.
TPoint maxPoint(const TPoint& p1, const TPoint& p2);
TPoint minPoint(const TPoint& p1, const TPoint& p2);

// count integers, each set to value (an empty array for a count below 1).
std::vector<Integer> GetIntArray(Integer count, Integer value);

// Fills the rectangle with the context's current background colour.
void InternalFillRect(HDC dc, const TRect& rect);

// Tab expansion. Each TAB is padded to the next tab stop with TAB characters (code 9, not
// blanks) so that a column of the result is a column on the screen while the bytes still
// say where the tabs were. Tab widths below 2 turn every TAB into one blank. The Ex form
// also reports whether the line held a TAB. A result longer than 2^31 - 1 characters
// raises EOutOfResources.
using TConvertTabsProc = std::string (*)(const std::string& line, Integer tabWidth);
using TConvertTabsProcEx = std::string (*)(const std::string& line, Integer tabWidth,
                                           bool& hasTabs);

std::string ConvertTabs(const std::string& line, Integer tabWidth);
std::string ConvertTabsEx(const std::string& line, Integer tabWidth, bool& hasTabs);
// The fastest routine for tabWidth; every routine gives the result ConvertTabs gives.
TConvertTabsProc GetBestConvertTabsProc(Integer tabWidth);
TConvertTabsProcEx GetBestConvertTabsProcEx(Integer tabWidth);

// The 1-based display column of the 1-based character index in line.
Integer CharIndex2CaretPos(Integer index, Integer tabWidth, const std::string& line);
// The 1-based character index shown at the 1-based display column. insideTabChar is set
// when the column falls inside the padding of a TAB (the result is then that TAB). Past
// the expanded end of a line with TABs the result is the index after its last character.
Integer CaretPos2CharIndex(Integer position, Integer tabWidth, const std::string& line,
                           bool& insideTabChar);

// 1-based index of the first character at or after start that is in chars; 0 when none.
Integer StrScanForCharInSet(const std::string& line, Integer start, const TQvCharSet& chars);
// 1-based index of the last character at or before start that is in chars; 0 when none.
Integer StrRScanForCharInSet(const std::string& line, Integer start, const TQvCharSet& chars);
// 1-based index of the first (last) double-byte lead byte at or after (before) start;
// 0 when none, which is always the case on a single-byte code page.
Integer StrScanForMultiByteChar(const std::string& line, Integer start);
Integer StrRScanForMultiByteChar(const std::string& line, Integer start);

// The first NUL, LF or CR at or after p in a NUL-terminated buffer; nullptr for nullptr.
const char* GetEOL(const char* p);

// "\" becomes "\\" and "/" becomes "\."; DecodeString reverses it ("\" followed by any
// other character, or at the very end, gives "/").
std::string EncodeString(const std::string& s);
std::string DecodeString(const std::string& s);
