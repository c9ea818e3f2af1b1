// Shortcuts and their texts. The first two bytes are a shortcut value: when it has a
// text, reading that text gives the shortcut back (the bits that are not part of a
// shortcut dropped), and splitting it into key and shift state and joining them again
// gives the same. The remaining bytes are a text: when it names a shortcut, that
// shortcut's own text names it too.
#include "platform/window/Keys.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "ShortCutFuzz: check at line %d failed\n", line);
        std::abort();
    }
}

#define Check(condition) CheckAt((condition), __LINE__)

constexpr TShortCut kShortCutBits = 0xFF | scShift | scCtrl | scAlt;

void CheckValue(TShortCut value)
{
    const TShortCut meant = value & kShortCutBits;
    const std::string text = ShortCutToText(value);
    Check(text == ShortCutToText(meant));
    if (!text.empty())
        Check(TextToShortCut(text) == meant);

    Word key = 0;
    TShiftState shift = 0;
    ShortCutToKey(value, key, shift);
    Check(key == (value & 0xFF));
    if (key != 0)
        Check(ShortCut(key, shift) == meant);
}

void CheckText(const std::string& text)
{
    const TShortCut value = TextToShortCut(text);
    if (value == scNone)
        return;
    Check((value & ~kShortCutBits) == 0);
    const std::string own = ShortCutToText(value);
    Check(!own.empty());
    Check(TextToShortCut(own) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= 2) {
        CheckValue(static_cast<TShortCut>(data[0] | (data[1] << 8)));
        data += 2;
        size -= 2;
    }
    CheckText(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
