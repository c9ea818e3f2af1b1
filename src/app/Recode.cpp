// Each converter is a 256-byte table made once from the two code pages' character tables
// (which come from iconv): a byte's character is looked up in the target page; the bytes
// whose character the target lacks are paired in order with the target's bytes that no
// character claimed, so that the table of the other direction is this one's inverse.
#include "app/Recode.h"

#include "platform/runtime/CodePages.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"

#include <array>
#include <vector>

namespace Recode {
namespace {

constexpr Cardinal cpWindows = 1251;
constexpr Cardinal cpKoi8R = 20866;
constexpr Cardinal cpDos = 866;
constexpr Cardinal cpIso = 28595;

using TByteMap = std::array<unsigned char, 256>;

// Bytes below 128 stay. A byte from 128 up whose character the target holds (from 128 up)
// goes to that character's byte; the other bytes from 128 up, in ascending order, go to
// the target's bytes from 128 up that no character went to, in ascending order. Both
// groups are the same size, so the table is one-to-one; and since a character held by
// both pages pairs the same two bytes either way, the unpaired bytes of one direction are
// the unclaimed ones of the other, and the two tables are each other's inverse.
TByteMap MakeByteMap(Cardinal from, Cardinal to)
{
    const TUnicodeTable& chars = CodePageUnicodeTable(from);
    TByteMap map{};
    std::array<bool, 256> claimed{};
    std::vector<int> unpaired;
    for (int b = 0; b < 256; ++b) {
        const unsigned char target = b < 128 ? static_cast<unsigned char>(b) : UnicodeToCodePage(to, chars[b], 0);
        if (b >= 128 && (target < 128 || claimed[target])) {
            unpaired.push_back(b);
            continue;
        }
        map[b] = target;
        claimed[target] = true;
    }
    int free = 128;
    for (int b : unpaired) {
        while (claimed[free])
            ++free;
        map[b] = static_cast<unsigned char>(free++);
    }
    return map;
}

const TByteMap& ByteMap(Cardinal from, Cardinal to)
{
    // One table per direction; all six are made by the first conversion.
    static const TByteMap winKoi = MakeByteMap(cpWindows, cpKoi8R);
    static const TByteMap koiWin = MakeByteMap(cpKoi8R, cpWindows);
    static const TByteMap winDos = MakeByteMap(cpWindows, cpDos);
    static const TByteMap dosWin = MakeByteMap(cpDos, cpWindows);
    static const TByteMap winIso = MakeByteMap(cpWindows, cpIso);
    static const TByteMap isoWin = MakeByteMap(cpIso, cpWindows);
    if (from == cpWindows)
        return to == cpKoi8R ? winKoi : to == cpDos ? winDos : winIso;
    return from == cpKoi8R ? koiWin : from == cpDos ? dosWin : isoWin;
}

// The other code page of a kind (0 for ekNone); nothing for an invalid kind.
std::optional<Cardinal> KindCodePage(int kind)
{
    switch (kind) {
    case ekNone: return 0;
    case ekKoi8R: return cpKoi8R;
    case ekDos: return cpDos;
    case ekIso: return cpIso;
    default: return std::nullopt;
    }
}

std::optional<std::string> Convert(int kind, std::string_view text, bool fromWindows,
                                   const char* functionName)
{
    if (text.empty())
        return std::string();
    const std::optional<Cardinal> page = KindCodePage(kind);
    if (!page) {
        MessageBox(std::string(functionName) + ": Неправильное значение вида кодировки",
                   Application->Title(), MB_OK);
        return std::nullopt;
    }
    std::string result(text);
    if (*page == 0)
        return result;
    const TByteMap& map = fromWindows ? ByteMap(cpWindows, *page) : ByteMap(*page, cpWindows);
    for (char& c : result)
        c = static_cast<char>(map[static_cast<unsigned char>(c)]);
    return result;
}

}  // namespace

unsigned char WinKoiChar(unsigned char c) { return ByteMap(cpWindows, cpKoi8R)[c]; }
unsigned char KoiWinChar(unsigned char c) { return ByteMap(cpKoi8R, cpWindows)[c]; }
unsigned char WinDosChar(unsigned char c) { return ByteMap(cpWindows, cpDos)[c]; }
unsigned char DosWinChar(unsigned char c) { return ByteMap(cpDos, cpWindows)[c]; }
unsigned char WinIsoChar(unsigned char c) { return ByteMap(cpWindows, cpIso)[c]; }
unsigned char IsoWinChar(unsigned char c) { return ByteMap(cpIso, cpWindows)[c]; }

std::optional<std::string> CodeString(int Kind, std::string_view Text)
{
    return Convert(Kind, Text, true, "CodeString");
}

std::optional<std::string> EncodeString(int Kind, std::string_view Text)
{
    return Convert(Kind, Text, false, "EncodeString");
}

}  // namespace Recode
