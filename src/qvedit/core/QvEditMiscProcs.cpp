#include "qvedit/core/QvEditMiscProcs.h"

#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"

#include <cstring>

Integer Max(Integer a, Integer b)
{
    return a > b ? a : b;
}

Integer Min(Integer a, Integer b)
{
    return a < b ? a : b;
}

Integer MinMax(Integer x, Integer lo, Integer hi)
{
    return Max(Min(x, hi), lo);
}

void SwapInt(Integer& a, Integer& b)
{
    Integer t = a;
    a = b;
    b = t;
}

namespace {

bool PointBefore(const TPoint& a, const TPoint& b)
{
    return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

}  // namespace

TPoint maxPoint(const TPoint& p1, const TPoint& p2)
{
    return PointBefore(p1, p2) ? p2 : p1;
}

TPoint minPoint(const TPoint& p1, const TPoint& p2)
{
    return PointBefore(p2, p1) ? p2 : p1;
}

std::vector<Integer> GetIntArray(Integer count, Integer value)
{
    if (count < 1)
        return {};
    return std::vector<Integer>(static_cast<std::size_t>(count), value);
}

void InternalFillRect(HDC dc, const TRect& rect)
{
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// ---- Tab expansion -----------------------------------------------------------------------

namespace {

constexpr char Tab = '\t';

// Column of the next tab stop after `column` (columns count from 0).
struct TDivisionStop {
    Integer width;
    Int64 Next(Int64 column) const { return column + width - column % width; }
};

// The same for a power-of-two width, through a mask instead of a division.
struct TMaskStop {
    Integer width;
    Int64 Next(Int64 column) const { return (column + width) & ~static_cast<Int64>(width - 1); }
};

// Expanded lines are measured in 32-bit columns everywhere; a longer one cannot be shown.
constexpr Int64 MaxExpandedLength = 0x7FFFFFFF;

// Two passes: the first measures the result, the second fills it.
template <class Stop>
std::string ExpandTabs(const std::string& line, Stop stop, bool& hasTabs)
{
    std::size_t firstTab = line.find(Tab);
    hasTabs = firstTab != std::string::npos;
    if (!hasTabs)
        return line;

    Int64 column = static_cast<Int64>(firstTab);
    for (std::size_t i = firstTab; i < line.size(); ++i) {
        if (line[i] != Tab) {
            ++column;
        } else {
            column = stop.Next(column);
            if (column > MaxExpandedLength)
                throw EOutOfResources("Text line too long after tab expansion");
        }
    }
    if (column > MaxExpandedLength)
        throw EOutOfResources("Text line too long after tab expansion");

    std::string result(static_cast<std::size_t>(column), Tab);
    std::memcpy(result.data(), line.data(), firstTab);
    std::size_t lastTab = line.rfind(Tab);
    column = static_cast<Int64>(firstTab);
    for (std::size_t i = firstTab; i <= lastTab; ++i) {
        if (line[i] == Tab) {
            column = stop.Next(column);  // the padding is already TAB characters
        } else {
            result[static_cast<std::size_t>(column)] = line[i];
            ++column;
        }
    }
    std::memcpy(result.data() + column, line.data() + lastTab + 1, line.size() - lastTab - 1);
    return result;
}

std::string ConvertTabsToBlanksEx(const std::string& line, Integer, bool& hasTabs)
{
    std::size_t firstTab = line.find(Tab);
    hasTabs = firstTab != std::string::npos;
    if (!hasTabs)
        return line;
    std::string result = line;
    for (std::size_t i = firstTab; i < result.size(); ++i)
        if (result[i] == Tab)
            result[i] = ' ';
    return result;
}

std::string ConvertTabs2nEx(const std::string& line, Integer tabWidth, bool& hasTabs)
{
    return ExpandTabs(line, TMaskStop{tabWidth}, hasTabs);
}

std::string ConvertTabsToBlanks(const std::string& line, Integer tabWidth)
{
    bool hasTabs = false;
    return ConvertTabsToBlanksEx(line, tabWidth, hasTabs);
}

std::string ConvertTabs2n(const std::string& line, Integer tabWidth)
{
    bool hasTabs = false;
    return ConvertTabs2nEx(line, tabWidth, hasTabs);
}

bool IsPowerOfTwoTabWidth(Integer tabWidth)
{
    for (Integer w = 2; w <= 65536; w *= 2)
        if (w == tabWidth)
            return true;
    return false;
}

}  // namespace

std::string ConvertTabsEx(const std::string& line, Integer tabWidth, bool& hasTabs)
{
    // A width below 2 has no tab stops to pad to (and 0 would divide by zero).
    if (tabWidth < 2)
        return ConvertTabsToBlanksEx(line, tabWidth, hasTabs);
    return ExpandTabs(line, TDivisionStop{tabWidth}, hasTabs);
}

std::string ConvertTabs(const std::string& line, Integer tabWidth)
{
    bool hasTabs = false;
    return ConvertTabsEx(line, tabWidth, hasTabs);
}

TConvertTabsProc GetBestConvertTabsProc(Integer tabWidth)
{
    if (tabWidth < 2)
        return &ConvertTabsToBlanks;
    if (IsPowerOfTwoTabWidth(tabWidth))
        return &ConvertTabs2n;
    return &ConvertTabs;
}

TConvertTabsProcEx GetBestConvertTabsProcEx(Integer tabWidth)
{
    if (tabWidth < 2)
        return &ConvertTabsToBlanksEx;
    if (IsPowerOfTwoTabWidth(tabWidth))
        return &ConvertTabs2nEx;
    return &ConvertTabsEx;
}

// ---- Character index <-> display column --------------------------------------------------

namespace {

// 1-based index of the first TAB, 0 when none.
Integer FirstTab(const std::string& line)
{
    std::size_t p = line.find(Tab);
    return p == std::string::npos ? 0 : static_cast<Integer>(p) + 1;
}

Int64 NextTabStop(Int64 column, Integer tabWidth)
{
    return column + tabWidth - column % tabWidth;
}

}  // namespace

Integer CharIndex2CaretPos(Integer index, Integer tabWidth, const std::string& line)
{
    if (index < 2)
        return 1;
    Integer firstTab = FirstTab(line);
    if (tabWidth < 2 || firstTab == 0 || firstTab >= index)
        return index;
    Int64 column = firstTab - 1;
    auto length = static_cast<Integer>(line.size());
    for (Integer i = firstTab; i < index && i <= length; ++i)
        column = line[static_cast<std::size_t>(i - 1)] == Tab ? NextTabStop(column, tabWidth)
                                                              : column + 1;
    return static_cast<Integer>(column + 1);
}

Integer CaretPos2CharIndex(Integer position, Integer tabWidth, const std::string& line,
                           bool& insideTabChar)
{
    insideTabChar = false;
    Integer firstTab = FirstTab(line);
    if (position <= 1 || tabWidth < 2 || firstTab == 0 || firstTab >= position)
        return position;
    auto length = static_cast<Integer>(line.size());
    Int64 target = Int64{position} - 1;
    Int64 column = firstTab - 1;
    Integer result = firstTab;
    while (result <= length) {
        if (line[static_cast<std::size_t>(result - 1)] == Tab) {
            column = NextTabStop(column, tabWidth);
            if (column > target) {
                insideTabChar = true;
                return result;
            }
        } else {
            ++column;
        }
        ++result;
        if (column >= target)
            return result;
    }
    return length + 1;
}

// ---- Scanning for characters ---------------------------------------------------------------

namespace {

// A system runs a double-byte code page when its lead-byte set is not empty.
bool IsDoubleByteSystem()
{
    return LeadBytes().any();
}

bool IsLead(const std::string& line, Integer index)
{
    return IsDBCSLeadByte(static_cast<Byte>(line[static_cast<std::size_t>(index - 1)]));
}

// Whether the 1-based index is the second byte of a double-byte character.
bool IsTrailByte(const std::string& line, Integer index)
{
    Integer i = 1;
    while (i < index)
        i += IsLead(line, i) ? 2 : 1;
    return i > index;
}

}  // namespace

Integer StrScanForCharInSet(const std::string& line, Integer start, const TQvCharSet& chars)
{
    auto length = static_cast<Integer>(line.size());
    if (start < 1 || start > length)
        return 0;
    if (IsDoubleByteSystem() && IsTrailByte(line, start))
        ++start;
    for (Integer i = start; i <= length; ++i) {
        if (IsLead(line, i))
            ++i;
        else if (chars.Contains(line[static_cast<std::size_t>(i - 1)]))
            return i;
    }
    return 0;
}

Integer StrRScanForCharInSet(const std::string& line, Integer start, const TQvCharSet& chars)
{
    auto length = static_cast<Integer>(line.size());
    if (start < 1 || start > length)
        return 0;
    if (IsDoubleByteSystem()) {
        Integer found = 0;
        for (Integer i = 1; i <= start; ++i) {
            if (IsLead(line, i))
                ++i;
            else if (chars.Contains(line[static_cast<std::size_t>(i - 1)]))
                found = i;
        }
        return found;
    }
    for (Integer i = start; i >= 1; --i)
        if (chars.Contains(line[static_cast<std::size_t>(i - 1)]))
            return i;
    return 0;
}

Integer StrScanForMultiByteChar(const std::string& line, Integer start)
{
    auto length = static_cast<Integer>(line.size());
    if (!IsDoubleByteSystem() || start < 1 || start > length)
        return 0;
    for (Integer i = start; i <= length; ++i)
        if (IsLead(line, i))
            return i;
    return 0;
}

Integer StrRScanForMultiByteChar(const std::string& line, Integer start)
{
    auto length = static_cast<Integer>(line.size());
    if (!IsDoubleByteSystem() || start < 1)
        return 0;
    for (Integer i = Min(start, length); i >= 1; --i)
        if (IsLead(line, i))
            return i;
    return 0;
}

const char* GetEOL(const char* p)
{
    if (p == nullptr)
        return nullptr;
    while (*p != '\0' && *p != '\n' && *p != '\r')
        ++p;
    return p;
}

// ---- Header and footer escaping ------------------------------------------------------------

std::string EncodeString(const std::string& s)
{
    std::string result;
    result.reserve(s.size() * 2);
    for (char c : s) {
        if (c == '\\')
            result += "\\\\";
        else if (c == '/')
            result += "\\.";
        else
            result += c;
    }
    return result;
}

std::string DecodeString(const std::string& s)
{
    std::string result;
    result.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            result += s[i];
        } else if (i + 1 < s.size() && s[i + 1] == '\\') {
            result += '\\';
            ++i;
        } else {
            result += '/';
            ++i;  // the character after the escape is dropped
        }
    }
    return result;
}
